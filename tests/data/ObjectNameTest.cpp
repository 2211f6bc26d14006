// Splitting dotted object names and quoting them so that no name leaves its quotes.
#include "data/ObjectName.h"

#include <gtest/gtest.h>

namespace {

struct TQuoteCase {
    const char* Name;
    const char* Given;
    const char* Brackets;
    const char* DoubleQuotes;
};

void PrintTo(const TQuoteCase& c, std::ostream* os) { *os << c.Name; }

class QuoteObjectNameTest : public testing::TestWithParam<TQuoteCase> {};

TEST_P(QuoteObjectNameTest, QuotesEveryPartWithItsClosingQuoteDoubled) {
    const auto& c = GetParam();
    EXPECT_EQ(QuoteObjectName(c.Given, TNameQuote::Bracket), c.Brackets);
    EXPECT_EQ(QuoteObjectName(c.Given, TNameQuote::Double), c.DoubleQuotes);
    // Quoting the quoted name again changes nothing: the parts survive the round trip.
    EXPECT_EQ(QuoteObjectName(c.Brackets, TNameQuote::Bracket), c.Brackets);
    EXPECT_EQ(QuoteObjectName(c.DoubleQuotes, TNameQuote::Double), c.DoubleQuotes);
    EXPECT_EQ(QuoteObjectName(c.Brackets, TNameQuote::Double), c.DoubleQuotes);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, QuoteObjectNameTest,
    testing::Values(
        TQuoteCase{"Plain", "Orders", "[Orders]", "\"Orders\""},
        TQuoteCase{"OwnerAndName", "sales.v", "[sales].[v]", "\"sales\".\"v\""},
        TQuoteCase{"BlankInside", "Order Details", "[Order Details]", "\"Order Details\""},
        TQuoteCase{"AlreadyBracketed", "[Order Details]", "[Order Details]", "\"Order Details\""},
        TQuoteCase{"AlreadyDoubleQuoted", "\"a.b\".c", "[a.b].[c]", "\"a.b\".\"c\""},
        TQuoteCase{"ClosingBracketInside", "x]; DROP TABLE Orders; --", "[x]]; DROP TABLE Orders; --]",
                   "\"x]; DROP TABLE Orders; --\""},
        TQuoteCase{"DoubleQuoteInside", "x\"; DROP TABLE t; --", "[x\"; DROP TABLE t; --]",
                   "\"x\"\"; DROP TABLE t; --\""},
        TQuoteCase{"DoubledBracketInsideBrackets", "[a]]b]", "[a]]b]", "\"a]b\""},
        TQuoteCase{"BlanksAroundTheDot", "[dbo] . [p q]", "[dbo].[p q]", "\"dbo\".\"p q\""},
        TQuoteCase{"ThreeParts", "db.dbo.t", "[db].[dbo].[t]", "\"db\".\"dbo\".\"t\""},
        TQuoteCase{"Chinese", "销售.客户订单统计", "[销售].[客户订单统计]", "\"销售\".\"客户订单统计\""},
        TQuoteCase{"UnterminatedQuoteTakesTheRest", "[abc", "[abc]", "\"abc\""}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(QuoteNamePartTest, KeepsDotsAndQuotesOfOnePart) {
    EXPECT_EQ(QuoteNamePart("a.b", TNameQuote::Bracket), "[a.b]");
    EXPECT_EQ(QuoteNamePart("[x]", TNameQuote::Bracket), "[[x]]]");
    EXPECT_EQ(QuoteNamePart("\"", TNameQuote::Double), "\"\"\"\"");
    EXPECT_EQ(QuoteNamePart("", TNameQuote::Double), "\"\"");
}

TEST(SplitObjectNameTest, KeepsEmptyPartsOfStrayDots) {
    EXPECT_EQ(SplitObjectName("a..b"), (std::vector<std::string>{"a", "", "b"}));
    EXPECT_EQ(SplitObjectName(""), (std::vector<std::string>{""}));
}

}  // namespace
