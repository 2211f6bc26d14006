// Input of the criterion panels: hover and press on the hot spots, the keys that move the
// current spot and run the row commands, focus, and drops of field lines from the diagram.
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTreeWidget>

#include "control/QBWindow.h"
#include "diagram/QBFloatPanel.h"
#include "diagram/QBFloatTable.h"
#include "editors/QBWherePanel.h"
#include "lexer/QBScanner.h"
#include "parser/QBParser.h"

// --- mouse ---

void TQBCriterionPanel::mouseMoveEvent(QMouseEvent* event) {
    if (FEditedSpot) return;
    TQBControl* spot = SpotAt(event->position().toPoint());
    if (event->buttons() != Qt::NoButton) {
        // While a button is held the target stays; the number button shows pressed only
        // while the pointer is over it.
        if (FPressedSpot) viewport()->update(SpotRect(FPressedSpot));
        if (spot != FHoverSpot && FHoverSpot && FHoverSpot == FPressedSpot) {
            FPressedSpot = nullptr;
            viewport()->update(SpotRect(FHoverSpot));
        }
        return;
    }
    if (spot == FHoverSpot) return;
    if (FHoverSpot && FHoverSpot->SpotIndex == siNumber) viewport()->update(SpotRect(FHoverSpot));
    FHoverSpot = spot;
    viewport()->setCursor(spot ? Qt::PointingHandCursor : Qt::ArrowCursor);
    if (spot && spot->SpotIndex == siNumber) viewport()->update(SpotRect(spot));
}

void TQBCriterionPanel::mousePressEvent(QMouseEvent* event) {
    CloseFieldPicker(false);
    if (FEditedSpot) CloseEditor(true);
    setFocus(Qt::MouseFocusReason);
    if (!FHoverSpot) return;
    if (FHoverSpot->SpotIndex == siNumber) {
        if (event->button() == Qt::LeftButton) FPressedSpot = FHoverSpot;
        viewport()->update(SpotRect(FHoverSpot));
        return;
    }
    if (FHoverSpot != FCurrentSpot) SetCurrent(FHoverSpot);
}

void TQBCriterionPanel::mouseReleaseEvent(QMouseEvent* event) {
    TQBControl* pressed = FPressedSpot;
    FPressedSpot = nullptr;
    if (FEditedSpot || !FHoverSpot) return;
    TQBControl* spot = SpotAt(event->position().toPoint());
    if (spot != FHoverSpot) {
        FHoverSpot = spot;
        viewport()->update();
        return;
    }
    if (event->button() != Qt::LeftButton) return;
    if (pressed) viewport()->update(SpotRect(pressed));
    // A number spot opens the row menu, any other its menu or editor.
    Guard([&] { ActivateSpot(spot); });
}

// --- keyboard ---

void TQBCriterionPanel::SetCurrent(TQBControl* spot) {
    if (FCurrentSpot && FCurrentSpot->Row != spot->Row) viewport()->update(RowRect(FCurrentSpot->Row));
    FCurrentSpot = spot;
    viewport()->update(RowRect(spot->Row));
}

void TQBCriterionPanel::keyPressEvent(QKeyEvent* event) {
    event->accept();
    if (!FCurrentSpot) return;
    const bool ctrl = event->modifiers().testFlag(Qt::ControlModifier);
    TQBCriterionRow* row = FCurrentSpot->Row;
    Guard([&] {
        switch (event->key()) {
            case Qt::Key_Left:
            case Qt::Key_Right:
                if (ctrl && row->IsGroup()) {
                    FHoverSpot = row->Spot(siLeftFunction);
                    ExpandCollapse();
                } else {
                    MoveCurrent(event->key());
                }
                break;
            case Qt::Key_Up:
            case Qt::Key_Down:
                MoveCurrent(event->key());
                break;
            case Qt::Key_Return:
            case Qt::Key_Enter:
                ActivateSpot(FCurrentSpot);
                break;
            case Qt::Key_Insert:
                FHoverSpot = FCurrentSpot;
                if (ctrl && !row->IsGroup())
                    MakeGroup();
                else
                    AddCondition();
                break;
            case Qt::Key_Delete:
                if (!ctrl) break;
                FHoverSpot = FCurrentSpot;
                DeleteCondition();
                break;
            default:
                break;
        }
    });
}

bool TQBCriterionPanel::IsSpotVisibleAtAll(const TQBControl* spot) const {
    if (!spot || spot->Width <= 0 || spot->SpotIndex == siNumber) return false;
    return !spot->Row->IsGroup() || spot->SpotIndex == siLeftFunction;
}

void TQBCriterionPanel::MoveCurrent(int key) {
    const auto left = [](const TQBControl* spot) -> TQBControl* {
        if (spot->SpotIndex <= siLeftFunction) {
            const TQBCriterionRow* prior = spot->Row->PriorRow();
            return prior ? prior->LastSpot() : nullptr;
        }
        return spot->Row->Spot(spot->SpotIndex - 1);
    };
    const auto right = [](const TQBControl* spot) -> TQBControl* {
        if (spot->SpotIndex + 1 < spot->Row->SpotCount()) return spot->Row->Spot(spot->SpotIndex + 1);
        const TQBCriterionRow* next = spot->Row->NextRow();
        return next ? next->Spot(siLeftFunction) : nullptr;
    };
    const auto sameColumn = [](const TQBCriterionRow* row, int index) -> TQBControl* {
        if (!row) return nullptr;
        if (row->IsGroup()) return row->Spot(siLeftFunction);
        return row->Spot(std::min(index, row->SpotCount() - 1));
    };
    TQBControl* spot = nullptr;
    bool upDown = false;
    switch (key) {
        case Qt::Key_Left: spot = left(FCurrentSpot); break;
        case Qt::Key_Right: spot = right(FCurrentSpot); break;
        case Qt::Key_Up: spot = sameColumn(FCurrentSpot->Row->PriorRow(), FCurrentSpot->SpotIndex), upDown = true; break;
        case Qt::Key_Down: spot = sameColumn(FCurrentSpot->Row->NextRow(), FCurrentSpot->SpotIndex), upDown = true; break;
        default: return;
    }
    // Hidden spots and the unused spots of a group row are passed over by repeating the key
    // (Right for Up and Down); a walk that runs out of spots keeps the current one.
    int steps = 0;
    const int limit = 4 * static_cast<int>(VisibleRows().size()) * 8 + 64;
    while (spot && !IsSpotVisibleAtAll(spot) && ++steps < limit)
        spot = (key == Qt::Key_Left && !upDown) ? left(spot) : right(spot);
    if (!spot || !IsSpotVisibleAtAll(spot)) return;
    if (FCurrentSpot) viewport()->update(RowRect(FCurrentSpot->Row));
    FCurrentSpot = spot;
    FHoverSpot = spot;
    ScrollToSpot(spot);
    viewport()->update();
}

// --- focus and size ---

void TQBCriterionPanel::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void TQBCriterionPanel::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

void TQBCriterionPanel::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    UpdateScrollRanges();
}

// --- drops of field lines ---

bool TQBCriterionPanel::DraggedField(const QDropEvent* event, std::string& tableKey, std::string& fieldName) const {
    const QMimeData* data = event->mimeData();
    if (data && data->hasFormat(TQBWorkArea::FieldMimeType)) {
        // "work area\nbox key\nline name", as the work area starts a field drag.
        const QList<QByteArray> parts = data->data(TQBWorkArea::FieldMimeType).split('\n');
        if (parts.size() != 3 || parts[1].isEmpty() || parts[2].isEmpty()) return false;
        tableKey = parts[1].toStdString();
        fieldName = parts[2].toStdString();
        return true;
    }
    // A drag the work area started itself: the dragged line is the active box's focused line.
    const QObject* source = event->source();
    while (source && !qobject_cast<const TQBWorkArea*>(source)) source = source->parent();
    const auto* area = qobject_cast<const TQBWorkArea*>(source);
    if (!area) return false;
    const auto* box = dynamic_cast<const TQBTable*>(area->ActiveObject());
    const TQBListItem* line = box ? box->FocusedItem() : nullptr;
    if (!line) return false;
    tableKey = box->Key();
    fieldName = line->Name();
    return true;
}

TQBControl* TQBCriterionPanel::DropSpotAt(const QPoint& point) const {
    TQBControl* spot = SpotAt(point);
    if (!spot || spot->Row->IsGroup()) return nullptr;
    return spot->SpotIndex == siExpression || spot->SpotIndex >= siFirstValue ? spot : nullptr;
}

void TQBCriterionPanel::dragEnterEvent(QDragEnterEvent* event) {
    std::string key, field;
    if (DraggedField(event, key, field))
        event->acceptProposedAction();
    else
        event->ignore();
}

void TQBCriterionPanel::dragMoveEvent(QDragMoveEvent* event) {
    std::string key, field;
    TQBControl* spot = DraggedField(event, key, field) ? DropSpotAt(event->position().toPoint()) : nullptr;
    if (spot != FDragTarget) {
        if (FDragTarget) viewport()->update(RowRect(FDragTarget->Row));
        FDragTarget = spot;
        if (spot) viewport()->update(RowRect(spot->Row));
    }
    if (spot)
        event->acceptProposedAction();
    else
        event->ignore();
}

void TQBCriterionPanel::dragLeaveEvent(QDragLeaveEvent* event) {
    if (FDragTarget) viewport()->update(RowRect(FDragTarget->Row));
    FDragTarget = nullptr;
    event->accept();
}

void TQBCriterionPanel::dropEvent(QDropEvent* event) {
    std::string key, field;
    TQBControl* spot = DraggedField(event, key, field) ? DropSpotAt(event->position().toPoint()) : nullptr;
    FDragTarget = nullptr;
    if (!spot) {
        event->ignore();
        viewport()->update();
        return;
    }
    event->acceptProposedAction();
    Guard([&] { DropField(spot, key, field); });
}

std::string TQBCriterionPanel::QualifiedField(const std::string& tableKey, const std::string& fieldName) const {
    if (!FParser) return tableKey + "." + fieldName;
    const TQBSQLScanner& scanner = *FParser->GetScanner();
    // The column is one name even when it holds a point.
    return scanner.QuoteName(tableKey) + "." + scanner.QuoteIdentifier(fieldName);
}

void TQBCriterionPanel::DropField(TQBControl* spot, const std::string& tableKey, const std::string& fieldName) {
    TQBCriterionRow* row = spot->Row;
    const std::string text = QualifiedField(tableKey, fieldName);
    if (spot->SpotIndex == siExpression)
        row->SetExpressionText(text);
    else if (spot->SpotIndex >= siFirstValue)
        row->SetValue(spot->SpotIndex - siFirstValue, text);
    else
        return;
    row->Layout();
    Refresh();
    setFocus(Qt::OtherFocusReason);
}
