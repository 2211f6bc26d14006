SELECT [R].[], SUM(x) AS s FROM R
