SELECT a.y FROM a JOIN b ON a.x = 5
