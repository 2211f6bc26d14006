// The main window under test: a TfmMain on a private copy of the sample database, shown, with
// every message box recorded and answered from a list of answers instead of a person.
#pragma once

#include <QApplication>
#include <QInputMethodEvent>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <gtest/gtest.h>

#include <atomic>
#include <deque>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include <unistd.h>

#include "control/QBMSWindow.h"
#include "control/QBTableList.h"
#include "data/DataConnection.h"
#include "host/MainForm.h"

// A temporary copy of the sample database, removed with the object.
class TSampleCopy {
public:
    TSampleCopy() {
        static std::atomic<int> serial{0};
        FPath = std::filesystem::temp_directory_path() /
                ("korvel-host-" + std::to_string(::getpid()) + "-" + std::to_string(serial++) + ".db");
        std::filesystem::copy_file(std::string(KORVEL_BINARY_DIR) + "/sample/korvel-sample.db", FPath,
                                   std::filesystem::copy_options::overwrite_existing);
    }
    ~TSampleCopy() {
        std::error_code ignored;
        std::filesystem::remove(FPath, ignored);
    }
    TSampleCopy(const TSampleCopy&) = delete;
    TSampleCopy& operator=(const TSampleCopy&) = delete;

    std::string Path() const { return FPath.string(); }
    std::string ConnectionString() const { return "Provider=SQLite;Data Source=" + Path(); }

private:
    std::filesystem::path FPath;
};

// One box as the seam received it.
struct TShownBox {
    std::string Caption;
    std::string Text;
    QMessageBox::Icon Icon;
    QMessageBox::StandardButtons Buttons;
    QMessageBox::StandardButton DefaultButton;
};

class MainFormTest : public ::testing::Test {
protected:
    void SetUp() override {
        Database = std::make_unique<TSampleCopy>();
        Form = std::make_unique<TfmMain>();
        Form->MessageHook = [this](const TQBMessageBox& box) {
            Boxes.push_back({box.Caption.toStdString(), box.Text.toStdString(), box.Icon, box.Buttons,
                             box.DefaultButton});
            if (Answers.empty()) return box.DefaultButton;
            const QMessageBox::StandardButton answer = Answers.front();
            Answers.pop_front();
            return answer;
        };
    }

    void TearDown() override {
        Form.reset();
        QApplication::processEvents();
        Database.reset();
    }

    // Runs the steps before the window is shown, then shows it.
    bool Open(const std::string& sql = std::string()) {
        const bool shown = Form->PrepareRun(Database->ConnectionString(), sql);
        if (shown) {
            Form->show();
            QApplication::setActiveWindow(Form.get());
            QApplication::processEvents();
        }
        return shown;
    }

    // --- the parts ---
    TMSSQLQueryBuilder& Builder() const { return *Form->QueryBuilder(); }
    QPlainTextEdit& Memo() const { return *Form->SQLMemo(); }
    QTabWidget& Pages() const { return *Form->PageControl(); }
    std::string MemoText() const { return Memo().toPlainText().toStdString(); }
    std::string SelectedText() const { return Memo().textCursor().selectedText().toStdString(); }
    std::string StatusText() const { return Form->statusBar()->currentMessage().toStdString(); }

    // The children of the tree group at Index, as shown.
    std::vector<std::string> GroupChildren(int index) const {
        std::vector<std::string> texts;
        const QTreeWidgetItem* group = Form->TablesTree()->topLevelItem(index);
        for (int i = 0; group && i < group->childCount(); ++i) texts.push_back(group->child(i)->text(0).toStdString());
        return texts;
    }
    QTreeWidgetItem* Node(int group, const std::string& text) const {
        const QTreeWidgetItem* parent = Form->TablesTree()->topLevelItem(group);
        for (int i = 0; parent && i < parent->childCount(); ++i)
            if (parent->child(i)->text(0).toStdString() == text) return parent->child(i);
        return nullptr;
    }

    // --- user input ---
    void DoubleClickNode(QTreeWidgetItem* node) {
        ASSERT_NE(node, nullptr);
        QTreeWidget* tree = Form->TablesTree();
        tree->scrollToItem(node);
        const QPoint point = tree->visualItemRect(node).center();
        QTest::mouseClick(tree->viewport(), Qt::LeftButton, {}, point);
        QTest::mouseDClick(tree->viewport(), Qt::LeftButton, {}, point);
    }
    void ClickTab(int index) {
        QTabBar* bar = Pages().tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(index).center());
    }
    // Replaces the memo's text by typing Text: ASCII by keys, other characters committed by
    // the input method, as a Chinese user types them.
    void TypeIntoMemo(const QString& text) {
        Memo().setFocus();
        QTest::keyClick(&Memo(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(&Memo(), Qt::Key_Delete);
        for (const QChar c : text) {
            if (c == QLatin1Char('\n')) {
                QTest::keyClick(&Memo(), Qt::Key_Return);
            } else if (c.unicode() < 0x80) {
                QTest::keyClick(&Memo(), c.toLatin1());
            } else {
                QInputMethodEvent event;
                event.setCommitString(QString(c));
                QApplication::sendEvent(&Memo(), &event);
            }
        }
    }

    std::unique_ptr<TSampleCopy> Database;
    std::unique_ptr<TfmMain> Form;
    std::vector<TShownBox> Boxes;
    std::deque<QMessageBox::StandardButton> Answers;
};
