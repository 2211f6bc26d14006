// Parse error messages by code, with their arguments, and the fields the error carries.
#include "lexer/QBParserError.h"

#include <gtest/gtest.h>

namespace {

struct MessageCase {
    int Code;
    std::string Token;
    int Line, Pos;
    std::string Expected;
};

class ParserErrorMessage : public ::testing::TestWithParam<MessageCase> {};

TEST_P(ParserErrorMessage, IsTheFixedTextOfTheCode) {
    const auto& c = GetParam();
    const EQBParserError error(c.Code, c.Token, c.Line, c.Pos);
    EXPECT_EQ(std::string(error.what()), c.Expected);
    EXPECT_EQ(error.ErrorCode, c.Code);
    EXPECT_EQ(error.Token, c.Token);
    EXPECT_EQ(error.LineNo, c.Line);
    EXPECT_EQ(error.LinePos, c.Pos);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ParserErrorMessage,
    ::testing::Values(MessageCase{1, "FROMM", 2, 8, "无效 'FROMM' 位置 8 行 2"},
                      MessageCase{1, "%s", 1, 3, "无效 '%s' 位置 3 行 1"},
                      MessageCase{2, "", 1, 14, "未处理的异常."},
                      MessageCase{3, "abc", 1, 9, "未结束的字符串."},
                      MessageCase{4, "Price", 0, 0, "字段 'Price' 没有发现."},
                      MessageCase{5, "x", 1, 1, "非法的Join表达式."},
                      MessageCase{0, "", 1, 1, "未知错误 (#0)"},
                      MessageCase{6, "", 1, 1, "未知错误 (#6)"},
                      MessageCase{-1, "", 1, 1, "未知错误 (#-1)"}));

TEST(ParserError, IsCaughtAsTheSystemException) {
    try {
        throw EQBParserError(3, "x", 1, 1);
    } catch (const EQBException& error) {
        EXPECT_EQ(error.Message(), "未结束的字符串.");
    }
}

}  // namespace
