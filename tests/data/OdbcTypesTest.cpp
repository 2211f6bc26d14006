// The mapping of driver column types to field data type codes.
#include "data/OdbcTypes.h"

#include <gtest/gtest.h>

#include <sql.h>
#include <sqlext.h>
#include <sqlucode.h>

namespace {

struct TTypeCase {
    const char* Name;
    TOdbcColumnType Type;
    TFieldType Expected;
};

void PrintTo(const TTypeCase& c, std::ostream* os) { *os << c.Name; }

class MapOdbcTypeTest : public testing::TestWithParam<TTypeCase> {};

TEST_P(MapOdbcTypeTest, GivesTheFieldType) {
    EXPECT_EQ(static_cast<int>(MapOdbcType(GetParam().Type)), static_cast<int>(GetParam().Expected));
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MapOdbcTypeTest,
    testing::Values(
        TTypeCase{"Integer", {SQL_INTEGER, "int", 10, 0, false}, ftInteger},
        TTypeCase{"Identity", {SQL_INTEGER, "int identity", 10, 0, true}, ftAutoInc},
        TTypeCase{"SmallInt", {SQL_SMALLINT, "smallint", 5, 0, false}, ftSmallint},
        TTypeCase{"TinyInt", {SQL_TINYINT, "tinyint", 3, 0, false}, ftWord},
        TTypeCase{"BigInt", {SQL_BIGINT, "bigint", 19, 0, false}, ftLargeint},
        TTypeCase{"Bit", {SQL_BIT, "bit", 1, 0, false}, ftBoolean},
        TTypeCase{"Varchar", {SQL_VARCHAR, "varchar", 20, 0, false}, ftString},
        TTypeCase{"Char", {SQL_CHAR, "char", 5, 0, false}, ftFixedChar},
        TTypeCase{"WideVarchar", {SQL_WVARCHAR, "nvarchar", 40, 0, false}, ftWideString},
        TTypeCase{"NvarcharReportedAsVarchar", {SQL_VARCHAR, "NVARCHAR", 40, 0, false}, ftWideString},
        TTypeCase{"Text", {SQL_LONGVARCHAR, "text", 65536, 0, false}, ftMemo},
        TTypeCase{"WideText", {SQL_WLONGVARCHAR, "ntext", 0, 0, false}, ftMemo},
        TTypeCase{"Double", {SQL_DOUBLE, "real", 15, 0, false}, ftFloat},
        TTypeCase{"Real", {SQL_REAL, "real", 7, 0, false}, ftFloat},
        TTypeCase{"Decimal", {SQL_DECIMAL, "decimal", 10, 2, false}, ftBCD},
        TTypeCase{"WideDecimal", {SQL_NUMERIC, "numeric", 38, 4, false}, ftFMTBcd},
        TTypeCase{"DecimalReportedAsVarchar", {SQL_VARCHAR, "DECIMAL", 10, 0, false}, ftBCD},
        TTypeCase{"Money", {SQL_DECIMAL, "money", 19, 4, false}, ftCurrency},
        TTypeCase{"Date", {SQL_TYPE_DATE, "date", 10, 0, false}, ftDate},
        TTypeCase{"Time", {SQL_TYPE_TIME, "time", 8, 0, false}, ftTime},
        TTypeCase{"DateTime", {SQL_TYPE_TIMESTAMP, "datetime", 23, 3, false}, ftDateTime},
        TTypeCase{"Binary", {SQL_BINARY, "binary", 8, 0, false}, ftBytes},
        TTypeCase{"VarBinary", {SQL_VARBINARY, "varbinary", 8, 0, false}, ftVarBytes},
        TTypeCase{"LongVarBinary", {SQL_LONGVARBINARY, "varbinary(max)", 0, 0, false}, ftBlob},
        TTypeCase{"SQLiteBlobReportedAsBinary", {SQL_BINARY, "BLOB", 255, 0, false}, ftBlob},
        TTypeCase{"Image", {SQL_LONGVARBINARY, "image", 0, 0, false}, ftGraphic},
        TTypeCase{"Guid", {SQL_GUID, "uniqueidentifier", 36, 0, false}, ftGuid},
        TTypeCase{"SqlVariant", {-150, "sql_variant", 0, 0, false}, ftVariant},
        TTypeCase{"Unknown", {12345, "whatever", 0, 0, false}, ftUnknown}),
    [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
