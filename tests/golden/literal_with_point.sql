SELECT 0.5 AS w, 'a.b' AS s FROM t
