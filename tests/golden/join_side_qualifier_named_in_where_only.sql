SELECT o.a FROM o JOIN y ON q.k = o.k WHERE q.x = 1
