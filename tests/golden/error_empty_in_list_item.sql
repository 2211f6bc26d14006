SELECT a FROM t WHERE e NOT IN (,,1, 2) AND f IN ('', 1)
