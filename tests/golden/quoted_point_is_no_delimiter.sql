SELECT ab[.].x, s.ab[.].x y, s.éb[.].x z FROM t
