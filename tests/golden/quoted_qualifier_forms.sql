SELECT [Order].[a.b], [Order].x FROM [Order] WHERE [Order].[c.d] = 1
