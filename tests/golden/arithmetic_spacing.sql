SELECT a-1 AS x, a - 1 AS y, a -1 AS z FROM t WHERE x<=5
