SELECT a FROM t WHERE [)] = 1 AND [(] = 2
