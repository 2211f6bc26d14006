SELECT * FROM Orders [*]
