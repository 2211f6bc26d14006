// Parameter discovery through SQLProcedureColumns. Its schema and name arguments are search
// patterns, so they are passed unquoted with "_" and "%" escaped, and the rows are checked once
// more against the exact name: a driver that ignores the escape must not turn "fn_x" into "fnAx".
#include "data/DataStoredProc.h"

#include "data/DataError.h"
#include "data/ObjectName.h"
#include "data/OdbcTypes.h"
#include "resources/QBResource.h"

#include <algorithm>

namespace {

bool SameTextAscii(const std::string& a, const std::string& b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    return a.size() == b.size() &&
           std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return lower(x) == lower(y); });
}

// SQL Server reports procedures as "name;1" (the procedure group number).
std::string WithoutGroupNumber(const std::string& name) {
    const auto semicolon = name.rfind(';');
    if (semicolon == std::string::npos || semicolon + 1 == name.size()) return name;
    const bool digits = std::all_of(name.begin() + static_cast<std::ptrdiff_t>(semicolon) + 1, name.end(),
                                    [](char c) { return c >= '0' && c <= '9'; });
    return digits ? name.substr(0, semicolon) : name;
}

std::string ColumnText(SQLHSTMT stmt, SQLUSMALLINT column, bool* isNull = nullptr) {
    char buffer[1024] = {};
    SQLLEN indicator = 0;
    OdbcCheck(SQLGetData(stmt, column, SQL_C_CHAR, buffer, sizeof buffer, &indicator), SQL_HANDLE_STMT, stmt,
              "SQLGetData");
    if (isNull) *isNull = indicator == SQL_NULL_DATA;
    return indicator == SQL_NULL_DATA ? std::string() : std::string(buffer);
}

long long ColumnInteger(SQLHSTMT stmt, SQLUSMALLINT column) {
    SQLBIGINT value = 0;
    SQLLEN indicator = 0;
    OdbcCheck(SQLGetData(stmt, column, SQL_C_SBIGINT, &value, sizeof value, &indicator), SQL_HANDLE_STMT, stmt,
              "SQLGetData");
    return indicator == SQL_NULL_DATA ? 0 : static_cast<long long>(value);
}

TParamType DirectionOf(long long columnType) {
    switch (columnType) {
    case SQL_PARAM_INPUT:
        return ptInput;
    case SQL_PARAM_OUTPUT:
        return ptOutput;
    case SQL_PARAM_INPUT_OUTPUT:
        return ptInputOutput;
    case SQL_RETURN_VALUE:
        return ptResult;
    default:
        return ptUnknown;
    }
}

struct TCatalogRow {
    std::string Schema;
    std::string Procedure;
    TDataParameter Parameter;
};

}  // namespace

TProcedureName SplitProcedureName(const std::string& quotedName) {
    const std::vector<std::string> parts = SplitObjectName(quotedName);
    TProcedureName result;
    result.Name = parts.back();
    if (parts.size() >= 2) result.Schema = parts[parts.size() - 2];
    if (parts.size() >= 3) result.Catalog = parts[parts.size() - 3];
    return result;
}

std::string EscapeSearchPattern(const std::string& text, const std::string& escape) {
    if (escape.empty()) return text;
    std::string result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text.compare(i, escape.size(), escape) == 0) {
            result += escape + escape;
            i += escape.size() - 1;
        } else {
            if (text[i] == '_' || text[i] == '%') result += escape;
            result += text[i];
        }
    }
    return result;
}

TProcedureName ProcedureSearchArguments(const std::string& quotedName, const std::string& escape) {
    TProcedureName search = SplitProcedureName(quotedName);
    search.Schema = EscapeSearchPattern(search.Schema, escape);
    search.Name = EscapeSearchPattern(search.Name, escape);
    return search;
}

bool IsSameProcedure(const std::string& rowSchema, const std::string& rowName, const TProcedureName& wanted) {
    if (!SameTextAscii(WithoutGroupNumber(rowName), wanted.Name)) return false;
    return wanted.Schema.empty() || SameTextAscii(rowSchema, wanted.Schema);
}

void TDataStoredProc::RefreshParameters() {
    TDataConnection& connection = Connection();
    const TProcedureName name = SplitProcedureName(FProcedureName);
    if (name.Name.empty()) throw EDataError(QBResource::SDataNoProcedureName);

    SQLCHAR escapeBuffer[16] = {};
    SQLSMALLINT escapeLength = 0;
    std::string escape;
    if (OdbcSucceeded(SQLGetInfo(connection.Handle(), SQL_SEARCH_PATTERN_ESCAPE, escapeBuffer, sizeof escapeBuffer,
                                 &escapeLength)))
        escape = reinterpret_cast<const char*>(escapeBuffer);

    SQLHSTMT rawStmt = SQL_NULL_HANDLE;
    OdbcCheck(SQLAllocHandle(SQL_HANDLE_STMT, connection.Handle(), &rawStmt), SQL_HANDLE_DBC, connection.Handle(),
              "SQLAllocHandle");
    TOdbcStmt stmt(rawStmt);
    TProcedureName search = ProcedureSearchArguments(FProcedureName, escape);
    std::string& catalog = search.Catalog;
    std::string& schema = search.Schema;
    std::string& procedure = search.Name;
    const auto text = [](std::string& value) { return reinterpret_cast<SQLCHAR*>(value.data()); };
    const auto length = [](const std::string& value) { return static_cast<SQLSMALLINT>(value.size()); };
    OdbcCheck(SQLProcedureColumns(stmt.Get(), catalog.empty() ? nullptr : text(catalog), length(catalog),
                                  schema.empty() ? nullptr : text(schema), length(schema), text(procedure),
                                  length(procedure), nullptr, 0),
              SQL_HANDLE_STMT, stmt.Get(), "SQLProcedureColumns");

    std::vector<TCatalogRow> rows;
    for (;;) {
        const SQLRETURN rc = SQLFetch(stmt.Get());
        if (rc == SQL_NO_DATA) break;
        OdbcCheck(rc, SQL_HANDLE_STMT, stmt.Get(), "SQLFetch");
        TCatalogRow row;
        row.Schema = ColumnText(stmt.Get(), 2);
        row.Procedure = ColumnText(stmt.Get(), 3);
        row.Parameter.Name = ColumnText(stmt.Get(), 4);
        const long long columnType = ColumnInteger(stmt.Get(), 5);
        TOdbcColumnType type;
        type.SqlType = static_cast<int>(ColumnInteger(stmt.Get(), 6));
        type.TypeName = ColumnText(stmt.Get(), 7);
        type.Size = ColumnInteger(stmt.Get(), 8);
        type.Scale = static_cast<int>(ColumnInteger(stmt.Get(), 10));
        if (columnType == SQL_RESULT_COL) continue;
        if (!IsSameProcedure(row.Schema, row.Procedure, name)) continue;
        row.Parameter.DataType = MapOdbcType(type);
        row.Parameter.Direction = DirectionOf(columnType);
        row.Parameter.Size = type.Size;
        rows.push_back(std::move(row));
    }

    // Without an owner the name may exist in several schemas: take the default one ("dbo") when
    // present, else the first the catalog listed, never a mixture.
    if (name.Schema.empty() && !rows.empty()) {
        std::string chosen = rows.front().Schema;
        for (const auto& row : rows)
            if (SameTextAscii(row.Schema, "dbo")) chosen = row.Schema;
        rows.erase(std::remove_if(rows.begin(), rows.end(), [&](const TCatalogRow& row) { return row.Schema != chosen; }),
                   rows.end());
    }

    FParameters.Clear();
    for (const auto& row : rows) FParameters.AddCopy(row.Parameter);
}
