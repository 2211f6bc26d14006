-- args: --dialect=base
SELECT a FROM t WHERE N  "a..B" = N"ab" AND N"a.b" = N'x'
