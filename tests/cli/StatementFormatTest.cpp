// Statement formatting from the command-line options: which options and values are taken,
// the parser they set up, and the one-line error forms of a statement and of a batch.
#include "korvel-sql/StatementFormat.h"

#include "lexer/QBMSScanner.h"
#include "parser/QBMSParser.h"

#include <gtest/gtest.h>

namespace {

struct OptionCase {
    const char* name;
    const char* value;
    bool accepted;
};

class FormatOptions : public ::testing::TestWithParam<OptionCase> {};

TEST_P(FormatOptions, AreTakenOnlyWithAValidValue) {
    TQBFormatOptions options;
    EXPECT_EQ(ApplyFormatOption(options, GetParam().name, GetParam().value), GetParam().accepted);
}

INSTANTIATE_TEST_SUITE_P(
    Cli, FormatOptions,
    ::testing::Values(OptionCase{"dialect", "mssql", true}, OptionCase{"dialect", "base", true},
                      OptionCase{"dialect", "oracle", false}, OptionCase{"keywords", "first", true},
                      OptionCase{"keywords", "UPPER", false}, OptionCase{"functions", "lower", true},
                      OptionCase{"brackets", "off", true}, OptionCase{"brackets", "no", false},
                      OptionCase{"case-sensitive", "", true}, OptionCase{"case-sensitive", "yes", false},
                      OptionCase{"alter-quotes", "", true}, OptionCase{"batch", "", true},
                      OptionCase{"quotes", "", false}));

TEST(StatementFormat, OptionsSetUpTheParserOfTheChosenDialect) {
    TQBFormatOptions options;
    ASSERT_TRUE(ApplyFormatOption(options, "keywords", "lower"));
    ASSERT_TRUE(ApplyFormatOption(options, "case-sensitive", ""));
    ASSERT_TRUE(ApplyFormatOption(options, "alter-quotes", ""));
    auto ms = MakeFormatParser(options);
    EXPECT_NE(dynamic_cast<TQBMSSelectParser*>(ms.get()), nullptr);
    EXPECT_TRUE(ms->GetCaseSensitiveIdentifiers());
    EXPECT_EQ(ms->GetScriptFormat().KeywordsFormat, qfmLowerCase);
    EXPECT_TRUE(dynamic_cast<TQBMSSQLScanner&>(*ms->GetScanner()).GetAlterQuotes());
    ASSERT_TRUE(ApplyFormatOption(options, "dialect", "base"));
    EXPECT_EQ(dynamic_cast<TQBMSSelectParser*>(MakeFormatParser(options).get()), nullptr);
}

TEST(StatementFormat, ErrorsAreOneLineWithTheirPlace) {
    auto parser = MakeFormatParser({});
    const TQBFormatResult ok = FormatStatement(*parser, "select a from t");
    EXPECT_TRUE(ok.Ok);
    EXPECT_EQ(ok.Text, "SELECT \r\n  a\r\nFROM\r\n t\r\n");
    const TQBFormatResult bad = FormatStatement(*parser, "SELECT a\nFROM", 3);
    EXPECT_FALSE(bad.Ok);
    EXPECT_EQ(bad.Error.rfind("error 2 at line 5, position ", 0), 0u) << bad.Error;
    EXPECT_TRUE(bad.Text.empty());
}

TEST(StatementFormat, ABatchKeepsItsGoLinesAndCountsErrorLinesInTheWholeText) {
    auto parser = MakeFormatParser({});
    const std::string out = FormatBatch(*parser, "SELECT a FROM t\r\ngo\r\n\r\nSELECT\r\n GO ");
    EXPECT_EQ(out.find("SELECT \r\n  a\r\nFROM\r\n t\r\nGO\r\n-- error 2 at line 5, position "), 0u)
        << out;
    EXPECT_EQ(FormatBatch(*parser, ""), "");
}

}  // namespace
