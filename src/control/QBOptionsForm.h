// The options dialog: the control's appearance (palette colours, object and button styles),
// its options, case sensitivity, visible tabs and script format on one form. Binding a control
// fills the form from it; OK writes every setting back through the control's setters, Cancel
// changes nothing.
#pragma once

#include <QDialog>
#include <QWidget>
#include <array>
#include <functional>

#include "diagram/QBDialogRunner.h"
#include "diagram/QBTypes.h"

class QCheckBox;
class QComboBox;
class QPushButton;
class TCustomQueryBuilder;

// A colour shown as a filled box with a thin outline; a click asks for a new colour.
class TQBColorBox final : public QWidget {
    Q_OBJECT

public:
    explicit TQBColorBox(QWidget* parent = nullptr);

    TColor Color() const { return FColor; }
    void SetColor(TColor value);

    // Asks for a new colour when the box is clicked (the dialog sets it).
    std::function<void(TQBColorBox*)> OnClick;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    TColor FColor = clBlack;
};

// The palette colours the form edits, in the order of its colour boxes.
enum TQBPaletteColor : std::uint8_t {
    pcActiveCondition, pcConditionText, pcConditionItemText, pcTableClient, pcActiveCaption,
    pcInactiveCaption, pcItemText, pcSelectedItemText, pcWorkSpace, pcCount
};

class TfmQBOptions final : public QDialog {
    Q_OBJECT

public:
    explicit TfmQBOptions(QWidget* parent = nullptr);

    // Fills the form from Control; binding the bound control again does nothing, binding
    // nothing leaves the form as it is.
    void Bind(TCustomQueryBuilder* control);
    TCustomQueryBuilder* Control() const { return FControl; }
    // Writes the form into the bound control; false (after a message, nothing written) when
    // the control refuses a setting.
    bool buOKClick();

    // General
    QCheckBox* chRowSelect = nullptr;  // child widgets
    QCheckBox* chDragFieldName = nullptr;
    QCheckBox* chHideSelection = nullptr;
    QCheckBox* chShowFieldTypes = nullptr;
    QCheckBox* chCaseSensitive = nullptr;
    // Colours, indexed by TQBPaletteColor
    std::array<TQBColorBox*, pcCount> ColorBoxes{};
    // Style
    QComboBox* cbButtonStyle = nullptr;
    QComboBox* cbBorderKind = nullptr;
    QCheckBox* chFlat = nullptr;
    QCheckBox* chFlatButtons = nullptr;
    // Visible tabs, indexed by TQBVisibleTab
    std::array<QCheckBox*, 4> TabBoxes{};
    // Script format
    QComboBox* cbKeywordsFormat = nullptr;
    QComboBox* cbFunctionsFormat = nullptr;
    QCheckBox* chBracketConditions = nullptr;
    QPushButton* buOK = nullptr;
    QPushButton* buCancel = nullptr;

    // Runs the colour dialog (modally without a runner).
    TDialogRunner DialogRunner;
    // Shows a refused setting; replaces the message box.
    std::function<void(const QString&)> ErrorHook;

private:
    QWidget* MakeGeneralGroup();
    QWidget* MakeColorGroup();
    QWidget* MakeStyleGroup();
    QWidget* MakeTabsGroup();
    QWidget* MakeFormatGroup();
    void ChooseColor(TQBColorBox* box);
    void ShowError(const QString& text);

    TCustomQueryBuilder* FControl = nullptr;  // not owned
};
