// The result preview on a million-row result of the sample database: from running the query
// to the first rows painted in the grid, and reading on to the last row as "last" does.
#include <QApplication>
#include <QTableView>
#include <benchmark/benchmark.h>

#include "data/DataConnection.h"
#include "data/DataQuery.h"
#include "host/PreviewRunner.h"
#include "host/ResultModel.h"
#include "host/ResultView.h"
#include "BenchSupport.h"

#include <filesystem>
#include <memory>
#include <string>

namespace {

// A private copy of the sample database with a view of a million generated rows.
struct Database {
    std::filesystem::path Copy;
    TDataConnection Connection;

    Database() {
        BenchApp();
        Copy = std::filesystem::temp_directory_path() / "korvel-bench-result.db";
        std::filesystem::copy_file(std::string(KORVEL_BINARY_DIR) + "/sample/korvel-sample.db", Copy,
                                   std::filesystem::copy_options::overwrite_existing);
        Connection.SetConnectionString("Provider=SQLite;Data Source=" + Copy.string());
        Connection.SetLoginPrompt(false);
        Connection.Open();
        Connection.Execute("CREATE VIEW Million AS WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 "
                           "FROM n WHERE i < 1000000) SELECT i AS N, 'row ' || i AS Label FROM n");
    }
    ~Database() {
        Connection.Close();
        std::filesystem::remove(Copy);
    }
};

void BM_ExecuteToFirstRowsPainted(benchmark::State& state) {
    Database db;
    TDataQuery query(&db.Connection);
    TQBResultView view;
    view.resize(800, 500);
    view.show();
    for (auto _ : state) {
        view.SetDataSet(nullptr);
        query.SetSQL("SELECT * FROM Million");
        OpenCancellable(query, [] { return true; });
        view.SetDataSet(&query);
        view.Grid()->viewport()->repaint();
        benchmark::DoNotOptimize(view.Model()->rowCount());
    }
    state.counters["rows_read"] = static_cast<double>(query.RecordsRead());
    view.SetDataSet(nullptr);
}
BENCHMARK(BM_ExecuteToFirstRowsPainted)->Unit(benchmark::kMillisecond);

void BM_ReadToTheLastOfAMillionRows(benchmark::State& state) {
    Database db;
    TDataQuery query(&db.Connection);
    TQBResultView view;
    view.OnReading = [](std::size_t) { return true; };
    for (auto _ : state) {
        view.SetDataSet(nullptr);
        query.SetSQL("SELECT * FROM Million");
        query.Open();
        view.SetDataSet(&query);
        view.Last();
        benchmark::DoNotOptimize(view.CurrentRow());
    }
    if (view.CurrentRow() != 999999) state.SkipWithError("the grid did not reach the last row");
    view.SetDataSet(nullptr);
}
BENCHMARK(BM_ReadToTheLastOfAMillionRows)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
