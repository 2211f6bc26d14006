SELECT a FROM proc1(1, 2, ) p
