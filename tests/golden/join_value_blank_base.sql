-- args: --dialect=base
SELECT y FROM a JOIN b ON a.x = 5
