SELECT a.x FROM a LEFT JOIN b ON b.aid = a.id
