SELECT [a#].s.x FROM [a#].w JOIN u ON s.a = u.b
