SELECT ab[.].x, s.ab[.].x y FROM t
