SELECT SUM(c) total x FROM t
