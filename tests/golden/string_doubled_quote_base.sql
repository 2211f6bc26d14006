-- args: --dialect=base
SELECT 'O''Brien' AS n FROM t WHERE t.name = 'O''Brien' OR t.name IN ('a''b', 'c')
