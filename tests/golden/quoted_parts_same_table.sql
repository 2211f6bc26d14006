SELECT [a#].s.[x.y] FROM [a#].s WHERE [a#].s.[x.y] > 1
