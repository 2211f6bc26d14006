// The preview sends only one complete SELECT statement: other statements, a second statement
// after a semicolon and text the parser cannot read are refused with a message.
#include <gtest/gtest.h>

#include "host/PreviewStatement.h"
#include "resources/QBResource.h"

namespace {

struct TPreviewCase {
    const char* Text;
    bool Allowed;
};

const TPreviewCase PreviewCases[] = {
    {"SELECT * FROM Orders", true},
    {"SELECT o.OrderID FROM Orders o WHERE o.Freight > 10 ORDER BY o.OrderID", true},
    {"SELECT * FROM Orders;", true},
    {"SELECT * FROM Orders;;  ", true},
    {"SELECT * FROM Orders -- ; DELETE FROM Orders", true},
    {"SELECT * FROM Orders WHERE ShipName = 'a; DELETE FROM Orders'", true},
    {"SELECT [a;b] FROM Orders", true},
    {"DELETE FROM Orders", false},
    {"UPDATE Orders SET Freight = 0", false},
    {"INSERT INTO Orders (OrderID) VALUES (1)", false},
    {"DROP TABLE Orders", false},
    {"SELECT 1; DELETE FROM Orders", false},
    {"SELECT * FROM Orders; SELECT * FROM Customers", false},
    {"SELECT * FROM Orders;\r\nGO", false},
    {"SELECT * FROM Orders WHERE OrderID = 1 DELETE FROM Orders", false},
    {"SELECT * INTO Copy FROM Orders", false},
    {"SELECT * FROM Orders WHERE ShipName = 'open", false},
    {"", false},
    {"   ", false},
    {";", false},
};

TEST(PreviewStatementTest, OnlyOneCompleteSelectIsAllowed) {
    for (const TPreviewCase& c : PreviewCases) {
        const std::string error = PreviewStatementError(c.Text, false);
        EXPECT_EQ(error.empty(), c.Allowed) << c.Text << " -> " << error;
    }
}

TEST(PreviewStatementTest, SecondStatementIsNamedInTheMessage) {
    EXPECT_EQ(PreviewStatementError("SELECT 1; DELETE FROM Orders", false), QBResource::SPreviewNotOneSelect);
}

TEST(PreviewStatementTest, AlterQuotesReadDoubleQuotedNames) {
    EXPECT_TRUE(PreviewStatementError("SELECT \"Order Details\".OrderID FROM \"Order Details\"", true).empty());
    EXPECT_TRUE(PreviewStatementError("SELECT [Order Details].OrderID FROM [Order Details]", false).empty());
}

}  // namespace
