// Drags played by the tests: offscreen Qt runs no drag loop, so a test sends the drag events
// a real drag would send (enter, moves, then a drop or a leave) to a widget itself, either
// for a drag the work area started (through its DragHook) or for one from another source.
#pragma once

#include <QApplication>
#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QWidget>
#include <functional>
#include <vector>

class TDragPlayer {
public:
    static constexpr Qt::DropActions Actions = Qt::LinkAction | Qt::CopyAction;

    // Enters Target at the first point and moves along all points; after each move Step
    // (when given) runs with the move's index. Returns whether the last move was accepted.
    static bool Over(QWidget* target, const QMimeData* data, const std::vector<QPoint>& path,
                     const std::function<void(int)>& step = {}) {
        QDragEnterEvent enter(path.front(), Actions, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        bool accepted = enter.isAccepted();
        for (int i = 0; i < static_cast<int>(path.size()); ++i) {
            QDragMoveEvent move(path[i], Actions, data, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(target, &move);
            accepted = move.isAccepted();
            if (step) step(i);
        }
        return accepted;
    }

    // Drops at Point; returns the action when the drop was accepted, else IgnoreAction.
    static Qt::DropAction Drop(QWidget* target, const QMimeData* data, const QPoint& point) {
        QDropEvent drop(point, Actions, data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
        return drop.isAccepted() ? drop.dropAction() : Qt::IgnoreAction;
    }

    // The pointer leaves Target without a drop.
    static void Leave(QWidget* target) {
        QDragLeaveEvent leave;
        QApplication::sendEvent(target, &leave);
    }

    // Over, then a drop at the last point when the last move was accepted, else a leave (a
    // real drag loop drops only where the target accepts).
    static Qt::DropAction Play(QWidget* target, const QMimeData* data, const std::vector<QPoint>& path,
                               const std::function<void(int)>& step = {}) {
        if (Over(target, data, path, step)) return Drop(target, data, path.back());
        Leave(target);
        return Qt::IgnoreAction;
    }
};
