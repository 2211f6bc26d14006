// Criterion panels: construction, loading the rows from the model, the commands of the row
// menu and the keys, the popup menus and the geometry of the shown rows.
#include "editors/QBWherePanel.h"

#include <QMenu>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTreeWidget>

#include "control/QBWindow.h"
#include "diagram/QBFloatPanel.h"
#include "model/QBCriteria.h"
#include "model/QBTableDefs.h"
#include "parser/QBParser.h"
#include "resources/QBResource.h"
#include "toolkit/Exceptions.h"
#include "toolkit/TextCompare.h"

namespace {

QFont PanelFont(bool spot) {
    QFont font(QStringLiteral("Arial"));
    font.setPointSize(9);
    font.setBold(spot);
    font.setUnderline(spot);
    return font;
}

QWidget* CheckedParent(QWidget* parent) {
    if (!parent) throw EQBException(QBResource::SInvalidCriterionParent);
    return parent;
}

QString Text(const char* text) { return QString::fromUtf8(text); }

// A node's text as the criterion writes it: a plain column through the criterion's quoting
// (the node alone would write "My Col" for [My Col]), anything else as the node writes it.
std::string NodeText(const TQBCriterion& criterion, const TQBFunctionDef& node) {
    if (node.Kind == fkField && node.ArgumentCount() == 0) return criterion.QuoteName(node.Name);
    return node.GetSQL();
}

}  // namespace

// --- construction ---

TQBCriterionPanel::TQBCriterionPanel(QWidget* parent, TCustomQueryBuilder* control, bool allowAggregates)
    : QAbstractScrollArea(CheckedParent(parent)),
      FControl(control),
      FAllowAggregates(allowAggregates),
      FSpotFont(PanelFont(true)),
      FTextFont(PanelFont(false)),
      FSpotMetrics(FSpotFont),
      FTextMetrics(FTextFont),
      FRows(std::make_unique<TQBCriterionRows>(this, nullptr)) {
    setFocusPolicy(Qt::StrongFocus);
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(1);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    viewport()->setMouseTracking(true);
    viewport()->setFont(FTextFont);
    horizontalScrollBar()->setSingleStep(RowHeight);
    verticalScrollBar()->setSingleStep(RowHeight);
    if (parent->layout() == nullptr) {
        // Fill the page: the panel follows its parent's size.
        parent->installEventFilter(this);
        setGeometry(parent->rect());
    }

    FEditor = new QPlainTextEdit(viewport());
    FEditor->hide();
    FEditor->setFont(PanelFont(false));
    FEditor->setLineWrapMode(QPlainTextEdit::NoWrap);
    FEditor->setFrameStyle(QFrame::Box | QFrame::Plain);
    FEditor->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    FEditor->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    FEditor->setToolTip(Text(QBResource::SInsertFieldHint));
    FEditor->setContextMenuPolicy(Qt::CustomContextMenu);
    FEditor->installEventFilter(this);
    connect(FEditor, &QPlainTextEdit::textChanged, this, [this] { FitEditor(); });
    connect(FEditor, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& pos) { FEditorMenu->popup(FEditor->mapToGlobal(pos)); });

    QWidget* pickerParent = control ? static_cast<QWidget*>(control) : window();
    FFieldPicker = new QTreeWidget(pickerParent);
    FFieldPicker->hide();
    FFieldPicker->setHeaderHidden(true);
    FFieldPicker->setSortingEnabled(true);
    FFieldPicker->sortByColumn(0, Qt::AscendingOrder);
    FFieldPicker->setFrameStyle(QFrame::Panel | QFrame::Raised);
    FFieldPicker->setEditTriggers(QAbstractItemView::NoEditTriggers);
    FFieldPicker->installEventFilter(this);
    connect(FFieldPicker, &QObject::destroyed, this, [this] { FFieldPicker = nullptr; });
    connect(FFieldPicker, &QTreeWidget::itemDoubleClicked, this, [this] { CloseFieldPicker(true); });
    BuildMenus();
}

TQBCriterionPanel::~TQBCriterionPanel() {
    ForgetAllRows();
    if (FEditor) FEditor->removeEventFilter(this);
    // The picker lives on the control (so it may reach past the panel) but belongs to the panel.
    if (FFieldPicker) {
        FFieldPicker->removeEventFilter(this);
        QTreeWidget* picker = FFieldPicker;
        FFieldPicker = nullptr;
        delete picker;
    }
}

TQBCriterions* TQBWherePanel::TopGroup() const {
    return Parser() ? static_cast<TQBCriterions*>(Parser()->GetWhereItems()) : nullptr;
}

TQBCriterions* TQBHavingPanel::TopGroup() const {
    return Parser() ? static_cast<TQBCriterions*>(Parser()->GetHavingItems()) : nullptr;
}

bool TQBCriterionPanel::ShowsFunctions() const {
    return FAllowAggregates && FParser && FParser->GetAggregateNames().Count() > 0;
}

TQBCriterionRow* TQBCriterionPanel::RootRow() const { return FRows->Count() > 0 ? FRows->Items(0) : nullptr; }

int TQBCriterionPanel::SpotTextWidth(const std::string& text) const {
    return FSpotMetrics.horizontalAdvance(QString::fromUtf8(text));
}

int TQBCriterionPanel::PlainTextWidth(const std::string& text) const {
    return FTextMetrics.horizontalAdvance(QString::fromUtf8(text));
}

// --- menus ---

void TQBCriterionPanel::BuildMenus() {
    FRowMenu = new QMenu(this);
    FRowMenu->addAction(Text(QBResource::SAddCondition), this, [this] { Guard([this] { AddCondition(); }); });
    FMakeGroupAction = FRowMenu->addAction(Text(QBResource::SMakeGroupCondition), this,
                                           [this] { Guard([this] { MakeGroup(); }); });
    FDeleteAction = FRowMenu->addAction(Text(QBResource::SDeleteCondition), this,
                                        [this] { Guard([this] { DeleteCondition(); }); });
    FRowMenu->addSeparator();
    FExpandAction = FRowMenu->addAction(Text(QBResource::SExpandCondition), this,
                                        [this] { Guard([this] { ExpandCollapse(); }); });
    connect(FRowMenu, &QMenu::aboutToShow, this, [this] {
        const TQBCriterionRow* row = FHoverSpot ? FHoverSpot->Row : nullptr;
        const bool root = row && row == RootRow();
        FMakeGroupAction->setEnabled(row && !row->IsGroup());
        FDeleteAction->setEnabled(row && !root);
        FExpandAction->setEnabled(row && row->IsGroup() && !root);
        FExpandAction->setText(Text(row && row->Expanded() ? QBResource::SCollapseCondition
                                                           : QBResource::SExpandCondition));
    });
    FGroupKindMenu = new QMenu(this);
    FAggregateMenu = new QMenu(this);
    FOperatorMenu = new QMenu(this);
    FEditorMenu = new QMenu(this);
    FEditorMenu->addAction(Text(QBResource::SInsertField), this, [this] { Guard([this] { ShowFieldPicker(); }); });
}

void TQBCriterionPanel::RebuildGroupKindMenu() {
    FGroupKindMenu->clear();
    for (int kind = gkAll; kind <= gkNot; ++kind) {
        QAction* action = FGroupKindMenu->addAction(Text(GroupKindCaption(kind)), this,
                                                    [this, kind] { Guard([this, kind] { ChooseGroupKind(kind); }); });
        action->setData(kind);
    }
}

void TQBCriterionPanel::RebuildAggregateMenu() {
    FAggregateMenu->clear();
    if (!ShowsFunctions()) return;
    FAggregateMenu->addAction(QString(), this, [this] { Guard([this] { ChooseAggregate(std::string()); }); });
    const TStringList& names = FParser->GetAggregateNames();
    for (int i = 0; i < names.Count(); ++i) {
        const std::string name = names[i];
        FAggregateMenu->addAction(QString::fromUtf8(name), this, [this, name] { Guard([this, name] { ChooseAggregate(name); }); });
    }
}

void TQBCriterionPanel::RebuildOperatorMenu() {
    FOperatorMenu->clear();
    if (!FParser) return;
    const TQBOperators& operators = *FParser->GetOperators();
    for (int i = 0; i < operators.Count(); ++i)
        FOperatorMenu->addAction(QString::fromUtf8(operators.Items(i)->Caption), this,
                                 [this, i] { Guard([this, i] { ChooseOperator(i); }); });
}

// --- seams ---

void TQBCriterionPanel::Guard(const std::function<void()>& body) {
    try {
        body();
    } catch (const std::exception& e) {
        ShowError(e.what());
    } catch (...) {
        ShowError(FormatMessage(QBResource::SQBParserUnknownError, "0"));
    }
}

void TQBCriterionPanel::ShowError(const std::string& text) {
    if (FControl) {
        FControl->ShowError(QString::fromUtf8(text));
        return;
    }
    QMessageBox::critical(this, QString(), QString::fromUtf8(text));
}

bool TQBCriterionPanel::Confirm(const std::string& caption, const std::string& text) {
    // The diagram's question seam serves the whole control: one hook for tests and hosts.
    if (FControl && FControl->WorkArea())
        return FControl->WorkArea()->Confirm(QString::fromUtf8(caption), QString::fromUtf8(text));
    return QMessageBox::question(this, QString::fromUtf8(caption), QString::fromUtf8(text),
                                 QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

// --- rows and the model ---

void TQBCriterionPanel::ForgetRow(const TQBCriterionRow* row) {
    const auto inside = [row](const TQBControl* spot) {
        for (const TQBCriterionRow* r = spot ? spot->Row : nullptr; r; r = r->OwnerRow())
            if (r == row) return true;
        return false;
    };
    if (inside(FEditedSpot)) CloseEditor(false);
    if (inside(FHoverSpot)) FHoverSpot = nullptr;
    if (inside(FCurrentSpot)) FCurrentSpot = nullptr;
    if (inside(FPressedSpot)) FPressedSpot = nullptr;
    if (inside(FDragTarget)) FDragTarget = nullptr;
    RowsChanged();
}

void TQBCriterionPanel::ForgetAllRows() {
    if (FEditedSpot) CloseEditor(false);
    FHoverSpot = FCurrentSpot = FPressedSpot = FDragTarget = nullptr;
    RowsChanged();
}

void TQBCriterionPanel::RowsChanged() { FVisibleRowsValid = false; }

void TQBCriterionPanel::ResetPanel() {
    ForgetAllRows();
    FRows->Clear();
    TQBCriterionRow* root = FRows->Add();
    root->SetGroupCaption(GroupKindCaption(gkAll));
    FCurrentSpot = root->Spot(siLeftFunction);
    RebuildGroupKindMenu();
    RebuildAggregateMenu();
    Refresh();
}

void TQBCriterionPanel::Clear() {
    TQBCriterionRow* root = RootRow();
    if (!root) return ResetPanel();
    ForgetRow(root);
    root->SubRows().Clear();
    root->Unbind();
    root->SetGroupCaption(GroupKindCaption(gkAll));
    FCurrentSpot = root->Spot(siLeftFunction);
    FHoverSpot = nullptr;
    CloseFieldPicker(false);
    Refresh();
}

void TQBCriterionPanel::LoadFromModel() {
    TQBCriterionRow* root = RootRow();
    if (!root) {
        ResetPanel();
        root = RootRow();
    }
    ForgetRow(root);
    CloseFieldPicker(false);
    root->SubRows().Clear();
    root->Unbind();
    FCurrentSpot = root->Spot(siLeftFunction);
    if (const TQBCriterions* group = TopGroup()) {
        const char* caption = GroupKindCaption(group->GroupKind);
        root->SetGroupCaption(*caption ? caption : GroupKindCaption(gkAll));
        FLayoutSuspended = true;
        try {
            BuildRows(root->SubRows(), *group);
        } catch (...) {
            FLayoutSuspended = false;
            throw;
        }
        FLayoutSuspended = false;
    }
    LayoutAll(*FRows);
    RebuildAggregateMenu();
    Refresh();
}

void TQBCriterionPanel::BuildRows(TQBCriterionRows& rows, const TQBCriterions& group) {
    for (int i = 0; i < group.Count(); ++i) {
        TQBCriterion& criterion = *group.Items(i);
        TQBCriterionRow& row = *rows.Add();
        if (criterion.SubCriteriaCount() > 0) {
            const char* caption = GroupKindCaption(criterion.SubCriteria().GroupKind);
            row.SetGroupCaption(*caption ? caption : GroupKindCaption(gkAll));
            BuildRows(row.SubRows(), criterion.SubCriteria());
        } else {
            LoadCondition(row, criterion);
        }
        row.Bind(&criterion);
        row.SetExpanded(true);
    }
}

void TQBCriterionPanel::LoadCondition(TQBCriterionRow& row, const TQBCriterion& criterion) {
    const TQBFunctionDef& expression = criterion.Expression();
    const bool aggregates = FAllowAggregates && FParser;
    if (aggregates && FParser->IsAggregate(expression.Name)) {
        row.SetLeftFunction(expression.Name);
        if (expression.ArgumentCount() > 0) row.SetExpressionText(NodeText(criterion, *expression.Arguments().Items(0)));
    } else {
        row.SetExpressionText(NodeText(criterion, expression));
    }
    TQBOperator* op = FParser ? FParser->GetOperators()->FindByCaption(criterion.OperatorCaption) : nullptr;
    row.SetOperator(op);
    std::vector<std::string> texts;
    const TQBFunctionDefs& operands = criterion.Operands();
    for (int k = 0; k < operands.Count(); ++k) {
        const TQBFunctionDef& operand = *operands.Items(k);
        if (aggregates && FParser->IsAggregate(operand.Name)) {
            if (k == 0) row.SetRightFunction(operand.Name);
            for (int a = 0; a < operand.ArgumentCount(); ++a) texts.push_back(NodeText(criterion, *operand.Arguments().Items(a)));
        } else {
            texts.push_back(NodeText(criterion, operand));
        }
    }
    if (op && op->CommaList) {
        std::string joined;
        for (const std::string& text : texts) joined += (joined.empty() ? "" : ",") + text;
        texts.assign(1, joined);
    }
    for (std::size_t v = 0; v < texts.size(); ++v) row.SetValue(static_cast<int>(v), texts[v]);
    // A row shows as many values as its operator takes.
    if (op) row.SetOperator(nullptr), row.SetOperator(op);
}

void TQBCriterionPanel::LayoutAll(TQBCriterionRows& rows) {
    for (int i = 0; i < rows.Count(); ++i) {
        rows.Items(i)->Layout();
        LayoutAll(rows.Items(i)->SubRows());
    }
}

TQBCriterions* TQBCriterionPanel::GroupOf(TQBCriterionRow* groupRow) const {
    if (groupRow == RootRow()) return TopGroup();
    TQBCriterion* criterion = groupRow->Criterion();
    return criterion ? &criterion->SubCriteria() : nullptr;
}

void TQBCriterionPanel::RenameQualifier(const std::string& oldKey, const std::string& newKey) {
    if (oldKey == newKey || !FParser) return;
    const TQBTableDefs& tables = *FParser->GetTableDefs();
    const std::function<void(TQBCriterionRows&)> rename = [&](TQBCriterionRows& rows) {
        for (int i = 0; i < rows.Count(); ++i) {
            TQBCriterionRow& row = *rows.Items(i);
            if (row.IsGroup()) {
                rename(row.SubRows());
                continue;
            }
            bool changed = false;
            const std::string expression = tables.RenameQualifier(row.ExpressionText(), oldKey, newKey);
            if (expression != row.ExpressionText()) {
                row.SetExpressionText(expression);
                changed = true;
            }
            for (std::size_t v = 0; v < row.Values().size(); ++v) {
                const std::string value = tables.RenameQualifier(row.Values()[v], oldKey, newKey);
                if (value == row.Values()[v]) continue;
                row.SetValue(static_cast<int>(v), value);
                changed = true;
            }
            if (changed) row.Layout();
        }
    };
    rename(FRows->Count() > 0 ? RootRow()->SubRows() : *FRows);
    Refresh();
}

void TQBCriterionPanel::ForgetOperators() {
    const std::function<void(TQBCriterionRows&)> forget = [&](TQBCriterionRows& rows) {
        for (int i = 0; i < rows.Count(); ++i) {
            TQBCriterionRow& row = *rows.Items(i);
            if (row.IsGroup()) {
                forget(row.SubRows());
            } else {
                row.RememberedOperator = row.Operator() ? row.Operator()->Name : std::string();
                row.SetOperator(nullptr);
            }
        }
    };
    forget(*FRows);
}

void TQBCriterionPanel::RebindOperators() {
    if (!FParser) return;
    const TQBOperators& operators = *FParser->GetOperators();
    const std::function<void(TQBCriterionRows&)> rebind = [&](TQBCriterionRows& rows) {
        for (int i = 0; i < rows.Count(); ++i) {
            TQBCriterionRow& row = *rows.Items(i);
            if (row.IsGroup()) {
                rebind(row.SubRows());
            } else {
                // The old table is gone: its operators are known by the names kept before.
                row.SetOperator(nullptr);
                if (operators.Count() > 0) row.SetOperator(operators.Items(0));
                if (TQBOperator* same = operators.FindByName(row.RememberedOperator)) row.SetOperator(same);
            }
            row.Layout();
        }
    };
    rebind(*FRows);
    Refresh();
}

bool TQBCriterionPanel::CanLeave() {
    if (!FFieldPicker || !FFieldPicker->isVisible()) return true;
    CloseFieldPicker(false);
    return false;
}

// --- commands ---

TQBControl* TQBCriterionPanel::Target() const {
    if (!FHoverSpot) throw EQBException(QBResource::SNoActiveSpot);
    return FHoverSpot;
}

void TQBCriterionPanel::AddCondition() {
    TQBCriterionRow* row = Target()->Row;
    TQBCriterionRow* added = nullptr;
    if (row->IsGroup()) {
        TQBCriterions* group = GroupOf(row);
        added = row->SubRows().Add();
        if (group) added->Bind(group->Add());
        row->SetExpanded(true);
    } else {
        added = row->Rows()->Add();
        if (row->Criterion()) added->Bind(row->Criterion()->GetGroup()->Add());
    }
    RowsChanged();
    Refresh();
}

void TQBCriterionPanel::MakeGroup() {
    TQBCriterionRow* row = Target()->Row;
    if (row->IsGroup()) throw EQBException(QBResource::SAlreadyGrouped);
    TQBCriterionRow* sub = row->SubRows().Add();
    TQBCriterion* criterion = row->Criterion();
    if (criterion) {
        TQBCriterion* inner = criterion->SubCriteria().Add();
        inner->Expression().Assign(criterion->Expression());
        inner->Operands().Assign(criterion->Operands());
        inner->OperatorCaption = criterion->OperatorCaption;
        criterion->SubCriteria().GroupKind = gkAll;
        // The group's own comparison is no longer written; keep it empty.
        criterion->Expression().Clear();
        criterion->Operands().Clear();
        sub->Assign(*row);
        sub->Bind(inner);
    } else if (TQBCriterions* top = TopGroup()) {
        sub->Assign(*row);
        sub->Bind(top->Add());
    } else {
        sub->Assign(*row);
    }
    row->SetGroupCaption(GroupKindCaption(gkAll));
    row->SetExpanded(true);
    sub->Layout();
    if (FCurrentSpot && FCurrentSpot->Row == row) FCurrentSpot = row->Spot(siLeftFunction);
    RowsChanged();
    Refresh();
}

void TQBCriterionPanel::DeleteCondition() {
    TQBCriterionRow* row = Target()->Row;
    if (row == RootRow()) throw EQBException(QBResource::SCannotDeleteFirstRow);
    if (!Confirm(QBResource::SConfirmCaption, QBResource::SConfirmDeleteCondition)) return;
    // The question may have run an event loop: the target must still be a row of the panel.
    if (!FHoverSpot || FHoverSpot->Row != row) return;
    TQBCriterionRow* owner = row->OwnerRow();
    const bool heldCurrent = [&] {
        for (const TQBCriterionRow* r = FCurrentSpot ? FCurrentSpot->Row : nullptr; r; r = r->OwnerRow())
            if (r == row) return true;
        return false;
    }();
    ForgetRow(row);
    if (TQBCriterion* criterion = row->Criterion()) {
        TQBCriterions* group = criterion->GetGroup();
        if (group) group->Delete(criterion->GetIndex());
    }
    row->Rows()->Delete(row->GetIndex());
    if (owner) owner->SetExpanded(owner->Expanded() || owner == RootRow());
    if (owner == RootRow()) owner->SetGroupCaption(owner->GroupCaption());
    // The rows after the deleted one are numbered anew.
    LayoutAll(*FRows);
    if (heldCurrent || !FCurrentSpot) FCurrentSpot = RootRow()->Spot(siLeftFunction);
    FHoverSpot = nullptr;
    RowsChanged();
    Refresh();
}

void TQBCriterionPanel::ExpandCollapse() {
    TQBCriterionRow* row = Target()->Row;
    if (!row->IsGroup()) throw EQBException(QBResource::SCannotExpandSimple);
    if (row == RootRow()) throw EQBException(QBResource::SCannotCollapseFirst);
    if (row->Expanded()) {
        // The rows it hides can no longer hold the focus spot.
        for (const TQBCriterionRow* r = FCurrentSpot ? FCurrentSpot->Row->OwnerRow() : nullptr; r; r = r->OwnerRow())
            if (r == row) FCurrentSpot = row->Spot(siLeftFunction);
    }
    row->SetExpanded(!row->Expanded());
    RowsChanged();
    Refresh();
}

void TQBCriterionPanel::ChooseGroupKind(int kind) {
    TQBControl* spot = Target();
    if (spot->SpotIndex != siLeftFunction || !spot->Row->IsGroup()) throw EQBException(QBResource::SNoActiveSpot);
    TQBCriterionRow* row = spot->Row;
    row->SetGroupCaption(GroupKindCaption(kind));
    if (row == RootRow()) {
        if (TQBCriterions* top = TopGroup()) top->GroupKind = static_cast<std::uint8_t>(kind);
    } else if (row->Criterion()) {
        row->Criterion()->SubCriteria().GroupKind = static_cast<std::uint8_t>(kind);
    }
    Refresh();
}

void TQBCriterionPanel::ChooseAggregate(const std::string& name) {
    TQBControl* spot = Target();
    TQBCriterionRow* row = spot->Row;
    if (row->IsGroup()) throw EQBException(QBResource::SNoActiveSpot);
    if (spot->SpotIndex == siLeftFunction)
        row->SetLeftFunction(name);
    else
        row->SetRightFunction(name);
    row->Layout();
    Refresh();
}

void TQBCriterionPanel::ChooseOperator(int index) {
    TQBControl* spot = Target();
    if (spot->SpotIndex != siOperator || spot->Row->IsGroup() || !FParser) throw EQBException(QBResource::SNoActiveSpot);
    const TQBOperators& operators = *FParser->GetOperators();
    if (index < 0 || index >= operators.Count()) return;
    TQBCriterionRow* row = spot->Row;
    const int spots = row->SpotCount();
    row->SetOperator(operators.Items(index));
    // Value spots that went may have held the pointers.
    if (row->SpotCount() < spots) {
        const auto gone = [row](const TQBControl* s) { return s && s->Row == row && s->SpotIndex >= row->SpotCount(); };
        if (gone(FCurrentSpot)) FCurrentSpot = row->Spot(siOperator);
        if (gone(FDragTarget)) FDragTarget = nullptr;
        if (gone(FEditedSpot)) CloseEditor(false);
    }
    FHoverSpot = row->Spot(siOperator);
    Refresh();
}

void TQBCriterionPanel::ActivateSpot(TQBControl* spot) {
    if (!spot) throw EQBException(QBResource::SNoActiveSpot);
    TQBCriterionRow* row = spot->Row;
    FHoverSpot = spot;
    if (row->IsGroup()) {
        if (row->Expanded() || row == RootRow()) {
            PopupAt(FGroupKindMenu, row->Spot(siLeftFunction));
        } else {
            row->SetExpanded(true);
            RowsChanged();
            Refresh();
        }
        return;
    }
    switch (spot->SpotIndex) {
        case siNumber:
            PopupAt(FRowMenu, spot);
            break;
        case siLeftFunction:
        case siRightFunction:
            RebuildAggregateMenu();
            if (ShowsFunctions()) PopupAt(FAggregateMenu, spot);
            break;
        case siOperator:
            RebuildOperatorMenu();
            PopupAt(FOperatorMenu, spot);
            break;
        default:
            OpenEditor(spot);
            break;
    }
}

void TQBCriterionPanel::PopupAt(QMenu* menu, const TQBControl* spot) {
    const QRect r = SpotRect(spot);
    menu->popup(viewport()->mapToGlobal(QPoint(r.left(), r.top() + RowHeight)));
}

// --- geometry ---

const std::vector<TQBCriterionRow*>& TQBCriterionPanel::VisibleRows() const {
    if (FVisibleRowsValid) return FVisibleRows;
    FVisibleRows.clear();
    const std::function<void(const TQBCriterionRows&)> walk = [&](const TQBCriterionRows& rows) {
        for (int i = 0; i < rows.Count(); ++i) {
            TQBCriterionRow* row = rows.Items(i);
            FVisibleRows.push_back(row);
            if (row->IsGroup() && row->Expanded()) walk(row->SubRows());
        }
    };
    walk(*FRows);
    FVisibleRowsValid = true;
    return FVisibleRows;
}

int TQBCriterionPanel::RowY(const TQBCriterionRow* row) const {
    const auto& rows = VisibleRows();
    const auto found = std::find(rows.begin(), rows.end(), row);
    if (found == rows.end()) return -1;
    return static_cast<int>(found - rows.begin()) * RowHeight - verticalScrollBar()->value();
}

TQBCriterionRow* TQBCriterionPanel::RowAt(int y) const {
    const int k = (y + verticalScrollBar()->value()) / RowHeight;
    const auto& rows = VisibleRows();
    if (y + verticalScrollBar()->value() < 0 || k >= static_cast<int>(rows.size())) return nullptr;
    return rows[static_cast<std::size_t>(k)];
}

TQBControl* TQBCriterionPanel::SpotAt(const QPoint& point) const {
    const TQBCriterionRow* row = RowAt(point.y());
    if (!row) return nullptr;
    const int x = point.x() + horizontalScrollBar()->value();
    for (int i = 0; i < row->SpotCount(); ++i) {
        TQBControl* spot = row->Spot(i);
        if (spot->Width > 0 && spot->Left <= x && x < spot->Right()) return spot;
    }
    return nullptr;
}

QRect TQBCriterionPanel::RowRect(const TQBCriterionRow* row) const {
    return QRect(0, RowY(row), std::max(viewport()->width(), horizontalScrollBar()->maximum() + viewport()->width()),
                 RowHeight);
}

QRect TQBCriterionPanel::SpotRect(const TQBControl* spot) const {
    return QRect(spot->Left - horizontalScrollBar()->value(), RowY(spot->Row), spot->Width, RowHeight);
}

void TQBCriterionPanel::UpdateScrollRanges() {
    const auto& rows = VisibleRows();
    int right = 0;
    for (const TQBCriterionRow* row : rows) right = std::max(right, row->LastSpot()->Right());
    const int height = static_cast<int>(rows.size()) * RowHeight;
    verticalScrollBar()->setPageStep(viewport()->height());
    verticalScrollBar()->setRange(0, std::max(0, height - viewport()->height()));
    horizontalScrollBar()->setPageStep(viewport()->width());
    horizontalScrollBar()->setRange(0, std::max(0, right + 5 - viewport()->width()));
}

void TQBCriterionPanel::Refresh() {
    UpdateScrollRanges();
    viewport()->update();
}

void TQBCriterionPanel::ScrollToSpot(const TQBControl* spot) {
    const auto& rows = VisibleRows();
    const auto found = std::find(rows.begin(), rows.end(), spot->Row);
    if (found == rows.end()) return;
    const int top = static_cast<int>(found - rows.begin()) * RowHeight;
    QScrollBar* v = verticalScrollBar();
    if (top < v->value()) v->setValue(top);
    else if (top + RowHeight > v->value() + viewport()->height()) v->setValue(top + RowHeight - viewport()->height());
    QScrollBar* h = horizontalScrollBar();
    if (spot->Left - 2 < h->value()) h->setValue(spot->Left - 2);
    else if (spot->Right() + 2 > h->value() + viewport()->width()) h->setValue(spot->Right() + 2 - viewport()->width());
}
