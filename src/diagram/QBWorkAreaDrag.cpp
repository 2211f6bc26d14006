// Drag and drop on the work area. A field line dragged onto a line of another box links
// the two fields: while the drag passes over a box, the line under the pointer is shown as
// drop target, the type check decides whether the drop is accepted, and resting near the
// top or bottom of the box's list scrolls it. Drags from anywhere else are handed to the
// owning control, and a field dropped elsewhere is reported to it when the drag ends.
//
// The drag state is read from the drag events themselves (the active box's focused line is
// the dragged one), so drag events sent without a running drag loop work the same way.
#include <QApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QMimeData>
#include <QPainter>
#include <QPointer>
#include <QTimer>
#include <QToolTip>

#include "diagram/QBFloatPanel.h"
#include "diagram/QBFloatTable.h"
#include "diagram/QBGeometry.h"
#include "diagram/QBLinks.h"

namespace {

TPoint ToTPoint(const QPointF& p) { return TPoint{static_cast<int>(p.x()), static_cast<int>(p.y())}; }

}  // namespace

bool TQBWorkArea::LinkFieldsCompatible(int sourceType, int targetType) {
    if (IsIntegerFamily(sourceType)) return IsIntegerFamily(targetType);
    if (IsFloatFamily(sourceType)) return IsFloatFamily(targetType);
    if (IsStringFamily(sourceType)) return IsStringFamily(targetType);
    return sourceType == targetType;
}

bool TQBWorkArea::IsOwnFieldDrag(const QMimeData* data) const {
    if (!data || !data->hasFormat(FieldMimeType)) return false;
    const QByteArray payload = data->data(FieldMimeType);
    return payload.left(payload.indexOf('\n')) == QByteArray::number(static_cast<qulonglong>(reinterpret_cast<quintptr>(this)));
}

QPixmap TQBWorkArea::FieldDragPixmap(const QString& text) const {
    QFont font = FFont;
    font.setBold(true);
    const QFontMetrics metrics(font);
    const int w = metrics.horizontalAdvance(text), h = metrics.height();
    const qreal ratio = devicePixelRatioF();
    // Black, framed in white, the name in white: readable on any background.
    QPixmap pixmap(QSize((w + 4 + 15) / 16 * 16, h + 4) * ratio);
    pixmap.setDevicePixelRatio(ratio);
    pixmap.fill(Qt::black);
    QPainter painter(&pixmap);
    const QRect r(0, 0, (w + 4 + 15) / 16 * 16, h + 4);
    painter.setPen(Qt::white);
    painter.drawRect(r.adjusted(0, 0, -1, -1));
    painter.setFont(font);
    painter.drawText(r, Qt::AlignCenter, text);
    return pixmap;
}

void TQBWorkArea::BeginFieldDrag(TQBTable* box, const TPoint& point) {
    if (FFieldDrag || box != FActiveObject) return;
    TQBListItem* line = box->FocusedItem();
    if (!line || !line->IsColumn()) return;
    const QPoint moved(point.X - FPressPoint.X, point.Y - FPressPoint.Y);
    if (moved.manhattanLength() < QApplication::startDragDistance()) return;

    auto* mime = new QMimeData;
    const QString text = QString::fromStdString(box->Key() + "." + line->Name());
    mime->setData(FieldMimeType, QByteArray::number(static_cast<qulonglong>(reinterpret_cast<quintptr>(this))) + '\n' +
                                     QByteArray::fromStdString(box->Key()) + '\n' +
                                     QByteArray::fromStdString(line->Name()));
    mime->setText(text);
    QPointer<QDrag> drag = new QDrag(viewport());
    drag->setMimeData(mime);
    if (Options().Contains(qboDragFieldName)) {
        const QPixmap pixmap = FieldDragPixmap(text);
        drag->setPixmap(pixmap);
        drag->setHotSpot(QPoint(pixmap.width(), pixmap.height()) / (2 * pixmap.devicePixelRatio()));
    } else {
        drag->setDragCursor(FDragCursor.pixmap(), Qt::LinkAction);
        drag->setDragCursor(FDragCursor.pixmap(), Qt::CopyAction);
    }
    viewport()->update();
    FFieldDrag = true;
    FFieldDropDone = false;
    FDragOverSelf = false;
    QToolTip::hideText();
    HideHint();
    QPointer<TQBWorkArea> self(this);
    if (DragHook)
        DragHook(*drag);
    else
        drag->exec(Qt::LinkAction | Qt::CopyAction, Qt::LinkAction);
    if (!self) return;  // the work area went while the drag ran
    EndFieldDrag(drag ? drag->target() : nullptr);
    if (drag) drag->deleteLater();
}

void TQBWorkArea::EndFieldDrag(QObject* target) {
    const bool droppedHere = FFieldDropDone || FDragOverSelf || target == viewport() || target == this;
    if (!droppedHere) {
        const QPoint pos = viewport()->mapFromGlobal(QCursor::pos());
        FOwner->DoEndDrag(target, TPoint{pos.x(), pos.y()});
    }
    FFieldDrag = false;
    FFieldDropDone = false;
    FDragOverSelf = false;
    ClearDropState();
    // The drag loop swallowed the button release: the next move starts from hovering.
    FHitCode = hcNone;
    FHotObject = nullptr;
}

void TQBWorkArea::ClearDropState() {
    FListUpTimer->stop();
    FListDownTimer->stop();
    SetHighlightItem(nullptr);
    FDropTable = nullptr;
    FDropItem = nullptr;
    FWatchPoint = TPoint{0, 0};
}

void TQBWorkArea::SetHighlightItem(TQBListItem* item) {
    if (item == FHighlightItem) return;
    TQBListItem* old = FHighlightItem;
    FHighlightItem = item;
    if (old) old->Table()->InvalidateItem(old, TQBTable::TItemPart::All);
    if (item) item->Table()->InvalidateItem(item, TQBTable::TItemPart::All);
}

void TQBWorkArea::ForgetBox(const TQBTable* box) {
    if (FDropTable == box || (FDropItem && FDropItem->Table() == box) ||
        (FHighlightItem && FHighlightItem->Table() == box)) {
        FListUpTimer->stop();
        FListDownTimer->stop();
        if (FHighlightItem && FHighlightItem->Table() == box) FHighlightItem = nullptr;
        SetHighlightItem(nullptr);
        FDropTable = nullptr;
        FDropItem = nullptr;
        FWatchPoint = TPoint{0, 0};
    }
    if (FHotObject == box) {
        FHotObject = nullptr;
        FHitCode = hcNone;
    }
}

bool TQBWorkArea::FieldDragOver(const QPoint& point, TDragState state) {
    FDropItem = nullptr;
    auto* source = dynamic_cast<TQBTable*>(FActiveObject);
    TQBListItem* dragged = source ? source->FocusedItem() : nullptr;
    if (!dragged || !dragged->IsColumn()) {
        ClearDropState();
        return false;
    }
    const TPoint client{point.x(), point.y()};
    TQBTable* target = nullptr;
    for (const auto& box : FTables) {
        if (box->HitTest(client) == hcList) {
            target = box.get();
            break;
        }
    }
    if (!target || target == source) {
        ClearDropState();
        return false;
    }
    if (target != FDropTable) {
        FListUpTimer->stop();
        FListDownTimer->stop();
    }
    FDropTable = target;
    const int px = point.x() + ScrollX(), py = point.y() + ScrollY();
    const bool nearTop = py < target->Top() + 25;
    const bool nearBottom = py > target->BoundsRect().Bottom - 5;
    if (nearTop || nearBottom) {
        if (state == dsDragMove) {
            FWatchPoint = TPoint{px, py};
            (nearTop ? FListDownTimer : FListUpTimer)->stop();  // both would watch this point
            (nearTop ? FListUpTimer : FListDownTimer)->start(200);
        } else {
            FWatchPoint = TPoint{0, 0};
        }
    }
    TQBListItem* line = target->ItemAtY(point.y());
    bool accept = false;
    if (line && line->IsColumn()) {
        const bool typesMatch = !FCheckLinkFieldsType || LinkFieldsCompatible(dragged->DataType(), line->DataType());
        if (typesMatch && !FindLink(source, target, dragged, line)) {
            FDropItem = line;
            accept = true;
        }
    }
    SetHighlightItem(line);
    return accept;
}

void TQBWorkArea::FieldDrop() {
    auto* source = dynamic_cast<TQBTable*>(FActiveObject);
    TQBListItem* dragged = source ? source->FocusedItem() : nullptr;
    TQBListItem* target = FDropItem;
    FFieldDropDone = true;
    ClearDropState();
    if (!dragged || !target || IndexOfTable(target->Table()) < 0) return;
    AddLink(source, target->Table(), dragged, target);
    viewport()->update();
}

void TQBWorkArea::ScrollList(TQBTable* box, int index) {
    box->ScrollTo(index);
    if (box == FActiveObject) box->UpdateScrollBar();
    TableChanged(box);
}

void TQBWorkArea::dragEnterEvent(QDragEnterEvent* event) {
    Guard([&] {
        FDragPos = ToTPoint(event->position());
        if (IsOwnFieldDrag(event->mimeData())) {
            FDragOverSelf = true;
            FieldDragOver(event->position().toPoint(), dsDragEnter);
            // The enter is always taken, so that the moves over the boxes follow.
            event->setDropAction(Qt::LinkAction);
            event->accept();
            return;
        }
        if (FOwner->DoDragOver(event->source(), event->mimeData(), FDragPos, dsDragEnter))
            event->acceptProposedAction();
        else
            event->ignore();
    });
}

void TQBWorkArea::dragMoveEvent(QDragMoveEvent* event) {
    Guard([&] {
        FDragPos = ToTPoint(event->position());
        if (IsOwnFieldDrag(event->mimeData())) {
            FDragOverSelf = true;
            // A field dropped on a field links the two.
            event->setDropAction(Qt::LinkAction);
            event->setAccepted(FieldDragOver(event->position().toPoint(), dsDragMove));
            return;
        }
        if (FOwner->DoDragOver(event->source(), event->mimeData(), FDragPos, dsDragMove))
            event->acceptProposedAction();
        else
            event->ignore();
    });
}

void TQBWorkArea::dragLeaveEvent(QDragLeaveEvent*) {
    FDragOverSelf = false;
    ClearDropState();
}

void TQBWorkArea::dropEvent(QDropEvent* event) {
    Guard([&] {
        if (IsOwnFieldDrag(event->mimeData())) {
            // Field drops are handled here and not handed over: the link is made now, and the
            // end of the drag only tidies up.
            FDragOverSelf = true;
            event->setDropAction(Qt::LinkAction);
            event->setAccepted(FDropItem != nullptr);
            FieldDrop();
            return;
        }
        FOwner->DoDragDrop(event->source(), event->mimeData(), ToTPoint(event->position()));
        event->acceptProposedAction();  // the owner took the drop: the source learns it landed
    });
}
