SELECT s. t.[Col x], s.t. [y z], s.t.*, t.a b, t.c AS [d e], t . e
FROM s.t
