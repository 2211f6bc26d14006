SELECT N'北京%' AS c FROM t WHERE t.city LIKE N'北京%'
