// The full round trip of the control's SQL page: parse a statement into the model, then
// write it back. Realistic statements of about 400 bytes: 3 to 8 joined tables, WHERE with
// AND/OR/IN/BETWEEN, GROUP BY and ORDER BY. Target: 100,000 round trips per second on one
// core. Also the same for korvel-sql format --batch over 10,000 statements.
#include "parser/QBMSParser.h"
#include "korvel-sql/StatementFormat.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

const std::vector<std::string>& Statements() {
    static const std::vector<std::string> statements = {
        "SELECT o.OrderID, c.CompanyName, e.LastName, SUM(d.Quantity * d.UnitPrice) AS Total\r\n"
        "FROM Orders o INNER JOIN Customers c ON o.CustomerID = c.CustomerID\r\n"
        "LEFT OUTER JOIN Employees e ON o.EmployeeID = e.EmployeeID\r\n"
        "INNER JOIN [Order Details] d ON d.OrderID = o.OrderID\r\n"
        "WHERE o.OrderDate BETWEEN '1997-01-01' AND '1997-12-31' AND (c.Country = 'Germany' "
        "OR c.Country IN ('France', 'Spain'))\r\n"
        "GROUP BY o.OrderID, c.CompanyName, e.LastName ORDER BY Total DESC, c.CompanyName",

        "SELECT p.ProductName, cat.CategoryName, s.CompanyName, p.UnitPrice, p.UnitsInStock\r\n"
        "FROM Products p JOIN Categories cat ON p.CategoryID = cat.CategoryID\r\n"
        "JOIN Suppliers s ON p.SupplierID = s.SupplierID\r\n"
        "WHERE p.Discontinued = 0 AND p.UnitPrice BETWEEN 10 AND 50 AND (s.Country IN "
        "('USA', 'UK', 'Japan') OR cat.CategoryName LIKE 'Bev%')\r\n"
        "ORDER BY cat.CategoryName, p.UnitPrice DESC, p.ProductName",

        "SELECT TOP 10 e.LastName, e.FirstName, m.LastName AS Manager, COUNT(o.OrderID) AS Orders\r\n"
        "FROM Employees e LEFT JOIN Employees m ON e.ReportsTo = m.EmployeeID\r\n"
        "LEFT JOIN Orders o ON o.EmployeeID = e.EmployeeID\r\n"
        "LEFT JOIN Shippers sh ON o.ShipVia = sh.ShipperID\r\n"
        "WHERE e.Country = 'USA' AND (sh.CompanyName IS NULL OR sh.CompanyName NOT IN ('A', 'B'))\r\n"
        "GROUP BY e.LastName, e.FirstName, m.LastName ORDER BY Orders DESC",

        "SELECT c.CustomerID, c.CompanyName, o.OrderID, d.ProductID, p.ProductName, s.CompanyName "
        "AS Shipper, e.LastName\r\n"
        "FROM Customers c INNER JOIN Orders o ON c.CustomerID = o.CustomerID\r\n"
        "INNER JOIN [Order Details] d ON o.OrderID = d.OrderID INNER JOIN Products p ON d.ProductID = "
        "p.ProductID\r\n"
        "INNER JOIN Shippers s ON o.ShipVia = s.ShipperID INNER JOIN Employees e ON o.EmployeeID = "
        "e.EmployeeID\r\n"
        "INNER JOIN Categories g ON p.CategoryID = g.CategoryID INNER JOIN Suppliers u ON "
        "p.SupplierID = u.SupplierID\r\n"
        "WHERE o.Freight > 100 AND d.Discount BETWEEN 0.05 AND 0.2 ORDER BY c.CompanyName, o.OrderID",
    };
    return statements;
}

void BM_RoundTrip(benchmark::State& state) {
    auto parser = MakeParser<TQBMSSelectParser>();
    const auto& statements = Statements();
    std::size_t index = 0, bytes = 0, written = 0;
    for (auto _ : state) {
        const std::string& text = statements[index];
        index = (index + 1) % statements.size();
        parser->ParseSQL(text);
        const std::string sql = parser->GetSQL();
        benchmark::DoNotOptimize(sql.data());
        bytes += text.size();
        written += sql.size();
    }
    state.SetItemsProcessed(state.iterations());
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes));
    state.counters["avg_input_bytes"] = double(bytes) / double(state.iterations());
    state.counters["avg_output_bytes"] = double(written) / double(state.iterations());
}
BENCHMARK(BM_RoundTrip);

void BM_FormatBatch10000(benchmark::State& state) {
    std::string batch;
    for (int i = 0; i < 10000; ++i) batch += Statements()[std::size_t(i) % Statements().size()] + "\r\nGO\r\n";
    auto parser = MakeFormatParser({});
    for (auto _ : state) {
        const std::string out = FormatBatch(*parser, batch);
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) * std::int64_t(batch.size()));
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations()) * 10000);
}
BENCHMARK(BM_FormatBatch10000)->Unit(benchmark::kMillisecond);

}  // namespace

namespace {

// The two halves of the round trip, to see where the time goes.
void BM_ParseOnly(benchmark::State& state) {
    auto parser = MakeParser<TQBMSSelectParser>();
    const auto& statements = Statements();
    std::size_t index = 0;
    for (auto _ : state) {
        parser->ParseSQL(statements[index]);
        index = (index + 1) % statements.size();
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_ParseOnly);

void BM_WriteOnly(benchmark::State& state) {
    auto parser = MakeParser<TQBMSSelectParser>();
    parser->ParseSQL(Statements()[0]);
    for (auto _ : state) {
        const std::string sql = parser->GetSQL();
        benchmark::DoNotOptimize(sql.data());
    }
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_WriteOnly);

}  // namespace
