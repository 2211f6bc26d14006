-- args: --dialect=base
SELECT * FROM proc1(1+, 99999999999999999999, 7, :p) p
