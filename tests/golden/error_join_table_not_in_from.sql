SELECT o.a, d.b FROM Orders x JOIN d ON d.k = o.k
