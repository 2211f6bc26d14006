// korvel-qb: the desktop launcher. Opens the builder on a database (the bundled sample database
// by default) with a statement, and prints the statement the user kept on standard output.
//   korvel-qb [--connect=STRING] [--sql=TEXT | --sql-file=FILE] [--tab=builder|sql|result]
//             [--execute] [--screenshot=FILE.png]
// --execute (or --tab=result) runs the preview once the window is shown.
// Exit status: 0 success, 1 when the builder reported an error, 2 on bad usage.
#include "host/QBRunOptions.h"
#include "korvel/ShowQueryBuilder.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

namespace {

constexpr int ExitUsage = 2;

const char* const Usage =
    "usage: korvel-qb [--connect=STRING] [--sql=TEXT | --sql-file=FILE] [--tab=builder|sql|result] "
    "[--execute] [--screenshot=FILE.png]";

bool StartsWith(const std::string& text, const std::string& prefix) { return text.compare(0, prefix.size(), prefix) == 0; }

}  // namespace

int main(int argc, char** argv) {
    std::string connect = std::string("Provider=SQLite;Data Source=") + KORVEL_SAMPLE_DB;
    std::string sql;
    bool haveSql = false;
    TQBRunOptions options = TQBRunOptions::FromEnvironment();
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        const auto value = [&](const char* option) { return argument.substr(std::string(option).size()); };
        if (StartsWith(argument, "--connect=")) {
            connect = value("--connect=");
        } else if (StartsWith(argument, "--sql=") && !haveSql) {
            sql = value("--sql=");
            haveSql = true;
        } else if (StartsWith(argument, "--sql-file=") && !haveSql) {
            std::ifstream file(value("--sql-file="), std::ios::binary);
            if (!file) {
                std::cerr << "korvel-qb: cannot read " << value("--sql-file=") << '\n';
                return 1;
            }
            std::ostringstream text;
            text << file.rdbuf();
            sql = text.str();
            haveSql = true;
        } else if (argument == "--tab=builder" || argument == "--tab=sql") {
            options.StartPage = argument == "--tab=sql" ? qspSQL : qspBuilder;
        } else if (argument == "--tab=result" || argument == "--execute") {
            options.Execute = true;
        } else if (StartsWith(argument, "--screenshot=") && argument.size() > 13) {
            options.ScreenshotFile = value("--screenshot=");
        } else {
            std::cerr << Usage << '\n';
            return ExitUsage;
        }
    }
    char* kept = nullptr;
    const int status = RunQueryBuilder(options, nullptr, connect.c_str(), sql.c_str(), &kept);
    if (status != 0) return 1;
    std::fwrite(kept, 1, std::char_traits<char>::length(kept), stdout);
    ShowQueryBuilderFree(kept);
    return 0;
}
