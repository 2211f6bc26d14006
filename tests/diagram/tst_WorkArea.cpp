// The work area: creation, keys of boxes, automatic placement, arrangements kept by Clear,
// stacking order, alias changes and suspended painting.
#include <QLabel>
#include <QWheelEvent>

#include "DiagramTestSupport.h"
#include "diagram/QBImages.h"
#include "resources/QBResource.h"
#include "toolkit/Exceptions.h"

namespace {

std::vector<std::string> Keys(const TQBWorkArea& area) {
    std::vector<std::string> keys;
    for (int i = area.TableCount() - 1; i >= 0; --i) keys.push_back(area.Table(i)->Key());
    return keys;
}

TEST(WorkAreaCreation, RefusesToBeMadeWithoutAnOwner) {
    TestApp();
    QLabel notABuilder;
    try {
        TQBWorkArea area(&notABuilder, nullptr);
        FAIL() << "created";
    } catch (const EQBException& e) {
        EXPECT_EQ(e.Message(), "无效的父工作区!");
    }
    EXPECT_TRUE(notABuilder.children().isEmpty());
}

class WorkAreaTest : public DiagramTest {};

struct KeyCase {
    const char* name;
    std::vector<std::string> tables;
    bool caseSensitive;
    std::vector<std::string> keys;
};

class UniqueKeys : public DiagramTest, public ::testing::WithParamInterface<KeyCase> {};

TEST_P(UniqueKeys, FollowTheStemAndCountUp) {
    Control->SetCaseSensitiveIdentifiers(GetParam().caseSensitive);
    for (const std::string& t : GetParam().tables) ASSERT_NE(Add(t), nullptr) << t;
    EXPECT_EQ(Keys(*Area), GetParam().keys);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, UniqueKeys,
    ::testing::Values(
        KeyCase{"same_table_three_times", {"Orders", "Orders", "Orders"}, false, {"Orders", "Orders1", "Orders2"}},
        KeyCase{"owner_prefix_is_dropped_from_the_stem", {"dbo.Orders", "dbo.Orders"}, false, {"dbo.Orders", "Orders1"}},
        KeyCase{"only_quote_characters_use_the_prefix", {R"("")", R"("")", R"("")"}, false,
                {R"("")", "TABLE_11", "TABLE_12"}},
        KeyCase{"quoted_name_loses_its_quotes", {R"("Order Details")", R"("Order Details")"}, false,
                {R"("Order Details")", "Order Details1"}},
        KeyCase{"keys_differing_in_case_clash_as_in_the_model", {"Orders", "orders"}, false, {"Orders", "orders1"}},
        KeyCase{"case_sensitive_names_keep_both", {"Orders", "orders"}, true, {"Orders", "orders"}},
        KeyCase{"trailing_point_is_dropped", {"x.", "x."}, false, {"x.", "x1"}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WorkAreaTest, FirstBoxLandsAt50By20AndTheNextBesideIt) {
    TQBTable* first = Add("T");
    TQBTable* second = Add("U");
    EXPECT_EQ(first->Left(), 50);
    EXPECT_EQ(first->Top(), 20);
    EXPECT_EQ(first->Width(), 101);
    EXPECT_EQ(second->Left(), first->Left() + first->Width() + 10);
    EXPECT_EQ(second->Top(), 20);
}

TEST_F(WorkAreaTest, PlacementStartsANewRowInsteadOfLeavingTheSurface) {
    std::vector<TQBTable*> boxes;
    for (int i = 0; i < 60; ++i) boxes.push_back(Add("T", 3));
    int rows = 0;
    for (TQBTable* box : boxes) {
        EXPECT_GE(box->Left(), 0);
        EXPECT_LE(box->Left() + box->Width(), TQBWorkArea::SurfaceSize);
        EXPECT_LE(box->Top() + box->Height(), TQBWorkArea::SurfaceSize);
        if (box->Left() == 50) ++rows;
    }
    EXPECT_GT(rows, 1);
    // Boxes of the second row lie below every box of the first.
    const TQBTable* firstOfRow2 = nullptr;
    for (std::size_t i = 1; i < boxes.size() && !firstOfRow2; ++i)
        if (boxes[i]->Left() == 50) firstOfRow2 = boxes[i];
    ASSERT_NE(firstOfRow2, nullptr);
    EXPECT_GT(firstOfRow2->Top(), boxes[0]->Top() + boxes[0]->Height());
}

TEST_F(WorkAreaTest, PositionsAreClampedToTheSurface) {
    TQBTable* negative = AddAt("N", -30, -40);
    EXPECT_EQ(negative->Left(), 0);
    EXPECT_EQ(negative->Top(), 0);
    TQBTable* beyond = AddAt("B", 4990, 4990);
    EXPECT_EQ(beyond->Left() + beyond->Width(), TQBWorkArea::SurfaceSize);
    EXPECT_EQ(beyond->Top() + beyond->Height(), TQBWorkArea::SurfaceSize);
}

TEST_F(WorkAreaTest, ClearRemembersArrangementsSilentlyAndBoxesComeBack) {
    TQBTable* a = Add("A", 3);
    TQBTable* b = Add("B", 3);
    Add("C", 3);
    ASSERT_NE(Area->AddLink(a, b, a->Item(0), b->Item(0)), nullptr);
    ASSERT_NE(Area->AddLink(a, b, a->Item(1), b->Item(1)), nullptr);
    a->MoveBy(300, 200);
    a->SetWidth(150);
    a->SetExpanded(false);
    const int left = a->Left(), top = a->Top();
    int notifications = 0;
    Area->OnTableRemoved = [&](TQBWorkArea*, TQBTable*) { ++notifications; };
    Area->OnLinkRemoved = [&](TQBWorkArea*, TQBLink*) { ++notifications; };
    const int defsBefore = JoinDefs().Count();
    Area->Clear();
    EXPECT_EQ(notifications, 0);
    EXPECT_EQ(Area->TableCount(), 0);
    EXPECT_EQ(Area->LinkCount(), 0);
    EXPECT_EQ(Area->JoinCount(), 0);
    EXPECT_EQ(Area->Arrangements().Count(), 3);
    EXPECT_EQ(JoinDefs().Count(), defsBefore);  // the model is not touched

    TQBTable* back = Add("A", 3);
    EXPECT_EQ(back->Left(), left);
    EXPECT_EQ(back->Top(), top);
    EXPECT_EQ(back->Width(), 150);
    EXPECT_FALSE(back->Expanded());
}

TEST_F(WorkAreaTest, RememberedPlaceIsFoundByKeyIgnoringCase) {
    AddAt("Orders", 700, 300);
    Area->Clear();
    EXPECT_EQ(Area->Arrangements().IndexOf("ORDERS"), -1);  // the collection itself compares exactly
    TQBTable* back = Add("ORDERS");
    EXPECT_EQ(back->Left(), 700);
    EXPECT_EQ(back->Top(), 300);
}

TEST_F(WorkAreaTest, RememberedBoxIsStillShiftedPastABoxInItsPlace) {
    Add("A", 3);
    Area->Clear();
    TQBTable* other = AddAt("Other", 50, 20);
    TQBTable* back = Add("A", 3);
    EXPECT_EQ(back->Left(), other->Left() + other->Width() + 10);
}

TEST_F(WorkAreaTest, TableByKeyComparesLikeTheModel) {
    TQBTable* only = Add("Orders");
    EXPECT_EQ(Area->TableByKey(""), only);
    EXPECT_EQ(Area->TableByKey("ORDERS"), only);
    Add("Customers");
    EXPECT_EQ(Area->TableByKey("  "), nullptr);
    Control->SetCaseSensitiveIdentifiers(true);
    EXPECT_EQ(Area->TableByKey("ORDERS"), nullptr);
    EXPECT_EQ(Area->TableByKey("Orders"), only);
}

TEST_F(WorkAreaTest, BringToFrontMovesOnlyThatBox) {
    std::vector<TQBTable*> boxes;
    for (int i = 0; i < 5; ++i) boxes.push_back(Add("T" + std::to_string(i)));
    // Front to back the order is T4 T3 T2 T1 T0; index 3 holds T1.
    Area->BringToFront(Area->Table(3));
    std::vector<std::string> order;
    for (int i = 0; i < Area->TableCount(); ++i) order.push_back(Area->Table(i)->Name());
    EXPECT_EQ(order, (std::vector<std::string>{"T1", "T4", "T3", "T2", "T0"}));
}

struct AliasCase {
    const char* name;
    std::string text;
    std::string alias;  // expected alias afterwards
    std::string error;  // expected error text, empty for none
};

class AliasChange : public DiagramTest, public ::testing::WithParamInterface<AliasCase> {};

TEST_P(AliasChange, CommitsOrRefuses) {
    Add("x");
    TQBTable* box = Add("Orders", 3, "o");
    std::string oldKey;
    Area->OnTableKeyChanged = [&](TQBTable*, const std::string& old) { oldKey = old; };
    std::string error;
    try {
        Area->ChangeAlias(GetParam().text);
    } catch (const EQBException& e) {
        error = e.Message();
    }
    EXPECT_EQ(error, GetParam().error);
    EXPECT_EQ(box->Alias(), GetParam().alias);
    EXPECT_EQ(oldKey, GetParam().error.empty() ? "o" : "");
}

INSTANTIATE_TEST_SUITE_P(
    Aliases, AliasChange,
    ::testing::Values(AliasCase{"another_boxes_key", "x", "o", "表别名 x 已经存在"},
                      AliasCase{"another_boxes_key_in_other_case", "X", "o", "表别名 X 已经存在"},
                      AliasCase{"own_name_clears_the_alias", "Orders", "", ""},
                      AliasCase{"points_are_removed", "a.b", "ab", ""},
                      AliasCase{"empty_clears", "", "", ""}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(WorkAreaTest, AliasMayNotEndUpAsAnotherBoxsKey) {
    Add("ab");
    Add("Orders");
    TQBTable* box = Add("Orders", 3, "o");
    for (const auto& [text, error] : std::vector<std::pair<std::string, std::string>>{
             {"a.b", "表别名 ab 已经存在"}, {"", "表别名 Orders 已经存在"}, {"Orders", "表别名 Orders 已经存在"}}) {
        try {
            Area->ChangeAlias(text);
            ADD_FAILURE() << text;
        } catch (const EQBException& e) {
            EXPECT_EQ(e.Message(), error);
        }
        EXPECT_EQ(box->Alias(), "o");
    }
}

TEST_F(WorkAreaTest, AliasEditorCommitsOnEnterAndReportsAClash) {
    Add("x");
    TQBTable* box = Add("Orders");
    box->EditAlias();
    ASSERT_TRUE(Area->AliasEdit()->isVisible());
    Area->AliasEdit()->setText("x");
    Key(Qt::Key_Return);
    EXPECT_FALSE(Area->AliasEdit()->isVisible());
    EXPECT_EQ(LastError.toStdString(), "表别名 x 已经存在");
    EXPECT_EQ(box->Alias(), "");
    box->EditAlias();
    Area->AliasEdit()->setText("o");
    Key(Qt::Key_Escape);
    EXPECT_EQ(box->Alias(), "");
}

TEST_F(WorkAreaTest, NothingIsPaintedWhileSuspended) {
    Area->SuspendPaint();
    Add("A");
    Viewport()->repaint();
    EXPECT_EQ(Area->LastPaintedBoxes(), 0);
    Area->ResumePaint();
    Viewport()->repaint();
    EXPECT_EQ(Area->LastPaintedBoxes(), 1);
}

TEST_F(WorkAreaTest, RefusedBoxIsNotAddedAndTheModelStaysEmpty) {
    Control->OnAddRemoveTable = [](QObject*, TQBTable*, TQBAction action, bool& accept) {
        accept = action != qbaAdd;
    };
    EXPECT_EQ(Add("Orders"), nullptr);
    EXPECT_EQ(Area->TableCount(), 0);
    EXPECT_EQ(TableDefs().Count(), 0);
}

TEST_F(WorkAreaTest, AddedAndRemovedBoxesKeepTheModelsTableDefinitions) {
    TQBTable* box = Add("Orders", 3, "o");
    ASSERT_NE(TableDefs().FindByAlias("o"), nullptr);
    EXPECT_EQ(TableDefs().FindByAlias("o")->GetTableName(), "Orders");
    box->Close();
    EXPECT_EQ(Area->TableCount(), 0);
    EXPECT_EQ(TableDefs().FindByAlias("o"), nullptr);
}

TEST_F(WorkAreaTest, ResourcesAreLoaded) {
    EXPECT_FALSE(Area->DragCursor().pixmap().isNull());
    for (const char* name : {"BTN1", "BTN2", "BTN3", "BOX1", "BOX2", "BOX3", "CHECKBMP", "UNCHECKBMP", "INPUTNULL",
                             "INPUTPARAM", "TABLEBMP", "FIELDBMP"}) {
        EXPECT_FALSE(QBImage(name).isNull()) << name;
        EXPECT_EQ(QBImage(name, 2.0).deviceIndependentSize(), QBImage(name).deviceIndependentSize()) << name;
    }
}

TEST_F(WorkAreaTest, WheelScrollsVerticallyShiftHorizontallyCtrlNot) {
    const int step = QApplication::wheelScrollLines() * 20;
    auto wheel = [&](Qt::KeyboardModifiers modifiers) {
        QWheelEvent event(QPointF(50, 50), QPointF(Viewport()->mapToGlobal(QPoint(50, 50))), QPoint(),
                          QPoint(0, -120), Qt::NoButton, modifiers, Qt::NoScrollPhase, false);
        QApplication::sendEvent(Viewport(), &event);
    };
    wheel(Qt::NoModifier);
    EXPECT_EQ(Area->ScrollY(), step);
    wheel(Qt::ShiftModifier);
    EXPECT_EQ(Area->ScrollX(), step);
    wheel(Qt::ControlModifier);
    EXPECT_EQ(Area->ScrollX(), step);
    EXPECT_EQ(Area->ScrollY(), step);
}

TEST_F(WorkAreaTest, TabCyclesFromTheRearmostBox) {
    TQBTable* c = Add("C");
    TQBTable* b = Add("B");
    TQBTable* a = Add("A");
    ASSERT_EQ(Area->ActiveObject(), a);
    Key(Qt::Key_Tab);
    EXPECT_EQ(Area->ActiveObject(), c);
    Key(Qt::Key_Tab);
    EXPECT_EQ(Area->ActiveObject(), b);
}

}  // namespace
