SELECT * FROM a, b JOIN c ON c.x = a.x AND c.y = b.y
