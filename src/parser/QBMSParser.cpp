// The Microsoft SQL Server SELECT parser and its TOP settings.
#include "parser/QBMSParser.h"

#include "lexer/QBMSScanner.h"
#include "model/QBCriteria.h"
#include "parser/QBGenerate.h"
#include "parser/QBParseSupport.h"

#include <charconv>

using namespace qbparse;

void TQBMSSQLOptions::Reset() {
    Top = -1;
    Percent = false;
    WithTies = false;
}

void TQBMSSQLOptions::Assign(const TQBMSSQLOptions& Source) {
    Top = Source.Top;
    Percent = Source.Percent;
    WithTies = Source.WithTies;
}

std::string TQBMSSQLOptions::GetSQL() const {
    if (Top < 0) return {};
    std::string text = Parser ? Parser->FormatKeyword("TOP") : std::string("TOP");
    text += ' ';
    text += std::to_string(Top);
    if (Percent) text += " PERCENT";
    if (WithTies) text += " WITH TIES";
    return text;
}

TQBMSSelectParser::TQBMSSelectParser() : FOptions(std::make_unique<TQBMSSQLOptions>(this)) {}

TQBMSSelectParser::~TQBMSSelectParser() = default;

std::unique_ptr<TQBSQLScanner> TQBMSSelectParser::CreateScanner() {
    return MakeScanner<TQBMSSQLScanner>();
}

std::string TQBMSSelectParser::GetAggregatesText() const {
    return "AVG,BINARY_CHECKSUM,CHECKSUM,CHECKSUM_AGG,COUNT,COUNT_BIG,GROUPING,MAX,MIN,SUM,"
           "STDEV,STDEVP,VAR,VARP";
}

std::string TQBMSSelectParser::GetSQL() {
    // The whole clause is formatted once more: `Top 10 percent with ties` in first-upper case.
    std::string top;
    if (FOptions->Top >= 0) {
        top = ' ';
        top += FormatKeyword(FOptions->GetSQL());
    }
    return WriteStatement(*this, top);
}

void TQBMSSelectParser::InitOperators() {
    TQBOperators& operators = *GetOperators();
    operators.BeginUpdate();
    operators.Clear();
    for (const char* name : {"=", "<>", "<", ">", "<=", ">=", "!<", "!=", "!>", "LIKE", "NOT LIKE"})
        operators.AddOperator(name);
    operators.AddOperator("IN", 1, "", "(", ")", true);
    operators.AddOperator("NOT IN", 1, "", "(", ")", true);
    operators.AddOperator("BETWEEN", 2, "AND");
    operators.AddOperator("NOT BETWEEN", 2, "AND");
    operators.AddOperator("IS NULL", 0);
    operators.AddOperator("IS NOT NULL", 0);
    operators.EndUpdate();
}

void TQBMSSelectParser::SetCaseSensitiveIdentifiers(bool Value) {
    TQBSelectParser::SetCaseSensitiveIdentifiers(Value);
    if (TQBSQLScanner* scanner = GetScanner()) scanner->SetCaseSensitive(GetCaseSensitiveIdentifiers());
}

void TQBMSSelectParser::Clear() {
    TQBSelectParser::Clear();
    FOptions->Reset();
}

void TQBMSSelectParser::ParseSelectOptions() {
    TQBSQLScanner& scanner = *FScanner;
    FState = psError;
    SetDistinct(false);
    const bool keyword = scanner.GetTokenKinds().Contains(qtkKeyword);
    if (keyword && (IsWord(scanner, "DISTINCT") || IsWord(scanner, "ALL"))) {
        SetDistinct(IsWord(scanner, "DISTINCT"));
        Next(scanner);
    }
    if (scanner.GetTokenKinds().Contains(qtkKeyword) && IsWord(scanner, "TOP")) {
        Next(scanner);
        if (!scanner.GetTokenKinds().Contains(qtkInteger)) return;
        const std::string& text = scanner.GetToken();
        int count = 0;
        const auto result = std::from_chars(text.data(), text.data() + text.size(), count);
        if (result.ec != std::errc() || result.ptr != text.data() + text.size()) return;
        FOptions->Top = count;
        Next(scanner);
    }
    if (scanner.GetTokenKinds().Contains(qtkKeyword) && IsWord(scanner, "PERCENT")) {
        FOptions->Percent = true;
        Next(scanner);
        if (scanner.GetTokenKinds().Contains(qtkKeyword) && IsWord(scanner, "WITH")) {
            Next(scanner);
            if (!IsWord(scanner, "TIES")) return;
            FOptions->WithTies = true;
            Next(scanner);
        }
    }
    const TQBTokenKinds itemStart =
        qtkFunction | qtkInteger | qtkFloat | qtkString | qtkIdentifier | qtkBoolean;
    if (IsSymbol(scanner, "*") || IsSymbol(scanner, "(") ||
        scanner.GetTokenKinds().ContainsAny(itemStart))
        FState = psFields;
}
