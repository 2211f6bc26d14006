// SQL type -> field type code. The table follows what an ADO client would report for the same
// SQL Server column, so diagrams look the same whichever layer read them:
//   CHAR, WCHAR                     -> ftFixedChar      VARCHAR          -> ftString
//   WVARCHAR                        -> ftWideString     LONGVARCHAR, WLONGVARCHAR, xml -> ftMemo
//   BIT                             -> ftBoolean        TINYINT          -> ftWord
//   SMALLINT                        -> ftSmallint       INTEGER          -> ftInteger (ftAutoInc for identity)
//   BIGINT                          -> ftLargeint       REAL, FLOAT, DOUBLE -> ftFloat
//   DECIMAL, NUMERIC (<= 18 digits) -> ftBCD            wider            -> ftFMTBcd
//   "money", "smallmoney"           -> ftCurrency
//   DATE -> ftDate    TIME, time2 -> ftTime    TIMESTAMP, datetimeoffset -> ftDateTime
//   BINARY -> ftBytes    VARBINARY -> ftVarBytes    LONGVARBINARY -> ftBlob ("image" -> ftGraphic)
//   GUID -> ftGuid    sql_variant -> ftVariant
// Drivers that report declared types loosely (SQLite: DECIMAL as VARCHAR, BLOB as BINARY) still
// give the declared name, which decides for "decimal"/"numeric", "blob" and "nvarchar"/"nchar".
#include "data/OdbcTypes.h"

#include <sql.h>
#include <sqlext.h>
#include <sqlucode.h>

#include <algorithm>

namespace {

// SQL Server specific codes (from the Microsoft driver's header, not in unixODBC's).
constexpr int SqlSsVariant = -150;
constexpr int SqlSsXml = -152;
constexpr int SqlSsTime2 = -154;
constexpr int SqlSsTimestampOffset = -155;

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return text;
}

bool StartsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

}  // namespace

TFieldType MapOdbcType(const TOdbcColumnType& type) {
    const std::string name = Lower(type.TypeName);
    if (name == "money" || name == "smallmoney") return ftCurrency;
    if (name == "image") return ftGraphic;
    if (StartsWith(name, "decimal") || StartsWith(name, "numeric"))
        return type.Size > 18 ? ftFMTBcd : ftBCD;
    if (name == "blob") return ftBlob;
    switch (type.SqlType) {
    case SQL_CHAR:
        return ftFixedChar;
    case SQL_WCHAR:
        return ftFixedChar;
    case SQL_VARCHAR:
        if (StartsWith(name, "nvarchar") || StartsWith(name, "national")) return ftWideString;
        if (StartsWith(name, "nchar")) return ftFixedChar;
        return ftString;
    case SQL_WVARCHAR:
        return ftWideString;
    case SQL_LONGVARCHAR:
    case SQL_WLONGVARCHAR:
    case SqlSsXml:
        return ftMemo;
    case SQL_BIT:
        return ftBoolean;
    case SQL_TINYINT:
        return ftWord;
    case SQL_SMALLINT:
        return ftSmallint;
    case SQL_INTEGER:
        return type.AutoIncrement ? ftAutoInc : ftInteger;
    case SQL_BIGINT:
        return ftLargeint;
    case SQL_REAL:
    case SQL_FLOAT:
    case SQL_DOUBLE:
        return ftFloat;
    case SQL_DECIMAL:
    case SQL_NUMERIC:
        return type.Size > 18 ? ftFMTBcd : ftBCD;
    case SQL_TYPE_DATE:
    case SQL_DATE:
        return ftDate;
    case SQL_TYPE_TIME:
    case SQL_TIME:
    case SqlSsTime2:
        return ftTime;
    case SQL_TYPE_TIMESTAMP:
    case SQL_TIMESTAMP:
    case SqlSsTimestampOffset:
        return ftDateTime;
    case SQL_BINARY:
        return ftBytes;
    case SQL_VARBINARY:
        return ftVarBytes;
    case SQL_LONGVARBINARY:
        return ftBlob;
    case SQL_GUID:
        return ftGuid;
    case SqlSsVariant:
        return ftVariant;
    default:
        return ftUnknown;
    }
}
