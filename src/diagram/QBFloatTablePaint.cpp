// Painting of table boxes: caption strip, frames, caption buttons and check box, and the
// visible field lines. Everything is drawn from the box's cached geometry and texts.
#include <QPainter>

#include "diagram/QBAppearance.h"
#include "diagram/QBColor.h"
#include "diagram/QBFloatTable.h"
#include "diagram/QBGeometry.h"
#include "diagram/QBImages.h"

namespace {

QColor Grey() { return QColor(128, 128, 128); }

}  // namespace

void TQBTable::PaintFrame(QPainter& painter, const QRect& r, TQBBorderKind kind, bool flat) const {
    const QColor light(227, 227, 227), white(Qt::white), dark(Qt::black), grey = Grey();
    auto edge = [&](const QRect& e, const QColor& topLeft, const QColor& bottomRight) {
        painter.setPen(topLeft);
        painter.drawLine(e.topLeft(), e.topRight());
        painter.drawLine(e.topLeft(), e.bottomLeft());
        painter.setPen(bottomRight);
        painter.drawLine(e.bottomLeft(), e.bottomRight());
        painter.drawLine(e.topRight(), e.bottomRight());
    };
    const QRect outer = r.adjusted(0, 0, -1, -1);
    const QRect inner = outer.adjusted(1, 1, -1, -1);
    if (flat) {
        edge(outer, grey, grey);
        edge(inner, light, light);
        return;
    }
    switch (kind) {
        case qbkRaised: edge(outer, light, dark); edge(inner, white, grey); break;
        case qbkSunken: edge(outer, grey, white); edge(inner, dark, light); break;
        case qbkEtched: edge(outer, grey, white); edge(inner, white, grey); break;
        case qbkBump: edge(outer, light, dark); edge(inner, grey, white); break;
    }
}

void TQBTable::PaintButton(QPainter& painter, int index) const {
    if (index < 0 || index > 2) return;
    TButtonKind kind = TButtonKind::Normal;
    if (FPressedButton >= 0)
        kind = FPressedButton == index && FHotButton == index ? TButtonKind::Pressed : TButtonKind::Normal;
    else if (FHotButton == index && FActive)
        kind = TButtonKind::Hot;
    const QRect r = ToQRect(OffsetRect(ButtonRect(index), -FWorkArea->ScrollX(), -FWorkArea->ScrollY()))
                        .adjusted(0, 0, -1, -1);
    QColor topLeft = Qt::white, bottomRight = Grey();
    if (kind == TButtonKind::Pressed) {
        topLeft = Qt::black;
        bottomRight = Qt::white;
    } else if (kind == TButtonKind::Normal && FWorkArea->ObjectStyle().GetFlatButtons()) {
        topLeft = Grey();
    }
    painter.setPen(topLeft);
    painter.drawLine(r.topLeft(), r.topRight());
    painter.drawLine(r.topLeft(), r.bottomLeft());
    painter.setPen(bottomRight);
    painter.drawLine(r.bottomLeft(), r.bottomRight());
    painter.drawLine(r.topRight(), r.bottomRight());
    static const char* const names[] = {"BTN1", "BTN2", "BTN3"};
    const int shift = kind == TButtonKind::Pressed ? 1 : 0;
    painter.drawPixmap(r.left() + 1 + shift, r.top() + 1 + shift,
                       QBImage(names[index], painter.device()->devicePixelRatioF()));
}

void TQBTable::PaintItem(QPainter& painter, const TQBListItem& item, const QRect& r0, bool focused,
                         bool active) const {
    const TQBPalette& pal = FWorkArea->Palette();
    QRect r = r0.adjusted(0, 1, 0, 0);
    QFont font = FWorkArea->Font();
    font.setBold(item.Highlighted());
    painter.setFont(font);
    QColor textColor = ColorToQColor(pal.GetItemText());
    const char* bitmap = item.IsColumn() ? (item.Checked() ? "CHECKBMP" : "UNCHECKBMP")
                                         : (item.Checked() ? "INPUTPARAM" : "INPUTNULL");
    painter.drawPixmap(r.left(), r.top(), QBImage(bitmap, painter.device()->devicePixelRatioF()));
    const QRect text = r.adjusted(FLineHeight, 0, 0, 0);
    if (focused) {
        // The focused line of the active box is highlighted as a selection; in another box
        // it keeps a silver mark. Its text stays readable whatever the palette says.
        const QColor background =
            active ? FWorkArea->palette().color(QPalette::Highlight) : QColor(0xC0, 0xC0, 0xC0);
        painter.fillRect(text, background);
        textColor = ReadableTextColor(ColorToQColor(pal.GetSelectedItemText()), background);
    }
    if (FWorkArea->HighlightItem() == &item) {
        // The drop target of a field drag: teal, whatever the line's other states.
        const QColor teal(0x00, 0x80, 0x80);
        painter.fillRect(text, teal);
        textColor = ReadableTextColor(ColorToQColor(pal.GetSelectedItemText()), teal);
    }
    std::string label = " " + item.Name();
    if (FWorkArea->Options().Contains(qboShowFieldTypes)) label += " (" + item.TypeName() + ")";
    painter.setPen(textColor);
    painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, QString::fromStdString(label));
    if (focused && active) {
        painter.setPen(QPen(textColor, 1, Qt::DotLine));
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(text.adjusted(0, 0, -1, -1));
    }
}

void TQBTable::Paint(QPainter& painter, const QRect& dirty) {
    const int sx = FWorkArea->ScrollX(), sy = FWorkArea->ScrollY();
    const QRect bounds = ToQRect(OffsetRect(BoundsRect(), -sx, -sy));
    if (!bounds.intersects(dirty)) return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    const TQBPalette& pal = FWorkArea->Palette();
    const TQBObjectStyle& style = FWorkArea->ObjectStyle();

    const QRect caption(bounds.left(), bounds.top(), bounds.width(), FCaptionHeight);
    painter.fillRect(caption, ColorToQColor(FActive ? pal.GetActiveCaption() : pal.GetInactiveCaption()));
    PaintFrame(painter, bounds, style.GetBorderKind(), style.GetFlat());
    if (FExpanded) {
        const QRect inner = bounds.adjusted(FBorder, FCaptionHeight, -FBorder, -FBorder);
        PaintFrame(painter, inner, qbkSunken, style.GetFlat());
    }

    QFont bold = FWorkArea->Font();
    bold.setBold(true);
    painter.setFont(bold);
    painter.setPen(ColorToQColor(FActive ? pal.GetActiveCaptionText() : pal.GetInactiveCaptionText()));
    const QRect captionText = ToQRect(OffsetRect(CaptionTextRect(), -sx, -sy));
    const QString text = QString::fromStdString(Caption().empty() ? std::string(" ") : Caption());
    painter.drawText(captionText, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                     painter.fontMetrics().elidedText(text, Qt::ElideRight, captionText.width()));

    for (int i = 0; i < 3; ++i) PaintButton(painter, i);
    static const char* const boxes[] = {"BOX1", "BOX2", "BOX3"};
    const QRect check = ToQRect(OffsetRect(CheckBoxRect(), -sx, -sy));
    painter.drawPixmap(check.topLeft(), QBImage(boxes[FCheckState], painter.device()->devicePixelRatioF()));

    if (FExpanded) {
        const QRect list = ToQRect(OffsetRect(ListRect(), -sx, -sy));
        const QRect area = list.intersected(dirty);
        if (!area.isEmpty()) {
            painter.setClipRect(area);
            painter.fillRect(area, ColorToQColor(GetClientColor()));
            const bool hideFocus = FWorkArea->Options().Contains(qboHideSelection) && !FActive;
            const int last = std::min(ItemCount() - 1, FTopIndex + FVisibleLines);
            for (int i = FTopIndex; i <= last; ++i) {
                const TQBListItem* item = FItems[i].get();
                const QRect r = ToQRect(ItemRect(item));
                if (!r.intersects(area)) continue;
                PaintItem(painter, *item, r, item == FFocusedItem && !hideFocus, FActive);
            }
        }
    }
    painter.restore();
}

