SELECT o.OrderID, c.CompanyName, e.LastName, SUM(d.Quantity * d.UnitPrice) AS Total
FROM Orders o
INNER JOIN Customers c ON o.CustomerID = c.CustomerID
LEFT OUTER JOIN Employees e ON o.EmployeeID = e.EmployeeID
INNER JOIN [Order Details] d ON d.OrderID = o.OrderID
WHERE o.OrderDate BETWEEN '1997-01-01' AND '1997-12-31' AND (c.Country = 'Germany' OR c.Country IN ('France', 'Spain'))
GROUP BY o.OrderID, c.CompanyName, e.LastName
HAVING SUM(d.Quantity * d.UnitPrice) > 1000
ORDER BY Total DESC, c.CompanyName
