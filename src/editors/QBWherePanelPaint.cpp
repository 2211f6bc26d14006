// Painting of the criterion panels: each shown row as its number button and its hot spots,
// the current row's background, the frame of the current spot and of a drop target. Hover
// and pressed looks are panel state read here; nothing is drawn outside the paint event.
#include <QPaintEvent>
#include <QPainter>
#include <QPlainTextEdit>
#include <QScrollBar>

#include "control/QBWindow.h"
#include "diagram/QBColor.h"
#include "editors/QBWherePanel.h"
#include "model/QBCriteria.h"
#include "resources/QBResource.h"

namespace {

const QColor Grey(128, 128, 128);

// The two colours of a button's light and dark edges in a button style.
struct TEdgeColors {
    QColor Light;
    QColor Dark;
};

TEdgeColors EdgeColors(int style) {
    switch (style) {
        case qbs3DLook: return {Qt::white, Qt::black};
        case qbsRaise: return {Qt::black, Qt::white};
        default: return {Grey, Grey};
    }
}

}  // namespace

QColor TQBCriterionPanel::Background() const {
    const QWidget* page = parentWidget();
    return (page ? page : this)->palette().color(QPalette::Window);
}

void TQBCriterionPanel::paintEvent(QPaintEvent* event) {
    QPainter painter(viewport());
    const QRect dirty = event->rect();
    painter.fillRect(dirty, Background());
    const auto& rows = VisibleRows();
    const int scrollY = verticalScrollBar()->value();
    const int first = std::max(0, (dirty.top() + scrollY) / RowHeight);
    const int last = std::min(static_cast<int>(rows.size()) - 1, (dirty.bottom() + scrollY) / RowHeight);
    for (int k = first; k <= last; ++k)
        PaintRow(painter, *rows[static_cast<std::size_t>(k)], k * RowHeight - scrollY);
}

void TQBCriterionPanel::PaintRow(QPainter& painter, const TQBCriterionRow& row, int y) const {
    const int scrollX = horizontalScrollBar()->value();
    const QRect line(0, y, viewport()->width(), RowHeight);
    const bool rowSelect = !FControl || FControl->Options().Contains(qboRowSelect);
    const bool current = rowSelect && FCurrentSpot && FCurrentSpot->Row == &row;
    if (current) {
        const TColor active = FControl ? FControl->Palette().GetActiveCondition() : clWhite;
        painter.fillRect(line, ColorToQColor(active));
        painter.setPen(Qt::black);
        painter.drawRect(line.adjusted(0, 0, -1, -1));
    }
    painter.save();
    painter.translate(-scrollX, 0);
    PaintNumber(painter, *row.Spot(siNumber), y);

    const TColor itemColor = FControl ? FControl->Palette().GetConditionItemText() : clNavy;
    const TColor textColor = FControl ? FControl->Palette().GetConditionText() : clBlack;
    const auto drawSpot = [&](const TQBControl& spot) {
        if (spot.Width <= 0) return;
        if ((&spot == FCurrentSpot || &spot == FDragTarget) && !FEditedSpot) PaintFrame(painter, spot, y);
        painter.setFont(FSpotFont);
        painter.setPen(ColorToQColor(itemColor));
        painter.drawText(QRect(spot.Left, y, spot.Width + 2, RowHeight), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                         QString::fromUtf8(spot.Text));
    };
    if (row.IsGroup()) {
        const TQBControl& caption = *row.Spot(siLeftFunction);
        if (&caption == FCurrentSpot && !FEditedSpot) PaintFrame(painter, caption, y);
        if (row.Expanded()) {
            drawSpot(caption);
            painter.setFont(FTextFont);
            painter.setPen(ColorToQColor(textColor));
            painter.drawText(QRect(caption.Right(), y, 400, RowHeight), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                             QString::fromUtf8(QBResource::SGroupUsedBelow));
        }
    } else {
        for (int i = siLeftFunction; i < row.SpotCount(); ++i) drawSpot(*row.Spot(i));
        const TQBOperator* op = row.Operator();
        if (op && !op->Relate.empty()) {
            painter.setFont(FTextFont);
            painter.setPen(ColorToQColor(textColor));
            for (int i = siFirstValue + 1; i < row.SpotCount(); ++i) {
                const TQBControl& prior = *row.Spot(i - 1);
                const TQBControl& next = *row.Spot(i);
                painter.drawText(QRect(prior.Right(), y, next.Left - prior.Right(), RowHeight), Qt::AlignCenter,
                                 QString::fromUtf8(op->Relate));
            }
        }
    }
    painter.restore();
}

void TQBCriterionPanel::PaintNumber(QPainter& painter, const TQBControl& spot, int y) const {
    const int style = FControl ? FControl->Style().GetButtonStyle() : qbsFlat;
    int look = style;
    if (&spot == FPressedSpot && FPressedSpot == FHoverSpot)
        look = qbsRaise;
    else if (style == qbsFlat && &spot == FHoverSpot)
        look = qbs3DLook;
    const TEdgeColors colors = EdgeColors(look);
    const int x1 = spot.Left + 10;
    const int x2 = spot.Left + spot.Width - 10;
    const int top = y + 2;
    const int bottom = y + 17;
    const int d = bottom - top;
    painter.setRenderHint(QPainter::Antialiasing, true);
    // Left half circle and top edge in the light colour, the rest in the dark one.
    painter.setPen(colors.Light);
    painter.drawArc(QRect(x1 - d / 2, top, d, d), 90 * 16, 180 * 16);
    painter.drawLine(x1, top, x2, top);
    painter.setPen(colors.Dark);
    painter.drawArc(QRect(x2 - d / 2, top, d, d), 270 * 16, 180 * 16);
    painter.drawLine(x1, bottom, x2, bottom);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setFont(FTextFont);
    painter.setPen(Qt::black);
    painter.drawText(QRect(x1, y, std::max(0, x2 - x1), RowHeight), Qt::AlignCenter | Qt::TextSingleLine,
                     QString::fromUtf8(spot.Text));
}

void TQBCriterionPanel::PaintFrame(QPainter& painter, const TQBControl& spot, int y) const {
    const int left = spot.Left - 1;
    const int right = spot.Right() + 1;
    const int top = y + 2;
    const int bottom = y + RowHeight - 2;
    painter.setPen(Grey);
    painter.drawLine(left, bottom, left, top);
    painter.drawLine(left, top, right, top);
    painter.setPen(Qt::white);
    painter.drawLine(right, top, right, bottom);
    painter.drawLine(right, bottom, left, bottom);
}
