// Mouse and key events as a user makes them, sent to a work area's viewport (and keys to the
// focused widget): shared by the GUI test fixtures.
#pragma once

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWidget>

class TViewportInput {
public:
    // Viewport receives the mouse; Fallback the keys when no widget has the focus.
    void Bind(QWidget* viewport, QWidget* fallback) {
        FViewport = viewport;
        FFallback = fallback;
    }

    void Send(QEvent::Type type, const QPoint& pos, Qt::MouseButton button, Qt::MouseButtons buttons,
              Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QMouseEvent event(type, QPointF(pos), QPointF(FViewport->mapToGlobal(pos)), button, buttons, modifiers);
        QApplication::sendEvent(FViewport, &event);
    }
    void Move(const QPoint& pos, Qt::MouseButtons buttons = Qt::NoButton) {
        Send(QEvent::MouseMove, pos, Qt::NoButton, buttons);
    }
    void Press(const QPoint& pos, Qt::MouseButton button = Qt::LeftButton) {
        Move(pos);
        Send(QEvent::MouseButtonPress, pos, button, button);
    }
    void Release(const QPoint& pos, Qt::MouseButton button = Qt::LeftButton) {
        Send(QEvent::MouseButtonRelease, pos, button, Qt::NoButton);
    }
    void Click(const QPoint& pos, Qt::MouseButton button = Qt::LeftButton) {
        Press(pos, button);
        Release(pos, button);
    }
    void DoubleClick(const QPoint& pos) {
        Click(pos);
        Send(QEvent::MouseButtonPress, pos, Qt::LeftButton, Qt::LeftButton);
        Send(QEvent::MouseButtonDblClick, pos, Qt::LeftButton, Qt::LeftButton);
        Release(pos);
    }
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, const QString& text = QString()) {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : FFallback;
        QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
        QApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
        QApplication::sendEvent(target, &release);
    }

private:
    QWidget* FViewport = nullptr;
    QWidget* FFallback = nullptr;
};
