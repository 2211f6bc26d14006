// Pictures of the main window for people to look at: main.png (builder page with a three-table
// statement of the sample database), main-sql.png (the SQL page) and result.png (its preview),
// written into $KORVEL_SNAPSHOT_DIR when it is set.
#include <QDir>

#include "MainFormTestSupport.h"

namespace {

using MainSnapshotTest = MainFormTest;

TEST_F(MainSnapshotTest, WritesTheMainWindow) {
    ASSERT_TRUE(Open("SELECT c.CompanyName, o.OrderDate, e.LastName FROM Customers c "
                     "INNER JOIN Orders o ON o.CustomerID = c.CustomerID "
                     "INNER JOIN Employees e ON e.EmployeeID = o.EmployeeID"));
    EXPECT_EQ(Builder().Tables().Count(), 3);
    EXPECT_EQ(Builder().Links().Count(), 2);
    const QString dir = qEnvironmentVariable("KORVEL_SNAPSHOT_DIR");
    if (dir.isEmpty()) return;
    EXPECT_TRUE(Form->grab().save(QDir(dir).filePath("main.png")));
    ClickTab(TfmMain::pgSQL);
    QApplication::processEvents();
    EXPECT_TRUE(Form->grab().save(QDir(dir).filePath("main-sql.png")));
    ASSERT_TRUE(Form->Execute());
    QApplication::processEvents();
    EXPECT_TRUE(Form->grab().save(QDir(dir).filePath("result.png")));
}

}  // namespace
