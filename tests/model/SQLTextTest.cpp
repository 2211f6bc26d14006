// The writers' text services: the name split must cut exactly where ExtractQualifier and
// ExtractLastName cut, and appended quoting must answer exactly what the scanner's QuoteName,
// QuoteIdentifier and QuoteString answer, for every dialect and after its rules change.
#include "ModelTestSupport.h"

#include "lexer/QBMSScanner.h"
#include "lexer/QBUtils.h"
#include "model/QBSQLText.h"

#include <gtest/gtest.h>

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

// Plain, listed, quoted, dotted and blank names; names too long to be stored in place.
std::vector<std::string> QuotingNames() {
    std::vector<std::string> names = {"OrderID", "Order Details", "select", "SUM", "[Quoted]", "o.x",
                                      "dbo.[a b]", "*", "", "x y.z", "1abc", "_a", "[x]", "]x[",
                                      std::string(60, 'n'), std::string(41, ' ') + "y"};
    for (int i = 0; i < 6; ++i) names.push_back("Name" + std::to_string(i) + (i % 3 ? "" : " x"));
    return names;
}

TEST(SQLText, AppendedQuotingAnswersAsTheScannerInBothDialects) {
    auto ms = MSParser();
    auto base = BaseParser();
    for (const TQBSQLScanner* scanner : {ms->GetScanner(), base->GetScanner()}) {
        for (const std::string& name : QuotingNames()) {
            // Appended behind what is there already.
            std::string text = "<";
            AppendQuotedName(text, scanner, name);
            EXPECT_EQ(text.substr(1), scanner->QuoteName(name)) << name;
            EXPECT_EQ(text.front(), '<');
            text.clear();
            AppendQuotedName(text, scanner, std::string_view(name));
            EXPECT_EQ(text, scanner->QuoteName(name)) << name;
            text.clear();
            AppendQuotedIdentifier(text, scanner, name);
            EXPECT_EQ(text, scanner->QuoteIdentifier(name)) << name;
            // Known to be unquoted only where it is.
            EXPECT_TRUE(!scanner->WritesUnquoted(name) ||
                        (scanner->QuoteName(name) == name && scanner->QuoteIdentifier(name) == name))
                << name;
        }
    }
}

TEST(SQLText, EachWriteFollowsTheScannersCurrentRules) {
    auto parser = MSParser();
    TQBSQLScanner& scanner = *parser->GetScanner();
    const auto quoted = [&scanner] {
        std::string text;
        AppendQuotedName(text, &scanner, std::string("Widget"));
        return text;
    };
    EXPECT_EQ(quoted(), "Widget");
    scanner.GetKeywords().Add("WIDGET");
    EXPECT_EQ(quoted(), "[Widget]");
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
        for (const std::string& name : names) {
            std::string text;
            AppendQuotedName(text, scanner, name);
            EXPECT_EQ(text, scanner->QuoteName(name)) << name;
            text.clear();
            AppendQuotedIdentifier(text, scanner, name);
            EXPECT_EQ(text, scanner->QuoteIdentifier(name)) << name;
            // Known to be unquoted only where it is.
            EXPECT_TRUE(!scanner->WritesUnquoted(name) ||
                        (scanner->QuoteName(name) == name && scanner->QuoteIdentifier(name) == name))
                << name;
        }
    }
    // The dialect's own rules are obeyed.
    EXPECT_FALSE(quoteAll->WritesUnquoted("OrderID"));
    EXPECT_TRUE(ms->WritesUnquoted("OrderID"));
    EXPECT_FALSE(ms->WritesUnquoted("Select"));
}

TEST(SQLText, StringLiteralsAnswerAsEachScanner) {
    const std::vector<std::string> literals = {"", "a", "'", "''", "'a'", "O'Brien", "''x", "x''",
                                               "'a", "a'", "'a'b'", "it's 'ok'", "\"x\""};
    auto ms = MakeScanner<TQBMSSQLScanner>();
    auto base = MakeScanner<TQBSQLScanner>();
    auto quoteAll = MakeScanner<TQuoteAllScanner>();
    for (const TQBSQLScanner* scanner :
         std::vector<const TQBSQLScanner*>{ms.get(), base.get(), quoteAll.get()}) {
        for (const std::string& literal : literals) {
            std::string text(1, '<');
            text += scanner->QuoteString(literal);
            EXPECT_EQ(text.substr(1), scanner->QuoteString(literal)) << literal;
            EXPECT_EQ(text.front(), '<');
        }
    }
}

}  // namespace
