SELECT a FROM t, "a..b"
