// Dragging a box's edges and caption near the ends of the surface, and the hints that show
// when the pointer rests over an object.
#include <QElapsedTimer>
#include <QScrollBar>

#include "DiagramTestSupport.h"

namespace {

class DragBoxTest : public DiagramTest {
protected:
    // Presses at From and moves with the button held to To (screen), then releases.
    void DragFromTo(const QPoint& from, const QPoint& to) {
        Press(from);
        Send(QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
        Release(to);
    }
    QPoint OnScreen(int x, int y) const { return QPoint(x - Area->ScrollX(), y - Area->ScrollY()); }
};

TEST_F(DragBoxTest, RightEdgeStopsAtTheSurfacesEnd) {
    TQBTable* box = AddAt("A", 100, 100);
    box->SetWidth(80);
    box->SetLeft(4900);
    Area->horizontalScrollBar()->setValue(Area->horizontalScrollBar()->maximum());
    const int middle = box->Top() + 60;
    DragFromTo(OnScreen(4900 + 80 - 2, middle), OnScreen(5200, middle));
    EXPECT_EQ(box->Left(), 4900);
    EXPECT_EQ(box->Width(), 100);
}

TEST_F(DragBoxTest, LeftEdgeStopsAtZero) {
    TQBTable* box = AddAt("A", 30, 100);
    const int width = box->Width();
    DragFromTo(OnScreen(31, box->Top() + 60), QPoint(-100, box->Top() + 60));
    EXPECT_EQ(box->Left(), 0);
    EXPECT_EQ(box->Width(), width + 30);
}

TEST_F(DragBoxTest, BottomEdgeStopsAtTheSurfacesEnd) {
    TQBTable* box = AddAt("A", 100, 100);
    box->SetTop(4800);
    Area->verticalScrollBar()->setValue(Area->verticalScrollBar()->maximum());
    const int bottom = box->Top() + box->Height();
    DragFromTo(OnScreen(box->Left() + 50, bottom - 2), OnScreen(box->Left() + 50, 5300));
    EXPECT_EQ(box->Height(), 200);
}

TEST_F(DragBoxTest, MovingKeepsTheBoxOnTheSurfaceAndScrollsAlong) {
    TQBTable* box = AddAt("A", 100, 100);
    const int cw = Viewport()->width();
    // The pointer 150 pixels beyond the right edge of the visible area.
    DragFromTo(QPoint(140, 110), QPoint(cw + 150, 110));
    EXPECT_EQ(box->Left(), 100 + cw + 150 - 140);
    EXPECT_EQ(Area->ScrollX(), 150);
    box->SetLeft(4700);
    Area->horizontalScrollBar()->setValue(Area->horizontalScrollBar()->maximum());
    DragFromTo(OnScreen(4740, 110), OnScreen(6000, 110));
    EXPECT_EQ(box->Left() + box->Width(), 5000);
}

TEST_F(DragBoxTest, RestingPointerShowsTheHintThenItGoes) {
    TQBTable* box = AddAt("A", 100, 100);
    const QPoint caption(box->Left() + 40, box->Top() + 10);
    Move(caption);
    EXPECT_TRUE(Area->TimerActive(TQBWorkArea::tmHintDelay));
    Area->TimerFired(TQBWorkArea::tmHintDelay);
    EXPECT_EQ(Area->ShownHint().toStdString(), "双击编辑别名");
    EXPECT_FALSE(Area->TimerActive(TQBWorkArea::tmHintDelay));
    EXPECT_TRUE(Area->TimerActive(TQBWorkArea::tmHintHide));
    Area->TimerFired(TQBWorkArea::tmHintHide);
    EXPECT_TRUE(Area->ShownHint().isEmpty());

    Move(caption + QPoint(1, 0));
    Area->TimerFired(TQBWorkArea::tmHintDelay);
    ASSERT_FALSE(Area->ShownHint().isEmpty());
    Move(caption + QPoint(2, 0));  // any move hides it at once
    EXPECT_TRUE(Area->ShownHint().isEmpty());
    Press(caption + QPoint(2, 0));
    EXPECT_FALSE(Area->TimerActive(TQBWorkArea::tmHintDelay));
    Release(caption + QPoint(2, 0));
}

TEST_F(DragBoxTest, HintsOfLinesAndLinksAfterHalfASecond) {
    TQBTable* a = AddAt("A", 50, 20);
    TQBTable* b = AddAt("B", 400, 20);
    TQBLink* link = Area->AddLink(a, b, a->Item(1), b->Item(2));
    const TPoint p = link->GetPoint(1), q = link->GetPoint(2);
    Move(QPoint((p.X + q.X) / 2, (p.Y + q.Y) / 2));
    QElapsedTimer clock;
    clock.start();
    while (Area->ShownHint().isEmpty() && clock.elapsed() < 3000) QApplication::processEvents(QEventLoop::AllEvents, 50);
    EXPECT_EQ(Area->ShownHint().toStdString(), "A.C1=B.C2");
    EXPECT_GE(clock.elapsed(), 400);
    const TRect line = a->ItemRect(a->Item(0));
    Move(QPoint(line.Left + 30, line.Top + 5));
    Area->TimerFired(TQBWorkArea::tmHintDelay);
    EXPECT_EQ(Area->ShownHint().toStdString(), "C0 (Integer)");
}

TEST_F(DragBoxTest, LeavingTheWorkAreaCancelsThePendingHint) {
    TQBTable* box = AddAt("A", 100, 100);
    Move(QPoint(box->Left() + 40, box->Top() + 10));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(Area, &leave);
    EXPECT_FALSE(Area->TimerActive(TQBWorkArea::tmHintDelay));
}

}  // namespace
