// The one place every message box of the host goes through. A box is described by a
// TQBMessageBox (caption, icon, buttons, default button, text); a hook set by a test or by the
// automatic-close mode answers it instead of a person. The main window routes the control's
// and the work area's own hooks (ErrorHook, ConfirmHook) here as well, so a hook replaces every
// box of the window.
#pragma once

#include <QMessageBox>
#include <QString>
#include <functional>

class QWidget;

struct TQBMessageBox {
    QString Caption;
    QString Text;
    QMessageBox::Icon Icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons Buttons = QMessageBox::Ok;
    QMessageBox::StandardButton DefaultButton = QMessageBox::NoButton;
};

// Answers a box in place of a person; returns the button "pressed".
using TQBMessageHook = std::function<QMessageBox::StandardButton(const TQBMessageBox&)>;

// Shows Box modally over Parent, or hands it to Hook when one is set.
QMessageBox::StandardButton ShowMessageBox(QWidget* parent, const TQBMessageBox& box, const TQBMessageHook& hook);

// The answers of the automatic-close mode: each box is written to standard error as
// "caption: text" (line breaks as "\n") and answered at once, so the window closes without
// waiting: Yes when Keep (No otherwise) where Yes is offered, else OK, else Discard, else the
// default button.
TQBMessageHook AutoAnswerHook(bool keep);
