SELECT * FROM Orders o JOIN Customers c ON o.ShipCity = o.ShipRegion
