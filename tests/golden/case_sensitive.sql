-- args: --case-sensitive
SELECT T.a, t.b FROM t
