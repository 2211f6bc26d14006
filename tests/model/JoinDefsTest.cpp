// Join definitions: condition text for column and non-column sides, binding and lookup.
#include "ModelTestSupport.h"

#include "toolkit/Exceptions.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

struct SideCase {
    const char* name;
    const char* leftTable;
    const char* leftField;
    TQBFunctionKind leftKind;
    const char* op;
    const char* rightTable;
    const char* rightField;
    TQBFunctionKind rightKind;
    const char* expected;
};

class JoinCondition : public ::testing::TestWithParam<SideCase> {};

TEST_P(JoinCondition, IsWritten) {
    auto parser = MSParser();
    for (const char* n : {"o", "c", "a", "b", "p", "my t"}) AddTable(*parser, n);
    const SideCase& c = GetParam();
    TQBJoinDef* join = parser->GetJoinDefs()->Add();
    join->LeftTable = c.leftTable;
    join->LeftField = c.leftField;
    join->LeftKind = c.leftKind;
    join->Operator = c.op;
    join->RightTable = c.rightTable;
    join->RightField = c.rightField;
    join->RightKind = c.rightKind;
    EXPECT_EQ(join->GetSQL(), c.expected);
    join->Bind();
    EXPECT_EQ(join->GetSQL(), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Model, JoinCondition,
    ::testing::Values(
        SideCase{"empty", "", "", fkField, "=", "", "", fkField, "(=)"},
        SideCase{"columns", "o", "cid", fkField, "=", "c", "id", fkField, "(o.cid=c.id)"},
        SideCase{"columns_needing_quotes", "my t", "order", fkField, "<>", "c", "my col", fkField,
                 "([my t].[order]<>c.[my col])"},
        SideCase{"unqualified_column", "a", "x", fkField, "=", "", "my col", fkField, "(a.x=[my col])"},
        SideCase{"string_literal", "o", "status", fkField, "=", "", "'X'", fkString, "(o.status='X')"},
        SideCase{"number", "o", "n", fkField, ">", "", "5", fkInteger, "(o.n>5)"},
        SideCase{"function_with_table", "o", "d", fkField, "<", "p", "DATEADD(day, 1, p.e)", fkFunction,
                 "(o.d<DATEADD(day, 1, p.e))"},
        SideCase{"expression_on_the_left", "a", "UPPER(a.x)", fkExpression, "=", "b", "y", fkField,
                 "(UPPER(a.x)=b.y)"},
        SideCase{"parameter", "a", "x", fkField, "=", "", ":p", fkParameter, "(a.x=:p)"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(JoinDefs, BoundTableWritesItsCurrentAlias) {
    auto parser = BaseParser();
    TQBTableDef* o = AddTable(*parser, "orders", "o");
    AddTable(*parser, "c");
    TQBJoinDef* join = AddJoin(*parser, "o", "cid", "c", "id");
    o->SetAlias("ord");
    EXPECT_EQ(join->LeftTable, "ord");
    EXPECT_EQ(join->GetSQL(), "(ord.cid=c.id)");
}

TEST(JoinDefs, BindFailsPerSideAndLeavesThatReferenceNull) {
    auto parser = BaseParser();
    AddTable(*parser, "a");
    struct Case { const char* left; const char* right; const char* preferred; const char* message; };
    for (const Case& c : {Case{"x", "a", "a", "DEBUG: Can't bind to left table"},
                          Case{"a", "x", "a", "DEBUG: Can't bind to right table"},
                          Case{"a", "a", "x", "DEBUG: Can't bind to preferred table"}}) {
        TQBJoinDef* join = parser->GetJoinDefs()->Add();
        join->LeftTable = c.left;
        join->RightTable = c.right;
        join->PreferredTable = c.preferred;
        try {
            join->Bind();
            ADD_FAILURE() << c.message;
        } catch (const EQBException& e) {
            EXPECT_STREQ(e.what(), c.message);
        }
        const bool leftFailed = std::string(c.left) == "x";
        EXPECT_EQ(join->LeftTableDef == nullptr, leftFailed);
    }
}

TEST(JoinDefs, FindJoinHonoursDirectionAndIgnoresCase) {
    auto parser = BaseParser();
    AddTable(*parser, "o");
    AddTable(*parser, "c");
    TQBJoinDef* join = AddJoin(*parser, "o", "cid", "c", "id");
    EXPECT_EQ(parser->GetJoinDefs()->FindJoin("O", "CID", "c", "ID"), join);
    EXPECT_EQ(parser->GetJoinDefs()->FindJoin("c", "id", "o", "cid"), nullptr);
    parser->SetCaseSensitiveIdentifiers(true);
    EXPECT_EQ(parser->GetJoinDefs()->FindJoin("O", "CID", "c", "ID"), nullptr);
}

TEST(JoinDefs, AssignCopiesSidesButNotBindings) {
    auto parser = BaseParser();
    AddTable(*parser, "o");
    AddTable(*parser, "c");
    TQBJoinDef* source = AddJoin(*parser, "o", "cid", "c", "'x'", 2);
    source->RightKind = fkString;
    source->Operator = "<>";
    TQBJoinDef* copy = parser->GetJoinDefs()->Add();
    copy->Assign(*source);
    EXPECT_EQ(copy->RightTableDef, nullptr);
    EXPECT_EQ(copy->PreferredTable, "");
    EXPECT_EQ(copy->GetSQL(), "(o.cid<>'x')");
    EXPECT_EQ(copy->JoinType, 2);
}

TEST(JoinDefs, RenamingCarriesTheAliasIntoNonColumnSides) {
    auto parser = MSParser();
    TQBTableDef* a = AddTable(*parser, "alpha", "a");
    AddTable(*parser, "b");
    TQBJoinDef* join = parser->GetJoinDefs()->Add();
    join->LeftTable = "a";
    join->LeftField = "UPPER(a.x) + LEN(aa.y) + 'a.z'";
    join->LeftKind = fkExpression;
    join->RightTable = "b";
    join->RightField = "y";
    join->Bind();
    a->SetAlias("first one");
    EXPECT_EQ(join->GetSQL(), "(UPPER([first one].x) + LEN(aa.y) + 'a.z'=b.y)");
}

}  // namespace
