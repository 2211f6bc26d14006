SELECT a.x FROM a LEFT JOIN b ON b.n < a.n AND b.m !> a.m AND b.k >= a.k
