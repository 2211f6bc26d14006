SELECT o.a FROM o JOIN p ON o.d < DATEADD(day, 1, p.e)
