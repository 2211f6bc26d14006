// Shared helpers of the diagram tests: the application object, a control with its work area,
// data sets built in memory, and mouse and key events sent to the work area's viewport.
#pragma once

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QScrollBar>
#include <gtest/gtest.h>
#include <memory>
#include <string>
#include <vector>

#include "../support/ViewportInput.h"
#include "control/QBWindow.h"
#include "data/MemoryDataSet.h"
#include "diagram/QBFloatPanel.h"
#include "diagram/QBFloatTable.h"
#include "diagram/QBLinks.h"
#include "model/QBJoinDefs.h"
#include "model/QBTableDefs.h"
#include "parser/QBParser.h"

// The QApplication of the test program, made by the test environment (TestMain.cpp) and
// freed when the tests end, while Qt's own globals still exist.
inline QApplication& TestApp() { return *static_cast<QApplication*>(QCoreApplication::instance()); }

// A data set with the given fields (name, type code).
inline std::unique_ptr<TMemoryDataSet> Fields(const std::vector<std::pair<std::string, TFieldType>>& fields) {
    auto set = std::make_unique<TMemoryDataSet>();
    for (const auto& [name, type] : fields) set->AddField(name, type);
    return set;
}

// N integer columns named C0, C1, ...
inline std::unique_ptr<TMemoryDataSet> Columns(int n) {
    auto set = std::make_unique<TMemoryDataSet>();
    for (int i = 0; i < n; ++i) set->AddField("C" + std::to_string(i), ftInteger);
    return set;
}

// A shown control with its work area, 900 x 700, and counters of the work area's reports.
class DiagramTest : public ::testing::Test, public TViewportInput {
protected:
    void SetUp() override {
        TestApp();
        Control.reset(CreateQueryBuilder<TCustomQueryBuilder>());
        Control->resize(900, 700);
        Control->show();
        Area = Control->WorkArea();
        Bind(Area->viewport(), Area);
        Area->ConfirmHook = [this](const QString&, const QString& text) {
            LastQuestion = text;
            return ConfirmAnswer;
        };
        Area->ErrorHook = [this](const QString& text) { LastError = text; };
        QApplication::setActiveWindow(Control.get());
        Area->setFocus();
        QApplication::processEvents();
    }

    void TearDown() override {
        Control.reset();
        QApplication::processEvents();
    }

    TQBTable* Add(const std::string& name, int columns = 3, const std::string& alias = "") {
        auto set = Columns(columns);
        return Area->AddTable(name, alias, set.get());
    }

    TQBTable* AddAt(const std::string& name, int x, int y, int columns = 3) {
        auto set = Columns(columns);
        return Area->InsertTable(name, "", TPoint{x, y}, false, set.get());
    }

    QWidget* Viewport() const { return Area->viewport(); }
    QPoint Screen(const TPoint& diagram) const {
        return QPoint(diagram.X - Area->ScrollX(), diagram.Y - Area->ScrollY());
    }

    TQBJoinDefs& JoinDefs() const { return *Control->Parser()->GetJoinDefs(); }
    TQBTableDefs& TableDefs() const { return *Control->Parser()->GetTableDefs(); }

    std::unique_ptr<TCustomQueryBuilder> Control;
    TQBWorkArea* Area = nullptr;
    bool ConfirmAnswer = true;
    QString LastQuestion;
    QString LastError;
};
