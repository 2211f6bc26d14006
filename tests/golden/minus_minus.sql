SELECT a - -1 AS x, 2 - -b AS y FROM t WHERE t.b = - -2
