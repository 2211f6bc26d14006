// WHERE and HAVING of every golden statement make the round trip SQL -> rows -> SQL: the
// statement is parsed, the panel's rows are loaded from the model, the criteria are emptied
// and built again from what the rows show with the panel's own commands (add, group, group
// kind, operator, functions, values), and the statement written then is the statement
// written before.
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

#include "CriteriaTestSupport.h"
#include "korvel-sql/StatementFormat.h"

namespace fs = std::filesystem;

namespace {

// What one row shows.
struct TShownRow {
    int Kind = -1;  // group kind, or -1 for a condition
    std::string LeftFunction, Expression, RightFunction, Operator;
    std::vector<std::string> Values;
    std::vector<TShownRow> Rows;
};

int KindOfCaption(const std::string& caption) {
    for (int kind = gkAll; kind <= gkNot; ++kind)
        if (caption == GroupKindCaption(kind)) return kind;
    return -1;
}

TShownRow Capture(const TQBCriterionRow& row) {
    TShownRow shown;
    if (row.IsGroup()) {
        shown.Kind = KindOfCaption(row.GroupCaption());
        for (int i = 0; i < row.SubRows().Count(); ++i) shown.Rows.push_back(Capture(*row.SubRows().Items(i)));
        return shown;
    }
    shown.LeftFunction = row.LeftFunction();
    shown.Expression = row.ExpressionText();
    shown.RightFunction = row.RightFunction();
    shown.Operator = row.Operator() ? row.Operator()->Caption : std::string();
    shown.Values = row.Values();
    return shown;
}

// Builds Shown into the fresh condition row Row with the panel's commands.
void Rebuild(TQBCriterionPanel& panel, TQBCriterionRow& row, const TShownRow& shown) {
    if (shown.Kind >= 0) {
        panel.SetHoverSpot(row.Spot(siExpression));
        panel.MakeGroup();
        panel.SetHoverSpot(row.Spot(siLeftFunction));
        panel.ChooseGroupKind(shown.Kind);
        for (std::size_t i = 0; i < shown.Rows.size(); ++i) {
            if (i > 0) {
                panel.SetHoverSpot(row.Spot(siLeftFunction));
                panel.AddCondition();
            }
            Rebuild(panel, *row.SubRows().Items(static_cast<int>(i)), shown.Rows[i]);
        }
        return;
    }
    row.SetLeftFunction(shown.LeftFunction);
    row.SetExpressionText(shown.Expression);
    row.SetOperator(panel.Parser()->GetOperators()->FindByCaption(shown.Operator));
    row.SetRightFunction(shown.RightFunction);
    for (std::size_t v = 0; v < shown.Values.size(); ++v) row.SetValue(static_cast<int>(v), shown.Values[v]);
}

// Empties Panel's criteria and builds them again from what its rows showed.
void RebuildFromRows(TQBCriterionPanel& panel) {
    panel.LoadFromModel();
    const TShownRow shown = Capture(*panel.RootRow());
    panel.Clear();
    TQBCriterions& top = *panel.TopGroup();
    top.Clear();
    top.GroupKind = gkAll;
    panel.SetHoverSpot(panel.RootRow()->Spot(siLeftFunction));
    panel.ChooseGroupKind(shown.Kind);
    for (const TShownRow& child : shown.Rows) {
        panel.SetHoverSpot(panel.RootRow()->Spot(siLeftFunction));
        panel.AddCondition();
        TQBCriterionRows& rows = panel.RootRow()->SubRows();
        Rebuild(panel, *rows.Items(rows.Count() - 1), child);
    }
}

std::string ReadFile(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// The golden statement's options (its "-- args:" line) applied; the line taken off Text.
TQBFormatOptions TakeOptions(std::string& text) {
    TQBFormatOptions options;
    const std::string marker = "-- args:";
    if (text.compare(0, marker.size(), marker) != 0) return options;
    const auto end = text.find('\n');
    std::istringstream args(text.substr(marker.size(), end - marker.size()));
    text.erase(0, end == std::string::npos ? text.size() : end + 1);
    for (std::string arg; args >> arg;) {
        const auto equals = arg.find('=');
        ApplyFormatOption(options, arg.substr(2, equals == std::string::npos ? std::string::npos : equals - 2),
                          equals == std::string::npos ? "" : arg.substr(equals + 1));
    }
    return options;
}

TEST(CriteriaRoundTripTest, WhereAndHavingOfEveryGoldenStatement) {
    int statements = 0, withWhere = 0, withHaving = 0;
    for (const auto& entry : fs::directory_iterator(fs::path(KORVEL_SOURCE_DIR) / "tests" / "golden")) {
        if (entry.path().extension() != ".sql") continue;
        std::string text = ReadFile(entry.path());
        const TQBFormatOptions options = TakeOptions(text);
        std::unique_ptr<TQBSelectParser> parser = MakeFormatParser(options);
        const TQBFormatResult first = FormatStatement(*parser, text);
        if (!first.Ok) continue;
        ++statements;
        QWidget page;
        TQBWherePanel where(&page, nullptr);
        TQBHavingPanel having(&page, nullptr);
        for (TQBCriterionPanel* panel : {static_cast<TQBCriterionPanel*>(&where), static_cast<TQBCriterionPanel*>(&having)}) {
            panel->SetParser(parser.get());
            panel->ResetPanel();
            if (panel->TopGroup()->Count() == 0) continue;
            ++(panel == &where ? withWhere : withHaving);
            const std::string before = parser->GetSQL();
            RebuildFromRows(*panel);
            EXPECT_EQ(parser->GetSQL(), before) << entry.path().filename() << (panel == &where ? " WHERE" : " HAVING");
            // The rows built show what the rows loaded showed.
            for (TQBCriterionRow* row : panel->VisibleRows()) row->Layout();
            const std::vector<std::string> shown = RowTexts(*panel);
            panel->LoadFromModel();
            EXPECT_EQ(RowTexts(*panel), shown) << entry.path().filename();
        }
    }
    EXPECT_GT(statements, 50);
    EXPECT_GT(withWhere, 10);
    EXPECT_GT(withHaving, 1);
    std::cout << statements << " statements, " << withWhere << " WHERE and " << withHaving << " HAVING clauses\n";
}

}  // namespace
