SELECT [Order].[Date] FROM dbo.[Order] ORDER BY [Order].[Date]
