SELECT p.a FROM dbo.proc1(1, :'O''Brien', NULL, :p) p
