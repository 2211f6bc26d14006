// Stored-procedure boxes, and the work area's side of them: creating one and carrying a
// parameter value the user entered into the query model.
#include "diagram/QBProc.h"

#include <algorithm>

#include "diagram/QBAppearance.h"
#include "diagram/QBFloatPanel.h"
#include "diagram/QBModelLink.h"
#include "model/QBFunctionDefs.h"
#include "model/QBTableDefs.h"
#include "parser/QBParser.h"

namespace {

constexpr int MaxCreationLines = 6;

bool IsInputDirection(TParamType type) { return type == ptInput || type == ptInputOutput; }

}  // namespace

TQBStoredProc::TQBStoredProc(TQBWorkArea* workArea, const TDataParameters* params, std::string procName,
                             TDataSet* dataSet)
    : TQBTable(workArea, std::move(procName), dataSet) {
    if (params) FParams.Assign(*params);
    int parameterLines = 0;
    for (int i = 0; i < FParams.Count(); ++i) {
        const TDataParameter& param = FParams.Items(i);
        if (!IsInputDirection(param.Direction)) continue;
        TQBListItem* line = AppendItem(param.Direction, param.DataType, param.Name);
        ++parameterLines;
        if (param.GetValue().IsUnassigned()) continue;
        line->FBusy = true;
        line->SetChecked(true);  // a parameter line only shows that it has a value
        line->FBusy = false;
        line->FIsNull = param.GetIsNull();
        line->FValue = param.GetValue();
    }
    if (VisibleLines() <= MaxCreationLines)
        SetCreationLines(std::min(VisibleLines() + parameterLines, MaxCreationLines));
}

TColor TQBStoredProc::GetClientColor() const { return FWorkArea->Palette().GetProcClient(); }

// --- the work area's procedure operations ---

TQBStoredProc* TQBWorkArea::AddProc(const std::string& procName, const std::string& alias,
                                    const TDataParameters* params, TDataSet* dataSet) {
    return InsertProc(procName, alias, TPoint{0, 0}, true, params, dataSet);
}

TQBStoredProc* TQBWorkArea::InsertProc(const std::string& procName, const std::string& alias, TPoint position,
                                       bool autoPlace, const TDataParameters* params, TDataSet* dataSet) {
    TQBTable* box = InsertBox(procName, alias, "PROC_", position, autoPlace, [&] {
        return std::make_unique<TQBStoredProc>(this, params, procName, dataSet);
    });
    return static_cast<TQBStoredProc*>(box);
}

void TQBWorkArea::EnterProcParameter(TQBTable* box, TQBListItem* item) {
    FOwner->DoEnterProcParameter(box, item);
    TQBSelectParser* parser = Parser();
    if (!parser || IndexOfTable(box) < 0) return;
    // The definition is found by the box's key, not by its table name: a function used twice
    // keeps one set of arguments per box.
    TQBTableDef* def = parser->GetTableDefs()->FindByAlias(box->Key());
    if (!def) return;
    TQBFieldDefs& fields = def->Fields();
    for (int i = 0; i < fields.Count(); ++i) {
        TQBFieldDef& field = *fields.Items(i);
        if (field.IsInputParam() && ModelSameName(parser, field.Name, item->Name())) {
            field.Value = item->FValue;
            return;
        }
    }
}
