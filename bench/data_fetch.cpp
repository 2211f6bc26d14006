// Large results through the data layer: opening a query over a million rows must return at once,
// and memory must grow with the rows read, not with the rows the query could return. The
// benchmark builds its SQLite file (one million rows) on first use under the build directory.
#include "data/ConnectionString.h"
#include "data/DataQuery.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <fstream>
#include <malloc.h>
#include <string>

namespace {

constexpr long long MillionRows = 1000000;

std::string MillionRowFile() {
    static const std::string file = [] {
        const std::filesystem::path directory = std::filesystem::path(KORVEL_BINARY_DIR) / "bench-data";
        const std::filesystem::path path = directory / "million.db";
        if (!std::filesystem::exists(path)) {
            std::filesystem::create_directories(directory);
            const std::filesystem::path building = directory / "million.db.tmp";
            std::filesystem::remove(building);
            TDataConnection creator;
            creator.SetConnectionString("Driver=" + InstalledDriverNames().SQLite + ";Database=" + building.string());
            creator.Open();
            creator.Execute("CREATE TABLE Big (ID INTEGER PRIMARY KEY, Name TEXT, Amount REAL, Created DATETIME)");
            creator.Execute("WITH RECURSIVE seq(x) AS (SELECT 1 UNION ALL SELECT x + 1 FROM seq WHERE x < " +
                            std::to_string(MillionRows) +
                            ") INSERT INTO Big SELECT x, 'Name ' || x, x * 0.25, "
                            "datetime('2020-01-01', '+' || (x % 1000) || ' days') FROM seq");
            creator.Close();
            std::filesystem::rename(building, path);
        }
        return path.string();
    }();
    return file;
}

// Resident memory of the process in kilobytes.
long long ResidentKilobytes() {
    std::ifstream statm("/proc/self/statm");
    long long pages = 0, resident = 0;
    statm >> pages >> resident;
    return resident * 4;
}

void OpenConnection(TDataConnection& connection) {
    connection.SetConnectionString("Provider=SQLite;Data Source=" + MillionRowFile());
    connection.SetLoginPrompt(false);
    connection.Open();
}

// Open (and close) a query over all million rows: the first row only is read.
void BM_OpenMillionRowQuery(benchmark::State& state) {
    TDataConnection connection;
    OpenConnection(connection);
    TDataQuery query(&connection);
    query.SetSQL("SELECT * FROM Big");
    long long growth = 0;
    for (auto _ : state) {
        const long long before = ResidentKilobytes();
        query.Open();
        growth = ResidentKilobytes() - before;
        benchmark::DoNotOptimize(query.Fields(0).AsString());
        state.PauseTiming();
        query.Close();
        malloc_trim(0);  // hand freed rows back so the next iteration measures its own growth
        state.ResumeTiming();
    }
    state.counters["rss_growth_kB"] = static_cast<double>(growth);
}
BENCHMARK(BM_OpenMillionRowQuery)->Unit(benchmark::kMillisecond);

// Open the million-row query and read the first N rows with Next.
void BM_ReadRows(benchmark::State& state) {
    TDataConnection connection;
    OpenConnection(connection);
    TDataQuery query(&connection);
    query.SetSQL("SELECT * FROM Big");
    const auto rows = state.range(0);
    long long growth = 0;
    for (auto _ : state) {
        const long long before = ResidentKilobytes();
        query.Open();
        for (long long i = 1; i < rows && !query.Eof(); ++i) query.Next();
        growth = ResidentKilobytes() - before;
        benchmark::DoNotOptimize(query.Fields(1).AsString());
        state.PauseTiming();
        query.Close();
        malloc_trim(0);  // hand freed rows back so the next iteration measures its own growth
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * rows);
    state.counters["rss_growth_kB"] = static_cast<double>(growth);
    state.counters["bytes_per_row"] = static_cast<double>(growth) * 1024.0 / static_cast<double>(rows);
}
BENCHMARK(BM_ReadRows)->Arg(1000)->Arg(100000)->Arg(MillionRows)->Unit(benchmark::kMillisecond);

}  // namespace
