// Expression nodes and select-list fields: their SQL, the alias rules and the bookkeeping
// of the select order.
#include "model/QBFunctionDefs.h"

#include "lexer/QBScanner.h"
#include "model/QBCriteria.h"
#include "model/QBOrderItems.h"
#include "model/QBSQLText.h"
#include "model/QBTableDefs.h"
#include "toolkit/TextCompare.h"

namespace {

// The table collection that holds the table whose Fields hold Field, or null.
TQBTableDefs* TableDefsOfField(const TQBFieldDef& Field) {
    const TQBFieldDefs* list = Field.GetFieldList();
    const TQBTableDef* table = list ? list->GetTable() : nullptr;
    return table ? table->GetTableDefs() : nullptr;
}

}  // namespace

// --- TQBFunctionDef ---

TQBFunctionDef::TQBFunctionDef() = default;

TQBFunctionDef::~TQBFunctionDef() = default;

TQBFunctionDefs& TQBFunctionDef::Arguments() {
    if (!FArguments) {
        FArguments = CreateArguments();
        // The list takes the node's own parser, as SetParser would have given it.
        FArguments->SetParser(Parser);
    }
    return *FArguments;
}

const TQBFunctionDefs& TQBFunctionDef::Arguments() const {
    static const TQBFunctionDefs none;
    return FArguments ? *FArguments : none;
}

TQBFunctionDefs* TQBFunctionDef::GetList() const {
    // Nodes are made by node lists and only ever inserted into them.
    return static_cast<TQBFunctionDefs*>(GetCollection());
}

int TQBFunctionDef::ArgumentCount() const { return FArguments ? FArguments->Count() : 0; }

std::unique_ptr<TQBFunctionDefs> TQBFunctionDef::CreateArguments() {
    return std::make_unique<TQBFunctionDefs>(this);
}

void TQBFunctionDef::SetName(const std::string& Text) {
    if (Name != Text) Name = Text;
}

void TQBFunctionDef::SetKind(TQBFunctionKind K) {
    if (Kind != K) Kind = K;
}

void TQBFunctionDef::Clear() {
    Name.clear();
    Kind = fkUnknown;
    if (FArguments) FArguments->Clear();
}

void TQBFunctionDef::SetParser(TQBStatementRoot* P) {
    TQBCollectionItem::SetParser(P);
    if (FArguments) FArguments->SetParser(P);
}

void TQBFunctionDef::Assign(const TCollectionItem& Source) { AssignTyped<TQBFunctionDef, TQBCollectionItem>(*this, Source); }

void TQBFunctionDef::Assign(const TQBFunctionDef& Source) {
    AssignParser(Source);
    if (&Source == this) return;
    if (Source.FArguments)
        Arguments().Assign(*Source.FArguments);
    else if (FArguments)
        FArguments->Clear();
    Kind = Source.Kind;
    Name = Source.Name;
    OuterJoinMark = Source.OuterJoinMark;
}

TQBTableDef* TQBFunctionDef::OwningTable() const {
    // Up through the argument lists to the list at the top: a table's fields, a criterion's
    // operands, or a list of no owner.
    for (const TQBFunctionDefs* list = GetList(); list;) {
        if (list->GetOwnerTable()) return list->GetOwnerTable();
        const TQBFunctionDef* node = list->GetOwnerNode();
        list = node ? node->GetList() : nullptr;
    }
    return nullptr;
}

void TQBFunctionDef::AppendColumnSQL(std::string& Out) const {
    const TQBTableDef* table = OwningTable();
    const std::string* qualifier = nullptr;
    if (table) qualifier = table->GetAlias().empty() ? &table->GetTableName() : &table->GetAlias();
    const TQBSQLScanner* names = CollectionScanner(*this);
    if (qualifier && !qualifier->empty()) {
        const TQBDialect* parser = GetParser();
        const std::size_t start = Out.size();
        // An alias is written as the user gave it unless the dialect quotes aliases; a table
        // name may need quotes.
        if (parser && (parser->QuotesAliases() || *qualifier == table->GetTableName()))
            AppendQuotedName(Out, names, *qualifier);
        else
            Out += *qualifier;
        if (Out.size() != start) Out += '.';
    }
    if (Name.size() == 1 && Name[0] == '*')
        Out += '*';
    else
        AppendQuotedName(Out, names, Name);
}

void TQBFunctionDef::AppendStringSQL(std::string& Out) const {
    const std::size_t start = Out.size();
    const TQBDialect* parser = GetParser();
    if (parser && parser->GetScanner()) {
        Out += parser->GetScanner()->QuoteString(Name);
    } else if (Name.size() >= 2 && (Name.front() == '\'' || Name.front() == '"') &&
               Name.back() == Name.front()) {
        Out += Name;
    } else {
        Out += '\'';
        for (const char ch : Name) {
            Out += ch;
            if (ch == '\'') Out += ch;
        }
        Out += '\'';
    }
    if (Out.size() == start) Out += "''";
}

std::string TQBFunctionDef::GetSQL() const {
    std::string sql;
    AppendSQL(sql);
    return sql;
}

void TQBFunctionDef::AppendSQL(std::string& Out) const {
    if (ArgumentCount() > 0) {
        AppendFunctionName(Out, GetParser(), Name);
        Out += '(';
        FArguments->AppendSQL(Out);
        Out += ')';
        return;
    }
    switch (Kind) {
    case fkFunction:
        AppendFunctionName(Out, GetParser(), Name);
        Out += "()";
        break;
    case fkField:
        AppendColumnSQL(Out);
        break;
    case fkString:
        AppendStringSQL(Out);
        break;
    case fkParameter:
        Out += ':';
        Out += Name;
        break;
    default:
        Out += Name;
        break;
    }
}

// --- TQBFunctionDefs ---

TQBFunctionDefs::TQBFunctionDefs(TQBCriterion* OwnerCriterion) : Owner(OwnerCriterion) {}

TQBFunctionDefs::TQBFunctionDefs(TQBTableDef* OwnerTable) : Owner(OwnerTable), FOwnerTable(OwnerTable) {}

TQBFunctionDefs::~TQBFunctionDefs() { Clear(); }

std::unique_ptr<TCollectionItem> TQBFunctionDefs::CreateItem() {
    return std::make_unique<TQBFunctionDef>();
}

TQBFunctionDef* TQBFunctionDefs::FindByName(const std::string& Text) const {
    for (int i = 0; i < Count(); ++i)
        if (SameName(Items(i)->Name, Text)) return Items(i);
    return nullptr;
}

std::string TQBFunctionDefs::GetSQL() const {
    std::string sql;
    AppendSQL(sql);
    return sql;
}

void TQBFunctionDefs::AppendSQL(std::string& Out) const {
    for (int i = 0; i < Count(); ++i) {
        if (i > 0) Out += ", ";
        Items(i)->AppendSQL(Out);
    }
}

// --- TQBFieldDef ---

std::string TQBFieldDef::MakeUniqueAlias(const std::string& Prefix, bool ForceNumber) const {
    if (const TQBTableDefs* tables = TableDefsOfField(*this))
        return tables->MakeUniqueAlias(Prefix, ForceNumber);
    return ForceNumber ? Prefix + "1" : Prefix;
}

std::string TQBFieldDef::FormatAlias(const std::string& Text) const {
    return FormatAliasFor(GetParser(), Text);
}

void TQBFieldDef::AppendSQL(std::string& Out) const {
    TQBFunctionDef::AppendSQL(Out);
    // An alias equal to the name goes without saying only for a column (read back, a
    // column takes its name as alias); any other item would come back as FIELD_n.
    if (Alias.empty() || (Alias == Name && (Kind == fkField || Kind == fkUnknown))) return;
    const TQBDialect* parser = GetParser();
    AppendKeywordPhrase(Out, parser, " AS ");
    AppendAlias(Out, parser, Alias);
}

void TQBFieldDef::SetKind(TQBFunctionKind K) {
    Kind = K;
    if (K != fkUnknown && K != fkField && (Alias == Name || Name.empty() || Alias.empty()))
        Alias = MakeUniqueAlias("FIELD_", true);
}

void TQBFieldDef::Clear() {
    TQBFunctionDef::Clear();
    Alias = Name;
}

void TQBFieldDef::Assign(const TCollectionItem& Source) { AssignTyped<TQBFieldDef, TQBFunctionDef>(*this, Source); }

void TQBFieldDef::Assign(const TQBFieldDef& Source) {
    TQBFunctionDef::Assign(Source);
    if (&Source == this) return;
    Alias = Source.Alias;
    ParamType = Source.ParamType;
    DataType = Source.DataType;
    Value = Source.Value;
}

TQBFieldDefs* TQBFieldDef::GetFieldList() const {
    // Fields are made by field lists and only ever inserted into them.
    return static_cast<TQBFieldDefs*>(GetCollection());
}

std::string TQBFieldDef::TableAlias() const {
    const TQBFieldDefs* list = GetFieldList();
    const TQBTableDef* table = list ? list->GetTable() : nullptr;
    return table ? table->GetAlias() : std::string();
}

void TQBFieldDef::SetSelectIndex(int N) {
    const TQBTableDefs* tables = TableDefsOfField(*this);
    if (!tables) {
        SelectIndex = GetIndex();
        return;
    }
    if (N < 0 || N >= tables->FieldCount()) return;
    const int current = SelectIndex;
    if (current < N) {
        for (int i = current + 1; i <= N; ++i)
            if (TQBFieldDef* field = tables->FieldBySelectIndex(i)) --field->SelectIndex;
    } else if (N < current) {
        for (int i = current - 1; i >= N; --i)
            if (TQBFieldDef* field = tables->FieldBySelectIndex(i)) ++field->SelectIndex;
    }
    SelectIndex = N;
}

void TQBFieldDef::AfterInsertion() {
    TQBFunctionDef::AfterInsertion();
    if (const TQBTableDefs* tables = TableDefsOfField(*this))
        SelectIndex = tables->FieldCount() - 1;
    else
        SelectIndex = GetIndex();
}

void TQBFieldDef::BeforeDestruction() {
    // While the whole model is emptied nothing is left to renumber or to clean.
    if (const TQBStatementRoot* parser = GetParser(); parser && parser->IsClearing()) return;
    if (const TQBTableDefs* tables = TableDefsOfField(*this)) {
        const int count = tables->FieldCount();
        for (int i = SelectIndex + 1; i < count; ++i)
            if (TQBFieldDef* field = tables->FieldBySelectIndex(i); field && field != this)
                --field->SelectIndex;
    } else if (const TQBFieldDefs* list = GetFieldList()) {
        for (int i = 0; i < list->Count(); ++i)
            if (TQBFieldDef* field = list->Items(i); field != this && field->SelectIndex > SelectIndex)
                --field->SelectIndex;
    }
    if (const TQBStatementRoot* parser = GetParser(); parser && !Alias.empty()) {
        if (TQBOrderByItems* order = parser->GetOrderByItems()) {
            for (int i = 0; i < order->Count(); ++i)
                if (SameText(order->Get(i), Alias)) {
                    order->Delete(i);
                    break;
                }
        }
    }
}

// --- TQBFieldDefs ---

std::unique_ptr<TCollectionItem> TQBFieldDefs::CreateItem() { return std::make_unique<TQBFieldDef>(); }

TQBFieldDef* TQBFieldDefs::FindByAlias(const std::string& Text) const {
    for (int i = 0; i < Count(); ++i)
        if (SameName(Items(i)->Alias, Text)) return Items(i);
    return nullptr;
}

void TQBFieldDefs::AppendSQL(std::string& Out) const {
    const std::size_t start = Out.size();
    for (int i = 0; i < Count(); ++i) {
        const TQBFieldDef* field = Items(i);
        if (field->IsInputParam()) continue;
        if (Out.size() != start) Out += ",\r\n";
        Out += "  ";
        field->AppendSQL(Out);
    }
}
