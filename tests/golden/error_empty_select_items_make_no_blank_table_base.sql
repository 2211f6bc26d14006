-- args: --dialect=base
SELECT a.x,, FROM a LEFT JOIN b ON b zz b.k >= a.k
