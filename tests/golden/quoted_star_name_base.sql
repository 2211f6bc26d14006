-- args: --dialect=base
SELECT "*", t."*", a "*", t.* FROM t GROUP BY t."*"
