SELECT x.a FROM tab x
