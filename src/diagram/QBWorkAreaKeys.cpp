// Working the diagram without a mouse: Tab walks through the boxes and then through the
// links, and the menu key (or Shift+F10) opens the active object's menu at the object, where
// the bend-point commands act at the middle of the link.
#include <QMenu>
#include <algorithm>

#include "diagram/QBFloatPanel.h"
#include "diagram/QBFloatTable.h"
#include "diagram/QBGeometry.h"
#include "diagram/QBLinks.h"
#include "resources/QBResource.h"

namespace {

// The point halfway along the link's middle segment (on screen).
TPoint LinkMiddle(const TQBLink& link) {
    const int n = link.PointCount();
    const int s = std::clamp((n - 1) / 2, 1, n - 3);
    const TPoint a = link.GetPoint(s), b = link.GetPoint(s + 1);
    return TPoint{(a.X + b.X) / 2, (a.Y + b.Y) / 2};
}

// The bend point nearest the middle of the link, or -1 without bend points.
int MiddleBendPoint(const TQBLink& link) {
    const int n = link.PointCount();
    return n > 4 ? std::clamp(n / 2, 2, n - 3) : -1;
}

}  // namespace

void TQBWorkArea::TabToNext(bool back) {
    const int count = TableCount();
    if (auto* link = dynamic_cast<TQBLink*>(FActiveObject)) {
        const int i = IndexOfLink(link);
        if (!back && i + 1 < LinkCount()) {
            ActivateObject(Link(i + 1));
            return;
        }
        if (back && i > 0) {
            ActivateObject(Link(i - 1));
            return;
        }
        FTabRun = 0;  // past the links: the boxes again
    } else if (!back && FTabRun >= count && LinkCount() > 0) {
        // Every box had its turn: the links follow.
        FTabRun = 0;
        ActivateObject(Link(0));
        return;
    }
    // Tab activates the rear-most box, which comes to the front, so repeated Tab cycles
    // through all boxes; Shift+Tab activates the box just behind the active one.
    int n = IndexOfTable(FActiveObject);
    n = std::clamp(back ? n + 1 : count - 1, 0, count - 1);
    ActivateObject(FTables[n].get());
    FTabRun = back ? 0 : FTabRun + 1;
}

void TQBWorkArea::ShowKeyboardPopup() {
    FPopupMenu->clear();
    TPoint at{viewport()->width() / 2, viewport()->height() / 2};
    if (auto* box = dynamic_cast<TQBTable*>(FActiveObject)) {
        const TRect caption = box->CaptionTextRect();
        at = TPoint{(caption.Left + caption.Right) / 2 - ScrollX(), (caption.Top + caption.Bottom) / 2 - ScrollY()};
        box->BuildPopup(*FPopupMenu, at.X, hcCaption, at.Y);
    } else if (auto* link = dynamic_cast<TQBLink*>(FActiveObject)) {
        at = LinkMiddle(*link);
        link->BuildPopup(*FPopupMenu, at.X, hcList, at.Y);
        if (MiddleBendPoint(*link) >= 0) {
            const std::uint64_t serial = link->Serial();
            auto* remove = new QAction(QString::fromUtf8(QBResource::SDeletePoint), FPopupMenu.get());
            connect(remove, &QAction::triggered, this, Guarded([this, serial] {
                        auto* target = dynamic_cast<TQBLink*>(ObjectBySerial(serial));
                        if (!target || MiddleBendPoint(*target) < 0) return;
                        target->SetDragPoint(target->GetPoint(MiddleBendPoint(*target)));
                        target->DeletePoint();
                    }));
            FPopupMenu->insertAction(FPopupMenu->actions().value(0), remove);
        }
    } else {
        if (SpaceMenu) SpaceMenu->popup(viewport()->mapToGlobal(ToQPoint(at)));
        return;
    }
    if (!FPopupMenu->isEmpty()) FPopupMenu->popup(viewport()->mapToGlobal(QPoint(at.X, at.Y)));
}
