-- args: --brackets=off
SELECT a FROM t WHERE a = 1 AND (b = 2 OR c = 3)
