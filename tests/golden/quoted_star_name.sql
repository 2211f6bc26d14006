SELECT [*], t.[*], a [*], t.* FROM t ORDER BY [*]
