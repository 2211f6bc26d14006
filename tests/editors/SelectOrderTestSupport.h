// Shared helpers of the selection and sorting page tests: the control fixture of the control
// tests (sample host, message seams) with the selection or sorting page shown, the grid's
// rows as text, in-place edits made as a user makes them (open the editor with Enter, set its
// text, leave it) and clicks on the sorting panel's lists and buttons.
#pragma once

#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <QTreeWidget>

#include "../control/ControlTestSupport.h"
#include "editors/QBSelectOrder.h"
#include "editors/QBSelectOrderSort.h"
#include "model/QBOrderItems.h"

class SelectOrderTest : public ControlTest {
protected:
    void SetUp() override {
        ControlTest::SetUp();
        Control->SetTabHeight(260);
        QApplication::processEvents();
    }

    TQBSelectGrid* Grid() const { return Control->SelectPanel()->Grid(); }
    TQBOrderPanel* Order() const { return Control->OrderPanel(); }

    // Makes the page of Tab the active one (which reloads it).
    void ShowPage(TQBVisibleTab tab) {
        const int index = tab == qbtSelection ? 1 : tab == qbtSorting ? 3 : tab == qbtCriterions ? 0 : 2;
        Control->PageControl()->setCurrentIndex(index);
        QApplication::processEvents();
    }

    // --- the grid ---
    // "output|aggregate|source" per data row.
    std::vector<std::string> Rows() const {
        std::vector<std::string> rows;
        for (int row = 0; row < Grid()->NewRow(); ++row)
            rows.push_back(Grid()->Cell(row, 0) + "|" + Grid()->Cell(row, 1) + "|" + Grid()->Cell(row, 2));
        return rows;
    }
    QPoint CellPoint(int row, int column) const {
        return Grid()->visualRect(Grid()->model()->index(row, column)).center();
    }
    void ClickCell(int row, int column) {
        QTest::mouseClick(Grid()->viewport(), Qt::LeftButton, Qt::NoModifier, CellPoint(row, column));
    }
    // Opens the editor of a cell with Enter, sets its text and leaves it by focusing the grid.
    void EditCell(int row, int column, const std::string& text) {
        ClickCell(row, column);
        QTest::keyClick(Grid(), Qt::Key_Return);
        QWidget* editor = Grid()->ActiveEditor();
        ASSERT_NE(editor, nullptr) << "no editor for " << row << "," << column;
        ASSERT_TRUE(editor->hasFocus());
        if (column == TQBSelectGrid::colOutputName)
            Grid()->TextEditor()->setText(QString::fromStdString(text));
        else
            Grid()->ComboEditor()->setEditText(QString::fromStdString(text));
        Grid()->setFocus(Qt::MouseFocusReason);
        QApplication::processEvents();
        ASSERT_EQ(Grid()->ActiveEditor(), nullptr) << "the editor stayed open";
    }

    // The select list of the generated statement, one item per entry ("SELECT DISTINCT" as
    // its own first entry when set).
    std::vector<std::string> SelectList() const {
        std::vector<std::string> items;
        const std::string sql = Sql();
        std::size_t at = 0;
        while (at < sql.size()) {
            std::size_t end = sql.find("\r\n", at);
            if (end == std::string::npos) end = sql.size();
            std::string line = sql.substr(at, end - at);
            at = end + 2;
            if (line.rfind("FROM", 0) == 0) break;
            if (line.rfind("SELECT", 0) == 0) {
                if (line.find("DISTINCT") != std::string::npos) items.push_back("DISTINCT");
                continue;
            }
            line.erase(0, line.find_first_not_of(' '));
            if (!line.empty() && line.back() == ',') line.pop_back();
            items.push_back(line);
        }
        return items;
    }
    bool Ticked(const std::string& key, const std::string& column) const {
        const TQBListItem* line = Line(key, column);
        return line && line->Checked();
    }

    // --- the sorting panel ---
    std::vector<std::string> Candidates() const {
        std::vector<std::string> texts;
        for (int i = 0; i < Order()->SourceList()->count(); ++i)
            texts.push_back(Order()->SourceList()->item(i)->text().toStdString());
        return texts;
    }
    // "text direction" per sort entry.
    std::vector<std::string> SortEntries() const {
        std::vector<std::string> texts;
        for (int i = 0; i < Order()->SortList()->topLevelItemCount(); ++i) {
            const QTreeWidgetItem* entry = Order()->SortList()->topLevelItem(i);
            texts.push_back(entry->text(0).toStdString() + " " + entry->text(1).toStdString());
        }
        return texts;
    }
    // "text ASC|DESC" per ORDER BY item of the model.
    std::vector<std::string> OrderItems() const {
        std::vector<std::string> texts;
        const TQBOrderByItems& items = *Parser().GetOrderByItems();
        for (int i = 0; i < items.Count(); ++i)
            texts.push_back(items[i] + (items.GetDirection(i) == sdDescending ? " DESC" : " ASC"));
        return texts;
    }
    void ClickCandidate(const std::string& text) {
        const auto found = Order()->SourceList()->findItems(QString::fromStdString(text), Qt::MatchExactly);
        ASSERT_EQ(found.size(), 1) << text;
        const QRect r = Order()->SourceList()->visualItemRect(found.front());
        QTest::mouseClick(Order()->SourceList()->viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
    }
    void ClickSortEntry(int index) {
        QTreeWidgetItem* entry = Order()->SortList()->topLevelItem(index);
        ASSERT_NE(entry, nullptr) << index;
        const QRect r = Order()->SortList()->visualItemRect(entry);
        QTest::mouseClick(Order()->SortList()->viewport(), Qt::LeftButton, Qt::NoModifier, r.center());
    }
    static void Press(QAbstractButton* button) {
        ASSERT_TRUE(button->isEnabled()) << button->objectName().toStdString() << button->text().toStdString();
        QTest::mouseClick(button, Qt::LeftButton);
    }
};
