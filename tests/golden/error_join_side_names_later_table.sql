SELECT o.a FROM o JOIN x.s n ON s.id = o.id JOIN y s ON s.k = o.k
