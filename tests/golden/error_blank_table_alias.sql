SELECT a FROM t JOIN u [ ] ON t.a = u.b
