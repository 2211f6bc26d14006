// Executing a query through ODBC and reading its rows one at a time as text.
#include "data/DataQuery.h"

#include "data/DataError.h"
#include "data/OdbcTypes.h"
#include "resources/QBResource.h"

#include <algorithm>
#include <cstring>

namespace {

// The object list in sp_help's leading columns. sqlite_master is not listed in itself, so it is
// added as the system table it is.
constexpr const char* SQLiteObjectList =
    "SELECT name AS Name, '' AS Owner, "
    "CASE WHEN type = 'view' THEN 'view' "
    "WHEN name LIKE 'sqlite\\_%' ESCAPE '\\' THEN 'system table' ELSE 'user table' END AS Object_type "
    "FROM sqlite_master WHERE type IN ('table', 'view') "
    "UNION ALL SELECT 'sqlite_master', '', 'system table' "
    "ORDER BY 3, 1";

std::string NormaliseCommand(const std::string& text) {
    std::string words;
    bool blank = false;
    for (const char c : text) {
        if (c == ' ' || c == '\t' || c == '\r' || c == '\n') {
            blank = !words.empty();
            continue;
        }
        if (blank) words += ' ';
        blank = false;
        words += c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
    }
    while (!words.empty() && (words.back() == ';' || words.back() == ' ')) words.pop_back();
    return words;
}

}  // namespace

std::string SQLiteCommandText(const std::string& text) {
    const std::string command = NormaliseCommand(text);
    if (command == "exec sp_help" || command == "execute sp_help" || command == "sp_help" ||
        command == "exec dbo.sp_help")
        return SQLiteObjectList;
    return text;
}

TDataQuery::~TDataQuery() { Close(); }

void TDataQuery::SetSQL(const std::string& text) {
    Close();
    FSQL = text;
}

std::vector<TDataFieldDef> TDataQuery::DoOpen() {
    TDataConnection& connection = Connection();
    if (NormaliseCommand(FSQL).empty()) throw EDataError(QBResource::SDataEmptyCommand);
    SQLHSTMT rawStmt = SQL_NULL_HANDLE;
    OdbcCheck(SQLAllocHandle(SQL_HANDLE_STMT, connection.Handle(), &rawStmt), SQL_HANDLE_DBC,
              connection.Handle(), "SQLAllocHandle");
    TOdbcStmt stmt(rawStmt);
    std::string text = connection.IsSQLite() ? SQLiteCommandText(FSQL) : FSQL;
    OdbcCheck(SQLExecDirect(stmt.Get(), reinterpret_cast<SQLCHAR*>(text.data()), static_cast<SQLINTEGER>(text.size())),
              SQL_HANDLE_STMT, stmt.Get(), "SQLExecDirect");

    // A batch may report row counts before its first result set (SQL Server procedures do).
    SQLSMALLINT columns = 0;
    for (;;) {
        OdbcCheck(SQLNumResultCols(stmt.Get(), &columns), SQL_HANDLE_STMT, stmt.Get(), "SQLNumResultCols");
        if (columns > 0) break;
        const SQLRETURN rc = SQLMoreResults(stmt.Get());
        if (rc == SQL_NO_DATA) throw EDataError(QBResource::SDataNoResultSet);
        OdbcCheck(rc, SQL_HANDLE_STMT, stmt.Get(), "SQLMoreResults");
    }

    std::vector<TDataFieldDef> fields;
    for (SQLUSMALLINT column = 1; column <= static_cast<SQLUSMALLINT>(columns); ++column) {
        SQLCHAR name[1024] = {};
        SQLSMALLINT nameLength = 0, sqlType = 0, digits = 0, nullable = 0;
        SQLULEN size = 0;
        OdbcCheck(SQLDescribeCol(stmt.Get(), column, name, sizeof name, &nameLength, &sqlType, &size, &digits,
                                 &nullable),
                  SQL_HANDLE_STMT, stmt.Get(), "SQLDescribeCol");
        SQLCHAR typeName[256] = {};
        SQLSMALLINT typeNameLength = 0;
        SQLColAttribute(stmt.Get(), column, SQL_DESC_TYPE_NAME, typeName, sizeof typeName, &typeNameLength, nullptr);
        SQLLEN autoIncrement = SQL_FALSE;
        SQLColAttribute(stmt.Get(), column, SQL_DESC_AUTO_UNIQUE_VALUE, nullptr, 0, nullptr, &autoIncrement);

        TOdbcColumnType type;
        type.SqlType = sqlType;
        type.TypeName = reinterpret_cast<const char*>(typeName);
        type.Size = static_cast<long long>(size);
        type.Scale = digits;
        type.AutoIncrement = autoIncrement == SQL_TRUE;
        fields.push_back({reinterpret_cast<const char*>(name), MapOdbcType(type), type.Size, type.TypeName});
    }
    FStmt = std::move(stmt);
    FColumns = columns;
    return fields;
}

bool TDataQuery::DoFetch(TDataRow& row) {
    const SQLRETURN rc = SQLFetch(FStmt.Get());
    if (rc == SQL_NO_DATA) {
        // Everything is read: give the statement back to the driver early.
        FStmt.Reset();
        return false;
    }
    OdbcCheck(rc, SQL_HANDLE_STMT, FStmt.Get(), "SQLFetch");
    if (FBuffer.empty()) FBuffer.resize(4096);
    for (int column = 0; column < FColumns; ++column) {
        TDataValue& value = row[static_cast<std::size_t>(column)];
        value.Text.clear();
        value.Null = false;
        // Long values arrive in pieces; each piece but the last fills the buffer.
        for (;;) {
            SQLLEN indicator = 0;
            const SQLRETURN got = SQLGetData(FStmt.Get(), static_cast<SQLUSMALLINT>(column + 1), SQL_C_CHAR,
                                             FBuffer.data(), static_cast<SQLLEN>(FBuffer.size()), &indicator);
            if (got == SQL_NO_DATA) break;
            OdbcCheck(got, SQL_HANDLE_STMT, FStmt.Get(), "SQLGetData");
            if (indicator == SQL_NULL_DATA) {
                value.Null = true;
                break;
            }
            const auto capacity = FBuffer.size() - 1;
            const bool truncated = indicator == SQL_NO_TOTAL || static_cast<std::size_t>(indicator) > capacity;
            if (got == SQL_SUCCESS_WITH_INFO && truncated) {
                value.Text.append(FBuffer.data(), capacity);
                continue;
            }
            value.Text.append(FBuffer.data(), static_cast<std::size_t>(indicator));
            break;
        }
    }
    return true;
}

void TDataQuery::DoClose() noexcept {
    if (FStmt) SQLCloseCursor(FStmt.Get());
    FStmt.Reset();
    FColumns = 0;
}
