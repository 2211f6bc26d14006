// Table boxes: sizes, rectangles and hit codes, ticking and its report to the owner,
// the caption check box and buttons, collapse, scrolling, keys, hints and the popup menu.
#include "DiagramTestSupport.h"

namespace {

class TableBoxTest : public DiagramTest {
protected:
    // A box of ten integer columns at (100, 100): width 101, height 129, caption 20, lines 16.
    TQBTable* Box(int columns = 10) { return AddAt("T", 100, 100, columns); }
    static QPoint LinePoint(int line, int x = 150) { return QPoint(x, 121 + 17 * line + 7); }
    static QPoint CheckCell(int line) { return LinePoint(line, 110); }
    static QPoint Button(int n) { return QPoint(159 + 13 * n + 6, 110); }
};

struct SizeCase {
    const char* name;
    int fields;  // -1: no data set
    int visibleLines;
    int heightAfterPlacement;
};

class BoxSizes : public DiagramTest, public ::testing::WithParamInterface<SizeCase> {};

TEST_P(BoxSizes, FollowTheFieldCount) {
    auto set = Columns(std::max(0, GetParam().fields));
    TQBTable* box = Area->AddTable("T", "", GetParam().fields < 0 ? nullptr : set.get());
    EXPECT_EQ(box->ItemCount(), std::max(0, GetParam().fields));
    EXPECT_EQ(box->VisibleLines(), GetParam().visibleLines);
    EXPECT_EQ(box->Height(), GetParam().heightAfterPlacement);
}

INSTANTIATE_TEST_SUITE_P(Sizes, BoxSizes,
                         ::testing::Values(SizeCase{"ten_fields_show_six", 10, 6, 129},
                                           SizeCase{"three_fields_show_three", 3, 3, 78},
                                           SizeCase{"no_fields_take_the_minimum", 0, 1, 56},
                                           SizeCase{"no_data_set_takes_the_minimum", -1, 1, 56}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(TableBoxTest, CreationHeightAndMinimumSizes) {
    auto set = Columns(10);
    TQBTable fresh(Area, "T", set.get());
    EXPECT_EQ(fresh.Height(), 128);
    EXPECT_EQ(fresh.CaptionHeight(), 20);
    EXPECT_EQ(fresh.LineHeight(), 16);
    TQBTable* box = Box();
    box->SetWidth(10);
    EXPECT_EQ(box->Width(), 80);
    box->SetHeight(10);
    EXPECT_EQ(box->Height(), 56);
}

TEST_F(TableBoxTest, CreationWithoutWorkAreaFails) {
    try {
        TQBTable box(nullptr, "T", nullptr);
        FAIL();
    } catch (const EQBException& e) {
        EXPECT_EQ(e.Message(), "无效的父表对象!");
    }
}

TEST_F(TableBoxTest, ScrollIndexIsClamped) {
    TQBTable* small = AddAt("S", 400, 100, 3);
    small->ScrollTo(1);
    EXPECT_EQ(small->TopIndex(), 0);
    TQBTable* big = Box();
    big->ScrollTo(99);
    EXPECT_EQ(big->TopIndex(), 4);
    big->ScrollTo(-5);
    EXPECT_EQ(big->TopIndex(), 0);
}

struct CaptionCase {
    const char* name;
    std::string table, alias, caption, key;
};

class BoxCaptions : public DiagramTest, public ::testing::WithParamInterface<CaptionCase> {};

TEST_P(BoxCaptions, ShowNameAndAlias) {
    auto set = Columns(1);
    TQBTable box(Area, GetParam().table, set.get());
    box.SetAlias(GetParam().alias);
    EXPECT_EQ(box.Caption(), GetParam().caption);
    EXPECT_EQ(box.Key(), GetParam().key);
}

INSTANTIATE_TEST_SUITE_P(Captions, BoxCaptions,
                         ::testing::Values(CaptionCase{"alias", "Orders", "O", "Orders (O)", "O"},
                                           CaptionCase{"alias_equal_to_name", "Orders", "Orders", "Orders", "Orders"},
                                           CaptionCase{"blank_alias", "Orders", "  ", "Orders", "Orders"},
                                           CaptionCase{"no_alias", "Orders", "", "Orders", "Orders"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(FieldTypes, DisplayNamesAndFamilies) {
    const std::vector<std::pair<int, std::string>> names = {
        {ftFloat, "Float"},        {ftCurrency, "Float"},    {ftSmallint, "Integer"},  {ftLargeint, "Integer"},
        {ftAutoInc, "Integer"},    {ftUnknown, "String"},    {ftWideString, "String"}, {ftFixedChar, "String"},
        {ftBoolean, "Boolean"},    {ftBCD, "BCD"},           {ftDateTime, "DateTime"}, {ftTypedBinary, "Typed binary"},
        {ftDataSet, "Data set"},   {ftOraClob, "Ora clob"},  {ftGuid, "Guid"},         {ftTimeStamp, ""},
        {ftFMTBcd, ""},            {99, ""}};
    for (const auto& [code, name] : names) EXPECT_EQ(FieldTypeName(code), name) << code;
    EXPECT_TRUE(IsIntegerFamily(ftWord));
    EXPECT_FALSE(IsIntegerFamily(ftFloat));
    EXPECT_TRUE(IsFloatFamily(ftCurrency));
    EXPECT_TRUE(IsStringFamily(ftMemo));
    EXPECT_FALSE(IsStringFamily(ftDate));
}

struct HitCase {
    const char* name;
    QPoint point;
    bool expanded;
    int code;
};

class BoxHitCodes : public TableBoxTest, public ::testing::WithParamInterface<HitCase> {};

TEST_P(BoxHitCodes, NameThePartUnderThePoint) {
    TQBTable* box = Box();
    box->SetExpanded(GetParam().expanded);
    const QPoint p = GetParam().point;
    EXPECT_EQ(box->HitTest(TPoint{p.x(), p.y()}), GetParam().code);
    // The work area dispatches the same code on hover.
    Move(p);
    EXPECT_EQ(Area->HitCode(), GetParam().code);
}

INSTANTIATE_TEST_SUITE_P(
    Parts, BoxHitCodes,
    ::testing::Values(HitCase{"left_edge", {101, 160}, true, hcLeft}, HitCase{"top_edge", {150, 101}, true, hcTop},
                      HitCase{"right_edge", {199, 160}, true, hcRight},
                      HitCase{"bottom_edge", {150, 227}, true, hcBottom},
                      HitCase{"top_left_corner", {101, 101}, true, hcTopLeft},
                      HitCase{"bottom_left_corner", {101, 227}, true, hcBottomLeft},
                      HitCase{"top_right_corner", {199, 101}, true, hcTopRight},
                      HitCase{"bottom_right_corner", {199, 227}, true, hcBottomRight},
                      HitCase{"caption", {140, 110}, true, hcCaption},
                      HitCase{"field_list", {150, 160}, true, hcList},
                      HitCase{"caption_buttons", {165, 110}, true, hcButtons},
                      HitCase{"caption_check_box", {108, 108}, true, hcCheckBox},
                      HitCase{"right_and_bottom_lines_excluded", {201, 160}, true, hcNone},
                      HitCase{"outside", {300, 300}, true, hcNone},
                      HitCase{"collapsed_has_no_edge_zones", {101, 110}, false, hcCaption},
                      HitCase{"collapsed_ends_below_the_caption", {150, 125}, false, hcNone}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(TableBoxTest, TickingALineReportsToTheOwnerAndUpdatesTheCaptionBox) {
    TQBTable* box = AddAt("T", 100, 100, 3);
    std::vector<std::string> reports;
    Area->OnFieldCheckChanged = [&](TQBTable*, TQBListItem* item) {
        reports.push_back(item->Name() + (item->Checked() ? "+" : "-"));
        Control->FieldCheckChanged(box, item);
    };
    std::vector<int> states;
    for (int i = 0; i < 3; ++i) {
        box->Item(i)->SetChecked(true);
        states.push_back(box->CheckState());
    }
    box->Item(1)->SetChecked(false);
    states.push_back(box->CheckState());
    box->Item(0)->SetChecked(false);
    box->Item(2)->SetChecked(false);
    states.push_back(box->CheckState());
    EXPECT_EQ(states, (std::vector<int>{1, 1, 2, 1, 0}));
    EXPECT_EQ(reports, (std::vector<std::string>{"C0+", "C1+", "C2+", "C1-", "C0-", "C2-"}));
    EXPECT_EQ(TableDefs().FindByAlias("T")->Fields().Count(), 0);
    box->Item(2)->SetCheckedQuietly(true);
    EXPECT_EQ(reports.size(), 6u);  // no report
    EXPECT_EQ(box->CheckState(), 1);
}

TEST_F(TableBoxTest, ClickOnNameFocusesAndOnTheCheckCellTicks) {
    TQBTable* box = Box();
    Click(LinePoint(1));
    EXPECT_EQ(box->FocusedItem(), box->Item(1));
    EXPECT_FALSE(box->Item(1)->Checked());
    Click(CheckCell(1));
    EXPECT_TRUE(box->Item(1)->Checked());
    // The owner added the column to the model.
    TQBTableDef* def = TableDefs().FindByAlias("T");
    ASSERT_NE(def, nullptr);
    ASSERT_EQ(def->Fields().Count(), 1);
    EXPECT_EQ(def->Fields().Items(0)->Name, "C1");
    DoubleClick(LinePoint(1));
    EXPECT_FALSE(box->Item(1)->Checked());
    EXPECT_EQ(def->Fields().Count(), 0);
}

TEST_F(TableBoxTest, CaptionCheckBoxTicksAllThenNone) {
    TQBTable* box = AddAt("T", 100, 100, 3);
    int reports = 0;
    Area->OnFieldCheckChanged = [&](TQBTable*, TQBListItem*) { ++reports; };
    box->Item(0)->SetChecked(true);
    reports = 0;
    Click(QPoint(108, 108));
    EXPECT_EQ(box->CheckState(), 2);
    for (int i = 0; i < 3; ++i) EXPECT_TRUE(box->Item(i)->Checked());
    EXPECT_EQ(reports, 3);
    Click(QPoint(108, 108));
    EXPECT_EQ(box->CheckState(), 0);
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(box->Item(i)->Checked());
}

TEST_F(TableBoxTest, CollapseAndExpandWithTheFirstButton) {
    TQBTable* box = Box();
    TQBTable* other = AddAt("U", 400, 100, 10);
    TQBLink* link = Area->AddLink(box, other, box->Item(3), other->Item(3));
    ASSERT_NE(link, nullptr);
    Click(Button(0));
    EXPECT_FALSE(box->Expanded());
    EXPECT_EQ(box->BoundsRect().Bottom, 120);
    EXPECT_EQ(link->Points().front().Y, 110);  // the link ends at the caption strip
    Click(Button(0));
    EXPECT_TRUE(box->Expanded());
    EXPECT_EQ(link->Points().front().Y, 121 + 3 * 17 + 8);
}

TEST_F(TableBoxTest, ButtonReleasedElsewhereDoesNothing) {
    TQBTable* box = Box();
    Press(Button(0));
    Send(QEvent::MouseMove, Button(2), Qt::NoButton, Qt::LeftButton);
    Release(Button(2));
    EXPECT_TRUE(box->Expanded());
    EXPECT_EQ(Area->TableCount(), 1);
    EXPECT_EQ(box->PressedButton(), -1);
}

TEST_F(TableBoxTest, CloseButtonRemovesTheBoxAndReportsItsTickedFields) {
    TQBTable* box = Box();
    TQBTable* other = AddAt("U", 400, 100, 10);
    Area->AddLink(box, other, box->Item(0), other->Item(0));
    box->Item(2)->SetChecked(true);
    std::vector<std::string> events;
    Area->OnFieldCheckChanged = [&](TQBTable*, TQBListItem* item) { events.push_back("untick " + item->Name()); };
    Area->OnTableRemoved = [&](TQBWorkArea*, TQBTable* t) { events.push_back("removed " + t->Name()); };
    Area->ActivateObject(box);
    Click(Button(2));
    EXPECT_EQ(events, (std::vector<std::string>{"untick C2", "removed T"}));
    EXPECT_EQ(Area->TableCount(), 1);
    EXPECT_EQ(Area->LinkCount(), 0);
    EXPECT_EQ(Area->ActiveObject(), nullptr);
    EXPECT_EQ(JoinDefs().Count(), 0);
    QApplication::processEvents();  // the box is freed now
}

TEST_F(TableBoxTest, ClearLinksButtonRemovesOnlyThisBoxsLinks) {
    TQBTable* a = Box();
    TQBTable* b = AddAt("U", 400, 100, 10);
    TQBTable* c = AddAt("V", 700, 100, 10);
    Area->AddLink(a, b, a->Item(0), b->Item(0));
    Area->AddLink(b, c, b->Item(1), c->Item(1));
    Click(Button(1));
    EXPECT_EQ(Area->LinkCount(), 1);
    EXPECT_EQ(Area->Link(0)->Join()->Table0, b);
    EXPECT_EQ(Area->TableCount(), 3);
}

TEST_F(TableBoxTest, RefusedCloseKeepsTheBoxAndTheModel) {
    TQBTable* box = Box();
    box->Item(1)->SetChecked(true);
    Control->OnAddRemoveTable = [](QObject*, TQBTable*, TQBAction action, bool& accept) {
        accept = action != qbaRemove;
    };
    int removedReports = 0;
    Area->OnTableRemoved = [&](TQBWorkArea*, TQBTable*) { ++removedReports; };
    box->Close();
    EXPECT_EQ(Area->TableCount(), 1);
    EXPECT_EQ(removedReports, 0);
    EXPECT_FALSE(box->Closing());
    EXPECT_TRUE(box->Item(1)->Checked());
    ASSERT_NE(TableDefs().FindByAlias("T"), nullptr);
    EXPECT_EQ(TableDefs().FindByAlias("T")->Fields().Count(), 1);
}

struct HintCase {
    const char* name;
    QPoint point;
    bool allTicked;
    std::string hint;
};

class BoxHints : public TableBoxTest, public ::testing::WithParamInterface<HintCase> {};

TEST_P(BoxHints, FollowThePointer) {
    auto set = Fields({{"Total", static_cast<TFieldType>(36)}, {"Id", ftInteger}});
    TQBTable* box = Area->InsertTable("T", "", TPoint{100, 100}, false, set.get());
    if (GetParam().allTicked) box->CheckAll(2);
    Move(GetParam().point);
    EXPECT_EQ(box->GetHint(), GetParam().hint);
}

INSTANTIATE_TEST_SUITE_P(Hints, BoxHints,
                         ::testing::Values(HintCase{"caption", {140, 110}, false, "双击编辑别名"},
                                           HintCase{"check_box", {108, 108}, false, "选择所有字段"},
                                           HintCase{"check_box_all_ticked", {108, 108}, true, "取消选择所有字段"},
                                           HintCase{"collapse_button", {165, 110}, false, "折叠／展开表"},
                                           HintCase{"clear_links_button", {178, 110}, false, "清除表所有连接"},
                                           HintCase{"close_button", {192, 110}, false, "关闭表"},
                                           HintCase{"line_of_unknown_type", {150, 128}, false, "Total ()"},
                                           HintCase{"integer_line", {150, 145}, false, "Id (Integer)"}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(TableBoxTest, NavigationKeysMoveTheFocusAndScroll) {
    TQBTable* box = Box();
    Key(Qt::Key_Down);
    EXPECT_EQ(box->FocusedItem(), box->Item(0));  // without focus: the top line
    Key(Qt::Key_Down);
    EXPECT_EQ(box->FocusedItem(), box->Item(1));
    Key(Qt::Key_End);
    EXPECT_EQ(box->FocusedItem(), box->Item(9));
    EXPECT_EQ(box->TopIndex(), 4);
    Key(Qt::Key_Home);
    EXPECT_EQ(box->FocusedItem(), box->Item(0));
    EXPECT_EQ(box->TopIndex(), 0);
    Key(Qt::Key_Space);
    EXPECT_TRUE(box->Item(0)->Checked());
}

TEST_F(TableBoxTest, NavigationKeysOnABoxWithoutLinesDoNothing) {
    TQBTable* box = AddAt("Empty", 100, 100, 0);
    for (int key : {Qt::Key_Down, Qt::Key_Up, Qt::Key_End, Qt::Key_Home, Qt::Key_PageDown, Qt::Key_Space})
        Key(key);
    EXPECT_EQ(box->FocusedItem(), nullptr);
}

TEST_F(TableBoxTest, TypeAheadSearchFocusesTheFirstMatch) {
    auto set = Fields({{"ID", ftInteger}, {"Name", ftString}, {"CustID", ftInteger}});
    TQBTable* box = Area->InsertTable("T", "", TPoint{100, 100}, false, set.get());
    Key(Qt::Key_C, Qt::NoModifier, "c");
    ASSERT_TRUE(Area->SearchEdit()->isVisible());
    Area->SearchEdit()->setText("cu");
    Key(Qt::Key_U, Qt::NoModifier, "u");
    EXPECT_EQ(box->FocusedItem(), box->Item(2));
    Area->SearchEdit()->setText("x");
    Key(Qt::Key_X, Qt::NoModifier, "x");
    EXPECT_EQ(box->FocusedItem(), box->Item(2));
}

TEST_F(TableBoxTest, PopupMenuOnlyOverTheCaption) {
    Box();
    Click(QPoint(140, 110), Qt::RightButton);
    QStringList texts;
    for (QAction* action : Area->PopupMenu()->actions())
        if (!action->isSeparator()) texts << action->text();
    EXPECT_EQ(texts, (QStringList{"删除表", "重命名表"}));
    Area->PopupMenu()->hide();
    Click(LinePoint(1), Qt::RightButton);
    EXPECT_TRUE(Area->PopupMenu()->actions().isEmpty());
}

TEST_F(TableBoxTest, DeleteCommandOfTheMenuRemovesTheBox) {
    Box();
    Click(QPoint(140, 110), Qt::RightButton);
    QAction* remove = Area->PopupMenu()->actions().front();
    Area->PopupMenu()->hide();
    remove->trigger();
    EXPECT_EQ(Area->TableCount(), 0);
    remove->trigger();  // the box is gone: nothing happens
    QApplication::processEvents();
}

TEST_F(TableBoxTest, LinkRectFollowsScrollingAndCollapse) {
    TQBTable* box = Box();
    EXPECT_EQ(box->ItemLinkRect(box->Item(0)), (TRect{100, 121, 201, 137}));
    EXPECT_EQ(box->ItemLinkRect(box->Item(6)).Bottom, 100 + 129 - 4);  // partly visible line
    EXPECT_EQ(box->ItemLinkRect(box->Item(8)), (TRect{100, 227, 201, 229}));  // below: bottom edge
    box->ScrollTo(3);
    EXPECT_EQ(box->ItemLinkRect(box->Item(0)), (TRect{100, 100, 201, 120}));  // above: caption
    box->SetExpanded(false);
    EXPECT_EQ(box->ItemLinkRect(box->Item(5)), (TRect{100, 100, 201, 120}));
    EXPECT_EQ(box->ItemLinkRect(nullptr), TRect{});
}

TEST_F(TableBoxTest, DraggingTheCaptionMovesTheBoxWithinTheSurface) {
    TQBTable* box = Box();
    Press(QPoint(140, 110));
    Send(QEvent::MouseMove, QPoint(180, 150), Qt::NoButton, Qt::LeftButton);
    Release(QPoint(180, 150));
    EXPECT_EQ(box->Left(), 140);
    EXPECT_EQ(box->Top(), 140);
    Press(QPoint(180, 150));
    Send(QEvent::MouseMove, QPoint(-500, -500), Qt::NoButton, Qt::LeftButton);
    Release(QPoint(-500, -500));
    EXPECT_EQ(box->Left(), 0);
    EXPECT_EQ(box->Top(), 0);
}

TEST_F(TableBoxTest, HoverRepaintsOnlyTheHoveredBox) {
    for (int i = 0; i < 4; ++i) AddAt("B" + std::to_string(i), 100 + 150 * i, 300, 5);
    TQBTable* box = Box();
    QApplication::processEvents();
    Viewport()->repaint();
    EXPECT_EQ(Area->LastPaintedBoxes(), 5);
    Move(Button(0));
    QApplication::processEvents();
    EXPECT_EQ(box->HotButton(), 0);
    EXPECT_EQ(Area->LastPaintedBoxes(), 1);
}

}  // namespace
