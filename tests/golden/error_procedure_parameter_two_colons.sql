SELECT * FROM proc1(::p) p
