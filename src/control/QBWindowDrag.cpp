// Drags the work area hands over to the control: drags from other sources (the host's
// table tree) over and onto the diagram, and field lines dropped outside the diagram. The
// points arrive in the work area's client coordinates and leave in the control's. A handler's
// exception reaches the work area's event guard, which reports it.
#include <QMimeData>

#include "control/QBWindow.h"
#include "diagram/QBFloatPanel.h"

namespace {

QPoint ControlPoint(const TCustomQueryBuilder& control, const TPoint& point) {
    return control.WorkArea()->viewport()->mapTo(&control, QPoint(point.X, point.Y));
}

}  // namespace

bool TCustomQueryBuilder::DoDragOver(QObject* source, const QMimeData* data, const TPoint& point, TDragState state) {
    if (!OnDragOver) return false;
    const QPoint p = ControlPoint(*this, point);
    bool accept = true;
    OnDragOver(FWorkArea, source, data, p.x(), p.y(), state, accept);
    return accept;
}

void TCustomQueryBuilder::DoDragDrop(QObject* source, const QMimeData* data, const TPoint& point) {
    if (!OnDragDrop) return;
    const QPoint p = ControlPoint(*this, point);
    OnDragDrop(FWorkArea, source, data, p.x(), p.y());
}

void TCustomQueryBuilder::DoEndDrag(QObject* target, const TPoint& point) {
    if (!OnEndDrag) return;
    const QPoint p = ControlPoint(*this, point);
    OnEndDrag(FWorkArea, target, p.x(), p.y());
}

TPoint TCustomQueryBuilder::DiagramPoint(int x, int y) const {
    const QPoint p = FWorkArea->viewport()->mapFrom(this, QPoint(x, y));
    return TPoint{p.x() + FWorkArea->ScrollX(), p.y() + FWorkArea->ScrollY()};
}
