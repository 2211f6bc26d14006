SELECT a.x FROM a INNER JOIN b ON a.id = b.id LEFT JOIN c ON b.id = c.bid
