// The operand reader: every select-list item, procedure parameter, join side and condition
// operand goes through ParseOperand, which consumes its tokens, classifies it, rebuilds its
// text in a normalised form (case from the script format, the dialect's quoting, a fixed
// spacing rule) and finds the table its qualifier names.
#include "lexer/QBScanner.h"
#include "lexer/QBUtils.h"
#include "model/QBFunctionDefs.h"
#include "model/QBTableDefs.h"
#include "parser/QBParseSupport.h"
#include "parser/QBParser.h"

#include <string_view>
#include <utility>

using namespace qbparse;

namespace {

// True when Token is one of the comma-separated words of List (ignoring case).
bool InWordList(const std::string& Token, const std::string& List) {
    std::size_t start = 0;
    while (start <= List.size()) {
        std::size_t comma = List.find(',', start);
        if (comma == std::string::npos) comma = List.size();
        if (comma > start &&
            SameText(std::string_view(List).substr(start, comma - start), Token))
            return true;
        start = comma + 1;
    }
    return false;
}

// True when S is a single character out of Set.
bool IsOneOf(const std::string& S, std::string_view Set) {
    if (S.size() != 1) return false;
    for (const char ch : Set)
        if (ch == S[0]) return true;
    return false;
}

// Removes one pair of enclosing parentheses.
std::string StripParentheses(const std::string& S) {
    if (S.size() >= 2 && S.front() == '(' && S.back() == ')') return S.substr(1, S.size() - 2);
    return S;
}

// Text with every doubled Quote turned into one.
std::string Undouble(const std::string& Text, char Quote) {
    if (Text.find(Quote) == std::string::npos) return Text;
    std::string result;
    result.reserve(Text.size());
    for (std::size_t i = 0; i < Text.size(); ++i) {
        result += Text[i];
        if (Text[i] == Quote && i + 1 < Text.size() && Text[i + 1] == Quote) ++i;
    }
    return result;
}

// True when every run of Quote in Text is of even length (each quote written doubled).
bool EvenQuoteRuns(const std::string& Text, char Quote) {
    std::size_t run = 0;
    for (const char c : Text) {
        if (c == Quote) {
            ++run;
        } else {
            if (run % 2 != 0) return false;
            run = 0;
        }
    }
    return run % 2 == 0;
}

}  // namespace

TQBFunctionKind TQBSelectParser::KindOfToken(TQBTokenKinds Kinds) const {
    if (Kinds.Contains(qtkFunction)) return fkFunction;
    if (Kinds.Contains(qtkInteger)) return fkInteger;
    if (Kinds.Contains(qtkFloat)) return fkFloat;
    if (Kinds.Contains(qtkIdentifier)) return fkField;
    if (Kinds.Contains(qtkString)) return fkString;
    if (Kinds.Contains(qtkBoolean)) return fkExpression;
    return fkUnknown;
}

std::string TQBSelectParser::FormatToken(const std::string& Token, TQBTokenKinds Kinds) const {
    if (Kinds.Contains(qtkIdentifier)) return Token;
    if (Kinds.Contains(qtkFunction)) return FormatFunctionName(Token);
    if (Kinds.Contains(qtkKeyword)) return FormatKeyword(Token);
    return Token;
}

std::string TQBSelectParser::QuoteToken(const std::string& Text, TQBTokenKinds Kinds) const {
    const bool current = FScanner->GetToken() == Text;
    // The scanner's current unquoted identifier is no keyword, no function and a plain
    // identifier (that is how it was classified): it needs no quotes.
    if (Kinds.Contains(qtkIdentifier) && current && !FScanner->GetInQuote() &&
        !(FTextHoldsHighBytes && HoldsHighBytes(Text)))
        return Text;
    if (Kinds.Contains(qtkIdentifier)) return FScanner->QuoteIdentifier(Text);
    const bool currentQuoted = current && FScanner->GetInQuote();
    if (currentQuoted && !Kinds.Contains(qtkString)) {
        // A quoted name the scanner did not take for an identifier (`[a b.c]`): written
        // back between its own quotes, as read.
        const char open = FScanner->GetQuoteChar();
        if (open != 0 && FScanner->IsIdentQuote(open))
            return open + Text + FScanner->ClosingQuote(open);
    }
    if (!Kinds.Contains(qtkString)) return Text;
    const char quote = FScanner->StringQuoteChar();
    // The scanner's current string token comes as written between its quotes, doubled
    // quotes included: wrap it as it is, so that 'O''Brien' stays 'O''Brien'. A text read
    // between other string quotes (the double quote) is re-quoted with the dialect's own.
    if (currentQuoted) {
        const char open = FScanner->GetQuoteChar();
        // A quote that closed the text at its very end leaves a single quote inside.
        if ((open == quote || open == 0) && EvenQuoteRuns(Text, quote)) return quote + Text + quote;
        return QuoteText(Undouble(Text, open == 0 ? quote : open), quote, quote);
    }
    return QuoteTextIfNeeded(Text, quote, quote);
}

void TQBSelectParser::AppendQuotedToken(std::string& Out, const std::string& Text,
                                        TQBTokenKinds Kinds) const {
    // Outside quotes, the scanner's current identifier and every token that is no identifier
    // and no string come back from QuoteToken as they are: appended without a copy.
    const TQBSQLScanner& scanner = *FScanner;
    if (!scanner.GetInQuote()) {
        if (!Kinds.Contains(qtkString) &&
            (!Kinds.Contains(qtkIdentifier) ||
             (scanner.GetToken() == Text && !(FTextHoldsHighBytes && HoldsHighBytes(Text))))) {
            Out += Text;
            return;
        }
    } else if (Kinds.Contains(qtkString) && !Kinds.Contains(qtkIdentifier) &&
               scanner.GetToken() == Text) {
        // The current string token between the dialect's own quotes, its quotes doubled:
        // wrapped as it is (see QuoteToken), without the temporaries.
        const char quote = scanner.StringQuoteChar();
        const char open = scanner.GetQuoteChar();
        if ((open == quote || open == 0) && EvenQuoteRuns(Text, quote)) {
            Out += quote;
            Out += Text;
            Out += quote;
            return;
        }
    }
    Out += QuoteToken(Text, Kinds);
}

bool TQBSelectParser::NeedSpace(const std::string& PrevToken, const std::string& Token,
                                TQBTokenKinds Kinds, TQBTokenKinds PrevKinds) const {
    // Never join two tokens into something the scanner reads differently: two words into
    // one, a comment opener (`- -1` is no `--1`), or a number and a point into a fraction.
    if (!PrevToken.empty() && !Token.empty()) {
        const char last = PrevToken.back();
        const char next = Token.front();
        if ((last == '-' && next == '-') || (last == '/' && next == '*') ||
            (last == '*' && next == '/'))
            return true;
        if (FScanner->IsPlainWordChar(last) && FScanner->IsPlainWordChar(next)) return true;
        const bool prevNumber = FScanner->IsDigit(PrevToken.front());
        if (prevNumber && (next == '.' || (last == '.' && FScanner->IsDigit(next)))) return true;
    }
    if (PrevKinds.Empty()) return false;
    const TQBTokenKinds quoted = qtkIdentifier | qtkString;
    const bool prevPlain = !PrevKinds.ContainsAny(quoted);
    const bool plain = !Kinds.ContainsAny(quoted);
    if (prevPlain && IsOneOf(PrevToken, "#&(.:[{@")) return false;
    if (plain && IsOneOf(Token, "),.]}")) return false;
    const TQBTokenKinds operators = qtkArithmetic | qtkComparison;
    if (plain && IsOneOf(Token, "([{") && !PrevKinds.ContainsAny(operators)) return false;
    if (Kinds.ContainsAny(operators) && PrevKinds.ContainsAny(operators)) return false;
    if (prevPlain && IsOneOf(PrevToken, "-") && PrevKinds.Contains(qtkArithmetic) &&
        Kinds.ContainsAny(qtkInteger | qtkFloat))
        return false;
    return true;
}

void TQBSelectParser::ParseOperand(TQBFunctionDef* Item, TQBTableDef*& TableDef,
                                   TQBTokenKinds StopKinds, const std::string& AllowedWords,
                                   TQBParseOptions Options) {
    TableDef = nullptr;
    FLastOperandText.clear();
    if (!Item) {
        FState = psError;
        return;
    }
    TQBSQLScanner& scanner = *FScanner;
    const bool allowAlias = (Options & poAllowAlias) != 0;
    const bool stopOnBoth = StopKinds.ContainsAll(qtkKeyword | qtkFunction);
    const TQBTokenKinds keywordFunction = qtkKeyword | qtkFunction;
    const TQBTokenKinds aliasBefore = qtkKeyword | qtkFunction | qtkSymbol | qtkInteger |
                                      qtkFloat | qtkString | qtkIdentifier | qtkBoolean;

    int depth = 0;
    bool first = true;
    bool expectAlias = false;
    // Set when the token before may be followed by an implicit alias: decided by the kind of
    // the next token once it is read, which spares a look ahead.
    bool aliasMayFollow = false;
    bool nameBroken = false;
    int tokenCount = 0;
    std::string alias, name, functionName, prevToken, stringValue, formatted;
    // The rebuilt text is made in place where the caller finds the operand as written.
    std::string& expression = FLastOperandText;
    // Set while the previous token is the last name part, not yet copied to prevToken.
    bool prevIsLastPart = false;
    std::vector<std::string>& nameParts = FOperandNameParts;
    nameParts.clear();
    TQBFunctionKind kind = fkUnknown;
    TQBTokenKinds prevKinds;
    // Whether a name part may have come quoted: only parts of plain words surely did not.
    bool quotedParts = false;
    // Set while the name parts are only in `name`: plain words hold no point, so the parts
    // are the name split at its points, made only when the general loop needs them.
    bool partsInName = false;
    const auto lastPart = [&name] {
        const std::size_t point = name.rfind('.');
        return point == std::string::npos ? std::string_view(name)
                                          : std::string_view(name).substr(point + 1);
    };

    // The common operand, a dotted name of plain words (`c`, `t.c`, `s.t.c`), read straight:
    // the general loop below would do exactly this for these tokens, and takes over at the
    // first token that is no such part (the state is the same at every token boundary).
    const TQBTokenKinds word(qtkIdentifier), point(qtkSymbol);
    const auto plainWord = [&scanner, &word] {
        const std::string& token = scanner.GetToken();
        return scanner.GetTokenKinds() == word && !scanner.GetInQuote() && !token.empty() &&
               !scanner.IsDigit(token.front());
    };
    // A statement holding bytes of 128 and above goes the general way: its words may be
    // names that are written quoted.
    if (!FTextHoldsHighBytes && !StopKinds.ContainsAny(qtkIdentifier | qtkSymbol) && plainWord()) {
        kind = fkField;
        first = false;
        tokenCount = 1;
        name = scanner.GetToken();
        partsInName = true;
        Next(scanner);
        // A name may follow as the implicit alias (`CustomerID cid`).
        aliasMayFollow = allowAlias;
        bool endsWithPoint = false;
        while (scanner.GetTokenKinds() == point && !scanner.GetInQuote() &&
               IsChar(scanner.GetToken(), '.')) {
            // The point: the name goes on without a space, and no alias follows a point.
            aliasMayFollow = false;
            name += '.';
            ++tokenCount;
            Next(scanner);
            if (!plainWord()) {
                endsWithPoint = true;
                break;
            }
            // The next part; after it an implicit alias may follow.
            name += scanner.GetToken();
            ++tokenCount;
            aliasMayFollow = allowAlias;
            Next(scanner);
        }
        // Plain words need no quotes and no spaces: the text is the name.
        expression = name;
        if (endsWithPoint) {
            prevToken.assign(1, '.');
            prevKinds = point;
        } else {
            prevIsLastPart = true;
            prevKinds = word;
        }
    }

    // A quoted star is taken as a name in its quotes (see IsQuotedStar).
    std::string starName;
    for (;;) {
        TQBTokenKinds kinds = scanner.GetTokenKinds();
        if (kinds.Contains(qtkEnd)) break;
        const bool quotedStar = IsQuotedStar(scanner);
        if (quotedStar) {
            if (starName.empty()) starName = QuotedStar(scanner);
            kinds.Exclude(qtkArithmetic);
        }
        // The current token stays in place until Next (peeking restores it).
        const std::string& token = quotedStar ? starName : scanner.GetToken();
        const bool plain = !kinds.ContainsAny(qtkIdentifier | qtkString);
        if (aliasMayFollow) {
            expectAlias = kinds.Contains(qtkIdentifier);
            aliasMayFollow = false;
        }
        if (depth == 0) {
            if (plain && IsChar(token, ',')) break;
            if (kinds.ContainsAny(StopKinds) && !InWordList(token, AllowedWords) &&
                (kinds != keywordFunction || stopOnBoth))
                break;
            // A join word ends a join condition; LEFT( and RIGHT( stay function calls.
            if ((Options & poStopAtJoinWords) && !first && plain && IsJoinClauseWord(token)) {
                if (!kinds.Contains(qtkFunction) || NextIsWord(scanner)) break;
                std::string next;
                scanner.PeekToken(next);
                if (next != "(") break;
            }
        }

        if (partsInName) {
            for (std::size_t start = 0; start < name.size();) {
                std::size_t point = name.find('.', start);
                if (point == std::string::npos) point = name.size();
                nameParts.emplace_back(name, start, point - start);
                start = point + 1;
            }
            partsInName = false;
        }
        if (prevIsLastPart) {
            prevToken = lastPart();
            prevIsLastPart = false;
        }
        if (IsUnwritableName(scanner)) {
            FState = psError;
            return;
        }

        // 1. Brackets.
        if (plain && IsChar(token, '(')) {
            ++depth;
        } else if (plain && IsChar(token, ')')) {
            if (--depth < 0) {
                depth = 0;
                break;
            }
        }

        // 2. The alias of a select-list item.
        if (allowAlias) {
            if (!alias.empty() || (expectAlias && !kinds.Contains(qtkIdentifier))) {
                FState = psError;
                return;
            }
            if (expectAlias) {
                alias = token;
                Next(scanner);
                continue;
            }
            if (depth == 0 && plain && kinds.Contains(qtkKeyword) && SameText(token, "AS")) {
                expectAlias = true;
                Next(scanner);
                continue;
            }
        }

        // 3. An implicit alias when the next token is a name: `t.a b`, `sum(x) total`, and
        // after a single token too (`CustomerID cid`, `1 one`), except the `*` of all columns.
        if (allowAlias && depth == 0 && kinds.ContainsAny(aliasBefore) &&
            !kinds.Contains(qtkArithmetic) &&
            !(plain && (IsChar(token, '.') || IsChar(token, ':') || (first && IsChar(token, '*')))))
            aliasMayFollow = true;

        // A national string literal keeps its prefix attached: N'x'.
        const bool attached = IsNationalString(scanner, prevToken, prevKinds);

        ++tokenCount;
        if (first) {
            // 4. The first token decides the kind.
            kind = KindOfToken(kinds);
            if (kind == fkFunction) {
                functionName = FormatToken(token, kinds);
            } else if (kind == fkUnknown) {
                if (plain && IsChar(token, ':'))
                    kind = fkParameter;
                else if (!IsChar(token, '*'))
                    kind = fkExpression;
            }
            if (kind != fkFunction && kind != fkParameter) {
                name = FormatToken(token, kinds);
                if (HoldsOpeningQuote(scanner))
                    nameParts.push_back(WrappedToken(scanner));
                else
                    nameParts.push_back(name);
                quotedParts = true;
                AppendQuotedToken(expression, name, kinds);
            }
            if (kind == fkString) {
                const char open = scanner.GetInQuote() && scanner.GetQuoteChar() != 0
                                      ? scanner.GetQuoteChar()
                                      : scanner.StringQuoteChar();
                stringValue = Undouble(token, open);
            }
            first = false;
        } else {
            // 5. The dotted name.
            const bool prevPlain = !prevKinds.ContainsAny(qtkIdentifier | qtkString);
            const bool identBeforeClose = prevKinds.Contains(qtkIdentifier) && plain && IsChar(token, ')');
            const bool callOpen = prevKinds.Contains(qtkFunction) && plain && IsChar(token, '(');
            // Only keywords and function names change their letter case.
            const bool keepsCase =
                kinds.Contains(qtkIdentifier) || !kinds.ContainsAny(qtkFunction | qtkKeyword);
            if (!keepsCase) formatted = FormatToken(token, kinds);
            const std::string& text = keepsCase ? token : formatted;
            if (!nameBroken && !identBeforeClose && !callOpen) {
                const bool prevPoint = prevPlain && IsChar(prevToken, '.');
                if ((name.empty() && kinds.Contains(qtkIdentifier)) ||
                    (prevPoint && (kinds.Contains(qtkIdentifier) || (plain && IsChar(token, '*')))) ||
                    (prevKinds.Contains(qtkIdentifier) && plain && IsChar(token, '.'))) {
                    name += text;
                    if (!(plain && IsChar(token, '.'))) {
                        if (HoldsOpeningQuote(scanner))
                            nameParts.push_back(WrappedToken(scanner));
                        else
                            nameParts.push_back(text);
                        quotedParts = true;
                    }
                } else {
                    name.clear();
                    nameParts.clear();
                    nameBroken = true;
                }
            }
            // 6. Kind changes.
            if (kind == fkFunction && depth == 0 && !(plain && IsChar(token, ')'))) kind = fkExpression;
            if ((kind == fkInteger || kind == fkFloat || kind == fkString) &&
                !kinds.Contains(qtkArithmetic) && KindOfToken(kinds) != kind)
                kind = fkExpression;
            // 7. The rebuilt text.
            const bool textBefore = !expression.empty() || !functionName.empty();
            if (textBefore && !attached && NeedSpace(prevToken, token, kinds, prevKinds))
                expression += ' ';
            AppendQuotedToken(expression, text, kinds);
        }
        // 8. A quoted name left unclassified still spaces like a name.
        prevToken.assign(token);
        prevKinds = kinds.Empty() && scanner.GetInQuote() ? TQBTokenKinds(qtkIdentifier) : kinds;
        Next(scanner);
    }

    // The name: discarded when empty or ending with a point, else split.
    std::string qualifier, fieldName;
    if (name.empty() || name.back() == '.') {
        name.clear();
        if (kind == fkField) kind = fkExpression;
    } else if (partsInName) {
        // Plain words only: the last part is the column, the rest its qualifier.
        fieldName = lastPart();
        if (name.size() > fieldName.size())
            qualifier.assign(name, 0, name.size() - fieldName.size() - 1);
    } else if (kind == fkField || kind == fkFunction) {
        bool wrapped = false;
        if (quotedParts)
            for (const std::string& part : nameParts)
                wrapped = wrapped || (!part.empty() && scanner.IsIdentQuote(part.front()));
        const bool plainParts = !wrapped && !nameParts.empty() &&
                                nameParts.back().find('.') == std::string::npos &&
                                name.size() >= nameParts.back().size();
        if (plainParts) {
            // Parts read without quotes: the name is already the parts joined by points,
            // and the last part is the column.
            fieldName = std::move(nameParts.back());
            if (name.size() > fieldName.size())
                qualifier.assign(name, 0, name.size() - fieldName.size() - 1);
        } else {
            if (nameParts.size() > 1) name = JoinNameParts(scanner, nameParts);
            const char open = scanner.IdentQuoteChar();
            const char close = scanner.ClosingQuote(open);
            qualifier = ExtractQualifier(name, open, close);
            fieldName = ExtractLastName(name, open, close);
        }
    } else {
        // Only a column reference has a qualifier: 0.5 and 'a.b' name no table.
        fieldName = name;
    }

    TQBFieldDef* const field = Item->AsFieldDef();
    const bool parameter = kind == fkParameter;
    if (Item->ArgumentCount() > 0) Item->Arguments().Clear();
    // The base SetKind: the select list gives aliases itself, numbered over all tables.
    if (kind == fkFunction && expression.empty()) {
        // Written without brackets (@@VERSION, CURRENT_USER): kept as it was written.
        Item->SetName(functionName);
        Item->TQBFunctionDef::SetKind(fkExpression);
    } else if (kind == fkFunction) {
        Item->SetName(functionName);
        Item->TQBFunctionDef::SetKind(fkFunction);
        TQBFunctionDef* argument = Item->Arguments().Add();
        if (!name.empty()) {
            argument->SetName(field ? fieldName : StripParentheses(name));
            argument->SetKind(fkField);
        } else {
            argument->SetName(StripParentheses(expression));
            argument->SetKind(fkExpression);
        }
    } else if (!name.empty() && kind == fkField) {
        Item->SetName(field ? fieldName : name);
        Item->TQBFunctionDef::SetKind(fkField);
    } else if (kind == fkString && tokenCount == 1) {
        // One literal: its value without quotes, or the literal as written with the
        // extended syntax. A value that itself looks quoted keeps its quotes, so that
        // writing it does not take them for the literal's own.
        const char quote = scanner.StringQuoteChar();
        const bool looksQuoted = stringValue.size() > 1 && stringValue.front() == quote &&
                                 stringValue.back() == quote;
        Item->SetName(ExtendedSyntax() || looksQuoted ? expression : stringValue);
        Item->TQBFunctionDef::SetKind(fkString);
    } else {
        // Several tokens of string literals are an expression, written as read.
        if (kind == fkString) kind = fkExpression;
        Item->SetName(functionName + expression);
        Item->TQBFunctionDef::SetKind(kind);
    }
    // The operand as written: the function name before its arguments, and a parameter keeps
    // its colon.
    if (!functionName.empty()) expression.insert(0, functionName);
    if (parameter) expression.insert(0, 1, ':');

    // A blank qualifier (`[ ].a`) would name the blank table, the one of no name.
    if (!qualifier.empty() &&
        IsBlankText(StartsQuoted(scanner, qualifier) ? scanner.UnquoteName(qualifier) : qualifier)) {
        FState = psError;
        return;
    }
    if (field) {
        if (!name.empty() && (kind == fkField || kind == fkFunction)) {
            TableDef = FindQualifierTable(qualifier);
            if (!TableDef && (Options & poCreateTable)) {
                TableDef = FTableDefs->Add();
                TableDef->SetTableName(qualifier);
                TableDef->SetAlias(qualifier);
            }
        } else {
            TableDef = FTableDefs->FindByAlias("");
        }
        if (!alias.empty()) {
            // A dialect that writes aliases as they are gets one that needs quotes quoted.
            if (!scanner.QuoteAliases() && scanner.NeedsQuotes(alias))
                alias = scanner.QuoteIdentifier(alias);
            field->Alias = alias;
        }
    }
    if (depth > 0) FState = psError;
}
