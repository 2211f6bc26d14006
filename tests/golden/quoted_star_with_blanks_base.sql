-- args: --dialect=base
SELECT " *", a "* " FROM t, u "*  " ORDER BY "* "
