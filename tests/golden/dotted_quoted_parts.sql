SELECT [My Sch].[a.b].x, [a.b].[My Col] FROM [My Sch].[a.b], [a.b] WHERE [a.b].y = 1
