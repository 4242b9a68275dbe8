;; TvStart.lsp - TERVILO 3.1
(defun c:TvStart () (princ))
