// Writing SQL into the control: a 30-table statement over the sample database (five groups of
// orders, order lines, products, categories, suppliers and customers, each group joined to the
// one before), with the host describing every table through the data layer as the desktop
// program does ("SELECT * FROM %s WHERE 0 = 1"). Measures parse, host questions, boxes, ticks
// and links together: what a user waits for after typing a statement.
#include <QApplication>
#include <benchmark/benchmark.h>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "control/QBMSWindow.h"
#include "control/QBTableList.h"
#include "data/DataQuery.h"
#include "diagram/QBFloatPanel.h"
#include "BenchSupport.h"

namespace {

std::string ThirtyTables() {
    std::string select = "SELECT ", from = " FROM ";
    for (int g = 0; g < 5; ++g) {
        const std::string n = std::to_string(g);
        const std::string o = "o" + n, d = "d" + n, p = "p" + n, c = "c" + n, s = "s" + n, cu = "cu" + n;
        if (g > 0) select += ", ";
        select += o + ".OrderID, " + p + ".ProductName, " + cu + ".CompanyName, " + d + ".Quantity * " + d +
                  ".UnitPrice AS amount" + n;
        from += (g == 0 ? "Orders " + o : " JOIN Orders " + o + " ON " + o + ".EmployeeID = o" +
                                              std::to_string(g - 1) + ".EmployeeID");
        from += " JOIN [Order Details] " + d + " ON " + d + ".OrderID = " + o + ".OrderID";
        from += " JOIN Products " + p + " ON " + p + ".ProductID = " + d + ".ProductID";
        from += " LEFT JOIN Categories " + c + " ON " + c + ".CategoryID = " + p + ".CategoryID";
        from += " LEFT JOIN Suppliers " + s + " ON " + s + ".SupplierID = " + p + ".SupplierID";
        from += " JOIN Customers " + cu + " ON " + cu + ".CustomerID = " + o + ".CustomerID";
    }
    return select + from + " WHERE o0.Freight > 10 ORDER BY o0.OrderID";
}

// A control on a private copy of the sample database; the host opens one query per table.
struct Builder : TBenchBuilder {
    Builder() : TBenchBuilder("korvel-bench-control.db", 1600, 1000) {}
};

void BM_SetSQLThirtyTables(benchmark::State& state) {
    Builder builder;
    const std::string sql = ThirtyTables();
    for (auto _ : state) {
        builder.Control->SetSQL(sql);
        builder.Sets.clear();
        benchmark::DoNotOptimize(builder.Control->Tables().Count());
    }
    if (builder.Control->Tables().Count() != 30 || builder.Control->Links().Count() != 29)
        state.SkipWithError("the statement did not build 30 boxes and 29 links");
}
BENCHMARK(BM_SetSQLThirtyTables)->Unit(benchmark::kMillisecond);

}  // namespace
