-- args: --dialect=base
SELECT a AS "My Alias", t.b "Order" FROM t ORDER BY "My Alias"
