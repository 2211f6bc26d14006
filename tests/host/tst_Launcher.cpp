// korvel-qb run as a program: the kept statement on stdout, the boxes on stderr, the picture
// of --screenshot, and no password anywhere.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct TRun {
    int Status = -1;
    std::string Out;
    std::string Err;
};

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// Runs korvel-qb offscreen with the arguments (already shell-quoted).
TRun RunLauncher(const std::string& arguments, const std::string& environment = {}) {
    const std::string errFile =
        std::filesystem::temp_directory_path() / ("korvel-qb-err-" + std::to_string(getpid()) + ".txt");
    const std::string command = "QT_QPA_PLATFORM=offscreen " + environment + " '" + KORVEL_BINARY_DIR +
                                "/apps/korvel-qb' " + arguments + " 2>'" + errFile + "'";
    TRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    std::array<char, 4096> buffer{};
    std::size_t got = 0;
    while ((got = std::fread(buffer.data(), 1, buffer.size(), pipe)) > 0) run.Out.append(buffer.data(), got);
    const int status = pclose(pipe);
    run.Status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.Err = ReadFile(errFile);
    std::filesystem::remove(errFile);
    return run;
}

TEST(LauncherTest, ScreenshotWritesThePictureAndReturnsTheStatementUnchanged) {
    const std::string shot =
        std::filesystem::temp_directory_path() / ("korvel-qb-shot-" + std::to_string(getpid()) + ".png");
    const std::string sql = "select City from Customers";
    for (const char* tab : {"builder", "sql"}) {
        SCOPED_TRACE(tab);
        std::filesystem::remove(shot);
        const TRun run = RunLauncher("--sql='" + sql + "' --tab=" + tab + " --screenshot='" + shot + "'");
        EXPECT_EQ(run.Status, 0) << run.Err;
        EXPECT_EQ(run.Out, sql);
        EXPECT_NE(run.Err.find("提示: 您确认要退出吗？\n"), std::string::npos) << run.Err;
        EXPECT_EQ(ReadFile(shot).substr(0, 8), "\x89PNG\r\n\x1a\n");
    }
    std::filesystem::remove(shot);
}

TEST(LauncherTest, AutoCloseAnswersTheBoxesOnStandardError) {
    const TRun run = RunLauncher("--sql='SELECT 1 AS x' "
                                 "'--connect=Provider=SQLOLEDB.1;Data Source=127.0.0.1,1;User ID=sa;Password=Secr3tPw'",
                                 "KORVEL_QB_AUTOCLOSE=discard");
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(run.Out, "SELECT 1 AS x");
    EXPECT_NE(run.Err.find("提示: 连接指定的数据源出错，请检查网络连接或联系管理员\n"), std::string::npos) << run.Err;
    EXPECT_EQ(run.Err.find("Secr3tPw"), std::string::npos) << run.Err;
}

TEST(LauncherTest, ExecuteShowsTheResultAndRefusesOtherStatements) {
    const std::string shot =
        std::filesystem::temp_directory_path() / ("korvel-qb-result-" + std::to_string(getpid()) + ".png");
    TRun run = RunLauncher("--sql='SELECT * FROM Shippers' --execute --screenshot='" + shot + "'");
    EXPECT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(ReadFile(shot).substr(0, 8), "\x89PNG\r\n\x1a\n");
    std::filesystem::remove(shot);
    // Not a SELECT: nothing runs, and the caller's statement comes back untouched.
    run = RunLauncher("--sql='DELETE FROM Orders' --tab=result", "KORVEL_QB_AUTOCLOSE=discard");
    EXPECT_EQ(run.Status, 0) << run.Err;
    EXPECT_EQ(run.Out, "DELETE FROM Orders");
}

TEST(LauncherTest, BadUsageExitsWithTwo) {
    for (const char* arguments : {"--tab=nowhere", "--sql=a --sql=b", "extra"}) {
        SCOPED_TRACE(arguments);
        EXPECT_EQ(RunLauncher(arguments).Status, 2);
    }
}

}  // namespace
