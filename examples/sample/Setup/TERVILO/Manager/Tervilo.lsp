;; TERVILO 3.5 Start
(princ "TERVILO 3.5")
