// Name and string quoting of both dialects: when a name needs quotes, how dotted names are
// quoted part by part, and how quotes are taken off again.
#include "lexer/QBMSScanner.h"

#include <gtest/gtest.h>

namespace {

enum class Dialect { Base, MS };

std::unique_ptr<TQBSQLScanner> Make(Dialect dialect) {
    if (dialect == Dialect::MS) return MakeScanner<TQBMSSQLScanner>();
    return MakeScanner<TQBSQLScanner>();
}

struct NeedsQuotesCase {
    Dialect Which;
    std::string Name;
    bool Expected;
};

class NeedsQuotes : public ::testing::TestWithParam<NeedsQuotesCase> {};

TEST_P(NeedsQuotes, DecidesByCharactersAndWordLists) {
    EXPECT_EQ(Make(GetParam().Which)->NeedsQuotes(GetParam().Name), GetParam().Expected)
        << GetParam().Name;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, NeedsQuotes,
    ::testing::Values(NeedsQuotesCase{Dialect::Base, "name", false},
                      NeedsQuotesCase{Dialect::Base, "Name1_x", false},
                      NeedsQuotesCase{Dialect::Base, "1name", true},
                      NeedsQuotesCase{Dialect::Base, "my col", true},
                      NeedsQuotesCase{Dialect::Base, "from", true},
                      NeedsQuotesCase{Dialect::Base, "sum", true},
                      NeedsQuotesCase{Dialect::Base, "*", false},
                      NeedsQuotesCase{Dialect::Base, " * ", false},
                      NeedsQuotesCase{Dialect::Base, "\"x\"", false},
                      NeedsQuotesCase{Dialect::Base, "", false},
                      NeedsQuotesCase{Dialect::Base, "a.\"b c\"", false},
                      NeedsQuotesCase{Dialect::Base, "\xE5\xAE\xA2", true},
                      NeedsQuotesCase{Dialect::MS, "order", true},
                      NeedsQuotesCase{Dialect::MS, "getdate", true},
                      NeedsQuotesCase{Dialect::MS, "Name", false},
                      NeedsQuotesCase{Dialect::MS, "[x]", false},
                      NeedsQuotesCase{Dialect::MS, "[dbo].x y", false},
                      NeedsQuotesCase{Dialect::MS, "Order Details", true}));

struct QuoteCase {
    Dialect Which;
    std::string Input;
    std::string Expected;
};

class QuoteName : public ::testing::TestWithParam<QuoteCase> {};

TEST_P(QuoteName, QuotesOnlyThePartsThatNeedIt) {
    EXPECT_EQ(Make(GetParam().Which)->QuoteName(GetParam().Input), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, QuoteName,
    ::testing::Values(QuoteCase{Dialect::Base, "t.select", "t.\"select\""},
                      QuoteCase{Dialect::Base, "a.b", "a.b"},
                      QuoteCase{Dialect::Base, "dbo.My Table", "dbo.\"My Table\""},
                      QuoteCase{Dialect::Base, "\"dbo\".\"My Table\"", "\"dbo\".\"My Table\""},
                      QuoteCase{Dialect::MS, "dbo.order details", "dbo.[order details]"},
                      QuoteCase{Dialect::MS, "left", "[left]"},
                      QuoteCase{Dialect::MS, "Orders", "Orders"},
                      QuoteCase{Dialect::MS, "\xE5\xAE\xA2\xE6\x88\xB7",
                                "[\xE5\xAE\xA2\xE6\x88\xB7]"}));

class QuoteIdentifier : public ::testing::TestWithParam<QuoteCase> {};

TEST_P(QuoteIdentifier, StripsOuterQuotesAndQuotesAgainWhenNeeded) {
    EXPECT_EQ(Make(GetParam().Which)->QuoteIdentifier(GetParam().Input), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, QuoteIdentifier,
    ::testing::Values(QuoteCase{Dialect::MS, "[abc]", "abc"},
                      QuoteCase{Dialect::MS, "[a b]", "[a b]"},
                      QuoteCase{Dialect::MS, "a]b", "[a]b]"},
                      QuoteCase{Dialect::MS, "[]", "[]"},
                      QuoteCase{Dialect::Base, "\"select\"", "\"select\""},
                      QuoteCase{Dialect::Base, "my\"col", "\"my\"\"col\""}));

class QuoteString : public ::testing::TestWithParam<QuoteCase> {};

TEST_P(QuoteString, WritesLiteralsWithDoubledQuotes) {
    EXPECT_EQ(Make(GetParam().Which)->QuoteString(GetParam().Input), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, QuoteString,
                         ::testing::Values(QuoteCase{Dialect::Base, "O'Brien", "'O''Brien'"},
                                           QuoteCase{Dialect::Base, "'x'", "'x'"},
                                           QuoteCase{Dialect::Base, "'", "''''"},
                                           QuoteCase{Dialect::MS, "", "''"}));

class UnquoteName : public ::testing::TestWithParam<QuoteCase> {};

TEST_P(UnquoteName, TakesIdentifierQuotesOff) {
    EXPECT_EQ(Make(GetParam().Which)->UnquoteName(GetParam().Input), GetParam().Expected);
}

INSTANTIATE_TEST_SUITE_P(Cases, UnquoteName,
                         ::testing::Values(QuoteCase{Dialect::MS, "[x]", "x"},
                                           QuoteCase{Dialect::MS, "]x[", "x"},
                                           QuoteCase{Dialect::MS, "[x", "[x"},
                                           QuoteCase{Dialect::MS, "[a]]b]", "a]]b"},
                                           QuoteCase{Dialect::Base, "\"a\"\"b\"", "a\"b"},
                                           QuoteCase{Dialect::Base, "\"", "\""}));

TEST(ScannerQuoting, DialectQuoteCharactersAndBooleanTexts) {
    auto base = Make(Dialect::Base);
    auto ms = Make(Dialect::MS);
    EXPECT_EQ(base->IdentQuoteChar(), '"');
    EXPECT_EQ(ms->IdentQuoteChar(), '[');
    EXPECT_EQ(ms->ClosingQuote('['), ']');
    EXPECT_EQ(ms->ClosingQuote(']'), '[');
    EXPECT_EQ(ms->StringQuoteChar(), '\'');
    EXPECT_FALSE(base->QuoteAliases());
    EXPECT_TRUE(ms->QuoteAliases());
    EXPECT_TRUE(base->QuoteNamesEnabled());
    EXPECT_EQ(base->BooleanText(true), "True");
    EXPECT_EQ(ms->BooleanText(true), "TRUE");
    EXPECT_EQ(ms->BooleanText(false), "FALSE");
    ms->SetBooleanText(true, "1");
    EXPECT_TRUE(ms->IsBoolean("1"));
}

TEST(ScannerQuoting, ScannerWithoutSecondStepStillUsesItsDialect) {
    TQBMSSQLScanner scanner;  // Init not called by the owner
    EXPECT_TRUE(scanner.IsKeyword("TOP"));
    EXPECT_EQ(scanner.QuoteName("order"), "[order]");
}

}  // namespace
