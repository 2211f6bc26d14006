SELECT t.a, b FROM t GROUP BY t.a, b, t.a ORDER BY t.a DESC, b, t.a
