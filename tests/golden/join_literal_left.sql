SELECT a.x FROM a JOIN b ON 5 = b.x
