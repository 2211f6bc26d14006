SELECT a FROM t W " .*"
