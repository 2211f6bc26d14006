SELECT [a b.c], [x.y].z FROM t
