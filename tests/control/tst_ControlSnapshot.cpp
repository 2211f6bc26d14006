// Renders the control with a four-table statement of the sample database loaded — boxes,
// ticks, an inner and an outer link, the pages below the splitter — at 100 % and 200 %, and
// saves control.png and control@2x.png when KORVEL_SNAPSHOT_DIR is set.
#include <QDir>
#include <QImage>
#include <QSplitter>
#include <QTabWidget>

#include "ControlTestSupport.h"
#include "diagram/QBColor.h"

namespace {

class ControlSnapshotTest : public ControlTest {};

TEST_F(ControlSnapshotTest, RendersTheControlWithAStatementLoaded) {
    Control->resize(820, 560);
    SetSql("SELECT c.CompanyName, o.OrderDate, e.LastName, d.Quantity "
           "FROM Customers c JOIN Orders o ON o.CustomerID = c.CustomerID "
           "LEFT JOIN Employees e ON e.EmployeeID = o.EmployeeID "
           "JOIN [Order Details] d ON d.OrderID = o.OrderID WHERE o.Freight > 10");
    ASSERT_EQ(Control->Tables().Count(), 4);
    ASSERT_EQ(Control->Links().Count(), 3);
    // Spread the boxes so every link shows, and focus a line of the active box.
    const int places[][2] = {{20, 20}, {250, 150}, {520, 20}, {520, 200}};
    const char* keys[] = {"c", "o", "e", "d"};
    for (int i = 0; i < 4; ++i) {
        TQBTable* box = Box(keys[i]);
        ASSERT_NE(box, nullptr) << keys[i];
        box->MoveBy(places[i][0] - box->Left(), places[i][1] - box->Top());
        Area->TableMoved(box);
    }
    Area->ActivateObject(Box("o"));
    Box("o")->SetFocusedItem(Box("o")->FindItem("OrderDate"));
    QApplication::processEvents();

    EXPECT_TRUE(Control->PageControl()->isVisible());
    EXPECT_EQ(Control->PageControl()->tabText(0), QString::fromUtf8("标准"));
    const QString dir = qEnvironmentVariable("KORVEL_SNAPSHOT_DIR");
    for (qreal ratio : {1.0, 2.0}) {
        QImage image(Control->size() * ratio, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(ratio);
        image.fill(Qt::white);
        Control->render(&image);
        // The focused line's text stands out from its highlight.
        const TRect line = Box("o")->ItemRect(Box("o")->FindItem("OrderDate"));
        const QPoint inArea = Area->viewport()->mapTo(Control.get(), QPoint(line.Left + 40, line.Top + 2));
        const QColor mark(image.pixel(int(inArea.x() * ratio), int(inArea.y() * ratio)));
        EXPECT_EQ(mark, Area->palette().color(QPalette::Highlight));
        if (!dir.isEmpty()) {
            EXPECT_TRUE(image.save(QDir(dir).filePath(ratio > 1 ? "control@2x.png" : "control.png")));
        }
    }
}

}  // namespace
