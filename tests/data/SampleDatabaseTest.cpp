// The sample database the build makes from sample/: its objects and the columns the builder shows.
#include "data/DataQuery.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

namespace {

class SampleDatabaseTest : public testing::Test {
protected:
    void SetUp() override {
        FConnection.SetConnectionString(std::string("Provider=SQLite;Data Source=") + KORVEL_BINARY_DIR +
                                        "/sample/korvel-sample.db");
        FConnection.SetLoginPrompt(false);
        FConnection.Open();
    }

    TDataConnection FConnection;
};

TEST_F(SampleDatabaseTest, ListsTheTablesAndViews) {
    TDataQuery query(&FConnection);
    query.SetSQL("exec sp_help");
    query.Open();
    std::map<std::string, std::string> objects;
    for (; !query.Eof(); query.Next()) objects[query.Fields(0).AsString()] = query.Fields(2).AsString();
    for (const char* table : {"Customers", "Orders", "Order Details", "Products", "Categories", "Suppliers",
                              "Employees", "Shippers", "地区"})
        EXPECT_EQ(objects[table], "user table") << table;
    for (const char* view : {"Order Subtotals", "Product List", "客户订单统计"}) EXPECT_EQ(objects[view], "view") << view;
}

TEST_F(SampleDatabaseTest, OrderDetailsColumnsHaveTheirTypes) {
    TDataQuery query(&FConnection);
    query.SetSQL("SELECT * FROM [Order Details] WHERE 0 = 1");
    query.Open();
    std::vector<std::pair<std::string, TFieldType>> fields;
    for (int i = 0; i < query.FieldCount(); ++i)
        fields.emplace_back(query.Fields(i).FieldName(), query.Fields(i).DataType());
    EXPECT_EQ(fields, (std::vector<std::pair<std::string, TFieldType>>{{"OrderID", ftInteger},
                                                                      {"ProductID", ftInteger},
                                                                      {"UnitPrice", ftBCD},
                                                                      {"Quantity", ftSmallint},
                                                                      {"Discount", ftFloat}}));
}

TEST_F(SampleDatabaseTest, HoldsThousandsOfRelatedRows) {
    TDataQuery query(&FConnection);
    query.SetSQL("SELECT (SELECT count(*) FROM Orders), (SELECT count(*) FROM [Order Details]), "
                 "(SELECT count(*) FROM Employees e JOIN Employees m ON m.EmployeeID = e.ReportsTo), "
                 "(SELECT count(*) FROM Categories WHERE [Order] > 0)");
    query.Open();
    EXPECT_GE(std::stoi(query.Fields(0).AsString()), 1000);
    EXPECT_GE(std::stoi(query.Fields(1).AsString()), 2000);
    EXPECT_GE(std::stoi(query.Fields(2).AsString()), 1);
    EXPECT_EQ(query.Fields(3).AsString(), "8");
}

}  // namespace
