// korvel-sql objects / columns / params / query, run as a program on the sample database.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct TRun {
    int Status = -1;
    std::string Out;
};

// Runs korvel-sql with the arguments (already shell-quoted) and standard input from `input`.
TRun RunTool(const std::string& arguments, const std::string& input = {}) {
    // CTest runs the cases as parallel processes: each needs its own input file.
    const std::string inputFile = std::filesystem::temp_directory_path() /
                                  ("korvel-data-cli-input-" + std::to_string(getpid()) + ".sql");
    if (FILE* file = std::fopen(inputFile.c_str(), "wb")) {
        std::fwrite(input.data(), 1, input.size(), file);
        std::fclose(file);
    }
    const std::string command = std::string("'") + KORVEL_BINARY_DIR + "/apps/korvel-sql' " + arguments + " < '" +
                                inputFile + "' 2>&1";
    TRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    std::array<char, 4096> buffer{};
    std::size_t got = 0;
    while ((got = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) run.Out.append(buffer.data(), got);
    const int status = pclose(pipe);
    run.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    std::filesystem::remove(inputFile);
    return run;
}

struct TCommandCase {
    const char* Name;
    const char* Arguments;
    const char* Input;
    int Status;
    std::vector<std::string> Contains;
};

void PrintTo(const TCommandCase& c, std::ostream* os) { *os << c.Name; }

class DataCommandsTest : public testing::TestWithParam<TCommandCase> {};

TEST_P(DataCommandsTest, PrintsWhatTheDatabaseSays) {
    const auto& c = GetParam();
    const TRun run = RunTool(c.Arguments, c.Input);
    EXPECT_EQ(run.Status, c.Status) << run.Out;
    for (const auto& part : c.Contains) EXPECT_NE(run.Out.find(part), std::string::npos) << part << "\n" << run.Out;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DataCommandsTest,
    testing::Values(
        TCommandCase{"ObjectsListsTablesAndViews", "objects", "", 0,
                     {"Order Details\t\tuser table\n", "地区\t\tuser table\n", "Order Subtotals\t\tview\n",
                      "sqlite_master\t\tsystem table\n"}},
        TCommandCase{"ColumnsOfOrderDetails", "columns 'Order Details'", "", 0,
                     {"OrderID\t3\tftInteger\tINTEGER\nProductID\t3\tftInteger\tINTEGER\n"
                      "UnitPrice\t8\tftBCD\tDECIMAL\nQuantity\t2\tftSmallint\tSMALLINT\nDiscount\t6\tftFloat\tREAL\n"}},
        TCommandCase{"ColumnsWithChineseNames", "columns 地区", "", 0, {"地区名称\t24\tftWideString\tNVARCHAR\n"}},
        TCommandCase{"KeywordColumn", "columns Categories", "", 0, {"Order\t3\tftInteger"}},
        TCommandCase{"QueryWritesNullsAndEscapes", "query -", "SELECT 'a\tb', NULL, '中文' AS 名称", 0,
                     {"\t名称\n", "a\\tb\t\\N\t中文\n"}},
        TCommandCase{"QueryLimit", "query --limit=1", "SELECT OrderID FROM Orders ORDER BY OrderID", 0,
                     {"OrderID\n10001\n"}},
        TCommandCase{"ParamsOnSQLiteIsEmpty", "params fn_x", "", 0, {}},
        TCommandCase{"MissingObject", "columns Nowhere", "", 1, {"error: ", "no such table: Nowhere"}},
        TCommandCase{"ClosingBracketStaysInsideTheName", "columns 'x]; DROP TABLE Orders; --'", "", 1,
                     {"no such table: x]; DROP TABLE Orders; --"}},
        TCommandCase{"DoubleQuoteStaysInsideTheName", "columns 'x\"; DROP TABLE Orders; --'", "", 1,
                     {"no such table: x\"; DROP TABLE Orders; --"}},
        TCommandCase{"QuotedNameIsUnquotedFirst", "columns '[Order Details]'", "", 0, {"OrderID\t3\tftInteger"}},
        TCommandCase{"QuotedNameCannotCloseEarly", "columns '[Orders]]; DROP TABLE Orders; --]'", "", 1,
                     {"no such table: Orders]; DROP TABLE Orders; --"}},
        TCommandCase{"QuerySyntaxError", "query", "SELEC 1", 1, {"error: ", "syntax error"}},
        TCommandCase{"MissingDatabaseFile", "objects '--connect=Provider=SQLite;Data Source=/nonexistent/x.db'", "",
                     1, {"/nonexistent/x.db"}},
        TCommandCase{"ColumnsNeedsAnObject", "columns", "", 2, {"usage: "}},
        TCommandCase{"UnknownOption", "objects --verbose", "", 2, {"unknown option"}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(DataCommandsPasswordTest, ErrorsNeverShowThePassword) {
    const TRun run = RunTool("objects '--connect=Provider=SQLOLEDB.1;User ID=sa;Password=Pa55word;"
                             "Data Source=127.0.0.1,1'");
    EXPECT_EQ(run.Status, 1);
    EXPECT_NE(run.Out.find("127.0.0.1"), std::string::npos) << run.Out;
    EXPECT_EQ(run.Out.find("Pa55word"), std::string::npos) << run.Out;
}

}  // namespace
