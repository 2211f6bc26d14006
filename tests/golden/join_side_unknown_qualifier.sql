SELECT * FROM a JOIN b ON x.y = b.z
