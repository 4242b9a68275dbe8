;; TvBefehle.lsp - TERVILO 3.1
(defun c:TvBefehle () (princ))
