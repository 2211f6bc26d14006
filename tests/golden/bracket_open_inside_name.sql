SELECT [a [b], t.[c [d] FROM [x [y] t WHERE t.[c [d] = 1 ORDER BY [a [b]
