SELECT t.a, 5 AS [5], :p AS p, t.b AS b, UPPER(t.c) AS [UPPER] FROM t
