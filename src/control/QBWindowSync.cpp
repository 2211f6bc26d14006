// The control's handlers of the work area's notifications: each keeps the query model in
// step with one change on the diagram and reloads the active page when it shows the change.
#include "control/QBWindow.h"

#include "diagram/QBFloatPanel.h"
#include "diagram/QBFloatTable.h"
#include "editors/QBSelectOrder.h"
#include "model/QBCriteria.h"
#include "model/QBFunctionDefs.h"
#include "model/QBModelSync.h"
#include "model/QBOrderItems.h"
#include "model/QBTableDefs.h"
#include "parser/QBParser.h"

namespace {

// The parameter direction of a procedure box's line.
TParamType ParamTypeOfUsage(int usage) { return usage == iuInputOutput ? ptInputOutput : ptInput; }

// A procedure's definition takes its parameters from the box's parameter lines.
void CopyParameterLines(const TQBTable& box, TQBTableDef& def) {
    TQBFieldDefs& fields = def.Fields();
    for (int f = fields.Count() - 1; f >= 0; --f)
        if (fields.Items(f)->IsInputParam()) fields.Delete(f);
    for (int i = 0; i < box.ItemCount(); ++i) {
        const TQBListItem& line = *box.Item(i);
        if (line.Usage() != iuInput && line.Usage() != iuInputOutput) continue;
        TQBFieldDef* param = fields.Add();
        param->SetName(line.Name());
        param->DataType = static_cast<TFieldType>(line.DataType());
        param->ParamType = ParamTypeOfUsage(line.Usage());
        param->Value = line.FValue;
    }
}

}  // namespace

void TCustomQueryBuilder::TableAdded(TQBWorkArea*, TQBTable* table) {
    if (!FParser || FDestroying) return;
    TQBTableDefs& defs = *FParser->GetTableDefs();
    const std::string key = table->Key();
    TQBTableDef* def = key.empty() ? defs.FindByTableName(table->Name()) : defs.FindByAlias(key);
    if (!def) {
        def = defs.Add();
        def->SetTableName(table->Name());
        def->SetAlias(key);
    }
    def->SetTableName(table->Name());
    def->IsProcedure = table->IsStoredProc();
    if (def->IsProcedure) CopyParameterLines(*table, *def);
    RefreshIfActive({qbtSelection, qbtSorting});
}

void TCustomQueryBuilder::TableRemoved(TQBWorkArea*, TQBTable* table) {
    if (!FParser || FDestroying) return;
    TQBTableDefs& defs = *FParser->GetTableDefs();
    if (TQBTableDef* def = defs.FindByAlias(table->Key())) defs.Delete(def->GetIndex());
    RefreshIfActive({qbtCriterions, qbtSelection, qbtSorting});
}

void TCustomQueryBuilder::TableKeyChanged(TQBTable* table, const std::string& oldKey) {
    if (!FParser || FDestroying) return;
    TQBTableDefs& defs = *FParser->GetTableDefs();
    TQBTableDef* def = nullptr;
    if (oldKey != table->Name())
        def = defs.FindByAlias(oldKey);
    else if (!(def = defs.FindByAlias(table->Name())))
        def = defs.FindByTableName(table->Name());
    const std::string newKey = table->Key();
    if (def) {
        def->SetAlias(newKey);
        // Every column the statement qualifies by the old key follows, wherever it is written:
        // select-list expressions, conditions, GROUP BY and ORDER BY. The pages then reload.
        RenameQualifierEverywhere({&defs, FParser->GetWhereItems(), FParser->GetHavingItems(),
                                   FParser->GetGroupByItems(), FParser->GetOrderByItems()},
                                  oldKey, newKey);
    }
    if (FSelectPanel) FSelectPanel->Grid()->ReplaceQualifier(newKey, oldKey);
    RefreshActiveTab();
}

void TCustomQueryBuilder::FieldCheckChanged(TQBTable* table, TQBListItem* item) {
    if (!FParser || FDestroying) return;
    TQBTableDefs& defs = *FParser->GetTableDefs();
    if (TQBTableDef* def = defs.FindByAlias(table->Key())) {
        auto* field = static_cast<TQBFieldDef*>(def->Fields().FindByName(item->Name()));
        if (!item->Checked()) {
            // Every output of the column goes: an unticked line selects nothing.
            for (; field; field = static_cast<TQBFieldDef*>(def->Fields().FindByName(item->Name()))) {
                const std::string alias = field->Alias;
                def->Fields().Delete(field->GetIndex());
                RestorePlainAlias(defs, alias);
            }
        } else if (!field) {
            TQBFieldDef* added = def->Fields().Add();
            added->SetName(item->Name());
            added->SetKind(fkField);
            added->DataType = static_cast<TFieldType>(item->DataType());
            added->Value = item->FValue;
        }
    }
    RefreshIfActive({qbtSelection, qbtSorting});
}
