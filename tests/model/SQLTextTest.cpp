// The writers' text services: the name split must cut exactly where ExtractQualifier and
// ExtractLastName cut, and remembered quoting must answer exactly what the scanner answers,
// within one write and after the scanner's rules change between writes.
#include "ModelTestSupport.h"

#include "lexer/QBMSScanner.h"
#include "lexer/QBUtils.h"
#include "model/QBSQLText.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

TEST(SQLText, NameSplitCutsWhereTheExtractorsCut) {
    const std::vector<std::string> names = {
        "", ".", "x", "a.b", "o.OrderID", "s.dbo.t", ".x", "x.", "a..b", "[a.b]", "[a.b].c",
        "a.[b.c]", "[a]].b].c", "[x", "x]", "[a].[b", "\"a.b\".c", "a.\"b.c\"", "\"a\"\"b\".c",
        "\"\".x", "[].x", "  o . x  ", "\xC3\xA4.\xC3\xB6", "a.b.c.d", "[a.b.c]", "[[a].b"};
    for (const auto& [open, close] : {std::pair{'[', ']'}, std::pair{'"', '"'}}) {
        for (const std::string& name : names) {
            const TQBNameParts parts = SplitQualifiedName(name, open, close);
            EXPECT_EQ(std::string(parts.Qualifier), ExtractQualifier(name, open, close)) << name << " " << open;
            EXPECT_EQ(std::string(parts.Last), ExtractLastName(name, open, close)) << name << " " << open;
        }
    }
}

// Each name twice (the second answer comes from the memory), more names than it keeps, and
// names and answers too long for a slot.
std::vector<std::string> QuotingNames() {
    std::vector<std::string> names = {"OrderID", "Order Details", "select", "SUM", "[Quoted]", "o.x",
                                      "dbo.[a b]", "*", "", "x y.z", "1abc", "_a",
                                      std::string(60, 'n'), std::string(41, ' ') + "y"};
    for (int i = 0; i < 60; ++i) names.push_back("Name" + std::to_string(i) + (i % 3 ? "" : " x"));
    std::vector<std::string> twice = names;
    twice.insert(twice.end(), names.begin(), names.end());
    return twice;
}

TEST(SQLText, RememberedQuotingAnswersAsTheScanner) {
    auto parser = MSParser();
    const TQBSQLScanner& scanner = *parser->GetScanner();
    auto other = BaseParser();  // another scanner in the same write is asked each time
    const TQBSQLScanner& otherScanner = *other->GetScanner();
    const TQBQuoteScope outer(&scanner);
    const TQBQuoteScope inner(&otherScanner);  // an inner scope keeps the outer memory
    for (const std::string& name : QuotingNames()) {
        // Appended behind what is there already.
        std::string text = "<";
        AppendQuotedName(text, &scanner, name);
        EXPECT_EQ(text.substr(1), scanner.QuoteName(name)) << name;
        EXPECT_EQ(text.front(), '<');
        text.clear();
        AppendQuotedIdentifier(text, &scanner, name);
        EXPECT_EQ(text, scanner.QuoteIdentifier(name)) << name;
        text.clear();
        AppendQuotedName(text, &otherScanner, name);
        EXPECT_EQ(text, otherScanner.QuoteName(name)) << name;
    }
}

TEST(SQLText, EachWriteAsksTheScannerAfresh) {
    auto parser = MSParser();
    TQBSQLScanner& scanner = *parser->GetScanner();
    const auto quoted = [&scanner] {
        const TQBQuoteScope write(&scanner);
        std::string first, second;
        AppendQuotedName(first, &scanner, std::string("Widget"));
        AppendQuotedName(second, &scanner, std::string("Widget"));
        EXPECT_EQ(first, second);
        return first;
    };
    EXPECT_EQ(quoted(), "Widget");
    scanner.GetKeywords().Add("WIDGET");
    EXPECT_EQ(quoted(), scanner.QuoteName("Widget"));
    EXPECT_NE(quoted(), "Widget");
}

// A dialect with its own quoting rules: every name is quoted, every literal is left alone.
class TQuoteAllScanner : public TQBMSSQLScanner {
public:
    bool NeedsQuotes(const std::string& Name) const override { return !Name.empty(); }
    std::string QuoteString(const std::string& S) const override { return S; }
};

TEST(SQLText, SimpleNamesAnswerAsEachScanner) {
    const std::vector<std::string> names = {
        "OrderID", "o", "Order Details", " x", "x ", "a  b", "select", "Select", "sum", "COUNT",
        "1abc", "9", "_a", "a_b_1", "Widget", "\xC3\xA4x", "x-y", "x\ty", "[x]", "x.y"};
    auto ms = MakeScanner<TQBMSSQLScanner>();
    auto base = MakeScanner<TQBSQLScanner>();
    auto quoteAll = MakeScanner<TQuoteAllScanner>();
    for (const TQBSQLScanner* scanner :
         std::vector<const TQBSQLScanner*>{ms.get(), base.get(), quoteAll.get()}) {
        for (const bool inScope : {false, true}) {
            std::optional<TQBQuoteScope> scope;
            if (inScope) scope.emplace(scanner);
            for (const std::string& name : names) {
                std::string text;
                AppendQuotedName(text, scanner, name);
                EXPECT_EQ(text, scanner->QuoteName(name)) << name;
                text.clear();
                AppendQuotedIdentifier(text, scanner, name);
                EXPECT_EQ(text, scanner->QuoteIdentifier(name)) << name;
                text.clear();
                AppendQuotedModelName(text, scanner, name);
                EXPECT_EQ(text, scanner->QuoteName(name)) << name;
                EXPECT_EQ(IsKnownUnquoted(*scanner, name), scanner->QuoteName(name) == name &&
                                                               scanner->QuoteIdentifier(name) == name &&
                                                               IsKnownUnquoted(*scanner, name))
                    << name;
            }
        }
    }
    // The dialect of its own is never second-guessed.
    EXPECT_FALSE(IsKnownUnquoted(*quoteAll, "OrderID"));
    EXPECT_TRUE(IsKnownUnquoted(*ms, "OrderID"));
    EXPECT_FALSE(IsKnownUnquoted(*ms, "Select"));
}

TEST(SQLText, ModelNamesAreRememberedByPlaceWithinOneWrite) {
    auto scanner = MakeScanner<TQBMSSQLScanner>();
    std::string alias = "o";
    std::string other = "Order Details";
    const auto write = [&] {
        const TQBQuoteScope scope(scanner.get());
        std::string text;
        for (int i = 0; i < 3; ++i) {
            AppendQuotedModelName(text, scanner.get(), alias);
            text += '|';
            AppendQuotedModelName(text, scanner.get(), other);
            text += '|';
        }
        return text;
    };
    EXPECT_EQ(write(), "o|[Order Details]|o|[Order Details]|o|[Order Details]|");
    // Between writes the names and the rules may change.
    alias = std::string("select");
    other = std::string("x");
    EXPECT_EQ(write(), "[select]|x|[select]|x|[select]|x|");
    scanner->GetKeywords().Add("X");
    EXPECT_EQ(write(), "[select]|[x]|[select]|[x]|[select]|[x]|");
}

TEST(SQLText, StringLiteralsAnswerAsEachScanner) {
    const std::vector<std::string> literals = {"", "a", "'", "''", "'a'", "O'Brien", "''x", "x''",
                                               "'a", "a'", "'a'b'", "it's 'ok'", "\"x\""};
    auto ms = MakeScanner<TQBMSSQLScanner>();
    auto base = MakeScanner<TQBSQLScanner>();
    auto quoteAll = MakeScanner<TQuoteAllScanner>();
    for (const TQBSQLScanner* scanner :
         std::vector<const TQBSQLScanner*>{ms.get(), base.get(), quoteAll.get()}) {
        const TQBQuoteScope scope(scanner);
        for (const std::string& literal : literals) {
            std::string text(1, '<');
            AppendQuotedString(text, *scanner, literal);
            EXPECT_EQ(text.substr(1), scanner->QuoteString(literal)) << literal;
            EXPECT_EQ(text.front(), '<');
        }
    }
}

}  // namespace
