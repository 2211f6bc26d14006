-- args: --dialect=base
SELECT ISNULL(a,0) AS v, COUNT(*) AS n FROM t
