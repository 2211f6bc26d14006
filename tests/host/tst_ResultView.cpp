// The result page: rows are read as the grid asks for them, the navigator moves the current
// row, "last" reads on and can be stopped, and the grid never reads a closed query.
#include <QApplication>
#include <QTableView>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

#include "data/DataConnection.h"
#include "data/DataQuery.h"
#include "host/ResultModel.h"
#include "host/PreviewRunner.h"
#include "host/ResultView.h"

#include <atomic>
#include <filesystem>
#include <memory>
#include <string>

#include <unistd.h>

namespace {

// A private copy of the sample database with a view of a million generated rows.
class TResultDatabase {
public:
    TResultDatabase() {
        static std::atomic<int> serial{0};
        FCopy = std::filesystem::temp_directory_path() /
                ("korvel-result-" + std::to_string(::getpid()) + "-" + std::to_string(serial++) + ".db");
        std::filesystem::copy_file(std::string(KORVEL_BINARY_DIR) + "/sample/korvel-sample.db", FCopy,
                                   std::filesystem::copy_options::overwrite_existing);
        Connection.SetConnectionString("Provider=SQLite;Data Source=" + FCopy.string());
        Connection.SetLoginPrompt(false);
        Connection.Open();
        Connection.Execute("CREATE VIEW Million AS WITH RECURSIVE n(i) AS "
                           "(SELECT 1 UNION ALL SELECT i + 1 FROM n WHERE i < 1000000) SELECT i AS N FROM n");
    }
    ~TResultDatabase() {
        Connection.Close();
        std::error_code ignored;
        std::filesystem::remove(FCopy, ignored);
    }
    TDataConnection Connection;

private:
    std::filesystem::path FCopy;
};

class ResultViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        Query = std::make_unique<TDataQuery>(&Db.Connection);
        View = std::make_unique<TQBResultView>();
        View->resize(400, 300);
        View->show();
    }
    void TearDown() override {
        View->SetDataSet(nullptr);
        View.reset();
        Query.reset();
    }
    void Show(const std::string& sql) {
        View->SetDataSet(nullptr);
        Query->SetSQL(sql);
        Query->Open();
        View->SetDataSet(Query.get());
        QApplication::processEvents();
    }
    void Click(int button) { QTest::mouseClick(View->NavigatorButton(button), Qt::LeftButton); }

    TResultDatabase Db;
    std::unique_ptr<TDataQuery> Query;
    std::unique_ptr<TQBResultView> View;
};

TEST_F(ResultViewTest, MillionRowsOpenAtOnceReadingOnlyWhatIsShown) {
    Show("SELECT * FROM Million");
    EXPECT_EQ(View->Model()->columnCount(), 1);
    EXPECT_EQ(View->Model()->headerData(0, Qt::Horizontal).toString(), "N");
    EXPECT_LE(Query->RecordsRead(), 2 * TQBResultModel::FetchBatch);
    EXPECT_GT(View->Model()->rowCount(), 0);
    EXPECT_EQ(View->Model()->data(View->Model()->index(0, 0)).toString(), "1");
    // Scrolling down asks for more, a batch at a time.
    View->Grid()->scrollToBottom();
    QApplication::processEvents();
    EXPECT_LE(Query->RecordsRead(), 4 * TQBResultModel::FetchBatch);
}

TEST_F(ResultViewTest, NavigatorMovesTheCurrentRow) {
    Show("SELECT OrderID FROM Orders ORDER BY OrderID");
    EXPECT_EQ(View->CurrentRow(), 0);
    Click(2);  // next
    Click(2);
    EXPECT_EQ(View->CurrentRow(), 2);
    Click(1);  // prior
    EXPECT_EQ(View->CurrentRow(), 1);
    Click(3);  // last
    EXPECT_EQ(View->CurrentRow(), 1999);
    EXPECT_EQ(View->Model()->data(View->Model()->index(1999, 0)).toString(), "12000");
    EXPECT_FALSE(View->NavigatorButton(2)->isEnabled());
    Click(0);  // first
    EXPECT_EQ(View->CurrentRow(), 0);
    EXPECT_FALSE(View->NavigatorButton(1)->isEnabled());
}

TEST_F(ResultViewTest, NextReadsOnPastTheRowsShown) {
    Show("SELECT * FROM Million");
    const int shown = View->Model()->rowCount();
    for (int i = 0; i < shown + 3; ++i) View->Next();
    EXPECT_EQ(View->CurrentRow(), shown + 3);
    EXPECT_EQ(View->Model()->data(View->Model()->index(shown + 3, 0)).toString(), QString::number(shown + 4));
}

TEST_F(ResultViewTest, LastCanBeStoppedWhileReading) {
    Show("SELECT * FROM Million");
    int reports = 0;
    View->OnReading = [&reports](std::size_t) { return ++reports < 3; };
    Click(3);
    EXPECT_EQ(reports, 3);
    EXPECT_LT(Query->RecordsRead(), 1000000u);
    EXPECT_GE(View->CurrentRow(), static_cast<int>(3 * TQBResultView::ReadToEndBatch) - 1);
}

TEST_F(ResultViewTest, RefreshKeepsTheCurrentRowAndSeesNewRows) {
    Show("SELECT ShipperID FROM Shippers ORDER BY ShipperID");
    const int before = View->Model()->rowCount();
    Click(2);
    Db.Connection.Execute("INSERT INTO Shippers (ShipperID, CompanyName) VALUES (99, 'New')");
    Click(4);
    EXPECT_EQ(View->CurrentRow(), 1);
    EXPECT_EQ(View->Model()->rowCount(), before + 1);
}

TEST_F(ResultViewTest, ClosedQueryIsNeverRead) {
    Show("SELECT * FROM Orders");
    View->Reset();
    Query->Close();  // as a column look-up on the same query would
    View->Reset();
    EXPECT_EQ(View->Model()->rowCount(), 0);
    EXPECT_EQ(View->Model()->columnCount(), 0);
    EXPECT_FALSE(View->Model()->canFetchMore({}));
    View->Grid()->viewport()->repaint();
    Click(3);
    Click(4);
    EXPECT_EQ(View->CurrentRow(), -1);
}

TEST_F(ResultViewTest, WindowStaysResponsiveAndCancelDiscardsTheResult) {
    // Sorting a million rows by an expression makes the driver work before the first row.
    // SQLite's driver does not stop a running statement, so the cancel only discards it here;
    // what must hold on every driver: events are processed meanwhile and nothing stays open.
    Query->SetSQL("SELECT N FROM Million ORDER BY (N * 7919) % 1000003 DESC");
    int polls = 0;
    EXPECT_FALSE(OpenCancellable(*Query, [&polls] { return ++polls < 3; }));
    EXPECT_GE(polls, 3);
    EXPECT_FALSE(Query->Active());
    // The connection stays usable.
    Show("SELECT OrderID FROM Orders");
    EXPECT_GT(View->Model()->rowCount(), 0);
}

TEST_F(ResultViewTest, QuickQueryOpensThroughTheRunner) {
    Query->SetSQL("SELECT CompanyName FROM Shippers");
    EXPECT_TRUE(OpenCancellable(*Query, [] { return true; }));
    EXPECT_TRUE(Query->Active());
    Query->SetSQL("SELECT NoSuchColumn FROM Shippers");
    EXPECT_ANY_THROW(OpenCancellable(*Query, [] { return true; }));
}

}  // namespace
