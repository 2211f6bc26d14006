// System colour indices mapped to palette roles.
#include "diagram/QBColor.h"

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
