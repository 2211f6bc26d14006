// Lifecycle of the SELECT parser: two-step construction through the factories, Clear,
// destruction in a safe order, the dialect switches of the base dialect, the aggregate
// list, the default operators and the script-format services.
#include "parser/QBParser.h"

#include "lexer/QBScanner.h"
#include "model/QBCriteria.h"
#include "model/QBJoinDefs.h"
#include "model/QBOrderItems.h"
#include "model/QBTableDefs.h"
#include "model/QBWriteContext.h"
#include "parser/QBParseReader.h"
#include "toolkit/TRestoreOnExit.h"
#include "toolkit/TextCompare.h"

TQBSelectParser::TQBSelectParser()
    : FScriptFormat(std::make_unique<TQBScriptFormat>()),
      FWriteContext(std::make_unique<TQBWriteContext>()),
      FReader(std::make_unique<TQBParseReader>()) {}

TQBSelectParser::~TQBSelectParser() {
    // Tables clean up joins, criteria and ORDER BY items as they go: free them while those
    // still exist, and the joins (which point at tables) before the tables.
    if (FJoinDefs) FJoinDefs->Clear();
    if (FTableDefs) FTableDefs->Clear();
    FTableDefs.reset();
    FJoinDefs.reset();
    FWhereItems.reset();
    FHavingItems.reset();
    FGroupByItems.reset();
    FOrderByItems.reset();
    FOperators.reset();
}

void TQBSelectParser::Init() {
    if (FScanner) return;
    FScanner = CreateScanner();
    FTableDefs = CreateTableDefs();
    FTableDefs->SetParser(this);
    FWhereItems = CreateWhereItems();
    FWhereItems->SetParser(this);
    FHavingItems = CreateHavingItems();
    FHavingItems->SetParser(this);
    FGroupByItems = std::make_unique<TQBGroupByItems>(this);
    FOrderByItems = std::make_unique<TQBOrderByItems>(this);
    LoadAggregates();
    FOperators = std::make_unique<TQBOperators>();
    InitOperators();
    Valid = true;
    SetCaseSensitiveIdentifiers(false);
    FJoinDefs = CreateJoinDefs();
    FJoinDefs->SetParser(this);
}

std::unique_ptr<TQBSQLScanner> TQBSelectParser::CreateScanner() {
    return MakeScanner<TQBSQLScanner>();
}

std::unique_ptr<TQBTableDefs> TQBSelectParser::CreateTableDefs() {
    return std::make_unique<TQBTableDefs>();
}

std::unique_ptr<TQBWhereItems> TQBSelectParser::CreateWhereItems() {
    return std::make_unique<TQBWhereItems>();
}

std::unique_ptr<TQBHavingItems> TQBSelectParser::CreateHavingItems() {
    return std::make_unique<TQBHavingItems>();
}

std::unique_ptr<TQBJoinDefs> TQBSelectParser::CreateJoinDefs() {
    return std::make_unique<TQBJoinDefs>();
}

std::string TQBSelectParser::GetAggregatesText() const { return "SUM,MIN,MAX,AVG,COUNT"; }

bool TQBSelectParser::IsJoinWord(const std::string& S) const {
    return SameText(S, "INNER") || SameText(S, "LEFT") || SameText(S, "RIGHT") ||
           SameText(S, "FULL") || SameText(S, "JOIN");
}

void TQBSelectParser::LoadAggregates() {
    FAggregates.Clear();
    FAggregates.SetCommaText(GetAggregatesText());
    FAggregates.SetSorted(true);
}

void TQBSelectParser::InitOperators() {
    FOperators->BeginUpdate();
    FOperators->Clear();
    for (const char* name : {"=", "<>", "<", ">", "<=", ">=", "LIKE", "NOT LIKE"})
        FOperators->AddOperator(name);
    FOperators->AddOperator("IN", 1, "", "(", ")", true);
    FOperators->AddOperator("NOT IN", 1, "", "(", ")", true);
    FOperators->AddOperator("BETWEEN", 2, "AND");
    FOperators->AddOperator("NOT BETWEEN", 2, "AND");
    FOperators->AddOperator("IS NULL", 0);
    FOperators->AddOperator("IS NOT NULL", 0);
    FOperators->EndUpdate();
}

std::string TQBSelectParser::TableAliasSeparator() const { return " "; }
bool TQBSelectParser::UseOuterJoinMarks() const { return false; }
bool TQBSelectParser::ExtendedSyntax() const { return false; }
bool TQBSelectParser::IncludeUnboundFields() const { return true; }
bool TQBSelectParser::SupportsFullOuterJoin() const { return true; }
bool TQBSelectParser::WriteEmptyParams() const { return true; }
bool TQBSelectParser::LowerCaseAliases() const { return false; }

void TQBSelectParser::Clear() {
    // Everything that refers to tables goes first; then the tables skip their clean-up.
    const TRestoreOnExit clearing(FClearing);
    FClearing = true;
    if (FJoinDefs) FJoinDefs->Clear();
    if (FWhereItems) {
        FWhereItems->Clear();
        FWhereItems->GroupKind = gkAll;
    }
    if (FGroupByItems) FGroupByItems->Clear();
    if (FHavingItems) {
        FHavingItems->Clear();
        FHavingItems->GroupKind = gkAll;
    }
    if (FOrderByItems) FOrderByItems->Clear();
    if (FTableDefs) FTableDefs->Clear();
    if (FScanner) FScanner->SetText("");
    FDistinct = false;  // an emptied statement has no DISTINCT left to write
    Valid = true;
}

bool TQBSelectParser::GetDistinct() const { return FDistinct; }
void TQBSelectParser::SetDistinct(bool Value) { FDistinct = Value; }
bool TQBSelectParser::GetCaseSensitiveIdentifiers() const { return FCaseSensitive; }
void TQBSelectParser::SetCaseSensitiveIdentifiers(bool Value) { FCaseSensitive = Value; }

void TQBSelectParser::SetScriptFormat(const TQBScriptFormat& Format) {
    if (&Format != FScriptFormat.get()) FScriptFormat->Assign(Format);
}

bool TQBSelectParser::IsAggregate(const std::string& Name) const {
    // A dozen names, most of another length than Name: a scan by the list's own comparison
    // costs less than the sorted search, which compares letter by letter at every step.
    const bool exact = FAggregates.GetCaseSensitive();
    for (const std::string& aggregate : FAggregates) {
        if (aggregate.size() != Name.size()) continue;
        if (exact ? aggregate == Name : SameText(aggregate, Name)) return true;
    }
    return false;
}
