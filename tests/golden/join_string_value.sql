SELECT o.a FROM Orders o JOIN Customers c ON o.cid = c.id AND o.status = 'O''Brien'
