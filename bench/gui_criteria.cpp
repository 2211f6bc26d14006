// The WHERE panel with 500 conditions: loading the rows from the parsed model (rows, spots,
// layout, scroll ranges), painting the panel as a user sees it (800 x 600) and painting all
// 500 rows at once, and the two together. The statement is parsed once, outside the loop.
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>
#include <memory>
#include <string>

#include "editors/QBWherePanel.h"
#include "parser/QBMSParser.h"
#include "BenchSupport.h"

namespace {

// 500 conditions: plain comparisons, BETWEEN, IN lists and groups of two under Any.
std::string FiveHundredConditions() {
    std::string where;
    int conditions = 0;
    for (int i = 0; conditions < 500; ++i) {
        const std::string n = std::to_string(i);
        if (!where.empty()) where += " AND ";
        switch (i % 4) {
            case 0: where += "o.Freight" + n + " > " + n; conditions += 1; break;
            case 1: where += "o.Quantity" + n + " BETWEEN 1 AND " + n; conditions += 1; break;
            case 2: where += "o.ShipVia" + n + " IN (1,2,3)"; conditions += 1; break;
            default:
                where += "(o.City" + n + " = 'Berlin' OR o.Country" + n + " LIKE 'G%')";
                conditions += 2;
                break;
        }
    }
    return "SELECT o.OrderID FROM Orders o WHERE " + where;
}

struct Panel {
    std::unique_ptr<TQBMSSelectParser> Parser = MakeParser<TQBMSSelectParser>();
    std::unique_ptr<QWidget> Page;
    TQBWherePanel* Where = nullptr;

    explicit Panel(int height) {
        BenchApp();
        Parser->ParseSQL(FiveHundredConditions());
        Page = std::make_unique<QWidget>();
        Page->resize(800, height);
        Where = new TQBWherePanel(Page.get(), nullptr);
        Where->SetParser(Parser.get());
        Where->ResetPanel();
    }
    void Paint(QImage& image) { Where->viewport()->render(&image); }
};

void BM_LoadFiveHundredConditions(benchmark::State& state) {
    Panel panel(600);
    for (auto _ : state) panel.Where->LoadFromModel();
    state.counters["rows"] = static_cast<double>(panel.Where->VisibleRows().size());
}
BENCHMARK(BM_LoadFiveHundredConditions)->Unit(benchmark::kMillisecond);

void BM_PaintShownRows(benchmark::State& state) {
    Panel panel(600);
    panel.Where->LoadFromModel();
    QImage image(panel.Where->viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) panel.Paint(image);
}
BENCHMARK(BM_PaintShownRows)->Unit(benchmark::kMillisecond);

void BM_PaintAllFiveHundredRows(benchmark::State& state) {
    Panel panel(20 * 640);
    panel.Where->LoadFromModel();
    QImage image(panel.Where->viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) panel.Paint(image);
}
BENCHMARK(BM_PaintAllFiveHundredRows)->Unit(benchmark::kMillisecond);

void BM_LoadAndPaint(benchmark::State& state) {
    Panel panel(600);
    QImage image(panel.Where->viewport()->size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        panel.Where->LoadFromModel();
        panel.Paint(image);
    }
}
BENCHMARK(BM_LoadAndPaint)->Unit(benchmark::kMillisecond);

}  // namespace
