// Golden files: tests/golden/NAME.sql holds a statement (its first line may be
// "-- args: OPTIONS" with korvel-sql format options), NAME.out the exact output of
// `korvel-sql format` (or its error line). Every accepted statement must also format to
// itself again, and the input with its blanks collapsed (outside quotes, when it holds no
// comment) must format to the same output. KORVEL_UPDATE_GOLDEN=1 rewrites the .out files; check them by hand.
#include "korvel-sql/StatementFormat.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <sstream>

namespace fs = std::filesystem;

namespace {

const fs::path GoldenDir = fs::path(KORVEL_SOURCE_DIR) / "tests" / "golden";

std::string ReadFile(const fs::path& Path) {
    std::ifstream file(Path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// Splits the "-- args:" line off Text and applies its options.
TQBFormatOptions TakeOptions(std::string& Text) {
    TQBFormatOptions options;
    const std::string marker = "-- args:";
    if (Text.compare(0, marker.size(), marker) != 0) return options;
    const auto end = Text.find('\n');
    std::istringstream args(Text.substr(marker.size(), end - marker.size()));
    Text.erase(0, end == std::string::npos ? Text.size() : end + 1);
    for (std::string arg; args >> arg;) {
        const auto equals = arg.find('=');
        const std::string name = arg.substr(2, equals == std::string::npos ? std::string::npos : equals - 2);
        const std::string value = equals == std::string::npos ? "" : arg.substr(equals + 1);
        EXPECT_TRUE(ApplyFormatOption(options, name, value)) << arg;
    }
    return options;
}

// Text with every run of blanks and line breaks outside quotes ('', "", []) collapsed to one
// space; nothing when the text holds a comment, whose end of line matters.
std::optional<std::string> CollapseBlanks(const std::string& Text) {
    std::string result;
    char close = 0;  // the quote being read, or 0 outside quotes
    for (std::size_t i = 0; i < Text.size(); ++i) {
        const char c = Text[i];
        const char next = i + 1 < Text.size() ? Text[i + 1] : '\0';
        if (close != 0) {
            if (c == close) close = 0;
        } else if (c == '\'' || c == '"') {
            close = c;
        } else if (c == '[') {
            close = ']';
        } else if ((c == '-' && next == '-') || (c == '/' && next == '*')) {
            return std::nullopt;
        } else if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            if (result.empty() || result.back() != ' ') result += ' ';
            continue;
        }
        result += c;
    }
    return result;
}

std::vector<std::string> GoldenNames() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(GoldenDir))
        if (entry.path().extension() == ".sql") names.push_back(entry.path().stem().string());
    std::sort(names.begin(), names.end());
    return names;
}

class GoldenTest : public testing::TestWithParam<std::string> {};

TEST_P(GoldenTest, FormatsAsRecordedAndAgainToItself) {
    std::string input = ReadFile(GoldenDir / (GetParam() + ".sql"));
    const TQBFormatOptions options = TakeOptions(input);
    auto parser = MakeFormatParser(options);
    const TQBFormatResult result = FormatStatement(*parser, input);
    const std::string actual = result.Ok ? result.Text : result.Error + "\n";
    const fs::path expectedPath = GoldenDir / (GetParam() + ".out");
    if (const char* update = std::getenv("KORVEL_UPDATE_GOLDEN"); update && std::string(update) == "1") {
        std::ofstream(expectedPath, std::ios::binary) << actual;
    }
    ASSERT_TRUE(fs::exists(expectedPath)) << "no " << expectedPath;
    EXPECT_EQ(actual, ReadFile(expectedPath));
    if (result.Ok) {
        const TQBFormatResult again = FormatStatement(*parser, result.Text);
        ASSERT_TRUE(again.Ok) << again.Error;
        EXPECT_EQ(again.Text, result.Text) << "formatting the output again changed it";
        // Blanks outside quotes and comments carry no meaning: collapsed, the input
        // formats the same.
        if (const auto collapsed = CollapseBlanks(input); collapsed && *collapsed != input) {
            const TQBFormatResult flat = FormatStatement(*parser, *collapsed);
            ASSERT_TRUE(flat.Ok) << flat.Error;
            EXPECT_EQ(flat.Text, result.Text) << "the input with its blanks collapsed formats differently";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Golden, GoldenTest, testing::ValuesIn(GoldenNames()),
                         [](const testing::TestParamInfo<std::string>& info) { return info.param; });

TEST(GoldenBatch, StatementsSeparatedByGoLinesKeepTheirSeparatorsAndErrors) {
    auto parser = MakeFormatParser({});
    const std::string output =
        FormatBatch(*parser, "SELECT a FROM t\nGO\nSELECT FROM\n  go  \r\nSELECT TOP 1 b FROM u");
    EXPECT_EQ(output,
              "SELECT \r\n  a\r\nFROM\r\n t\r\n"
              "GO\r\n"
              // Lines count from the start of the whole text.
              "-- error 1 at line 3, position 8: \xE6\x97\xA0\xE6\x95\x88 'FROM' "
              "\xE4\xBD\x8D\xE7\xBD\xAE 8 \xE8\xA1\x8C 3\r\n"
              "GO\r\n"
              "SELECT TOP 1 \r\n  b\r\nFROM\r\n u\r\n");
}

}  // namespace
