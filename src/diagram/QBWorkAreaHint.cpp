// The work area's timers: the delayed hint of the object under a resting pointer (shown
// after 500 ms, hidden after 2 s or at the next move or press), and the list scrolling while
// a field drag rests near the top or bottom of a box's list (a line every 200 ms).
#include <QLabel>
#include <QTimer>

#include "diagram/QBFloatPanel.h"
#include "diagram/QBFloatTable.h"

bool TQBWorkArea::TimerActive(int id) const {
    switch (id) {
        case tmListUp: return FListUpTimer->isActive();
        case tmListDown: return FListDownTimer->isActive();
        case tmHintDelay: return FHintTimer->isActive();
        case tmHintHide: return FHintHideTimer->isActive();
        default: return false;
    }
}

void TQBWorkArea::TimerFired(int id) {
    Guard([&] {
        switch (id) {
            case tmListUp:
            case tmListDown: {
                QTimer* timer = id == tmListUp ? FListUpTimer : FListDownTimer;
                const TPoint pointer{FDragPos.X + ScrollX(), FDragPos.Y + ScrollY()};
                if (!FDropTable || !(pointer == FWatchPoint)) {
                    timer->stop();  // the pointer moved on
                    return;
                }
                ScrollList(FDropTable, FDropTable->TopIndex() + (id == tmListUp ? -1 : 1));
                return;
            }
            case tmHintDelay: {
                FHintTimer->stop();  // each rest of the pointer shows one hint
                if (FHitCode == hcNone || !FHotObject) return;
                if (!(FLastMouse == FWatchPoint)) return;
                const std::string hint = FHotObject->GetHint();
                if (hint.empty()) return;
                const QString text = QString::fromStdString(hint);
                // At most 200 pixels wide, longer texts wrap.
                const QRect bounds = FHintWindow->fontMetrics().boundingRect(QRect(0, 0, 200, 10000),
                                                                              Qt::TextWordWrap, text);
                const QMargins margins = FHintWindow->contentsMargins();
                FHintWindow->setText(text);
                FHintWindow->resize(bounds.width() + margins.left() + margins.right() + 6,
                                    bounds.height() + margins.top() + margins.bottom() + 4);
                FHintWindow->move(viewport()->mapToGlobal(QPoint(FLastMouse.X, FLastMouse.Y)) + QPoint(10, 20));
                FHintWindow->show();
                FHintHideTimer->start(2000);
                return;
            }
            case tmHintHide:
                HideHint();
                return;
            default:
                return;
        }
    });
}

QString TQBWorkArea::ShownHint() const { return FHintWindow->isVisible() ? FHintWindow->text() : QString(); }

void TQBWorkArea::RestartHintTimer() {
    FWatchPoint = FLastMouse;
    FHintTimer->start(500);
}

void TQBWorkArea::HideHint() {
    FHintHideTimer->stop();
    if (FHintWindow->isVisible()) FHintWindow->hide();
}

void TQBWorkArea::leaveEvent(QEvent* event) {
    // The pointer left: nothing rests over an object any more.
    FHintTimer->stop();
    HideHint();
    QAbstractScrollArea::leaveEvent(event);
}
