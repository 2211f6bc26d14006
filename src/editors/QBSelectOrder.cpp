// The selection page's panel and the grid's rows: construction, loading from the query model,
// cell access, column widths and the qualifier rename. Editing and drag and drop live in
// QBSelectOrderEdit.cpp.
#include "editors/QBSelectOrder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <cmath>

#include "diagram/QBFloatPanel.h"
#include "model/QBFunctionDefs.h"
#include "model/QBTableDefs.h"
#include "parser/QBParser.h"
#include "resources/QBResource.h"
#include "toolkit/Exceptions.h"
#include "toolkit/TextCompare.h"

namespace {

constexpr int DefaultRowHeight = 20;

QString Text(const char* utf8) { return QString::fromUtf8(utf8); }

// The first argument, depth first, that is not itself a function call; null when none.
const TQBFunctionDef* FirstPlainArgument(const TQBFunctionDef& node) {
    const TQBFunctionDefs& arguments = node.Arguments();
    for (int i = 0; i < arguments.Count(); ++i) {
        const TQBFunctionDef* argument = arguments.Items(i);
        if (argument->Kind != fkFunction) return argument;
        if (const TQBFunctionDef* inner = FirstPlainArgument(*argument)) return inner;
    }
    return nullptr;
}

// The field's expression as written, without its output name.
std::string ExpressionText(const TQBFieldDef& field) {
    std::string text;
    field.TQBFunctionDef::AppendSQL(text);
    return text;
}

}  // namespace

// --- TQBSelectGrid: construction and rows ---

TQBSelectGrid::TQBSelectGrid(QWidget* parent) : QTableWidget(parent) {
    if (!parent) throw EQBException(QBResource::SInvalidSelectGridParent);
    setColumnCount(3);
    setHorizontalHeaderLabels(
        {Text(QBResource::SSelectOutputName), Text(QBResource::SSelectAggregate), Text(QBResource::SSelectSourceField)});
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(std::max(DefaultRowHeight, fontMetrics().height() + 4));
    horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    horizontalHeader()->setHighlightSections(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(false);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setRowCount(1);

    // The editors float over the grid on the grid's parent, hidden until a cell is edited.
    FCombo = new QComboBox(parent);
    FCombo->setObjectName("SelectCombo");
    FCombo->setEditable(true);
    FCombo->setInsertPolicy(QComboBox::NoInsert);
    // The drop-down list is about 100 pixels high: five rows.
    FCombo->setMaxVisibleItems(100 / DefaultRowHeight);
    FCombo->hide();
    FCombo->installEventFilter(this);
    FEdit = new QLineEdit(parent);
    FEdit->setObjectName("SelectEdit");
    FEdit->hide();
    FEdit->installEventFilter(this);

    FPopupMenu = new QMenu(this);
    FPopupMenu->addAction(Text(QBResource::SSelectDeleteRow), this, [this] { Guard([this] { DeleteCurrentRow(); }); });
}

TQBSelectGrid::~TQBSelectGrid() {
    // The editors belong to the parent, which may outlive the grid: no edit may finish later.
    if (FCombo) FCombo->removeEventFilter(this);
    if (FEdit) FEdit->removeEventFilter(this);
}

void TQBSelectGrid::SetWorkArea(TQBWorkArea* area) { FWorkArea = area; }

std::string TQBSelectGrid::Cell(int row, int column) const {
    const QTableWidgetItem* cell = item(row, column);
    return cell ? cell->text().toStdString() : std::string();
}

void TQBSelectGrid::SetCell(int row, int column, const std::string& text) {
    if (row < 0 || row >= rowCount() || column < 0 || column > 2) return;
    if (QTableWidgetItem* cell = item(row, column))
        cell->setText(QString::fromStdString(text));
    else
        setItem(row, column, new QTableWidgetItem(QString::fromStdString(text)));
}

void TQBSelectGrid::ClearRows() {
    CancelEdit();
    setRowCount(0);
    setRowCount(1);
    setCurrentCell(0, colOutputName);
}

void TQBSelectGrid::AppendNewRow() { insertRow(rowCount()); }

TQBSelectParser* TQBSelectGrid::Parser() const {
    const auto* panel = qobject_cast<const TQBSelectPanel*>(parentWidget());
    return panel ? panel->Parser() : nullptr;
}

void TQBSelectGrid::AddFieldRow(TQBFieldDef& field) {
    const int row = NewRow();
    insertRow(row);
    const std::string alias = field.TableAlias();
    const std::string prefix = IsBlankText(alias) ? std::string() : alias + ".";
    const TQBSelectParser* parser = Parser();
    const bool aggregate = field.Kind == fkFunction && parser && parser->GetAggregateNames().IndexOf(field.Name) >= 0;
    std::string source;
    if (aggregate) {
        SetCell(row, colAggregate, field.Name);
        if (const TQBFunctionDef* argument = FirstPlainArgument(field))
            source = argument->Name == "*" ? "*" : argument->Kind == fkField ? prefix + argument->Name : argument->Name;
    } else {
        source = field.Kind == fkField ? prefix + field.Name : ExpressionText(field);
    }
    SetCell(row, colSource, source);
    if (field.Alias.empty()) field.Alias = field.Name;
    SetCell(row, colOutputName, field.Alias);
}

void TQBSelectGrid::ReplaceQualifier(const std::string& newKey, const std::string& oldKey) {
    if (newKey == oldKey) return;
    const TQBSelectParser* parser = Parser();
    for (int row = 0; row < NewRow(); ++row) {
        const std::string source = Cell(row, colSource);
        // The model's rename: whole qualifiers only, string literals left alone; the grid
        // shows bare keys, so the new key is not quoted.
        std::string renamed = parser ? parser->GetTableDefs()->RenameQualifier(source, oldKey, newKey, false)
                                     : TQBTableDefs().RenameQualifier(source, oldKey, newKey, false);
        if (renamed != source) SetCell(row, colSource, renamed);
    }
    viewport()->update();
}

void TQBSelectGrid::ApplyColumnWidths() {
    // Rounded half to even, as the widths have always been computed.
    const int width = viewport()->width();
    const int first = static_cast<int>(std::nearbyint(width * 0.4));
    const int second = static_cast<int>(std::nearbyint(width * 0.1));
    setColumnWidth(colOutputName, first);
    setColumnWidth(colAggregate, second);
    setColumnWidth(colSource, std::max(0, width - first - second - 2));
}

void TQBSelectGrid::resizeEvent(QResizeEvent* event) {
    QTableWidget::resizeEvent(event);
    ApplyColumnWidths();
}

// --- TQBSelectPanel ---

TQBSelectPanel::TQBSelectPanel(QWidget* parent) : QWidget(parent) {
    if (!parent) throw EQBException(QBResource::SInvalidOrderPanelParent);
    setObjectName("SelectPanel");
    setFocusPolicy(Qt::NoFocus);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    FDistinct = new QCheckBox(Text(QBResource::SSelectDistinct), this);
    layout->addWidget(FDistinct);
    FGrid = new TQBSelectGrid(this);
    layout->addWidget(FGrid, 1);
    // Only a click by the user changes the model; ClearGrid and LoadFromModel set it quietly.
    connect(FDistinct, &QCheckBox::clicked, this, [this](bool checked) {
        if (FParser) FParser->SetDistinct(checked);
    });
}

void TQBSelectPanel::BindParser(TQBSelectParser* parser) {
    if (parser == FParser) return;
    FGrid->AggregateList().Clear();
    FParser = parser;
    if (FParser) FGrid->AggregateList().Assign(FParser->GetAggregateNames());
}

void TQBSelectPanel::ClearGrid() {
    FGrid->ClearRows();
    const QSignalBlocker blocker(FDistinct);
    FDistinct->setChecked(false);
}

void TQBSelectPanel::LoadFromModel() {
    ClearGrid();
    if (!FParser) return;
    const TQBTableDefs& defs = *FParser->GetTableDefs();
    FGrid->setUpdatesEnabled(false);
    const int count = defs.FieldCount();
    for (int i = 0; i < count; ++i) {
        TQBFieldDef* field = defs.FieldBySelectIndex(i);
        if (!field || field->IsInputParam() || IsBlankText(field->Name)) continue;
        FGrid->AddFieldRow(*field);
    }
    FGrid->setUpdatesEnabled(true);
    const QSignalBlocker blocker(FDistinct);
    FDistinct->setChecked(FParser->GetDistinct());
}
