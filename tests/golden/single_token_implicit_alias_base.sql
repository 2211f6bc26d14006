-- args: --dialect=base
SELECT CustomerID cid, Region "地区", 1 one FROM Customers
