// Hostile input never crashes or hangs the scanner: NUL bytes, invalid UTF-8, text ending in
// an open quote or bracket, and a megabyte of one delimiter or quote character.
#include "ScannerTestSupport.h"

#include "lexer/QBMSScanner.h"
#include "lexer/QBParserError.h"
#include "lexer/QBUtils.h"

#include <gtest/gtest.h>

namespace {

// Reads Text to the end (or to the unterminated-quote error); returns the tokens read and
// whether the error came. Fails when the reader stops advancing.
std::pair<long, bool> Drain(TQBSQLScanner& scanner, const std::string& text) {
    long tokens = 0;
    try {
        scanner.SetText(text);
        std::string token;
        int lastPosition = 0;
        while (!scanner.GetTokenKinds().Contains(qtkEnd)) {
            EXPECT_GT(scanner.GetPosition(), lastPosition) << "reader stopped advancing";
            if (scanner.GetPosition() <= lastPosition) break;
            lastPosition = scanner.GetPosition();
            scanner.NextToken(token);
            ++tokens;
        }
    } catch (const EQBParserError& error) {
        EXPECT_EQ(error.ErrorCode, 3);
        return {tokens, true};
    }
    return {tokens, false};
}

struct HostileCase {
    const char* Name;
    std::string Text;
    bool Error;
};

class HostileInput : public ::testing::TestWithParam<HostileCase> {};

TEST_P(HostileInput, BothDialectsReadToTheEnd) {
    for (bool ms : {false, true}) {
        std::unique_ptr<TQBSQLScanner> scanner;
        if (ms)
            scanner = MakeScanner<TQBMSSQLScanner>();
        else
            scanner = MakeScanner<TQBSQLScanner>();
        const auto [tokens, error] = Drain(*scanner, GetParam().Text);
        (void)tokens;
        if (GetParam().Error) {
            EXPECT_TRUE(error) << (ms ? "mssql" : "base");
        }
    }
}

const HostileCase HostileCases[] = {
    {"NulBytes", std::string("SELECT\0a\0FROM\0\0t", 17), false},
    {"InvalidUtf8", "SELECT \xff\xfe\xc3 FROM \x80\x80 WHERE \xed\xa0\x80", false},
    {"LoneQuoteAtEnd", "SELECT a, '", true},
    {"OpenStringAtEnd", "SELECT 'abc", true},
    {"OnlyQuotes", "''''''''''''''''''''''''''''''''''''''''''''''''''''''''''''''''''''''''''",
     false},
    {"OddQuotes", "'''''''", false},
    {"LoneLineFeeds", "\n\n\n\n", false},
    {"OpenBlockComment", "SELECT /*", false},
    {"OnlyMinuses", "-----", false},
    {"DigitsAndPoints", "1.2.3.4.5...6..", false},
    {"MegabyteOfOpenBrackets", std::string(1 << 20, '('), false},
    {"MegabyteOfBlanks", std::string(1 << 20, ' ') + "x", false},
    {"MegabyteOfQuotes", std::string(1 << 20, '\''), false},
    {"MegabyteOfLineFeeds", std::string(1 << 20, '\n'), false},
    {"MegabyteOfDigitsThenPoint", std::string(1 << 20, '7') + ".5", false},
};

INSTANTIATE_TEST_SUITE_P(Cases, HostileInput, ::testing::ValuesIn(HostileCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(HostileInputDetails, MegabyteOfOpenBracketsNestsOnePerToken) {
    auto scanner = MakeScanner<TQBMSSQLScanner>();
    const auto [tokens, error] = Drain(*scanner, std::string(1 << 20, '('));
    EXPECT_FALSE(error);
    EXPECT_EQ(tokens, 1 << 20);
    EXPECT_EQ(scanner->GetBracketDepth(), 1 << 20);
}

TEST(HostileInputDetails, MegabyteOfSquareBracketsIsOneOpenNameInMSSQL) {
    auto scanner = MakeScanner<TQBMSSQLScanner>();
    scanner->SetText(std::string(1 << 20, '['));
    EXPECT_EQ(scanner->GetToken().size(), (1u << 20) - 1);
    EXPECT_TRUE(scanner->GetTokenKinds().Empty());
    std::string token;
    EXPECT_THROW(scanner->NextToken(token), EQBParserError);
}

TEST(HostileInputDetails, MegabyteOfSquareBracketsIsSymbolsInTheBaseDialect) {
    auto scanner = MakeScanner<TQBSQLScanner>();
    const auto [tokens, error] = Drain(*scanner, std::string(1 << 20, '['));
    EXPECT_EQ(tokens, 1 << 20);
    EXPECT_FALSE(error);
}

TEST(HostileInputDetails, TextUtilitiesTakeAnyBytes) {
    const std::string nasty("\0\x01\"#\"#\xff[]].'", 13);
    EXPECT_NO_THROW(UnquoteText(nasty, '"', '"'));
    EXPECT_NO_THROW(ExtractLastName(nasty, '[', ']'));
    EXPECT_NO_THROW(DecodeCharCodes(nasty, '"', '#'));
    EXPECT_NO_THROW(DecodeCharCodes("\"#99999999999999999999\"", '"', '#'));
    const std::string encoded = EncodeCharCodes(nasty, '"', '#');
    EXPECT_EQ(DecodeCharCodes(encoded.substr(1, encoded.size() - 2), '"', '#'), nasty);
    auto scanner = MakeScanner<TQBMSSQLScanner>();
    EXPECT_NO_THROW(scanner->QuoteName(nasty));
    EXPECT_NO_THROW(scanner->QuoteName("[[[[.]]]].."));
}

}  // namespace
