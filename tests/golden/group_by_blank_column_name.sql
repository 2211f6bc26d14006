SELECT COUNT(a), x.[ ] FROM t GROUP BY x.[ ] ORDER BY x.[ ]
