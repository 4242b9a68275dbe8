;; TvPunkte.lsp - TERVILO 3.1
(defun c:TvPunkte () (princ))
