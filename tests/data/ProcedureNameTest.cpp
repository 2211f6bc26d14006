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

namespace {

TEST(ProcedureSearchArgumentsTest, SchemaAndNameGoSeparatelyUnquotedAndEscaped) {
    const TProcedureName search = ProcedureSearchArguments("[dbo].[fn_x]", "\\");
    EXPECT_EQ(search.Catalog, "");
    EXPECT_EQ(search.Schema, "dbo");
    EXPECT_EQ(search.Name, "fn\\_x");
    const TProcedureName withCatalog = ProcedureSearchArguments("[sales_db].[my_schema].[p%]", "\\");
    EXPECT_EQ(withCatalog.Catalog, "sales_db");  // the catalog argument is no pattern
    EXPECT_EQ(withCatalog.Schema, "my\\_schema");
    EXPECT_EQ(withCatalog.Name, "p\\%");
}

struct TMatchCase {
    const char* Name;
    const char* RowSchema;
    const char* RowName;
    const char* Wanted;
    bool Same;
};

void PrintTo(const TMatchCase& c, std::ostream* os) { *os << c.Name; }

class IsSameProcedureTest : public testing::TestWithParam<TMatchCase> {};

TEST_P(IsSameProcedureTest, AcceptsOnlyTheNamedProcedure) {
    const auto& c = GetParam();
    EXPECT_EQ(IsSameProcedure(c.RowSchema, c.RowName, SplitProcedureName(c.Wanted)), c.Same);
}

INSTANTIATE_TEST_SUITE_P(Cases, IsSameProcedureTest,
                         testing::Values(TMatchCase{"Exact", "dbo", "fn_x", "dbo.fn_x", true},
                                         TMatchCase{"PatternLookAlike", "dbo", "fnAx", "dbo.fn_x", false},
                                         TMatchCase{"GroupNumber", "dbo", "fn_x;1", "[dbo].[fn_x]", true},
                                         TMatchCase{"LetterCase", "DBO", "FN_X", "dbo.fn_x", true},
                                         TMatchCase{"OtherSchema", "sales", "fn_x", "dbo.fn_x", false},
                                         TMatchCase{"AnySchemaWhenNoneAsked", "sales", "fn_x", "fn_x", true},
                                         TMatchCase{"LongerName", "dbo", "fn_x2", "fn_x", false},
                                         TMatchCase{"SemicolonNotANumber", "dbo", "fn_x;a", "fn_x", false}),
                         [](const auto& info) { return std::string(info.param.Name); });

}  // namespace
