;; TvHoehen.lsp - TERVILO 3.1
(defun c:TvHoehen () (princ))
