SELECT c.[Cé].[a [b].y, SUM(x) FROM c.[Cé].[a [b], [p q].[r [s] GROUP BY c.[Cé].[a [b].y, [p q].[r [s].z ORDER BY [p q].[r [s].z DESC
