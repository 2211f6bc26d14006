// korvel-sql tokens, run as a program: the printed lines, the options, and the exit status
// and message of the unterminated-quote error.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/wait.h>

namespace {

struct RunResult {
    int Status = -1;
    std::string Out, Err;
};

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Runs korvel-sql tokens with Options on Input given as a file.
RunResult RunTokens(const std::string& options, const std::string& input) {
    const std::filesystem::path tool = std::filesystem::path(KORVEL_BINARY_DIR) / "apps/korvel-sql";
    EXPECT_TRUE(std::filesystem::exists(tool)) << "build korvel-sql first";
    const auto dir = std::filesystem::temp_directory_path() /
                     ("korvel-tokens-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    {
        std::ofstream(dir / "in.sql", std::ios::binary) << input;
    }
    const std::string command = tool.string() + " tokens " + options + " " +
                                (dir / "in.sql").string() + " >" + (dir / "out").string() +
                                " 2>" + (dir / "err").string();
    const int raw = std::system(command.c_str());
    RunResult result;
    result.Status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    result.Out = ReadFile(dir / "out");
    result.Err = ReadFile(dir / "err");
    std::filesystem::remove_all(dir);
    return result;
}

struct CommandCase {
    const char* Name;
    std::string Options;
    std::string Input;
    std::string Output;
};

class TokensCommand : public ::testing::TestWithParam<CommandCase> {};

TEST_P(TokensCommand, PrintsOneLinePerToken) {
    const auto result = RunTokens(GetParam().Options, GetParam().Input);
    EXPECT_EQ(result.Status, 0) << result.Err;
    EXPECT_EQ(result.Out, GetParam().Output);
}

const CommandCase Cases[] = {
    {"BracketsAndDoubleQuote", "", "SELECT [Order ID], \"x\" FROM [My Table]",
     "1\t7\tqtkKeyword\tSELECT\n1\t17\tqtkIdentifier\tOrder ID\n1\t19\tqtkSymbol\t,\n"
     "1\t22\tqtkString\tx\n1\t28\tqtkKeyword\tFROM\n1\t38\tqtkIdentifier\tMy Table\n"
     "1\t39\tqtkEnd\t\n"},
    {"AlterQuotes", "--alter-quotes", "\"x\"", "1\t3\tqtkIdentifier\tx\n1\t4\tqtkEnd\t\n"},
    {"SystemFunctionAndNotEqual", "--dialect=mssql", "@@VERSION a != b",
     "1\t10\tqtkFunction\t@@VERSION\n1\t12\tqtkIdentifier\ta\n1\t15\tqtkComparison\t!=\n"
     "1\t17\tqtkIdentifier\tb\n1\t17\tqtkEnd\t\n"},
    {"LineFeedStartsLine", "", "SELECT a\nFROM t",
     "1\t7\tqtkKeyword\tSELECT\n1\t9\tqtkIdentifier\ta\n2\t5\tqtkKeyword\tFROM\n"
     "2\t7\tqtkIdentifier\tt\n2\t7\tqtkEnd\t\n"},
    {"CommentSkipped", "", "a -- x\r\nb",
     "1\t2\tqtkIdentifier\ta\n2\t2\tqtkIdentifier\tb\n2\t2\tqtkEnd\t\n"},
    {"EscapesAndSeveralKinds", "--dialect=base", "'a\\b\tc\r\nd' * LEFT",
     "1\t10\tqtkString\ta\\\\b\\tc\\r\\nd\n1\t13\tqtkSymbol|qtkArithmetic\t*\n"
     "1\t18\tqtkKeyword\tLEFT\n1\t18\tqtkEnd\t\n"},
    {"StopsAtFirstEnd", "", "a; b", "1\t2\tqtkIdentifier\ta\n1\t3\tqtkEnd\t;\n"},
    {"UnclassifiedWord", "", "#tmp", "1\t5\t-\t#tmp\n1\t5\tqtkEnd\t\n"},
};

INSTANTIATE_TEST_SUITE_P(Cases, TokensCommand, ::testing::ValuesIn(Cases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(TokensCommandErrors, UnterminatedQuoteReportsCode3) {
    const auto result = RunTokens("", "SELECT\n 'abc");
    EXPECT_EQ(result.Status, 1);
    EXPECT_EQ(result.Err, "error 3 at line 2, position 3: 未结束的字符串.\n");
    EXPECT_EQ(result.Out, "1\t7\tqtkKeyword\tSELECT\n2\t6\tqtkIdentifier\tabc\n");
}

TEST(TokensCommandErrors, BadUsageExitsWith2) {
    EXPECT_EQ(RunTokens("--dialect=oracle", "a").Status, 2);
    EXPECT_EQ(RunTokens("--frobnicate", "a").Status, 2);
}

TEST(TokensCommandErrors, MissingFileIsAReportedError) {
    const std::string tool = std::string(KORVEL_BINARY_DIR) + "/apps/korvel-sql";
    const int raw = std::system((tool + " tokens /nonexistent/x.sql 2>/dev/null").c_str());
    EXPECT_EQ(WEXITSTATUS(raw), 1);
}

}  // namespace
