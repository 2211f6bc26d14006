SELECT Orders.x FROM dbo.Orders WHERE Orders.y = 1 ORDER BY Orders.x
