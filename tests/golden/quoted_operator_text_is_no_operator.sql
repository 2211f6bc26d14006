SELECT "*" "*", '*'+1, 1*'*', a*-1 FROM t
