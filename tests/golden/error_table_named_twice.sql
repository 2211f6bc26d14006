SELECT a.x
FROM a LEFT JOIN b ON b.n < a.n AND b.k = 5
JOIN b ON b.m = 1
