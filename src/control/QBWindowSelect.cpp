// The control's side of the selection and sorting pages: the panels placed on their pages,
// the selection grid's four hooks that keep the select list and the diagram's ticks in step
// with the grid, and the candidate lists the grid and the sorting panel offer.
#include <QVBoxLayout>
#include <algorithm>
#include <string_view>
#include <vector>

#include "control/QBTableList.h"
#include "control/QBWindow.h"
#include "diagram/QBFloatPanel.h"
#include "diagram/QBFloatTable.h"
#include "editors/QBSelectOrder.h"
#include "editors/QBSelectOrderLookup.h"
#include "editors/QBSelectOrderSort.h"
#include "lexer/QBUtils.h"
#include "model/QBOrderItems.h"
#include "model/QBTableDefs.h"
#include "parser/QBParser.h"
#include "toolkit/TextCompare.h"

namespace {

// Places Panel so that it fills Page.
void FillPage(QWidget* page, QWidget* panel) {
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(panel);
}

bool IsDigits(std::string_view text) {
    return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// An output name the model gave by itself: the column's name, that name numbered to tell it
// from another, or a numbered FIELD_ name. Any other name was typed by the user.
bool IsAutomaticName(const TQBTableDefs& defs, const std::string& name, const std::string& partName) {
    if (IsBlankText(name) || defs.SameName(name, partName)) return true;
    if (name.size() > partName.size() && defs.SameName(name.substr(0, partName.size()), partName) &&
        IsDigits(std::string_view(name).substr(partName.size())))
        return true;
    constexpr std::string_view field = "FIELD_";
    return name.size() > field.size() && SameText(name.substr(0, field.size()), field) &&
           IsDigits(std::string_view(name).substr(field.size()));
}

// Name when no other output uses it, else Name numbered.
std::string UniqueOutputName(const TQBTableDefs& defs, const std::string& name) {
    return defs.AliasInUse(name) ? defs.MakeUniqueAlias(name, false) : name;
}

// The text the sorting page offers for Field of Table: its own output name when it has one,
// else the qualified column; empty when the field cannot be sorted on.
std::string SortTextOf(const TQBTableDef& table, const TQBFieldDef& field) {
    if (IsBlankText(field.Name) || Trim(field.Name) == "*") return {};
    if (!IsBlankText(field.Alias) && (!table.Fields().SameName(field.Alias, field.Name) || IsBlankText(table.GetAlias())))
        return field.Alias;
    return IsBlankText(table.GetAlias()) ? std::string() : table.GetAlias() + "." + field.Name;
}

// Inserts Text at Index of the ORDER BY list (appended past the end) unless it is there.
void InsertOrderItem(TQBOrderByItems& items, int index, const std::string& text, int direction) {
    if (text.empty() || items.IndexOf(text) >= 0) return;
    std::vector<TQBOrderByItem> kept;
    for (int i = 0; i < items.Count(); ++i) kept.push_back({items[i], items.GetDirection(i)});
    index = std::clamp(index, 0, static_cast<int>(kept.size()));
    kept.insert(kept.begin() + index, TQBOrderByItem{text, direction});
    items.Clear();
    for (const TQBOrderByItem& item : kept) items.AddItem(item.Text, item.Direction);
}

bool IsSortable(const TQBFieldDef& field) { return field.ParamType == ptOutput || field.ParamType == ptInputOutput; }

void AddOnce(TStringList& list, const std::string& text) {
    if (list.IndexOf(text) < 0) list.Add(text);
}

}  // namespace

// --- the pages ---

void TCustomQueryBuilder::CreateSelectOrderPanels() {
    FSelectPanel = new TQBSelectPanel(Page(qbtSelection));
    FillPage(Page(qbtSelection), FSelectPanel);
    FSelectPanel->BindParser(FParser.get());
    TQBSelectGrid* grid = FSelectPanel->Grid();
    grid->OnAssignField = [this](const std::string& source, const std::string& aggregate, const std::string& name,
                                 bool tick) { SelectFieldAssigned(source, aggregate, name, tick); };
    grid->OnReleaseField = [this](const std::string& source, const std::string& aggregate, const std::string& name,
                                  bool untick) { SelectFieldReleased(source, aggregate, name, untick); };
    grid->OnDeleteRow = [this](const std::string& source, const std::string& aggregate, const std::string& name,
                               bool untick) { SelectRowDeleted(source, aggregate, name, untick); };
    grid->OnRenameOutput = [this](const std::string& source, const std::string& oldName, std::string& newName) {
        SelectOutputNameChanged(source, oldName, newName);
    };
    grid->AggregateList().Assign(Aggregates());
    grid->SetWorkArea(FWorkArea);
    grid->ErrorHook = [this](const QString& text) { ShowError(text); };
    grid->ConfirmHook = [this](const QString& caption, const QString& text) {
        return FWorkArea->Confirm(caption, text);
    };

    FOrderPanel = new TQBOrderPanel(Page(qbtSorting));
    FillPage(Page(qbtSorting), FOrderPanel);
    FOrderPanel->BindParser(FParser.get());
    FOrderPanel->OnFillCandidates = [this](TQBOrderPanel* panel, TStringList& list) { FillSortCandidates(panel, list); };
}

void TCustomQueryBuilder::ClearSelectOrderPanels() {
    FReplacedField.reset();
    if (FSelectPanel) FSelectPanel->ClearGrid();
    if (FOrderPanel) FOrderPanel->ClearLists();
}

void TCustomQueryBuilder::ReloadSelectOrderPage(TQBVisibleTab page) {
    if (page == qbtSelection && FSelectPanel) {
        FReplacedField.reset();
        FillSourceFieldList(FSelectPanel->Grid()->SourceList());
        FSelectPanel->LoadFromModel();
    } else if (page == qbtSorting && FOrderPanel) {
        FOrderPanel->LoadFromModel();
    }
}

// --- the selection grid's hooks ---

void TCustomQueryBuilder::SelectFieldAssigned(const std::string& source, const std::string& aggregate,
                                              const std::string& outputName, bool tick) {
    if (!FParser || FDestroying) return;
    // What the row held before, when this row (the grid's current one) was released.
    TQBSelectGrid* grid = FSelectPanel ? FSelectPanel->Grid() : nullptr;
    std::optional<TReplacedSelectField> replaced;
    replaced.swap(FReplacedField);
    if (replaced && (!grid || replaced->Row != grid->currentRow())) replaced.reset();

    TQBTableDefs& defs = *FParser->GetTableDefs();
    const TQBSourceParts parts = SplitSource(*FParser, source);
    // An unqualified source names no table (never "the only box").
    TQBTable* box = IsBlankText(parts.Qualifier) ? nullptr : BoxByKey(parts.Qualifier);
    const bool freeStanding = IsExpressionText(source) || !box;
    const std::string partName = freeStanding ? source : parts.LastName;
    TQBListItem* line = freeStanding ? nullptr : box->FindItem(parts.LastName);
    const bool hasAggregate = !IsBlankText(aggregate);
    if (tick && line && !hasAggregate) line->SetCheckedQuietly(true);

    TQBTableDef* def = freeStanding ? defs.FindByAlias(std::string()) : defs.FindByAlias(box->Key());
    if (!def) {
        def = defs.Add();
        if (!freeStanding) {
            def->SetAlias(box->Key());
            def->SetTableName(box->Name());
        }
    }
    // The row's previous field was released: every assignment makes the row's own field, so
    // no row ever takes over another row's field that happens to share its output name.
    TQBFieldDef* field = def->Fields().Add();
    std::string wanted;
    if (replaced)
        wanted = replaced->Typed ? replaced->Alias : std::string();
    else if (!IsAutomaticName(defs, outputName, partName))
        wanted = outputName;
    // A column is named after itself; an expression or "*" gets a FIELD_ name from the model.
    if (!wanted.empty())
        field->Alias = UniqueOutputName(defs, wanted);
    else if (!freeStanding)
        field->Alias = UniqueOutputName(defs, partName);

    const TQBFunctionKind partKind = freeStanding ? fkExpression : fkField;
    if (hasAggregate) {
        field->SetName(aggregate);
        field->SetKind(fkFunction);
        field->Arguments().Clear();
        TQBFunctionDef* argument = field->Arguments().Add();
        argument->SetName(partName);
        argument->SetKind(partKind);
    } else {
        field->SetName(partName);
        field->SetKind(partKind);
        field->DataType = line ? static_cast<TFieldType>(line->DataType()) : ftUnknown;
        if (line) field->Value = line->FIsNull ? TVariant::MakeNull() : line->FValue;
        if (field->ArgumentCount() > 0) field->Arguments().Clear();
    }

    if (replaced) {
        // A changed row keeps its place in the select list and its ORDER BY entry when the
        // new expression can still be sorted on.
        field->SetSelectIndex(replaced->SelectIndex);
        if (replaced->OrderIndex >= 0)
            InsertOrderItem(*FParser->GetOrderByItems(), replaced->OrderIndex, SortTextOf(*def, *field),
                            replaced->OrderDirection);
    }
    if (grid && grid->currentRow() >= 0) grid->SetCell(grid->currentRow(), TQBSelectGrid::colOutputName, field->Alias);
}

void TCustomQueryBuilder::RemoveSelectField(const std::string& source, const std::string& outputName, bool untick,
                                            bool replacing) {
    if (!FParser || FDestroying) return;
    TQBTableDefs& defs = *FParser->GetTableDefs();
    const TQBSourceParts parts = SplitSource(*FParser, source);
    TQBTableDef* def = defs.FindByAlias(parts.Qualifier);
    std::vector<TQBFieldDef*> going;
    if (TQBFieldDef* field = def ? FindOutputField(*def, outputName) : nullptr) {
        going.push_back(field);
    } else {
        for (int i = 0; i < defs.Count(); ++i)
            if (TQBFieldDef* found = FindOutputField(*defs.Items(i), outputName)) going.push_back(found);
    }
    if (replacing && !going.empty()) {
        const TQBFieldDef& field = *going.front();
        TReplacedSelectField memo;
        memo.Row = FSelectPanel ? FSelectPanel->Grid()->currentRow() : -1;
        memo.Alias = field.Alias;
        memo.Typed = !IsAutomaticName(defs, field.Alias, IsExpressionText(source) ? std::string() : parts.LastName);
        memo.SelectIndex = field.SelectIndex;
        // The field takes its ORDER BY entry with it; the assignment brings it back.
        const TQBOrderByItems& order = *FParser->GetOrderByItems();
        memo.OrderIndex = order.IndexOf(field.Alias);
        memo.OrderDirection = order.GetDirection(memo.OrderIndex);
        FReplacedField = memo;
    }
    for (TQBFieldDef* field : going) field->GetFieldList()->Delete(field->GetIndex());

    TQBTable* box = IsBlankText(parts.Qualifier) ? nullptr : BoxByKey(parts.Qualifier);
    if (TQBListItem* line = box ? box->FindItem(parts.LastName) : nullptr; line && untick)
        line->SetCheckedQuietly(false);
}

void TCustomQueryBuilder::SelectFieldReleased(const std::string& source, const std::string&,
                                              const std::string& outputName, bool untick) {
    FReplacedField.reset();
    RemoveSelectField(source, outputName, untick, true);
}

void TCustomQueryBuilder::SelectRowDeleted(const std::string& source, const std::string&,
                                           const std::string& outputName, bool untick) {
    FReplacedField.reset();
    RemoveSelectField(source, outputName, untick, false);
}

void TCustomQueryBuilder::SelectOutputNameChanged(const std::string& source, const std::string& oldName,
                                                  std::string& newName) {
    FReplacedField.reset();
    if (!FParser || FDestroying) return;
    TQBTableDefs& defs = *FParser->GetTableDefs();
    // A row with a source keeps a name, and output names stay unique: each row finds its
    // own field by its name.
    if (IsBlankText(newName)) {
        if (!IsBlankText(source)) newName = oldName;
        return;
    }
    if (!defs.SameName(newName, oldName)) newName = UniqueOutputName(defs, newName);
    if (IsBlankText(source)) return;

    const TQBSourceParts parts = SplitSource(*FParser, source);
    TQBTableDef* def = defs.FindByAlias(parts.Qualifier);
    if (!def) def = defs.FindByAlias(std::string());
    if (TQBFieldDef* field = def ? FindOutputField(*def, oldName) : nullptr) {
        field->Alias = newName;
    } else {
        for (int i = 0; i < defs.Count(); ++i)
            if (TQBFieldDef* found = FindOutputField(*defs.Items(i), oldName)) found->Alias = newName;
    }
    TQBOrderByItems& order = *FParser->GetOrderByItems();
    int index = IsBlankText(oldName) ? -1 : order.IndexOf(oldName);
    if (index < 0) index = order.IndexOf(source);
    if (index >= 0) order.Put(index, newName);
}

// --- candidate lists ---

void TCustomQueryBuilder::FillSourceFieldList(TStringList& list) const {
    list.Clear();
    if (!FWorkArea) return;
    for (int i = 0; i < FWorkArea->TableCount(); ++i) {
        const TQBTable& box = *FWorkArea->Table(i);
        const std::string prefix = box.Key() + ".";
        for (int k = 0; k < box.ItemCount(); ++k) {
            const TQBListItem& line = *box.Item(k);
            if (line.Usage() != iuInput && line.Usage() != iuInputOutput) list.Add(prefix + line.Name());
        }
    }
}

void TCustomQueryBuilder::FillSortCandidates(TQBOrderPanel*, TStringList& list) const {
    list.Clear();
    if (!FParser) return;
    const TQBTableDefs& defs = *FParser->GetTableDefs();
    for (int i = 0; i < defs.Count(); ++i) {
        const TQBTableDef& def = *defs.Items(i);
        const TQBFieldDefs& fields = def.Fields();
        const TQBTable* box = Tables().FindTable(def.GetAlias());
        if (box && box->Closing()) continue;
        for (int f = 0; f < fields.Count(); ++f) {
            const TQBFieldDef& field = *fields.Items(f);
            const std::string name = Trim(field.Name);
            if (name.empty() || name == "*" || !IsSortable(field)) continue;
            const bool hasAlias = !IsBlankText(field.Alias);
            if (!box) {
                if (hasAlias) AddOnce(list, field.Alias);
            } else if (hasAlias && !fields.SameName(field.Alias, field.Name)) {
                AddOnce(list, field.Alias);
            } else {
                AddOnce(list, def.GetAlias() + "." + field.Name);
            }
        }
        if (!box) continue;
        for (int k = 0; k < box->ItemCount(); ++k) {
            const TQBListItem& line = *box->Item(k);
            if (!line.Checked() && (line.Usage() == iuColumn || line.Usage() == iuInputOutput))
                AddOnce(list, box->Key() + "." + line.Name());
        }
    }
}
