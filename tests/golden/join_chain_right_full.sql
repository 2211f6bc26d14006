SELECT a.x FROM a RIGHT OUTER JOIN b ON a.id = b.id FULL JOIN c ON b.id = c.bid
