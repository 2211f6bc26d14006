-- args: --dialect=base
SELECT * FROM a, b LEFT JOIN c ON c.x = a.x AND c.y > b.y
