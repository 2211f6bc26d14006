// Procedure and table-function sources in the control: parameters merged when a statement is
// written, the argument values kept per box, parameter lines kept out of the select list, and
// the host-independent way a table function is described and added (an in-memory catalog
// stands in for the server, which SQLite cannot be: it has no table functions).
#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QRadioButton>
#include <QPushButton>
#include <QTest>
#include <map>

#include "ControlTestSupport.h"
#include "control/QBTableFunctions.h"
#include "data/DataQuery.h"
#include "data/MemoryDataSet.h"
#include "diagram/ParamForm.h"
#include "diagram/QBProc.h"

namespace {

// A function of the in-memory catalog: its columns and its parameters as the server lists them.
struct TMemoryFunction {
    std::vector<std::pair<std::string, TFieldType>> Columns;
    std::vector<std::tuple<std::string, TFieldType, TParamType>> Params;
};

class ProcControlTest : public ControlTest {
protected:
    void SetUp() override {
        ControlTest::SetUp();
        Functions["dbo.fn"] = {{{"a", ftInteger}, {"b", ftString}},
                               {{"@n", ftInteger, ptInput}, {"@out", ftInteger, ptOutput}, {"@s", ftString, ptInput}}};
        Functions["dbo.noargs"] = {{{"x", ftInteger}}, {}};
        Functions["dbo.io"] = {{{"x", ftInteger}}, {{"@io", ftInteger, ptInputOutput}}};
        Catalog.ReadParameters = [this](const std::string& quotedName, TDataParameters& list) {
            list.Clear();
            AskedParams.push_back(quotedName);
            const auto found = Functions.find(Unquoted(quotedName));
            if (found == Functions.end()) return;
            // The host keeps only the input directions.
            for (const auto& [name, type, direction] : found->second.Params)
                if (direction == ptInput || direction == ptInputOutput) list.Add(name, type, direction);
        };
        Catalog.OpenQuery = [this](const std::string& sql) -> TDataSet* {
            Queries.push_back(sql);
            const std::string from = sql.substr(sql.find("FROM ") + 5);
            const std::string name = Unquoted(from.substr(0, from.find_first_of("( ")));
            const auto found = Functions.find(name);
            auto set = std::make_unique<TMemoryDataSet>();
            if (found == Functions.end()) return nullptr;
            for (const auto& [column, type] : found->second.Columns) set->AddField(column, type);
            set->Open();
            Sets.push_back(std::move(set));
            return Sets.back().get();
        };
        Control->OnGetTableFields = [this](const std::string& name, TDataSet*& set, TDataParameters*& params) {
            GetTableSourceFields(*Control, Catalog, HostParams, name, set, params);
        };
    }

    static std::string Unquoted(std::string name) {
        std::erase_if(name, [](char c) { return c == '[' || c == ']'; });
        return name;
    }

    // Enters Text as the value of Line through the parameter dialog (no modal loop).
    void EnterValue(TQBListItem* line, const QString& text) {
        ASSERT_NE(line, nullptr);
        EXPECT_TRUE(EditProcParameter(line, [&](QDialog& dialog) {
            auto& form = dynamic_cast<TfmInputParam&>(dialog);
            form.show();
            if (form.chUnassigned->isChecked())
                QTest::mouseClick(form.chUnassigned, Qt::LeftButton, {}, QPoint(6, form.chUnassigned->height() / 2));
            QTest::mouseClick(form.raValue, Qt::LeftButton, {}, QPoint(6, form.raValue->height() / 2));
            form.edValue->clear();
            QTest::keyClicks(form.edValue, text);
            QTest::mouseClick(form.buOK, Qt::LeftButton);
            return form.result() == QDialog::Accepted;
        }));
        // The work area carries the value into the model, as after a double click.
        Area->EnterProcParameter(line->Table(), line);
    }

    std::vector<std::string> Lines(const std::string& key) const {
        std::vector<std::string> lines;
        TQBTable* box = Box(key);
        for (int i = 0; box && i < box->ItemCount(); ++i) lines.push_back(box->Item(i)->Name());
        return lines;
    }

    std::map<std::string, TMemoryFunction> Functions;
    TQBSourceCatalog Catalog;
    TDataParameters HostParams;
    std::vector<std::unique_ptr<TMemoryDataSet>> Sets;
    std::vector<std::string> Queries;
    std::vector<std::string> AskedParams;
};

TEST_F(ProcControlTest, AStatementOverAFunctionBuildsItsBoxWithTheHostsParameterNames) {
    SetSql("SELECT f.a FROM dbo.fn(42, 'x') f");
    ASSERT_TRUE(Errors.empty());
    ASSERT_NE(Box("f"), nullptr);
    EXPECT_TRUE(Box("f")->IsStoredProc());
    EXPECT_EQ(Lines("f"), (std::vector<std::string>{"a", "b", "@n", "@s"}));
    EXPECT_EQ(Line("f", "@n")->FValue, TVariant(42));
    EXPECT_EQ(Line("f", "@s")->FValue, TVariant("'x'")) << "a string argument is kept as written";
    EXPECT_TRUE(Line("f", "@n")->Checked());
    ASSERT_FALSE(Queries.empty());
    EXPECT_EQ(Queries.back(), "SELECT * FROM dbo.fn(NULL, NULL) WHERE 0 = 1");
    EXPECT_EQ(Sql(), "SELECT \r\n  f.a\r\nFROM\r\n dbo.fn(42, 'x') f\r\n");
    ExpectSameDiagramAfterReparse();
}

TEST_F(ProcControlTest, ArgumentsAreMergedWithTheHostsParameterList) {
    struct Case {
        const char* Name;
        const char* Statement;
        const char* Expected;
    } cases[] = {
        {"more arguments than parameters", "SELECT * FROM dbo.fn(1, 'a', 3) f", "dbo.fn(1, 'a') f"},
        {"fewer arguments than parameters", "SELECT * FROM dbo.fn(1) f", "dbo.fn(1, :@s) f"},
        {"null and unassigned kept", "SELECT * FROM dbo.fn(NULL, :p) f", "dbo.fn(NULL, :@s) f"},
        {"no parameters", "SELECT * FROM dbo.noargs() g", "dbo.noargs() g"},
    };
    for (const Case& c : cases) {
        SetSql(c.Statement);
        EXPECT_TRUE(Errors.empty()) << c.Name;
        EXPECT_NE(Sql().find(c.Expected), std::string::npos) << c.Name << "\n" << Sql();
    }
}

TEST_F(ProcControlTest, AnInputOutputParameterWithoutValueShowsNoValue) {
    SetSql("SELECT * FROM dbo.io(:v) g");
    TQBListItem* line = Line("g", "@io");
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->Usage(), iuInputOutput);
    EXPECT_FALSE(line->Checked());
    EXPECT_NE(Sql().find("dbo.io(:@io) g"), std::string::npos) << Sql();
    SetSql("SELECT * FROM dbo.io(5) g");
    EXPECT_TRUE(Line("g", "@io")->Checked());
}

TEST_F(ProcControlTest, AFunctionUsedTwiceKeepsTheArgumentsOfEachBox) {
    SetSql("SELECT f1.a, f2.a FROM dbo.fn(1, 'a') f1, dbo.fn(2, 'b') f2");
    ASSERT_NE(Box("f2"), nullptr);
    EnterValue(Line("f2", "@n"), "3");
    EXPECT_NE(Sql().find("dbo.fn(1, 'a') f1"), std::string::npos) << Sql();
    EXPECT_NE(Sql().find("dbo.fn(3, 'b') f2"), std::string::npos) << Sql();
    EXPECT_EQ(Line("f1", "@n")->FValue, TVariant(1));
}

TEST_F(ProcControlTest, ParameterLinesNeverEnterTheSelectList) {
    SetSql("SELECT * FROM dbo.fn(1, 'a') f");
    TQBTable* box = Box("f");
    ASSERT_NE(box, nullptr);
    box->CheckAll(2);
    EXPECT_EQ(Sql(), "SELECT \r\n  f.a,\r\n  f.b\r\nFROM\r\n dbo.fn(1, 'a') f\r\n");
    EXPECT_EQ(box->CheckState(), 2);
    box->CheckAll(0);
    EXPECT_TRUE(Line("f", "@n")->Checked()) << "unticking the columns keeps the arguments";
    EXPECT_NE(Sql().find("dbo.fn(1, 'a')"), std::string::npos) << Sql();
}

TEST_F(ProcControlTest, ATableFunctionFromTheTreeIsAddedWithItsArgumentList) {
    TQBTable* box = AddTableFunction(*Control, Catalog, "[dbo].[fn]", "dbo.fn", TPoint{300, 200});
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(AskedParams, (std::vector<std::string>{"[dbo].[fn]"}));
    EXPECT_EQ(Queries, (std::vector<std::string>{"SELECT * FROM [dbo].[fn](NULL, NULL) WHERE 0 = 1"}));
    EXPECT_EQ(Lines("dbo.fn"), (std::vector<std::string>{"a", "b", "@n", "@s"}));
    EXPECT_EQ(box->Left(), 300);
    EXPECT_EQ(box->Top(), 200);
    EXPECT_EQ(Sql(), "SELECT *\r\nFROM\r\n dbo.fn(:@n, :@s)\r\n");

    TQBTable* bare = AddTableFunction(*Control, Catalog, "[dbo].[noargs]", "dbo.noargs");
    ASSERT_NE(bare, nullptr);
    EXPECT_EQ(Queries.back(), "SELECT * FROM [dbo].[noargs]() WHERE 0 = 1");
    EXPECT_NE(Sql().find("dbo.noargs()"), std::string::npos) << Sql();
}

TEST_F(ProcControlTest, ARefusedFunctionAddsNothing) {
    Control->OnAddRemoveTable = [](QObject*, TQBTable*, TQBAction, bool& accept) { accept = false; };
    EXPECT_EQ(AddTableFunction(*Control, Catalog, "[dbo].[fn]", "dbo.fn"), nullptr);
    EXPECT_EQ(Control->Tables().Count(), 0);
    EXPECT_EQ(TableDefs().Count(), 0);
}

TEST(ArgumentList, ListsOneNullPerParameter) {
    TDataParameters none, two;
    two.Add("a", ftInteger, ptInput);
    two.Add("b", ftString, ptInput);
    EXPECT_EQ(ArgumentList(nullptr), "");
    EXPECT_EQ(ArgumentList(&none), "()");
    EXPECT_EQ(ArgumentList(&two), "(NULL, NULL)");
    EXPECT_EQ(ColumnsQuery("[t]"), "SELECT * FROM [t] WHERE 0 = 1");
}

}  // namespace

namespace {

// The catalog over a real connection: the columns come through the host's query command;
// SQLite knows no procedures, so a parameter search finds none.
TEST(ConnectionCatalog, ReadsColumnsThroughTheQueryAndParametersThroughTheServer) {
    TDataConnection connection;
    connection.SetConnectionString(std::string("Provider=SQLite;Data Source=") + KORVEL_BINARY_DIR +
                                   "/sample/korvel-sample.db");
    connection.SetLoginPrompt(false);
    connection.Open();
    TDataQuery query(&connection);
    const TQBSourceCatalog catalog = ConnectionCatalog(connection, query);
    TDataSet* set = catalog.OpenQuery(ColumnsQuery("Customers"));
    ASSERT_EQ(set, &query);
    EXPECT_GT(set->FieldCount(), 2);
    EXPECT_EQ(catalog.OpenQuery(ColumnsQuery("Orders")), &query) << "the query is reused";

    TDataParameters list;
    list.Add("stale", ftInteger, ptInput);
    catalog.ReadParameters("Customers", list);
    EXPECT_EQ(list.Count(), 0) << "the list is emptied before the search";
}

}  // namespace
