SELECT a.x FROM a JOIN b ON UPPER(a.x) = b.y
