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

std::string Utf16ToUtf8(const std::u16string& text) {
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t code = text[i];
        if (code >= 0xD800 && code <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            code = 0x10000 + ((code - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (code >= 0xD800 && code <= 0xDFFF) {
            code = 0xFFFD;  // a lone surrogate cannot be written as UTF-8
        }
        if (code < 0x80) {
            result += static_cast<char>(code);
        } else if (code < 0x800) {
            result += static_cast<char>(0xC0 | (code >> 6));
            result += static_cast<char>(0x80 | (code & 0x3F));
        } else if (code < 0x10000) {
            result += static_cast<char>(0xE0 | (code >> 12));
            result += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            result += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            result += static_cast<char>(0xF0 | (code >> 18));
            result += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
            result += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            result += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return result;
}

std::string SQLiteCommandText(const std::string& text) {
    const std::string command = NormaliseCommand(text);
    if (command == "exec sp_help" || command == "execute sp_help" || command == "sp_help" ||
        command == "exec dbo.sp_help")
        return SQLiteObjectList;
    return text;
}

class TDataQuery::TExecuting {
public:
    TExecuting(TDataQuery& query, SQLHSTMT stmt) : FQuery(query) {
        const std::lock_guard lock(FQuery.FExecutingLock);
        FQuery.FExecuting = stmt;
    }
    ~TExecuting() {
        const std::lock_guard lock(FQuery.FExecutingLock);
        FQuery.FExecuting = SQL_NULL_HANDLE;
    }
    TExecuting(const TExecuting&) = delete;
    TExecuting& operator=(const TExecuting&) = delete;

private:
    TDataQuery& FQuery;
};

TDataQuery::~TDataQuery() { Close(); }

void TDataQuery::Cancel() {
    // The handle cannot be freed while the lock is held: DoOpen clears the mark first.
    const std::lock_guard lock(FExecutingLock);
    if (FExecuting != SQL_NULL_HANDLE) SQLCancel(FExecuting);
}

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
    const TExecuting executing(*this, stmt.Get());
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
    std::vector<bool> wide;
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
        wide.push_back(sqlType == SQL_WCHAR || sqlType == SQL_WVARCHAR || sqlType == SQL_WLONGVARCHAR);
    }
    FStmt = std::move(stmt);
    FColumns = columns;
    FWide = std::move(wide);
    return fields;
}

bool TDataQuery::DoFetch(TDataValues& row) {
    const SQLRETURN rc = SQLFetch(FStmt.Get());
    if (rc == SQL_NO_DATA) {
        // Everything is read: give the statement back to the driver early.
        FStmt.Reset();
        return false;
    }
    OdbcCheck(rc, SQL_HANDLE_STMT, FStmt.Get(), "SQLFetch");
    for (int column = 0; column < FColumns; ++column) {
        TDataValue& value = row[static_cast<std::size_t>(column)];
        value.Text.clear();
        value.Null = false;
        const auto number = static_cast<SQLUSMALLINT>(column + 1);
        if (FWide[static_cast<std::size_t>(column)])
            ReadWideChars(number, value);
        else
            ReadChars(number, value);
    }
    return true;
}

void TDataQuery::ReadChars(SQLUSMALLINT column, TDataValue& value) {
    if (FBuffer.empty()) FBuffer.resize(4096);
    // Long values arrive in pieces; each piece but the last fills the buffer.
    for (;;) {
        SQLLEN indicator = 0;
        const SQLRETURN got = SQLGetData(FStmt.Get(), column, SQL_C_CHAR, FBuffer.data(),
                                         static_cast<SQLLEN>(FBuffer.size()), &indicator);
        if (got == SQL_NO_DATA) return;
        OdbcCheck(got, SQL_HANDLE_STMT, FStmt.Get(), "SQLGetData");
        if (indicator == SQL_NULL_DATA) {
            value.Null = true;
            return;
        }
        const auto capacity = FBuffer.size() - 1;
        const bool truncated = indicator == SQL_NO_TOTAL || static_cast<std::size_t>(indicator) > capacity;
        if (got == SQL_SUCCESS_WITH_INFO && truncated) {
            value.Text.append(FBuffer.data(), capacity);
            continue;
        }
        value.Text.append(FBuffer.data(), static_cast<std::size_t>(indicator));
        return;
    }
}

void TDataQuery::ReadWideChars(SQLUSMALLINT column, TDataValue& value) {
    if (FWideBuffer.empty()) FWideBuffer.resize(2048);
    FWideText.clear();
    const std::size_t unit = sizeof(SQLWCHAR);
    for (;;) {
        SQLLEN indicator = 0;
        const SQLRETURN got = SQLGetData(FStmt.Get(), column, SQL_C_WCHAR, FWideBuffer.data(),
                                         static_cast<SQLLEN>(FWideBuffer.size() * unit), &indicator);
        if (got == SQL_NO_DATA) break;
        OdbcCheck(got, SQL_HANDLE_STMT, FStmt.Get(), "SQLGetData");
        if (indicator == SQL_NULL_DATA) {
            value.Null = true;
            return;
        }
        const auto capacity = FWideBuffer.size() - 1;
        const bool truncated = indicator == SQL_NO_TOTAL || static_cast<std::size_t>(indicator) / unit > capacity;
        const std::size_t count = truncated ? capacity : static_cast<std::size_t>(indicator) / unit;
        for (std::size_t i = 0; i < count; ++i) FWideText += static_cast<char16_t>(FWideBuffer[i]);
        if (!(got == SQL_SUCCESS_WITH_INFO && truncated)) break;
    }
    value.Text = Utf16ToUtf8(FWideText);
}

void TDataQuery::DoClose() noexcept {
    if (FStmt) SQLCloseCursor(FStmt.Get());
    FStmt.Reset();
    FColumns = 0;
}
