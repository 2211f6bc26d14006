SELECT a.x FROM a JOIN b ON a.id = b.id CROSS JOIN c
