-- args: --dialect=base
SELECT c.城市, COUNT(*) 数量 FROM 订单 o JOIN 客户 c ON o.客户号 = c.编号 LEFT JOIN 地区 ON 地区.代码 = c.地区 GROUP BY c.城市 ORDER BY c.城市 DESC, 数量
