// How the control and the diagram run their modal dialogs. By default a dialog runs its own
// modal loop; a runner replaces that loop, so tests and hosts without a person drive the
// dialog themselves (set its fields, press its buttons) and nothing ever blocks.
#pragma once

#include <QDialog>
#include <functional>

// Drives Dialog to its end; returns true when it closed with OK.
using TDialogRunner = std::function<bool(QDialog& dialog)>;

// Runs Dialog through Runner, or modally when there is no runner; true when confirmed.
inline bool RunDialog(QDialog& dialog, const TDialogRunner& runner) {
    if (runner) return runner(dialog);
    return dialog.exec() == QDialog::Accepted;
}
