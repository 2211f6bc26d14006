// Names of the token kinds, for diagnostics and the command-line tool.
#include "lexer/QBTokenKinds.h"

namespace {

struct TKindName {
    TQBTokenKind Kind;
    const char* Name;
};

constexpr TKindName KindNames[] = {
    {qtkKeyword, "qtkKeyword"},       {qtkFunction, "qtkFunction"},
    {qtkSymbol, "qtkSymbol"},         {qtkInteger, "qtkInteger"},
    {qtkFloat, "qtkFloat"},           {qtkString, "qtkString"},
    {qtkQuote, "qtkQuote"},           {qtkSpace, "qtkSpace"},
    {qtkLineBreak, "qtkLineBreak"},   {qtkEnd, "qtkEnd"},
    {qtkIdentifier, "qtkIdentifier"}, {qtkArithmetic, "qtkArithmetic"},
    {qtkComparison, "qtkComparison"}, {qtkBoolean, "qtkBoolean"},
    {qtkOperator, "qtkOperator"},
};

}  // namespace

const char* TokenKindName(TQBTokenKind Kind) {
    for (const auto& entry : KindNames)
        if (entry.Kind == Kind) return entry.Name;
    return "";
}

std::string TokenKindsText(TQBTokenKinds Kinds) {
    std::string text;
    for (const auto& entry : KindNames) {  // the table is in ascending bit order
        if (!Kinds.Contains(entry.Kind)) continue;
        if (!text.empty()) text += '|';
        text += entry.Name;
    }
    return text.empty() ? "-" : text;
}
