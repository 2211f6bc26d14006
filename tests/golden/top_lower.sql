-- args: --keywords=lower
select distinct top 10 percent with ties o.id from Orders o where o.id > 5 group by o.id order by o.id desc
