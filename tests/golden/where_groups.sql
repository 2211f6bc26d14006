SELECT a FROM t WHERE a = 1 OR b = 2 AND c = 3
