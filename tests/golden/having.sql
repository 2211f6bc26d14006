SELECT o.cid, SUM(o.total) AS s FROM Orders o GROUP BY o.cid HAVING SUM(o.total) > 100 ORDER BY s DESC
