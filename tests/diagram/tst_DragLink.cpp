// Linking two fields by dragging one onto a line of another box: the drop target and its
// highlight, the type check, the refusals, the list scrolling near a list's ends, and that
// no timer or pointer outlives its drag.
#include <QDrag>

#include "../support/DragInput.h"
#include "DiagramTestSupport.h"

namespace {

class DragLinkTest : public DiagramTest {
protected:
    TQBTable* Box(const std::string& name, int x, int y, const std::vector<std::pair<std::string, TFieldType>>& fields) {
        auto set = Fields(fields);
        return Area->InsertTable(name, "", TPoint{x, y}, false, set.get());
    }

    // The middle of a line's name, on screen.
    static QPoint TextPoint(const TQBListItem* line) {
        const TRect r = line->Table()->ItemRect(line);
        return QPoint(r.Left + line->Table()->LineHeight() + 12, (r.Top + r.Bottom) / 2);
    }

    // Presses on Line's name and moves past the drag threshold; the drag then plays Path
    // (dropping at its end when the work area accepts there). Step runs after each move.
    Qt::DropAction DragLine(TQBListItem* line, const std::vector<QPoint>& path,
                            const std::function<void(int)>& step = {}) {
        Qt::DropAction result = Qt::IgnoreAction;
        bool started = false;
        Area->DragHook = [&](QDrag& drag) {
            started = true;
            DragPixmap = drag.pixmap();
            DragText = drag.mimeData()->text();
            result = TDragPlayer::Play(Viewport(), drag.mimeData(), path, step);
            return result;
        };
        const QPoint start = TextPoint(line);
        Press(start);
        Move(start + QPoint(QApplication::startDragDistance() + 2, 0), Qt::LeftButton);
        Area->DragHook = nullptr;
        EXPECT_TRUE(started) << "no drag started";
        return result;
    }

    // After every drag: no timer runs and no pointer is left.
    void ExpectDragStateCleared() const {
        EXPECT_FALSE(Area->FieldDragging());
        EXPECT_FALSE(Area->TimerActive(TQBWorkArea::tmListUp));
        EXPECT_FALSE(Area->TimerActive(TQBWorkArea::tmListDown));
        EXPECT_EQ(Area->DropTable(), nullptr);
        EXPECT_EQ(Area->DropItem(), nullptr);
        EXPECT_EQ(Area->HighlightItem(), nullptr);
    }

    QPixmap DragPixmap;
    QString DragText;
};

TEST_F(DragLinkTest, DroppingOrdersCustomerIdOnCustomersAddsAnInnerJoin) {
    TQBTable* orders = Box("Orders", 50, 20, {{"OrderID", ftInteger}, {"CustomerID", ftString}});
    TQBTable* customers = Box("Customers", 400, 20, {{"CustomerID", ftString}, {"CompanyName", ftString}});
    const QPoint target = TextPoint(customers->FindItem("CustomerID"));
    EXPECT_EQ(DragLine(orders->FindItem("CustomerID"), {target}), Qt::LinkAction);

    ASSERT_EQ(Area->LinkCount(), 1);
    EXPECT_EQ(Area->Link(0)->Item0(), orders->FindItem("CustomerID"));
    EXPECT_EQ(Area->Link(0)->Item1(), customers->FindItem("CustomerID"));
    ASSERT_EQ(JoinDefs().Count(), 1);
    EXPECT_NE(Control->GetSQL().find("INNER JOIN Customers ON (Orders.CustomerID=Customers.CustomerID)"),
              std::string::npos)
        << Control->GetSQL();
    EXPECT_EQ(DragText, "Orders.CustomerID");
    ExpectDragStateCleared();
}

struct TypeCase {
    const char* name;
    TFieldType source;
    TFieldType target;
    bool checked;  // CheckLinkFieldsType
    bool linked;
};

class LinkFieldTypes : public DragLinkTest, public ::testing::WithParamInterface<TypeCase> {};

TEST_P(LinkFieldTypes, DecideWhetherTheDropIsAccepted) {
    const TypeCase& c = GetParam();
    Control->SetCheckLinkFieldsType(c.checked);
    TQBTable* a = Box("A", 50, 20, {{"S", c.source}});
    TQBTable* b = Box("B", 400, 20, {{"T", c.target}});
    DragLine(a->FindItem("S"), {TextPoint(b->FindItem("T"))});
    EXPECT_EQ(Area->LinkCount(), c.linked ? 1 : 0);
    EXPECT_EQ(JoinDefs().Count(), c.linked ? 1 : 0);
    ExpectDragStateCleared();
}

INSTANTIATE_TEST_SUITE_P(
    Types, LinkFieldTypes,
    ::testing::Values(TypeCase{"integer_on_float_refused", ftInteger, ftFloat, true, false},
                      TypeCase{"integer_on_float_unchecked", ftInteger, ftFloat, false, true},
                      TypeCase{"integer_on_large_integer", ftInteger, ftLargeint, true, true},
                      TypeCase{"autoinc_on_smallint", ftAutoInc, ftSmallint, true, true},
                      TypeCase{"float_on_currency", ftFloat, ftCurrency, true, true},
                      TypeCase{"float_on_bcd_refused", ftFloat, ftBCD, true, false},
                      TypeCase{"string_on_wide_string", ftString, ftWideString, true, true},
                      TypeCase{"unknown_counts_as_string", ftUnknown, ftFixedChar, true, true},
                      TypeCase{"string_on_integer_refused", ftString, ftInteger, true, false},
                      TypeCase{"date_on_same_date", ftDate, ftDate, true, true},
                      TypeCase{"date_on_date_time_refused", ftDate, ftDateTime, true, false},
                      TypeCase{"guid_on_guid", ftGuid, ftGuid, true, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DragLinkTest, LineOfTheSameBoxIsRefused) {
    TQBTable* a = Box("A", 50, 20, {{"X", ftInteger}, {"Y", ftInteger}});
    Box("B", 400, 20, {{"X", ftInteger}});
    DragLine(a->FindItem("X"), {TextPoint(a->FindItem("Y"))});
    EXPECT_EQ(Area->LinkCount(), 0);
    ExpectDragStateCleared();
}

TEST_F(DragLinkTest, LineAlreadyLinkedInEitherDirectionIsRefused) {
    TQBTable* a = Box("A", 50, 20, {{"X", ftInteger}});
    TQBTable* b = Box("B", 400, 20, {{"Y", ftInteger}});
    DragLine(a->FindItem("X"), {TextPoint(b->FindItem("Y"))});
    ASSERT_EQ(Area->LinkCount(), 1);
    DragLine(a->FindItem("X"), {TextPoint(b->FindItem("Y"))});
    DragLine(b->FindItem("Y"), {TextPoint(a->FindItem("X"))});
    EXPECT_EQ(Area->LinkCount(), 1);
    EXPECT_EQ(JoinDefs().Count(), 1);
}

TEST_F(DragLinkTest, DropAfterTheTargetWasLeftCreatesNothing) {
    // Accepted over B's line, then moved to empty space: a drop there (sent even though the
    // last move was refused) must not link to the line passed on the way.
    TQBTable* a = Box("A", 50, 20, {{"X", ftInteger}});
    TQBTable* b = Box("B", 400, 20, {{"Y", ftInteger}});
    const QPoint empty(300, 400);
    Area->DragHook = [&](QDrag& drag) {
        EXPECT_FALSE(TDragPlayer::Over(Viewport(), drag.mimeData(), {TextPoint(b->FindItem("Y")), empty}));
        return TDragPlayer::Drop(Viewport(), drag.mimeData(), empty);
    };
    const QPoint start = TextPoint(a->FindItem("X"));
    Press(start);
    Move(start + QPoint(QApplication::startDragDistance() + 2, 0), Qt::LeftButton);
    EXPECT_EQ(Area->LinkCount(), 0);
    ExpectDragStateCleared();
}

TEST_F(DragLinkTest, TheDropTargetHasItsOwnHighlightUntilTheDragEnds) {
    TQBTable* a = Box("A", 50, 20, {{"X", ftInteger}});
    TQBTable* b = Box("B", 400, 20, {{"Y", ftInteger}, {"Z", ftDate}});
    TQBListItem* y = b->FindItem("Y");
    TQBListItem* z = b->FindItem("Z");
    std::vector<TQBListItem*> highlighted, dropItems;
    DragLine(a->FindItem("X"), {TextPoint(y), TextPoint(z), QPoint(300, 400)}, [&](int step) {
        const char* dir = std::getenv("KORVEL_SNAPSHOT_DIR");
        if (dir && step == 0) Control->grab().save(QString::fromUtf8(dir) + "/drag.png");
        highlighted.push_back(Area->HighlightItem());
        dropItems.push_back(Area->DropItem());
        EXPECT_FALSE(y->Highlighted());  // not the bold lines of a selected link
    });
    // A refused line (date) is still shown as the line under the pointer; empty space shows none.
    EXPECT_EQ(highlighted, (std::vector<TQBListItem*>{y, z, nullptr}));
    EXPECT_EQ(dropItems, (std::vector<TQBListItem*>{y, nullptr, nullptr}));
    EXPECT_EQ(Area->LinkCount(), 0);
    ExpectDragStateCleared();
}

TEST_F(DragLinkTest, RestingNearTheListEndsScrollsItAndTheLinksFollow) {
    TQBTable* a = Box("A", 50, 20, {{"X", ftInteger}, {"W", ftInteger}});
    auto ten = Columns(10);
    TQBTable* b = Area->InsertTable("B", "", TPoint{400, 20}, false, ten.get());
    ASSERT_EQ(b->VisibleLines(), 6);
    // A link to B's fourth line, to see links follow the scrolling.
    TQBLink* link = Area->AddLink(a, b, a->FindItem("W"), b->Item(3));
    ASSERT_NE(link, nullptr);
    Area->ScrollList(b, 2);
    const int linkYBefore = link->Points().back().Y;

    const QPoint nearTop(b->Left() + 40 - Area->ScrollX(), b->Top() + 22 - Area->ScrollY());
    const QPoint nearBottom(b->Left() + 40 - Area->ScrollX(), b->BoundsRect().Bottom - 4 - Area->ScrollY());
    std::vector<int> topIndexes;
    DragLine(a->FindItem("X"), {nearTop, nearBottom, QPoint(300, 400)}, [&](int step) {
        if (step == 0) {
            EXPECT_TRUE(Area->TimerActive(TQBWorkArea::tmListUp));
            Area->TimerFired(TQBWorkArea::tmListUp);
            topIndexes.push_back(b->TopIndex());
            EXPECT_GT(link->Points().back().Y, linkYBefore);  // the line moved down, the link too
            Area->TimerFired(TQBWorkArea::tmListUp);
            Area->TimerFired(TQBWorkArea::tmListUp);  // already at the top
            topIndexes.push_back(b->TopIndex());
        } else if (step == 1) {
            EXPECT_TRUE(Area->TimerActive(TQBWorkArea::tmListDown));
            Area->TimerFired(TQBWorkArea::tmListDown);
            topIndexes.push_back(b->TopIndex());
        } else {
            // The pointer moved on: the next firing stops the timer and scrolls nothing.
            Area->TimerFired(TQBWorkArea::tmListDown);
            EXPECT_FALSE(Area->TimerActive(TQBWorkArea::tmListDown));
            topIndexes.push_back(b->TopIndex());
        }
    });
    EXPECT_EQ(topIndexes, (std::vector<int>{1, 0, 1, 1}));
    ExpectDragStateCleared();
}

TEST_F(DragLinkTest, RemovingTheTargetBoxDuringTheDragLeavesNothingBehind) {
    TQBTable* a = Box("A", 50, 20, {{"X", ftInteger}});
    TQBTable* b = Box("B", 400, 20, {{"Y", ftInteger}});
    const QPoint overY = TextPoint(b->FindItem("Y"));
    const QPoint nearTop(b->Left() + 40, b->Top() + 22);
    Area->DragHook = [&](QDrag& drag) {
        TDragPlayer::Over(Viewport(), drag.mimeData(), {nearTop, overY});
        EXPECT_EQ(Area->DropTable(), b);
        b->Close();
        EXPECT_EQ(Area->DropTable(), nullptr);
        EXPECT_EQ(Area->DropItem(), nullptr);
        EXPECT_EQ(Area->HighlightItem(), nullptr);
        QApplication::processEvents();  // the box is freed now
        Area->TimerFired(TQBWorkArea::tmListUp);
        Area->TimerFired(TQBWorkArea::tmListDown);
        return TDragPlayer::Drop(Viewport(), drag.mimeData(), overY);
    };
    const QPoint start = TextPoint(a->FindItem("X"));
    Press(start);
    Move(start + QPoint(QApplication::startDragDistance() + 2, 0), Qt::LeftButton);
    EXPECT_EQ(Area->TableCount(), 1);
    EXPECT_EQ(Area->LinkCount(), 0);
    ExpectDragStateCleared();
    Move(QPoint(300, 300));  // hovering again works
}

TEST_F(DragLinkTest, ClearingTheDiagramDuringTheDragLeavesNothingBehind) {
    TQBTable* a = Box("A", 50, 20, {{"X", ftInteger}});
    TQBTable* b = Box("B", 400, 20, {{"Y", ftInteger}});
    const QPoint overY = TextPoint(b->FindItem("Y"));
    DragLine(a->FindItem("X"), {overY, overY + QPoint(1, 0)}, [&](int step) {
        if (step == 0) Control->Clear();
    });
    EXPECT_EQ(Area->TableCount(), 0);
    ExpectDragStateCleared();
}

TEST_F(DragLinkTest, CancelledDragStopsItsTimers) {
    TQBTable* a = Box("A", 50, 20, {{"X", ftInteger}});
    TQBTable* b = Box("B", 400, 20, {{"Y", ftString}});
    const QPoint nearTop(b->Left() + 40, b->Top() + 22);
    Area->DragHook = [&](QDrag& drag) {
        TDragPlayer::Over(Viewport(), drag.mimeData(), {nearTop});
        EXPECT_TRUE(Area->TimerActive(TQBWorkArea::tmListUp));
        return Qt::IgnoreAction;  // Escape: no leave, no drop
    };
    const QPoint start = TextPoint(a->FindItem("X"));
    Press(start);
    Move(start + QPoint(QApplication::startDragDistance() + 2, 0), Qt::LeftButton);
    ExpectDragStateCleared();
}

TEST_F(DragLinkTest, ShortMovesDoNotStartADrag) {
    TQBTable* a = Box("A", 50, 20, {{"X", ftInteger}});
    bool started = false;
    Area->DragHook = [&](QDrag&) {
        started = true;
        return Qt::IgnoreAction;
    };
    const QPoint start = TextPoint(a->FindItem("X"));
    Press(start);
    Move(start + QPoint(1, 0), Qt::LeftButton);
    EXPECT_FALSE(started);
    Release(start + QPoint(1, 0));
}

TEST_F(DragLinkTest, TheFieldNameOptionShowsTheNameAsDragPicture) {
    TQBTable* a = Box("A", 50, 20, {{"X", ftInteger}});
    DragLine(a->FindItem("X"), {QPoint(300, 400)});
    EXPECT_TRUE(DragPixmap.isNull());  // the drag cursor stands for the field
    Control->SetOptions(TQBOptions{qboRowSelect, qboDragFieldName});
    DragLine(a->FindItem("X"), {QPoint(300, 400)});
    ASSERT_FALSE(DragPixmap.isNull());
    const QSizeF size = DragPixmap.deviceIndependentSize();
    EXPECT_EQ(static_cast<int>(size.width()) % 16, 0);
    EXPECT_GT(size.width(), QFontMetrics(Area->Font()).horizontalAdvance("A.X"));
}

TEST_F(DragLinkTest, ForeignDragsWithoutAHandlerAreRefused) {
    Box("A", 50, 20, {{"X", ftInteger}});
    QMimeData data;
    data.setText("Orders");
    EXPECT_FALSE(TDragPlayer::Over(Viewport(), &data, {QPoint(300, 300)}));
    TDragPlayer::Drop(Viewport(), &data, QPoint(300, 300));
    EXPECT_EQ(Area->TableCount(), 1);
}

}  // namespace
