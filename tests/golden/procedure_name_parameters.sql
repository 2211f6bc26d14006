SELECT * FROM proc1(a.b, x.[y z], [c d], 1, :p, NULL) p
