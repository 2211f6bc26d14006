// Writing SQL over the sample schema: the boxes, ticks and links the control draws, the SQL it
// reads back (as the formatter writes the statement, apart from the listed differences) and
// that SQL written again giving the same diagram.
#include "ControlTestSupport.h"

namespace {

struct SqlCase {
    const char* name;
    const char* input;
    std::vector<std::string> boxes;  // "Name alias: ticked columns", sorted
    std::vector<std::string> links;  // "key0.line0 op key1.line1 TYPE", Table0 first
    const char* output;              // what the formatter writes for the input
    const char* reread = nullptr;    // read back after writing Output again, when it differs
};

class SqlOverTheSample : public ControlTest, public ::testing::WithParamInterface<SqlCase> {};

TEST_P(SqlOverTheSample, DrawsOneBoxPerTableTheTicksAndOneLinkPerJoinCondition) {
    SetSql(GetParam().input);
    EXPECT_EQ(Boxes(), GetParam().boxes);
    EXPECT_EQ(Links(), GetParam().links);
    EXPECT_TRUE(Errors.empty());
}

TEST_P(SqlOverTheSample, ReadsBackWhatTheFormatterWrites) {
    SetSql(GetParam().input);
    EXPECT_EQ(Sql(), GetParam().output);
}

TEST_P(SqlOverTheSample, ReadsBackSqlThatRebuildsTheSameDiagram) {
    SetSql(GetParam().input);
    ExpectSameDiagramAfterReparse(GetParam().reread);
}

INSTANTIATE_TEST_SUITE_P(
    Statements, SqlOverTheSample,
    ::testing::Values(
        SqlCase{"inner_join",
                "SELECT o.OrderID, c.CompanyName FROM Orders o INNER JOIN Customers c ON c.CustomerID = o.CustomerID",
                {"Customers c: CompanyName", "Orders o: OrderID"},
                {"o.CustomerID = c.CustomerID INNER"},
                "SELECT \r\n"
                "  o.OrderID,\r\n"
                "  c.CompanyName\r\n"
                "FROM\r\n"
                " Orders o\r\n"
                " INNER JOIN Customers c ON (o.CustomerID=c.CustomerID)\r\n"},
        SqlCase{"left_join",
                "SELECT c.CompanyName, o.OrderDate FROM Customers c LEFT JOIN Orders o ON o.CustomerID = c.CustomerID",
                {"Customers c: CompanyName", "Orders o: OrderDate"},
                {"c.CustomerID = o.CustomerID LEFT"},
                "SELECT \r\n"
                "  c.CompanyName,\r\n"
                "  o.OrderDate\r\n"
                "FROM\r\n"
                " Customers c\r\n"
                " LEFT OUTER JOIN Orders o ON (c.CustomerID=o.CustomerID)\r\n"},
        SqlCase{"right_join",
                "SELECT o.OrderID, s.CompanyName FROM Orders o RIGHT JOIN Shippers s ON s.ShipperID = o.ShipVia",
                {"Orders o: OrderID", "Shippers s: CompanyName"},
                {"o.ShipVia = s.ShipperID RIGHT"},
                "SELECT \r\n"
                "  o.OrderID,\r\n"
                "  s.CompanyName\r\n"
                "FROM\r\n"
                " Orders o\r\n"
                " RIGHT OUTER JOIN Shippers s ON (o.ShipVia=s.ShipperID)\r\n"},
        SqlCase{"full_join",
                "SELECT p.ProductName, c.CategoryName FROM Products p FULL JOIN Categories c ON c.CategoryID = p.CategoryID",
                {"Categories c: CategoryName", "Products p: ProductName"},
                {"p.CategoryID = c.CategoryID FULL"},
                "SELECT \r\n"
                "  p.ProductName,\r\n"
                "  c.CategoryName\r\n"
                "FROM\r\n"
                " Products p\r\n"
                " FULL OUTER JOIN Categories c ON (p.CategoryID=c.CategoryID)\r\n"},
        SqlCase{"self_join_with_aliases",
                "SELECT e.LastName, m.LastName AS Boss FROM Employees e JOIN Employees m ON m.EmployeeID = e.ReportsTo",
                {"Employees e: LastName", "Employees m: LastName"},
                {"e.ReportsTo = m.EmployeeID INNER"},
                "SELECT \r\n"
                "  e.LastName,\r\n"
                "  m.LastName AS Boss\r\n"
                "FROM\r\n"
                " Employees e\r\n"
                " INNER JOIN Employees m ON (e.ReportsTo=m.EmployeeID)\r\n"},
        SqlCase{"value_join_draws_no_link",
                "SELECT o.OrderID, s.CompanyName FROM Orders o JOIN Shippers s ON s.ShipperID = o.ShipVia AND s.ShipperID = 1",
                {"Orders o: OrderID", "Shippers s: CompanyName"},
                {"o.ShipVia = s.ShipperID INNER"},
                "SELECT \r\n"
                "  o.OrderID,\r\n"
                "  s.CompanyName\r\n"
                "FROM\r\n"
                " Orders o\r\n"
                " INNER JOIN Shippers s ON (o.ShipVia=s.ShipperID)\r\n"
                "  AND (s.ShipperID=1)\r\n"},
        SqlCase{"two_conditions_one_join_with_operator",
                "SELECT o.OrderID, d.Quantity FROM Orders o JOIN [Order Details] d ON d.OrderID = o.OrderID AND d.UnitPrice > o.Freight",
                {"Order Details d: Quantity", "Orders o: OrderID"},
                {"o.OrderID = d.OrderID INNER", "o.Freight < d.UnitPrice INNER"},
                "SELECT \r\n"
                "  o.OrderID,\r\n"
                "  d.Quantity\r\n"
                "FROM\r\n"
                " Orders o\r\n"
                " INNER JOIN [Order Details] d ON (o.OrderID=d.OrderID)\r\n"
                "  AND (o.Freight<d.UnitPrice)\r\n"},
        SqlCase{"chain_with_expression_where_order",
                "SELECT o.OrderID, p.ProductName, d.UnitPrice * d.Quantity AS Amount FROM Orders o JOIN [Order Details] d ON d.OrderID = o.OrderID JOIN Products p ON p.ProductID = d.ProductID WHERE o.Freight > 10 AND p.Discontinued = 0 ORDER BY o.OrderID, Amount DESC",
                {"Order Details d:", "Orders o: OrderID", "Products p: ProductName"},
                {"o.OrderID = d.OrderID INNER", "d.ProductID = p.ProductID INNER"},
                "SELECT \r\n"
                "  o.OrderID,\r\n"
                "  p.ProductName,\r\n"
                "  d.UnitPrice * d.Quantity AS Amount\r\n"
                "FROM\r\n"
                " Orders o\r\n"
                " INNER JOIN [Order Details] d ON (o.OrderID=d.OrderID)\r\n"
                " INNER JOIN Products p ON (d.ProductID=p.ProductID)\r\n"
                "WHERE\r\n"
                "  (o.Freight > 10) AND \r\n"
                "  (p.Discontinued = 0)\r\n"
                "ORDER BY\r\n"
                "  o.OrderID,\r\n"
                "  Amount DESC\r\n"},
        SqlCase{"aggregates_group_having_order",
                "SELECT c.Country, COUNT(o.OrderID) AS Orders, SUM(o.Freight) AS Total FROM Customers c JOIN Orders o ON o.CustomerID = c.CustomerID WHERE o.ShipCountry <> 'France' GROUP BY c.Country HAVING COUNT(o.OrderID) > 5 ORDER BY Total DESC",
                {"Customers c: Country", "Orders o:"},
                {"c.CustomerID = o.CustomerID INNER"},
                "SELECT \r\n"
                "  c.Country,\r\n"
                "  COUNT(o.OrderID) AS Orders,\r\n"
                "  SUM(o.Freight) AS Total\r\n"
                "FROM\r\n"
                " Customers c\r\n"
                " INNER JOIN Orders o ON (c.CustomerID=o.CustomerID)\r\n"
                "WHERE\r\n"
                "  (o.ShipCountry <> 'France')\r\n"
                "GROUP BY\r\n"
                "  c.Country\r\n"
                "HAVING\r\n"
                "  (COUNT(o.OrderID) > 5)\r\n"
                "ORDER BY\r\n"
                "  Total DESC\r\n"},
        SqlCase{"chinese_table_and_columns",
                "SELECT r.[地区名称], c.CompanyName FROM Customers c LEFT JOIN [地区] r ON r.[地区编号] = c.[地区编号]",
                {"Customers c: CompanyName", "地区 r: 地区名称"},
                {"c.地区编号 = r.地区编号 LEFT"},
                "SELECT \r\n"
                "  r.[地区名称],\r\n"
                "  c.CompanyName\r\n"
                "FROM\r\n"
                " Customers c\r\n"
                " LEFT OUTER JOIN [地区] r ON (c.[地区编号]=r.[地区编号])\r\n"},
        SqlCase{"chinese_view_without_alias",
                "SELECT [客户订单统计].[公司名称], [客户订单统计].[订单数] FROM [客户订单统计] WHERE [客户订单统计].[订单数] > 3",
                {"客户订单统计: 公司名称, 订单数"},
                {},
                "SELECT \r\n"
                "  [客户订单统计].[公司名称],\r\n"
                "  [客户订单统计].[订单数]\r\n"
                "FROM\r\n"
                " [客户订单统计]\r\n"
                "WHERE\r\n"
                "  ([客户订单统计].[订单数] > 3)\r\n"},
        SqlCase{"reversed_outer_join",
                "SELECT c.CompanyName, e.LastName FROM Employees e, Customers c LEFT JOIN Orders o ON o.CustomerID = c.CustomerID AND o.EmployeeID = e.EmployeeID",
                {"Customers c: CompanyName", "Employees e: LastName", "Orders o:"},
                {"c.CustomerID = o.CustomerID LEFT", "o.EmployeeID = e.EmployeeID RIGHT"},
                "SELECT \r\n"
                "  c.CompanyName,\r\n"
                "  e.LastName\r\n"
                "FROM\r\n"
                " Customers c\r\n"
                " LEFT OUTER JOIN Orders o ON (c.CustomerID=o.CustomerID)\r\n"
                " RIGHT OUTER JOIN Employees e ON (o.EmployeeID=e.EmployeeID)\r\n"},
        SqlCase{"star_ticks_nothing",
                "SELECT * FROM Shippers",
                {"Shippers:"},
                {},
                "SELECT *\r\n"
                "FROM\r\n"
                " Shippers\r\n"},
        SqlCase{"keyword_column",
                "SELECT c.CategoryName, c.[Order] FROM Categories c ORDER BY c.[Order]",
                {"Categories c: CategoryName, Order"},
                {},
                "SELECT \r\n"
                "  c.CategoryName,\r\n"
                "  c.[Order]\r\n"
                "FROM\r\n"
                " Categories c\r\n"
                "ORDER BY\r\n"
                "  c.[Order]\r\n"},
        SqlCase{"distinct_top_like_between",
                "SELECT DISTINCT TOP 5 p.ProductName, p.UnitPrice * (1 - 0.1) AS Sale FROM Products p WHERE p.ProductName LIKE 'Ch%' OR p.UnitPrice BETWEEN 10 AND 20 ORDER BY p.ProductName",
                {"Products p: ProductName"},
                {},
                "SELECT DISTINCT TOP 5 \r\n"
                "  p.ProductName,\r\n"
                "  p.UnitPrice * (1 -0.1) AS Sale\r\n"
                "FROM\r\n"
                " Products p\r\n"
                "WHERE\r\n"
                "  (p.ProductName LIKE 'Ch%') OR \r\n"
                "  (p.UnitPrice BETWEEN 10 AND 20)\r\n"
                "ORDER BY\r\n"
                "  p.ProductName\r\n"},
        SqlCase{"equal_output_names_of_two_tables_stay",
                "SELECT e.LastName, m.LastName FROM Employees e JOIN Employees m ON m.EmployeeID = e.ReportsTo",
                {"Employees e: LastName", "Employees m: LastName"},
                {"e.ReportsTo = m.EmployeeID INNER"},
                "SELECT \r\n"
                "  e.LastName,\r\n"
                "  m.LastName\r\n"
                "FROM\r\n"
                " Employees e\r\n"
                " INNER JOIN Employees m ON (e.ReportsTo=m.EmployeeID)\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

// Statements the control reads back otherwise than the formatter writes them, each for a reason
// the control's rules give; Output is the control's text, the comment says what differs.
INSTANTIATE_TEST_SUITE_P(
    Differences, SqlOverTheSample,
    ::testing::Values(
        // Unqualified columns move into the table whose data set has them (the formatter keeps
        // "OrderID" and "CompanyName"): the select list is qualified, in its order.
        SqlCase{"unqualified_columns_move_into_their_tables",
                "SELECT OrderID, CompanyName FROM Orders o JOIN Customers c ON c.CustomerID = o.CustomerID",
                {"Customers c: CompanyName", "Orders o: OrderID"},
                {"o.CustomerID = c.CustomerID INNER"},
                "SELECT \r\n"
                "  o.OrderID,\r\n"
                "  c.CompanyName\r\n"
                "FROM\r\n"
                " Orders o\r\n"
                " INNER JOIN Customers c ON (o.CustomerID=c.CustomerID)\r\n"},
        // Only the select list moves: WHERE and ORDER BY keep the plain names; a table without
        // alias qualifies by its name.
        SqlCase{"unqualified_columns_of_one_table",
                "SELECT ProductName, UnitPrice AS Price FROM Products WHERE UnitPrice > 20 ORDER BY ProductName",
                {"Products: ProductName, UnitPrice"},
                {},
                "SELECT \r\n"
                "  Products.ProductName,\r\n"
                "  Products.UnitPrice AS Price\r\n"
                "FROM\r\n"
                " Products\r\n"
                "WHERE\r\n"
                "  (UnitPrice > 20)\r\n"
                "ORDER BY\r\n"
                "  ProductName\r\n"},
        // A column whose name is another column's output name gets a numbered alias (the
        // formatter writes "p.UnitPrice" twice as output name UnitPrice).
        SqlCase{"output_name_taken_by_another_column",
                "SELECT p.ProductName AS UnitPrice, p.UnitPrice FROM Products p",
                {"Products p: ProductName, UnitPrice"},
                {},
                "SELECT \r\n"
                "  p.ProductName AS UnitPrice,\r\n"
                "  p.UnitPrice AS UnitPrice1\r\n"
                "FROM\r\n"
                " Products p\r\n"},
        // Only the column shown by its name is numbered; the one with its own alias Price keeps it.
        SqlCase{"unqualified_output_name_taken_twice",
                "SELECT UnitPrice AS Price, ProductName AS UnitPrice, UnitPrice FROM Products",
                {"Products: ProductName, UnitPrice"},
                {},
                "SELECT \r\n"
                "  Products.UnitPrice AS Price,\r\n"
                "  Products.ProductName AS UnitPrice,\r\n"
                "  Products.UnitPrice AS UnitPrice1\r\n"
                "FROM\r\n"
                " Products\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

class SqlHost : public ControlTest {};

TEST_F(SqlHost, IsAskedOnceForEachTableByItsNameAsParsed) {
    SetSql("SELECT o.OrderID FROM Orders o JOIN [Order Details] d ON d.OrderID = o.OrderID "
           "JOIN Products p ON p.ProductID = d.ProductID, [地区]");
    EXPECT_EQ(Host->Asked, (std::vector<std::string>{"Orders", "Order Details", "Products", "地区"}));
}

TEST_F(SqlHost, AReversedOuterJoinExchangesLeftAndRightOnTheLinkOnlyAndKeepsItsDefinition) {
    SetSql("SELECT c.CompanyName, e.LastName FROM Employees e, Customers c LEFT JOIN Orders o "
           "ON o.CustomerID = c.CustomerID AND o.EmployeeID = e.EmployeeID");
    ASSERT_EQ(JoinDefs().Count(), 2);
    const TQBJoinDef& def = *JoinDefs().Items(1);
    EXPECT_EQ(def.LeftTable, "e");
    EXPECT_EQ(def.RightTable, "o");
    EXPECT_EQ(def.JoinType, 1);
    ASSERT_EQ(Control->Links().Count(), 2);
    const TQBJoin& join = *Control->Links().Items(1)->Join();
    EXPECT_EQ(join.Table0, Box("o"));
    EXPECT_EQ(join.Table1, Box("e"));
    EXPECT_EQ(join.JoinType, 2);
    // A later change elsewhere leaves the join as it was.
    const std::string from = Sql().substr(Sql().find("FROM"));
    Line("o", "OrderDate")->SetChecked(true);
    EXPECT_EQ(Sql().substr(Sql().find("FROM")), from);
    EXPECT_EQ(JoinDefs().Items(1)->JoinType, 1);
}

class SqlAliases : public ControlTest {};

TEST_F(SqlAliases, ANumberedAliasStaysWhenTheSqlIsWrittenAgain) {
    SetSql("SELECT p.ProductName AS UnitPrice, p.UnitPrice FROM Products p");
    const std::string once = Sql();
    SetSql(once);
    EXPECT_EQ(Sql(), once);
}

TEST_F(SqlAliases, AColumnsOwnAliasIsKeptWhenItsNameIsAnotherOutputName) {
    SetSql("SELECT p.UnitPrice AS Price, p.ProductName AS UnitPrice FROM Products p");
    EXPECT_EQ(Sql(), "SELECT \r\n"
                     "  p.UnitPrice AS Price,\r\n"
                     "  p.ProductName AS UnitPrice\r\n"
                     "FROM\r\n"
                     " Products p\r\n");
}

}  // namespace
