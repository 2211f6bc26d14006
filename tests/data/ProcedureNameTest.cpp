// Splitting a quoted procedure name and escaping catalog search patterns.
#include "data/DataStoredProc.h"

#include <gtest/gtest.h>

namespace {

struct TSplitCase {
    const char* Name;
    const char* Quoted;
    const char* Catalog;
    const char* Schema;
    const char* Procedure;
};

void PrintTo(const TSplitCase& c, std::ostream* os) { *os << c.Name; }

class SplitProcedureNameTest : public testing::TestWithParam<TSplitCase> {};

TEST_P(SplitProcedureNameTest, GivesUnquotedParts) {
    const auto& c = GetParam();
    const TProcedureName name = SplitProcedureName(c.Quoted);
    EXPECT_EQ(name.Catalog, c.Catalog);
    EXPECT_EQ(name.Schema, c.Schema);
    EXPECT_EQ(name.Name, c.Procedure);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SplitProcedureNameTest,
    testing::Values(TSplitCase{"Bracketed", "[fn_x]", "", "", "fn_x"},
                    TSplitCase{"OwnerAndName", "[dbo].[fn_x]", "", "dbo", "fn_x"},
                    TSplitCase{"Plain", "sales.GetOrders", "", "sales", "GetOrders"},
                    TSplitCase{"DoubleQuoted", "\"sales\".\"Get Orders\"", "", "sales", "Get Orders"},
                    TSplitCase{"DotInsideBrackets", "[a.b].[c.d]", "", "a.b", "c.d"},
                    TSplitCase{"DoubledCloseBracket", "[x]]y]", "", "", "x]y"},
                    TSplitCase{"ThreeParts", "[db].[dbo].[p]", "db", "dbo", "p"},
                    TSplitCase{"Chinese", "[销售].[查询订单]", "", "销售", "查询订单"},
                    TSplitCase{"BlanksAroundDot", "[dbo] . [p]", "", "dbo", "p"}),
    [](const auto& info) { return std::string(info.param.Name); });

struct TEscapeCase {
    const char* Name;
    const char* Text;
    const char* Escape;
    const char* Expected;
};

void PrintTo(const TEscapeCase& c, std::ostream* os) { *os << c.Name; }

class EscapeSearchPatternTest : public testing::TestWithParam<TEscapeCase> {};

TEST_P(EscapeSearchPatternTest, EscapesPatternCharacters) {
    const auto& c = GetParam();
    EXPECT_EQ(EscapeSearchPattern(c.Text, c.Escape), c.Expected);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, EscapeSearchPatternTest,
    testing::Values(TEscapeCase{"Underscore", "fn_x", "\\", "fn\\_x"},
                    TEscapeCase{"Percent", "a%b", "\\", "a\\%b"},
                    TEscapeCase{"EscapeItself", "a\\b", "\\", "a\\\\b"},
                    TEscapeCase{"Nothing", "GetOrders", "\\", "GetOrders"},
                    TEscapeCase{"NoEscapeAvailable", "fn_x", "", "fn_x"},
                    TEscapeCase{"All", "_%_", "\\", "\\_\\%\\_"}),
    [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
