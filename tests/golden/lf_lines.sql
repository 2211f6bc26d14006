SELECT a
FROM t
WHERE a = 1 -- trailing comment
ORDER BY a
