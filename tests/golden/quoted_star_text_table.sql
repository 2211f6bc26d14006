SELECT a FROM t W"*" JOIN "* " s ON s.a = W.b
