// Writing statements of 40 joined tables: a chain, a star of 39 tables around a hub, and
// that star with one more table joined to the hub by both a LEFT and an INNER join (no
// join order exists, so writing fails). Each must take well under 10 ms.
#include "lexer/QBMSScanner.h"
#include "model/QBJoinDefs.h"
#include "model/QBTableDefs.h"
#include "parser/QBParser.h"
#include "toolkit/Exceptions.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>

namespace {

class TMSScannerParser : public TQBSelectParser {
public:
    std::unique_ptr<TQBSQLScanner> CreateScanner() override { return MakeScanner<TQBMSSQLScanner>(); }
};

enum class TShape { Chain, Star, StarWithDoubleJoin };

void Join(TQBSelectParser& P, const std::string& Left, const std::string& LeftField,
          const std::string& Right, const std::string& RightField, int Type) {
    TQBJoinDef* join = P.GetJoinDefs()->Add();
    join->LeftTable = Left;
    join->LeftField = LeftField;
    join->RightTable = Right;
    join->RightField = RightField;
    join->PreferredTable = Right;
    join->JoinType = static_cast<std::uint8_t>(Type);
    join->Bind();
}

std::unique_ptr<TQBSelectParser> Build(TShape Shape) {
    auto parser = MakeParser<TMSScannerParser>();
    const int tables = 40;
    for (int t = 0; t < tables; ++t) {
        TQBTableDef* table = parser->GetTableDefs()->Add();
        table->SetTableName("dbo.Table" + std::to_string(t));
        table->SetAlias("t" + std::to_string(t));
        TQBFieldDef* field = table->Fields().Add();
        field->SetName("name");
        field->SetKind(fkField);
    }
    const int spokes = Shape == TShape::StarWithDoubleJoin ? tables - 1 : tables;
    for (int t = 1; t < spokes; ++t) {
        const std::string name = "t" + std::to_string(t);
        if (Shape == TShape::Chain)
            Join(*parser, "t" + std::to_string(t - 1), "id", name, "parent_id", 0);
        else
            Join(*parser, "t0", "id", name, "hub_id", 0);
    }
    if (Shape == TShape::StarWithDoubleJoin) {
        const std::string last = "t" + std::to_string(tables - 1);
        Join(*parser, "t0", "id", last, "hub_id", 1);
        Join(*parser, "t0", "code", last, "code", 0);
    }
    return parser;
}

void WriteStatement(benchmark::State& State, TShape Shape) {
    auto parser = Build(Shape);
    std::size_t written = 0;
    for (auto _ : State) {
        try {
            written += parser->GetSQL().size();
        } catch (const EQBException&) {
            ++written;  // the expected failure of the double-joined star
        }
        benchmark::DoNotOptimize(written);
    }
}

void BM_Chain40(benchmark::State& State) { WriteStatement(State, TShape::Chain); }
void BM_Star40(benchmark::State& State) { WriteStatement(State, TShape::Star); }
void BM_StarDoubleJoined40(benchmark::State& State) { WriteStatement(State, TShape::StarWithDoubleJoin); }

}  // namespace

BENCHMARK(BM_Chain40)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Star40)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StarDoubleJoined40)->Unit(benchmark::kMicrosecond);
