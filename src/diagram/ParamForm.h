// The parameter dialog: asks for the value of one parameter line of a procedure box — no value
// at all (unassigned), NULL, or a value typed as text and converted by the parameter's type.
// A text that does not convert is refused with a message and the dialog stays open.
#pragma once

#include <QDialog>
#include <functional>
#include <optional>
#include <string>

#include "diagram/QBDialogRunner.h"
#include "toolkit/Variant.h"

class QCheckBox;
class QFrame;
class QLineEdit;
class QPushButton;
class QRadioButton;
class TQBListItem;

// The value Text stands for as a parameter of type DataType (a field type code): integers
// (64-bit), floating-point numbers (C or system notation), Booleans (True/False, 1/0),
// dates and times (system short or long format, or ISO), anything else the text itself.
// Nothing when the text does not convert.
std::optional<TVariant> ParamValueFromText(const std::string& text, int dataType);
// The text the dialog shows for Value; ParamValueFromText reads it back to the same value.
std::string ParamValueText(const TVariant& value);

class TfmInputParam final : public QDialog {
    Q_OBJECT

public:
    explicit TfmInputParam(QWidget* parent = nullptr);

    // Shows the value of Line (not owned; may be null).
    void LoadItem(TQBListItem* line);
    // Enables the choices that apply to the current ticks.
    void UpdateControls();
    // Stores the chosen value on the line; false (after a message) when the text does not
    // convert, so the dialog stays open.
    bool buOKClick();

    TQBListItem* Item() const { return FItem; }

    QFrame* paClient = nullptr;  // child widgets
    QCheckBox* chUnassigned = nullptr;
    QRadioButton* raNull = nullptr;
    QRadioButton* raValue = nullptr;
    QLineEdit* edValue = nullptr;
    QFrame* paButtons = nullptr;
    QPushButton* buOK = nullptr;
    QPushButton* buCancel = nullptr;

    // Shows a refused value; replaces the message box (tests, hosts).
    std::function<void(const QString&)> ErrorHook;

private:
    void chUnassignedClick() { UpdateControls(); }
    void ShowError(const QString& text);

    TQBListItem* FItem = nullptr;  // not owned
};

// Runs the parameter dialog for Line through Runner (modally without one); true when the
// user confirmed a value. Refused values are reported through Line's work area.
bool EditProcParameter(TQBListItem* line, const TDialogRunner& runner = {});
