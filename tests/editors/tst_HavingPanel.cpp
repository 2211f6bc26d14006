// The HAVING panel on the "grouping criteria" page: aggregate functions chosen from the
// aggregate menu on either side, the empty item removing them, the function spots hidden
// without aggregates, and the picture of a nested group condition.
#include <QDir>

#include "CriteriaTestSupport.h"

namespace {

class HavingPanelTest : public CriteriaControlTest {
protected:
    // Writing SQL shows the first page again: the grouping page is shown afterwards.
    void Load(const std::string& text) {
        SetSql(text);
        ShowPage(qbtGroupCriterions);
    }

    // Clicks Spot and chooses the aggregate menu's item Caption ("" for the empty item).
    void ChooseAggregate(const TQBControl* spot, const QString& caption) {
        ClickSpot(spot);
        ASSERT_TRUE(Having().AggregateMenu()->isVisible());
        Having().AggregateMenu()->hide();
        for (QAction* action : Having().AggregateMenu()->actions())
            if (action->text() == caption) return action->trigger();
        ADD_FAILURE() << "no item " << caption.toStdString();
    }
};

TEST_F(HavingPanelTest, AggregatesChosenOnBothSidesAndRemovedByTheEmptyItem) {
    Load("SELECT o.CustomerID FROM Orders o GROUP BY o.CustomerID HAVING o.CustomerID <> 'x'");
    TQBCriterionRow* row = RowNumbered("1.");
    ASSERT_NE(row, nullptr);
    ASSERT_GT(row->Spot(siLeftFunction)->Width, 0);
    ASSERT_GT(row->Spot(siRightFunction)->Width, 0);
    EXPECT_EQ(Having().AggregateMenu()->actions().size(), Parser().GetAggregateNames().Count() + 1);

    ChooseAggregate(row->Spot(siLeftFunction), "COUNT");
    EXPECT_EQ(Clause("HAVING"), "HAVING (COUNT(o.CustomerID) <> 'x')");
    ClickSpot(row->Spot(siFirstValue));
    Having().Editor()->setPlainText("o.Freight");
    PanelKey(Qt::Key_Return);
    ChooseAggregate(row->Spot(siRightFunction), "MAX");
    EXPECT_EQ(Clause("HAVING"), "HAVING (COUNT(o.CustomerID) <> MAX(o.Freight))");
    EXPECT_EQ(RowTexts(Having())[1], "1.|COUNT|o.CustomerID|<>|MAX|o.Freight");

    ChooseAggregate(row->Spot(siLeftFunction), "");
    ChooseAggregate(row->Spot(siRightFunction), "");
    EXPECT_EQ(Clause("HAVING"), "HAVING (o.CustomerID <> o.Freight)");
    // The empty item on a side without a function changes nothing.
    ChooseAggregate(row->Spot(siLeftFunction), "");
    EXPECT_EQ(Clause("HAVING"), "HAVING (o.CustomerID <> o.Freight)");
    EXPECT_TRUE(Errors.empty());
}

TEST_F(HavingPanelTest, WithoutAggregatesTheFunctionSpotsAreHidden) {
    Control->SetAggregates(TStringList());
    Load("SELECT o.CustomerID FROM Orders o GROUP BY o.CustomerID HAVING o.CustomerID <> 'x'");
    const TQBCriterionRow* row = RowNumbered("1.");
    EXPECT_EQ(row->Spot(siLeftFunction)->Width, 0);
    EXPECT_EQ(row->Spot(siRightFunction)->Width, 0);
    EXPECT_TRUE(Having().AggregateMenu()->actions().isEmpty());
}

TEST_F(HavingPanelTest, PictureOfANestedGroupCondition) {
    Control->resize(760, 520);
    Control->SetTabHeight(200);
    Load("SELECT o.CustomerID, SUM(o.Freight) FROM Orders o GROUP BY o.CustomerID "
           "HAVING SUM(o.Freight) > 1000 AND (COUNT(o.OrderID) >= 10 OR MAX(o.Freight) BETWEEN 50 AND 500) "
           "AND o.CustomerID NOT IN ('ALFKI','BONAP')");
    EXPECT_EQ(RowTexts(Having()),
              (std::vector<std::string>{"|All", "1.|SUM|o.Freight|>||1000", "2.|Any", "2.1.|COUNT|o.OrderID|>=||10",
                                        "2.2.|MAX|o.Freight|BETWEEN||50|500", "3.||o.CustomerID|NOT IN||'ALFKI','BONAP'"}));
    PanelKey(Qt::Key_Down);
    PanelKey(Qt::Key_Down);
    PanelKey(Qt::Key_Down);
    EXPECT_EQ(SpotName(Having().CurrentSpot()), "2.1.:1");
    QApplication::processEvents();
    const QString dir = qEnvironmentVariable("KORVEL_SNAPSHOT_DIR");
    if (!dir.isEmpty()) {
        QDir().mkpath(dir);
        EXPECT_TRUE(Control->PageControl()->grab().save(dir + "/having.png"));
    }
}

}  // namespace
