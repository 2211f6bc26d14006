-- args: --dialect=base
SELECT o.OrderID FROM Orders o LEFT JOIN Customers c ON c.CustomerID = o.CustomerID AND c.Region = c.ShipRegion JOIN Shippers s ON s.ShipperID = o.ShipVia
