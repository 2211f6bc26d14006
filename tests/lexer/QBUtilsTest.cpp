// Text utilities: quoting with arbitrary quote characters, dotted names, the one-line
// encoding and its inverse, small string tests and the polyline hit test.
#include "lexer/QBUtils.h"

#include "toolkit/TStringList.h"

#include <gtest/gtest.h>

namespace {

struct QuoteCase {
    std::string Input;
    char Open, Close;
    std::string Expected;
};

class QuoteTextCases : public ::testing::TestWithParam<QuoteCase> {};
TEST_P(QuoteTextCases, Wraps) {
    const auto& c = GetParam();
    EXPECT_EQ(QuoteText(c.Input, c.Open, c.Close), c.Expected);
}
INSTANTIATE_TEST_SUITE_P(Cases, QuoteTextCases,
                         ::testing::Values(QuoteCase{"O'Brien", '\'', '\'', "'O''Brien'"},
                                           QuoteCase{"a]b", '[', ']', "[a]b]"},
                                           QuoteCase{"", '"', '"', "\"\""},
                                           QuoteCase{"\"\"", '"', '"', "\"\"\"\"\"\""}));

class QuoteTextIfNeededCases : public ::testing::TestWithParam<QuoteCase> {};
TEST_P(QuoteTextIfNeededCases, WrapsOnlyUnwrappedText) {
    const auto& c = GetParam();
    EXPECT_EQ(QuoteTextIfNeeded(c.Input, c.Open, c.Close), c.Expected);
}
INSTANTIATE_TEST_SUITE_P(Cases, QuoteTextIfNeededCases,
                         ::testing::Values(QuoteCase{"'abc'", '\'', '\'', "'abc'"},
                                           QuoteCase{"abc", '\'', '\'', "'abc'"},
                                           QuoteCase{"'", '\'', '\'', "'"},
                                           QuoteCase{"[x]", '[', ']', "[x]"},
                                           QuoteCase{"", '[', ']', "[]"}));

class UnquoteTextCases : public ::testing::TestWithParam<QuoteCase> {};
TEST_P(UnquoteTextCases, TakesQuotesOff) {
    const auto& c = GetParam();
    EXPECT_EQ(UnquoteText(c.Input, c.Open, c.Close), c.Expected);
}
INSTANTIATE_TEST_SUITE_P(
    Cases, UnquoteTextCases,
    ::testing::Values(QuoteCase{"'O''Brien'", '\'', '\'', "O'Brien"},
                      QuoteCase{"[x]", '[', ']', "x"}, QuoteCase{"[x", '[', ']', "[x"},
                      QuoteCase{"x", '"', '"', "x"}, QuoteCase{"\"", '"', '"', "\""},
                      QuoteCase{"\"a\"b", '"', '"', "a"},       // text after the close dropped
                      QuoteCase{"\"abc", '"', '"', "ab"},       // no close: last byte dropped
                      QuoteCase{"\"a", '"', '"', ""},
                      QuoteCase{"[a]]b]", '[', ']', "a]]b"},
                      QuoteCase{"x[a]", '[', ']', "x[a]"}));

TEST(QuoteRoundTrip, UnquoteInvertsQuoteForSymmetricQuotes) {
    for (const std::string s : {"", "a", "'", "''", "it's", "a''b'", "\xE4\xB8\xAD'"}) {
        EXPECT_EQ(UnquoteText(QuoteText(s, '\'', '\''), '\'', '\''), s) << s;
    }
}

struct NameCase {
    std::string Name;
    char Open, Close;
    std::string Qualifier, LastName;
};

class DottedNames : public ::testing::TestWithParam<NameCase> {};
TEST_P(DottedNames, SplitAtLastUnquotedPoint) {
    const auto& c = GetParam();
    EXPECT_EQ(ExtractQualifier(c.Name, c.Open, c.Close), c.Qualifier);
    EXPECT_EQ(ExtractLastName(c.Name, c.Open, c.Close), c.LastName);
}
INSTANTIATE_TEST_SUITE_P(
    Cases, DottedNames,
    ::testing::Values(NameCase{"a.b.c", '"', '"', "a.b", "c"},
                      NameCase{"abc", '"', '"', "", "abc"},
                      NameCase{"dbo.t", '[', ']', "dbo", "t"},
                      NameCase{"\"x.y\".\"a.b\"", '"', '"', "\"x.y\"", "\"a.b\""},
                      NameCase{"[a.b]", '[', ']', "", "[a.b]"},
                      NameCase{"[dbo].[Order.Details]", '[', ']', "[dbo]", "[Order.Details]"},
                      NameCase{"a.\"b\"\".c\"", '"', '"', "a", "\"b\"\".c\""},
                      NameCase{"", '[', ']', "", ""}, NameCase{"t.", '[', ']', "t", ""},
                      // A leading point separates nothing, with or without quotes about.
                      NameCase{".x", '[', ']', "", ".x"}, NameCase{".[x]", '[', ']', "", ".[x]"},
                      NameCase{"s.t.[a b]", '[', ']', "s.t", "[a b]"},
                      NameCase{"[s].t.c", '[', ']', "[s].t", "c"},
                      // An opening bracket inside brackets is text of the part.
                      NameCase{"[x.y].[a [b]", '[', ']', "[x.y]", "[a [b]"},
                      NameCase{"[a [b].c", '[', ']', "[a [b]", "c"}));

TEST(CharCodes, EncodeExamples) {
    EXPECT_EQ(EncodeCharCodes("abc", '"', '#'), "\"\"abc\"\"");
    EXPECT_EQ(EncodeCharCodes("ab\r\ncd", '"', '#'), "\"\"ab\"#13#10\"cd\"\"");
    EXPECT_EQ(EncodeCharCodes("ab\r\n", '"', '#'), "\"\"ab\"#13#10\"\"\"");
}

TEST(CharCodes, DecodeExamples) {
    EXPECT_EQ(DecodeCharCodes("\"ab\"#13#10\"cd\"", '"', '#'), "ab\r\ncd");
    EXPECT_EQ(DecodeCharCodes("\"a\"#1x\"b\"", '"', '#'), "ab");
    EXPECT_EQ(DecodeCharCodes("\"a\"#", '"', '#'), "");  // no quote after the codes
    EXPECT_EQ(DecodeCharCodes("\"a\"#999\"b\"", '"', '#'), "ab");
}

TEST(CharCodes, DecodeInvertsEncodeForEveryText) {
    const std::string samples[] = {"",
                                   "SELECT *\r\nFROM t\r\n",
                                   "\t\tindented\n",
                                   "say \"hi\"\r\n",
                                   "#13 stays text",
                                   "a\"#1b",
                                   "SELECT * FROM\r\n#tmp",
                                   "\"#\"#",
                                   std::string("nul\0byte", 8),
                                   "\x01\x02\x1f",
                                   "\xE4\xB8\xAD\xE6\x96\x87\r\n"};
    for (const auto& s : samples) {
        const std::string encoded = EncodeCharCodes(s, '"', '#');
        ASSERT_GE(encoded.size(), 2u);
        const std::string stored = encoded.substr(1, encoded.size() - 2);  // the INI reader's cut
        EXPECT_EQ(DecodeCharCodes(stored, '"', '#'), s);
    }
}

struct PosCaseCase {
    std::string Sub, S;
    bool CaseSensitive;
    int Expected;
};
class PosCaseCases : public ::testing::TestWithParam<PosCaseCase> {};
TEST_P(PosCaseCases, FindsOneBasedPosition) {
    const auto& c = GetParam();
    EXPECT_EQ(PosCase(c.Sub, c.S, c.CaseSensitive), c.Expected);
}
INSTANTIATE_TEST_SUITE_P(Cases, PosCaseCases,
                         ::testing::Values(PosCaseCase{"b", "abc", true, 2},
                                           PosCaseCase{"B", "abc", true, 0},
                                           PosCaseCase{"B", "abc", false, 2},
                                           PosCaseCase{"", "abc", false, 0},
                                           PosCaseCase{"abcd", "abc", false, 0}));

TEST(ExpressionText, OperatorsMakeExpressionsPointsDoNot) {
    EXPECT_FALSE(IsExpressionText("   "));
    EXPECT_FALSE(IsExpressionText(""));
    EXPECT_TRUE(IsExpressionText("a+b"));
    EXPECT_FALSE(IsExpressionText("sum(a)"));
    EXPECT_FALSE(IsExpressionText("t.col"));
    EXPECT_TRUE(IsExpressionText("count(*)"));
    EXPECT_TRUE(IsExpressionText("a||b"));
}

TEST(UpperCaseStringsTest, UpperCasesEveryLineAndToleratesNull) {
    TStringList list;
    list.SetCommaText("select,From,\xC3\xA9t\xC3\xA9");
    UpperCaseStrings(&list);
    EXPECT_EQ(list.GetCommaText(), "SELECT,FROM,\xC3\xA9T\xC3\xA9");
    UpperCaseStrings(nullptr);
}

struct SegmentCase {
    const char* Name;
    std::vector<TPoint> Points;
    TPoint P;
    double Tolerance;
    int Expected;
};
class FindSegment : public ::testing::TestWithParam<SegmentCase> {};
TEST_P(FindSegment, ReturnsFirstNearSegment) {
    const auto& c = GetParam();
    EXPECT_EQ(FindSegmentAt(c.Points, c.P, c.Tolerance), c.Expected);
}
INSTANTIATE_TEST_SUITE_P(
    Cases, FindSegment,
    ::testing::Values(
        SegmentCase{"OnePoint", {{0, 0}}, {0, 0}, 5, -1},
        SegmentCase{"NoPoints", {}, {0, 0}, 5, -1},
        SegmentCase{"OnHorizontal", {{0, 0}, {10, 0}}, {5, 0}, 0, 0},
        SegmentCase{"NearVerticalSecond", {{0, 0}, {10, 0}, {10, 10}}, {12, 5}, 2, 1},
        SegmentCase{"BeyondVerticalEnd", {{0, 0}, {0, 10}}, {0, 11}, 3, -1},
        SegmentCase{"TooFarFromHorizontal", {{0, 0}, {10, 0}}, {5, 4}, 3, -1},
        SegmentCase{"OnDiagonal", {{0, 0}, {100, 50}}, {40, 20}, 1, 0},
        SegmentCase{"NearSteepDiagonal", {{0, 0}, {10, 100}}, {5, 52}, 2, 0},
        SegmentCase{"FarFromDiagonal", {{0, 0}, {100, 50}}, {40, 40}, 3, -1},
        SegmentCase{"DiagonalEndPoint", {{0, 0}, {100, 50}}, {100, 50}, 0, 0}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(BlankStar, OnlyALoneStarBetweenBlanks) {
    for (const char* star : {"*", " *", "*  ", "\t* \r\n"}) EXPECT_TRUE(IsBlankStar(star)) << star;
    for (const char* other : {"", " ", "**", "* *", "a*", "[*]", "t.*"})
        EXPECT_FALSE(IsBlankStar(other)) << other;
}

}  // namespace
