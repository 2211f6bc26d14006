SELECT a, b AS x, SUM(c) total, 1+2 FROM t
