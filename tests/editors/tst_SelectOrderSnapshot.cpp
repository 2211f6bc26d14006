// Renders the selection and sorting pages with the sample three-table statement loaded (a
// Chinese table, column and output name among them) at 100 % and 200 %, and saves select.png
// and order.png (and their @2x forms) when KORVEL_SNAPSHOT_DIR is set.
#include <QDir>
#include <QImage>

#include "SelectOrderTestSupport.h"

namespace {

class SelectOrderSnapshotTest : public SelectOrderTest {
protected:
    void Save(QWidget* page, const char* name) {
        const QString dir = qEnvironmentVariable("KORVEL_SNAPSHOT_DIR");
        for (qreal ratio : {1.0, 2.0}) {
            QImage image(page->size() * ratio, QImage::Format_ARGB32_Premultiplied);
            image.setDevicePixelRatio(ratio);
            image.fill(Qt::white);
            page->render(&image);
            EXPECT_FALSE(image.isNull());
            if (dir.isEmpty()) continue;
            const QString file = QString::fromLatin1(name) + (ratio > 1 ? "@2x.png" : ".png");
            EXPECT_TRUE(image.save(QDir(dir).filePath(file))) << file.toStdString();
        }
    }
};

constexpr const char* SampleStatement =
    "SELECT DISTINCT c.CompanyName AS 客户, r.地区名称, o.OrderDate, COUNT(o.OrderID) AS Orders, "
    "o.Freight * 2 AS DoubleFreight "
    "FROM 地区 r JOIN Customers c ON c.地区编号 = r.地区编号 JOIN Orders o ON o.CustomerID = c.CustomerID "
    "ORDER BY o.OrderDate DESC, 客户";

TEST_F(SelectOrderSnapshotTest, RendersTheSelectionPage) {
    Control->resize(760, 560);
    SetSql(SampleStatement);
    ASSERT_EQ(Control->Tables().Count(), 3);
    ShowPage(qbtSelection);
    ASSERT_EQ(Rows().size(), 5u);
    ClickCell(1, 0);
    Save(Control->PageControl(), "select");
}

TEST_F(SelectOrderSnapshotTest, RendersTheSortingPage) {
    Control->resize(760, 560);
    SetSql(SampleStatement);
    ShowPage(qbtSorting);
    EXPECT_EQ(SortEntries(), (std::vector<std::string>{"o.OrderDate 降序", "客户 升序"}));
    ClickSortEntry(0);
    ClickCandidate("r.地区名称");
    Save(Control->PageControl(), "order");
}

}  // namespace
