// Links and joins: routing, hit codes, bend points, join-type markers, the join definitions
// kept in the model (in both orientations), deletion through the deferred removal.
#include <QImage>
#include <QPainter>

#include "DiagramTestSupport.h"
#include "toolkit/Exceptions.h"

namespace {

class LinkTest : public DiagramTest {
protected:
    void SetUp() override {
        DiagramTest::SetUp();
        A = AddAt("A", 100, 100, 10);
        B = AddAt("B", 400, 100, 10);
    }
    TQBLink* LinkAB(int lineA = 0, int lineB = 0) { return Area->AddLink(A, B, A->Item(lineA), B->Item(lineB)); }
    std::vector<TPoint> PointsOf(const TQBLink* link) const { return link->Points(); }
    std::string Sql() const { return Control->Parser()->GetSQL(); }

    TQBTable* A = nullptr;
    TQBTable* B = nullptr;
};

TEST_F(LinkTest, LeavesAndEntersThroughTenPixelStubsFacingEachOther) {
    TQBLink* link = LinkAB();
    EXPECT_EQ(PointsOf(link), (std::vector<TPoint>{{201, 129}, {211, 129}, {390, 129}, {400, 129}}));
    A->MoveBy(500, 0);  // A now right of B: both sides flip
    EXPECT_EQ(PointsOf(link), (std::vector<TPoint>{{600, 129}, {590, 129}, {511, 129}, {501, 129}}));
}

TEST_F(LinkTest, LineScrolledAboveTheListAttachesToTheCaption) {
    TQBLink* link = LinkAB(0, 9);
    EXPECT_EQ(link->Points().back().Y, 227 + 1);  // below the list: the bottom edge strip
    B->ScrollTo(4);
    EXPECT_EQ(link->Points().back().Y, 121 + 5 * 17 + 8);
    A->ScrollTo(2);
    EXPECT_EQ(link->Points().front().Y, 110);
}

struct LinkHitCase {
    const char* name;
    QPoint point;
    int bends;  // bend points inserted at (300, 129) and (350, 129) first
    int code;
};

class LinkHitCodes : public LinkTest, public ::testing::WithParamInterface<LinkHitCase> {};

TEST_P(LinkHitCodes, NameThePartUnderThePoint) {
    TQBLink* link = LinkAB();
    const QPoint bends[] = {{300, 129}, {350, 129}};
    for (int i = 0; i < GetParam().bends; ++i) {
        link->SetDragPoint(TPoint{bends[i].x(), bends[i].y()});
        link->InsertPoint();
    }
    const QPoint p = GetParam().point;
    EXPECT_EQ(link->HitTest(TPoint{p.x(), p.y()}), GetParam().code);
}

INSTANTIATE_TEST_SUITE_P(Parts, LinkHitCodes,
                         ::testing::Values(LinkHitCase{"on_a_segment", {300, 129}, 0, hcList},
                                           LinkHitCase{"four_pixels_off_a_plain_link", {300, 133}, 0, hcList},
                                           LinkHitCase{"five_pixels_off_a_plain_link", {300, 134}, 0, hcNone},
                                           LinkHitCase{"five_pixels_off_with_one_bend", {320, 134}, 1, hcList},
                                           LinkHitCase{"six_pixels_off_with_two_bends", {320, 135}, 2, hcList},
                                           LinkHitCase{"start_point", {202, 130}, 0, hcEndPoint},
                                           LinkHitCase{"end_point", {398, 127}, 0, hcEndPoint},
                                           LinkHitCase{"elbow_is_a_segment", {211, 129}, 0, hcList},
                                           LinkHitCase{"bend_point", {301, 131}, 1, hcBendPoint},
                                           LinkHitCase{"far_away", {300, 300}, 0, hcNone}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(LinkTest, InsertingOnAStubDoesNothingOnTheMiddleAddsABendPoint) {
    TQBLink* link = LinkAB();
    for (const QPoint& stub : {QPoint(205, 129), QPoint(395, 129), QPoint(300, 300)}) {
        link->SetDragPoint(TPoint{stub.x(), stub.y()});
        link->InsertPoint();
        EXPECT_EQ(link->PointCount(), 4);
    }
    link->SetDragPoint(TPoint{300, 129});
    link->InsertPoint();
    ASSERT_EQ(link->PointCount(), 5);
    EXPECT_EQ(link->Points()[2], (TPoint{300, 129}));
    link->SetDragPoint(TPoint{302, 128});
    link->DeletePoint();
    EXPECT_EQ(link->PointCount(), 4);
}

TEST_F(LinkTest, PointIndexOutOfRangeFails) {
    TQBLink* link = LinkAB();
    for (int index : {4, -1}) {
        try {
            link->GetPoint(index);
            FAIL() << index;
        } catch (const EQBException& e) {
            EXPECT_EQ(e.Message(), "无效的索引 = " + std::to_string(index) + " ");
        }
        EXPECT_THROW(link->SetPoint(index, TPoint{}), EQBException);
    }
}

TEST_F(LinkTest, RoutingWithoutBothBoxesFails) {
    TQBLink* link = LinkAB();
    TQBTable* saved = link->Join()->Table1;
    link->Join()->Table1 = nullptr;
    try {
        link->RecalcRoute();
        ADD_FAILURE();
    } catch (const EQBException& e) {
        EXPECT_EQ(e.Message(), "连接控制无效的表 B ");
    }
    link->Join()->Table1 = saved;
}

TEST_F(LinkTest, DraggingABendPointMovesIt) {
    TQBLink* link = LinkAB();
    link->SetDragPoint(TPoint{300, 129});
    link->InsertPoint();
    Press(QPoint(300, 129));
    ASSERT_EQ(Area->HitCode(), hcBendPoint);
    Send(QEvent::MouseMove, QPoint(300, 200), Qt::NoButton, Qt::LeftButton);
    EXPECT_EQ(link->Points()[2], (TPoint{300, 129}));  // only the band moves while dragging
    Release(QPoint(300, 200));
    EXPECT_EQ(link->Points()[2], (TPoint{300, 200}));
}

struct MarkerCase {
    const char* name;
    int joinType;
    bool startArrow, endArrow, markers;
};

class JoinMarkers : public LinkTest, public ::testing::WithParamInterface<MarkerCase> {};

// Arrows reach 8 pixels from the box, dots 6: a pixel 7 pixels out and 3 above the line
// is inside an arrow only.
TEST_P(JoinMarkers, DrawArrowsOnTheOuterSides) {
    TQBLink* link = LinkAB();
    link->Join()->JoinType = GetParam().joinType;
    QImage image(Viewport()->size(), QImage::Format_ARGB32);
    image.fill(Qt::white);
    Control->Palette().SetWorkSpace(clWhite);
    {
        QPainter painter(&image);
        Area->PaintSurface(painter, image.rect());
    }
    auto dark = [&](int x, int y) { return qGray(image.pixel(x, y)) < 128; };
    const TPoint p0 = link->Points().front(), p3 = link->Points().back();
    EXPECT_EQ(dark(p0.X + 7, p0.Y - 3), GetParam().startArrow);
    EXPECT_EQ(dark(p3.X - 7, p3.Y - 3), GetParam().endArrow);
    // Dot or arrow: something is drawn right beside each end, above the line.
    EXPECT_EQ(dark(p0.X + 2, p0.Y - 1), GetParam().markers);
    EXPECT_EQ(dark(p3.X - 2, p3.Y - 1), GetParam().markers);
}

INSTANTIATE_TEST_SUITE_P(Types, JoinMarkers,
                         ::testing::Values(MarkerCase{"inner_dot_dot", 0, false, false, true},
                                           MarkerCase{"left_outer_arrow_dot", 1, true, false, true},
                                           MarkerCase{"right_outer_dot_arrow", 2, false, true, true},
                                           MarkerCase{"full_outer_arrow_arrow", 3, true, true, true},
                                           MarkerCase{"unknown_type_no_markers", 7, false, false, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(LinkTest, LinksOfOnePairShareTheirJoin) {
    TQBLink* first = LinkAB(0, 0);
    TQBLink* second = LinkAB(1, 1);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(first->Join(), second->Join());
    EXPECT_EQ(Area->JoinCount(), 1);
    Area->RemoveLink(first, 0, true);
    EXPECT_EQ(Area->JoinCount(), 1);
    Area->RemoveLink(second, 0, true);
    EXPECT_EQ(Area->JoinCount(), 0);
}

TEST_F(LinkTest, LinkKeepsItsJoinDefinitionInTheModel) {
    TQBLink* link = LinkAB(2, 3);
    ASSERT_EQ(JoinDefs().Count(), 1);
    const TQBJoinDef* def = JoinDefs().Items(0);
    EXPECT_EQ(def->LeftTable, "A");
    EXPECT_EQ(def->LeftField, "C2");
    EXPECT_EQ(def->RightTable, "B");
    EXPECT_EQ(def->RightField, "C3");
    EXPECT_NE(def->LeftTableDef, nullptr);
    EXPECT_NE(Sql().find("C3"), std::string::npos) << Sql();
    EXPECT_EQ(link->GetHint(), "A.C2=B.C3");
    EXPECT_EQ(link->LinkName(), "A_C2-B_C3");
    Area->RemoveLink(link, 0, true);
    EXPECT_EQ(JoinDefs().Count(), 0);
    EXPECT_EQ(Sql().find("C3"), std::string::npos) << Sql();
}

TEST_F(LinkTest, ReversedJoinKeepsEachLineWithItsTable) {
    TQBTable* c = AddAt("C", 700, 100, 10);
    ASSERT_NE(Area->AddLink(B, c, B->Item(0), c->Item(0)), nullptr);
    // A is joined to nothing, B already is: the new join lists B first.
    TQBLink* link = Area->AddLink(A, B, A->Item(1), B->Item(2));
    ASSERT_NE(link, nullptr);
    EXPECT_EQ(link->Join()->Table0, B);
    EXPECT_EQ(link->Item0(), B->Item(2));
    EXPECT_EQ(link->Item1(), A->Item(1));
    EXPECT_EQ(link->GetHint(), "B.C2=A.C1");
    EXPECT_EQ(Area->FindLink(A, B, A->Item(1), B->Item(2)), link);
    EXPECT_EQ(Area->FindLink(B, A, B->Item(2), A->Item(1)), link);
    EXPECT_EQ(Area->FindLink(A, B, A->Item(2), B->Item(1)), nullptr);
    ASSERT_EQ(JoinDefs().Count(), 2);
    const TQBJoinDef* def = JoinDefs().Items(1);
    EXPECT_EQ(def->LeftTable + "." + def->LeftField + "=" + def->RightTable + "." + def->RightField, "B.C2=A.C1");
    Area->RemoveLink(link, Area->IndexOfLink(link), true);
    EXPECT_EQ(JoinDefs().Count(), 1);
    EXPECT_EQ(Sql().find("C1"), std::string::npos) << Sql();
}

TEST_F(LinkTest, ParsedConditionInEitherOrientationIsFoundAndRemoved) {
    Control->Parser()->ParseSQL("SELECT * FROM A INNER JOIN B ON B.C0 = A.C0");
    ASSERT_EQ(JoinDefs().Count(), 1);
    TQBLink* link = LinkAB(0, 0);
    EXPECT_EQ(JoinDefs().Count(), 1);  // no second copy
    Area->RemoveLink(link, 0, true);
    EXPECT_EQ(JoinDefs().Count(), 0);
    EXPECT_EQ(Sql().find(" ON "), std::string::npos) << Sql();
}

TEST_F(LinkTest, RefusedLinkLeavesNothingBehind) {
    Control->OnAddRemoveLink = [](QObject*, TQBLink*, TQBAction, bool& accept) { accept = false; };
    EXPECT_EQ(LinkAB(), nullptr);
    EXPECT_EQ(Area->LinkCount(), 0);
    EXPECT_EQ(Area->JoinCount(), 0);
    EXPECT_EQ(JoinDefs().Count(), 0);
}

TEST_F(LinkTest, LinkNeedsLinesOfItsOwnBoxes) {
    EXPECT_EQ(Area->AddLink(A, B, B->Item(0), A->Item(0)), nullptr);
    EXPECT_EQ(Area->AddLink(A, nullptr, A->Item(0), nullptr), nullptr);
}

TEST_F(LinkTest, DeletionAsksThenRemovesAfterTheHandlerReturned) {
    TQBLink* link = LinkAB();
    ConfirmAnswer = false;
    link->DeleteLink();
    QApplication::processEvents();
    EXPECT_EQ(Area->LinkCount(), 1);
    EXPECT_EQ(LastQuestion.toStdString(), "您确认要删除连接吗？ \r\nA 与 B");
    ConfirmAnswer = true;
    link->DeleteLink();
    EXPECT_EQ(Area->LinkCount(), 1);  // not yet: the request is queued
    QApplication::processEvents();
    EXPECT_EQ(Area->LinkCount(), 0);
    EXPECT_EQ(JoinDefs().Count(), 0);
}

TEST_F(LinkTest, QueuedRemovalOfALinkAlreadyGoneDoesNothing) {
    TQBLink* link = LinkAB();
    link->DeleteLink();
    link->DeleteLink();  // asked twice
    Area->RemoveLink(link, 0, true);
    TQBLink* newcomer = LinkAB(1, 1);  // may reuse the freed memory
    QApplication::processEvents();
    ASSERT_EQ(Area->LinkCount(), 1);
    EXPECT_EQ(Area->Link(0), newcomer);
    newcomer->DeleteLink();
    Area->Clear();
    QApplication::processEvents();
    EXPECT_EQ(Area->LinkCount(), 0);
}

TEST_F(LinkTest, RefusedRemovalKeepsTheLink) {
    TQBLink* link = LinkAB();
    Control->OnAddRemoveLink = [](QObject*, TQBLink*, TQBAction action, bool& accept) {
        accept = action != qbaRemove;
    };
    link->DeleteLink();
    QApplication::processEvents();
    EXPECT_EQ(Area->LinkCount(), 1);
}

TEST_F(LinkTest, SelectingALinkHighlightsItsLinesAndTheDeleteKeyRemovesIt) {
    TQBLink* link = LinkAB(0, 0);
    std::vector<bool> selections;
    Area->OnLinkSelected = [&](TQBWorkArea*, TQBTable*, TQBTable*, TQBListItem*, TQBListItem*, bool active) {
        selections.push_back(active);
    };
    Click(QPoint(300, 129));
    EXPECT_EQ(Area->ActiveObject(), link);
    EXPECT_TRUE(A->Item(0)->Highlighted());
    EXPECT_TRUE(B->Item(0)->Highlighted());
    Click(QPoint(300, 400));
    EXPECT_FALSE(A->Item(0)->Highlighted());
    EXPECT_EQ(selections, (std::vector<bool>{true, false}));
    Click(QPoint(300, 129));
    Key(Qt::Key_Delete);
    QApplication::processEvents();
    EXPECT_EQ(Area->LinkCount(), 0);
    EXPECT_EQ(Area->ActiveObject(), nullptr);
}

TEST_F(LinkTest, SelectingALinkRepaintsOnlyAroundIt) {
    LinkAB(0, 0);
    for (int i = 0; i < 3; ++i) AddAt("Far" + std::to_string(i), 100 + 200 * i, 450, 5);
    Viewport()->repaint();
    EXPECT_EQ(Area->LastPaintedBoxes(), 5);
    Click(QPoint(300, 600));  // deselects the last box added
    QApplication::processEvents();
    EXPECT_EQ(Area->LastPaintedBoxes(), 1);
    Click(QPoint(300, 129));
    QApplication::processEvents();
    EXPECT_EQ(Area->LastPaintedLinks(), 1);
    EXPECT_LE(Area->LastPaintedBoxes(), 2);
}

struct MenuCase {
    const char* name;
    QPoint point;
    QStringList items;
};

class LinkMenus : public LinkTest, public ::testing::WithParamInterface<MenuCase> {};

TEST_P(LinkMenus, OfferWhatThePointAllows) {
    TQBLink* link = LinkAB();
    link->SetDragPoint(TPoint{300, 129});
    link->InsertPoint();
    Click(GetParam().point, Qt::RightButton);
    QStringList texts;
    for (QAction* action : Area->PopupMenu()->actions())
        if (!action->isSeparator()) texts << action->text();
    Area->PopupMenu()->hide();
    EXPECT_EQ(texts, GetParam().items);
}

INSTANTIATE_TEST_SUITE_P(Menus, LinkMenus,
                         ::testing::Values(MenuCase{"bend_point", {300, 129}, {"删除点", "删除连接", "属性"}},
                                           MenuCase{"segment", {250, 129}, {"插入点", "删除连接", "属性"}},
                                           MenuCase{"end_point", {202, 129}, {}}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(LinkTest, MenuCommandInsertsAPointWhereTheMenuOpened) {
    TQBLink* link = LinkAB();
    Click(QPoint(250, 129), Qt::RightButton);
    QAction* insert = Area->PopupMenu()->actions().front();
    Area->PopupMenu()->hide();
    insert->trigger();
    ASSERT_EQ(link->PointCount(), 5);
    EXPECT_EQ(link->Points()[2], (TPoint{250, 129}));
}

TEST_F(LinkTest, ClosingABoxRemovesItsLinksAndConditions) {
    LinkAB(0, 0);
    LinkAB(1, 1);
    A->Close();
    EXPECT_EQ(Area->LinkCount(), 0);
    EXPECT_EQ(Area->JoinCount(), 0);
    EXPECT_EQ(JoinDefs().Count(), 0);
    QApplication::processEvents();
}

}  // namespace
