// Shared helpers of the criterion panel tests: a panel on its own over a parser (no control),
// the rows of a panel as text, and a control fixture whose criterion pages are driven with
// mouse and key events on the panel's viewport.
#pragma once

#include <QApplication>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "../control/ControlTestSupport.h"
#include "editors/QBWherePanel.h"
#include "model/QBCriteria.h"
#include "parser/QBMSParser.h"
#include "parser/QBParser.h"

// Statement text on one line: line breaks as blanks, runs of blanks as one, no trailing blank.
inline std::string Flat(const std::string& sql) {
    std::string flat;
    for (char c : sql) {
        if (c == '\r') continue;
        if (c == '\n') c = ' ';
        if (c == ' ' && !flat.empty() && flat.back() == ' ') continue;
        flat += c;
    }
    while (!flat.empty() && flat.back() == ' ') flat.pop_back();
    return flat;
}

// "number|spot1|spot2|..." for each shown row: the spots with a width, texts trimmed; a group
// row gives its number and caption.
inline std::vector<std::string> RowTexts(TQBCriterionPanel& panel) {
    std::vector<std::string> texts;
    for (const TQBCriterionRow* row : panel.VisibleRows()) {
        std::string text = Trim(row->Spot(siNumber)->Text);
        for (int i = siLeftFunction; i < row->SpotCount(); ++i)
            if (row->Spot(i)->Width > 0) text += "|" + Trim(row->Spot(i)->Text);
        texts.push_back(text);
    }
    return texts;
}

// "row number:spot index" of a spot ("root:1" for the root row).
inline std::string SpotName(const TQBControl* spot) {
    if (!spot) return "none";
    const std::string number = spot->Row->Number();
    return (number.empty() ? "root" : number) + ":" + std::to_string(spot->SpotIndex);
}

// A WHERE and a HAVING panel on a plain widget, over an SQL Server parser of their own.
class StandalonePanels : public ::testing::Test {
protected:
    void SetUp() override {
        Parser = MakeParser<TQBMSSelectParser>();
        Page = std::make_unique<QWidget>();
        Page->resize(700, 300);
        Where = new TQBWherePanel(Page.get(), nullptr);
        Where->SetParser(Parser.get());
        Where->ResetPanel();
        Having = new TQBHavingPanel(Page.get(), nullptr);
        Having->SetParser(Parser.get());
        Having->ResetPanel();
    }
    void TearDown() override {
        Page.reset();
        Parser.reset();
    }

    // Parses Text into the parser and loads both panels.
    void Load(const std::string& text) {
        Parser->ParseSQL(text);
        Where->LoadFromModel();
        Having->LoadFromModel();
    }
    std::string WhereSql() const { return Parser->GetWhereItems()->GetSQL(); }
    // Adds a condition row to the root of Panel (bound to a new criterion) and returns it.
    static TQBCriterionRow* AddRow(TQBCriterionPanel& panel) {
        TQBCriterionRow* root = panel.RootRow();
        panel.SetHoverSpot(root->Spot(siLeftFunction));
        panel.AddCondition();
        return root->SubRows().Items(root->SubRows().Count() - 1);
    }
    TQBOperator* Operator(const std::string& caption) const { return Parser->GetOperators()->FindByCaption(caption); }

    std::unique_ptr<TQBMSSelectParser> Parser;
    std::unique_ptr<QWidget> Page;
    TQBWherePanel* Where = nullptr;  // children of Page
    TQBHavingPanel* Having = nullptr;
};

// The control of the control tests with its criterion pages driven by events.
class CriteriaControlTest : public ControlTest {
protected:
    void SetUp() override {
        ControlTest::SetUp();
        ShowPage(qbtCriterions);
    }

    TQBWherePanel& Where() const { return *Control->WherePanel(); }
    TQBHavingPanel& Having() const { return *Control->HavingPanel(); }
    // Shows the page of Tab and binds the mouse to its panel.
    void ShowPage(TQBVisibleTab tab) {
        Control->PageControl()->setCurrentIndex(static_cast<int>(tab));
        TQBCriterionPanel* panel = tab == qbtGroupCriterions ? static_cast<TQBCriterionPanel*>(&Having())
                                                             : static_cast<TQBCriterionPanel*>(&Where());
        Panel = panel;
        PanelInput.Bind(panel->viewport(), panel);
        panel->setFocus();
        QApplication::processEvents();
    }
    // The middle of Spot on the panel's viewport.
    QPoint SpotPoint(const TQBControl* spot) const { return Panel->SpotRect(spot).center(); }
    void ClickSpot(const TQBControl* spot) { PanelInput.Click(SpotPoint(spot)); }
    // A key to the panel (or the widget that has the focus).
    void PanelKey(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier, const QString& text = QString()) {
        QWidget* target = QApplication::focusWidget() ? QApplication::focusWidget() : Panel;
        QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
        QApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
        QApplication::sendEvent(target, &release);
    }
    // The shown row whose number is Number ("" for the root).
    TQBCriterionRow* RowNumbered(const std::string& number) const {
        for (TQBCriterionRow* row : Panel->VisibleRows())
            if (row->Number() == number) return row;
        return nullptr;
    }
    // The text between "WHERE" and the next clause of the statement, on one line.
    std::string Clause(const char* keyword) const {
        const std::string sql = Sql();
        const auto at = sql.find(keyword);
        if (at == std::string::npos) return std::string();
        std::string rest = sql.substr(at);
        for (const char* next : {"\r\nGROUP BY", "\r\nHAVING", "\r\nORDER BY"}) {
            const auto end = rest.find(next, 1);
            if (end != std::string::npos) rest.resize(end);
        }
        return Flat(rest);
    }

    TQBCriterionPanel* Panel = nullptr;
    TViewportInput PanelInput;
};
