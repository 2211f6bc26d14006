// The mapping of driver column types to field data type codes: the cases where the driver's
// code alone does not decide.
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
        TTypeCase{"WideVarchar", {SQL_WVARCHAR, "nvarchar", 40, 0, false}, ftWideString},
        TTypeCase{"NvarcharReportedAsVarchar", {SQL_VARCHAR, "NVARCHAR", 40, 0, false}, ftWideString},
        TTypeCase{"Decimal", {SQL_DECIMAL, "decimal", 10, 2, false}, ftBCD},
        TTypeCase{"WideDecimal", {SQL_NUMERIC, "numeric", 38, 4, false}, ftFMTBcd},
        TTypeCase{"DecimalReportedAsVarchar", {SQL_VARCHAR, "DECIMAL", 10, 0, false}, ftBCD},
        TTypeCase{"Money", {SQL_DECIMAL, "money", 19, 4, false}, ftCurrency},
        TTypeCase{"SQLiteBlobReportedAsBinary", {SQL_BINARY, "BLOB", 255, 0, false}, ftBlob},
        TTypeCase{"Image", {SQL_LONGVARBINARY, "image", 0, 0, false}, ftGraphic},
        TTypeCase{"Unknown", {12345, "whatever", 0, 0, false}, ftUnknown}),
    [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
