SELECT a.k FROM a JOIN b ON b.z = dbo.x.[y z] AND a.k = b.k
