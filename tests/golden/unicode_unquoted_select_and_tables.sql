SELECT 姓名, 顾客.地址 住址, 年龄 + 1 AS 明年, _编号 FROM 客户 AS 顾客, 订单
