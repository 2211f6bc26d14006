// The data layer against real SQLite files, through the real driver manager and SQLite ODBC
// driver: catalog, column types, values as text, navigation, refresh, parameters and failures.
#include "data/ConnectionString.h"
#include "data/DataError.h"
#include "data/DataQuery.h"
#include "data/DataStoredProc.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class SQLiteDataTest : public testing::Test {
protected:
    void SetUp() override {
        FDir = fs::temp_directory_path() /
               ("korvel-data-" + std::to_string(::getpid()) + "-" +
                testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(FDir);
        fs::create_directories(FDir);
        FFile = (FDir / "test.db").string();
        // The ODBC form of the string lets the driver create the file; the Provider form never does.
        TDataConnection creator;
        creator.SetConnectionString("Driver=" + InstalledDriverNames().SQLite + ";Database=" + FFile);
        creator.Open();
        Exec(creator,
             "CREATE TABLE Items (ID INTEGER PRIMARY KEY, Name NVARCHAR(40), Price REAL, Amount DECIMAL(10,2), "
             "Created DATETIME, Day DATE, Data BLOB, Notes TEXT)");
        Exec(creator, "INSERT INTO Items VALUES (1, 'Tea', 1.5, 10.25, '2024-01-02 03:04:05', '2024-01-02', "
                      "x'00FF', NULL)");
        Exec(creator, "INSERT INTO Items VALUES (2, '绿茶', NULL, NULL, NULL, NULL, NULL, 'Line1\nLine2')");
        Exec(creator, "INSERT INTO Items VALUES (3, NULL, 3, 0, NULL, NULL, NULL, '')");
        Exec(creator, "CREATE VIEW ItemNames AS SELECT ID, Name AS 名称 FROM Items");
        Exec(creator, "CREATE TABLE \"Order Details\" (OrderID INTEGER, \"Order\" INTEGER)");
        FConnection.SetConnectionString("Provider=SQLite;Data Source=" + FFile);
        FConnection.SetLoginPrompt(false);
    }

    void TearDown() override {
        FConnection.Close();
        std::error_code error;
        fs::remove_all(FDir, error);
    }

    static void Exec(TDataConnection& connection, const std::string& sql) { connection.Execute(sql); }

    std::vector<std::string> Column(TDataQuery& query, int field) {
        std::vector<std::string> values;
        for (query.First(); !query.Eof(); query.Next())
            values.push_back(query.Fields(field).IsNull() ? "<null>" : query.Fields(field).AsString());
        return values;
    }

    fs::path FDir;
    std::string FFile;
    TDataConnection FConnection;
};

TEST_F(SQLiteDataTest, ObjectListAnswersSpHelpFromTheCatalog) {
    FConnection.Open();
    TDataQuery query(&FConnection);
    query.SetSQL("exec sp_help");
    query.Open();
    ASSERT_GE(query.FieldCount(), 3);
    std::vector<std::string> rows;
    for (; !query.Eof(); query.Next())
        rows.push_back(query.Fields(0).AsString() + "|" + query.Fields(1).AsString() + "|" +
                       query.Fields(2).AsString());
    EXPECT_EQ(rows, (std::vector<std::string>{"sqlite_master||system table", "Items||user table",
                                              "Order Details||user table", "ItemNames||view"}));
}

struct TColumnCase {
    const char* Name;
    const char* Object;
    std::vector<std::pair<std::string, TFieldType>> Fields;
};

void PrintTo(const TColumnCase& c, std::ostream* os) { *os << c.Name; }

class SQLiteColumnsTest : public SQLiteDataTest, public testing::WithParamInterface<TColumnCase> {};

TEST_P(SQLiteColumnsTest, EmptyQueryGivesNamesAndTypes) {
    FConnection.Open();
    TDataQuery query(&FConnection);
    query.SetSQL(std::string("SELECT * FROM ") + GetParam().Object + " WHERE 0 = 1");
    query.Open();
    EXPECT_TRUE(query.IsEmpty());
    EXPECT_TRUE(query.Eof());
    std::vector<std::pair<std::string, TFieldType>> fields;
    for (int i = 0; i < query.FieldCount(); ++i)
        fields.emplace_back(query.Fields(i).FieldName(), query.Fields(i).DataType());
    EXPECT_EQ(fields, GetParam().Fields);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SQLiteColumnsTest,
    testing::Values(TColumnCase{"Table",
                                "Items",
                                {{"ID", ftInteger},
                                 {"Name", ftWideString},
                                 {"Price", ftFloat},
                                 {"Amount", ftBCD},
                                 {"Created", ftDateTime},
                                 {"Day", ftDate},
                                 {"Data", ftBlob},
                                 {"Notes", ftMemo}}},
                    TColumnCase{"ViewWithChineseColumn", "ItemNames", {{"ID", ftInteger}, {"名称", ftWideString}}},
                    TColumnCase{"BracketedNameAndKeywordColumn",
                                "[Order Details]",
                                {{"OrderID", ftInteger}, {"Order", ftInteger}}}),
    [](const auto& info) { return std::string(info.param.Name); });

TEST_F(SQLiteDataTest, RowsAreTextWithNullsAndChinese) {
    FConnection.Open();
    TDataQuery query(&FConnection);
    query.SetSQL("SELECT * FROM Items ORDER BY ID");
    query.Open();
    EXPECT_EQ(Column(query, 1), (std::vector<std::string>{"Tea", "绿茶", "<null>"}));
    EXPECT_EQ(Column(query, 2), (std::vector<std::string>{"1.5", "<null>", "3.0"}));
    EXPECT_EQ(Column(query, 4), (std::vector<std::string>{"2024-01-02 03:04:05", "<null>", "<null>"}));
    EXPECT_EQ(Column(query, 7), (std::vector<std::string>{"<null>", "Line1\nLine2", ""}));
}

TEST_F(SQLiteDataTest, LongValuesArriveWhole) {
    FConnection.Open();
    TDataQuery query(&FConnection);
    // Longer than the read buffer, with multi-byte characters across its edges.
    query.SetSQL("SELECT replace(hex(zeroblob(5000)), '00', '中a')");
    query.Open();
    std::string expected;
    for (int i = 0; i < 5000; ++i) expected += "中a";
    EXPECT_EQ(query.Fields(0).AsString(), expected);
}

TEST_F(SQLiteDataTest, NavigatesBothWaysAndRefreshes) {
    FConnection.Open();
    TDataQuery query(&FConnection);
    query.SetSQL("SELECT ID FROM Items ORDER BY ID");
    query.Open();
    query.Last();
    EXPECT_EQ(query.Fields(0).AsString(), "3");
    EXPECT_TRUE(query.Eof());
    query.Prior();
    EXPECT_EQ(query.Fields(0).AsString(), "2");
    query.Prior();
    query.Prior();
    EXPECT_TRUE(query.Bof());
    EXPECT_EQ(query.Fields(0).AsString(), "1");
    query.Next();

    TDataConnection other;
    other.SetConnectionString("Provider=SQLite;Data Source=" + FFile);
    other.Open();
    Exec(other, "INSERT INTO Items (ID) VALUES (4)");
    query.Refresh();
    EXPECT_EQ(query.RecNo(), 2);
    EXPECT_EQ(Column(query, 0), (std::vector<std::string>{"1", "2", "3", "4"}));
}

TEST_F(SQLiteDataTest, StoredProcedureRefreshGivesNoParametersOnSQLite) {
    FConnection.Open();
    TDataStoredProc proc(&FConnection);
    proc.Parameters().Add("@stale", ftInteger, ptInput);
    proc.SetProcedureName("[dbo].[fn_x]");
    proc.RefreshParameters();
    EXPECT_EQ(proc.Parameters().Count(), 0);
}

struct TFailureCase {
    const char* Name;
    const char* Sql;
    const char* MessagePart;
};

void PrintTo(const TFailureCase& c, std::ostream* os) { *os << c.Name; }

class SQLiteQueryFailureTest : public SQLiteDataTest, public testing::WithParamInterface<TFailureCase> {};

TEST_P(SQLiteQueryFailureTest, ThrowsWithTheDriversMessage) {
    FConnection.Open();
    TDataQuery query(&FConnection);
    query.SetSQL(GetParam().Sql);
    try {
        query.Open();
        FAIL() << "no exception";
    } catch (const EDataError& error) {
        EXPECT_NE(std::string(error.what()).find(GetParam().MessagePart), std::string::npos) << error.what();
    }
    EXPECT_FALSE(query.Active());
}

INSTANTIATE_TEST_SUITE_P(Cases, SQLiteQueryFailureTest,
                         testing::Values(TFailureCase{"SyntaxError", "SELEC * FROM Items", "syntax error"},
                                         TFailureCase{"MissingTable", "SELECT * FROM Nowhere", "no such table"},
                                         TFailureCase{"MissingColumn", "SELECT NoSuchColumn FROM Items", "no such column"},
                                         TFailureCase{"EmptyText", "  \r\n", "命令文本为空"}),
                         [](const auto& info) { return std::string(info.param.Name); });

TEST_F(SQLiteDataTest, MissingFileIsAnErrorAndIsNotCreated) {
    const auto missing = FDir / "missing.db";
    TDataConnection connection;
    connection.SetConnectionString("Provider=SQLite;Data Source=" + missing.string());
    try {
        connection.Open();
        FAIL() << "no exception";
    } catch (const EDataError& error) {
        EXPECT_NE(std::string(error.what()).find(missing.string()), std::string::npos) << error.what();
    }
    EXPECT_FALSE(connection.Connected());
    EXPECT_FALSE(fs::exists(missing));
}

TEST_F(SQLiteDataTest, NotificationsFollowEachConnectAndDisconnect) {
    int connects = 0, disconnects = 0;
    FConnection.OnAfterConnect = [&](TDataConnection& c) {
        ++connects;
        EXPECT_TRUE(c.Connected());
    };
    FConnection.OnAfterDisconnect = [&](TDataConnection& c) {
        ++disconnects;
        EXPECT_FALSE(c.Connected());
    };
    FConnection.Open();
    FConnection.Open();
    FConnection.Close();
    FConnection.Close();
    FConnection.Open();
    FConnection.SetConnectionString("Provider=SQLite;Data Source=" + (FDir / "none.db").string());
    EXPECT_THROW(FConnection.Open(), EDataError);
    EXPECT_EQ(connects, 2);
    EXPECT_EQ(disconnects, 2);
}

TEST_F(SQLiteDataTest, DisconnectClosesOpenQueries) {
    FConnection.Open();
    TDataQuery query(&FConnection);
    query.SetSQL("SELECT * FROM Items");
    query.Open();
    FConnection.Close();
    EXPECT_FALSE(query.Active());
    EXPECT_THROW(query.Open(), EDataError);
    FConnection.Open();
    query.Open();
    EXPECT_TRUE(query.Active());
}

TEST_F(SQLiteDataTest, QueryOutlivingItsConnectionIsSafe) {
    TDataQuery query;
    {
        TDataConnection connection;
        connection.SetConnectionString("Provider=SQLite;Data Source=" + FFile);
        connection.Open();
        query.SetConnection(&connection);
        query.SetSQL("SELECT * FROM Items");
        query.Open();
    }
    EXPECT_FALSE(query.Active());
    EXPECT_EQ(query.GetConnection(), nullptr);
    EXPECT_THROW(query.Open(), EDataError);
}

TEST_F(SQLiteDataTest, ExecuteReportsAffectedRowsAndFailures) {
    FConnection.Open();
    EXPECT_EQ(FConnection.Execute("UPDATE Items SET Price = 2 WHERE ID >= 2"), 2);
    EXPECT_EQ(FConnection.Execute("DELETE FROM Items WHERE ID = 99"), 0);
    EXPECT_THROW(FConnection.Execute("UPDATE Nowhere SET X = 1"), EDataError);
    TDataQuery query(&FConnection);
    query.SetSQL("DELETE FROM Items WHERE ID = 3");
    EXPECT_THROW(query.Open(), EDataError);  // a query must return a result set
}

TEST_F(SQLiteDataTest, SeveralQueriesReadAtOnceOnOneConnection) {
    FConnection.Open();
    TDataQuery objects(&FConnection), preview(&FConnection);
    objects.SetSQL("exec sp_help");
    preview.SetSQL("SELECT ID FROM Items ORDER BY ID");
    objects.Open();
    preview.Open();
    objects.Next();
    preview.Next();
    EXPECT_EQ(objects.Fields(0).AsString(), "Items");
    EXPECT_EQ(preview.Fields(0).AsString(), "2");
}

TEST_F(SQLiteDataTest, ChangingTheTextClosesTheQuery) {
    FConnection.Open();
    TDataQuery query(&FConnection);
    query.SetSQL("SELECT ID FROM Items");
    query.Open();
    query.SetSQL("SELECT Name FROM Items");
    EXPECT_FALSE(query.Active());
    query.Open();
    EXPECT_EQ(query.Fields(0).FieldName(), "Name");
}

TEST_F(SQLiteDataTest, ConnectionStringReadsBackWithoutPassword) {
    FConnection.SetConnectionString("Provider=SQLite;Password=hunter2;Data Source=" + FFile);
    EXPECT_EQ(FConnection.GetConnectionString(), "Provider=SQLite;Data Source=" + FFile);
    FConnection.Open();
    EXPECT_TRUE(FConnection.Connected());
}

TEST(SqlServerConnectionTest, UnreachableServerFailsQuicklyWithoutShowingThePassword) {
    TDataConnection connection;
    connection.SetConnectionString(
        "Provider=SQLOLEDB.1;Persist Security Info=False;User ID=sa;Password=Sekr1t;Initial Catalog=db;"
        "Data Source=127.0.0.1,1");
    connection.SetLoginPrompt(false);
    const auto start = std::chrono::steady_clock::now();
    try {
        connection.Open();
        FAIL() << "connected to a server that is not there";
    } catch (const EDataError& error) {
        const std::string message = error.what();
        EXPECT_NE(message.find("127.0.0.1"), std::string::npos) << message;
        EXPECT_EQ(message.find("Sekr1t"), std::string::npos) << message;
        EXPECT_FALSE(error.SqlState.empty());
    }
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
    EXPECT_FALSE(connection.Connected());
}

}  // namespace

namespace {

TEST(SqlServerConnectionTest, LoginPromptAsksForTheMissingPassword) {
    TDataConnection connection;
    connection.SetConnectionString("Provider=SQLOLEDB.1;User ID=sa;Initial Catalog=db;Data Source=127.0.0.1,1");
    std::string askedUser;
    connection.OnLogin = [&](const std::string& user, std::string&) {
        askedUser = user;
        return false;
    };
    try {
        connection.Open();
        FAIL() << "no exception";
    } catch (const EDataError& error) {
        EXPECT_NE(std::string(error.what()).find("登录已取消"), std::string::npos) << error.what();
    }
    EXPECT_EQ(askedUser, "sa");

    connection.OnLogin = [](const std::string&, std::string& password) {
        password = "Typed;Secret";
        return true;
    };
    try {
        connection.Open();
        FAIL() << "no exception";
    } catch (const EDataError& error) {
        EXPECT_EQ(std::string(error.what()).find("Secret"), std::string::npos) << error.what();
    }

    // Switched off, the prompt is never asked.
    askedUser.clear();
    connection.OnLogin = [&](const std::string& user, std::string&) {
        askedUser = user;
        return true;
    };
    connection.SetLoginPrompt(false);
    EXPECT_THROW(connection.Open(), EDataError);
    EXPECT_EQ(askedUser, "");
}

}  // namespace
