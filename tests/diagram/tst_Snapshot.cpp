// Renders a small diagram — three boxes (one list scrolls), an inner and a left outer link,
// one with a bend point — at 100 % and 200 % pixel ratio, and saves the pictures as
// diagram.png and diagram@2x.png when KORVEL_SNAPSHOT_DIR is set.
#include <QDir>
#include <QImage>
#include <QPainter>

#include "DiagramTestSupport.h"
#include "diagram/QBColor.h"

namespace {

class SnapshotTest : public DiagramTest {
protected:
    void Build() {
        Control->SetVisibleTabs({});  // the picture shows the work area alone
        Control->resize(760, 420);
        auto customers = Fields({{"CustomerID", ftString}, {"CompanyName", ftWideString}, {"ContactName", ftString},
                                 {"City", ftString}, {"Country", ftString}});
        auto orders = Fields({{"OrderID", ftAutoInc}, {"CustomerID", ftString}, {"EmployeeID", ftInteger},
                              {"OrderDate", ftDateTime}, {"RequiredDate", ftDateTime}, {"ShippedDate", ftDateTime},
                              {"ShipVia", ftInteger}, {"Freight", ftCurrency}, {"ShipName", ftString},
                              {"ShipAddress", ftString}, {"ShipCity", ftString}, {"ShipCountry", ftString}});
        auto employees = Fields({{"EmployeeID", ftInteger}, {"姓名", ftWideString}, {"Title", ftString},
                                 {"ReportsTo", ftInteger}});
        Customers = Area->InsertTable("Customers", "c", TPoint{30, 40}, false, customers.get());
        Employees = Area->InsertTable("Employees", "", TPoint{560, 30}, false, employees.get());
        Orders = Area->InsertTable("Orders", "", TPoint{300, 150}, false, orders.get());
        Orders->SetWidth(150);
        Customers->SetWidth(170);
        Inner = Area->AddLink(Orders, Customers, Orders->Item(1), Customers->Item(0));
        Outer = Area->AddLink(Orders, Employees, Orders->Item(2), Employees->Item(0));
        Outer->Join()->JoinType = 1;
        const TPoint p1 = Outer->Points()[1], p2 = Outer->Points()[2];
        Outer->SetDragPoint(TPoint{(p1.X + p2.X) / 2, (p1.Y + p2.Y) / 2});
        Outer->InsertPoint();
        Outer->SetPoint(2, TPoint{520, 100});
        Outer->RecalcRoute();
        Customers->Item(1)->SetChecked(true);
        Orders->Item(0)->SetChecked(true);
        Orders->Item(3)->SetChecked(true);
        Employees->Item(1)->SetChecked(true);
        Orders->ScrollTo(2);
        Area->ActivateObject(Orders);
        Orders->SetFocusedItem(Orders->Item(3));
        QApplication::processEvents();
    }

    QImage Render(qreal ratio) {
        QImage image(Area->size() * ratio, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(ratio);
        image.fill(Qt::white);
        Area->render(&image);
        return image;
    }

    TQBTable* Customers = nullptr;
    TQBTable* Orders = nullptr;
    TQBTable* Employees = nullptr;
    TQBLink* Inner = nullptr;
    TQBLink* Outer = nullptr;
};

TEST_F(SnapshotTest, RendersTheDiagramAtBothPixelRatios) {
    Build();
    ASSERT_NE(Inner, nullptr);
    ASSERT_NE(Outer, nullptr);
    EXPECT_TRUE(Area->ListScrollBar()->isVisible());  // the active box's list scrolls
    EXPECT_EQ(Outer->PointCount(), 5);
    const QString dir = qEnvironmentVariable("KORVEL_SNAPSHOT_DIR");
    for (qreal ratio : {1.0, 2.0}) {
        const QImage image = Render(ratio);
        auto at = [&](int x, int y) { return QColor(image.pixel(int(x * ratio), int(y * ratio))); };
        // The active box's caption, an inactive caption, and the surface around them.
        EXPECT_EQ(at(Orders->Left() + 30, Orders->Top() + 4), ColorToQColor(Control->Palette().GetActiveCaption()));
        EXPECT_EQ(at(Customers->Left() + 30, Customers->Top() + 4),
                  ColorToQColor(Control->Palette().GetInactiveCaption()));
        EXPECT_EQ(at(10, 380), ColorToQColor(Control->Palette().GetWorkSpace()));
        if (!dir.isEmpty()) {
            EXPECT_TRUE(image.save(QDir(dir).filePath(ratio > 1 ? "diagram@2x.png" : "diagram.png")));
        }
    }
}

}  // namespace
