// Small helpers shared by the statement, condition and operand readers: reading the next
// token, and telling a real delimiter from a quoted name that happens to look like one
// (`[,]` and `[)]` are identifiers, never a comma or a bracket).
#pragma once

#include "lexer/QBScanner.h"
#include "lexer/QBUtils.h"
#include "toolkit/TextCompare.h"

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

namespace qbparse {

// Reads the next token; the scanner keeps it as its current token.
inline void Next(TQBSQLScanner& Scanner) { Scanner.Advance(); }

// True when S is the single character C.
inline bool IsChar(const std::string& S, char C) { return S.size() == 1 && S[0] == C; }

// True when Name begins with an identifier quote: only then can taking quotes off change it.
inline bool StartsQuoted(const TQBSQLScanner& Scanner, const std::string& Name) {
    return !Name.empty() && Scanner.IsIdentQuote(Name.front());
}

// True when the text after the current token goes on, past blanks and line breaks, with an
// ASCII letter: the next token is then a word (no bracket, whatever word it is), which is
// known without reading it.
inline bool NextIsWord(const TQBSQLScanner& Scanner) {
    const std::string& text = Scanner.GetText();
    for (std::size_t i = std::size_t(std::max(Scanner.GetPosition() - 1, 0)); i < text.size(); ++i) {
        const char c = text[i];
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') continue;
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
    }
    return false;
}

// True when S holds a byte of 128 or above. Such a word is read as a name without quotes
// but is written quoted, so the shortcuts that pass a current unquoted name through as it
// stands do not apply to it. The parser asks this once of each statement, and of single
// tokens only when the statement holds such bytes.
bool HoldsHighBytes(std::string_view S);

// True when the current token is `*` read between identifier quotes (`[*]`, also with blanks
// inside: `[* ]`): a name, never the star of all columns.
inline bool IsQuotedStar(const TQBSQLScanner& Scanner) {
    return Scanner.GetInQuote() && IsBlankStar(Scanner.GetToken()) &&
           Scanner.GetTokenKinds().Contains(qtkIdentifier);
}

// A quoted star as the model holds it: between the dialect's identifier quotes, which it
// keeps when written.
inline std::string QuotedStar(const TQBSQLScanner& Scanner) {
    const char open = Scanner.IdentQuoteChar();
    return open + Scanner.GetToken() + Scanner.ClosingQuote(open);
}

// True when the current token is a quoted name holding the dialect's opening quote where
// that differs from the closing one (`[a [b]`). Such a name part is held in its quotes, as a
// part holding a point comes from the scanner, so that a dotted name joined from it splits
// back at its own points.
inline bool HoldsOpeningQuote(const TQBSQLScanner& Scanner) {
    if (!Scanner.GetInQuote() || !Scanner.IsIdentQuote(Scanner.GetQuoteChar())) return false;
    const char open = Scanner.IdentQuoteChar();
    const char close = Scanner.ClosingQuote(open);
    if (open == close) return false;
    // A dotted name the scanner has wrapped already (`[a.b]`) is looked at inside its quotes.
    const std::string& token = Scanner.GetToken();
    const bool wrapped = token.size() > 2 && token.front() == open && token.back() == close;
    const std::size_t found = token.find(open, wrapped ? 1 : 0);
    return found != std::string::npos && (!wrapped || found + 1 < token.size());
}

// The current token wrapped in the dialect's identifier quotes, unless the scanner has
// wrapped it already.
inline std::string WrappedToken(const TQBSQLScanner& Scanner) {
    const char open = Scanner.IdentQuoteChar();
    const char close = Scanner.ClosingQuote(open);
    const std::string& token = Scanner.GetToken();
    if (token.size() > 2 && token.front() == open && token.back() == close) return token;
    return open + token + close;
}

// True when the current token, of Kinds, is no name and no quoted text: a delimiter, an
// operator or a word. Quoted text is never one, even when the scanner took it for no name
// (`[.]`).
inline bool IsPlainToken(const TQBSQLScanner& Scanner, TQBTokenKinds Kinds) {
    return !Kinds.ContainsAny(qtkIdentifier | qtkString) && !Scanner.GetInQuote();
}

// True when the current token is the unquoted delimiter Symbol.
inline bool IsSymbol(const TQBSQLScanner& Scanner, const char* Symbol) {
    return Scanner.GetToken() == Symbol && IsPlainToken(Scanner, Scanner.GetTokenKinds());
}

// The kinds the current token, of Kinds, is spaced by: a quoted name the scanner left
// unclassified spaces like a name.
inline TQBTokenKinds SpacingKinds(const TQBSQLScanner& Scanner, TQBTokenKinds Kinds) {
    return Kinds.Empty() && Scanner.GetInQuote() ? TQBTokenKinds(qtkIdentifier) : Kinds;
}

// True when the current token is the word Word (ignoring case) and is no quoted text: the
// scanner is still inside the quotes while a quoted token is current.
inline bool IsWord(const TQBSQLScanner& Scanner, const char* Word) {
    return !Scanner.GetInQuote() && SameText(Scanner.GetToken(), Word);
}

// True when the current token is a keyword and nothing else.
inline bool IsPlainKeyword(const TQBSQLScanner& Scanner) {
    return Scanner.GetTokenKinds() == TQBTokenKinds(qtkKeyword);
}

inline bool AtEnd(const TQBSQLScanner& Scanner) {
    return Scanner.GetTokenKinds().Contains(qtkEnd);
}

// True for the words that begin or continue a join clause.
inline bool IsJoinClauseWord(const std::string& Token) {
    return SameText(Token, "LEFT") || SameText(Token, "RIGHT") || SameText(Token, "FULL") ||
           SameText(Token, "INNER") || SameText(Token, "CROSS") || SameText(Token, "JOIN");
}

// True when the current token is a string literal written right after an unquoted N
// (a national literal, N'x'): the two are written together. Text between identifier quotes
// (`N"x"` where those quote names) is a name, which written without its quotes would join
// the N into another name.
inline bool IsNationalString(const TQBSQLScanner& Scanner, const std::string& PrevToken,
                             TQBTokenKinds PrevKinds) {
    if (!Scanner.GetTokenKinds().Contains(qtkString) ||
        Scanner.IsIdentQuote(Scanner.GetQuoteChar()) || PrevKinds.Empty() ||
        PrevKinds.ContainsAny(qtkString) || !SameText(PrevToken, "N"))
        return false;
    // The scanner stands on the closing quote; look at the byte before the opening one.
    const long before = long(Scanner.GetPosition()) - long(Scanner.GetToken().size()) - 3;
    const std::string& text = Scanner.GetText();
    return before >= 0 && before < long(text.size()) &&
           (text[std::size_t(before)] == 'N' || text[std::size_t(before)] == 'n');
}

// True when the dotted text Name, split at every point, has a part that would not be read
// back as a name part: an empty one (`a..b`, `.a`) or a star (`" .*"` is written `[ ].*`).
inline bool HasUnreadablePart(std::string_view Name) {
    if (Name.find('.') == std::string_view::npos) return false;
    for (std::size_t start = 0; start <= Name.size();) {
        const std::size_t end = std::min(Name.find('.', start), Name.size());
        const std::string_view part = Name.substr(start, end - start);
        if (part.empty() || IsBlankStar(part)) return true;
        start = end + 1;
    }
    return false;
}

// True when the current token is a quoted name that cannot be written back as read: names
// are written between the dialect's own identifier quotes, which have no escape, and dotted
// names are split at points outside quotes, so a name holding a closing quote or another
// identifier quote character (`[a]b]`, `"a""b"`), a control character or nothing at all is
// refused. An opening bracket inside brackets needs no escape (`[a [b]`): it is kept, but
// not first in the name or in a part, where the name would look quoted already.
// AsName: the token stands for a name whatever quotes it was read between (a table name
// written as a string).
inline bool IsUnwritableName(const TQBSQLScanner& Scanner, bool AsName = false) {
    if (!Scanner.GetInQuote()) return false;
    if (!AsName && !Scanner.IsIdentQuote(Scanner.GetQuoteChar())) return false;
    const std::string& token = Scanner.GetToken();
    std::size_t first = 0, last = token.size();
    if (token.size() > 2 && Scanner.IsIdentQuote(token.front()) &&
        token.back() == Scanner.ClosingQuote(token.front()) &&
        token.find('.') != std::string::npos) {
        first = 1;  // a dotted name the scanner wrapped again
        last = token.size() - 1;
    }
    const char open = Scanner.IdentQuoteChar();
    const char close = Scanner.ClosingQuote(open);
    const char ownClose = Scanner.IsIdentQuote(Scanner.GetQuoteChar())
                              ? Scanner.ClosingQuote(Scanner.GetQuoteChar())
                              : close;
    if (token.empty()) return true;  // an empty quoted name would be written as nothing
    // Text the scanner took for no identifier is split at its points when read as a name.
    if (AsName && !Scanner.GetTokenKinds().Contains(qtkIdentifier) && HasUnreadablePart(token))
        return true;
    for (std::size_t i = first; i < last; ++i) {
        const char c = token[i];
        const bool openInside = c == open && open != close && i > first && token[i - 1] != '.';
        if (!openInside &&
            (c == close || c == ownClose || c == open || Scanner.IsIdentQuote(c)))
            return true;
        // Control characters (line breaks, NUL) do not survive writing: names are trimmed
        // and blank ones taken for no name.
        if (static_cast<unsigned char>(c) < ' ') return true;
    }
    return false;
}

// True when the current token may begin the left side of a comparison although it is no
// name, number or string: a sign, a parameter, or a word of no class (`@v`, `#t`).
inline bool IsOtherOperandStart(const TQBSQLScanner& Scanner) {
    const TQBTokenKinds kinds = Scanner.GetTokenKinds();
    if (kinds.Empty()) return !Scanner.GetToken().empty();
    return IsSymbol(Scanner, "-") || IsSymbol(Scanner, "+") || IsSymbol(Scanner, "~") ||
           IsSymbol(Scanner, ":");
}

// The dotted name of Parts. Names are held as read (quotes off); but when a part came back
// wrapped in quotes because it holds a point (`[a.b]`), every part is held quoted, so that
// the name is written back part by part as read.
inline std::string JoinNameParts(const TQBSQLScanner& Scanner, const std::vector<std::string>& Parts) {
    bool wrapped = false;
    for (const std::string& part : Parts)
        wrapped = wrapped || (!part.empty() && Scanner.IsIdentQuote(part.front()));
    std::string name;
    for (const std::string& part : Parts) {
        if (!name.empty()) name += '.';
        name += wrapped ? Scanner.QuoteIdentifier(part) : part;
    }
    return name;
}

}  // namespace qbparse
