SELECT t.a b, SUM(t.c) total FROM tab t
