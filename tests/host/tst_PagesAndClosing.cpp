// The SQL page and the closing rules: edits leave the SQL page only when they parse, a parse
// error keeps the page with its token selected, and closing never drops an edit silently nor
// returns anything but the caller's statement unless the user chose to keep a change.
#include "MainFormTestSupport.h"
#include "parser/QBParser.h"

namespace {

using PagesTest = MainFormTest;
using ClosingTest = MainFormTest;

const char* const ThreeTables =
    "SELECT c.CompanyName, o.OrderDate, e.LastName FROM Customers c "
    "INNER JOIN Orders o ON o.CustomerID = c.CustomerID "
    "INNER JOIN Employees e ON e.EmployeeID = o.EmployeeID";

TEST_F(PagesTest, SQLPageShowsTheStatementAndAppliesEditsWhenLeft) {
    ASSERT_TRUE(Open(ThreeTables));
    ClickTab(TfmMain::pgSQL);
    EXPECT_EQ(Pages().currentIndex(), TfmMain::pgSQL);
    EXPECT_EQ(Memo().toPlainText(), QString::fromStdString(Builder().GetSQL()).remove('\r'));
    EXPECT_FALSE(Memo().document()->isModified());
    TypeIntoMemo("SELECT CompanyName, City FROM Customers");
    ClickTab(TfmMain::pgBuilder);
    EXPECT_EQ(Pages().currentIndex(), TfmMain::pgBuilder);
    EXPECT_EQ(Builder().Tables().Count(), 1);
    EXPECT_NE(Builder().GetSQL().find("City"), std::string::npos);
    EXPECT_FALSE(Memo().document()->isModified());
}

struct TBadTextCase {
    const char* Name;
    const char* Text;
    const char* Selected;
};

TEST_F(PagesTest, LeavingWithBadTextKeepsThePageTheSelectionAndTheModifiedFlag) {
    const TBadTextCase cases[] = {
        {"syntax error", "SELECT CompanyName FROM Customers WHERE )", ")"},
        {"syntax error after Chinese text", "SELECT 地区名称 AS 名称 FROM 地区 ORDER", "ORDER"},
        {"unterminated quote after Chinese text", "SELECT 地区名称 FROM 地区 WHERE 地区名称 = '华东", "'华东"},
        {"error on the second line", "SELECT 地区名称\nFROM 地区 地区 地区", "地区"},
    };
    ASSERT_TRUE(Open(ThreeTables));
    for (const TBadTextCase& c : cases) {
        SCOPED_TRACE(c.Name);
        ClickTab(TfmMain::pgSQL);
        TypeIntoMemo(QString::fromUtf8(c.Text));
        ClickTab(TfmMain::pgBuilder);
        EXPECT_EQ(Pages().currentIndex(), TfmMain::pgSQL);
        EXPECT_TRUE(Memo().document()->isModified());
        EXPECT_EQ(MemoText(), c.Text);
        EXPECT_EQ(SelectedText(), c.Selected);
        EXPECT_FALSE(StatusText().empty());
        // Mended, the page can be left.
        TypeIntoMemo("SELECT CompanyName FROM Customers");
        ClickTab(TfmMain::pgBuilder);
        EXPECT_EQ(Pages().currentIndex(), TfmMain::pgBuilder);
        EXPECT_EQ(StatusText(), "");
    }
    EXPECT_TRUE(Boxes.empty());
}

TEST_F(ClosingTest, UnchangedStatementAsksToExitAndReturnsTheCallersText) {
    // The control writes the statement in its own layout; the caller gets its text back.
    const std::string given = "select CompanyName from Customers";
    ASSERT_TRUE(Open(given));
    ASSERT_NE(Builder().GetSQL(), given);
    Answers = {QMessageBox::Cancel, QMessageBox::Ok};
    EXPECT_FALSE(Form->close());
    EXPECT_TRUE(Form->isVisible());
    EXPECT_TRUE(Form->close());
    ASSERT_EQ(Boxes.size(), 2u);
    EXPECT_EQ(Boxes[0].Caption, "提示");
    EXPECT_EQ(Boxes[0].Text, "您确认要退出吗？");
    EXPECT_EQ(Boxes[0].Icon, QMessageBox::Question);
    EXPECT_EQ(Boxes[0].Buttons, QMessageBox::Ok | QMessageBox::Cancel);
    EXPECT_EQ(Form->ResultSQL(), given);
}

TEST_F(ClosingTest, EmptyStatementUnchangedReturnsEmpty) {
    ASSERT_TRUE(Open());
    Answers = {QMessageBox::Ok};
    EXPECT_TRUE(Form->close());
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0].Text, "您确认要退出吗？");
    EXPECT_EQ(Form->ResultSQL(), "");
}

struct TSaveAnswerCase {
    const char* Name;
    QMessageBox::StandardButton Answer;
    bool Closes;
    bool Keeps;
};

TEST_F(ClosingTest, ChangedStatementAsksWhetherToSave) {
    const TSaveAnswerCase cases[] = {
        {"yes keeps the change", QMessageBox::Yes, true, true},
        {"no returns the callers statement", QMessageBox::No, true, false},
        {"cancel stays open", QMessageBox::Cancel, false, false},
    };
    const std::string given = "SELECT CompanyName FROM Customers";
    for (const TSaveAnswerCase& c : cases) {
        SCOPED_TRACE(c.Name);
        TearDown();
        SetUp();
        Boxes.clear();
        ASSERT_TRUE(Open(given));
        DoubleClickNode(Node(0, "Orders"));
        const std::string changed = Builder().GetSQL();
        Answers = {c.Answer};
        EXPECT_EQ(Form->close(), c.Closes);
        ASSERT_EQ(Boxes.size(), 1u);
        EXPECT_EQ(Boxes[0].Caption, "提示");
        EXPECT_EQ(Boxes[0].Text,
                  "数据集查询字符串已经修改，请确认是否保存？\r\n点击是保存修改，否放弃修改，取消返回继续编辑。");
        EXPECT_EQ(Boxes[0].Icon, QMessageBox::Question);
        EXPECT_EQ(Boxes[0].Buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        EXPECT_EQ(Form->ResultSQL(), c.Keeps ? changed : given);
        EXPECT_EQ(Form->isVisible(), !c.Closes);
    }
}

TEST_F(ClosingTest, PendingEditsThatParseAreAppliedBeforeTheQuestion) {
    ASSERT_TRUE(Open("SELECT CompanyName FROM Customers"));
    ClickTab(TfmMain::pgSQL);
    TypeIntoMemo("SELECT City FROM Customers");
    Answers = {QMessageBox::Yes};
    EXPECT_TRUE(Form->close());
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0].Buttons, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    EXPECT_NE(Form->ResultSQL().find("City"), std::string::npos) << Form->ResultSQL();
}

TEST_F(ClosingTest, PendingEditsThatDoNotParseOfferToGoBackOrDiscard) {
    const std::string given = "SELECT CompanyName FROM Customers";
    ASSERT_TRUE(Open(given));
    ClickTab(TfmMain::pgSQL);
    TypeIntoMemo("SELECT City FROM Customers WHERE )");
    Answers = {QMessageBox::Cancel};
    EXPECT_FALSE(Form->close());
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_EQ(Boxes[0].Caption, "提示");
    EXPECT_EQ(Boxes[0].Icon, QMessageBox::Warning);
    EXPECT_EQ(Boxes[0].Buttons, QMessageBox::Cancel | QMessageBox::Discard);
    EXPECT_EQ(Boxes[0].DefaultButton, QMessageBox::Cancel);
    EXPECT_EQ(Boxes[0].Text, "SQL 页的修改无法应用：无效 ')' 位置 34 行 1\r\n"
                             "点击取消返回继续编辑，放弃则关闭窗口并放弃所有修改。");
    EXPECT_EQ(Pages().currentIndex(), TfmMain::pgSQL);
    EXPECT_TRUE(Memo().document()->isModified());
    EXPECT_EQ(SelectedText(), ")");

    Answers = {QMessageBox::Discard};
    EXPECT_TRUE(Form->close());
    EXPECT_EQ(Form->ResultSQL(), given);
}

TEST_F(ClosingTest, StatementThatDoesNotLoadOpensOnTheSQLPageAndComesBackUntouched) {
    const std::string given = "SELECT 地区名称 FROM 地区 WHERE 地区名称 = '华东";
    ASSERT_TRUE(Open(given));
    EXPECT_EQ(Pages().currentIndex(), TfmMain::pgSQL);
    EXPECT_EQ(MemoText(), given);
    EXPECT_EQ(SelectedText(), "'华东");
    EXPECT_FALSE(StatusText().empty());
    EXPECT_EQ(Builder().Tables().Count(), 0);
    // Leaving the page untouched still refuses: the text is not the control's.
    ClickTab(TfmMain::pgBuilder);
    EXPECT_EQ(Pages().currentIndex(), TfmMain::pgSQL);
    EXPECT_TRUE(Form->close());
    EXPECT_TRUE(Boxes.empty());
    EXPECT_EQ(Form->ResultSQL(), given);
}

TEST_F(ClosingTest, StatementWithAnUnknownTableOpensOnTheSQLPage) {
    const std::string given = "SELECT a FROM Nowhere";
    ASSERT_TRUE(Open(given));
    EXPECT_EQ(Pages().currentIndex(), TfmMain::pgSQL);
    EXPECT_NE(StatusText().find("Nowhere"), std::string::npos) << StatusText();
    // Edited into a statement that loads, it follows the ordinary rules.
    TypeIntoMemo("SELECT City FROM Customers");
    Answers = {QMessageBox::Yes};
    EXPECT_TRUE(Form->close());
    ASSERT_EQ(Boxes.size(), 1u);
    EXPECT_NE(Form->ResultSQL().find("City"), std::string::npos);
}

TEST_F(ClosingTest, QuitButtonRunsTheSameRules) {
    ASSERT_TRUE(Open("SELECT CompanyName FROM Customers"));
    Answers = {QMessageBox::Cancel};
    Form->btnQuit->trigger();
    EXPECT_TRUE(Form->isVisible());
    Answers = {QMessageBox::Ok};
    Form->btnQuit->trigger();
    EXPECT_FALSE(Form->isVisible());
    EXPECT_EQ(Boxes.size(), 2u);
}

}  // namespace
