SELECT c.Country, COUNT(*) AS n FROM Customers c GROUP BY c.Country, c.City
