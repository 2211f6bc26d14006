SELECT k.[Key], [Order Date] FROM Keys k GROUP BY k.[Key], [Order Date] ORDER BY k.[Key], [Order Date] DESC
