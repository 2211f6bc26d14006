SELECT [ ].a FROM t
