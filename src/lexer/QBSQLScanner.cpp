// TQBSQLScanner's value providers and tests: character and word classes, the base dialect's
// word lists and Boolean texts, and the quoting of names and strings.
#include "lexer/QBScanner.h"

#include "lexer/QBUtils.h"
#include "toolkit/TextCompare.h"

namespace {

constexpr const char* BaseComparisons = "=,<>,<,<=,>,>=";

}  // namespace

// ---------------------------------------------------------------- word and character tests

bool TQBSQLScanner::IsArithmetic(const std::string& S) const { return HasWordFlag(S, qwfArithmetic); }

bool TQBSQLScanner::IsSymbolOperator(const std::string& S) const {
    return HasWordFlag(S, qwfSymbolOperator);
}

bool TQBSQLScanner::IsComparison(const std::string& S) const { return HasWordFlag(S, qwfComparison); }

bool TQBSQLScanner::IsCriterionOperator(const std::string& S) const {
    return HasWordFlag(S, qwfCriterionOperator);
}

bool TQBSQLScanner::IsKeyword(const std::string& S) const { return HasWordFlag(S, qwfKeyword); }

bool TQBSQLScanner::IsFunction(const std::string& S) const { return HasWordFlag(S, qwfFunction); }

bool TQBSQLScanner::IsIdentChar(char Ch) const { return IsLetter(Ch) || IsDigit(Ch) || Ch == '_'; }

bool TQBSQLScanner::IsIdentifier(const std::string& S) const {
    EnsureReady();
    return AllOfClass(S, ccLetter, ccIdentChar);
}

bool TQBSQLScanner::IsNumber(const std::string& S) const {
    EnsureReady();
    return AllOfClass(S, ccDigit, ccDigit);
}

bool TQBSQLScanner::IsBoolean(const std::string& S) const { return IsBooleanText(S); }

bool TQBSQLScanner::IsQuoteEnd(char Ch, const std::string& Token, char QuoteChar,
                               char NextCh) const {
    const char closing = ClosingQuote(QuoteChar);
    if (Ch != closing || NextCh == QuoteChar) return false;
    if (closing != QuoteChar) return true;
    // With one character for both ends, a doubled quote stands for one: the quote closes only
    // when the quotes already collected pair up.
    std::size_t trailing = 0;
    for (auto it = Token.rbegin(); it != Token.rend() && *it == Ch; ++it) ++trailing;
    return trailing % 2 == 0;
}

bool TQBSQLScanner::IsIdentQuote(char Ch) const { return Ch == '"'; }

char TQBSQLScanner::IdentQuoteChar() const { return '"'; }

bool TQBSQLScanner::QuoteAliases() const { return FQuoteAliases; }

bool TQBSQLScanner::QuoteNamesEnabled() const { return FQuoteNames; }

char TQBSQLScanner::StringQuoteChar() const { return '\''; }

// ---------------------------------------------------------------- lists and Boolean texts

std::string TQBSQLScanner::GetKeywordsText() const {
    return "SELECT,DISTINCT,INTO,FROM,WHERE,GROUP,BY,HAVING,ORDER,ASC,DESC,AS,LEFT,RIGHT,FULL,INNER,OUTER,JOIN,ON,AND,OR,NOT,LIKE,BETWEEN,IN,IS,NULL,DATE,SIZE,ALL,ALTER,ANY,ASCENDING,AT,BLOB,CHAR,CHARACTER,COLLATE,COLLATION,COLUMN,COMMIT,COMPUTED,CONNECT,CONSTRAINT,CONTINUE,CREATE,DAY,DEFAULT,DELETE,DESCENDING,DOUBLE,DROP,EXECUTE,FILTER,FIRST,FLOAT,FOR,FOREIGN,FROM,FUNCTION,INDEX,INT,INTEGER,LENGTH,MONTH,NUMERIC,TIME,TIMESTAMP,TRIM,UNIQUE,VARCHAR";
}

std::string TQBSQLScanner::GetFunctionsText() const { return "SUM,MIN,MAX,AVG,COUNT"; }

std::string TQBSQLScanner::GetArithmeticsText() const { return "+,-,*,/,||"; }

std::string TQBSQLScanner::GetSymbolOperatorsText() const { return ""; }

// The reader's comparisons and the criterion operators are the same list here.
std::string TQBSQLScanner::GetComparisonsText() const { return BaseComparisons; }

std::string TQBSQLScanner::GetCriterionOperatorsText() const { return BaseComparisons; }

void TQBSQLScanner::LoadList(TStringList& List, const std::string& CommaText) {
    List.Clear();
    List.SetCommaText(CommaText);
    List.Sort();
}

void TQBSQLScanner::LoadKeywords() { LoadList(FKeywords, GetKeywordsText()); }
void TQBSQLScanner::LoadFunctions() { LoadList(FFunctions, GetFunctionsText()); }
void TQBSQLScanner::LoadArithmetics() { LoadList(FArithmetics, GetArithmeticsText()); }
void TQBSQLScanner::LoadSymbolOperators() { LoadList(FSymbolOperators, GetSymbolOperatorsText()); }
void TQBSQLScanner::LoadComparisons() { LoadList(FComparisons, GetComparisonsText()); }
void TQBSQLScanner::LoadCriterionOperators() {
    LoadList(FCriterionOperators, GetCriterionOperatorsText());
}

void TQBSQLScanner::InitBooleanTexts() {
    SetBooleanText(false, "False");
    SetBooleanText(true, "True");
}

std::string TQBSQLScanner::BooleanText(bool Value) const { return Value ? FTrueText : FFalseText; }

void TQBSQLScanner::SetBooleanText(bool Value, const std::string& Text) {
    (Value ? FTrueText : FFalseText) = Text;
}

// ---------------------------------------------------------------- quoting

std::string TQBSQLScanner::UnquoteName(const std::string& S) const {
    if (S.size() > 1 && IsIdentQuote(S.front()) && IsIdentQuote(S.back()) &&
        S.back() == ClosingQuote(S.front()))
        return UnquoteText(S, S.front(), S.back());
    return S;
}

std::string TQBSQLScanner::QuoteDottedToken(const std::string& Token, bool WasQuoted) const {
    if (!FQuoteNames || !WasQuoted || Token.size() <= 1 || Token.find('.') == std::string::npos)
        return Token;
    if (IsIdentQuote(Token.front()) && ClosingQuote(Token.front()) == Token.back()) return Token;
    const char open = IdentQuoteChar();
    return QuoteText(Token, open, ClosingQuote(open));
}

bool TQBSQLScanner::NeedsQuotes(const std::string& Name) const {
    EnsureReady();
    if (Name.empty() || IsBlankStar(Name)) return false;
    const char open = IdentQuoteChar();
    const char close = ClosingQuote(open);
    for (std::size_t i = 0; i + 1 < Name.size(); ++i) {
        if (Name[i] == '.' && Name[i + 1] == open) return false;
        if (Name[i] == close && Name[i + 1] == '.') return false;
    }
    if (HasIdentQuotesAtEnds(Name)) return false;
    if ((CharClass(Name[0]) & ccLetter) == 0) return true;
    for (const char ch : Name)
        if ((CharClass(ch) & ccIdentChar) == 0) return true;
    return (WordFlags(Name) & (qwfKeyword | qwfFunction)) != 0;
}

bool TQBSQLScanner::IsWrappedName(const std::string& Name) const {
    return Name.size() > 2 && IsIdentQuote(Name.front()) && Name.back() == ClosingQuote(Name.front());
}

std::string TQBSQLScanner::QuoteIdentifier(const std::string& Name) const {
    // A quoted "*" (blanks around it too) is a name, not the star of all columns: it keeps
    // its quotes.
    const bool wrapped = IsWrappedName(Name);
    const bool quotedStar = wrapped && IsBlankStar(std::string_view(Name).substr(1, Name.size() - 2));
    std::string result = wrapped && !quotedStar ? Name.substr(1, Name.size() - 2) : Name;
    if (QuotesNeeded(result)) {
        const char open = IdentQuoteChar();
        result = QuoteText(result, open, ClosingQuote(open));
    }
    return result;
}

void TQBSQLScanner::AppendQuotedIdentifier(std::string& Out, const std::string& Name) const {
    if (IsWrappedName(Name) || QuotesNeeded(Name))
        Out += QuoteIdentifier(Name);
    else
        Out += Name;
}

std::string TQBSQLScanner::QuoteName(const std::string& Name) const {
    if (!QuotesNeeded(Name)) return Name;
    if (Name.find('.') == std::string::npos) {
        // No point: the whole name is its one part.
        if (!IsIdentQuote(Name[0])) return QuoteIdentifier(Name);
        return QuoteIdentifier(UnquoteText(Name, Name[0], ClosingQuote(Name[0])));
    }
    std::string result;
    std::string part;
    bool partStart = true;
    bool quoted = false;
    char open = 0;
    char close = 0;
    int counter = 0;
    auto endPart = [&] {
        if (quoted) part = UnquoteText(part, open, close);
        if (!result.empty()) result += '.';
        result += QuoteIdentifier(part);
        part.clear();
    };
    for (const char ch : Name) {
        if (partStart) {
            partStart = false;
            quoted = IsIdentQuote(ch);
            if (quoted) {
                open = ch;
                close = ClosingQuote(ch);
                counter = 0;
            }
        }
        if (quoted) {
            if (open == close) {
                if (ch == open) ++counter;
            } else if (ch == open) {
                ++counter;
            } else if (ch == close) {
                --counter;
            }
        }
        const bool partEnds =
            ch == '.' && (!quoted || (open == close ? counter % 2 == 0 : counter == 0));
        if (partEnds) {
            endPart();
            partStart = true;
            continue;
        }
        part += ch;
    }
    if (!part.empty()) endPart();
    return result;
}

std::string TQBSQLScanner::QuoteString(const std::string& S) const {
    const char quote = StringQuoteChar();
    if (S.size() > 1 && S.front() == quote && S.back() == quote) return S;
    return QuoteText(S, quote, quote);
}
