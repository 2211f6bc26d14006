-- args: --dialect=base
SELECT "my t".x, "my t".y "Out" FROM tab "my t" WHERE "my t".y = 1 ORDER BY "my t".x
