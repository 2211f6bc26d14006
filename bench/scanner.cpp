// Scanner throughput: reads a realistic multi-statement T-SQL text token by token, the way
// the parser does, and reports bytes per second and heap allocations per token.
#include "lexer/QBMSScanner.h"

#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <string>

namespace {

std::atomic<long> Allocations{0};

// About a megabyte of statements as a user would write or load them: comments, bracketed
// names, strings, numbers, functions, joins, CR LF and LF line breaks.
std::string MakeWorkload() {
    const char* const statements[] = {
        "-- monthly sales by customer\r\n"
        "SELECT c.[Customer ID], c.CompanyName, SUM(od.UnitPrice * od.Quantity) AS Total\r\n"
        "FROM dbo.Customers c\r\n"
        "  INNER JOIN dbo.Orders o ON o.CustomerID = c.[Customer ID]\r\n"
        "  INNER JOIN [Order Details] od ON od.OrderID = o.OrderID\r\n"
        "WHERE o.OrderDate >= '2024-01-01' AND o.Freight > 12.5\r\n"
        "GROUP BY c.[Customer ID], c.CompanyName\r\n"
        "HAVING COUNT(*) > 3\r\n"
        "ORDER BY Total DESC;\r\n",
        "/* products that need reordering,\n   one line per supplier */\n"
        "SELECT TOP 10 p.ProductName, s.CompanyName, p.UnitsInStock\n"
        "FROM Products p LEFT OUTER JOIN Suppliers s ON s.SupplierID = p.SupplierID\n"
        "WHERE p.UnitsInStock < p.ReorderLevel AND p.Discontinued = 0\n"
        "  AND s.Country IN ('Germany', 'France', 'UK') -- european only\n"
        "ORDER BY p.UnitsInStock;\n",
        "SELECT e.EmployeeID, e.LastName + ', ' + e.FirstName AS Name, m.LastName AS Manager,\r\n"
        "  DATEDIFF(year, e.BirthDate, GETDATE()) AS Age, ISNULL(e.Region, 'n/a') AS Region\r\n"
        "FROM Employees e LEFT JOIN Employees m ON m.EmployeeID = e.ReportsTo\r\n"
        "WHERE e.Title LIKE '%Sales%' AND NOT e.HireDate BETWEEN '1990-01-01' AND '1995-12-31'\r\n"
        "  AND e.Salary != 0 AND e.Extension <> '' AND e.Notes IS NOT NULL;\r\n",
    };
    std::string text;
    while (text.size() < (1u << 20))
        for (const char* statement : statements) text += statement;
    return text;
}

void ScanTokenByToken(benchmark::State& state) {
    const std::string text = MakeWorkload();
    auto scanner = MakeScanner<TQBMSSQLScanner>();
    std::string token;
    token.reserve(64);
    long tokens = 0;
    long allocations = 0;
    for (auto _ : state) {
        scanner->SetText(text);
        const long before = Allocations.load(std::memory_order_relaxed);
        // ";" ends a statement; keep reading until the text itself is used up.
        while (scanner->GetPosition() <= scanner->GetLength()) {
            scanner->NextToken(token);
            benchmark::DoNotOptimize(token.data());
            ++tokens;
        }
        allocations += Allocations.load(std::memory_order_relaxed) - before;
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) *
                            static_cast<int64_t>(text.size()));
    state.counters["tokens"] = benchmark::Counter(static_cast<double>(tokens),
                                                  benchmark::Counter::kAvgIterations);
    state.counters["allocs_per_token"] =
        static_cast<double>(allocations) / static_cast<double>(tokens > 0 ? tokens : 1);
}
BENCHMARK(ScanTokenByToken)->Unit(benchmark::kMillisecond);

}  // namespace

// Counting allocator: proves that reading a token costs no heap allocation.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
void* operator new(std::size_t size) {
    Allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
