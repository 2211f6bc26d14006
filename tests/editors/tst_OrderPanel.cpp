// The sorting page on a control over the sample database: the candidates offered, the ORDER
// BY entries loaded, every command by button, double click and drop, and what each leaves in
// the statement; ORDER BY items the page cannot show survive its writing; the layout's
// relations.
#include <QLabel>

#include "SelectOrderTestSupport.h"
#include "toolkit/Exceptions.h"

namespace {

using Strings = std::vector<std::string>;

class OrderPanelTest : public SelectOrderTest {
protected:
    void Load(const std::string& text) {
        SetSql(text);
        ShowPage(qbtSorting);
    }
};

constexpr const char* Shippers = "SELECT s.CompanyName FROM Shippers s";

TEST_F(OrderPanelTest, OffersEachSortableTextOnceAndLoadsTheEntries) {
    Load("SELECT o.OrderID, o.Freight AS Cost, e.LastName FROM Orders o "
         "JOIN Employees e ON e.EmployeeID = o.EmployeeID ORDER BY Cost DESC, e.lastname");
    EXPECT_EQ(SortEntries(), (Strings{"Cost 降序", "e.lastname 升序"}));
    const Strings candidates = Candidates();
    // A column selected under an alias is offered by the alias, not by its qualified name.
    EXPECT_EQ(std::count(candidates.begin(), candidates.end(), "o.Freight"), 0);
    EXPECT_EQ(std::count(candidates.begin(), candidates.end(), "o.OrderID"), 1);
    EXPECT_EQ(std::count(candidates.begin(), candidates.end(), "o.ShipCity"), 1);
    EXPECT_EQ(std::count(candidates.begin(), candidates.end(), "e.LastName"), 0);  // shown as an entry
    Strings sorted = candidates;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(std::adjacent_find(sorted.begin(), sorted.end()), sorted.end());
    EXPECT_EQ(Order()->Label()->text(), QString::fromUtf8("输入字段"));
    EXPECT_EQ(Order()->SortList()->headerItem()->text(0), QString::fromUtf8("排序字段"));
    EXPECT_EQ(Order()->SortList()->headerItem()->text(1), QString::fromUtf8("排序类型"));
}

TEST_F(OrderPanelTest, AddMovesTheSelectedCandidateAndSelectsTheNextOne) {
    Load("SELECT o.OrderID FROM Orders o");
    EXPECT_FALSE(Order()->AddButton()->isEnabled());
    EXPECT_TRUE(Order()->AddAllButton()->isEnabled());
    const Strings before = Candidates();
    ClickCandidate("o.OrderDate");
    Press(Order()->AddButton());
    EXPECT_EQ(OrderItems(), (Strings{"o.OrderDate ASC"}));
    EXPECT_EQ(SortEntries(), (Strings{"o.OrderDate 升序"}));
    EXPECT_EQ(Candidates().size(), before.size() - 1);
    const auto at = std::find(before.begin(), before.end(), "o.OrderDate") - before.begin();
    EXPECT_EQ(Order()->SourceList()->currentRow(), at);
    EXPECT_TRUE(Order()->AddButton()->isEnabled());
    EXPECT_TRUE(Order()->RemoveAllButton()->isEnabled());
    EXPECT_NE(Sql().find("ORDER BY\r\n  o.OrderDate"), std::string::npos);
}

TEST_F(OrderPanelTest, AddAllTakesEveryCandidateInOrderAscending) {
    Load(Shippers);
    const Strings candidates = Candidates();
    ASSERT_EQ(candidates, (Strings{"s.CompanyName", "s.ShipperID", "s.Phone"}));
    Press(Order()->AddAllButton());
    EXPECT_TRUE(Candidates().empty());
    EXPECT_EQ(OrderItems(), (Strings{"s.CompanyName ASC", "s.ShipperID ASC", "s.Phone ASC"}));
    EXPECT_FALSE(Order()->AddAllButton()->isEnabled());
    Press(Order()->RemoveAllButton());
    EXPECT_TRUE(OrderItems().empty());
    EXPECT_EQ(Candidates(), candidates);
    EXPECT_FALSE(Order()->RemoveAllButton()->isEnabled());
}

TEST_F(OrderPanelTest, RemoveGivesTheEntryBackAndSelectsTheOneAtItsPlace) {
    Load(std::string(Shippers) + " ORDER BY s.CompanyName, s.Phone DESC, s.ShipperID");
    ClickSortEntry(1);
    Press(Order()->RemoveButton());
    EXPECT_EQ(OrderItems(), (Strings{"s.CompanyName ASC", "s.ShipperID ASC"}));
    EXPECT_EQ(Candidates(), (Strings{"s.Phone"}));
    EXPECT_EQ(Order()->SortList()->indexOfTopLevelItem(Order()->SortList()->currentItem()), 1);
    Press(Order()->RemoveButton());
    EXPECT_EQ(Order()->SortList()->indexOfTopLevelItem(Order()->SortList()->currentItem()), 0);
    EXPECT_EQ(OrderItems(), (Strings{"s.CompanyName ASC"}));
}

TEST_F(OrderPanelTest, TheDirectionButtonFlipsTheEntryBothWays) {
    Load(std::string(Shippers) + " ORDER BY s.Phone");
    EXPECT_FALSE(Order()->DirectionButton()->isEnabled());
    ClickSortEntry(0);
    EXPECT_EQ(Order()->DirectionButton()->text(), QString::fromUtf8("Z..A"));
    Press(Order()->DirectionButton());
    EXPECT_EQ(OrderItems(), (Strings{"s.Phone DESC"}));
    EXPECT_EQ(SortEntries(), (Strings{"s.Phone 降序"}));
    EXPECT_EQ(Order()->DirectionButton()->text(), QString::fromUtf8("A..Z"));
    EXPECT_NE(Sql().find("s.Phone DESC"), std::string::npos);
    Press(Order()->DirectionButton());
    EXPECT_EQ(OrderItems(), (Strings{"s.Phone ASC"}));
    EXPECT_EQ(SortEntries(), (Strings{"s.Phone 升序"}));
}

TEST_F(OrderPanelTest, UpAndDownMoveTheSelectedEntry) {
    Load(std::string(Shippers) + " ORDER BY s.CompanyName, s.Phone DESC, s.ShipperID");
    ClickSortEntry(1);
    EXPECT_TRUE(Order()->UpButton()->isEnabled());
    Press(Order()->UpButton());
    EXPECT_EQ(OrderItems(), (Strings{"s.Phone DESC", "s.CompanyName ASC", "s.ShipperID ASC"}));
    EXPECT_FALSE(Order()->UpButton()->isEnabled());
    EXPECT_TRUE(Order()->DownButton()->isEnabled());
    Press(Order()->DownButton());
    Press(Order()->DownButton());
    EXPECT_EQ(OrderItems(), (Strings{"s.CompanyName ASC", "s.ShipperID ASC", "s.Phone DESC"}));
    EXPECT_FALSE(Order()->DownButton()->isEnabled());
    EXPECT_TRUE(Order()->UpButton()->isEnabled());
}

TEST_F(OrderPanelTest, DoubleClicksAndDropsMoveBetweenTheLists) {
    Load(Shippers);
    const auto doubleClick = [](QAbstractItemView* view, const QRect& r) {
        QTest::mouseDClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
    };
    QListWidgetItem* phone = Order()->SourceList()->findItems("s.Phone", Qt::MatchExactly).front();
    ClickCandidate("s.Phone");
    doubleClick(Order()->SourceList(), Order()->SourceList()->visualItemRect(phone));
    EXPECT_EQ(OrderItems(), (Strings{"s.Phone ASC"}));
    ClickSortEntry(0);
    doubleClick(Order()->SortList(), Order()->SortList()->visualItemRect(Order()->SortList()->topLevelItem(0)));
    EXPECT_TRUE(OrderItems().empty());

    // Drops: only from the other list.
    QWidget* sortView = Order()->SortList()->viewport();
    QWidget* sourceView = Order()->SourceList()->viewport();
    EXPECT_FALSE(Order()->DragOver(Order()->SortList(), sortView));
    EXPECT_FALSE(Order()->DragOver(Order()->SourceList(), sourceView));
    ClickCandidate("s.ShipperID");
    ASSERT_TRUE(Order()->DragOver(Order()->SourceList(), sortView));
    Order()->DragDrop(Order()->SourceList(), sortView);
    EXPECT_EQ(OrderItems(), (Strings{"s.ShipperID ASC"}));
    ClickSortEntry(0);
    Order()->DragDrop(Order()->SortList(), sourceView);
    EXPECT_TRUE(OrderItems().empty());
}

TEST_F(OrderPanelTest, ItemsThePanelCannotShowAreKeptAfterTheShownOnes) {
    Load("SELECT o.OrderID, o.Freight * 2 AS f2 FROM Orders o "
         "ORDER BY 1, o.OrderDate DESC, Freight, NoSuchName DESC");
    EXPECT_EQ(SortEntries(), (Strings{"o.OrderDate 降序"}));
    ClickCandidate("o.ShipCity");
    Press(Order()->AddButton());
    EXPECT_EQ(OrderItems(), (Strings{"o.OrderDate DESC", "o.ShipCity ASC", "1 ASC", "Freight ASC",
                                     "NoSuchName DESC"}));
    Press(Order()->RemoveAllButton());
    EXPECT_EQ(OrderItems(), (Strings{"1 ASC", "Freight ASC", "NoSuchName DESC"}));
}

TEST_F(OrderPanelTest, ChangesOnOtherPagesReachTheCandidates) {
    Load(Shippers);
    ClickCandidate("s.Phone");
    Press(Order()->AddButton());
    // Ticking the sorted column on the diagram offers it by its qualified name still.
    Click(CheckCell(Line("s", "Phone")));
    EXPECT_EQ(SortEntries(), (Strings{"s.Phone 升序"}));
    // Renaming it on the selection page renames the ORDER BY entry.
    ShowPage(qbtSelection);
    EditCell(1, 0, "Tel");
    EXPECT_EQ(OrderItems(), (Strings{"Tel ASC"}));
    ShowPage(qbtSorting);
    EXPECT_EQ(SortEntries(), (Strings{"Tel 升序"}));
    const Strings candidates = Candidates();
    EXPECT_EQ(std::count(candidates.begin(), candidates.end(), "s.Phone"), 0);
}

TEST_F(OrderPanelTest, TheLayoutKeepsItsRelationsAtAnySize) {
    Load(Shippers);
    for (int width : {420, 641, 980}) {
        Order()->resize(width, 180);
        QApplication::processEvents();
        const int add = Order()->AddButton()->width();
        const int label = Order()->Label()->width();
        EXPECT_EQ(label, (width - add) / 2) << width;
        EXPECT_EQ(Order()->SourceList()->width(), label - 2);
        EXPECT_EQ(Order()->SourceList()->y(), Order()->Label()->height() + 2);
        EXPECT_EQ(Order()->SortList()->x(), label + add + 2);
        EXPECT_EQ(Order()->SortList()->width(), label - 2);
        EXPECT_EQ(Order()->SortList()->geometry().bottom(), Order()->height() - 1);
        QToolButton* buttons[] = {Order()->AddButton(), Order()->AddAllButton(), Order()->RemoveButton(),
                                  Order()->RemoveAllButton()};
        for (int i = 0; i < 4; ++i) {
            EXPECT_EQ(buttons[i]->x(), label);
            EXPECT_EQ(buttons[i]->size(), QSize(23, 22));
            if (i > 0) {
                EXPECT_EQ(buttons[i]->y(), buttons[i - 1]->y() + 25);
            }
        }
        EXPECT_EQ(Order()->UpButton()->x(), Order()->SortList()->x());
        EXPECT_EQ(Order()->DownButton()->x(), Order()->UpButton()->x() + Order()->UpButton()->width() + 2);
        EXPECT_EQ(Order()->DirectionButton()->geometry().right(), width - 3);
    }
    // No caption is cut: each push button is at least as wide as its text.
    for (QPushButton* button : {Order()->DirectionButton(), Order()->UpButton(), Order()->DownButton()}) {
        EXPECT_GE(button->width(), button->fontMetrics().horizontalAdvance(button->text()) + 4);
        EXPECT_GE(button->height(), button->fontMetrics().height());
    }
}

TEST(OrderPanelParent, AMissingParentIsRefused) {
    try {
        TQBOrderPanel panel(nullptr);
        ADD_FAILURE() << "no exception";
    } catch (const EQBException& e) {
        EXPECT_STREQ(e.what(), "OrderPanel的父属性无效");
    }
}

}  // namespace
