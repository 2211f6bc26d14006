SELECT * FROM Orders o JOIN Customers c ON c.Region = c.ShipRegion
