// The preview in the main window: Execute from either page, the guard that refuses anything
// but one SELECT (nothing reaches the database), the grid surviving column look-ups, SQL files
// and the hidden connection commands.
#include "MainFormTestSupport.h"

#include <QAction>
#include <QTableView>

#include <fstream>
#include <iterator>

#include "data/DataQuery.h"
#include "diagram/QBFloatPanel.h"
#include "host/ConnectForm.h"
#include "host/ResultModel.h"
#include "host/ResultView.h"

namespace {

class PreviewTest : public MainFormTest {
protected:
    long long OrderCount() {
        TDataQuery count(&Form->Connection());
        count.SetSQL("SELECT count(*) FROM Orders");
        count.Open();
        return std::stoll(count.ValueAsString(0));
    }
    int ResultRows() const { return Form->ResultView()->Model()->rowCount(); }
    bool ResultShown() const { return Pages().isTabVisible(TfmMain::pgResult) && Pages().currentIndex() == TfmMain::pgResult; }
    // A temporary file path, removed with the fixture.
    std::string TempFile(const char* name) {
        const std::string path = (std::filesystem::temp_directory_path() /
                                  ("korvel-preview-" + std::to_string(::getpid()) + "-" + name)).string();
        Files.push_back(path);
        return path;
    }
    void TearDown() override {
        for (const std::string& file : Files) std::filesystem::remove(file);
        MainFormTest::TearDown();
    }
    std::vector<std::string> Files;
};

TEST_F(PreviewTest, ExecuteFromTheBuilderPageShowsTheResult) {
    ASSERT_TRUE(Open("SELECT o.OrderID, o.Freight FROM Orders o WHERE o.Freight > 100"));
    EXPECT_FALSE(Pages().isTabVisible(TfmMain::pgResult));
    Form->miExecute->trigger();
    EXPECT_TRUE(ResultShown());
    EXPECT_GT(ResultRows(), 0);
    EXPECT_EQ(Form->ResultView()->Model()->columnCount(), 2);
    EXPECT_TRUE(Boxes.empty());
}

TEST_F(PreviewTest, ExecuteFromTheSQLPageAppliesTheTextFirst) {
    ASSERT_TRUE(Open());
    ClickTab(TfmMain::pgSQL);
    TypeIntoMemo("SELECT ShipperID, CompanyName FROM Shippers");
    QTest::keyClick(&Memo(), Qt::Key_F9);
    EXPECT_TRUE(ResultShown());
    EXPECT_EQ(ResultRows(), 3);
    EXPECT_EQ(Builder().Tables().Count(), 1);  // the text reached the diagram too
    EXPECT_FALSE(Memo().document()->isModified());
}

TEST_F(PreviewTest, ExecuteRefusesAnythingButOneSelect) {
    ASSERT_TRUE(Open());
    const long long before = OrderCount();
    const char* statements[] = {"DELETE FROM Orders", "SELECT 1; DELETE FROM Orders",
                                "UPDATE Orders SET Freight = 0", "SELECT * FROM Orders; DELETE FROM Orders"};
    for (const char* statement : statements) {
        ClickTab(TfmMain::pgSQL);
        TypeIntoMemo(QString::fromUtf8(statement));
        Boxes.clear();
        EXPECT_FALSE(Form->Execute()) << statement;
        EXPECT_FALSE(ResultShown()) << statement;
        EXPECT_EQ(Pages().currentIndex(), TfmMain::pgSQL) << statement;
        EXPECT_FALSE(Boxes.empty() && StatusText().empty()) << statement << ": refused without a word";
    }
    EXPECT_EQ(OrderCount(), before);
}

TEST_F(PreviewTest, AddingATableKeepsTheGridReadable) {
    ASSERT_TRUE(Open("SELECT * FROM Shippers"));
    Form->Execute();
    ASSERT_TRUE(ResultShown());
    // A column look-up while the result is shown: the grid must not read a closed query.
    TDataSet* dataSet = nullptr;
    TDataParameters* params = nullptr;
    Builder().OnGetTableFields("Orders", dataSet, params);
    ASSERT_NE(dataSet, nullptr);
    EXPECT_NE(dataSet, static_cast<TDataSet*>(&Form->PreviewQuery()));
    EXPECT_TRUE(Form->PreviewQuery().Active());
    EXPECT_EQ(ResultRows(), 3);
    Form->ResultView()->Grid()->viewport()->repaint();
    // Adding from the tree closes the preview as the window always did, the grid first.
    DoubleClickNode(Node(TfmMain::tiTable, "Orders"));
    EXPECT_FALSE(Pages().isTabVisible(TfmMain::pgResult));
    EXPECT_EQ(ResultRows(), 0);
}

TEST_F(PreviewTest, ClearHidesTheResult) {
    ASSERT_TRUE(Open("SELECT * FROM Shippers"));
    Form->Execute();
    Form->miClear->trigger();
    EXPECT_FALSE(Pages().isTabVisible(TfmMain::pgResult));
    EXPECT_EQ(ResultRows(), 0);
    EXPECT_FALSE(Form->PreviewQuery().Active());
}

TEST_F(PreviewTest, ServerErrorReachesTheUser) {
    ASSERT_TRUE(Open());
    ClickTab(TfmMain::pgSQL);
    TypeIntoMemo("SELECT NoSuchColumn FROM Shippers");
    Form->Execute();
    EXPECT_FALSE(ResultShown());
    ASSERT_FALSE(Boxes.empty());
    EXPECT_NE(Boxes.back().Text.find("NoSuchColumn"), std::string::npos) << Boxes.back().Text;
}

TEST_F(PreviewTest, SQLFileRoundTripsByteForByte) {
    ASSERT_TRUE(Open());
    const std::string in = TempFile("in.sql");
    const std::string out = TempFile("out.sql");
    const std::string content = "SELECT r.[地区名称]\r\nFROM [地区] r\r\nWHERE r.[地区名称] = '华北'\r\n";
    std::ofstream(in, std::ios::binary) << content;
    std::string asked;
    Form->FileDialogHook = [&](bool save, const QString& title, const QString& filter, const QString& suffix) {
        asked = title.toStdString() + "|" + filter.toStdString() + "|" + suffix.toStdString();
        return QString::fromStdString(save ? out : in);
    };
    ClickTab(TfmMain::pgSQL);
    EXPECT_TRUE(Form->LoadSQLFile());
    EXPECT_EQ(asked, "Load SQL File|SQL Files (*.sql);;Text Files (*.txt);;All Files (*)|sql");
    EXPECT_TRUE(Memo().document()->isModified());
    EXPECT_TRUE(Form->SaveSQLFile());
    EXPECT_EQ(asked, "Save SQL File|SQL Files (*.sql);;Text Files (*.txt);;All Files (*)|sql");
    std::ifstream saved(out, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(saved), {}), content);
    EXPECT_EQ(Builder().Tables().Count(), 1);
}

TEST_F(PreviewTest, SQLFileLoadedOnTheBuilderPage) {
    ASSERT_TRUE(Open());
    const std::string in = TempFile("builder.sql");
    std::ofstream(in, std::ios::binary) << "SELECT * FROM Shippers";
    Form->FileDialogHook = [&](bool, const QString&, const QString&, const QString&) { return QString::fromStdString(in); };
    EXPECT_TRUE(Form->LoadSQLFile());
    EXPECT_EQ(Pages().currentIndex(), TfmMain::pgBuilder);
    EXPECT_FALSE(Memo().document()->isModified());
    EXPECT_EQ(Builder().Tables().Count(), 1);
}

TEST_F(PreviewTest, UnreadableAndCancelledFiles) {
    ASSERT_TRUE(Open("SELECT * FROM Shippers"));
    const std::string before = Builder().GetSQL();
    Form->FileDialogHook = [](bool, const QString&, const QString&, const QString&) { return QString(); };
    EXPECT_FALSE(Form->LoadSQLFile());
    EXPECT_FALSE(Form->SaveSQLFile());
    EXPECT_TRUE(Boxes.empty());
    Form->FileDialogHook = [](bool, const QString&, const QString&, const QString&) {
        return QStringLiteral("/nonexistent-dir/x.sql");
    };
    EXPECT_FALSE(Form->LoadSQLFile());
    EXPECT_FALSE(Form->SaveSQLFile());
    EXPECT_EQ(Boxes.size(), 2u);
    EXPECT_EQ(Builder().GetSQL(), before);
}

TEST_F(PreviewTest, HiddenConnectionCommandsWork) {
    ASSERT_TRUE(Open("SELECT * FROM Shippers"));
    EXPECT_FALSE(Form->miConnect->isVisible());
    EXPECT_FALSE(Form->miDisconnect->isVisible());
    Form->miDisconnect->trigger();
    EXPECT_FALSE(Form->Connected());
    EXPECT_EQ(Form->TablesTree()->topLevelItemCount(), 0);
    EXPECT_EQ(Builder().Tables().Count(), 0);
    // The dialog builds SQL Server strings: cancelled, nothing changes.
    bool shown = false;
    Builder().WorkArea()->ModalHook = [&shown](QDialog& dialog) {
        shown = dynamic_cast<TfmConnect*>(&dialog) != nullptr;
        return false;
    };
    Form->miConnect->trigger();
    EXPECT_TRUE(shown);
    EXPECT_FALSE(Form->Connected());
}

}  // namespace
