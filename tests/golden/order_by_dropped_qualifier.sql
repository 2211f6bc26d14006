SELECT a FROM t x ORDER BY t.a DESC, a, z.b
