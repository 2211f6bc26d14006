// The selection page with 200 selected columns (twenty aliases of Orders, ten columns each,
// over the sample database): loading the grid from the model as the page does when it is
// shown (candidate list included), and one in-place edit of a row's aggregate that goes
// through the control's hooks into the model and back out as the statement.
#include <QApplication>
#include <QComboBox>
#include <QTabWidget>
#include <benchmark/benchmark.h>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "control/QBMSWindow.h"
#include "data/DataQuery.h"
#include "editors/QBSelectOrder.h"
#include "BenchSupport.h"

namespace {

constexpr const char* Columns[] = {"OrderID",  "CustomerID", "EmployeeID", "OrderDate", "RequiredDate",
                                   "ShippedDate", "ShipVia", "Freight",   "ShipName",  "ShipCity"};

std::string TwoHundredColumns() {
    std::string select = "SELECT ", from = " FROM ";
    for (int t = 0; t < 20; ++t) {
        const std::string alias = "o" + std::to_string(t);
        for (const char* column : Columns) select += (select.size() > 7 ? ", " : "") + alias + "." + column;
        from += t == 0 ? "Orders " + alias
                       : " JOIN Orders " + alias + " ON " + alias + ".OrderID = o" + std::to_string(t - 1) + ".OrderID";
    }
    return select + from;
}

// A shown control on a private copy of the sample database with the statement loaded and the
// selection page active.
struct Builder : TBenchBuilder {
    Builder() : TBenchBuilder("korvel-bench-select.db", 1200, 900) {
        Control->show();
        QApplication::setActiveWindow(Control.get());
        Control->SetSQL(TwoHundredColumns());
        Control->PageControl()->setCurrentIndex(1);
        QApplication::processEvents();
    }
    TQBSelectGrid& Grid() const { return *Control->SelectPanel()->Grid(); }
};

void BM_LoadTwoHundredSelectedColumns(benchmark::State& state) {
    Builder builder;
    for (auto _ : state) {
        builder.Control->RefreshActiveTab();
        benchmark::DoNotOptimize(builder.Grid().rowCount());
    }
    if (builder.Grid().rowCount() != 201) state.SkipWithError("the grid does not show 200 rows");
}
BENCHMARK(BM_LoadTwoHundredSelectedColumns)->Unit(benchmark::kMillisecond);

// Row 100's aggregate set to COUNT and cleared again: two edits, each a release, an
// assignment and a generated statement.
void BM_EditRoundTrip(benchmark::State& state) {
    Builder builder;
    TQBSelectGrid& grid = builder.Grid();
    bool aggregate = false;
    std::size_t length = 0;
    for (auto _ : state) {
        aggregate = !aggregate;
        grid.setCurrentCell(100, TQBSelectGrid::colAggregate);
        grid.EditCurrentCell();
        grid.ComboEditor()->setEditText(aggregate ? "COUNT" : "");
        grid.FinishEdit(grid.ComboEditor());
        length = builder.Control->GetSQL().size();
        benchmark::DoNotOptimize(length);
    }
    if (grid.Cell(100, TQBSelectGrid::colSource) != "o10.OrderID" || length == 0)
        state.SkipWithError("the edit did not reach the statement");
}
BENCHMARK(BM_EditRoundTrip)->Unit(benchmark::kMillisecond);

}  // namespace
