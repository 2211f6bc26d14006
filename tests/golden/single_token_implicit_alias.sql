SELECT CustomerID cid, Region [地区], SYSTEM_USER who, 1 one, 'x' txt FROM Customers
