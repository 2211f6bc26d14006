SELECT t.[ ] AS b FROM t
