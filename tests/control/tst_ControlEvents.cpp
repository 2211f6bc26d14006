// Driving the diagram of a written statement with real mouse and key events: ticking and
// unticking columns, closing a box, renaming an alias, removing a link. Each changes the SQL
// read back as a user expects, and that SQL written again gives the same diagram.
#include <QAction>

#include "ControlTestSupport.h"

namespace {

class ControlEvents : public ControlTest {
protected:
    // Renames the box's alias as a user does: double-click on the caption, erase, type, Enter.
    void RenameAlias(TQBTable* box, const QString& alias) {
        DoubleClick(CaptionPoint(box));
        QLineEdit* edit = Area->AliasEdit();
        ASSERT_TRUE(edit->isVisible());
        ASSERT_EQ(QApplication::focusWidget(), edit);
        Key(Qt::Key_End);
        for (int i = edit->text().size(); i > 0; --i) Key(Qt::Key_Backspace);
        Type(alias);
        Key(Qt::Key_Return);
        QApplication::processEvents();
    }

    // Opens the popup menu at Point and runs the command named Text.
    void MenuCommand(const QPoint& point, const QString& text) {
        Click(point, Qt::RightButton);
        QAction* chosen = nullptr;
        for (QAction* action : Area->PopupMenu()->actions())
            if (action->text() == text) chosen = action;
        Area->PopupMenu()->hide();
        ASSERT_NE(chosen, nullptr) << text.toStdString();
        chosen->trigger();
        QApplication::processEvents();
    }
};

TEST_F(ControlEvents, TickingAColumnAddsItToTheEndOfTheSelectListAndUntickingTakesItOut) {
    SetSql("SELECT o.OrderID FROM Orders o JOIN Customers c ON c.CustomerID = o.CustomerID");
    Click(CheckCell(Line("c", "CompanyName")));
    EXPECT_TRUE(Line("c", "CompanyName")->Checked());
    EXPECT_EQ(Sql(), "SELECT \r\n"
                     "  o.OrderID,\r\n"
                     "  c.CompanyName\r\n"
                     "FROM\r\n"
                     " Orders o\r\n"
                     " INNER JOIN Customers c ON (o.CustomerID=c.CustomerID)\r\n");
    ExpectSameDiagramAfterReparse();

    Click(CheckCell(Line("o", "OrderID")));
    EXPECT_FALSE(Line("o", "OrderID")->Checked());
    EXPECT_EQ(Sql(), "SELECT \r\n"
                     "  c.CompanyName\r\n"
                     "FROM\r\n"
                     " Orders o\r\n"
                     " INNER JOIN Customers c ON (o.CustomerID=c.CustomerID)\r\n");
    ExpectSameDiagramAfterReparse();
    EXPECT_EQ(Boxes(), (std::vector<std::string>{"Customers c: CompanyName", "Orders o:"}));
}

TEST_F(ControlEvents, TickingAColumnFarDownTheListScrollsToItAndSelectsIt) {
    SetSql("SELECT o.OrderID FROM Orders o");
    Click(CheckCell(Line("o", "ShipCountry")));
    EXPECT_EQ(Sql(), "SELECT \r\n"
                     "  o.OrderID,\r\n"
                     "  o.ShipCountry\r\n"
                     "FROM\r\n"
                     " Orders o\r\n");
}

TEST_F(ControlEvents, UntickingTheColumnWhoseOutputNameWasTakenGivesTheOtherItsPlainNameBack) {
    SetSql("SELECT p.ProductName AS UnitPrice, p.UnitPrice FROM Products p");
    Click(CheckCell(Line("p", "ProductName")));
    EXPECT_EQ(Sql(), "SELECT \r\n"
                     "  p.UnitPrice\r\n"
                     "FROM\r\n"
                     " Products p\r\n");
    ExpectSameDiagramAfterReparse();
}

TEST_F(ControlEvents, ClosingABoxTakesItsColumnsLinkExpressionsConditionsAndOrderItemsAway) {
    SetSql("SELECT o.OrderID, c.CompanyName, e.LastName, c.City + ', ' + e.City AS Cities FROM Orders o "
           "JOIN Customers c ON c.CustomerID = o.CustomerID JOIN Employees e ON e.EmployeeID = o.EmployeeID "
           "WHERE c.Country = 'Germany' AND o.Freight > 5 ORDER BY c.CompanyName, o.OrderID");
    ASSERT_EQ(Control->Links().Count(), 2);
    Click(ButtonPoint(Box("c"), 2));
    QApplication::processEvents();
    EXPECT_EQ(Box("c"), nullptr);
    EXPECT_EQ(Links(), (std::vector<std::string>{"o.EmployeeID = e.EmployeeID INNER"}));
    EXPECT_EQ(Sql(), "SELECT \r\n"
                     "  o.OrderID,\r\n"
                     "  e.LastName\r\n"
                     "FROM\r\n"
                     " Orders o\r\n"
                     " INNER JOIN Employees e ON (o.EmployeeID=e.EmployeeID)\r\n"
                     "WHERE\r\n"
                     "  (o.Freight > 5)\r\n"
                     "ORDER BY\r\n"
                     "  o.OrderID\r\n");
    ExpectSameDiagramAfterReparse();
}

TEST_F(ControlEvents, ClosingABoxTakesItsGroupByItemsAway) {
    SetSql("SELECT c.Country, COUNT(o.OrderID) AS N FROM Customers c JOIN Orders o ON o.CustomerID = c.CustomerID "
           "GROUP BY c.Country HAVING COUNT(o.OrderID) > 1");
    Click(ButtonPoint(Box("c"), 2));
    QApplication::processEvents();
    EXPECT_EQ(Sql().find("c.Country"), std::string::npos) << Sql();
}

TEST_F(ControlEvents, ARefusedCloseKeepsBoxAndSql) {
    SetSql("SELECT o.OrderID, c.CompanyName FROM Orders o JOIN Customers c ON c.CustomerID = o.CustomerID");
    const std::string before = Sql();
    Control->OnAddRemoveTable = [](QObject*, TQBTable*, TQBAction action, bool& accept) {
        if (action == qbaRemove) accept = false;
    };
    Click(ButtonPoint(Box("c"), 2));
    QApplication::processEvents();
    EXPECT_NE(Box("c"), nullptr);
    EXPECT_EQ(Sql(), before);
}

TEST_F(ControlEvents, RenamingAnAliasCarriesItEverywhereButIntoStringLiterals) {
    SetSql("SELECT c.Country, COUNT(o.OrderID) AS Orders, c.City + ' c.x' AS Place FROM Customers c "
           "JOIN Orders o ON o.CustomerID = c.CustomerID WHERE c.Country <> 'c.Country' "
           "GROUP BY c.Country, c.City HAVING COUNT(c.CustomerID) > 1 ORDER BY c.Country");
    RenameAlias(Box("c"), "cu");
    EXPECT_TRUE(Errors.empty());
    ASSERT_NE(Box("cu"), nullptr);
    EXPECT_EQ(Box("cu")->Alias(), "cu");
    EXPECT_EQ(Sql(), "SELECT \r\n"
                     "  cu.Country,\r\n"
                     "  COUNT(o.OrderID) AS Orders,\r\n"
                     "  cu.City + ' c.x' AS Place\r\n"
                     "FROM\r\n"
                     " Customers cu\r\n"
                     " INNER JOIN Orders o ON (cu.CustomerID=o.CustomerID)\r\n"
                     "WHERE\r\n"
                     "  (cu.Country <> 'c.Country')\r\n"
                     "GROUP BY\r\n"
                     "  cu.Country,\r\n"
                     "  cu.City\r\n"
                     "HAVING\r\n"
                     "  (COUNT(cu.CustomerID) > 1)\r\n"
                     "ORDER BY\r\n"
                     "  cu.Country\r\n");
    ExpectSameDiagramAfterReparse();
}

TEST_F(ControlEvents, RenamingAnAliasToAnotherBoxsKeyIsRefusedAndLeavesTheSql) {
    SetSql("SELECT o.OrderID, c.CompanyName FROM Orders o JOIN Customers c ON c.CustomerID = o.CustomerID");
    const std::string before = Sql();
    RenameAlias(Box("c"), "o");
    EXPECT_EQ(Errors, (std::vector<std::string>{"表别名 o 已经存在"}));
    EXPECT_EQ(Sql(), before);
    EXPECT_EQ(Box("c")->Alias(), "c");
}

TEST_F(ControlEvents, ClearingAnAliasQualifiesByTheTableName) {
    SetSql("SELECT s.CompanyName FROM Shippers s WHERE s.ShipperID > 1 ORDER BY s.CompanyName");
    RenameAlias(Box("s"), "");
    ASSERT_NE(Box("Shippers"), nullptr);
    EXPECT_EQ(Sql(), "SELECT \r\n"
                     "  Shippers.CompanyName\r\n"
                     "FROM\r\n"
                     " Shippers\r\n"
                     "WHERE\r\n"
                     "  (Shippers.ShipperID > 1)\r\n"
                     "ORDER BY\r\n"
                     "  Shippers.CompanyName\r\n");
    ExpectSameDiagramAfterReparse();
}

TEST_F(ControlEvents, SelectingALinkAndPressingDeleteRemovesItsJoin) {
    SetSql("SELECT o.OrderID, c.CompanyName FROM Orders o JOIN Customers c ON c.CustomerID = o.CustomerID");
    ASSERT_EQ(Control->Links().Count(), 1);
    Click(LinkPoint(Control->Links().Items(0)));
    ASSERT_EQ(Area->ActiveObject(), Control->Links().Items(0));
    Key(Qt::Key_Delete);
    QApplication::processEvents();
    EXPECT_EQ(Control->Links().Count(), 0);
    EXPECT_EQ(Sql(), "SELECT \r\n"
                     "  o.OrderID,\r\n"
                     "  c.CompanyName\r\n"
                     "FROM\r\n"
                     " Orders o,\r\n"
                     " Customers c\r\n");
    ExpectSameDiagramAfterReparse();
}

TEST_F(ControlEvents, RemovingOneOfTwoConditionsThroughTheMenuKeepsTheOther) {
    SetSql("SELECT o.OrderID, d.Quantity FROM Orders o JOIN [Order Details] d ON d.OrderID = o.OrderID "
           "AND d.UnitPrice > o.Freight");
    ASSERT_EQ(Links(), (std::vector<std::string>{"o.OrderID = d.OrderID INNER", "o.Freight < d.UnitPrice INNER"}));
    MenuCommand(LinkPoint(Control->Links().Items(1)), QString::fromUtf8("删除连接"));
    EXPECT_EQ(Links(), (std::vector<std::string>{"o.OrderID = d.OrderID INNER"}));
    EXPECT_EQ(Sql(), "SELECT \r\n"
                     "  o.OrderID,\r\n"
                     "  d.Quantity\r\n"
                     "FROM\r\n"
                     " Orders o\r\n"
                     " INNER JOIN [Order Details] d ON (o.OrderID=d.OrderID)\r\n");
    ExpectSameDiagramAfterReparse();
}

TEST_F(ControlEvents, ARemovedOuterJoinOfAReversedLinkLeavesTheOtherJoinIntact) {
    SetSql("SELECT c.CompanyName, e.LastName FROM Employees e, Customers c LEFT JOIN Orders o "
           "ON o.CustomerID = c.CustomerID AND o.EmployeeID = e.EmployeeID");
    ASSERT_EQ(Links(), (std::vector<std::string>{"c.CustomerID = o.CustomerID LEFT", "o.EmployeeID = e.EmployeeID RIGHT"}));
    Click(LinkPoint(Control->Links().Items(1)));
    Key(Qt::Key_Delete);
    QApplication::processEvents();
    EXPECT_EQ(Links(), (std::vector<std::string>{"c.CustomerID = o.CustomerID LEFT"}));
    EXPECT_EQ(JoinDefs().Count(), 1);
    ExpectSameDiagramAfterReparse();
}

struct RenameCase {
    const char* name;
    const char* input;
    const char* key;    // the box renamed
    const char* alias;  // typed into the alias editor
    const char* output;
};

class AliasRenames : public ControlEvents, public ::testing::WithParamInterface<RenameCase> {};

TEST_P(AliasRenames, CarryTheNewQualifierThroughTheStatement) {
    SetSql(GetParam().input);
    ASSERT_NE(Box(GetParam().key), nullptr);
    RenameAlias(Box(GetParam().key), QString::fromUtf8(GetParam().alias));
    EXPECT_TRUE(Errors.empty());
    EXPECT_EQ(Sql(), GetParam().output);
    ExpectSameDiagramAfterReparse();
}

INSTANTIATE_TEST_SUITE_P(
    Events, AliasRenames,
    ::testing::Values(
        RenameCase{"whole_qualifiers_only",
                   "SELECT c.CompanyName, cc.CompanyName AS Other FROM Customers c JOIN Customers cc ON cc.City = c.City "
                   "WHERE cc.Country = 'UK' AND c.Country = 'Spain' ORDER BY cc.CompanyName, c.City",
                   "c",
                   "x",
                   "SELECT \r\n"
                   "  x.CompanyName,\r\n"
                   "  cc.CompanyName AS Other\r\n"
                   "FROM\r\n"
                   " Customers x\r\n"
                   " INNER JOIN Customers cc ON (x.City=cc.City)\r\n"
                   "WHERE\r\n"
                   "  (cc.Country = 'UK') AND \r\n"
                   "  (x.Country = 'Spain')\r\n"
                   "ORDER BY\r\n"
                   "  cc.CompanyName,\r\n"
                   "  x.City\r\n"},
        RenameCase{"alias_for_a_quoted_table_name",
                   "SELECT [Order Details].Quantity, [Order Details].Discount FROM [Order Details] "
                   "WHERE [Order Details].Discount > 0 "
                   "GROUP BY [Order Details].Quantity, [Order Details].UnitPrice ORDER BY [Order Details].Quantity",
                   "Order Details",
                   "d",
                   "SELECT \r\n"
                   "  d.Quantity,\r\n"
                   "  d.Discount\r\n"
                   "FROM\r\n"
                   " [Order Details] d\r\n"
                   "WHERE\r\n"
                   "  (d.Discount > 0)\r\n"
                   "GROUP BY\r\n"
                   "  d.Quantity,\r\n"
                   "  d.UnitPrice\r\n"
                   "ORDER BY\r\n"
                   "  d.Quantity\r\n"},
        RenameCase{"cleared_alias_gives_the_quoted_table_name",
                   "SELECT d.Quantity, d.UnitPrice * d.Quantity AS Amount FROM [Order Details] d WHERE d.Discount > 0 "
                   "GROUP BY d.Quantity, d.UnitPrice ORDER BY d.Quantity",
                   "d",
                   "",
                   "SELECT \r\n"
                   "  [Order Details].Quantity,\r\n"
                   "  [Order Details].UnitPrice * [Order Details].Quantity AS Amount\r\n"
                   "FROM\r\n"
                   " [Order Details]\r\n"
                   "WHERE\r\n"
                   "  ([Order Details].Discount > 0)\r\n"
                   "GROUP BY\r\n"
                   "  [Order Details].Quantity,\r\n"
                   "  [Order Details].UnitPrice\r\n"
                   "ORDER BY\r\n"
                   "  [Order Details].Quantity\r\n"},
        RenameCase{"one_side_of_a_self_join",
                   "SELECT e.LastName, m.LastName AS Boss FROM Employees e JOIN Employees m ON m.EmployeeID = e.ReportsTo "
                   "WHERE m.Title = 'Manager' ORDER BY m.LastName",
                   "m",
                   "boss",
                   "SELECT \r\n"
                   "  e.LastName,\r\n"
                   "  boss.LastName AS Boss\r\n"
                   "FROM\r\n"
                   " Employees e\r\n"
                   " INNER JOIN Employees boss ON (e.ReportsTo=boss.EmployeeID)\r\n"
                   "WHERE\r\n"
                   "  (boss.Title = 'Manager')\r\n"
                   "ORDER BY\r\n"
                   "  boss.LastName\r\n"},
        RenameCase{"qualifiers_in_another_case",
                   "SELECT C.CompanyName FROM Customers c WHERE C.Country = 'x' ORDER BY C.City",
                   "c",
                   "k",
                   "SELECT \r\n"
                   "  k.CompanyName\r\n"
                   "FROM\r\n"
                   " Customers k\r\n"
                   "WHERE\r\n"
                   "  (k.Country = 'x')\r\n"
                   "ORDER BY\r\n"
                   "  k.City\r\n"},
        RenameCase{"chinese_alias",
                   "SELECT k.CompanyName FROM Customers k WHERE k.Country = 'x' ORDER BY k.City",
                   "k",
                   "客户",
                   "SELECT \r\n"
                   "  [客户].CompanyName\r\n"
                   "FROM\r\n"
                   " Customers [客户]\r\n"
                   "WHERE\r\n"
                   "  ([客户].Country = 'x')\r\n"
                   "ORDER BY\r\n"
                   "  [客户].City\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(ControlEvents, TheCaptionCheckBoxTicksEveryColumnInTableOrder) {
    SetSql("SELECT s.Phone FROM Shippers s");
    TQBTable* box = Box("s");
    const QPoint c = Center(box->CheckBoxHitRect());
    Click(Screen(c.x(), c.y()));
    EXPECT_EQ(Boxes(), (std::vector<std::string>{"Shippers s: ShipperID, CompanyName, Phone"}));
    EXPECT_EQ(Sql(), "SELECT \r\n"
                     "  s.Phone,\r\n"
                     "  s.ShipperID,\r\n"
                     "  s.CompanyName\r\n"
                     "FROM\r\n"
                     " Shippers s\r\n");
    ExpectSameDiagramAfterReparse();
}

TEST_F(ControlEvents, TickingAColumnOfAQuotedTableWithoutAliasQualifiesByTheQuotedName) {
    SetSql("SELECT [Order Details].Quantity FROM [Order Details]");
    Click(CheckCell(Line("Order Details", "Discount")));
    EXPECT_EQ(Sql(), "SELECT \r\n"
                     "  [Order Details].Quantity,\r\n"
                     "  [Order Details].Discount\r\n"
                     "FROM\r\n"
                     " [Order Details]\r\n");
    ExpectSameDiagramAfterReparse();
}

TEST_F(ControlEvents, AnAliasGivenToAQuotedTableNameReachesSelectListExpressions) {
    SetSql("SELECT [Order Details].UnitPrice * [Order Details].Quantity AS Amount FROM [Order Details]");
    RenameAlias(Box("Order Details"), "d");
    EXPECT_EQ(Sql(), "SELECT \r\n"
                     "  d.UnitPrice * d.Quantity AS Amount\r\n"
                     "FROM\r\n"
                     " [Order Details] d\r\n");
}

TEST_F(ControlEvents, UntickingAColumnSelectedTwiceTakesBothOutOfTheStatement) {
    SetSql("SELECT o.OrderID, o.OrderID AS Again, o.Freight FROM Orders o");
    Click(CheckCell(Line("o", "OrderID")));
    EXPECT_FALSE(Line("o", "OrderID")->Checked());
    EXPECT_EQ(Sql(), "SELECT \r\n"
                     "  o.Freight\r\n"
                     "FROM\r\n"
                     " Orders o\r\n");
    ExpectSameDiagramAfterReparse();
}

TEST_F(ControlEvents, TickingAndClosingOneSideOfASelfJoinTouchesOnlyThatSide) {
    SetSql("SELECT e.LastName, m.LastName AS Boss FROM Employees e JOIN Employees m ON m.EmployeeID = e.ReportsTo");
    Click(CheckCell(Line("m", "FirstName")));
    EXPECT_EQ(Sql(), "SELECT \r\n"
                     "  e.LastName,\r\n"
                     "  m.LastName AS Boss,\r\n"
                     "  m.FirstName\r\n"
                     "FROM\r\n"
                     " Employees e\r\n"
                     " INNER JOIN Employees m ON (e.ReportsTo=m.EmployeeID)\r\n");
    ExpectSameDiagramAfterReparse();
    Click(ButtonPoint(Box("m"), 2));
    QApplication::processEvents();
    EXPECT_EQ(Boxes(), (std::vector<std::string>{"Employees e: LastName"}));
    EXPECT_EQ(Sql(), "SELECT \r\n"
                     "  e.LastName\r\n"
                     "FROM\r\n"
                     " Employees e\r\n");
    ExpectSameDiagramAfterReparse();
}

TEST_F(ControlEvents, RemovingTheLinkOfAJoinWithAValueConditionKeepsTheValueCondition) {
    SetSql("SELECT o.OrderID, s.CompanyName FROM Orders o JOIN Shippers s ON s.ShipperID = o.ShipVia AND s.ShipperID = 1");
    Click(LinkPoint(Control->Links().Items(0)));
    Key(Qt::Key_Delete);
    QApplication::processEvents();
    EXPECT_EQ(Control->Links().Count(), 0);
    EXPECT_EQ(Sql(), "SELECT \r\n"
                     "  o.OrderID,\r\n"
                     "  s.CompanyName\r\n"
                     "FROM\r\n"
                     " Orders o\r\n"
                     " INNER JOIN Shippers s ON (s.ShipperID=1)\r\n");
    ExpectSameDiagramAfterReparse();
}

// The host's handlers run inside mouse and key events: what they throw is shown, never passed
// on into the event loop, and the diagram and the statement stay as they were.
TEST_F(ControlEvents, AHostThatThrowsWhenABoxIsClosedLeavesBoxAndSqlAndTheMessageIsShown) {
    SetSql("SELECT o.OrderID, c.CompanyName FROM Orders o JOIN Customers c ON c.CustomerID = o.CustomerID");
    const std::string before = Sql();
    Control->OnAddRemoveTable = [](QObject*, TQBTable*, TQBAction action, bool&) {
        if (action == qbaRemove) throw std::runtime_error("host says no");
    };
    Click(ButtonPoint(Box("c"), 2));
    QApplication::processEvents();
    EXPECT_EQ(Errors, (std::vector<std::string>{"host says no"}));
    EXPECT_NE(Box("c"), nullptr);
    EXPECT_EQ(Sql(), before);
    EXPECT_FALSE(Control->Updating());
}

TEST_F(ControlEvents, AHostThatThrowsWhenALinkIsRemovedLeavesLinkAndSqlAndTheMessageIsShown) {
    SetSql("SELECT o.OrderID, c.CompanyName FROM Orders o JOIN Customers c ON c.CustomerID = o.CustomerID");
    const std::string before = Sql();
    Control->OnAddRemoveLink = [](QObject*, TQBLink*, TQBAction action, bool&) {
        if (action == qbaRemove) throw std::runtime_error("link stays");
    };
    Click(LinkPoint(Control->Links().Items(0)));
    Key(Qt::Key_Delete);
    QApplication::processEvents();
    EXPECT_EQ(Errors, (std::vector<std::string>{"link stays"}));
    EXPECT_EQ(Control->Links().Count(), 1);
    EXPECT_EQ(Sql(), before);
}

TEST_F(ControlEvents, ClosingABoxWithoutAliasTakesAwayWhatItsQuotedNameQualifies) {
    SetSql("SELECT o.OrderID, [Order Details].UnitPrice * [Order Details].Quantity AS Amount FROM Orders o "
           "JOIN [Order Details] ON [Order Details].OrderID = o.OrderID WHERE [Order Details].Discount > 0 "
           "ORDER BY [Order Details].Quantity");
    Click(ButtonPoint(Box("Order Details"), 2));
    QApplication::processEvents();
    EXPECT_EQ(Sql(), "SELECT \r\n"
                     "  o.OrderID\r\n"
                     "FROM\r\n"
                     " Orders o\r\n");
}

TEST_F(ControlEvents, ClosingABoxTakesItsAggregatesAndHavingConditionsAway) {
    SetSql("SELECT c.Country, COUNT(o.OrderID) AS N FROM Customers c JOIN Orders o ON o.CustomerID = c.CustomerID "
           "GROUP BY c.Country HAVING COUNT(o.OrderID) > 1");
    Click(ButtonPoint(Box("o"), 2));
    QApplication::processEvents();
    EXPECT_EQ(Sql(), "SELECT \r\n"
                     "  c.Country\r\n"
                     "FROM\r\n"
                     " Customers c\r\n"
                     "GROUP BY\r\n"
                     "  c.Country\r\n");
}

TEST_F(ControlEvents, SqlWrittenWhileTheAliasEditorIsOpenIsNotRenamedWhenTheEditorLosesFocus) {
    SetSql("SELECT c.CompanyName FROM Customers c");
    DoubleClick(CaptionPoint(Box("c")));
    ASSERT_TRUE(Area->AliasEdit()->isVisible());
    Area->AliasEdit()->setText("zz");
    SetSql("SELECT c.CompanyName, o.OrderID FROM Customers c JOIN Orders o ON o.CustomerID = c.CustomerID");
    const std::string written = Sql();
    Area->setFocus();
    Click(Screen(800, 450));
    QApplication::processEvents();
    EXPECT_FALSE(Area->AliasEdit()->isVisible());
    EXPECT_NE(Box("c"), nullptr);
    EXPECT_EQ(Sql(), written);
    EXPECT_TRUE(Errors.empty());
}

}  // namespace
