// Drags between the host and the control: a table dragged from the host's tree and dropped
// on the diagram becomes a box at the drop point; a field line dropped outside the diagram
// reaches the host's end-drag handler; fields dragged onto fields make the joins of the SQL.
#include <QCheckBox>
#include <QDrag>
#include <QMimeData>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>

#include "../support/DragInput.h"
#include "ControlTestSupport.h"
#include "control/QBTableList.h"
#include "diagram/QBLinkProp.h"

namespace {

// The MIME type under which the test host's tree offers a table name.
constexpr const char* TableMime = "application/x-korvel-table";

class DragHostTest : public ControlTest {
protected:
    void SetUp() override {
        ControlTest::SetUp();
        // The host: a drag is welcome when it carries a table name; the drop adds the table
        // and puts its box where the drop happened.
        Control->OnDragOver = [this](QObject* sender, QObject*, const QMimeData* data, int x, int y, TDragState,
                                     bool& accept) {
            EXPECT_EQ(sender, Area);
            OverPoints.emplace_back(x, y);
            accept = data && data->hasFormat(TableMime);
        };
        Control->OnDragDrop = [this](QObject*, QObject*, const QMimeData* data, int x, int y) {
            const std::string name = data->data(TableMime).toStdString();
            TDataSet* set = nullptr;
            TDataParameters* params = nullptr;
            Host->Describe(name, set, params);
            TQBTable* box = Control->Tables().AddTable(name, "", set);
            if (!box || (x == 0 && y == 0)) return;
            const TPoint at = Control->DiagramPoint(x, y);
            box->SetLeft(at.X);
            box->SetTop(at.Y);
        };
        Control->OnEndDrag = [this](QObject*, QObject* target, int, int) { EndDrags.push_back(target); };
    }

    static QPoint TextPoint(const TQBListItem* line) {
        const TRect r = line->Table()->ItemRect(line);
        return QPoint(r.Left + line->Table()->LineHeight() + 12, (r.Top + r.Bottom) / 2);
    }

    // Presses on a line's name and drags it; the hook plays what happens meanwhile.
    void DragLine(TQBListItem* line, const std::function<Qt::DropAction(QDrag&)>& play) {
        Area->DragHook = play;
        const QPoint start = TextPoint(line);
        Press(start);
        Move(start + QPoint(QApplication::startDragDistance() + 2, 0), Qt::LeftButton);
        Area->DragHook = nullptr;
    }

    std::vector<std::pair<int, int>> OverPoints;
    std::vector<QObject*> EndDrags;
};

TEST_F(DragHostTest, TableDroppedFromTheTreeLandsAtTheDropPoint) {
    Area->horizontalScrollBar()->setValue(100);
    Area->verticalScrollBar()->setValue(40);
    QMimeData data;
    data.setData(TableMime, "Orders");
    const QPoint drop(300, 200);
    EXPECT_TRUE(TDragPlayer::Over(Viewport(), &data, {QPoint(250, 150), drop}));
    TDragPlayer::Drop(Viewport(), &data, drop);

    TQBTable* box = Box("Orders");
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->Left(), 400);
    EXPECT_EQ(box->Top(), 240);
    const QPoint inControl = Viewport()->mapTo(Control.get(), drop);
    EXPECT_EQ(OverPoints.back(), std::make_pair(inControl.x(), inControl.y()));
    EXPECT_EQ(TableDefs().Count(), 1);
    EXPECT_NE(Sql().find("Orders"), std::string::npos) << Sql();
}

TEST_F(DragHostTest, DragTheHostRefusesIsNotDropped) {
    QMimeData data;
    data.setText("not a table");
    EXPECT_EQ(TDragPlayer::Play(Viewport(), &data, {QPoint(300, 200)}), Qt::IgnoreAction);
    EXPECT_EQ(Control->Tables().Count(), 0);
}

TEST_F(DragHostTest, FieldsDraggedOntoFieldsMakeTheJoin) {
    SetSql("SELECT * FROM Orders, Customers");
    TQBListItem* source = Line("Orders", "CustomerID");
    TQBListItem* target = Line("Customers", "CustomerID");
    ASSERT_TRUE(source && target);
    // Bring both lines into view.
    source->Table()->ScrollTo(source->Table()->IndexOfItem(source));
    target->Table()->ScrollTo(target->Table()->IndexOfItem(target));
    DragLine(source, [&](QDrag& drag) {
        return TDragPlayer::Play(Viewport(), drag.mimeData(), {TextPoint(target)});
    });
    EXPECT_EQ(Links(), (std::vector<std::string>{"Orders.CustomerID = Customers.CustomerID INNER"}));
    EXPECT_NE(Sql().find("INNER JOIN Customers ON (Orders.CustomerID=Customers.CustomerID)"), std::string::npos)
        << Sql();
    EXPECT_TRUE(EndDrags.empty());  // dropped on the diagram itself
    ExpectSameDiagramAfterReparse();
}

TEST_F(DragHostTest, FieldDroppedOutsideTheDiagramIsReportedToTheHost) {
    SetSql("SELECT * FROM Orders");
    TQBListItem* line = Line("Orders", "OrderID");
    // Out of the diagram without a drop on it, then out of it after passing over it.
    DragLine(line, [](QDrag&) { return Qt::CopyAction; });
    DragLine(line, [&](QDrag& drag) {
        TDragPlayer::Over(Viewport(), drag.mimeData(), {QPoint(400, 300)});
        TDragPlayer::Leave(Viewport());
        return Qt::IgnoreAction;
    });
    EXPECT_EQ(EndDrags, (std::vector<QObject*>{nullptr, nullptr}));
    // Dropped (or cancelled) over the diagram: not the host's business.
    DragLine(line, [&](QDrag& drag) {
        TDragPlayer::Over(Viewport(), drag.mimeData(), {QPoint(400, 300)});
        return Qt::IgnoreAction;
    });
    EXPECT_EQ(EndDrags.size(), 2u);
    EXPECT_EQ(Control->Links().Count(), 0);
}

TEST_F(DragHostTest, OuterSideChosenOnAReversedJoinStaysWithItsTable) {
    // The second condition names Customers first while the diagram joins Orders first.
    SetSql("SELECT * FROM Employees INNER JOIN Orders ON Employees.EmployeeID = Orders.EmployeeID "
           "INNER JOIN Customers ON Customers.CustomerID = Orders.CustomerID");
    ASSERT_EQ(Control->Links().Count(), 2);
    TQBLink* link = nullptr;
    for (int i = 0; i < Control->Links().Count(); ++i)
        if (Control->Links().Items(i)->Item0()->Name() == "CustomerID") link = Control->Links().Items(i);
    ASSERT_NE(link, nullptr);
    Area->ModalHook = [&](QDialog& dialog) {
        auto& form = dynamic_cast<TfmLinkProp&>(dialog);
        form.show();
        QCheckBox* customers = form.chLeftOuter->text() == "包含所有 Customers" ? form.chLeftOuter : form.chRightOuter;
        EXPECT_EQ(customers->text().toStdString(), "包含所有 Customers");
        QTest::mouseClick(customers, Qt::LeftButton, {}, QPoint(5, customers->height() / 2));
        QTest::mouseClick(form.buOK, Qt::LeftButton, {}, QPoint(5, 5));
        form.hide();
        return form.result() == QDialog::Accepted;
    };
    Area->ActivateObject(link);
    link->ShowProperties();
    // Every row of Customers is kept, whichever way the statement writes it.
    EXPECT_EQ(CanonicalLinks(), (std::vector<std::string>{"Customers.CustomerID = Orders.CustomerID LEFT",
                                                          "Employees.EmployeeID = Orders.EmployeeID INNER"}));
    const std::string sql = Sql();
    EXPECT_TRUE(sql.find("RIGHT OUTER JOIN Customers") != std::string::npos ||
                sql.find("Customers\r\n LEFT OUTER JOIN") != std::string::npos)
        << sql;
    ExpectSameDiagramAfterReparse();
}

}  // namespace
