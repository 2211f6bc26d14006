SELECT * FROM Orders o JOIN Customers c ON c.Region = c.ShipRegion LEFT JOIN Shippers s ON s.ShipperID = o.ShipVia
