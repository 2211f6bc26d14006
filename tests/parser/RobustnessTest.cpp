// Bad and extreme input: deep nesting never exhausts the call stack, the operator stack's
// limit is a parse error, and random token soup ends in a statement that formats to itself
// again or in a parse error, never in a crash or a hang.
#include "lexer/QBParserError.h"
#include "korvel-sql/StatementFormat.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <string>

namespace {

std::string Repeat(const std::string& S, int N) {
    std::string out;
    out.reserve(S.size() * std::size_t(N));
    for (int i = 0; i < N; ++i) out += S;
    return out;
}

constexpr int Deep = 100000;

TEST(DeepNesting, SelectItemWithHundredThousandBrackets) {
    auto parser = MakeFormatParser({});
    const std::string item = Repeat("(", Deep) + "1" + Repeat(")", Deep);
    const TQBFormatResult result = FormatStatement(*parser, "SELECT " + item + " AS x FROM t");
    ASSERT_TRUE(result.Ok) << result.Error;
    EXPECT_NE(result.Text.find(item + " AS x"), std::string::npos);
    EXPECT_EQ(FormatStatement(*parser, result.Text).Text, result.Text);
}

TEST(DeepNesting, InListWithHundredThousandBrackets) {
    auto parser = MakeFormatParser({});
    const std::string value = Repeat("(", Deep) + "1" + Repeat(")", Deep);
    const TQBFormatResult result =
        FormatStatement(*parser, "SELECT a FROM t WHERE a IN (" + value + ", 2)");
    ASSERT_TRUE(result.Ok) << result.Error;
    EXPECT_NE(result.Text.find("(a IN (" + value + ",2))"), std::string::npos);
}

TEST(DeepNesting, ConditionPastTheOperatorStackIsAParseError) {
    auto parser = MakeFormatParser({});
    const std::string head = "SELECT a FROM t WHERE ";
    const std::string deep = head + Repeat("(", Deep) + "a = 1" + Repeat(")", Deep);
    try {
        parser->ParseSQL(deep);
        FAIL() << "accepted";
    } catch (const EQBParserError& error) {
        EXPECT_EQ(error.ErrorCode, 1);
        EXPECT_EQ(error.Token, "(");
        EXPECT_EQ(error.LinePos, int(head.size()) + 1025);  // the 1025th bracket
    }
}

TEST(DeepNesting, OperatorStackHoldsExactlyItsLimit) {
    auto parser = MakeFormatParser({});
    const auto condition = [](int n) { return Repeat("(", n) + "a = 1" + Repeat(")", n); };
    EXPECT_TRUE(FormatStatement(*parser, "SELECT a FROM t WHERE " + condition(1024)).Ok);
    EXPECT_FALSE(FormatStatement(*parser, "SELECT a FROM t WHERE " + condition(1025)).Ok);
    // Operators waiting on the stack count too.
    std::string chain;
    for (int i = 0; i < 600; ++i) chain += "(a = 1 OR ";
    chain += "a = 1" + Repeat(")", 600);
    EXPECT_FALSE(FormatStatement(*parser, "SELECT a FROM t WHERE " + chain).Ok);
}

TEST(DeepNesting, SubQueryAndOpenBracketsAtTheEnd) {
    auto parser = MakeFormatParser({});
    EXPECT_TRUE(FormatStatement(*parser, "SELECT a FROM t WHERE a IN (SELECT " + Repeat("(", Deep) +
                                             "1" + Repeat(")", Deep) + ")")
                    .Ok);
    EXPECT_FALSE(FormatStatement(*parser, "SELECT " + Repeat("(", Deep)).Ok);
    EXPECT_FALSE(FormatStatement(*parser, "SELECT a FROM t WHERE " + Repeat("NOT (", Deep)).Ok);
}

TEST(LongInput, TwentyThousandConditionsStayLinear) {
    auto parser = MakeFormatParser({});
    std::string where;
    for (int i = 0; i < 20000; ++i) where += (i ? " AND a" : "a") + std::to_string(i) + " = 1";
    const TQBFormatResult result = FormatStatement(*parser, "SELECT a FROM t WHERE " + where);
    ASSERT_TRUE(result.Ok) << result.Error;
    EXPECT_NE(result.Text.find("(a19999 = 1)"), std::string::npos);
}

// Random statements built from pieces that exercise every reader, including broken ones.
std::string RandomStatement(std::mt19937& Random) {
    static const char* const pieces[] = {
        "SELECT", "DISTINCT", "TOP", "5", "PERCENT", "WITH", "TIES", "ALL", "*", "a", "t.a",
        "[My Col]", "[,]", "[)]", "[a.b]", "\"q\"", "'s'", "'O''Brien'", "N'x'", "0.5", "12",
        ",", ",", "(", ")", "(", ")", ".", ":", ":p", "AS", "x", "FROM", "t", "dbo.t", "u v",
        "JOIN", "LEFT", "RIGHT", "FULL", "OUTER", "INNER", "CROSS", "ON", "=", "<", "!>", "<>",
        "AND", "OR", "NOT", "WHERE", "GROUP BY", "HAVING", "ORDER BY", "ASC", "DESC", "IN",
        "BETWEEN", "LIKE", "IS", "NULL", "SUM(", "COUNT(*)", "@@VERSION", "CURRENT_USER",
        "ISNULL(", "+", "-", ";", "--c\n", "/*c*/", "\n", "UNION", "CASE", "GETDATE()",
        "LEFT(a, 1)", "p(1, 'x')", "t.", "'", "[", "\"",
    };
    std::uniform_int_distribution<std::size_t> pick(0, std::size(pieces) - 1);
    std::uniform_int_distribution<int> length(1, 30);
    std::string text = Random() % 4 ? "SELECT " : "";
    for (int i = length(Random); i > 0; --i) text += std::string(pieces[pick(Random)]) + " ";
    return text;
}

TEST(RandomInput, EveryStatementFormatsToItselfOrIsAnError) {
    // KORVEL_RANDOM_ROUNDS / KORVEL_RANDOM_SEED run longer searches by hand.
    const char* rounds = std::getenv("KORVEL_RANDOM_ROUNDS");
    const char* seed = std::getenv("KORVEL_RANDOM_SEED");
    const int count = rounds ? std::atoi(rounds) : 3000;
    std::mt19937 random(seed ? unsigned(std::atoi(seed)) : 20261209u);
    for (const bool ms : {true, false}) {
        TQBFormatOptions options;
        options.MSDialect = ms;
        auto parser = MakeFormatParser(options);
        for (int i = 0; i < count; ++i) {
            const std::string text = RandomStatement(random);
            const TQBFormatResult result = FormatStatement(*parser, text);
            if (i % 64 == 0) {
                // A parser that read other statements before behaves like a new one.
                const TQBFormatResult fresh = FormatStatement(*MakeFormatParser(options), text);
                ASSERT_EQ(result.Text + result.Error, fresh.Text + fresh.Error) << "input: " << text;
            }
            if (!result.Ok || result.Text.empty()) continue;
            const TQBFormatResult again = FormatStatement(*parser, result.Text);
            ASSERT_TRUE(again.Ok) << "input: " << text << "\noutput:\n" << result.Text << "\n" << again.Error;
            ASSERT_EQ(again.Text, result.Text) << "input: " << text;
        }
    }
}

}  // namespace
