;; eigene Befehle von Planung Maier
(defun c:meinepunkte () (command "_point" pause))
