// The main window: its commands, the database tree, adding objects, the caption and the
// tables panel, and the connection failure on entry.
#include <QAction>
#include <QMenuBar>
#include <QMimeData>

#include "MainFormTestSupport.h"
#include "data/DataConnection.h"
#include "diagram/QBFloatPanel.h"
#include "resources/QBResource.h"

namespace {

using MainWindowTest = MainFormTest;

struct TCommandCase {
    const char* Name;
    const char* Text;
    const char* Shortcut;
    bool Visible;
    bool Enabled;  // a hidden action reads as disabled, though triggering it still runs it
};

TEST_F(MainWindowTest, CommandsHaveTheirCaptionsShortcutsAndVisibility) {
    const TCommandCase cases[] = {
        {"miConnect", "连接数据库(&C)", "", false, false},
        {"miDisconnect", "断开数据库连接(&D)", "", false, false},
        {"miLoadSQL", "打开(&O)...", "F3", true, true},
        {"miSaveSQL", "另存为(&S)...", "F2", true, true},
        {"miLoadDiagram", "打开图表文件(&O)...", "Ctrl+F3", false, false},
        {"miSaveDiagram", "另存图表文件为(&S)...", "Ctrl+F2", false, false},
        {"miExit", "退出(&E)", "Alt+X", true, true},
        {"miExecute", "执行(&E)", "F9", true, true},
        {"miClear", "清除(&C)", "", true, true},
        {"miOptions", "选项(&P)", "", true, true},
        {"miShowSystemTables", "显示系统表", "", true, true},
        {"miAbout", "关于(&A)...", "F1", false, false},
        {"tbConnect", "", "", false, false},
        {"tbDisconnect", "", "", false, false},
        {"tbLoad", "", "", true, true},
        {"tbSave", "", "", true, true},
        {"tbExecute", "", "", true, true},
        {"tbClear", "", "", true, true},
        {"btnQuit", "", "", true, true},
    };
    for (const TCommandCase& c : cases) {
        SCOPED_TRACE(c.Name);
        const QAction* action = Form->findChild<QAction*>(c.Name);
        ASSERT_NE(action, nullptr);
        EXPECT_EQ(action->text().toStdString(), c.Text);
        EXPECT_EQ(action->shortcut().toString().toStdString(), c.Shortcut);
        EXPECT_EQ(action->isVisible(), c.Visible);
        EXPECT_EQ(action->isEnabled(), c.Enabled);
    }
    std::vector<std::string> menus;
    for (const QAction* menu : Form->menuBar()->actions())
        if (menu->isVisible()) menus.push_back(menu->text().toStdString());
    EXPECT_EQ(menus, (std::vector<std::string>{"文件(&F)", "查询(&Q)", "查看(&V)"}));
    EXPECT_EQ(Form->findChild<QAction*>("tbConnect")->toolTip().toStdString(), "Connect To Database");
    EXPECT_EQ(Form->findChild<QAction*>("btnQuit")->toolTip().toStdString(), "退出");
}

TEST_F(MainWindowTest, OpensWithThePagesAndTheCaptionOfTheConnection) {
    ASSERT_TRUE(Open());
    EXPECT_EQ(Pages().count(), 3);
    EXPECT_EQ(Pages().tabText(0).toStdString(), "生成器");
    EXPECT_EQ(Pages().tabText(1).toStdString(), "SQL");
    EXPECT_EQ(Pages().tabText(2).toStdString(), "预览结果");
    EXPECT_FALSE(Pages().isTabVisible(2));
    EXPECT_EQ(Pages().currentIndex(), TfmMain::pgBuilder);
    EXPECT_EQ(Form->windowTitle().toStdString(), "Korvel Application [" + Database->Path() + "..]");
    EXPECT_TRUE(Boxes.empty());
}

TEST_F(MainWindowTest, TablesButtonTogglesThePanelAndItsHint) {
    ASSERT_TRUE(Open());
    QAction* button = Form->tbTables;
    EXPECT_TRUE(Form->TablesPanel()->isVisible());
    EXPECT_EQ(button->toolTip().toStdString(), "隐藏数据库表");
    button->trigger();
    EXPECT_FALSE(Form->TablesPanel()->isVisible());
    EXPECT_EQ(button->toolTip().toStdString(), "显示数据库表");
    button->trigger();
    EXPECT_TRUE(Form->TablesPanel()->isVisible());
}

TEST_F(MainWindowTest, TreeHoldsTheThreeGroupsFilledFromTheObjectList) {
    ASSERT_TRUE(Open());
    QTreeWidget* tree = Form->TablesTree();
    ASSERT_EQ(tree->topLevelItemCount(), 3);
    EXPECT_EQ(tree->topLevelItem(0)->text(0).toStdString(), "Tables");
    EXPECT_EQ(tree->topLevelItem(1)->text(0).toStdString(), "Views");
    EXPECT_EQ(tree->topLevelItem(2)->text(0).toStdString(), "Functions");
    const std::vector<std::string> tables = GroupChildren(0);
    for (const char* name : {"Customers", "Orders", "Order Details", "Employees", "地区"})
        EXPECT_NE(std::find(tables.begin(), tables.end(), name), tables.end()) << name;
    EXPECT_EQ(std::find(tables.begin(), tables.end(), "sqlite_master"), tables.end());
    const std::vector<std::string> views = GroupChildren(1);
    for (const char* name : {"Order Subtotals", "Product List", "客户订单统计"})
        EXPECT_NE(std::find(views.begin(), views.end(), name), views.end()) << name;
    EXPECT_TRUE(GroupChildren(2).empty());
}

TEST_F(MainWindowTest, SystemTablesCommandShowsAndHidesThem) {
    ASSERT_TRUE(Open());
    Form->miShowSystemTables->trigger();
    EXPECT_TRUE(Form->miShowSystemTables->isChecked());
    EXPECT_NE(Node(0, "sqlite_master"), nullptr);
    Form->miShowSystemTables->trigger();
    EXPECT_EQ(Node(0, "sqlite_master"), nullptr);
    EXPECT_NE(Node(0, "Customers"), nullptr);
}

TEST_F(MainWindowTest, DoubleClickingTwoTablesAddsTwoBoxesAndFillsTheMemo) {
    ASSERT_TRUE(Open());
    DoubleClickNode(Node(0, "Customers"));
    DoubleClickNode(Node(0, "Order Details"));
    ASSERT_EQ(Builder().Tables().Count(), 2);
    EXPECT_NE(Builder().Tables().FindTable("Customers"), nullptr);
    EXPECT_NE(Builder().Tables().FindTable("Order Details"), nullptr);
    const std::string sql = Builder().GetSQL();
    EXPECT_NE(sql.find("[Order Details]"), std::string::npos) << sql;
    EXPECT_EQ(Memo().toPlainText(), QString::fromStdString(sql).remove('\r'));
    EXPECT_FALSE(Memo().document()->isModified());
    EXPECT_TRUE(Boxes.empty());
    // A group node adds nothing.
    DoubleClickNode(Form->TablesTree()->topLevelItem(1));
    EXPECT_EQ(Builder().Tables().Count(), 2);
}

TEST_F(MainWindowTest, NamesHoldingQuotesAreQuotedWithTheQuoteDoubled) {
    {
        TDataConnection connection;
        connection.SetConnectionString(Database->ConnectionString());
        connection.Open();
        connection.Execute("CREATE TABLE \"x]; DROP TABLE Orders; --\" (a INTEGER)");
        connection.Execute("CREATE TABLE \"q\"\"uote\" (b INTEGER)");
    }
    ASSERT_TRUE(Open());
    DoubleClickNode(Node(0, "x]; DROP TABLE Orders; --"));
    DoubleClickNode(Node(0, "q\"uote"));
    EXPECT_EQ(Builder().Tables().Count(), 2);
    EXPECT_TRUE(Boxes.empty()) << Boxes.front().Text;
    EXPECT_NE(Node(0, "Orders"), nullptr);
    // A statement naming such a table loads through the column query.
    Builder().SetSQL("SELECT b FROM [q\"uote]");
    EXPECT_EQ(Builder().Tables().Count(), 1);
    EXPECT_EQ(Form->QuoteName("a]b"), "\"a]b\"");
}

TEST_F(MainWindowTest, TreeNodesDragTheirObjectNameAsPlainText) {
    ASSERT_TRUE(Open());
    QTreeWidgetItem* node = Node(0, "Customers");
    ASSERT_NE(node, nullptr);
    QTreeWidget* tree = Form->TablesTree();
    std::unique_ptr<QMimeData> data(tree->model()->mimeData({tree->indexFromItem(node)}));
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(data->text().toStdString(), "Customers");
}

TEST_F(MainWindowTest, ClearEmptiesStatementAndMemo) {
    ASSERT_TRUE(Open("SELECT CompanyName FROM Customers"));
    Form->tbClear->trigger();
    EXPECT_EQ(Builder().Tables().Count(), 0);
    EXPECT_EQ(Builder().GetSQL(), "");
    EXPECT_EQ(MemoText(), "");
}

struct TConnectFailureCase {
    const char* Name;
    const char* Connection;
};

TEST_F(MainWindowTest, ConnectionFailureShowsBothBoxesAndKeepsTheStatement) {
    const TConnectFailureCase cases[] = {
        {"missing file", "Provider=SQLite;Data Source=/nonexistent/korvel.db"},
        {"empty", ""},
        {"server with password", "Provider=SQLOLEDB.1;Data Source=127.0.0.1,1;User ID=sa;Password=Secr3tPw"},
    };
    for (const TConnectFailureCase& c : cases) {
        SCOPED_TRACE(c.Name);
        Boxes.clear();
        TfmMain form;
        form.MessageHook = Form->MessageHook;
        EXPECT_FALSE(form.PrepareRun(c.Connection, "SELECT 1 AS x"));
        EXPECT_EQ(form.ResultSQL(), "SELECT 1 AS x");
        ASSERT_EQ(Boxes.size(), 2u);
        EXPECT_EQ(Boxes[0].Caption, "错误");
        EXPECT_EQ(Boxes[0].Icon, QMessageBox::Warning);
        EXPECT_EQ(Boxes[0].Buttons, QMessageBox::Ok);
        EXPECT_FALSE(Boxes[0].Text.empty());
        EXPECT_EQ(Boxes[1].Caption, "提示");
        EXPECT_EQ(Boxes[1].Text, "连接指定的数据源出错，请检查网络连接或联系管理员");
        EXPECT_EQ(Boxes[1].Icon, QMessageBox::Warning);
        EXPECT_EQ(Boxes[1].Buttons, QMessageBox::Ok);
        for (const TShownBox& box : Boxes) EXPECT_EQ(box.Text.find("Secr3tPw"), std::string::npos);
        EXPECT_EQ(form.windowTitle().toStdString(), "Korvel Application []");
    }
}

TEST_F(MainWindowTest, ErrorsOfTheDiagramGoThroughTheSameSeam) {
    ASSERT_TRUE(Open("SELECT CompanyName FROM Customers"));
    Answers = {QMessageBox::No};
    EXPECT_FALSE(Builder().WorkArea()->Confirm("提示!", "您确认要删除连接吗？ "));
    Builder().ShowError("broken");
    ASSERT_EQ(Boxes.size(), 2u);
    EXPECT_EQ(Boxes[0].Caption, "提示!");
    EXPECT_EQ(Boxes[0].Icon, QMessageBox::Question);
    EXPECT_EQ(Boxes[0].Buttons, QMessageBox::Yes | QMessageBox::No);
    EXPECT_EQ(Boxes[1].Text, "broken");
    EXPECT_EQ(Boxes[1].Icon, QMessageBox::Critical);
}

}  // namespace
