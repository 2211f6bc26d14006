// Looking ahead and stepping back: PeekToken restores everything the caller relies on, and
// Skip keeps quote state, depth, line and column in step with the bytes passed.
#include "ScannerTestSupport.h"

#include "lexer/QBMSScanner.h"
#include "lexer/QBParserError.h"

#include <gtest/gtest.h>

namespace {

struct ScannerState {
    std::string Token;
    int Position, Depth, Line, Column;
    bool InQuote;
    TQBTokenKinds Kinds;
    bool operator==(const ScannerState&) const = default;
};

ScannerState StateOf(const TQBSQLScanner& s) {
    return {s.GetToken(), s.GetPosition(), s.GetBracketDepth(), s.GetLine(),
            s.GetColumn(), s.GetInQuote(),  s.GetTokenKinds()};
}

TEST(ScannerPeek, ReturnsNextTokenAndRestoresState) {
    auto scanner = MakeScanner<TQBMSSQLScanner>();
    scanner->SetText("SELECT (a)\r\n FROM 'x'");
    std::string token;
    for (int i = 0; i < 2; ++i) {
        const ScannerState before = StateOf(*scanner);
        std::string peeked;
        scanner->PeekToken(peeked);
        EXPECT_EQ(StateOf(*scanner), before);
        scanner->NextToken(token);
        EXPECT_EQ(token, peeked);
    }
    EXPECT_EQ(scanner->NextTokenKinds(), TQBTokenKinds(qtkSymbol));
    EXPECT_EQ(scanner->GetToken(), "a");
}

TEST(ScannerPeek, NextTokenKindsSeesKeywordAcrossLineBreak) {
    auto scanner = MakeScanner<TQBSQLScanner>();
    scanner->SetText("a\nFROM");
    EXPECT_EQ(scanner->NextTokenKinds(), TQBTokenKinds(qtkKeyword));
    EXPECT_EQ(scanner->GetLine(), 1);
}

TEST(ScannerPeek, StateRestoredWhenPeekRaises) {
    auto scanner = MakeScanner<TQBSQLScanner>();
    scanner->SetText("a 'bc");
    std::string token;
    scanner->NextToken(token);  // bc, the quote still open
    const ScannerState before = StateOf(*scanner);
    EXPECT_THROW(scanner->PeekToken(token), EQBParserError);
    EXPECT_EQ(StateOf(*scanner), before);
}

TEST(ScannerSkip, StepsBackOverAWordAndReadsItAgain) {
    auto scanner = MakeScanner<TQBSQLScanner>();
    scanner->SetText("a = 1 AND b");
    std::string token;
    while (scanner->GetToken() != "AND") scanner->NextToken(token);
    const int column = scanner->GetColumn();
    scanner->Skip(-3);
    EXPECT_EQ(scanner->GetToken(), "");
    EXPECT_EQ(scanner->GetColumn(), column - 3);
    scanner->NextToken(token);
    EXPECT_EQ(token, "AND");
    EXPECT_EQ(scanner->GetColumn(), column);
}

TEST(ScannerSkip, BackOverBracketsAndQuotesUndoesTheirEffect) {
    auto scanner = MakeScanner<TQBSQLScanner>();
    scanner->SetText("(x)");
    std::string token;
    scanner->NextToken(token);  // x at depth 1
    ASSERT_EQ(scanner->GetBracketDepth(), 1);
    scanner->Skip(-2);
    EXPECT_EQ(scanner->GetBracketDepth(), 0);
    EXPECT_EQ(scanner->GetPosition(), 1);

    scanner->SetText("a 'b' c");
    while (scanner->GetToken() != "c") scanner->NextToken(token);
    scanner->Skip(-3);  // back over the closing quote only
    EXPECT_TRUE(scanner->GetInQuote());
    scanner->Skip(-3);  // and over the opening one
    EXPECT_FALSE(scanner->GetInQuote());
}

TEST(ScannerSkip, BackOverLineBreakRestoresLineAndColumn) {
    auto scanner = MakeScanner<TQBSQLScanner>();
    scanner->SetText("ab\ncd");
    std::string token;
    scanner->NextToken(token);
    ASSERT_EQ(token, "cd");
    scanner->Skip(-3);  // before the line feed
    EXPECT_EQ(scanner->GetLine(), 1);
    EXPECT_EQ(scanner->GetColumn(), 3);
    scanner->NextToken(token);
    EXPECT_EQ(token, "cd");
    EXPECT_EQ(scanner->GetLine(), 2);
    EXPECT_EQ(scanner->GetColumn(), 3);
}

TEST(ScannerSkip, ZeroDoesNothingAndStepsStopAtTheEnds) {
    auto scanner = MakeScanner<TQBSQLScanner>();
    scanner->SetText("abc");
    scanner->Skip(0);
    EXPECT_EQ(scanner->GetToken(), "abc");
    scanner->Skip(-100);
    EXPECT_EQ(scanner->GetPosition(), 1);
    scanner->Skip(100);
    EXPECT_EQ(scanner->GetPosition(), 4);
}

TEST(ScannerSkip, ForwardFollowsQuotesBracketsLinesAndColumns) {
    // Each row: text, bytes to step forward from the start, then where the scanner stands.
    struct Row {
        const char* Text;
        int Delta, Position, Depth, Line, Column;
        bool InQuote;
    };
    const Row rows[] = {
        {"(a\nb) c", 3, 4, 1, 2, 1, false},
        {"(a\nb) c", 5, 6, 0, 2, 3, false},
        {"'x' (y z", 1, 2, 0, 1, 2, true},
        {"'x' (y z", 5, 6, 1, 1, 6, false},
        {"[a b] c", 2, 3, 0, 1, 3, true},
        {"ab", 9, 3, 0, 1, 3, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Text);
        auto scanner = MakeScanner<TQBMSSQLScanner>();
        scanner->SetText(row.Text);
        scanner->Skip(-100);  // back to the start: line 1, column 1, depth 0
        ASSERT_EQ(scanner->GetPosition(), 1);
        ASSERT_EQ(scanner->GetColumn(), 1);
        scanner->Skip(row.Delta);
        EXPECT_EQ(scanner->GetPosition(), row.Position);
        EXPECT_EQ(scanner->GetBracketDepth(), row.Depth);
        EXPECT_EQ(scanner->GetLine(), row.Line);
        EXPECT_EQ(scanner->GetColumn(), row.Column);
        EXPECT_EQ(scanner->GetInQuote(), row.InQuote);
    }
}

// A dialect whose quotes end only before a blank or the end of the text: "it's" needs no
// doubling. Both places that close a quote ask its IsQuoteEnd.
class TLooseQuoteScanner : public TQBMSSQLScanner {
public:
    bool IsQuoteEnd(char Ch, const std::string& Token, char QuoteChar, char NextCh) const override {
        return NextCh == ' ' && TQBMSSQLScanner::IsQuoteEnd(Ch, Token, QuoteChar, NextCh);
    }
};

TEST(ScannerQuotes, ADialectsOwnQuoteEndIsObeyed) {
    auto scanner = MakeScanner<TLooseQuoteScanner>();
    EXPECT_EQ(ScanTexts(*scanner, "SELECT 'it's' x"), (std::vector<std::string>{"SELECT", "it's", "x"}));
    auto plain = MakeScanner<TQBMSSQLScanner>();
    EXPECT_EQ(ScanTexts(*plain, "SELECT 'it''s' x"), (std::vector<std::string>{"SELECT", "it''s", "x"}));
}

TEST(ScannerReset, StartsOverAtLineOneColumnOne) {
    auto scanner = MakeScanner<TQBSQLScanner>();
    scanner->SetText("a\r\n(b");
    std::string token;
    scanner->NextToken(token);
    scanner->NextToken(token);
    scanner->FirstToken(token);
    EXPECT_EQ(token, "a");
    EXPECT_EQ(scanner->GetLine(), 1);
    EXPECT_EQ(scanner->GetColumn(), 2);
    EXPECT_EQ(scanner->GetBracketDepth(), 0);
}

}  // namespace
