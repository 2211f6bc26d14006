// The WHERE panel on the control's "criteria" page, driven with mouse and key events: the
// row commands by key (through the confirmation seam), the arrows, clicks that open menus
// and the in-place editor, the field picker, drops of fields from the diagram, alias
// renames, and the picture of a nested condition.
#include <QDir>
#include <QMimeData>

#include "CriteriaTestSupport.h"

namespace {

using WherePanelTest = CriteriaControlTest;

TEST_F(WherePanelTest, NewPanelShowsTheRootRowOnly) {
    EXPECT_EQ(RowTexts(Where()), (std::vector<std::string>{"|All"}));
    EXPECT_EQ(SpotName(Where().CurrentSpot()), "root:1");
    EXPECT_EQ(Where().parentWidget(), Control->Page(qbtCriterions));
    EXPECT_EQ(Having().parentWidget(), Control->Page(qbtGroupCriterions));
}

TEST_F(WherePanelTest, InsertCtrlInsertAndCtrlDeleteThroughTheQuestion) {
    SetSql("SELECT c.CompanyName FROM Customers c");
    PanelKey(Qt::Key_Insert);
    EXPECT_EQ(RowTexts(Where()), (std::vector<std::string>{"|All", "1.||=|"}));
    PanelKey(Qt::Key_Down);
    EXPECT_EQ(SpotName(Where().CurrentSpot()), "1.:2") << "the hidden function spot is passed over";
    PanelKey(Qt::Key_Right);
    EXPECT_EQ(SpotName(Where().CurrentSpot()), "1.:3");

    // Ctrl+Insert groups the condition: the row becomes "All" with the condition below it.
    PanelKey(Qt::Key_Insert, Qt::ControlModifier);
    EXPECT_EQ(RowTexts(Where()), (std::vector<std::string>{"|All", "1.|All", "1.1.||=|"}));
    EXPECT_EQ(SpotName(Where().CurrentSpot()), "1.:1");

    // Ctrl+Delete on the root is refused; No leaves everything; Yes deletes.
    PanelKey(Qt::Key_Up);
    EXPECT_EQ(SpotName(Where().CurrentSpot()), "root:1");
    PanelKey(Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(Errors, (std::vector<std::string>{"不能删除首行"}));
    EXPECT_TRUE(Questions.empty());
    PanelKey(Qt::Key_Down);
    PanelKey(Qt::Key_Down);
    EXPECT_EQ(SpotName(Where().CurrentSpot()), "1.1.:2");
    ConfirmAnswer = false;
    PanelKey(Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(Questions, (std::vector<std::string>{"您确认要删除当前条件(s)吗?"}));
    EXPECT_EQ(RowTexts(Where()).size(), 3u);
    ConfirmAnswer = true;
    PanelKey(Qt::Key_Up);
    PanelKey(Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(RowTexts(Where()), (std::vector<std::string>{"|All"}));
    EXPECT_EQ(SpotName(Where().CurrentSpot()), "root:1") << "the current spot moves to a row that exists";
    EXPECT_EQ(Where().HoverSpot(), nullptr);
    EXPECT_EQ(Parser().GetWhereItems()->Count(), 0);
}

TEST_F(WherePanelTest, ArrowsWalkTheSpots) {
    SetSql("SELECT o.OrderID FROM Orders o WHERE o.Freight BETWEEN 1 AND 5 AND (o.ShipVia = 1 OR o.ShipVia = 2)");
    EXPECT_EQ(RowTexts(Where()), (std::vector<std::string>{"|All", "1.|o.Freight|BETWEEN|1|5", "2.|Any",
                                                           "2.1.|o.ShipVia|=|1", "2.2.|o.ShipVia|=|2"}));
    struct Step {
        int key;
        Qt::KeyboardModifiers modifiers;
        const char* current;
    } steps[] = {
        {Qt::Key_Right, Qt::NoModifier, "1.:2"},  {Qt::Key_Right, Qt::NoModifier, "1.:3"},
        {Qt::Key_Right, Qt::NoModifier, "1.:5"},  {Qt::Key_Right, Qt::NoModifier, "1.:6"},
        {Qt::Key_Right, Qt::NoModifier, "2.:1"},  {Qt::Key_Right, Qt::NoModifier, "2.1.:2"},
        {Qt::Key_Down, Qt::NoModifier, "2.2.:2"}, {Qt::Key_Down, Qt::NoModifier, "2.2.:2"},
        {Qt::Key_Left, Qt::NoModifier, "2.1.:5"}, {Qt::Key_Up, Qt::NoModifier, "2.:1"},
        // Spot 1 of a condition is hidden in WHERE: Up lands on it and moves right.
        {Qt::Key_Up, Qt::NoModifier, "1.:2"},     {Qt::Key_Right, Qt::NoModifier, "1.:3"},
        {Qt::Key_Left, Qt::NoModifier, "1.:2"},   {Qt::Key_Left, Qt::NoModifier, "root:1"},
        // No spot before the root's: the keys that find none keep it.
        {Qt::Key_Left, Qt::NoModifier, "root:1"}, {Qt::Key_Up, Qt::NoModifier, "root:1"},
    };
    for (const Step& step : steps) {
        PanelKey(step.key, step.modifiers);
        EXPECT_EQ(SpotName(Where().CurrentSpot()), step.current) << step.key;
    }
    // Ctrl+Left on a group row collapses it; its sub-rows are no longer shown.
    PanelKey(Qt::Key_Down);
    PanelKey(Qt::Key_Down);
    EXPECT_EQ(SpotName(Where().CurrentSpot()), "2.:1");
    PanelKey(Qt::Key_Left, Qt::ControlModifier);
    EXPECT_EQ(RowTexts(Where()), (std::vector<std::string>{"|All", "1.|o.Freight|BETWEEN|1|5", "2.|"}));
    PanelKey(Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(RowTexts(Where()).size(), 5u);
    EXPECT_TRUE(Errors.empty());
}

TEST_F(WherePanelTest, ClicksOpenTheMenusAndTheEditor) {
    SetSql("SELECT o.OrderID FROM Orders o WHERE o.Freight = 1");
    TQBCriterionRow* row = RowNumbered("1.");
    ASSERT_NE(row, nullptr);

    // The operator spot opens the operator menu; BETWEEN gives two values.
    ClickSpot(row->Spot(siOperator));
    ASSERT_TRUE(Where().OperatorMenu()->isVisible());
    EXPECT_EQ(SpotName(Where().CurrentSpot()), "1.:3");
    QAction* between = nullptr;
    for (QAction* action : Where().OperatorMenu()->actions())
        if (action->text() == "BETWEEN") between = action;
    ASSERT_NE(between, nullptr);
    Where().OperatorMenu()->hide();
    between->trigger();
    EXPECT_EQ(RowTexts(Where())[1], "1.|o.Freight|BETWEEN|1|");
    ClickSpot(row->Spot(siFirstValue + 1));
    ASSERT_TRUE(Where().Editor()->isVisible());
    Where().Editor()->selectAll();
    QTest::keyClicks(Where().Editor(), "9");
    PanelKey(Qt::Key_Return);
    EXPECT_FALSE(Where().Editor()->isVisible());
    EXPECT_EQ(Clause("WHERE"), "WHERE (o.Freight BETWEEN 1 AND 9)");

    // The group caption opens the group-kind menu; "Not" prefixes the clause.
    ClickSpot(Where().RootRow()->Spot(siLeftFunction));
    ASSERT_TRUE(Where().GroupKindMenu()->isVisible());
    Where().GroupKindMenu()->hide();
    Where().GroupKindMenu()->actions().at(gkNot)->trigger();
    EXPECT_EQ(RowTexts(Where())[0], "|Not");
    EXPECT_EQ(Clause("WHERE"), "WHERE NOT (o.Freight BETWEEN 1 AND 9)");

    // The number button opens the row menu, whose items follow the row.
    ClickSpot(row->Spot(siNumber));
    ASSERT_TRUE(Where().RowMenu()->isVisible());
    const QList<QAction*> items = Where().RowMenu()->actions();
    ASSERT_EQ(items.size(), 5);
    EXPECT_EQ(items[0]->text(), QString::fromUtf8("添加条件"));
    EXPECT_TRUE(items[1]->isEnabled()) << "a condition can be grouped";
    EXPECT_TRUE(items[2]->isEnabled());
    EXPECT_FALSE(items[4]->isEnabled()) << "a condition neither expands nor collapses";
    Where().RowMenu()->hide();
    items[0]->trigger();
    EXPECT_EQ(RowTexts(Where()).size(), 3u);
    EXPECT_TRUE(Errors.empty());
}

TEST_F(WherePanelTest, TypedExpressionIsStoredOnEnterAndKeptOnEscape) {
    SetSql("SELECT o.OrderID FROM Orders o");
    PanelKey(Qt::Key_Insert);
    TQBCriterionRow* row = RowNumbered("1.");
    ClickSpot(row->Spot(siExpression));
    ASSERT_TRUE(Where().Editor()->isVisible());
    QTest::keyClicks(Where().Editor(), "o.Freight");
    PanelKey(Qt::Key_Return);
    ClickSpot(row->Spot(siFirstValue));
    QTest::keyClicks(Where().Editor(), "10");
    PanelKey(Qt::Key_Return);
    EXPECT_EQ(Clause("WHERE"), "WHERE (o.Freight = 10)");

    ClickSpot(row->Spot(siExpression));
    QTest::keyClicks(Where().Editor(), "o.ShipVia");
    PanelKey(Qt::Key_Escape);
    EXPECT_FALSE(Where().Editor()->isVisible());
    EXPECT_EQ(row->ExpressionText(), "o.Freight");
    EXPECT_EQ(Clause("WHERE"), "WHERE (o.Freight = 10)");
    EXPECT_EQ(QApplication::focusWidget(), &Where());
}

TEST_F(WherePanelTest, TextThatIsNotOneOperandIsRefused) {
    SetSql("SELECT o.OrderID FROM Orders o WHERE o.Freight = 10");
    TQBCriterionRow* row = RowNumbered("1.");
    for (const char* text : {"1 OR 1 = 1", "'open", "(1", "1 -- rest", "1; DELETE FROM Orders"}) {
        Errors.clear();
        ClickSpot(row->Spot(siFirstValue));
        Where().Editor()->setPlainText(QString::fromUtf8(text));
        PanelKey(Qt::Key_Return);
        EXPECT_EQ(Errors.size(), 1u) << text;
        EXPECT_EQ(row->Values()[0], "10") << text;
        EXPECT_EQ(Clause("WHERE"), "WHERE (o.Freight = 10)") << text;
    }
    ClickSpot(row->Spot(siExpression));
    Where().Editor()->setPlainText("o.Freight AND 1");
    PanelKey(Qt::Key_Return);
    EXPECT_EQ(row->ExpressionText(), "o.Freight");
    EXPECT_EQ(Clause("WHERE"), "WHERE (o.Freight = 10)");
}

TEST_F(WherePanelTest, FieldPickerInsertsAQuotedNameAtTheCaret) {
    SetSql("SELECT d.Quantity FROM [Order Details] d, Orders o WHERE o.OrderID = d.OrderID");
    TQBCriterionRow* row = RowNumbered("1.");
    ClickSpot(row->Spot(siFirstValue));
    QPlainTextEdit* editor = Where().Editor();
    editor->setPlainText("ab + cd");
    QTextCursor cursor = editor->textCursor();
    cursor.setPosition(3);
    editor->setTextCursor(cursor);
    PanelKey(Qt::Key_Return, Qt::ShiftModifier);
    QTreeWidget* picker = Where().FieldPicker();
    ASSERT_TRUE(picker->isVisible());
    EXPECT_EQ(picker->topLevelItemCount(), 2);
    // A table node is not a field: Enter on it inserts nothing.
    picker->setCurrentItem(picker->topLevelItem(0));
    PanelKey(Qt::Key_Return);
    EXPECT_FALSE(picker->isVisible());
    EXPECT_EQ(editor->toPlainText(), "ab + cd");
    PanelKey(Qt::Key_Return, Qt::ShiftModifier);
    ASSERT_TRUE(picker->isVisible());
    const QList<QTreeWidgetItem*> found = picker->findItems("Quantity", Qt::MatchExactly | Qt::MatchRecursive);
    ASSERT_EQ(found.size(), 1);
    picker->setCurrentItem(found[0]);
    PanelKey(Qt::Key_Return);
    EXPECT_FALSE(picker->isVisible());
    EXPECT_EQ(editor->toPlainText().toStdString(), "ab d.Quantity+ cd") << "all the text after the caret stays";
    EXPECT_TRUE(Where().CanLeave());
    // An open picker refuses a page change once and closes.
    PanelKey(Qt::Key_Return, Qt::ShiftModifier);
    ASSERT_TRUE(picker->isVisible());
    Control->PageControl()->setCurrentIndex(qbtSelection);
    EXPECT_EQ(Control->PageControl()->currentIndex(), static_cast<int>(qbtCriterions));
    EXPECT_FALSE(picker->isVisible());
}

// Sends a drag of the field Key.Name over Point of the panel, then drops it there.
bool DropField(TQBCriterionPanel& panel, const QPoint& point, const std::string& key, const std::string& name) {
    QMimeData data;
    data.setData(TQBWorkArea::FieldMimeType, QByteArray::fromStdString("0\n" + key + "\n" + name));
    QDragEnterEvent enter(point, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(panel.viewport(), &enter);
    QDragMoveEvent move(point, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(panel.viewport(), &move);
    if (!move.isAccepted()) {
        QDragLeaveEvent leave;
        QApplication::sendEvent(panel.viewport(), &leave);
        return false;
    }
    QDropEvent drop(QPointF(point), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(panel.viewport(), &drop);
    return drop.isAccepted();
}

TEST_F(WherePanelTest, FieldDroppedFromTheDiagramBecomesTheLeftSide) {
    SetSql("SELECT d.Quantity FROM [Order Details] d");
    PanelKey(Qt::Key_Insert);
    TQBCriterionRow* row = RowNumbered("1.");
    EXPECT_FALSE(DropField(Where(), SpotPoint(row->Spot(siOperator)), "d", "Quantity")) << "not on the operator";
    EXPECT_FALSE(DropField(Where(), SpotPoint(Where().RootRow()->Spot(siLeftFunction)), "d", "Quantity"));
    EXPECT_EQ(Where().DragTarget(), nullptr);
    EXPECT_TRUE(DropField(Where(), SpotPoint(row->Spot(siExpression)), "Order Details", "Unit.Price"));
    EXPECT_EQ(row->ExpressionText(), "[Order Details].[Unit.Price]");
    EXPECT_TRUE(DropField(Where(), SpotPoint(row->Spot(siExpression)), "d", "Quantity"));
    EXPECT_TRUE(DropField(Where(), SpotPoint(row->Spot(siFirstValue)), "d", "Discount"));
    EXPECT_EQ(Clause("WHERE"), "WHERE (d.Quantity = d.Discount)");
    EXPECT_EQ(Where().DragTarget(), nullptr);
}

TEST_F(WherePanelTest, RenamingABoxAliasRenamesItInTheRowsAndTheSqlOnly) {
    SetSql("SELECT o.OrderID FROM Orders o WHERE o.ShipName = 'o.x' AND o.Freight > 1");
    Area->ActivateObject(Box("o"));
    Area->ChangeAlias("po");
    EXPECT_EQ(RowTexts(Where()), (std::vector<std::string>{"|All", "1.|po.ShipName|=|'o.x'", "2.|po.Freight|>|1"}));
    EXPECT_EQ(Clause("WHERE"), "WHERE (po.ShipName = 'o.x') AND (po.Freight > 1)");
    // The grouping page, hidden meanwhile, reloads from the renamed model when shown.
    ShowPage(qbtGroupCriterions);
    ShowPage(qbtCriterions);
    EXPECT_EQ(RowTexts(Where())[1], "1.|po.ShipName|=|'o.x'");
}

TEST_F(WherePanelTest, ClosingABoxDropsItsConditionsFromShownAndHiddenPanels) {
    SetSql("SELECT o.OrderID, c.CompanyName FROM Orders o, Customers c "
           "WHERE o.Freight > 1 AND c.City = 'Berlin' GROUP BY o.OrderID, c.CompanyName HAVING COUNT(o.OrderID) > 1");
    ShowPage(qbtGroupCriterions);
    EXPECT_EQ(RowTexts(Having()).size(), 2u);
    ShowPage(qbtCriterions);
    EXPECT_EQ(RowTexts(Having()), (std::vector<std::string>{"|All"})) << "a hidden panel keeps no rows";
    PanelInput.Move(SpotPoint(RowNumbered("2.")->Spot(siExpression)));
    Box("c")->Close();
    EXPECT_EQ(RowTexts(Where()), (std::vector<std::string>{"|All", "1.|o.Freight|>|1"}));
    EXPECT_EQ(Where().HoverSpot(), nullptr);
    // Replacing the operator table keeps each row's operator by name.
    TQBOperators operators;
    operators.Assign(Control->Operators());
    Control->SetOperators(operators);
    EXPECT_EQ(RowTexts(Where()), (std::vector<std::string>{"|All", "1.|o.Freight|>|1"}));
    EXPECT_EQ(Clause("WHERE"), "WHERE (o.Freight > 1)");
}

TEST_F(WherePanelTest, PictureOfANestedCondition) {
    Control->resize(760, 520);
    Control->SetTabHeight(200);
    SetSql("SELECT o.OrderID, o.ShipName FROM Orders o "
           "WHERE o.Freight BETWEEN 10 AND 100 AND (o.ShipCity = N'北京' OR o.ShipVia IN (1,2)) "
           "AND o.ShippedDate IS NOT NULL");
    PanelKey(Qt::Key_Down);
    PanelKey(Qt::Key_Right);
    QApplication::processEvents();
    EXPECT_EQ(RowTexts(Where()),
              (std::vector<std::string>{"|All", "1.|o.Freight|BETWEEN|10|100", "2.|Any", "2.1.|o.ShipCity|=|N'北京'",
                                        "2.2.|o.ShipVia|IN|1,2", "3.|o.ShippedDate|IS NOT NULL"}));
    // The current row is painted in the palette's colour for it.
    Control->Palette().SetActiveCondition(RGBColor(255, 255, 200));
    const QImage image = Where().viewport()->grab().toImage();
    const QRect row = Where().RowRect(RowNumbered("1."));
    EXPECT_EQ(image.pixelColor(row.right() - 3, row.center().y()), QColor(255, 255, 200));
    const QString dir = qEnvironmentVariable("KORVEL_SNAPSHOT_DIR");
    if (!dir.isEmpty()) {
        QDir().mkpath(dir);
        EXPECT_TRUE(Control->PageControl()->grab().save(dir + "/where.png"));
    }
}

}  // namespace
