// The string list: sorted insertion and search ignoring case, comma text in both directions,
// name=value access, and the change counter that derived lookup tables rely on.
#include "toolkit/TStringList.h"

#include <gtest/gtest.h>

namespace {

std::vector<std::string> Items(const TStringList& list) { return {list.begin(), list.end()}; }

struct CommaCase {
    const char* Name;
    std::string Text;
    std::vector<std::string> Items;
};

class CommaTextRead : public ::testing::TestWithParam<CommaCase> {};

TEST_P(CommaTextRead, SplitsAtCommasAndBlanks) {
    TStringList list;
    list.SetCommaText(GetParam().Text);
    EXPECT_EQ(Items(list), GetParam().Items);
}

const CommaCase CommaCases[] = {
    {"Plain", "a,b,c", {"a", "b", "c"}},
    {"TrailingBlankDropped", "CURSOR,NATIONAL ,TRAN", {"CURSOR", "NATIONAL", "TRAN"}},
    {"BlankSplitsEntries", "a b,c", {"a", "b", "c"}},
    {"LeadingBlanksSkipped", "  a,  b", {"a", "b"}},
    {"QuotedKeepsCommaAndBlank", "\"a, b\",c", {"a, b", "c"}},
    {"DoubledQuoteInsideQuotes", "\"say \"\"hi\"\"\"", {"say \"hi\""}},
    {"EmptyBetweenCommas", "a,,b", {"a", "", "b"}},
    {"LeadingComma", ",a", {"", "a"}},
    {"TrailingComma", "a,", {"a", ""}},
    {"Empty", "", {}},
    {"OnlyBlanks", "   ", {}},
    {"UnclosedQuoteRunsToEnd", "\"a,b", {"a,b"}},
    {"Symbols", "=,<>,<,<=", {"=", "<>", "<", "<="}},
};

INSTANTIATE_TEST_SUITE_P(Cases, CommaTextRead, ::testing::ValuesIn(CommaCases),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST(CommaTextWrite, QuotesEntriesThatWouldNotReadBack) {
    TStringList list;
    for (const char* s : {"a", "b c", "d,e", "f\"g", ""}) list.Add(s);
    EXPECT_EQ(list.GetCommaText(), "a,\"b c\",\"d,e\",\"f\"\"g\",");
    TStringList back;
    back.SetCommaText(list.GetCommaText());
    EXPECT_EQ(Items(back), Items(list));
}

TEST(CommaTextWrite, SingleEmptyEntryIsWrittenAsQuotes) {
    TStringList list;
    list.Add("");
    EXPECT_EQ(list.GetCommaText(), "\"\"");
    TStringList back;
    back.SetCommaText("\"\"");
    EXPECT_EQ(Items(back), Items(list));
}

TEST(SortedList, AddsInOrderIgnoringCaseAndKeepsDuplicates) {
    TStringList list;
    list.SetSorted(true);
    for (const char* s : {"FROM", "select", "Avg", "from", "_x", "Z"}) list.Add(s);
    // Letters compare as upper case, so '_' sorts after 'Z'.
    EXPECT_EQ(Items(list), (std::vector<std::string>{"Avg", "FROM", "from", "select", "Z", "_x"}));
    int index = -1;
    EXPECT_TRUE(list.Find("From", index));
    EXPECT_EQ(index, 1);
    EXPECT_FALSE(list.Find("GROUP", index));
    EXPECT_EQ(index, 3);
    EXPECT_EQ(list.IndexOf("SELECT"), 3);
    EXPECT_EQ(list.IndexOf("nothing"), -1);
}

TEST(SortedList, CaseSensitiveSearchTellsCasesApart) {
    TStringList list;
    list.SetCaseSensitive(true);
    list.SetSorted(true);
    list.SetCommaText("b,B,a");
    EXPECT_EQ(Items(list), (std::vector<std::string>{"B", "a", "b"}));
    EXPECT_EQ(list.IndexOf("A"), -1);
}

TEST(UnsortedList, KeepsOrderAndEditsInPlace) {
    TStringList list;
    list.SetCommaText("c,a,b");
    list.Insert(1, "x");
    list.Delete(0);
    list.Put(0, "y");
    list.Exchange(0, 2);
    EXPECT_EQ(Items(list), (std::vector<std::string>{"b", "a", "y"}));
    EXPECT_EQ(list.IndexOf("A"), 1);
    EXPECT_TRUE(list.HasEntryStartingWith("Y"));
    EXPECT_FALSE(list.HasEntryStartingWith("yy"));
    EXPECT_THROW(list.Get(3), std::out_of_range);
    EXPECT_THROW(list.Delete(-1), std::out_of_range);
}

TEST(TextLines, SplitsAtEveryLineBreakStyle) {
    TStringList list;
    list.SetText("a\r\nb\nc\rd");
    EXPECT_EQ(Items(list), (std::vector<std::string>{"a", "b", "c", "d"}));
    EXPECT_EQ(list.GetText(), "a\r\nb\r\nc\r\nd\r\n");
}

TEST(NameValue, ReadsWritesAndDeletesByName) {
    TStringList list;
    list.SetValue("Provider", "SQLOLEDB");
    list.SetValue("Data Source", "srv");
    EXPECT_EQ(list.GetValue("provider"), "SQLOLEDB");
    list.SetValue("PROVIDER", "x=y");
    EXPECT_EQ(list.GetValue("Provider"), "x=y");
    EXPECT_EQ(list.GetName(0), "PROVIDER");
    EXPECT_EQ(list.GetValueFromIndex(0), "x=y");
    list.SetValue("provider", "");
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(list.IndexOfName("Data Source"), 0);
}

TEST(ChangeCount, GrowsWithEveryChange) {
    TStringList list;
    unsigned seen = list.GetChangeCount();
    auto changed = [&] {
        const bool result = list.GetChangeCount() != seen;
        seen = list.GetChangeCount();
        return result;
    };
    list.Add("a");
    EXPECT_TRUE(changed());
    list.SetCommaText("b,c");
    EXPECT_TRUE(changed());
    list.Put(0, "z");
    EXPECT_TRUE(changed());
    list.Sort();
    EXPECT_TRUE(changed());
    list.Clear();
    EXPECT_TRUE(changed());
    (void)list.IndexOf("q");
    EXPECT_FALSE(changed());
}

}  // namespace
