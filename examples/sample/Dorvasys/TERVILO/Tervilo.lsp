;; Tervilo.lsp - TERVILO 3.1
(defun c:Tervilo () (princ))
