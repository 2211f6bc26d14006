-- The sample database of a small trading company, opened by default by the query builder and
-- korvel-sql. The build runs this script with the sqlite3 tool; rows beyond the fixed
-- reference data are generated here, so the script stays small and the data stays the same.
PRAGMA foreign_keys = ON;
BEGIN;

CREATE TABLE 地区 (
    地区编号 INTEGER PRIMARY KEY,
    地区名称 NVARCHAR(20) NOT NULL,
    说明 TEXT
);
INSERT INTO 地区 VALUES
    (1, '华北', '北京、天津、河北'),
    (2, '华东', '上海、江苏、浙江'),
    (3, '华南', '广东、广西、海南'),
    (4, '西部', '四川、重庆、陕西'),
    (5, 'Europe', 'Western and northern Europe'),
    (6, 'Americas', 'North and South America');

CREATE TABLE Categories (
    CategoryID INTEGER PRIMARY KEY,
    CategoryName NVARCHAR(15) NOT NULL,
    Description TEXT,
    Picture BLOB,
    "Order" INTEGER NOT NULL          -- display order; the column name is a keyword
);
INSERT INTO Categories VALUES
    (1, 'Beverages', 'Soft drinks, coffees, teas, beers, and ales', x'89504E47', 3),
    (2, 'Condiments', 'Sweet and savory sauces, relishes, spreads, and seasonings', NULL, 5),
    (3, 'Confections', 'Desserts, candies, and sweet breads', NULL, 4),
    (4, 'Dairy Products', 'Cheeses', NULL, 6),
    (5, 'Grains/Cereals', 'Breads, crackers, pasta, and cereal', NULL, 7),
    (6, 'Meat/Poultry', 'Prepared meats', NULL, 8),
    (7, 'Produce', 'Dried fruit and bean curd', NULL, 2),
    (8, 'Seafood', 'Seaweed and fish', NULL, 1);

CREATE TABLE Suppliers (
    SupplierID INTEGER PRIMARY KEY,
    CompanyName NVARCHAR(40) NOT NULL,
    ContactName NVARCHAR(30),
    City NVARCHAR(15),
    Country NVARCHAR(15),
    Phone VARCHAR(24)
);
INSERT INTO Suppliers VALUES
    (1, 'Exotic Liquids', 'Charlotte Cooper', 'London', 'UK', '(171) 555-2222'),
    (2, 'New Orleans Cajun Delights', 'Shelley Burke', 'New Orleans', 'USA', '(100) 555-4822'),
    (3, 'Grandma Kelly''s Homestead', 'Regina Murphy', 'Ann Arbor', 'USA', '(313) 555-5735'),
    (4, 'Tokyo Traders', 'Yoshi Nagase', 'Tokyo', 'Japan', '(03) 3555-5011'),
    (5, 'Cooperativa de Quesos', 'Antonio del Valle', 'Oviedo', 'Spain', '(98) 598 76 54'),
    (6, '北京食品公司', '王伟', '北京', '中国', '(010) 6555-0101'),
    (7, '上海茶叶进出口公司', '李娜', '上海', '中国', '(021) 5555-0202'),
    (8, 'Nord-Ost-Fisch', 'Sven Petersen', 'Cuxhaven', 'Germany', '(04721) 8713'),
    (9, 'Pavlova, Ltd.', 'Ian Devling', 'Melbourne', 'Australia', '(03) 444-2343'),
    (10, 'Mayumi''s', 'Mayumi Ohno', 'Osaka', 'Japan', '(06) 431-7877');

CREATE TABLE Shippers (
    ShipperID INTEGER PRIMARY KEY,
    CompanyName NVARCHAR(40) NOT NULL,
    Phone VARCHAR(24)
);
INSERT INTO Shippers VALUES
    (1, 'Speedy Express', '(503) 555-9831'),
    (2, 'United Package', '(503) 555-3199'),
    (3, '顺达快运', '(010) 5555-9931');

CREATE TABLE Employees (
    EmployeeID INTEGER PRIMARY KEY,
    LastName NVARCHAR(20) NOT NULL,
    FirstName NVARCHAR(10) NOT NULL,
    Title NVARCHAR(30),
    BirthDate DATE,
    HireDate DATE,
    City NVARCHAR(15),
    Country NVARCHAR(15),
    ReportsTo INTEGER REFERENCES Employees (EmployeeID)
);
INSERT INTO Employees VALUES
    (2, 'Fuller', 'Andrew', 'Vice President, Sales', '1952-02-19', '2012-08-14', 'Tacoma', 'USA', NULL),
    (1, 'Davolio', 'Nancy', 'Sales Representative', '1968-12-08', '2012-05-01', 'Seattle', 'USA', 2),
    (3, 'Leverling', 'Janet', 'Sales Representative', '1963-08-30', '2012-04-01', 'Kirkland', 'USA', 2),
    (4, 'Peacock', 'Margaret', 'Sales Representative', '1957-09-19', '2013-05-03', 'Redmond', 'USA', 2),
    (5, 'Buchanan', 'Steven', 'Sales Manager', '1955-03-04', '2013-10-17', 'London', 'UK', 2),
    (6, 'Suyama', 'Michael', 'Sales Representative', '1963-07-02', '2013-10-17', 'London', 'UK', 5),
    (7, 'King', 'Robert', 'Sales Representative', '1960-05-29', '2014-01-02', 'London', 'UK', 5),
    (8, '张', '敏', '销售代表', '1978-01-09', '2014-03-05', '北京', '中国', 5),
    (9, '刘', '洋', '销售代表', '1986-01-27', '2014-11-15', '上海', '中国', 8);

CREATE TABLE Customers (
    CustomerID CHAR(5) PRIMARY KEY,
    CompanyName NVARCHAR(40) NOT NULL,
    ContactName NVARCHAR(30),
    City NVARCHAR(15),
    Country NVARCHAR(15),
    Phone VARCHAR(24),
    地区编号 INTEGER REFERENCES 地区 (地区编号)
);

CREATE TABLE Products (
    ProductID INTEGER PRIMARY KEY,
    ProductName NVARCHAR(40) NOT NULL,
    SupplierID INTEGER REFERENCES Suppliers (SupplierID),
    CategoryID INTEGER REFERENCES Categories (CategoryID),
    QuantityPerUnit NVARCHAR(20),
    UnitPrice DECIMAL(10, 2) DEFAULT 0,
    UnitsInStock SMALLINT DEFAULT 0,
    Discontinued BOOLEAN NOT NULL DEFAULT 0
);

CREATE TABLE Orders (
    OrderID INTEGER PRIMARY KEY,
    CustomerID CHAR(5) REFERENCES Customers (CustomerID),
    EmployeeID INTEGER REFERENCES Employees (EmployeeID),
    OrderDate DATETIME,
    RequiredDate DATETIME,
    ShippedDate DATETIME,
    ShipVia INTEGER REFERENCES Shippers (ShipperID),
    Freight DECIMAL(10, 2) DEFAULT 0,
    ShipName NVARCHAR(40),
    ShipCity NVARCHAR(15),
    ShipCountry NVARCHAR(15)
);

CREATE TABLE "Order Details" (
    OrderID INTEGER NOT NULL REFERENCES Orders (OrderID),
    ProductID INTEGER NOT NULL REFERENCES Products (ProductID),
    UnitPrice DECIMAL(10, 2) NOT NULL,
    Quantity SMALLINT NOT NULL DEFAULT 1,
    Discount REAL NOT NULL DEFAULT 0,
    PRIMARY KEY (OrderID, ProductID)
);

-- Generated rows. A linear congruential step over the row number gives varied but repeatable data.
CREATE TEMP TABLE Places (n INTEGER PRIMARY KEY, City TEXT, Country TEXT, Region INTEGER);
INSERT INTO Places VALUES
    (0, '北京', '中国', 1), (1, '天津', '中国', 1), (2, '上海', '中国', 2), (3, '杭州', '中国', 2),
    (4, '广州', '中国', 3), (5, '深圳', '中国', 3), (6, '成都', '中国', 4), (7, '西安', '中国', 4),
    (8, 'Berlin', 'Germany', 5), (9, 'Paris', 'France', 5), (10, 'Madrid', 'Spain', 5),
    (11, 'London', 'UK', 5), (12, 'Seattle', 'USA', 6), (13, 'Boston', 'USA', 6),
    (14, 'México D.F.', 'Mexico', 6), (15, 'São Paulo', 'Brazil', 6);
CREATE TEMP TABLE Words (n INTEGER PRIMARY KEY, Word TEXT);
INSERT INTO Words VALUES
    (0, 'Alpha'), (1, 'Blue'), (2, 'Crown'), (3, 'Delta'), (4, 'Eagle'), (5, 'Fresh'),
    (6, 'Golden'), (7, 'Harbor'), (8, 'Island'), (9, 'Jade'), (10, '长城'), (11, '东方'),
    (12, '金龙'), (13, 'North'), (14, 'Ocean'), (15, 'Prairie');

WITH RECURSIVE seq(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM seq WHERE x < 96)
INSERT INTO Customers
SELECT printf('C%04d', x),
       w1.Word || ' ' || w2.Word || CASE WHEN x % 3 = 0 THEN ' 贸易公司' ELSE ' Trading' END,
       CASE WHEN p.Country = '中国' THEN '陈' || x ELSE 'Contact ' || x END,
       p.City, p.Country,
       printf('(%03d) 555-%04d', 100 + x, (x * 7919) % 10000),
       CASE WHEN x % 17 = 0 THEN NULL ELSE p.Region END
FROM seq
JOIN Places p ON p.n = (x * 7) % 16
JOIN Words w1 ON w1.n = x % 16
JOIN Words w2 ON w2.n = (x / 16 + x * 5) % 16;

WITH RECURSIVE seq(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM seq WHERE x < 77)
INSERT INTO Products
SELECT x,
       w.Word || ' ' || c.CategoryName || ' ' || x,
       1 + (x * 3) % 10,
       1 + x % 8,
       (1 + x % 12) || ' boxes x ' || (6 + x % 20) || ' units',
       round(2.5 + ((x * 37) % 600) / 10.0, 2),
       (x * 13) % 120,
       CASE WHEN x % 11 = 0 THEN 1 ELSE 0 END
FROM seq
JOIN Categories c ON c.CategoryID = 1 + x % 8
JOIN Words w ON w.n = (x * 5) % 16;

WITH RECURSIVE seq(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM seq WHERE x < 2000)
INSERT INTO Orders
SELECT 10000 + x,
       printf('C%04d', 1 + (x * 31) % 96),
       1 + (x * 7) % 9,
       datetime('2022-01-01', '+' || (x * 13 / 10) || ' days', '+' || (x % 9) || ' hours'),
       datetime('2022-01-01', '+' || (x * 13 / 10 + 28) || ' days'),
       CASE WHEN x % 23 = 0 THEN NULL
            ELSE datetime('2022-01-01', '+' || (x * 13 / 10 + 2 + x % 9) || ' days') END,
       1 + x % 3,
       round(((x * 7919) % 50000) / 100.0, 2),
       c.CompanyName, c.City, c.Country
FROM seq
JOIN Customers c ON c.CustomerID = printf('C%04d', 1 + (x * 31) % 96);

WITH RECURSIVE seq(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM seq WHERE x < 2000),
     line(k) AS (VALUES (0), (1), (2), (3))
INSERT INTO "Order Details"
SELECT 10000 + x,
       p.ProductID,
       p.UnitPrice,
       1 + (x * 17 + k * 29) % 40,
       CASE (x + k) % 5 WHEN 0 THEN 0.05 WHEN 1 THEN 0.1 ELSE 0 END
FROM seq
JOIN line ON k < 1 + (x * 3) % 4
JOIN Products p ON p.ProductID = 1 + (x * 11 + k * 19) % 77;

CREATE VIEW "Order Subtotals" AS
SELECT OrderID, round(sum(UnitPrice * Quantity * (1 - Discount)), 2) AS Subtotal
FROM "Order Details"
GROUP BY OrderID;

CREATE VIEW "Product List" AS
SELECT p.ProductID, p.ProductName, c.CategoryName, s.CompanyName AS SupplierName, p.UnitPrice
FROM Products p
JOIN Categories c ON c.CategoryID = p.CategoryID
JOIN Suppliers s ON s.SupplierID = p.SupplierID
WHERE p.Discontinued = 0;

CREATE VIEW 客户订单统计 AS
SELECT c.CustomerID AS 客户编号, c.CompanyName AS 公司名称, r.地区名称, count(o.OrderID) AS 订单数
FROM Customers c
LEFT JOIN 地区 r ON r.地区编号 = c.地区编号
LEFT JOIN Orders o ON o.CustomerID = c.CustomerID
GROUP BY c.CustomerID, c.CompanyName, r.地区名称;

CREATE INDEX OrdersCustomer ON Orders (CustomerID);
CREATE INDEX OrdersEmployee ON Orders (EmployeeID);
CREATE INDEX OrderDetailsProduct ON "Order Details" (ProductID);

COMMIT;
