// The query-builder control: construction, the work area's requests and notifications, and
// the model bookkeeping that follows the diagram.
#include "control/QBWindow.h"

#include <QVBoxLayout>
#include <cctype>

#include "diagram/QBFloatPanel.h"
#include "diagram/QBFloatTable.h"
#include "diagram/QBLinks.h"
#include "model/QBFunctionDefs.h"
#include "model/QBTableDefs.h"
#include "parser/QBParser.h"
#include "toolkit/TextCompare.h"

TCustomQueryBuilder::TCustomQueryBuilder(QWidget* parent)
    : QWidget(parent),
      FPalette(std::make_unique<TQBPalette>(this)),
      FStyle(std::make_unique<TQBStyle>(this)) {
    resize(300, 340);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
}

TCustomQueryBuilder::~TCustomQueryBuilder() {
    // The work area removes its links from the model on destruction: it goes while the
    // parser still exists.
    delete FWorkArea;
    FWorkArea = nullptr;
}

std::unique_ptr<TQBSelectParser> TCustomQueryBuilder::CreateParser() { return MakeParser<TQBSelectParser>(); }

void TCustomQueryBuilder::Init() {
    if (FParser) return;
    FParser = CreateParser();
    FWorkArea = new TQBWorkArea(this);
    FWorkArea->FCheckLinkFieldsType = FCheckLinkFieldsType;
    layout()->addWidget(FWorkArea);
    FWorkArea->OnTableAdded = [this](TQBWorkArea* sender, TQBTable* table) { TableAdded(sender, table); };
    FWorkArea->OnTableRemoved = [this](TQBWorkArea* sender, TQBTable* table) { TableRemoved(sender, table); };
    FWorkArea->OnTableKeyChanged = [this](TQBTable* table, const std::string& oldKey) {
        TableKeyChanged(table, oldKey);
    };
    FWorkArea->OnFieldCheckChanged = [this](TQBTable* table, TQBListItem* item) { FieldCheckChanged(table, item); };
}

bool TCustomQueryBuilder::CaseSensitiveIdentifiers() const {
    return FParser ? FParser->GetCaseSensitiveIdentifiers() : true;
}

void TCustomQueryBuilder::SetCaseSensitiveIdentifiers(bool value) {
    if (FParser) FParser->SetCaseSensitiveIdentifiers(value);
}

bool TCustomQueryBuilder::CheckLinkFieldsType() const {
    return FWorkArea ? FWorkArea->FCheckLinkFieldsType : FCheckLinkFieldsType;
}

void TCustomQueryBuilder::SetCheckLinkFieldsType(bool value) {
    FCheckLinkFieldsType = value;
    if (FWorkArea) FWorkArea->FCheckLinkFieldsType = value;
}

void TCustomQueryBuilder::BeginUpdate() {
    FUpdating = true;
    if (FWorkArea) FWorkArea->SuspendPaint();
}

void TCustomQueryBuilder::EndUpdate() {
    FUpdating = false;
    if (FWorkArea) FWorkArea->ResumePaint();
}

bool TCustomQueryBuilder::DoAddRemoveTable(TQBTable* table, TQBAction action) {
    bool accept = true;
    if (OnAddRemoveTable) OnAddRemoveTable(this, table, action, accept);
    return accept;
}

bool TCustomQueryBuilder::DoAddRemoveLink(TQBLink* link, TQBAction action) {
    bool accept = true;
    if (OnAddRemoveLink) OnAddRemoveLink(this, link, action, accept);
    return accept;
}

void TCustomQueryBuilder::AppearanceChanged(TQBAppearanceArea area) {
    if (FLoading || FDesigning) return;
    RepaintArea(area);
}

void TCustomQueryBuilder::RepaintArea(TQBAppearanceArea area) {
    if (area == TQBAppearanceArea::WorkArea && FWorkArea) FWorkArea->viewport()->update();
}

// --- model bookkeeping ---

void TCustomQueryBuilder::TableAdded(TQBWorkArea*, TQBTable* table) {
    if (!FParser) return;
    TQBTableDefs& defs = *FParser->GetTableDefs();
    const std::string key = table->Key();
    TQBTableDef* def = key.empty() ? defs.FindByTableName(table->Name()) : defs.FindByAlias(key);
    if (!def) {
        def = defs.Add();
        def->SetTableName(table->Name());
        def->SetAlias(key);
    }
    def->SetTableName(table->Name());
    def->IsProcedure = false;
}

void TCustomQueryBuilder::TableRemoved(TQBWorkArea*, TQBTable* table) {
    if (!FParser) return;
    TQBTableDefs& defs = *FParser->GetTableDefs();
    if (TQBTableDef* def = defs.FindByAlias(table->Key())) defs.Delete(def->GetIndex());
}

void TCustomQueryBuilder::TableKeyChanged(TQBTable* table, const std::string& oldKey) {
    if (!FParser) return;
    TQBTableDefs& defs = *FParser->GetTableDefs();
    TQBTableDef* def = nullptr;
    if (oldKey != table->Name())
        def = defs.FindByAlias(oldKey);
    else if (!(def = defs.FindByAlias(table->Name())))
        def = defs.FindByTableName(table->Name());
    if (def) def->SetAlias(table->Key());
}

namespace {

// True when Alias is Name followed by one or more decimal digits only.
bool IsNumberedAlias(const std::string& alias, const std::string& name) {
    if (alias.size() <= name.size() || alias.compare(0, name.size(), name) != 0) return false;
    for (std::size_t i = name.size(); i < alias.size(); ++i)
        if (!std::isdigit(static_cast<unsigned char>(alias[i]))) return false;
    return true;
}

}  // namespace

void TCustomQueryBuilder::FieldCheckChanged(TQBTable* table, TQBListItem* item) {
    if (!FParser) return;
    TQBTableDefs& defs = *FParser->GetTableDefs();
    TQBTableDef* def = defs.FindByAlias(table->Key());
    if (!def) return;
    auto* field = static_cast<TQBFieldDef*>(def->Fields().FindByName(item->Name()));
    if (!item->Checked() && field) {
        const std::string alias = field->Alias;
        def->Fields().Delete(field->GetIndex());
        // A field that was numbered only to tell it from the one just removed gets its
        // plain name back.
        TQBFieldDef* only = nullptr;
        int count = 0;
        for (int t = 0; t < defs.Count(); ++t) {
            TQBFieldDefs& fields = defs.Items(t)->Fields();
            for (int f = 0; f < fields.Count(); ++f) {
                if (fields.Items(f)->Name != alias) continue;
                ++count;
                only = fields.Items(f);
            }
        }
        if (count == 1 && IsNumberedAlias(only->Alias, only->Name)) only->Alias.clear();
    } else if (item->Checked() && !field) {
        TQBFieldDef* added = def->Fields().Add();
        added->SetName(item->Name());
        added->SetKind(fkField);
        added->DataType = static_cast<TFieldType>(item->DataType());
        added->Value = item->FValue;
    }
}
