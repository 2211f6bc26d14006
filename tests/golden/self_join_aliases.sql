SELECT o.a, p.a AS pa FROM Orders o JOIN Orders p ON p.a = o.a
