-- args: --keywords=first --functions=first
select count_big(*) as n, o.cid from orders o group by o.cid
