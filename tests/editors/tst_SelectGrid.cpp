// The selection page on a control over the sample database: loading the select list, every
// in-place edit as a user makes it and what it does to the statement and to the diagram's
// ticks, deleting rows, DISTINCT, reordering and drops from the work area.
#include <QCheckBox>
#include <QHeaderView>

#include "SelectOrderTestSupport.h"
#include "resources/QBResource.h"
#include "toolkit/Exceptions.h"

namespace {

using Strings = std::vector<std::string>;

class SelectGridTest : public SelectOrderTest {
protected:
    // Loads Text and shows the selection page.
    void Load(const std::string& text) {
        SetSql(text);
        ShowPage(qbtSelection);
    }
};

constexpr const char* TwoTables =
    "SELECT o.OrderID, o.Freight, e.LastName AS Who FROM Orders o "
    "JOIN Employees e ON e.EmployeeID = o.EmployeeID";

TEST_F(SelectGridTest, LoadsTheSelectListInSelectOrderWithAnEmptyNewRow) {
    Load("SELECT DISTINCT o.OrderID, COUNT(o.Freight), o.Freight * 2 AS f2, e.LastName AS Who, COUNT(*) AS n "
         "FROM Orders o JOIN Employees e ON e.EmployeeID = o.EmployeeID");
    EXPECT_EQ(Rows(), (Strings{"OrderID||o.OrderID", "FIELD_1|COUNT|o.Freight", "f2||o.Freight * 2",
                               "Who||e.LastName", "n|COUNT|*"}));
    EXPECT_EQ(Grid()->rowCount(), 6);
    EXPECT_EQ(Grid()->Cell(Grid()->NewRow(), 0) + Grid()->Cell(Grid()->NewRow(), 2), "");
    EXPECT_TRUE(Control->SelectPanel()->DistinctBox()->isChecked());
    EXPECT_EQ(Grid()->horizontalHeaderItem(0)->text(), QString::fromUtf8("输出字段名称"));
    EXPECT_EQ(Grid()->horizontalHeaderItem(2)->text(), QString::fromUtf8("源字段名称"));

    SetSql("");
    ShowPage(qbtSelection);
    EXPECT_TRUE(Rows().empty());
    EXPECT_EQ(Grid()->rowCount(), 1);
}

// One edit on the two-table statement and the select list it leaves.
struct EditCase {
    const char* name;
    int row;
    int column;
    const char* text;
    Strings selectList;
};

class SelectEditTest : public SelectGridTest, public ::testing::WithParamInterface<EditCase> {};

TEST_P(SelectEditTest, GivesTheExpectedSelectList) {
    const EditCase& c = GetParam();
    Load(TwoTables);
    EditCell(c.row, c.column, c.text);
    EXPECT_EQ(SelectList(), c.selectList);
    EXPECT_TRUE(Errors.empty()) << Errors.front();
}

INSTANTIATE_TEST_SUITE_P(
    Edits, SelectEditTest,
    ::testing::Values(
        EditCase{"typing_an_output_name", 1, 0, "运费", {"o.OrderID", "o.Freight AS [运费]", "e.LastName AS Who"}},
        EditCase{"choosing_an_aggregate", 0, 1, "COUNT", {"COUNT(o.OrderID) AS OrderID", "o.Freight", "e.LastName AS Who"}},
        EditCase{"choosing_another_source_keeps_the_place", 0, 2, "e.City", {"e.City", "o.Freight", "e.LastName AS Who"}},
        EditCase{"choosing_a_source_in_the_new_row", 3, 2, "o.ShipCity",
                 {"o.OrderID", "o.Freight", "e.LastName AS Who", "o.ShipCity"}},
        EditCase{"an_expression_goes_to_no_table", 3, 2, "o.Freight * 2",
                 {"o.OrderID", "o.Freight", "e.LastName AS Who", "o.Freight * 2 AS FIELD_1"}},
        EditCase{"removing_the_aggregate_name_is_no_change", 0, 1, "", {"o.OrderID", "o.Freight", "e.LastName AS Who"}},
        EditCase{"a_taken_output_name_is_numbered", 1, 0, "Who", {"o.OrderID", "o.Freight AS Who1", "e.LastName AS Who"}},
        EditCase{"a_blank_output_name_keeps_the_old_one", 2, 0, " ", {"o.OrderID", "o.Freight", "e.LastName AS Who"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(SelectGridTest, ChoosingASourceTicksTheLineAndAppendsANewRow) {
    Load(TwoTables);
    EXPECT_FALSE(Ticked("o", "ShipCity"));
    EditCell(3, 2, "o.ShipCity");
    EXPECT_TRUE(Ticked("o", "ShipCity"));
    EXPECT_EQ(Grid()->rowCount(), 5);
    EXPECT_EQ(Rows().back(), "ShipCity||o.ShipCity");
    // An aggregate over a column ticks nothing.
    EditCell(4, 2, "e.Title");
    EditCell(4, 1, "MAX");
    EXPECT_FALSE(Ticked("e", "Title"));
    EXPECT_EQ(SelectList().back(), "MAX(e.Title) AS Title");
}

TEST_F(SelectGridTest, LeavingAnEditorUnchangedChangesNothing) {
    Load(std::string(TwoTables) + " ORDER BY Who DESC");
    const std::string before = Sql();
    for (int column = 0; column < 3; ++column) EditCell(2, column, Grid()->Cell(2, column));
    EXPECT_EQ(Sql(), before);
    EXPECT_EQ(Rows(), (Strings{"OrderID||o.OrderID", "Freight||o.Freight", "Who||e.LastName"}));
}

TEST_F(SelectGridTest, EscapeDropsTheEdit) {
    Load(TwoTables);
    const std::string before = Sql();
    ClickCell(0, 0);
    QTest::keyClick(Grid(), Qt::Key_Return);
    ASSERT_EQ(Grid()->ActiveEditor(), Grid()->TextEditor());
    Grid()->TextEditor()->setText("Changed");
    QTest::keyClick(Grid()->TextEditor(), Qt::Key_Escape);
    EXPECT_EQ(Grid()->ActiveEditor(), nullptr);
    EXPECT_TRUE(Grid()->hasFocus());
    EXPECT_EQ(Grid()->Cell(0, 0), "OrderID");
    EXPECT_EQ(Sql(), before);
}

TEST_F(SelectGridTest, EnterInTheEditorFinishesTheEdit) {
    Load(TwoTables);
    ClickCell(1, 0);
    QTest::keyClick(Grid(), Qt::Key_Return);
    Grid()->TextEditor()->setText("Cost");
    QTest::keyClick(Grid()->TextEditor(), Qt::Key_Return);
    EXPECT_EQ(Grid()->ActiveEditor(), nullptr);
    EXPECT_EQ(SelectList()[1], "o.Freight AS Cost");
}

TEST_F(SelectGridTest, ARealChangeKeepsPlaceTypedNameAndSortEntry) {
    Load(std::string(TwoTables) + " ORDER BY Who DESC, o.OrderID");
    EditCell(2, 2, "e.City");
    EXPECT_EQ(SelectList(), (Strings{"o.OrderID", "o.Freight", "e.City AS Who"}));
    EXPECT_EQ(OrderItems(), (Strings{"Who DESC", "o.OrderID ASC"}));
    EXPECT_FALSE(Ticked("e", "LastName"));
    EXPECT_TRUE(Ticked("e", "City"));
    // An aggregate over the same column keeps the name and the sort entry as well.
    EditCell(2, 1, "COUNT");
    EXPECT_EQ(SelectList().back(), "COUNT(e.City) AS Who");
    EXPECT_EQ(OrderItems().front(), "Who DESC");
    EXPECT_FALSE(Ticked("e", "City"));
}

TEST_F(SelectGridTest, ATypedNameInTheNewRowIsKeptWhenItGetsASource) {
    Load(TwoTables);
    EditCell(3, 0, "Total");
    EXPECT_EQ(SelectList().size(), 3u);  // no source, no field
    EditCell(3, 2, "o.Freight");
    EXPECT_EQ(SelectList().back(), "o.Freight AS Total");
    EXPECT_TRUE(Ticked("o", "Freight"));
}

TEST_F(SelectGridTest, ClearingTheSourceTakesTheRowOutOfTheStatementOnly) {
    Load(TwoTables);
    EditCell(1, 2, "");
    EXPECT_EQ(SelectList(), (Strings{"o.OrderID", "e.LastName AS Who"}));
    EXPECT_FALSE(Ticked("o", "Freight"));
    EXPECT_EQ(Rows()[1], "Freight||");
    // A row without a source is in no lookup: renaming or deleting it touches no other row.
    EditCell(1, 0, "Who");
    ClickCell(1, 0);
    QTest::keyClick(Grid(), Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(SelectList(), (Strings{"o.OrderID", "e.LastName AS Who"}));
}

TEST_F(SelectGridTest, AnUnqualifiedSourceNamesNoTableEvenWithOneBox) {
    Load("SELECT o.OrderID FROM Orders o");
    const int tables = TableDefs().Count();
    EditCell(1, 2, "Freight");
    EXPECT_FALSE(Ticked("o", "Freight"));
    EXPECT_EQ(SelectList(), (Strings{"o.OrderID", "Freight AS FIELD_1"}));
    EXPECT_LE(TableDefs().Count(), tables + 1);
    EXPECT_EQ(Control->Tables().Count(), 1);
}

TEST_F(SelectGridTest, DeletingRowsUntickOnlyWhatNoOtherPlainRowShows) {
    Load("SELECT o.OrderID, COUNT(o.OrderID) AS n, o.Freight, o.Freight AS Again FROM Orders o");
    // The plain OrderID row goes: the aggregate row does not hold the line.
    ClickCell(0, 0);
    QTest::keyClick(Grid(), Qt::Key_Delete, Qt::ControlModifier);
    ASSERT_EQ(Questions, (Strings{"您确认要删除当前行吗?"}));
    EXPECT_FALSE(Ticked("o", "OrderID"));
    // One of two plain Freight rows goes: the other still shows the column.
    ClickCell(1, 0);
    QTest::keyClick(Grid(), Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_TRUE(Ticked("o", "Freight"));
    EXPECT_EQ(SelectList(), (Strings{"COUNT(o.OrderID) AS n", "o.Freight AS Again"}));
    // Answering No keeps the row.
    ConfirmAnswer = false;
    ClickCell(0, 0);
    QTest::keyClick(Grid(), Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(Rows().size(), 2u);
    EXPECT_TRUE(Errors.empty());
}

TEST_F(SelectGridTest, TheNewRowCannotBeDeleted) {
    Load(TwoTables);
    const std::string before = Sql();
    ClickCell(3, 0);
    QTest::keyClick(Grid(), Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(Questions.size(), 1u);
    EXPECT_EQ(Errors, (Strings{"无法删除最后一行!"}));
    EXPECT_EQ(Sql(), before);
    EXPECT_EQ(Grid()->rowCount(), 4);
    // The popup's item says the same.
    Grid()->setCurrentCell(3, 0);
    Grid()->PopupMenu()->actions().front()->trigger();
    EXPECT_EQ(Errors.size(), 2u);
}

TEST_F(SelectGridTest, ThePopupItemDeletesTheCurrentRow) {
    Load(TwoTables);
    EXPECT_EQ(Grid()->PopupMenu()->actions().front()->text(), QString::fromUtf8("删除指定的行"));
    ClickCell(2, 1);
    Grid()->PopupMenu()->actions().front()->trigger();
    EXPECT_EQ(SelectList(), (Strings{"o.OrderID", "o.Freight"}));
    EXPECT_FALSE(Ticked("e", "LastName"));
}

TEST_F(SelectGridTest, TheDistinctBoxSetsTheFlag) {
    Load(TwoTables);
    QCheckBox* box = Control->SelectPanel()->DistinctBox();
    EXPECT_EQ(box->text(), QString::fromUtf8("消除重复记录"));
    QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, QPoint(8, box->height() / 2));
    EXPECT_EQ(SelectList().front(), "DISTINCT");
    QTest::mouseClick(box, Qt::LeftButton, Qt::NoModifier, QPoint(8, box->height() / 2));
    EXPECT_EQ(SelectList().front(), "o.OrderID");
}

TEST_F(SelectGridTest, TheDiagramAndTheGridFollowEachOther) {
    Load(TwoTables);
    Click(CheckCell(Line("e", "City")));
    EXPECT_EQ(Rows().back(), "City||e.City");
    ClickCell(3, 0);
    QTest::keyClick(Grid(), Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_FALSE(Ticked("e", "City"));
    Click(CheckCell(Line("o", "Freight")));
    EXPECT_EQ(Rows(), (Strings{"OrderID||o.OrderID", "Who||e.LastName"}));
}

TEST_F(SelectGridTest, RenamingATableRenamesWholeQualifiersOnly) {
    Load(TwoTables);
    Grid()->SetCell(0, 2, "o.x");
    Grid()->SetCell(1, 2, "bo.x + 'o.x' + o.y");
    Grid()->ReplaceQualifier("c", "o");
    EXPECT_EQ(Grid()->Cell(0, 2), "c.x");
    EXPECT_EQ(Grid()->Cell(1, 2), "bo.x + 'o.x' + c.y");
    EXPECT_EQ(Grid()->Cell(2, 2), "e.LastName");
    // Through the diagram: the alias of a box changes and the grid follows.
    Load(TwoTables);
    Area->ActivateObject(Box("o"));
    Area->ChangeAlias("ord");
    QApplication::processEvents();
    EXPECT_EQ(Rows(), (Strings{"OrderID||ord.OrderID", "Freight||ord.Freight", "Who||e.LastName"}));
    EditCell(1, 1, "SUM");
    EXPECT_EQ(SelectList()[1], "SUM(ord.Freight) AS Freight");
}

TEST_F(SelectGridTest, DraggingARowReordersTheSelectList) {
    Load(TwoTables);
    ClickCell(2, 0);
    ASSERT_TRUE(Grid()->DragOver(Grid()->viewport(), CellPoint(0, 0)));
    EXPECT_FALSE(Grid()->DragOver(Grid()->viewport(), CellPoint(3, 0)));  // not onto the new row
    Grid()->DragDrop(Grid()->viewport(), CellPoint(0, 0));
    EXPECT_EQ(SelectList(), (Strings{"e.LastName AS Who", "o.OrderID", "o.Freight"}));
    EXPECT_EQ(Rows().front(), "Who||e.LastName");
    ClickCell(0, 0);
    Grid()->DragDrop(Grid()->viewport(), CellPoint(2, 2));
    EXPECT_EQ(SelectList(), (Strings{"o.OrderID", "o.Freight", "e.LastName AS Who"}));
    EXPECT_EQ(Rows().back(), "Who||e.LastName");
}

TEST_F(SelectGridTest, AFieldLineDroppedFromTheWorkAreaFillsTheRow) {
    Load(TwoTables);
    Area->ActivateObject(Box("e"));
    Box("e")->SetFocusedItem(Line("e", "Title"));
    EXPECT_FALSE(Grid()->DragOver(Area->viewport(), QPoint(10, -5)));  // over the header
    ASSERT_TRUE(Grid()->DragOver(Area->viewport(), CellPoint(3, 0)));
    Grid()->DragDrop(Area->viewport(), CellPoint(3, 0));
    EXPECT_EQ(Rows().back(), "Title||e.Title");
    EXPECT_EQ(Grid()->rowCount(), 5);
    EXPECT_TRUE(Ticked("e", "Title"));
    // Dropped onto a row, the line replaces what the row showed.
    Box("e")->SetFocusedItem(Line("e", "City"));
    Grid()->DragDrop(Area->viewport(), CellPoint(1, 1));
    EXPECT_EQ(SelectList(), (Strings{"o.OrderID", "e.City", "e.LastName AS Who", "e.Title"}));
    EXPECT_FALSE(Ticked("o", "Freight"));
    // Another widget offers nothing.
    EXPECT_FALSE(Grid()->DragOver(Control->PageControl(), CellPoint(0, 0)));
}

TEST_F(SelectGridTest, ColumnWidthsShareTheClientWidth) {
    Load(TwoTables);
    for (int width : {400, 537, 901}) {
        Control->SelectPanel()->resize(width, 200);
        QApplication::processEvents();
        const int client = Grid()->viewport()->width();
        EXPECT_EQ(Grid()->columnWidth(0), static_cast<int>(std::nearbyint(client * 0.4))) << width;
        EXPECT_EQ(Grid()->columnWidth(1), static_cast<int>(std::nearbyint(client * 0.1))) << width;
        EXPECT_EQ(Grid()->columnWidth(0) + Grid()->columnWidth(1) + Grid()->columnWidth(2), client - 2) << width;
    }
}

TEST_F(SelectGridTest, TheEditorsCoverTheirCell) {
    Load(TwoTables);
    ClickCell(1, 2);
    QTest::keyClick(Grid(), Qt::Key_Return);
    QComboBox* combo = Grid()->ComboEditor();
    ASSERT_TRUE(combo->isVisible());
    const QRect cell = Grid()->visualRect(Grid()->model()->index(1, 2));
    const QPoint at = Grid()->viewport()->mapTo(Control->SelectPanel(), cell.topLeft());
    EXPECT_EQ(combo->geometry().topLeft(), at);
    EXPECT_EQ(combo->width(), cell.width() + 1);
    // The source column offers every column of every box; the aggregate column the aggregates.
    EXPECT_GE(combo->findText("e.LastName"), 0);
    EXPECT_GE(combo->findText("o.ShipCountry"), 0);
    QTest::keyClick(combo, Qt::Key_Escape);
    ClickCell(1, 1);
    QTest::keyClick(Grid(), Qt::Key_Return);
    EXPECT_GE(combo->findText("COUNT"), 0);
    EXPECT_GE(combo->findText("AVG"), 0);
}

TEST(SelectPanelParent, AMissingParentIsRefused) {
    try {
        TQBSelectGrid grid(nullptr);
        ADD_FAILURE() << "no exception";
    } catch (const EQBException& e) {
        EXPECT_STREQ(e.what(), "选定的栅格父属性无效");
    }
    try {
        TQBSelectPanel panel(nullptr);
        ADD_FAILURE() << "no exception";
    } catch (const EQBException& e) {
        EXPECT_STREQ(e.what(), "OrderPanel的父属性无效");
    }
}

}  // namespace
