;; TERVILO 3.1 Start, angepasst
(setvar "OSMODE" 33)
