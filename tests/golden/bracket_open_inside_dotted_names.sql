SELECT [M [y].[a.b], s.[a [b].y FROM [M [y], s.[a [b] ORDER BY s.[a [b].y
