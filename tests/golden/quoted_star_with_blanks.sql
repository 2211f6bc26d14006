SELECT [ *], a [* ] FROM t, u [*  ] ORDER BY [* ]
