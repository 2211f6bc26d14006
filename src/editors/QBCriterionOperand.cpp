// Operand check of the criterion panels: a raw pass for quotes, comments, brackets and
// statement ends, then a token pass for words and comparisons that would start another
// condition or clause at the operand's own level.
#include "editors/QBCriterionOperand.h"

#include <array>
#include <string_view>

#include "lexer/QBScanner.h"
#include "toolkit/TextCompare.h"

namespace {

// Words that, outside brackets, end an operand and begin something else.
constexpr std::array<std::string_view, 15> ForeignWords = {
    "AND", "OR", "NOT", "LIKE", "IN", "BETWEEN", "IS", "EXISTS",
    "SELECT", "FROM", "WHERE", "GROUP", "HAVING", "ORDER", "UNION"};

bool IsForeignWord(const std::string& word) {
    for (std::string_view foreign : ForeignWords)
        if (SameText(word, foreign)) return true;
    return false;
}

// Quotes closed, no comment, no ";", brackets balanced and never closed before opened.
bool RawTextIsClosed(const TQBSQLScanner& scanner, const std::string& text) {
    int depth = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        if (scanner.IsStringQuote(c) || scanner.IsIdentQuote(c)) {
            const char close = scanner.ClosingQuote(c);
            std::size_t j = i + 1;
            for (;; ++j) {
                if (j >= text.size()) return false;
                if (text[j] != close) continue;
                if (j + 1 < text.size() && text[j + 1] == close) {
                    ++j;  // a doubled closing quote stands for itself
                    continue;
                }
                break;
            }
            i = j;
        } else if ((c == '-' && next == '-') || (c == '/' && next == '*') || c == ';') {
            return false;
        } else if (c == '(') {
            ++depth;
        } else if (c == ')') {
            if (--depth < 0) return false;
        }
    }
    return depth == 0;
}

// Puts a scanner's text back when the check is over.
class TScannerTextGuard {
public:
    explicit TScannerTextGuard(TQBSQLScanner& scanner) : FScanner(scanner), FText(scanner.GetText()) {}
    ~TScannerTextGuard() {
        try {
            FScanner.SetText(FText);
        } catch (...) {
            // The saved text was read before; a scanner that refuses it again keeps the check's.
        }
    }
    TScannerTextGuard(const TScannerTextGuard&) = delete;
    TScannerTextGuard& operator=(const TScannerTextGuard&) = delete;

private:
    TQBSQLScanner& FScanner;
    std::string FText;
};

}  // namespace

bool IsSingleOperandText(TQBSQLScanner& scanner, const std::string& text, bool commaList) {
    if (IsBlankText(text)) return true;
    if (!RawTextIsClosed(scanner, text)) return false;
    const TScannerTextGuard guard(scanner);
    try {
        scanner.SetText(text);
        int depth = 0;  // brackets and CASE ... END
        for (int tokens = 0; !scanner.GetTokenKinds().Contains(qtkEnd); scanner.Advance(), ++tokens) {
            const std::string& token = scanner.GetToken();
            const TQBTokenKinds kinds = scanner.GetTokenKinds();
            if (tokens > 100000) return false;
            if (scanner.GetInQuote() || kinds.ContainsAny(qtkString | qtkQuote)) continue;
            if (token == "(") {
                ++depth;
            } else if (token == ")") {
                --depth;
            } else if (SameText(token, "CASE")) {
                ++depth;
            } else if (SameText(token, "END")) {
                --depth;
            } else if (depth == 0) {
                if (kinds.Contains(qtkComparison)) return false;
                if (token == "," && !commaList) return false;
                if (IsForeignWord(token)) return false;
            }
        }
        return depth == 0;
    } catch (const std::exception&) {
        return false;  // an unterminated quote the raw pass did not see
    }
}
