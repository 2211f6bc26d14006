// The SELECT statement reader: the state machine with one handler per clause, the select
// list, table references with procedure parameters, joins, GROUP BY and ORDER BY lists, and
// the single error report through which every parse error leaves the parser.
#include "lexer/QBScanner.h"
#include "lexer/QBUtils.h"
#include "model/QBCriteria.h"
#include "model/QBJoinDefs.h"
#include "model/QBOrderItems.h"
#include "model/QBTableDefs.h"
#include "parser/QBParseSupport.h"
#include "parser/QBParseReader.h"
#include "parser/QBParser.h"
#include "toolkit/TRestoreOnExit.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <memory>
#include <utility>

using namespace qbparse;

void TQBSelectParser::ParseSQL(const std::string& Text) {
    FErrorCode = 0;
    FReader->ErrorLine = 0;
    try {
        FScanner->SetText(Text);
        if (AtEnd(*FScanner)) {
            // A text that starts with ";" and goes on is no empty statement: it is refused
            // at the first token after the semicolons.
            while (FScanner->GetToken() == ";" && AtEnd(*FScanner)) Next(*FScanner);
            if (!FScanner->GetToken().empty()) {
                if (FScanner->GetInQuote() && FScanner->GetPosition() > FScanner->GetLength())
                    Next(*FScanner);  // an open quote at the end: error 3
                const std::string token = FScanner->GetToken();
                const int line = FScanner->GetLine();
                const int column = FScanner->GetColumn();
                Clear();
                ReportError(qpeUnexpectedToken, token, line, column);
                return;
            }
            Clear();
            return;
        }
        Parse();
    } catch (const EQBParserError&) {
        // The scanner's unterminated-quote error leaves the parse directly.
        Valid = false;
        throw;
    }
    FScanner->Reset();
}

bool qbparse::HoldsHighBytes(std::string_view S) {
    // Whole statements pass here: 32 bytes are tested at a time, then 8, then single bytes.
    constexpr std::uint64_t high = 0x8080808080808080ULL;
    const auto load = [&S](std::size_t at) {
        std::uint64_t word;
        std::memcpy(&word, S.data() + at, sizeof word);
        return word;
    };
    std::size_t i = 0;
    for (; i + 32 <= S.size(); i += 32)
        if (((load(i) | load(i + 8) | load(i + 16) | load(i + 24)) & high) != 0) return true;
    for (; i + 8 <= S.size(); i += 8)
        if ((load(i) & high) != 0) return true;
    for (; i < S.size(); ++i)
        if (static_cast<unsigned char>(S[i]) >= 128) return true;
    return false;
}

void TQBSelectParser::ReportParserError(int Code, const std::string& Token, int Line, int Column) {
    ReportError(Code, Token, Line, Column);
}

void TQBSelectParser::ReportError(int Code, const std::string& Token, int Line, int Column) {
    Valid = false;
    EQBParserError error(Code, Token, Line, Column - static_cast<int>(Token.size()));
    if (OnParserError) {
        OnParserError(this, error.what(), error.Token, error.LineNo, error.LinePos);
        return;
    }
    throw error;
}

int TQBSelectParser::ErrorCodeForToken(const std::string& Token) const {
    return Token.empty() ? qpeUnexpectedEnd : qpeUnexpectedToken;
}

TQBTableDef* TQBSelectParser::FindQualifierTable(const std::string& Qualifier) const {
    if (TQBTableDef* table = FTableDefs->FindByAlias(Qualifier)) return table;
    if (Qualifier.empty()) return nullptr;
    // A qualifier held quoted (next to a part wrapped for its point) names the same table.
    // Only a name that starts with a quote comes back changed without its quotes, and only
    // such a name or one that needs quotes comes back changed with them.
    const bool startsQuoted = StartsQuoted(*FScanner, Qualifier);
    if (startsQuoted) {
        const std::string unquoted = FScanner->UnquoteName(Qualifier);
        if (unquoted != Qualifier)
            if (TQBTableDef* table = FTableDefs->FindByAlias(unquoted)) return table;
    }
    if (startsQuoted || FScanner->NeedsQuotes(Qualifier)) {
        const std::string quoted = FScanner->QuoteIdentifier(Qualifier);
        if (quoted != Qualifier)
            if (TQBTableDef* table = FTableDefs->FindByAlias(quoted)) return table;
    }
    // An alias that needed quotes is held quoted where the dialect writes aliases as they are.
    if (!FScanner->QuoteAliases() && FScanner->NeedsQuotes(Qualifier))
        if (TQBTableDef* table = FTableDefs->FindByAlias(FScanner->QuoteIdentifier(Qualifier)))
            return table;
    // `Orders.x` with `FROM dbo.Orders`: the bare name of a table written with its schema
    // and without an alias names that table.
    const char open = FScanner->IdentQuoteChar();
    const char close = FScanner->ClosingQuote(open);
    for (int i = 0; i < FTableDefs->Count(); ++i) {
        TQBTableDef* table = FTableDefs->Items(i);
        const std::string& name = table->GetTableName();
        if (table->IsBlank() || table->GetAlias() != name) continue;
        if (FReader->Reading && !FReader->NamedSoFar(table))
            continue;
        if (ExtractQualifier(name, open, close).empty()) continue;
        if (FTableDefs->SameName(ExtractLastName(name, open, close), Qualifier)) return table;
    }
    return FindTableByParts(Qualifier);
}

namespace {

// The parts of a dotted name without their quotes, joined by a byte no name holds.
std::string PartsKey(const TQBSQLScanner& Scanner, const std::string& Name) {
    const char open = Scanner.IdentQuoteChar();
    const char close = Scanner.ClosingQuote(open);
    std::vector<std::string> parts;
    std::string rest = Name;
    for (std::string qualifier = ExtractQualifier(rest, open, close); !qualifier.empty();
         qualifier = ExtractQualifier(rest, open, close)) {
        parts.push_back(Scanner.UnquoteName(ExtractLastName(rest, open, close)));
        rest = std::move(qualifier);
    }
    std::string key = Scanner.UnquoteName(rest);
    for (auto part = parts.rbegin(); part != parts.rend(); ++part) key += '\x1F' + *part;
    return key;
}

}  // namespace

TQBTableDef* TQBSelectParser::FindTableByParts(const std::string& Name) const {
    if (IsBlankText(Name)) return nullptr;
    const char open = FScanner->IdentQuoteChar();
    const char close = FScanner->ClosingQuote(open);
    const auto quoted = [open, close](const std::string& Text) {
        return Text.find(open) != std::string::npos || Text.find(close) != std::string::npos;
    };
    // Two names without quotes compare as they are, which the plain lookups have done.
    const bool nameQuoted = quoted(Name);
    std::string key;
    for (int i = 0; i < FTableDefs->Count(); ++i) {
        TQBTableDef* table = FTableDefs->Items(i);
        if (table->IsBlank() || (!nameQuoted && !quoted(table->Key()))) continue;
        if (key.empty()) key = PartsKey(*FScanner, Name);
        if (FTableDefs->SameName(PartsKey(*FScanner, table->Key()), key)) return table;
    }
    return nullptr;
}

bool TQBSelectParser::NamesLaterTable() {
    // A join side whose qualifier named no table keeps its text (`ON s.id = o.id`). When a
    // table of that name comes after the JOIN (later in the FROM clause, or made by the select
    // list and so written in the FROM clause), SQL Server cannot bind the side, and the
    // statement written would bind it to that table when read again: such a statement is
    // refused once the FROM clause has been read. Every table counts, as it will when the
    // written statement is read.
    std::vector<std::string>& unbound = FReader->UnboundQualifiers;
    if (unbound.empty()) return false;
    const TRestoreOnExit reading(FReader->Reading);
    FReader->Reading = false;
    const bool named = std::any_of(unbound.begin(), unbound.end(), [this](const std::string& q) {
        return FindQualifierTable(q) != nullptr;
    });
    unbound.clear();
    return named;
}

void TQBSelectParser::FailAt(const std::string& Token, int Line, int Column) {
    FState = psError;
    FReader->ErrorToken = Token;
    FReader->ErrorLine = Line;
    FReader->ErrorColumn = Column;
}

void TQBSelectParser::Parse() {
    Valid = true;
    // Clearing empties the scanner's text too: it is kept aside, in storage reused by every
    // parse. Clear empties what refers to tables before the tables themselves.
    std::string& text = FReader->Text;
    text.assign(FScanner->GetText());
    Clear();
    FState = psSelect;
    FLastTableName.clear();
    FLastTableKey.clear();
    FReader->JoinTableKey.clear();
    FReader->JoinFollowedKey.clear();
    FReader->FromTables.clear();
    FReader->UnboundQualifiers.clear();
    FLastJoinType = 0;
    FScanner->SetText(text);
    const TRestoreOnExit reading(FReader->Reading, FReader->TextHoldsHighBytes);
    FReader->Reading = true;
    FReader->TextHoldsHighBytes = HoldsHighBytes(text);

    while (FState != psError && FState != psDone) {
        switch (FState) {
            case psSelect: ParseSelectKeyword(); break;
            case psOptions: ParseSelectOptions(); break;
            case psFields: ParseSelectList(); break;
            case psReserved: ParseReserved(); break;
            case psFrom: ParseFromKeyword(); break;
            case psTables: ParseFromList(); break;
            case psWhere: ParseWhere(); break;
            case psGroupBy: ParseGroupBy(); break;
            case psHaving: ParseHaving(); break;
            case psOrderBy: ParseOrderBy(); break;
            case psUnexpected: ParseUnexpected(); break;
            default: FState = psError; break;
        }
        if (FState == psError) break;
        if (FState != psTables && FState != psFrom && NamesLaterTable()) {
            FErrorCode = qpeInvalidJoin;
            FState = psError;
            break;
        }
        // A word that may not follow stays an error also at the end of the text.
        if (AtEnd(*FScanner) && FState != psUnexpected)
            FState = psDone;
        else if (FState != psFields && FState != psTables && FState != psUnexpected)
            Next(*FScanner);
    }
    FReader->FromTables.clear();
    if (FState == psError) {
        // A quote left open at the end of the text is reported as such (error 3).
        if (FScanner->GetInQuote() && FScanner->GetPosition() > FScanner->GetLength())
            Next(*FScanner);
        if (FReader->ErrorLine != 0) {
            ReportError(FErrorCode != 0 ? FErrorCode : ErrorCodeForToken(FReader->ErrorToken), FReader->ErrorToken,
                        FReader->ErrorLine, FReader->ErrorColumn);
            return;
        }
        const std::string token = FScanner->GetToken();
        ReportError(FErrorCode != 0 ? FErrorCode : ErrorCodeForToken(token), token,
                    FScanner->GetLine(), FScanner->GetColumn());
    }
}

void TQBSelectParser::ParseSelectKeyword() {
    FState = IsWord(*FScanner, "SELECT") ? psOptions : psError;
}

void TQBSelectParser::ParseSelectOptions() {
    TQBSQLScanner& scanner = *FScanner;
    FDistinct = scanner.GetTokenKinds().Contains(qtkKeyword) && IsWord(scanner, "DISTINCT");
    if (FDistinct) Next(scanner);
    const TQBTokenKinds itemStart =
        qtkFunction | qtkInteger | qtkFloat | qtkString | qtkIdentifier | qtkBoolean;
    FState = IsSymbol(scanner, "*") || IsSymbol(scanner, "(") ||
                     scanner.GetTokenKinds().ContainsAny(itemStart)
                 ? psFields
                 : psError;
}

void TQBSelectParser::ParseReserved() { FState = psError; }

void TQBSelectParser::ParseUnexpected() { FState = psError; }

void TQBSelectParser::ParseSelectField() {
    // The item is read on its own, then moved into the field list of the table its
    // qualifier names, which is known only once the item has been read.
    auto owned = std::make_unique<TQBFieldDef>();
    TQBFieldDef& field = *owned;
    field.SetParser(this);
    TQBTableDef* table = nullptr;
    ParseOperand(&field, table, qtkKeyword, "AS", poCreateTable | poAllowAlias);
    if (field.Alias.empty() && field.Kind != fkField && field.Kind != fkUnknown)
        field.Alias = FTableDefs->MakeUniqueAlias("FIELD_", true);
    if (FState == psError) return;
    // Nothing between two commas is no item: it is not kept, so it cannot make the blank
    // table that a join condition's literal side would then find.
    if (field.Kind == fkUnknown && field.Name.empty() && field.Alias.empty()) return;
    if (!table || table->IsBlank()) {
        table = FTableDefs->FindByAlias("");
        if (!table) table = FTableDefs->Add();
    }
    TQBFieldDefs& fields = table->Fields();
    fields.InsertItem(fields.Count(), std::move(owned));
}

void TQBSelectParser::ParseSelectList() {
    TQBSQLScanner& scanner = *FScanner;
    while (FState != psError && FState != psDone && FState != psFrom) {
        const int position = scanner.GetPosition();
        if (AtEnd(scanner)) {
            FState = psDone;
        } else if (IsPlainKeyword(scanner)) {
            FState = IsWord(scanner, "FROM") ? psFrom : psError;
        } else {
            ParseSelectField();
            if (FState == psError) break;
            if (IsSymbol(scanner, ","))
                Next(scanner);
            else if (IsSymbol(scanner, ")"))
                FState = psError;
            else if (scanner.GetPosition() == position && !AtEnd(scanner))
                FState = psError;  // nothing could be read here
        }
    }
    if (FState == psError) {
        FTableDefs->Clear();
    } else if (FTableDefs->Count() == 1 && Trim(FTableDefs->Items(0)->Fields().GetSQL()) == "*") {
        FTableDefs->Items(0)->Fields().Clear();
    }
}

void TQBSelectParser::ParseFromKeyword() {
    FState = FScanner->GetTokenKinds().ContainsAny(qtkIdentifier | qtkString) ? psTables : psError;
}

void TQBSelectParser::ParseFromList() {
    TQBSQLScanner& scanner = *FScanner;
    const auto inClauseStates = [this] { return FState >= psWhere && FState <= psUnexpected; };
    while (FState != psError && FState != psDone && !inClauseStates()) {
        const int position = scanner.GetPosition();
        const TQBTokenKinds kinds = scanner.GetTokenKinds();
        const std::string token = scanner.GetToken();
        if (AtEnd(scanner)) {
            FState = psDone;
        } else if (kinds.Contains(qtkKeyword) && !kinds.ContainsAny(qtkIdentifier | qtkString)) {
            if (IsJoinWord(token)) {
                ParseJoin();
                while (FState != psError && IsWord(scanner, "AND")) ParseJoin();
                if (FState != psError && IsSymbol(scanner, ",")) Next(scanner);
            } else if (SameText(token, "CROSS")) {
                // CROSS JOIN reads like a comma, also right after a join condition.
                std::string next;
                scanner.PeekToken(next);
                if (!SameText(next, "JOIN")) {
                    FState = psUnexpected;
                } else {
                    Next(scanner);
                    Next(scanner);
                }
            } else if (SameText(token, "WHERE")) {
                FState = psWhere;
            } else if (SameText(token, "HAVING")) {
                FState = psHaving;
            } else if (!FollowedByBy("GROUP", psGroupBy) && !FollowedByBy("ORDER", psOrderBy)) {
                FState = psUnexpected;
            }
        } else {
            ParseTableRef();
            if (FState != psError && IsSymbol(scanner, ",")) Next(scanner);
        }
        if (FState == psTables && scanner.GetPosition() == position && !AtEnd(scanner))
            FState = psError;  // nothing could be read here
    }
    if (FState == psError)
        FTableDefs->Clear();
    else
        FJoinDefs->BindAll();
}

// One table reference being read: its dotted name, the parameters of a procedure call and
// its alias; then the table definition it names is found, completed or made.
class TQBTableRefReader {
public:
    explicit TQBTableRefReader(TQBSelectParser& Parser)
        : FParser(Parser), FScanner(*Parser.FScanner), FParts(Parser.FReader->TableNameParts) {
        FParts.clear();
    }

    // The table definition the reference names; null when it cannot be read.
    TQBTableDef* Read();

private:
    bool ReadName();
    void AddNamePart();
    bool ReadParams();
    bool ReadAlias();
    TQBTableDef* FindNamed() const;
    TQBTableDef* FindByBareName() const;
    TQBTableDef* Store(TQBTableDef* Table);
    // Keeps where the token that names the reference stands, for an error found after it.
    void MarkKey() {
        FKeyLine = FScanner.GetLine();
        FKeyColumn = FScanner.GetColumn();
    }
    const std::string& LastPart() const { return FParts.size() == 1 ? FTableName : FParts.back(); }
    // The token that names the reference: its alias as read, else its last name part.
    const std::string& KeyToken() const {
        if (!FAliasWritten) return LastPart();
        return FRawAlias.empty() ? FAlias : FRawAlias;
    }
    bool Fail() {
        FParser.FState = psError;
        return false;
    }

    TQBSelectParser& FParser;
    TQBSQLScanner& FScanner;
    std::vector<std::string>& FParts;
    std::string FTableName;
    // The parameters of a procedure call, read into a definition of their own made only
    // for a call.
    std::unique_ptr<TQBTableDef> FProcedure;
    std::string FAlias;
    // The alias as read, kept only when quoting has changed it.
    std::string FRawAlias;
    bool FAliasWritten = false;
    int FKeyLine = 0;
    int FKeyColumn = 0;
};

// Appends the current token to the name parts: as read, or held in its quotes when it is a
// quoted star or holds an opening bracket (see IsQuotedStar and HoldsOpeningQuote). A table
// may be named by quoted text (`FROM "x"`): a star so quoted is a name too.
void TQBTableRefReader::AddNamePart() {
    if (FScanner.GetInQuote() && IsBlankStar(FScanner.GetToken()))
        FParts.push_back(QuotedStar(FScanner));
    else if (HoldsOpeningQuote(FScanner))
        FParts.push_back(WrappedToken(FScanner));
    else
        FParts.push_back(FScanner.GetToken());
}

// The dotted name, which must be followed by what may follow a table reference.
bool TQBTableRefReader::ReadName() {
    // A table reference starts with a name (a symbol here is no table).
    if (!FScanner.GetTokenKinds().ContainsAny(qtkIdentifier | qtkString) ||
        IsUnwritableName(FScanner, true))
        return Fail();
    MarkKey();
    AddNamePart();
    Next(FScanner);
    while (IsSymbol(FScanner, ".")) {
        Next(FScanner);
        if (!FScanner.GetTokenKinds().Contains(qtkIdentifier) || IsUnwritableName(FScanner))
            return Fail();
        AddNamePart();
        MarkKey();
        Next(FScanner);
    }
    FTableName = FParts.size() == 1 ? std::move(FParts.front()) : JoinNameParts(FScanner, FParts);
    // A blank name (`[ ]`) would be taken for the blank table, the one of no name.
    if (IsBlankText(StartsQuoted(FScanner, FTableName) ? FScanner.UnquoteName(FTableName)
                                                       : FTableName)) {
        FParser.FailAt(LastPart(), FKeyLine, FKeyColumn);
        return false;
    }
    return AtEnd(FScanner) || IsSymbol(FScanner, ",") || IsSymbol(FScanner, "(") ||
           FScanner.GetTokenKinds().ContainsAny(qtkIdentifier | qtkKeyword) || Fail();
}

// The parameter list of a procedure call; an unclosed one is an error, not a statement.
bool TQBTableRefReader::ReadParams() {
    FProcedure = std::make_unique<TQBTableDef>();
    FProcedure->SetParser(&FParser);
    FProcedure->SetTableName(FTableName);
    Next(FScanner);
    FParser.ParseParams(FProcedure.get());
    if (FParser.FState == psError || !IsSymbol(FScanner, ")")) return Fail();
    Next(FScanner);
    return true;
}

// The alias after the name or AS; without one the name is the alias.
bool TQBTableRefReader::ReadAlias() {
    if (FScanner.GetTokenKinds().Contains(qtkKeyword) && IsWord(FScanner, "AS")) Next(FScanner);
    if (IsUnwritableName(FScanner)) return Fail();
    if (!FScanner.GetTokenKinds().Contains(qtkIdentifier)) {
        FAlias = FTableName;
        return true;
    }
    // A blank alias (`[ ]`) would make the table's columns look like the blank table's.
    if (IsBlankText(FScanner.GetToken())) return Fail();
    FAlias = IsQuotedStar(FScanner) ? QuotedStar(FScanner) : FScanner.GetToken();
    MarkKey();
    // A dialect that writes aliases as they are keeps one that needs quotes quoted.
    if (!FScanner.QuoteAliases() && FScanner.NeedsQuotes(FAlias)) {
        FRawAlias = FAlias;
        FAlias = FScanner.QuoteIdentifier(FRawAlias);
    }
    FAliasWritten = true;
    Next(FScanner);
    return true;
}

// The table definition the select list has made for this reference already, if any.
TQBTableDef* TQBTableRefReader::FindNamed() const {
    TQBTableDefs& tables = *FParser.FTableDefs;
    TQBTableDef* table = tables.FindByAlias(FAlias);
    if (!table && !FRawAlias.empty() && FRawAlias != FAlias) table = tables.FindByAlias(FRawAlias);
    if (!table && (StartsQuoted(FScanner, FAlias) || FScanner.NeedsQuotes(FAlias))) {
        // The select list may hold the name quoted (`[Order].[a.b]`).
        const std::string quoted = FScanner.QuoteIdentifier(FAlias);
        if (quoted != FAlias) table = tables.FindByAlias(quoted);
    }
    // The select list may hold the name with other quotes (`[a#].[s]` for `[a#].s`).
    if (!table) table = FParser.FindTableByParts(FAlias);
    if (!table && !FAliasWritten) table = FindByBareName();
    return table;
}

// The select list may have met this table by its bare name (`Orders.x` before
// `FROM dbo.Orders`): that definition is completed instead of adding a second table.
TQBTableDef* TQBTableRefReader::FindByBareName() const {
    const char open = FScanner.IdentQuoteChar();
    const char close = FScanner.ClosingQuote(open);
    if (ExtractQualifier(FTableName, open, close).empty()) return nullptr;
    const std::string bare = ExtractLastName(FTableName, open, close);
    TQBTableDefs& tables = *FParser.FTableDefs;
    for (int i = 0; i < tables.Count(); ++i) {
        TQBTableDef* candidate = tables.Items(i);
        if (!candidate->IsBlank() && candidate->GetAlias() == candidate->GetTableName() &&
            tables.SameName(candidate->GetAlias(), bare) && !FParser.FReader->NamedSoFar(candidate))
            return candidate;
    }
    return nullptr;
}

// Completes Table, or makes the definition: a table met first here is named as read, and
// no joins or sorting refer to it yet.
TQBTableDef* TQBTableRefReader::Store(TQBTableDef* Table) {
    if (Table) {
        if (FProcedure)
            for (int i = 0; i < FProcedure->Fields().Count(); ++i)
                Table->Fields().Add()->Assign(*FProcedure->Fields().Items(i));
        Table->IsProcedure = FProcedure != nullptr;
        Table->SetTableName(FTableName);
        Table->SetAlias(FAlias);
    } else if (FProcedure) {
        Table = FParser.FTableDefs->Add();
        FProcedure->SetAlias(FAlias);
        Table->Assign(*FProcedure);
    } else {
        Table = FParser.FTableDefs->Add();
        Table->SetTableName(FTableName);
        Table->SetAlias(FAlias);
    }
    return Table;
}

TQBTableDef* TQBTableRefReader::Read() {
    if (!ReadName()) return nullptr;
    if (IsSymbol(FScanner, "(") && !ReadParams()) return nullptr;
    if (!ReadAlias()) return nullptr;
    TQBTableDef* table = FindNamed();
    if (table && FParser.FReader->NamedSoFar(table)) {
        // The FROM clause names this table a second time by the same name. SQL refuses
        // that, and taking both references for one table would lose one of them.
        FParser.FailAt(KeyToken(), FKeyLine, FKeyColumn);
        return nullptr;
    }
    return Store(table);
}

TQBTableDef* TQBSelectParser::ParseTableRef() {
    TQBTableDef* table = TQBTableRefReader(*this).Read();
    if (!table) return nullptr;
    FReader->FromTables.push_back(table);
    FLastTableName = table->GetTableName();
    FLastTableKey = table->Key();
    TQBSQLScanner& scanner = *FScanner;
    if (scanner.GetTokenKinds().Contains(qtkKeyword) && IsWord(scanner, "CROSS")) {
        std::string next;
        scanner.PeekToken(next);
        if (SameText(next, "JOIN")) {
            Next(scanner);
            Next(scanner);
        }
    }
    return table;
}

namespace {

// True when Text is a whole number that fits Value, which it then holds.
bool ParsesWhole(const std::string& Text, std::int64_t& Value) {
    const auto result = std::from_chars(Text.data(), Text.data() + Text.size(), Value);
    return result.ec == std::errc() && result.ptr == Text.data() + Text.size();
}

}  // namespace

void TQBSelectParser::ParseParams(TQBTableDef* TableDef) {
    TQBSQLScanner& scanner = *FScanner;
    TableDef->IsProcedure = true;
    while (!AtEnd(scanner) && !IsSymbol(scanner, ")")) {
        const int position = scanner.GetPosition();
        TQBFieldDef* field = TableDef->Fields().Add();
        const bool named = IsSymbol(scanner, ":");
        if (named) Next(scanner);
        // `::p` would lose a colon each time the call is written and read again.
        if (named && IsSymbol(scanner, ":")) {
            FState = psError;
            return;
        }
        TQBTableDef* scratch = nullptr;
        // Parameters name no table: no table definition is made for a dotted value.
        ParseOperand(field, scratch, TQBTokenKinds(), "NULL", 0);
        if (FState == psError) return;
        // An empty parameter (`f(1,,2)`, `f(1, )`) is no value: SQL refuses it, and a
        // trailing one would be lost when the call is read back.
        if (FReader->LastOperandText.empty()) {
            FState = psError;
            return;
        }
        // A name passed as a value (`a.b`, `[c d]`) names no column here, and what follows
        // the colon of a named parameter is written back after it: both are kept as written,
        // qualifier and quotes included (`:'x'` is no `:x`).
        if (named || field->Kind == fkField) field->Name = FReader->LastOperandText;
        if (named) {
            field->Value = TVariant();
        } else if (SameText(field->Name, "NULL") && field->Kind != fkString) {
            field->Value = TVariant::MakeNull();
        } else if (std::int64_t value = 0; field->Kind == fkInteger && ParsesWhole(field->Name, value)) {
            field->DataType = ftInteger;
            field->Value = TVariant(value);
        } else {
            // Text that is no whole number (`1+`, too many digits) is kept as written, not
            // turned into 0.
            field->Value = TVariant(field->Name);
            field->DataType = field->Kind == fkString ? ftString : ftUnknown;
        }
        field->ParamType = ptInput;
        if (IsSymbol(scanner, ",")) {
            Next(scanner);
            if (IsSymbol(scanner, ")")) {  // a comma before the closing bracket
                FState = psError;
                return;
            }
        }
        if (scanner.GetPosition() == position) {
            FState = psError;
            return;
        }
    }
}

namespace {

// One side of a join condition as the join definition holds it.
struct TJoinSide {
    TQBTableDef* Table;
    std::string Field;
    TQBFunctionKind Kind;
};

// The side of Operand, read as Text, naming Table; its strings are moved out. The qualifier
// of a column that names no table is added to Unbound.
TJoinSide MakeJoinSide(const TQBSQLScanner& Scanner, TQBFieldDef& Operand, TQBTableDef* Table,
                       std::string& Text, std::vector<std::string>& Unbound) {
    if (Operand.Kind != fkField || Operand.ArgumentCount() != 0)
        return {Table, std::move(Text), Operand.Kind == fkField ? fkExpression : Operand.Kind};
    // A column whose qualifier names no table of the statement (`x.y`) keeps its whole
    // dotted text: its name alone would be another column.
    if (!Table) {
        const char open = Scanner.IdentQuoteChar();
        if (std::string qualifier = ExtractQualifier(Text, open, Scanner.ClosingQuote(open));
            !qualifier.empty()) {
            Unbound.push_back(std::move(qualifier));
            return {nullptr, std::move(Text), fkExpression};
        }
    }
    return {Table, std::move(Operand.Name), fkField};
}

}  // namespace

void TQBSelectParser::ParseJoin() {
    TQBSQLScanner& scanner = *FScanner;
    const auto fail = [this] { FState = psError; };

    // 1-3. The join type and the JOIN (or AND) word.
    const bool continued = IsWord(scanner, "AND");
    std::uint8_t joinType = 0;
    if (continued)
        joinType = FLastJoinType;
    else if (IsWord(scanner, "LEFT"))
        joinType = 1;
    else if (IsWord(scanner, "RIGHT"))
        joinType = 2;
    else if (IsWord(scanner, "FULL"))
        joinType = 3;
    if (!continued && joinType != 0) {
        Next(scanner);
        if (IsWord(scanner, "OUTER")) Next(scanner);
    } else if (IsWord(scanner, "INNER")) {
        Next(scanner);
    }
    if (!IsWord(scanner, "JOIN") && !IsWord(scanner, "AND")) return fail();
    const bool isAnd = IsWord(scanner, "AND");
    if (!isAnd) Next(scanner);

    // 4-5. The anchor and the joined table.
    if (FLastTableKey.empty() || !FTableDefs->FindByAlias(FLastTableKey)) return fail();
    if (!isAnd) {
        std::string anchor = FLastTableKey;
        TQBTableDef* joined = ParseTableRef();
        FLastTableKey = anchor;
        if (FState == psError || !joined || !IsWord(scanner, "ON")) return fail();
        FReader->JoinTableKey = joined->Key();
        FReader->JoinFollowedKey = std::move(anchor);
    }

    // 6. The comparison.
    Next(scanner);
    while (IsSymbol(scanner, "(")) Next(scanner);
    const TQBTokenKinds stop = qtkKeyword | qtkComparison | qtkOperator;
    TQBFieldDef left;
    left.SetParser(this);
    TQBTableDef* leftTable = nullptr;
    ParseOperand(&left, leftTable, stop, "", poStopAtJoinWords);
    std::string leftText = std::move(FReader->LastOperandText);
    if (FState == psError || !scanner.GetTokenKinds().Contains(qtkComparison)) return fail();
    std::string op = scanner.GetToken();
    Next(scanner);
    TQBFieldDef right;
    right.SetParser(this);
    TQBTableDef* rightTable = nullptr;
    ParseOperand(&right, rightTable, stop, "", poStopAtJoinWords);
    std::string rightText = std::move(FReader->LastOperandText);
    if (FState == psError) return fail();
    while (IsSymbol(scanner, ")")) Next(scanner);

    // 7. Tables check. A side without a qualifier finds the blank table definition, but
    // only a real table takes part in a join.
    const bool found =
        ExtendedSyntax() ? (leftTable || rightTable) : (leftTable && rightTable);
    TQBTableDef* leftReal = leftTable && !leftTable->IsBlank() ? leftTable : nullptr;
    TQBTableDef* rightReal = rightTable && !rightTable->IsBlank() ? rightTable : nullptr;
    // A condition may name only tables the FROM clause has read so far (the joined one
    // included): a table met elsewhere alone cannot be joined here, and SQL refuses it too.
    const auto readSoFar = [this](const TQBTableDef* Table) {
        return !Table || FReader->NamedSoFar(Table);
    };
    if (!found || leftText.empty() || rightText.empty() || (!leftReal && !rightReal) ||
        !readSoFar(leftReal) || !readSoFar(rightReal)) {
        FErrorCode = qpeInvalidJoin;
        return fail();
    }

    // The operands and their texts are not needed after this: their strings are moved.
    TJoinSide a = MakeJoinSide(scanner, left, leftReal, leftText, FReader->UnboundQualifiers);
    TJoinSide b = MakeJoinSide(scanner, right, rightReal, rightText, FReader->UnboundQualifiers);
    // The left side names the table read first: exchange the sides, mirroring the
    // comparison, when only the right side names a table, or when the left side names the
    // joined table and the right side one read before it. An outer join keeps its meaning.
    const TQBTableDef* joinedTable = FTableDefs->FindByAlias(FReader->JoinTableKey);
    if ((!a.Table && b.Table) ||
        (a.Table && b.Table && a.Table == joinedTable && b.Table != joinedTable)) {
        std::swap(a, b);
        op = MirrorComparison(op);
    }

    // 8-9. The join definition.
    FLastTableKey = a.Table->Key();
    TQBJoinDef* join = FJoinDefs->Add();
    join->LeftTable = a.Table->Key();
    join->LeftField = std::move(a.Field);
    join->LeftKind = a.Kind;
    join->RightTable = b.Table ? b.Table->Key() : std::string();
    join->RightField = std::move(b.Field);
    join->RightKind = b.Kind;
    join->Operator = std::move(op);
    // A condition whose sides name one table (`c.Region = c.ShipRegion`, `c.x = 5`) links
    // that table with the other table of its JOIN clause, so it stays in that ON clause.
    if (b.Table && b.Table != a.Table) {
        join->PreferredTable = b.Table->Key();
    } else if (a.Table == joinedTable) {
        // A condition on the joined table alone belongs with the table the JOIN follows.
        join->PreferredTable = FReader->JoinFollowedKey;
        join->PreferredFollowed = true;
    } else {
        join->PreferredTable = FReader->JoinTableKey;
    }
    FLastJoinType = joinType;
    join->JoinType = joinType;
}

bool TQBSelectParser::FollowedByBy(const char* Word, TQBParseState State) {
    TQBSQLScanner& scanner = *FScanner;
    if (!scanner.GetTokenKinds().Contains(qtkKeyword) || !IsWord(scanner, Word)) return false;
    // GROUP or ORDER without BY is left current, so that the error names it.
    std::string next;
    scanner.PeekToken(next);
    if (!SameText(next, "BY")) return false;
    Next(scanner);
    FState = State;
    return true;
}

void TQBSelectParser::ParseWhere() {
    TQBSQLScanner& scanner = *FScanner;
    ParseCriteria(FWhereItems.get());
    if (FState == psError) return;
    if (AtEnd(scanner)) {
        FState = psDone;
        return;
    }
    if (IsWord(scanner, "HAVING"))
        FState = psHaving;
    else if (!FollowedByBy("GROUP", psGroupBy) && !FollowedByBy("ORDER", psOrderBy))
        FState = psUnexpected;
}

void TQBSelectParser::ParseHaving() {
    TQBSQLScanner& scanner = *FScanner;
    ParseCriteria(FHavingItems.get());
    if (FState == psError) return;
    if (AtEnd(scanner))
        FState = psDone;
    else if (!FollowedByBy("ORDER", psOrderBy))
        FState = psUnexpected;
}

namespace {

// Whether Token may be part of a GROUP BY or ORDER BY name: a name, a number (a position),
// a point, or any word right after a point.
bool IsNamePart(const TQBSQLScanner& Scanner, const std::string& Pending) {
    const TQBTokenKinds kinds = Scanner.GetTokenKinds();
    if (kinds.Contains(qtkEnd) || IsUnwritableName(Scanner)) return false;
    if (IsSymbol(Scanner, ".")) return !Pending.empty() && Pending.back() != '.';
    if (kinds.ContainsAny(qtkIdentifier | qtkInteger | qtkFunction)) return true;
    return !Pending.empty() && Pending.back() == '.' && kinds.Contains(qtkKeyword);
}

// Appends the token as part of a GROUP BY or ORDER BY name to Out: a quoted name made of
// digits keeps its quotes, so that it is not taken for a position in the select list, and
// so does a quoted star, which is no star of all columns. True when the part keeps quotes.
bool AppendNamePart(std::string& Out, const TQBSQLScanner& Scanner) {
    const std::string& token = Scanner.GetToken();
    if (!Scanner.GetInQuote()) {
        Out += token;
        return false;
    }
    const std::size_t at = Out.size();
    if (Scanner.IsNumber(token))
        Out += Scanner.QuoteIdentifier(token);
    else if (IsQuotedStar(Scanner))
        Out += QuotedStar(Scanner);
    else if (HoldsOpeningQuote(Scanner))
        Out += WrappedToken(Scanner);
    else
        Out += token;
    return Out.size() > at && Scanner.IsIdentQuote(Out[at]);
}

// Reads the comma-separated names of GROUP BY or ORDER BY up to the next keyword or the end
// of the statement and hands each to Add with its direction (ASC/DESC are read only when
// WithDirections). A name whose part is kept in quotes is joined as table names are, so
// that every part is quoted where it needs it. Returns false at a token that belongs to no
// name.
template <class TAdd>
bool ReadNameList(TQBSQLScanner& Scanner, TQBParseReader& Reader, bool WithDirections, TAdd Add) {
    std::string pending;
    // Where each part of the pending name starts, and whether one is kept in quotes.
    std::vector<std::size_t>& starts = Reader.NamePartStarts;
    starts.clear();
    bool quotedPart = false;
    std::vector<std::string>& parts = Reader.TableNameParts;
    int direction = sdAscending;
    for (;;) {
        const bool keyword = Scanner.GetTokenKinds().Contains(qtkKeyword);
        const bool end = AtEnd(Scanner);
        if (pending.empty() && (keyword || end)) return true;
        if (pending.empty() || pending.back() == '.' || IsSymbol(Scanner, ".")) {
            // `GROUP BY t.` at the end of the text is an error, not an endless loop.
            if (!IsNamePart(Scanner, pending)) return false;
            if (IsSymbol(Scanner, ".")) {
                pending += '.';
            } else {
                starts.push_back(pending.size());
                quotedPart = AppendNamePart(pending, Scanner) || quotedPart;
            }
        } else if (WithDirections && keyword && IsWord(Scanner, "ASC")) {
            direction = sdAscending;
        } else if (WithDirections && keyword && IsWord(Scanner, "DESC")) {
            direction = sdDescending;
        } else if (IsSymbol(Scanner, ",") || keyword || end) {
            if (quotedPart && starts.size() > 1) {
                parts.clear();
                starts.push_back(pending.size() + 1);
                for (std::size_t i = 0; i + 1 < starts.size(); ++i)
                    parts.emplace_back(pending, starts[i], starts[i + 1] - starts[i] - 1);
                pending = JoinNameParts(Scanner, parts);
            }
            Add(pending, direction);
            pending.clear();
            starts.clear();
            quotedPart = false;
            direction = sdAscending;
            if (keyword || end) return true;
        } else {
            return false;
        }
        Next(Scanner);
    }
}

}  // namespace

void TQBSelectParser::ParseGroupBy() {
    TQBSQLScanner& scanner = *FScanner;
    const bool read = ReadNameList(scanner, *FReader, false, [this](const std::string& name, int) {
        if (FGroupByItems->IndexOf(name) < 0) FGroupByItems->Add(name);
    });
    if (!read) {
        FState = psError;
        return;
    }
    if (AtEnd(scanner)) {
        FState = psDone;
    } else if (IsWord(scanner, "HAVING")) {
        FState = psHaving;
    } else if (!FollowedByBy("ORDER", psOrderBy)) {
        FState = psUnexpected;
    }
}

void TQBSelectParser::ParseOrderBy() {
    TQBSQLScanner& scanner = *FScanner;
    const auto add = [this](const std::string& name, int direction) {
        if (FOrderByItems->IndexOf(name) < 0) FOrderByItems->AddItem(name, direction);
    };
    const bool read = ReadNameList(scanner, *FReader, true, add);
    if (!read) {
        FState = psError;
        return;
    }
    FState = AtEnd(scanner) ? psDone : psUnexpected;
}
