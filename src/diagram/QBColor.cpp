// System colour indices mapped to palette roles.
#include "diagram/QBColor.h"

#include <algorithm>
#include <cmath>

#include <QApplication>
#include <QPalette>

namespace {

// Index → role for the indices the control uses or a user may pick; the rest fall back to
// the window colour. Button face and tooltip background are the two defaults that matter.
QColor SystemColor(unsigned index) {
    const QPalette pal = QApplication::palette();
    switch (index) {
        case 1: case 5: return pal.color(QPalette::Base);              // background, window
        case 2: case 13: return pal.color(QPalette::Highlight);        // active caption, highlight
        case 3: case 4: case 15: case 22: return pal.color(QPalette::Button);  // button face
        case 6: case 21: return pal.color(QPalette::Shadow);
        case 7: case 8: case 9: case 18: return pal.color(QPalette::WindowText);
        case 12: return pal.color(QPalette::Dark);                     // app workspace
        case 14: return pal.color(QPalette::HighlightedText);
        case 16: return pal.color(QPalette::Mid);                      // button shadow
        case 17: case 19: return pal.color(QPalette::Disabled, QPalette::WindowText);
        case 20: return pal.color(QPalette::Light);
        case 23: return pal.color(QPalette::ToolTipText);
        case 24: return pal.color(QPalette::ToolTipBase);
        default: return pal.color(QPalette::Window);
    }
}

}  // namespace

QColor ColorToQColor(TColor color) {
    if ((color & 0xFF000000u) == clSystemColor) return SystemColor(color & 0xFFu);
    return QColor(static_cast<int>(color & 0xFF), static_cast<int>((color >> 8) & 0xFF),
                  static_cast<int>((color >> 16) & 0xFF));
}

namespace {

// Relative luminance, 0 (black) to 1 (white).
double Luminance(const QColor& c) {
    auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
}

double Contrast(const QColor& a, const QColor& b) {
    const double la = Luminance(a), lb = Luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

}  // namespace

QColor ReadableTextColor(const QColor& text, const QColor& background) {
    // 4.5 is the usual contrast asked of body text.
    if (Contrast(text, background) >= 4.5) return text;
    return Contrast(Qt::black, background) >= Contrast(Qt::white, background) ? QColor(Qt::black) : QColor(Qt::white);
}
