// The reader of the base dialect: token texts and kinds, numbers, quotes, white space,
// comments and line breaks, and the positions it reports.
#include "ScannerTestSupport.h"

#include "lexer/QBMSScanner.h"
#include "lexer/QBParserError.h"

#include <gtest/gtest.h>

namespace {

constexpr TQBTokenKinds K(TQBTokenKinds kinds = {}) { return kinds; }

struct ReaderCase {
    const char* Name;
    std::string Text;
    std::vector<ScannedToken> Tokens;
};

class BaseReader : public ::testing::TestWithParam<ReaderCase> {};

TEST_P(BaseReader, ReadsTokensWithKinds) {
    auto scanner = MakeScanner<TQBSQLScanner>();
    EXPECT_EQ(ScanAll(*scanner, GetParam().Text), GetParam().Tokens);
}

const ReaderCase BaseReaderCases[] = {
    {"SelectList", "SELECT a,b",
     {{"SELECT", K(qtkKeyword)}, {"a", K(qtkIdentifier)}, {",", K(qtkSymbol)},
      {"b", K(qtkIdentifier)}}},
    {"ComparisonJoined", "x<>1",
     {{"x", K(qtkIdentifier)}, {"<>", K(qtkComparison)}, {"1", K(qtkInteger)}}},
    {"LessOrEqual", "x<=1",
     {{"x", K(qtkIdentifier)}, {"<=", K(qtkComparison)}, {"1", K(qtkInteger)}}},
    {"EqualThenLessStaySeparate", "x=<1",
     {{"x", K(qtkIdentifier)}, {"=", K(qtkComparison)}, {"<", K(qtkComparison)},
      {"1", K(qtkInteger)}}},
    {"FloatAtEnd", "12.5", {{"12.5", K(qtkFloat)}}},
    {"FloatBeforeBracket", "12.5)", {{"12.5", K(qtkFloat)}, {")", K(qtkSymbol)}}},
    {"FloatWithoutFraction", "12. ", {{"12.", K(qtkFloat)}}},
    {"FloatBeforeLineFeed", "12.\nx", {{"12.", K(qtkFloat)}, {"x", K(qtkIdentifier)}}},
    {"SecondPointSplitsNumber", "12.5.3",
     {{"12", K(qtkInteger)}, {".", K(qtkSymbol)}, {"5.3", K(qtkFloat)}}},
    {"LetterAfterFraction", "12.5x",
     {{"12", K(qtkInteger)}, {".", K(qtkSymbol)}, {"5x", K()}}},
    {"QualifiedColumn", "t.col",
     {{"t", K(qtkIdentifier)}, {".", K(qtkSymbol)}, {"col", K(qtkIdentifier)}}},
    {"DoubledQuoteKept", "'it''s'", {{"it''s", K(qtkString)}}},
    {"EmptyString", "''", {{"", K(qtkString)}}},
    {"StringOfOneQuote", "''''", {{"''", K(qtkString)}}},
    {"EmptyStringBetweenWords", "a '' b",
     {{"a", K(qtkIdentifier)}, {"", K(qtkString)}, {"b", K(qtkIdentifier)}}},
    {"DoubleQuotedIsIdentifierAndString", "\"My Col\"",
     {{"My Col", qtkIdentifier | qtkString}}},
    {"DottedQuotedNameRewrapped", "\"a.b\"", {{"\"a.b\"", qtkIdentifier | qtkString}}},
    {"DottedNameWithBlankIsString", "\"a b.c\"", {{"a b.c", K(qtkString)}}},
    {"TrailingPointIsString", "\"abc.\"", {{"abc.", K(qtkString)}}},
    {"QuotedSemicolonIsAString", "';' x", {{";", K(qtkString)}, {"x", K(qtkIdentifier)}}},
    {"SemicolonEnds", "a;b", {{"a", K(qtkIdentifier)}}},
    {"FunctionIgnoresCase", "count COUNT", {{"count", K(qtkFunction)}, {"COUNT", K(qtkFunction)}}},
    {"KeywordIgnoresCase", "order", {{"order", K(qtkKeyword)}}},
    {"Boolean", "True false", {{"True", K(qtkBoolean)}, {"false", K(qtkBoolean)}}},
    {"UnclassifiedWords", "2abc #tmp", {{"2abc", K()}, {"#tmp", K()}}},
    {"HighBytesAreWordCharacters", "\xE5\x90\x8D\xE5\xAD\x97 x",
     {{"\xE5\x90\x8D\xE5\xAD\x97", K(qtkIdentifier)}, {"x", K(qtkIdentifier)}}},
    {"UnquotedNamesOfHighBytesUnderscoresAndDigits", "_a \xC3\xA9" "1 a\xE5\x90\x8D_2 1\xE5\x90\x8D",
     {{"_a", K(qtkIdentifier)}, {"\xC3\xA9" "1", K(qtkIdentifier)},
      {"a\xE5\x90\x8D_2", K(qtkIdentifier)}, {"1\xE5\x90\x8D", K()}}},
    {"StarIsArithmeticSymbol", "a*b",
     {{"a", K(qtkIdentifier)}, {"*", qtkSymbol | qtkArithmetic}, {"b", K(qtkIdentifier)}}},
    {"LoneCarriageReturnIsSymbol", "a\rb",
     {{"a", K(qtkIdentifier)}, {"\r", K(qtkSymbol)}, {"b", K(qtkIdentifier)}}},
    {"CrLfSkipped", "a\r\nb", {{"a", K(qtkIdentifier)}, {"b", K(qtkIdentifier)}}},
    {"LoneLineFeedBreaksWords", "SELECT a\nFROM t",
     {{"SELECT", K(qtkKeyword)}, {"a", K(qtkIdentifier)}, {"FROM", K(qtkKeyword)},
      {"t", K(qtkIdentifier)}}},
    {"TabsAreBlanks", "a\t\tb", {{"a", K(qtkIdentifier)}, {"b", K(qtkIdentifier)}}},
    {"LineCommentSkipped", "a -- x\r\nb", {{"a", K(qtkIdentifier)}, {"b", K(qtkIdentifier)}}},
    {"LineCommentAtEnd", "a -- x", {{"a", K(qtkIdentifier)}}},
    {"LineCommentRightAfterWord", "a--b\nc", {{"a", K(qtkIdentifier)}, {"c", K(qtkIdentifier)}}},
    {"LineCommentKeepsClosingBracket", "(o.b = 'x' -- note\n)",
     {{"(", K(qtkSymbol)}, {"o", K(qtkIdentifier)}, {".", K(qtkSymbol)},
      {"b", K(qtkIdentifier)}, {"=", K(qtkComparison)}, {"x", K(qtkString)},
      {")", K(qtkSymbol)}}},
    {"BlockComment", "a/* x */b", {{"a", K(qtkIdentifier)}, {"b", K(qtkIdentifier)}}},
    {"BlockCommentOverLines", "a /* x\r\n y\n */ b",
     {{"a", K(qtkIdentifier)}, {"b", K(qtkIdentifier)}}},
    {"UnterminatedBlockCommentRunsToEnd", "a /* x ", {{"a", K(qtkIdentifier)}}},
    {"CommentMarksInsideQuotesAreText", "'a -- b /* c'", {{"a -- b /* c", K(qtkString)}}},
    {"MinusAloneIsArithmetic", "a - b",
     {{"a", K(qtkIdentifier)}, {"-", qtkSymbol | qtkArithmetic}, {"b", K(qtkIdentifier)}}},
    {"SlashAloneIsArithmetic", "a/b",
     {{"a", K(qtkIdentifier)}, {"/", qtkSymbol | qtkArithmetic}, {"b", K(qtkIdentifier)}}},
};

INSTANTIATE_TEST_SUITE_P(Cases, BaseReader, ::testing::ValuesIn(BaseReaderCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(ScannerEnd, EndTokenIsEmptyAndStaysAtEnd) {
    auto scanner = MakeScanner<TQBSQLScanner>();
    scanner->SetText("a");
    std::string token;
    scanner->NextToken(token);
    EXPECT_EQ(token, "");
    EXPECT_EQ(scanner->GetTokenKinds(), K(qtkEnd));
    scanner->NextToken(token);
    EXPECT_EQ(scanner->GetTokenKinds(), K(qtkEnd));
}

struct PositionCase {
    const char* Name;
    std::string Text;
    // Per token: text, line, column after it, blanks skipped before it.
    struct Expected {
        std::string Token;
        int Line;
        int Column;
        int SpaceCount;
    };
    std::vector<Expected> Tokens;
};

class ReaderPositions : public ::testing::TestWithParam<PositionCase> {};

TEST_P(ReaderPositions, TracksLineColumnAndSpaceCount) {
    auto scanner = MakeScanner<TQBSQLScanner>();
    scanner->SetText(GetParam().Text);
    std::string token = scanner->GetToken();
    for (const auto& expected : GetParam().Tokens) {
        SCOPED_TRACE(expected.Token);
        EXPECT_EQ(token, expected.Token);
        EXPECT_EQ(scanner->GetLine(), expected.Line);
        EXPECT_EQ(scanner->GetColumn(), expected.Column);
        EXPECT_EQ(scanner->GetSpaceCount(), expected.SpaceCount);
        scanner->NextToken(token);
    }
}

const PositionCase PositionCases[] = {
    {"BlanksCounted", "SELECT a,b", {{"SELECT", 1, 7, 0}, {"a", 1, 9, 1}, {",", 1, 10, 0}}},
    {"CrLfCountsAsOneBlank", "a\r\nb", {{"a", 1, 2, 0}, {"b", 2, 2, 1}}},
    {"LoneLineFeedStartsLine", "SELECT a\nFROM t",
     {{"SELECT", 1, 7, 0}, {"a", 1, 9, 1}, {"FROM", 2, 5, 1}, {"t", 2, 7, 1}}},
    {"LineCommentIsOneBlank", "a -- x\r\nb", {{"a", 1, 2, 0}, {"b", 2, 2, 3}}},
    {"BlockCommentLinesCounted", "a /* x\r\n y\n zz */ b",
     {{"a", 1, 2, 0}, {"b", 3, 9, 3}}},
    {"QuotedTokenAfterBlankReportsNoBlank", "a 'x'", {{"a", 1, 2, 0}, {"x", 1, 5, 0}}},
    {"LineBreakInsideQuoteNotCounted", "'a\nb' c", {{"a\nb", 1, 5, 0}, {"c", 1, 8, 1}}},
};

INSTANTIATE_TEST_SUITE_P(Cases, ReaderPositions, ::testing::ValuesIn(PositionCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(ScannerBrackets, DepthFollowsParenthesesOutsideQuotes) {
    auto scanner = MakeScanner<TQBSQLScanner>();
    scanner->SetText("(a(b)) '(' (");
    std::vector<int> depths;
    std::string token = scanner->GetToken();
    while (!scanner->GetTokenKinds().Contains(qtkEnd)) {
        depths.push_back(scanner->GetBracketDepth());
        scanner->NextToken(token);
    }
    EXPECT_EQ(depths, (std::vector<int>{1, 1, 2, 2, 1, 0, 0, 1}));
}

TEST(ScannerQuotes, InQuoteStaysSetWhileCallerSeesQuotedToken) {
    auto scanner = MakeScanner<TQBSQLScanner>();
    scanner->SetText("'x' y");
    EXPECT_EQ(scanner->GetToken(), "x");
    EXPECT_TRUE(scanner->GetInQuote());
    std::string token;
    scanner->NextToken(token);
    EXPECT_EQ(token, "y");
    EXPECT_FALSE(scanner->GetInQuote());
}

struct UnterminatedCase {
    const char* Name;
    std::string Text;
    std::string FirstToken;  // read before the error
    std::string ErrorToken;
    int Line;
    int Pos;
};

class Unterminated : public ::testing::TestWithParam<UnterminatedCase> {};

TEST_P(Unterminated, ReadsTextThenRaisesCode3) {
    const auto& c = GetParam();
    auto scanner = MakeScanner<TQBSQLScanner>();
    std::string token;
    if (!c.FirstToken.empty()) {
        scanner->SetText(c.Text);
        while (scanner->GetToken() != c.FirstToken) scanner->NextToken(token);
    }
    try {
        if (c.FirstToken.empty())
            scanner->SetText(c.Text);
        else
            scanner->NextToken(token);
        FAIL() << "no error";
    } catch (const EQBParserError& error) {
        EXPECT_EQ(error.ErrorCode, 3);
        EXPECT_EQ(error.Token, c.ErrorToken);
        EXPECT_EQ(error.LineNo, c.Line);
        EXPECT_EQ(error.LinePos, c.Pos);
        EXPECT_STREQ(error.what(), "未结束的字符串.");
    }
}

const UnterminatedCase UnterminatedCases[] = {
    {"StringAtEnd", "'abc", "abc", "abc", 1, 2},
    {"AfterKeywordOnSecondLine", "SELECT\r\n  'abc", "abc", "abc", 2, 4},
    {"LoneQuoteAtStart", "'", "", "", 1, 2},
};

INSTANTIATE_TEST_SUITE_P(Cases, Unterminated, ::testing::ValuesIn(UnterminatedCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(ScannerUnterminated, TextBeforeErrorIsAnIdentifier) {
    auto scanner = MakeScanner<TQBSQLScanner>();
    scanner->SetText("'abc");
    EXPECT_EQ(scanner->GetToken(), "abc");
    EXPECT_EQ(scanner->GetTokenKinds(), K(qtkIdentifier));
}

}  // namespace

namespace {

TEST(ScannerEnd, QuotedSemicolonIsAValueNotTheEnd) {
    auto scanner = MakeScanner<TQBMSSQLScanner>();
    scanner->SetText("a = ';' AND b = [;]");
    std::vector<std::pair<std::string, TQBTokenKinds>> seen;
    std::string token;
    for (int i = 0; i < 20 && !scanner->GetTokenKinds().Contains(qtkEnd); ++i) {
        seen.emplace_back(scanner->GetToken(), scanner->GetTokenKinds());
        scanner->NextToken(token);
    }
    ASSERT_GE(seen.size(), 7u);
    EXPECT_EQ(seen[2].first, ";");
    EXPECT_TRUE(seen[2].second.Contains(qtkString));
    EXPECT_FALSE(seen[2].second.Contains(qtkEnd));
    EXPECT_EQ(seen[6].first, ";");
    EXPECT_TRUE(seen[6].second.Contains(qtkIdentifier));
    EXPECT_FALSE(seen[6].second.Contains(qtkEnd));
}

TEST(ScannerEnd, EndTokenDoesNotCountTheLastBracketAgain) {
    auto scanner = MakeScanner<TQBSQLScanner>();
    scanner->SetText("(a)");
    std::string token;
    while (!scanner->GetTokenKinds().Contains(qtkEnd)) scanner->NextToken(token);
    EXPECT_EQ(scanner->GetBracketDepth(), 0);
}

}  // namespace
