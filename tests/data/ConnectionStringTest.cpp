// Connection strings: key lookup, splitting, password removal, translation to ODBC.
#include "data/ConnectionString.h"
#include "data/DataError.h"

#include <gtest/gtest.h>

namespace {

struct TLookupCase {
    const char* Name;
    const char* ConnectionString;
    int Which;
    const char* Expected;
};

void PrintTo(const TLookupCase& c, std::ostream* os) { *os << c.Name; }

class GetConnectionValueTest : public testing::TestWithParam<TLookupCase> {};

TEST_P(GetConnectionValueTest, ReturnsTheValueOfTheKey) {
    const auto& c = GetParam();
    EXPECT_EQ(GetConnectionValue(c.ConnectionString, c.Which), c.Expected);
}

const char* const OleDbUser =
    "Provider=SQLOLEDB.1;Persist Security Info=False;User ID=sa;Initial Catalog=Northwind;Data Source=srv";

INSTANTIATE_TEST_SUITE_P(
    Cases, GetConnectionValueTest,
    testing::Values(TLookupCase{"LastItemWithoutSemicolonIsWhole", OleDbUser, ConnectionDataSource, "srv"},
                    TLookupCase{"MiddleItem", OleDbUser, ConnectionInitialCatalog, "Northwind"},
                    TLookupCase{"User", OleDbUser, ConnectionUserID, "sa"},
                    TLookupCase{"AbsentKeyIsEmpty", "Provider=SQLOLEDB.1;Data Source=x", ConnectionUserID, ""},
                    TLookupCase{"KeyIsCaseSensitive", "data source=x", ConnectionDataSource, ""},
                    TLookupCase{"WhichOutOfRange", OleDbUser, 3, ""},
                    TLookupCase{"NegativeWhich", OleDbUser, -1, ""},
                    TLookupCase{"EmptyValue", "Data Source=;User ID=u", ConnectionDataSource, ""},
                    TLookupCase{"FirstOccurrenceWins", "Data Source=a;Data Source=b", ConnectionDataSource, "a"},
                    TLookupCase{"ChineseValue", "Initial Catalog=销售;Data Source=h", ConnectionInitialCatalog,
                                "销售"}),
    [](const auto& info) { return std::string(info.param.Name); });

struct TStripCase {
    const char* Name;
    const char* Text;
    const char* Expected;
};

void PrintTo(const TStripCase& c, std::ostream* os) { *os << c.Name; }

class StripPasswordTest : public testing::TestWithParam<TStripCase> {};

TEST_P(StripPasswordTest, RemovesThePasswordItem) {
    const auto& c = GetParam();
    EXPECT_EQ(StripPasswordText(c.Text), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StripPasswordTest,
    testing::Values(
        TStripCase{"Middle", "User ID=sa;Password=secret;Data Source=h", "User ID=sa;Data Source=h"},
        TStripCase{"Last", "User ID=sa;Password=secret", "User ID=sa"},
        TStripCase{"LastWithSemicolon", "User ID=sa;Password=secret;", "User ID=sa;"},
        TStripCase{"First", "PWD=x;UID=u", "UID=u"},
        TStripCase{"AnyCaseAndBlanks", "uid=u; pwd = x ;server=s", "uid=u; server=s"},
        TStripCase{"BracedWithSemicolon", "UID=u;PWD={a;b}}c};Server=s", "UID=u;Server=s"},
        TStripCase{"QuotedWithSemicolon", "Password=\"a;b\";Data Source=h", "Data Source=h"},
        TStripCase{"Twice", "Password=a;X=1;PWD=b", "X=1"},
        TStripCase{"PersistSecurityInfoStays", "Persist Security Info=False;Password=p",
                   "Persist Security Info=False"},
        TStripCase{"LongerKeyStays", "PasswordHint=abc;Server=s", "PasswordHint=abc;Server=s"},
        TStripCase{"NoPassword", "Provider=SQLite;Data Source=a.db", "Provider=SQLite;Data Source=a.db"}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(SplitConnectionStringTest, UnquotesQuotedAndBracedValues) {
    const auto items = SplitConnectionString(" Provider = SQLite ;Data Source=\"C:\\a;b.db\";X='it''s';"
                                             "Y={p}}q;r};Flag;Z=");
    ASSERT_EQ(items.size(), 6u);
    EXPECT_EQ(items[0].Key, "Provider");
    EXPECT_EQ(items[0].Value, "SQLite");
    EXPECT_EQ(items[1].Value, "C:\\a;b.db");
    EXPECT_EQ(items[2].Value, "it's");
    EXPECT_EQ(items[3].Value, "p}q;r");
    EXPECT_EQ(items[4].Key, "Flag");
    EXPECT_EQ(items[5].Key, "Z");
    EXPECT_EQ(items[5].Value, "");
}

struct TTranslateCase {
    const char* Name;
    const char* ConnectionString;
    const char* SqlServerDriver;
    const char* Expected;
    const char* File;
};

void PrintTo(const TTranslateCase& c, std::ostream* os) { *os << c.Name; }

class TranslateConnectionStringTest : public testing::TestWithParam<TTranslateCase> {};

TEST_P(TranslateConnectionStringTest, GivesTheOdbcString) {
    const auto& c = GetParam();
    TOdbcDriverNames drivers;
    drivers.SqlServer = c.SqlServerDriver;
    const TOdbcTarget target = TranslateConnectionString(c.ConnectionString, drivers);
    EXPECT_EQ(target.ConnectionString, c.Expected);
    EXPECT_EQ(target.DatabaseFile, c.File);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TranslateConnectionStringTest,
    testing::Values(
        TTranslateCase{"OleDbUserFormat",
                       "Provider=SQLOLEDB.1;Persist Security Info=False;User ID=sa;Password=pw;"
                       "Initial Catalog=db;Data Source=srv",
                       "FreeTDS", "Driver=FreeTDS;Server=srv;Database=db;UID=sa;PWD=pw;ClientCharset=UTF-8;", ""},
        TTranslateCase{"OleDbIntegratedFormat",
                       "Provider=SQLOLEDB.1;Integrated Security=SSPI;Persist Security Info=False;"
                       "Initial Catalog=db;Data Source=srv",
                       "FreeTDS", "Driver=FreeTDS;Server=srv;Database=db;Trusted_Connection=Yes;ClientCharset=UTF-8;",
                       ""},
        TTranslateCase{"FreeTdsGetsThePortAsItsOwnKey", "Provider=SQLOLEDB.1;Data Source=127.0.0.1,1", "FreeTDS",
                       "Driver=FreeTDS;Server=127.0.0.1;Port=1;ClientCharset=UTF-8;", ""},
        TTranslateCase{"FreeTdsLocalServer", "Provider=SQLOLEDB;Data Source=(local)", "FreeTDS",
                       "Driver=FreeTDS;Server=127.0.0.1;ClientCharset=UTF-8;", ""},
        TTranslateCase{"MicrosoftDriverKeepsHostComma", "Provider=SQLOLEDB.1;Data Source=h,1433",
                       "ODBC Driver 18 for SQL Server", "Driver=ODBC Driver 18 for SQL Server;Server=h,1433;", ""},
        TTranslateCase{"PasswordWithSemicolonIsBraced", "Provider=SQLOLEDB.1;User ID=u;Password=\"a;b\";Data Source=h",
                       "FreeTDS", "Driver=FreeTDS;Server=h;UID=u;PWD={a;b};ClientCharset=UTF-8;", ""},
        TTranslateCase{"SQLiteFile", "Provider=SQLite;Data Source=/tmp/x y.db", "FreeTDS",
                       "Driver=SQLite3;Database=/tmp/x y.db;NoCreat=1;StepAPI=1;Timeout=5000", "/tmp/x y.db"},
        TTranslateCase{"SQLiteProviderAnyCase", "provider=sqlite;data source=a.db", "FreeTDS",
                       "Driver=SQLite3;Database=a.db;NoCreat=1;StepAPI=1;Timeout=5000", "a.db"},
        TTranslateCase{"DriverPassedUnchanged", "Driver={SQLite3};Database=a.db", "FreeTDS",
                       "Driver={SQLite3};Database=a.db", ""},
        TTranslateCase{"DsnPassedUnchanged", "DSN=sales;UID=u;PWD=p", "FreeTDS", "DSN=sales;UID=u;PWD=p", ""}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST(TranslateConnectionStringTest, RejectsWhatCannotBeOpened) {
    const TOdbcDriverNames drivers;
    for (const char* bad : {"", "   ", "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=a.mdb", "Provider=SQLite"}) {
        SCOPED_TRACE(bad);
        EXPECT_THROW(TranslateConnectionString(bad, drivers), EDataError);
    }
}

TEST(TranslateConnectionStringTest, ConnectTimeoutBecomesTheLoginTimeout) {
    const TOdbcDriverNames drivers;
    EXPECT_EQ(TranslateConnectionString("Provider=SQLOLEDB.1;Data Source=h;Connect Timeout=2", drivers).LoginTimeout, 2);
    EXPECT_EQ(TranslateConnectionString("Provider=SQLOLEDB.1;Data Source=h;Connect Timeout=x", drivers).LoginTimeout, 5);
}

TEST(OdbcQuoteValueTest, BracesOnlyWhatNeedsIt) {
    EXPECT_EQ(OdbcQuoteValue("plain"), "plain");
    EXPECT_EQ(OdbcQuoteValue("a;b"), "{a;b}");
    EXPECT_EQ(OdbcQuoteValue("a}b"), "{a}}b}");
    EXPECT_EQ(OdbcQuoteValue(" lead"), "{ lead}");
    EXPECT_EQ(OdbcQuoteValue("u=1"), "{u=1}");
    EXPECT_EQ(OdbcQuoteValue("{x"), "{{x}");
}

TEST(GetConnectionValueTest, BracedValuesReadWhole) {
    const std::string text = "Provider=SQLOLEDB.1;User ID={a;b};Initial Catalog={c}}d};Data Source=srv";
    EXPECT_EQ(GetConnectionValue(text, ConnectionUserID), "a;b");
    EXPECT_EQ(GetConnectionValue(text, ConnectionInitialCatalog), "c}d");
    EXPECT_EQ(GetConnectionValue(text, ConnectionDataSource), "srv");
}

}  // namespace
