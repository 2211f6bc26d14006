// The options dialog: its layout, filling it from a control and writing it back on OK; and
// the SQL Server control's ShowOptionsDialog, which owns the dialog for the time it runs.
#include "control/QBOptionsForm.h"

#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>
#include <algorithm>

#include "control/QBMSWindow.h"
#include "diagram/QBAppearance.h"
#include "diagram/QBColor.h"
#include "diagram/QBFloatPanel.h"
#include "model/QBScriptFormat.h"

namespace {

// One palette colour the form edits: its caption and the palette's accessors.
struct TPaletteEntry {
    const char* Caption;
    TColor (TQBPalette::*Get)() const;
    void (TQBPalette::*Set)(TColor);
};

constexpr TPaletteEntry PaletteEntries[pcCount] = {
    {"活动条件行", &TQBPalette::GetActiveCondition, &TQBPalette::SetActiveCondition},
    {"条件文本", &TQBPalette::GetConditionText, &TQBPalette::SetConditionText},
    {"条件列表", &TQBPalette::GetConditionItemText, &TQBPalette::SetConditionItemText},
    {"表背景", &TQBPalette::GetTableClient, &TQBPalette::SetTableClient},
    {"活动表标题", &TQBPalette::GetActiveCaption, &TQBPalette::SetActiveCaption},
    {"非活动表标题", &TQBPalette::GetInactiveCaption, &TQBPalette::SetInactiveCaption},
    {"字段", &TQBPalette::GetItemText, &TQBPalette::SetItemText},
    {"选中的字段", &TQBPalette::GetSelectedItemText, &TQBPalette::SetSelectedItemText},
    {"工作区背景", &TQBPalette::GetWorkSpace, &TQBPalette::SetWorkSpace},
};

constexpr TQBOption OptionOrder[] = {qboRowSelect, qboDragFieldName, qboHideSelection, qboShowFieldTypes};
constexpr TQBVisibleTab TabOrder[] = {qbtCriterions, qbtSelection, qbtGroupCriterions, qbtSorting};

// The button-style list shows "3D-look" first; its entries map to these members.
constexpr TQBButtonStyle ButtonStyleOrder[] = {qbs3DLook, qbsFlat, qbsRaise};

int ButtonStyleEntry(TQBButtonStyle style) {
    for (int i = 0; i < 3; ++i)
        if (ButtonStyleOrder[i] == style) return i;
    return 0;
}

QComboBox* DropDownList(QWidget* parent, std::initializer_list<const char*> entries) {
    auto* list = new QComboBox(parent);
    for (const char* entry : entries) list->addItem(QString::fromUtf8(entry));
    return list;
}

QCheckBox* CheckBox(QWidget* parent, const char* caption) {
    return new QCheckBox(QString::fromUtf8(caption), parent);
}

}  // namespace

// --- colour box ---

TQBColorBox::TQBColorBox(QWidget* parent) : QWidget(parent) {
    setMinimumSize(36, 18);
    setCursor(Qt::PointingHandCursor);
}

void TQBColorBox::SetColor(TColor value) {
    if (value == FColor) return;
    FColor = value;
    update();
}

void TQBColorBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), ColorToQColor(FColor));
    const int w = width(), h = height();
    const QPoint outline[] = {{1, 1}, {1, h - 2}, {w - 2, h - 2}, {w - 2, 1}};
    painter.drawPolygon(outline, 4);
}

void TQBColorBox::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) && OnClick) OnClick(this);
}

// --- the form ---

TfmQBOptions::TfmQBOptions(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QString::fromUtf8("选项"));
    QFont font(QString::fromUtf8("宋体"));
    font.setPointSize(9);
    setFont(font);

    auto* left = new QVBoxLayout;
    left->addWidget(MakeGeneralGroup());
    left->addWidget(MakeStyleGroup());
    left->addWidget(MakeTabsGroup());
    auto* right = new QVBoxLayout;
    right->addWidget(MakeColorGroup());
    right->addWidget(MakeFormatGroup());
    auto* groups = new QHBoxLayout;
    groups->addLayout(left, 1);
    groups->addLayout(right, 1);

    auto* buttonPanel = new QWidget(this);
    buOK = new QPushButton(QString::fromUtf8("确定(&O)"), buttonPanel);
    buOK->setDefault(true);
    buCancel = new QPushButton(QString::fromUtf8("取消(&C)"), buttonPanel);
    auto* buttons = new QHBoxLayout(buttonPanel);
    buttons->setContentsMargins(0, 0, 0, 0);
    buttons->addStretch(1);
    buttons->addWidget(buOK);
    buttons->addWidget(buCancel);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(groups, 1);
    layout->addWidget(buttonPanel);

    connect(buOK, &QPushButton::clicked, this, [this] {
        if (buOKClick()) accept();
    });
    connect(buCancel, &QPushButton::clicked, this, &QDialog::reject);
    // A dialog border: the designed 388 x 423, larger only when the captions need it.
    setFixedSize(sizeHint().expandedTo(QSize(388, 423)));
}

QWidget* TfmQBOptions::MakeGeneralGroup() {
    auto* group = new QGroupBox(QString::fromUtf8("常规"), this);
    auto* column = new QVBoxLayout(group);
    chRowSelect = CheckBox(group, "应用条件选择");
    chDragFieldName = CheckBox(group, "拖动时显示字段名称");
    chHideSelection = CheckBox(group, "非活动时隐藏选择");
    chShowFieldTypes = CheckBox(group, "提示时显示字段类型");
    chCaseSensitive = CheckBox(group, "标识符大小写敏感");
    for (QCheckBox* box : {chRowSelect, chDragFieldName, chHideSelection, chShowFieldTypes, chCaseSensitive})
        column->addWidget(box);
    return group;
}

QWidget* TfmQBOptions::MakeColorGroup() {
    auto* group = new QGroupBox(QString::fromUtf8("颜色面板"), this);
    auto* grid = new QGridLayout(group);
    grid->setVerticalSpacing(4);
    for (int i = 0; i < pcCount; ++i) {
        auto* box = new TQBColorBox(group);
        box->setObjectName(QString("ColorBox%1").arg(i));
        box->OnClick = [this](TQBColorBox* clicked) { ChooseColor(clicked); };
        ColorBoxes[i] = box;
        grid->addWidget(box, i, 0);
        grid->addWidget(new QLabel(QString::fromUtf8(PaletteEntries[i].Caption), group), i, 1);
    }
    grid->setColumnStretch(1, 1);
    return group;
}

QWidget* TfmQBOptions::MakeStyleGroup() {
    auto* group = new QGroupBox(QString::fromUtf8("风格"), this);
    auto* grid = new QGridLayout(group);
    cbButtonStyle = DropDownList(group, {"3D-look", "Flat", "Raised"});
    cbBorderKind = DropDownList(group, {"Bump", "Etched", "Raised", "Sunken"});
    chFlat = CheckBox(group, "扁平风格");
    chFlatButtons = CheckBox(group, "按钮扁平风格");
    grid->addWidget(new QLabel(QString::fromUtf8("条件按钮风格"), group), 0, 0);
    grid->addWidget(cbButtonStyle, 0, 1);
    grid->addWidget(new QLabel(QString::fromUtf8("边界风格"), group), 1, 0);
    grid->addWidget(cbBorderKind, 1, 1);
    grid->addWidget(chFlat, 2, 0, 1, 2);
    grid->addWidget(chFlatButtons, 3, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    return group;
}

QWidget* TfmQBOptions::MakeTabsGroup() {
    auto* group = new QGroupBox(QString::fromUtf8("可见标签"), this);
    auto* grid = new QGridLayout(group);
    const char* const captions[] = {"条件", "选择", "分组条件", "排序"};
    for (int i = 0; i < 4; ++i) {
        TabBoxes[i] = CheckBox(group, captions[i]);
        grid->addWidget(TabBoxes[i], i / 2, i % 2);
    }
    return group;
}

QWidget* TfmQBOptions::MakeFormatGroup() {
    auto* group = new QGroupBox(QString::fromUtf8("脚本格式"), this);
    auto* grid = new QGridLayout(group);
    cbKeywordsFormat = DropDownList(group, {"As is", "Uppercase", "Lowercase", "First upper"});
    cbFunctionsFormat = DropDownList(group, {"As is", "Uppercase", "Lowercase", "First upper"});
    chBracketConditions = CheckBox(group, "条件");
    grid->addWidget(new QLabel(QString::fromUtf8("关键字格式"), group), 0, 0);
    grid->addWidget(cbKeywordsFormat, 0, 1);
    grid->addWidget(new QLabel(QString::fromUtf8("函数格式"), group), 1, 0);
    grid->addWidget(cbFunctionsFormat, 1, 1);
    grid->addWidget(chBracketConditions, 2, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(3, 1);
    return group;
}

void TfmQBOptions::Bind(TCustomQueryBuilder* control) {
    if (control == FControl) return;
    FControl = control;
    if (!control) return;
    const TQBOptions options = control->Options();
    QCheckBox* const optionBoxes[] = {chRowSelect, chDragFieldName, chHideSelection, chShowFieldTypes};
    for (int i = 0; i < 4; ++i) optionBoxes[i]->setChecked(options.Contains(OptionOrder[i]));
    chCaseSensitive->setChecked(control->CaseSensitiveIdentifiers());
    for (int i = 0; i < pcCount; ++i) ColorBoxes[i]->SetColor((control->Palette().*PaletteEntries[i].Get)());
    const TQBStyle& style = control->Style();
    cbButtonStyle->setCurrentIndex(ButtonStyleEntry(style.GetButtonStyle()));
    cbBorderKind->setCurrentIndex(style.GetObjectStyle().GetBorderKind());
    chFlat->setChecked(style.GetObjectStyle().GetFlat());
    chFlatButtons->setChecked(style.GetObjectStyle().GetFlatButtons());
    for (int i = 0; i < 4; ++i) TabBoxes[i]->setChecked(control->VisibleTabs().Contains(TabOrder[i]));
    const TQBScriptFormat& format = control->ScriptFormat();
    cbKeywordsFormat->setCurrentIndex(format.KeywordsFormat);
    cbFunctionsFormat->setCurrentIndex(format.FunctionsFormat);
    chBracketConditions->setChecked(format.AlwaysBracketConditions);
}

bool TfmQBOptions::buOKClick() {
    if (!FControl) return true;
    TCustomQueryBuilder& control = *FControl;
    // The one setting the control may refuse is checked first, so a refusal writes nothing.
    if (!chCaseSensitive->isChecked() && control.CaseSensitiveIdentifiers()) {
        const std::string clash = control.KeyClashIgnoringCase();
        if (!clash.empty()) {
            ShowError(QString::fromStdString(TCustomQueryBuilder::KeyInUseMessage(clash)));
            return false;
        }
    }
    TQBOptions options = control.Options();
    QCheckBox* const optionBoxes[] = {chRowSelect, chDragFieldName, chHideSelection, chShowFieldTypes};
    for (int i = 0; i < 4; ++i) {
        if (optionBoxes[i]->isChecked())
            options.Include(OptionOrder[i]);
        else
            options.Exclude(OptionOrder[i]);
    }
    control.SetOptions(options);
    control.SetCaseSensitiveIdentifiers(chCaseSensitive->isChecked());
    for (int i = 0; i < pcCount; ++i) (control.Palette().*PaletteEntries[i].Set)(ColorBoxes[i]->Color());
    TQBStyle& style = control.Style();
    style.SetButtonStyle(ButtonStyleOrder[std::clamp(cbButtonStyle->currentIndex(), 0, 2)]);
    style.GetObjectStyle().SetBorderKind(static_cast<TQBBorderKind>(std::clamp(cbBorderKind->currentIndex(), 0, 3)));
    style.GetObjectStyle().SetFlat(chFlat->isChecked());
    style.GetObjectStyle().SetFlatButtons(chFlatButtons->isChecked());
    TQBScriptFormat& format = control.ScriptFormat();
    format.KeywordsFormat = static_cast<TQBFormatMode>(std::clamp(cbKeywordsFormat->currentIndex(), 0, 3));
    format.FunctionsFormat = static_cast<TQBFormatMode>(std::clamp(cbFunctionsFormat->currentIndex(), 0, 3));
    format.AlwaysBracketConditions = chBracketConditions->isChecked();
    // One member at a time, in page order, as the tab check boxes read.
    for (int i = 0; i < 4; ++i) {
        TQBVisibleTabs tabs = control.VisibleTabs();
        if (TabBoxes[i]->isChecked())
            tabs.Include(TabOrder[i]);
        else
            tabs.Exclude(TabOrder[i]);
        control.SetVisibleTabs(tabs);
    }
    return true;
}

void TfmQBOptions::ChooseColor(TQBColorBox* box) {
    QColorDialog dialog(ColorToQColor(box->Color()), this);
    if (!RunDialog(dialog, DialogRunner)) return;
    const QColor chosen = dialog.selectedColor();
    if (chosen.isValid()) box->SetColor(RGBColor(chosen.red(), chosen.green(), chosen.blue()));
}

void TfmQBOptions::ShowError(const QString& text) {
    if (ErrorHook)
        ErrorHook(text);
    else
        QMessageBox::warning(this, windowTitle(), text);
}

// --- the SQL Server control's options command ---

bool TMSSQLQueryBuilder::ShowOptionsDialog() {
    // The dialog lives on this stack frame alone: nothing else frees it.
    TfmQBOptions dialog(this);
    dialog.DialogRunner = WorkArea()->ModalHook;
    dialog.ErrorHook = [this](const QString& text) { ShowError(text); };
    dialog.Bind(this);
    return WorkArea()->RunModal(dialog);
}
