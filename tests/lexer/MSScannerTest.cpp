// The MS SQL Server dialect: bracket and double-quote handling with and without AlterQuotes,
// T-SQL operators, words that are keywords and functions at once, and robustness on text
// that ends inside a bracket.
#include "ScannerTestSupport.h"

#include "lexer/QBMSScanner.h"
#include "lexer/QBParserError.h"

#include <gtest/gtest.h>

namespace {

constexpr TQBTokenKinds K(TQBTokenKinds kinds = {}) { return kinds; }

struct MSCase {
    const char* Name;
    bool AlterQuotes;
    std::string Text;
    std::vector<ScannedToken> Tokens;
};

class MSReader : public ::testing::TestWithParam<MSCase> {};

TEST_P(MSReader, ReadsTokensWithKinds) {
    auto scanner = MakeScanner<TQBMSSQLScanner>();
    scanner->SetAlterQuotes(GetParam().AlterQuotes);
    EXPECT_EQ(ScanAll(*scanner, GetParam().Text), GetParam().Tokens);
}

const MSCase MSCases[] = {
    {"BracketsAndDoubleQuote", false, "SELECT [Order ID], \"x\" FROM [My Table]",
     {{"SELECT", K(qtkKeyword)}, {"Order ID", K(qtkIdentifier)}, {",", K(qtkSymbol)},
      {"x", K(qtkString)}, {"FROM", K(qtkKeyword)}, {"My Table", K(qtkIdentifier)}}},
    {"AlterQuotesMakesDoubleQuoteIdentifier", true, "SELECT [Order ID], \"x\" FROM [My Table]",
     {{"SELECT", K(qtkKeyword)}, {"Order ID", K(qtkIdentifier)}, {",", K(qtkSymbol)},
      {"x", K(qtkIdentifier)}, {"FROM", K(qtkKeyword)}, {"My Table", K(qtkIdentifier)}}},
    {"SingleQuoteAlwaysString", true, "'abc'", {{"abc", K(qtkString)}}},
    {"DottedBracketNameRewrapped", false, "[a.b]", {{"[a.b]", K(qtkIdentifier)}}},
    {"DottedOwnerAndTable", false, "[dbo].[My Table]",
     {{"dbo", K(qtkIdentifier)}, {".", K(qtkSymbol)}, {"My Table", K(qtkIdentifier)}}},
    {"BracketedKeywordIsIdentifier", false, "[order]", {{"order", K(qtkIdentifier)}}},
    {"SystemVariableIsFunction", false, "@@VERSION", {{"@@VERSION", K(qtkFunction)}}},
    {"NotEqual", false, "a != b",
     {{"a", K(qtkIdentifier)}, {"!=", K(qtkComparison)}, {"b", K(qtkIdentifier)}}},
    {"NotLess", false, "a !< b",
     {{"a", K(qtkIdentifier)}, {"!<", K(qtkComparison)}, {"b", K(qtkIdentifier)}}},
    {"NotGreater", false, "a!>b",
     {{"a", K(qtkIdentifier)}, {"!>", K(qtkComparison)}, {"b", K(qtkIdentifier)}}},
    {"ModuloWithoutBlanksIsOneWord", false, "a%b", {{"a%b", K()}}},
    {"ModuloWithBlanksIsArithmetic", false, "a % b",
     {{"a", K(qtkIdentifier)}, {"%", K(qtkArithmetic)}, {"b", K(qtkIdentifier)}}},
    {"KeywordAndFunctionAtOnce", false, "LEFT coalesce",
     {{"LEFT", qtkKeyword | qtkFunction}, {"coalesce", qtkKeyword | qtkFunction}}},
    {"BooleanUpperCaseTexts", false, "true FALSE",
     {{"true", K(qtkBoolean)}, {"FALSE", K(qtkBoolean)}}},
    {"ReversedBracketsQuoteToo", false, "]x[", {{"x", K(qtkIdentifier)}}},
    {"CommentAfterCondition", false, "WHERE (o.b = 'x' -- note\r\n)",
     {{"WHERE", K(qtkKeyword)}, {"(", K(qtkSymbol)}, {"o", K(qtkIdentifier)},
      {".", K(qtkSymbol)}, {"b", K(qtkIdentifier)}, {"=", K(qtkComparison)},
      {"x", K(qtkString)}, {")", K(qtkSymbol)}}},
    {"ChineseNameInBrackets", false, "[\xE5\xAE\xA2\xE6\x88\xB7]",
     {{"\xE5\xAE\xA2\xE6\x88\xB7", K(qtkIdentifier)}}},
};

INSTANTIATE_TEST_SUITE_P(Cases, MSReader, ::testing::ValuesIn(MSCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(MSScannerWords, ListsHoldEveryEntryOfTheDialect) {
    auto scanner = MakeScanner<TQBMSSQLScanner>();
    EXPECT_EQ(scanner->GetKeywords().Count(), 174);
    EXPECT_EQ(scanner->GetFunctions().Count(), 196);
    // "NATIONAL " carries a blank that the comma text drops.
    EXPECT_TRUE(scanner->IsKeyword("national"));
    EXPECT_TRUE(scanner->IsFunction("FN_LISTEXTENDEDPROPERTY"));
    for (const char* word : {"CASE", "COALESCE", "CONTAINSTABLE", "CONVERT", "CURRENT_TIMESTAMP",
                             "CURRENT_USER", "FREETEXTTABLE", "IDENTITY", "LEFT", "NULLIF",
                             "OPENDATASOURCE", "OPENQUERY", "OPENROWSET", "OPENXML", "RIGHT",
                             "SESSION_USER", "SYSTEM_USER", "USER"}) {
        EXPECT_TRUE(scanner->IsKeyword(word) && scanner->IsFunction(word)) << word;
    }
    EXPECT_TRUE(scanner->IsCriterionOperator("!="));
    EXPECT_FALSE(scanner->IsComparison("=="));
}

TEST(MSScannerWords, ReplacedKeywordListIsUsedByTheReader) {
    auto scanner = MakeScanner<TQBMSSQLScanner>();
    scanner->GetKeywords().SetCommaText("FOO");
    EXPECT_EQ(ScanAll(*scanner, "foo select"),
              (std::vector<ScannedToken>{{"foo", K(qtkKeyword)}, {"select", K(qtkIdentifier)}}));
}

TEST(MSScannerQuotes, SwitchingAlterQuotesTakesEffectAtOnce) {
    auto scanner = MakeScanner<TQBMSSQLScanner>();
    EXPECT_TRUE(scanner->IsStringQuote('"'));
    scanner->SetAlterQuotes(true);
    EXPECT_FALSE(scanner->IsStringQuote('"'));
    EXPECT_TRUE(scanner->IsIdentQuote('"'));
    EXPECT_EQ(ScanAll(*scanner, "\"a\""), (std::vector<ScannedToken>{{"a", K(qtkIdentifier)}}));
    scanner->SetAlterQuotes(false);
    EXPECT_EQ(ScanAll(*scanner, "\"a\""), (std::vector<ScannedToken>{{"a", K(qtkString)}}));
}

TEST(MSScannerQuotes, LoneBracketAtEndRaisesCode3) {
    auto scanner = MakeScanner<TQBMSSQLScanner>();
    scanner->SetText("SELECT [");
    std::string token;
    EXPECT_THROW(scanner->NextToken(token), EQBParserError);
}

}  // namespace
