-- args: --alter-quotes
SELECT "My Col" FROM "My Table" WHERE "My Col" = 'x'
