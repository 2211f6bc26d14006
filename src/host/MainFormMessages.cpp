// Message boxes of the host: shown, or answered by a hook.
#include "host/MainFormMessages.h"

#include <cstdio>

QMessageBox::StandardButton ShowMessageBox(QWidget* parent, const TQBMessageBox& box, const TQBMessageHook& hook) {
    if (hook) return hook(box);
    QMessageBox dialog(box.Icon, box.Caption, box.Text, box.Buttons, parent);
    if (box.DefaultButton != QMessageBox::NoButton) dialog.setDefaultButton(box.DefaultButton);
    return static_cast<QMessageBox::StandardButton>(dialog.exec());
}

TQBMessageHook AutoAnswerHook(bool keep) {
    return [keep](const TQBMessageBox& box) {
        QString text = box.Text;
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        std::fprintf(stderr, "%s: %s\n", box.Caption.toUtf8().constData(), text.toUtf8().constData());
        std::fflush(stderr);
        if (box.Buttons.testFlag(QMessageBox::Yes)) return keep ? QMessageBox::Yes : QMessageBox::No;
        if (box.Buttons.testFlag(QMessageBox::Ok)) return QMessageBox::Ok;
        if (box.Buttons.testFlag(QMessageBox::Discard)) return QMessageBox::Discard;
        return box.DefaultButton;
    };
}
