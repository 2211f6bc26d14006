// The INI reader and writer: lookups as the Windows profile functions make them, names with
// ']' and values holding any encoded text, hostile files, and the all-or-nothing save.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <set>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

#include "lexer/QBUtils.h"
#include "toolkit/Exceptions.h"
#include "toolkit/IniFile.h"

namespace fs = std::filesystem;

namespace {

TIniFile FromText(const std::string& text) {
    TIniFile file;
    file.SetText(text);
    return file;
}

struct ReadCase {
    const char* name;
    std::string text;
    const char* section;
    const char* key;
    const char* expected;  // nullptr: absent (the default "?" comes back)
};

class IniRead : public ::testing::TestWithParam<ReadCase> {};

TEST_P(IniRead, FindsTheValueAsTheProfileFunctionsDo) {
    const ReadCase& c = GetParam();
    const TIniFile file = FromText(c.text);
    EXPECT_EQ(file.ReadString(c.section, c.key, "?"), c.expected ? c.expected : "?");
    EXPECT_EQ(file.ValueExists(c.section, c.key), c.expected != nullptr);
}

INSTANTIATE_TEST_SUITE_P(
    Lookups, IniRead,
    ::testing::Values(
        ReadCase{"plain", "[a]\nk=v\n", "a", "k", "v"},
        ReadCase{"section_ignores_case", "[Orders]\nLeft=1\n", "ORDERS", "Left", "1"},
        ReadCase{"key_ignores_case", "[a]\nPointX0=5\n", "a", "pointx0", "5"},
        ReadCase{"names_and_value_trimmed", "  [ a ]  \n  k  =  v w  \n", "a", "k", "v w"},
        ReadCase{"one_pair_of_double_quotes_removed", "[a]\nk=\"\"x\"\"\n", "a", "k", "\"x\""},
        ReadCase{"single_quotes_removed", "[a]\nk='x'\n", "a", "k", "x"},
        ReadCase{"unequal_quotes_kept", "[a]\nk=\"x'\n", "a", "k", "\"x'"},
        ReadCase{"lone_quote_kept", "[a]\nk=\"\n", "a", "k", "\""},
        ReadCase{"value_holds_equals", "[a]\nk=x=y\n", "a", "k", "x=y"},
        ReadCase{"section_name_with_bracket", "[Order Details]\nk=1\n", "Order Details", "k", "1"},
        ReadCase{"section_name_runs_to_last_bracket", "[a]b]\nk=1\n", "a]b", "k", "1"},
        ReadCase{"text_after_bracket_ignored", "[a] ; note\nk=1\n", "a", "k", "1"},
        ReadCase{"chinese_names", "[订单]\n键=值\n", "订单", "键", "值"},
        ReadCase{"crlf_lines", "[a]\r\nk=v\r\n", "a", "k", "v"},
        ReadCase{"cr_lines", "[a]\rk=v\r", "a", "k", "v"},
        ReadCase{"byte_order_mark", "\xEF\xBB\xBF[a]\nk=v\n", "a", "k", "v"},
        ReadCase{"first_duplicate_key_wins", "[a]\nk=1\nk=2\n", "a", "k", "1"},
        ReadCase{"first_duplicate_section_wins", "[a]\nk=1\n[A]\nk=2\n", "a", "k", "1"},
        ReadCase{"comment_is_no_key", "[a]\n;k=1\n", "a", ";k", nullptr},
        ReadCase{"keys_before_any_section_unreadable", "k=1\n[a]\n", "", "k", nullptr},
        ReadCase{"header_without_bracket_hides_its_keys", "[a]\nx=1\n[b\nk=2\n", "a", "k", nullptr},
        ReadCase{"header_without_bracket_is_no_section", "[b\nk=2\n", "b", "k", nullptr},
        ReadCase{"nul_ends_the_line", std::string("[a]\nk=v\0w\n", 11), "a", "k", "v"},
        ReadCase{"missing_section", "[a]\nk=1\n", "b", "k", nullptr}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(IniFile, ReadsIntegersStrictlyAndFallsBackToTheDefault) {
    const TIniFile file = FromText(
        "[n]\nplain=12\nneg= -3 \nquoted=\"7\"\ntail=12abc\nhuge=99999999999\nempty=\nmax=2147483647\nmin=-2147483648\n");
    EXPECT_EQ(file.ReadInteger("n", "plain", -1), 12);
    EXPECT_EQ(file.ReadInteger("n", "neg", -1), -3);
    EXPECT_EQ(file.ReadInteger("n", "quoted", -1), 7);
    EXPECT_EQ(file.ReadInteger("n", "tail", -1), -1);
    EXPECT_EQ(file.ReadInteger("n", "huge", -1), -1);
    EXPECT_EQ(file.ReadInteger("n", "empty", -1), -1);
    EXPECT_EQ(file.ReadInteger("n", "max", -1), 2147483647);
    EXPECT_EQ(file.ReadInteger("n", "min", -1), -2147483647 - 1);
    EXPECT_EQ(file.ReadInteger("n", "absent", 42), 42);
}

TEST(IniFile, ListsKeysOnceInFileOrderAndSectionsByName) {
    const TIniFile file = FromText("[a]\nz=1\nY=2\ny=3\n;c=4\ngarbage\n[b]\n[a]\nw=5\n");
    EXPECT_EQ(file.ReadSection("A"), (std::vector<std::string>{"z", "Y"}));
    EXPECT_EQ(file.ReadSections(), (std::vector<std::string>{"a", "b", "a"}));
    EXPECT_TRUE(file.SectionExists("b"));
}

TEST(IniFile, WritingKeepsForeignLinesAndReplacesOnlyWhatItWrites) {
    TIniFile file = FromText("; kept comment\n[a]\nk=1\nother=x\n\n[b]\nq=2\n");
    file.WriteString("A", "K", "9");
    file.WriteString("a", "new", "n");
    file.WriteInteger("c", "Left", -5);
    EXPECT_EQ(file.GetText(),
              "; kept comment\r\n[a]\r\nK=9\r\nother=x\r\nnew=n\r\n\r\n[b]\r\nq=2\r\n\r\n[c]\r\nLeft=-5\r\n");
}

TEST(IniFile, EraseSectionRemovesEveryCopyAndNothingElse) {
    TIniFile file = FromText("[a]\nk=1\n[b]\nk=2\n[A]\nk=3\n");
    file.EraseSection(" a ");
    EXPECT_FALSE(file.SectionExists("a"));
    EXPECT_EQ(file.ReadString("b", "k", ""), "2");
    file.DeleteKey("b", "K");
    EXPECT_FALSE(file.ValueExists("b", "k"));
    EXPECT_TRUE(file.SectionExists("b"));
}

TEST(IniFile, AnEmptyFileInMemoryTakesSections) {
    TIniFile file;
    file.WriteInteger("a", "k", 1);
    file.WriteInteger("b", "k", 2);
    EXPECT_EQ(file.GetText(), "[a]\r\nk=1\r\n\r\n[b]\r\nk=2\r\n");
}

TEST(IniFile, RefusesNamesAndValuesThatCouldNotBeReadBack) {
    TIniFile file;
    const std::vector<std::tuple<std::string, std::string, std::string>> bad = {
        {"", "k", "v"},        {"a\nb", "k", "v"},       {"a", "k\r", "v"},  {"a", "k=j", "v"},
        {"a", "[k", "v"},      {"a", ";k", "v"},         {"a", " ", "v"},    {"a", "k", "v\nw"},
        {"a", "k", std::string("v\0w", 3)}, {std::string("s\0", 2), "k", "v"}};
    for (const auto& [section, key, value] : bad) {
        EXPECT_THROW(file.WriteString(section, key, value), EQBException) << section << "|" << key << "|" << value;
    }
    EXPECT_EQ(file.GetText(), "");
}

// Every text the one-line encoding produces is stored and read back as it was, whatever bytes
// the original holds: quotes, '#', '=', ';', brackets, line breaks, Chinese text.
TEST(IniFile, EncodedTextsSurviveAFileRoundTrip) {
    std::mt19937 random(18);
    std::vector<std::string> texts = {"", "\"", "\"#", "a\"#1b", "#13", "x = y ; z [w]", "第一行\r\n第二行\t\"引号\"",
                                      std::string("nul\0byte", 8), "  leading and trailing  "};
    for (int i = 0; i < 300; ++i) {
        std::string text(random() % 40, ' ');
        for (char& c : text) c = static_cast<char>(random() % 256);
        texts.push_back(text);
    }
    const fs::path path = fs::temp_directory_path() / ("korvel-ini-" + std::to_string(::getpid()) + ".ini");
    TIniFile file(path.string());
    for (std::size_t i = 0; i < texts.size(); ++i)
        file.WriteString("texts", "t" + std::to_string(i), EncodeCharCodes(texts[i], '"', '#'));
    file.UpdateFile();
    const TIniFile reread(path.string());
    for (std::size_t i = 0; i < texts.size(); ++i)
        EXPECT_EQ(DecodeCharCodes(reread.ReadString("texts", "t" + std::to_string(i), "?"), '"', '#'), texts[i])
            << "text " << i;
    fs::remove(path);
}

class IniFileOnDisk : public ::testing::Test {
protected:
    void SetUp() override {
        Folder = fs::temp_directory_path() / ("korvel-ini-dir-" + std::to_string(::getpid()));
        fs::remove_all(Folder);
        fs::create_directories(Folder);
    }
    void TearDown() override { fs::remove_all(Folder); }

    std::set<std::string> FolderEntries() const {
        std::set<std::string> names;
        for (const auto& entry : fs::directory_iterator(Folder)) names.insert(entry.path().filename().string());
        return names;
    }
    static std::string Contents(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }

    fs::path Folder;
};

TEST_F(IniFileOnDisk, AMissingFileReadsEmptyAndIsCreatedOnUpdate) {
    const fs::path path = Folder / "new.ini";
    TIniFile file(path.string());
    EXPECT_FALSE(file.Exists());
    EXPECT_TRUE(file.ReadSections().empty());
    file.WriteInteger("a", "k", 1);
    file.UpdateFile();
    EXPECT_EQ(Contents(path), "[a]\r\nk=1\r\n");
    EXPECT_EQ(FolderEntries(), (std::set<std::string>{"new.ini"}));
    EXPECT_TRUE(TIniFile(path.string()).Exists());
}

TEST_F(IniFileOnDisk, AFailedUpdateLeavesTheOldFileAndNoTemporaryFile) {
    const fs::path path = Folder / "kept.ini";
    std::ofstream(path) << "[a]\nk=1\n";
    // A file whose folder is missing cannot be written.
    TIniFile nowhere((Folder / "missing-folder" / "x.ini").string());
    nowhere.WriteInteger("a", "k", 3);
    EXPECT_THROW(nowhere.UpdateFile(), EQBException);
    // A file whose place was taken by a folder since it was read is not replaced.
    const fs::path taken = Folder / "taken.ini";
    TIniFile before(taken.string());
    fs::create_directories(taken / "inside");
    before.WriteInteger("a", "k", 2);
    EXPECT_THROW(before.UpdateFile(), EQBException);
    // A folder, a pipe or a device is not read as a file (a pipe would block the reader).
    EXPECT_THROW(TIniFile(taken.string()), EQBException);
    const fs::path pipe = Folder / "pipe.ini";
    ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
    EXPECT_THROW(TIniFile(pipe.string()), EQBException);
    fs::remove(pipe);
    EXPECT_THROW(TIniFile("/dev/zero"), EQBException);
    EXPECT_EQ(Contents(path), "[a]\nk=1\n");
    EXPECT_EQ(FolderEntries(), (std::set<std::string>{"kept.ini", "taken.ini"}));
    EXPECT_TRUE(fs::exists(taken / "inside"));
}

TEST_F(IniFileOnDisk, AnUpdateKeepsTheFilesPermissions) {
    const fs::path path = Folder / "mode.ini";
    std::ofstream(path) << "[a]\n";
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
    TIniFile file(path.string());
    file.WriteInteger("a", "k", 1);
    file.UpdateFile();
    EXPECT_EQ(fs::status(path).permissions(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

TEST_F(IniFileOnDisk, HostileFilesAreReadWithoutHarm) {
    std::mt19937 random(7);
    std::string garbage(200000, '\0');
    for (char& c : garbage) c = static_cast<char>(random() % 256);
    const std::string bigValue(10 * 1024 * 1024, '7');
    const std::vector<std::pair<std::string, std::string>> files = {
        {"garbage", garbage},
        {"truncated", "[Diagram properties]\nSQL=\"\"SELECT *\"#13#10\"FR"},
        {"no_bracket", "[Orders\nLeft=10\n"},
        {"big_value", "[a]\nLeft=" + bigValue + "\nTop=5\n"},
        {"only_brackets", "[]\n[[[[\n]]]]\n[=]\n=\n"}};
    for (const auto& [name, text] : files) {
        const fs::path path = Folder / (name + ".ini");
        std::ofstream(path, std::ios::binary) << text;
        const TIniFile file(path.string());
        EXPECT_TRUE(file.Exists()) << name;
        EXPECT_EQ(file.ReadInteger("Orders", "Left", -1), -1) << name;
    }
    const TIniFile big((Folder / "big_value.ini").string());
    EXPECT_EQ(big.ReadString("a", "Left", "").size(), bigValue.size());
    EXPECT_EQ(big.ReadInteger("a", "Left", -1), -1);
    EXPECT_EQ(big.ReadInteger("a", "Top", -1), 5);
}

TEST_F(IniFileOnDisk, AFileLargerThanTheLimitIsRefusedWhole) {
    const fs::path path = Folder / "huge.ini";
    std::ofstream(path) << "[a]\n";
    fs::resize_file(path, TIniFile::MaxFileSize + 1);
    try {
        TIniFile file(path.string());
        ADD_FAILURE() << "no error";
    } catch (const EQBException& e) {
        EXPECT_NE(std::string(e.what()).find("huge.ini"), std::string::npos) << e.what();
    }
}

}  // namespace
