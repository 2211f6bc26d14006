// Shared helpers of the model tests: parsers of both dialects (without the statement
// reader) and compact builders for tables, fields and joins.
#pragma once

#include "lexer/QBMSScanner.h"
#include "model/QBCriteria.h"
#include "model/QBJoinDefs.h"
#include "model/QBOrderItems.h"
#include "model/QBTableDefs.h"
#include "parser/QBParser.h"

#include <memory>
#include <string>

// The base parser with the SQL Server scanner: bracket quotes, aliases always quoted.
class TMSScannerParser : public TQBSelectParser {
public:
    std::unique_ptr<TQBSQLScanner> CreateScanner() override { return MakeScanner<TQBMSSQLScanner>(); }
};

inline std::unique_ptr<TQBSelectParser> BaseParser() { return MakeParser<TQBSelectParser>(); }
inline std::unique_ptr<TQBSelectParser> MSParser() { return MakeParser<TMSScannerParser>(); }

// Adds a table with name and alias (alias defaults to the name).
inline TQBTableDef* AddTable(TQBSelectParser& P, const std::string& Name, const std::string& Alias = "") {
    TQBTableDef* table = P.GetTableDefs()->Add();
    table->SetTableName(Name);
    if (!Alias.empty()) table->SetAlias(Alias);
    return table;
}

// Adds a field of the given kind (the alias rules apply) with an optional alias.
inline TQBFieldDef* AddField(TQBTableDef& Table, const std::string& Name, TQBFunctionKind Kind = fkField,
                             const std::string& Alias = "") {
    TQBFieldDef* field = Table.Fields().Add();
    field->SetName(Name);
    if (!Alias.empty()) field->Alias = Alias;
    field->SetKind(Kind);
    return field;
}

// Adds a bound column-to-column join.
inline TQBJoinDef* AddJoin(TQBSelectParser& P, const std::string& LeftTable, const std::string& LeftField,
                           const std::string& RightTable, const std::string& RightField, int Type = 0) {
    TQBJoinDef* join = P.GetJoinDefs()->Add();
    join->LeftTable = LeftTable;
    join->LeftField = LeftField;
    join->RightTable = RightTable;
    join->RightField = RightField;
    join->PreferredTable = RightTable;
    join->JoinType = static_cast<std::uint8_t>(Type);
    join->Bind();
    return join;
}

// The select indices of every field of the collection, in table then list order.
inline std::string SelectIndices(const TQBTableDefs& Tables) {
    std::string result;
    for (int t = 0; t < Tables.Count(); ++t)
        for (int f = 0; f < Tables.Items(t)->Fields().Count(); ++f) {
            const TQBFieldDef* field = Tables.Items(t)->Fields().Items(f);
            result += (result.empty() ? "" : " ") + field->Name + "=" + std::to_string(field->SelectIndex);
        }
    return result;
}
