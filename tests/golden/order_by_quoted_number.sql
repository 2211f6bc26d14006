SELECT [1], a FROM t ORDER BY [1], 2, x.3
