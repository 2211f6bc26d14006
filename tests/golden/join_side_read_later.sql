SELECT a.x, c.y FROM a JOIN b ON a.k = b.k AND b.k >= c.k
