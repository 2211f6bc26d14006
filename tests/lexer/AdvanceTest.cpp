// Advance, the parser's way of moving on, against NextToken: the same tokens, kinds, positions
// and errors over texts that take every path of the reader, and a dialect's own NextToken
// honoured by Advance and PeekToken.
#include "ScannerTestSupport.h"

#include "lexer/QBMSScanner.h"
#include "lexer/QBParserError.h"
#include "toolkit/TextCompare.h"

#include <gtest/gtest.h>

#include <optional>

namespace {

struct ReadStep {
    std::string Token;
    int Position, Depth, Line, Column, Spaces;
    bool InQuote;
    TQBTokenKinds Kinds;
    bool operator==(const ReadStep&) const = default;
};

ReadStep StepOf(const TQBSQLScanner& s) {
    return {s.GetToken(),  s.GetPosition(),   s.GetBracketDepth(), s.GetLine(), s.GetColumn(),
            s.GetSpaceCount(), s.GetInQuote(), s.GetTokenKinds()};
}

struct ReadResult {
    std::vector<ReadStep> Steps;
    std::optional<int> ErrorCode;
    int ErrorLine = 0, ErrorColumn = 0;
    std::string ErrorToken;
};

// Reads Text to its end, one token at a time through NextToken or through Advance, peeking
// before every other read so that peeks are checked in between as well.
template <class TScanner>
ReadResult ReadAll(const std::string& Text, bool UseAdvance) {
    auto scanner = MakeScanner<TScanner>();
    ReadResult result;
    try {
        scanner->SetText(Text);
        std::string token;
        for (int i = 0; i < 1000 && scanner->GetPosition() <= scanner->GetLength() + 1; ++i) {
            if (i % 2 == 0) scanner->NextTokenKinds();
            if (UseAdvance)
                scanner->Advance();
            else
                scanner->NextToken(token);
            result.Steps.push_back(StepOf(*scanner));
            if (scanner->GetPosition() > scanner->GetLength() &&
                scanner->GetTokenKinds().Contains(qtkEnd))
                break;
        }
    } catch (const EQBParserError& error) {
        result.ErrorCode = error.ErrorCode;
        result.ErrorLine = error.LineNo;
        result.ErrorColumn = error.LinePos;
        result.ErrorToken = error.what();
    }
    return result;
}

const std::string Texts[] = {
    "SELECT a, b FROM t WHERE x = 1",
    "select  o.OrderID,c.[Customer ID] from Orders o\r\n  inner join [Order Details] d on d.x>=2",
    "SELECT 12.5, 12.x, 3., .5, 1.2.3 FROM t",
    "SELECT 'it''s', '', \"q\", [a.b], [a]]b] FROM t -- note\r\nWHERE a <> b /* c\nd */ AND e!=f",
    "SELECT (a + (b)) * c / d % e FROM t;  SELECT 1",
    "SELECT True, FALSE, null FROM t\n\n\tWHERE a IS NOT NULL;",
    "SELECT @v, #t, a$b, \xC3\xA4x FROM t",
    "SELECT a\rb, c\r",
    std::string("SELECT a\0b FROM t", 17),
    "SELECT 'unterminated",
    "SELECT [open",
    "SELECT a;",
    "",
    "   ",
    ";",
    "a.b.c..d",
};

TEST(ScannerAdvance, ReadsExactlyLikeNextTokenInBothDialects) {
    for (const std::string& text : Texts) {
        SCOPED_TRACE(text);
        const auto msNext = ReadAll<TQBMSSQLScanner>(text, false);
        const auto msAdvance = ReadAll<TQBMSSQLScanner>(text, true);
        EXPECT_EQ(msAdvance.Steps, msNext.Steps);
        EXPECT_EQ(msAdvance.ErrorCode, msNext.ErrorCode);
        EXPECT_EQ(msAdvance.ErrorLine, msNext.ErrorLine);
        EXPECT_EQ(msAdvance.ErrorColumn, msNext.ErrorColumn);
        EXPECT_EQ(msAdvance.ErrorToken, msNext.ErrorToken);
        const auto baseNext = ReadAll<TQBSQLScanner>(text, false);
        const auto baseAdvance = ReadAll<TQBSQLScanner>(text, true);
        EXPECT_EQ(baseAdvance.Steps, baseNext.Steps);
        EXPECT_EQ(baseAdvance.ErrorCode, baseNext.ErrorCode);
        EXPECT_EQ(baseAdvance.ErrorToken, baseNext.ErrorToken);
    }
}

TEST(ScannerAdvance, NamesThePreviousTokenInTheUnterminatedStringError) {
    auto scanner = MakeScanner<TQBMSSQLScanner>();
    scanner->SetText("SELECT 'abc");
    scanner->Advance();  // the string's text
    EXPECT_EQ(scanner->GetToken(), "abc");
    try {
        scanner->Advance();
        FAIL() << "no error";
    } catch (const EQBParserError& error) {
        EXPECT_EQ(error.ErrorCode, qpeUnterminatedString);
        EXPECT_EQ(scanner->GetToken(), "abc");
    }
}

// A dialect that upper-cases every token in its own NextToken.
class TUpperScanner : public TQBMSSQLScanner {
public:
    void NextToken(std::string& Token) override {
        TQBMSSQLScanner::NextToken(Token);
        for (char& ch : Token) ch = UpCaseChar(ch);
        FToken = Token;
    }
};

// Made by MakeScanner or in two steps by hand: either way Advance obeys the dialect.
std::unique_ptr<TUpperScanner> MadeByHand() {
    auto scanner = std::make_unique<TUpperScanner>();
    scanner->Init();
    return scanner;
}

class ScannerAdvanceOwnNextToken
    : public ::testing::TestWithParam<std::unique_ptr<TUpperScanner> (*)()> {};

INSTANTIATE_TEST_SUITE_P(ByMakerOrByHand, ScannerAdvanceOwnNextToken,
                         ::testing::Values(&MakeScanner<TUpperScanner>, &MadeByHand));

TEST_P(ScannerAdvanceOwnNextToken, GoesThroughIt) {
    auto scanner = GetParam()();
    scanner->SetText("select a from t");
    std::string peeked;
    scanner->PeekToken(peeked);
    EXPECT_EQ(peeked, "A");
    EXPECT_EQ(scanner->GetToken(), "SELECT");
    scanner->Advance();
    EXPECT_EQ(scanner->GetToken(), "A");
    scanner->Advance();
    EXPECT_EQ(scanner->GetToken(), "FROM");
}

TEST(ScannerAdvance, FollowsChangedWordListsAndBooleanTexts) {
    auto scanner = MakeScanner<TQBSQLScanner>();
    scanner->SetText("x yes x");
    EXPECT_EQ(scanner->GetTokenKinds(), TQBTokenKinds(qtkIdentifier));
    scanner->SetBooleanText(true, "YES");
    scanner->Advance();
    EXPECT_EQ(scanner->GetTokenKinds(), TQBTokenKinds(qtkBoolean));
    scanner->GetKeywords().Add("X");
    scanner->Advance();
    EXPECT_EQ(scanner->GetTokenKinds(), TQBTokenKinds(qtkKeyword));
}

}  // namespace
