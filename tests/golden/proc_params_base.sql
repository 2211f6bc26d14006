-- args: --dialect=base
SELECT p.a FROM proc1(1, 'O''Brien', NULL, :p) p
