SELECT [Order ID], [My Col] AS [Out Col], o.[select] FROM [Order Details] o
