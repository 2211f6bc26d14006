// Expression nodes and select-list fields: SQL, alias rules and select-order bookkeeping.
#include "ModelTestSupport.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

struct NodeCase {
    const char* name;
    std::function<std::string(TQBSelectParser&)> build;
    const char* expected;
};

class NodeSQL : public ::testing::TestWithParam<NodeCase> {};

TEST_P(NodeSQL, IsWrittenByKind) {
    auto parser = MSParser();
    EXPECT_EQ(GetParam().build(*parser), GetParam().expected);
}

std::string CountStar(TQBSelectParser& P, TQBFormatMode Mode) {
    P.GetScriptFormat().FunctionsFormat = Mode;
    TQBFieldDef* count = AddField(*AddTable(P, ""), "COUNT", fkFunction, "n");
    TQBFunctionDef* star = count->Arguments().Add();
    star->Name = "*";
    star->Kind = fkField;
    return count->GetSQL();
}

INSTANTIATE_TEST_SUITE_P(
    Model, NodeSQL,
    ::testing::Values(
        NodeCase{"call_without_arguments",
                 [](TQBSelectParser& P) {
                     TQBFunctionDef* node = AddTable(P, "")->Fields().Add();
                     node->Name = "COUNT";
                     node->Kind = fkFunction;
                     return node->GetSQL();
                 },
                 "COUNT()"},
        NodeCase{"count_star_in_blank_table", [](TQBSelectParser& P) { return CountStar(P, qfmAsIs); }, "COUNT(*) AS n"},
        NodeCase{"count_star_lower_case", [](TQBSelectParser& P) { return CountStar(P, qfmLowerCase); }, "count(*) AS n"},
        NodeCase{"argument_qualified_by_its_table",
                 [](TQBSelectParser& P) {
                     TQBFieldDef* sum = AddField(*AddTable(P, "orders", "o"), "SUM", fkFunction, "total");
                     TQBFunctionDef* arg = sum->Arguments().Add();
                     arg->Name = "price";
                     arg->Kind = fkField;
                     return sum->GetSQL();
                 },
                 "SUM(o.price) AS total"},
        NodeCase{"column_of_blank_table_is_unqualified",
                 [](TQBSelectParser& P) { return AddField(*AddTable(P, ""), "my col")->GetSQL(); }, "[my col]"},
        NodeCase{"column_qualified_by_quoted_table_name",
                 [](TQBSelectParser& P) { return AddField(*AddTable(P, "Order Details"), "qty")->GetSQL(); },
                 "[Order Details].qty"},
        NodeCase{"star_is_never_quoted",
                 [](TQBSelectParser& P) { return AddField(*AddTable(P, "t"), "*")->GetSQL(); }, "t.*"},
        NodeCase{"parameter_gets_colon",
                 [](TQBSelectParser&) {
                     TQBFunctionDef node;
                     node.Name = "p1";
                     node.Kind = fkParameter;
                     return node.GetSQL();
                 },
                 ":p1"},
        NodeCase{"alias_equal_to_name_writes_no_as",
                 [](TQBSelectParser& P) { return AddField(*AddTable(P, "t"), "price", fkField, "price")->GetSQL(); },
                 "t.price"},
        NodeCase{"alias_differing_in_case_writes_as",
                 [](TQBSelectParser& P) { return AddField(*AddTable(P, "t"), "price", fkField, "Price")->GetSQL(); },
                 "t.price AS Price"},
        NodeCase{"string_through_scanner",
                 [](TQBSelectParser& P) { return AddField(*AddTable(P, ""), "it's", fkString, "s")->GetSQL(); },
                 "'it''s' AS s"},
        NodeCase{"alias_quoted_where_needed",
                 [](TQBSelectParser& P) { return AddField(*AddTable(P, "t", "my t"), "a", fkField, "the a")->GetSQL(); },
                 "[my t].a AS [the a]"},
        NodeCase{"alias_qualifier_unquoted_in_base_dialect",
                 [](TQBSelectParser&) {
                     auto base = BaseParser();
                     return AddField(*AddTable(*base, "t", "my t"), "a", fkField, "the a")->GetSQL();
                 },
                 "my t.a AS the a"}),
    [](const auto& info) { return std::string(info.param.name); });

struct StringCase {
    const char* text;
    const char* expected;
};

class StringWithoutParser : public ::testing::TestWithParam<StringCase> {};

TEST_P(StringWithoutParser, IsQuotedOnlyWhenNotAlreadyQuoted) {
    TQBFunctionDef node;
    node.Name = GetParam().text;
    node.Kind = fkString;
    EXPECT_EQ(node.GetSQL(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Model, StringWithoutParser,
                         ::testing::Values(StringCase{"it's", "'it''s'"}, StringCase{"'x'", "'x'"},
                                           StringCase{"\"x\"", "\"x\""}, StringCase{"'", "''''"},
                                           StringCase{"", "''"}, StringCase{"'x\"", "'''x\"'"}));

TEST(FieldDefs, ComputedKindsGetNumberedAliasesPlainColumnsDoNot) {
    auto parser = BaseParser();
    TQBTableDef* blank = AddTable(*parser, "");
    EXPECT_EQ(AddField(*blank, "SUM", fkFunction)->Alias, "FIELD_1");
    EXPECT_EQ(AddField(*blank, "1 + 2", fkInteger)->Alias, "FIELD_2");
    EXPECT_EQ(AddField(*blank, "a", fkField)->Alias, "");
    EXPECT_EQ(AddField(*blank, "x", fkExpression, "mine")->Alias, "mine");
    // An alias equal to the name is no alias of its own.
    EXPECT_EQ(AddField(*blank, "y", fkExpression, "y")->Alias, "FIELD_3");
    blank->Fields().Items(0)->Alias = "FIELD_4";
    EXPECT_EQ(parser->GetTableDefs()->MakeUniqueAlias("FIELD_", true), "FIELD_1");
    EXPECT_EQ(parser->GetTableDefs()->MakeUniqueAlias("a", false), "a");
    EXPECT_EQ(parser->GetTableDefs()->MakeUniqueAlias("mine", false), "mine1");
    TQBFieldDef free;
    EXPECT_EQ(free.MakeUniqueAlias("FIELD_", true), "FIELD_1");
    EXPECT_EQ(free.MakeUniqueAlias("FIELD_", false), "FIELD_");
}

TEST(FieldDefs, DuplicateAliasesAreFixedAfterAnUpdate) {
    auto parser = BaseParser();
    TQBTableDefs& tables = *parser->GetTableDefs();
    tables.BeginUpdate();
    TQBTableDef* o = AddTable(*parser, "o");
    AddField(*o, "a", fkField, "b");
    TQBFieldDef* b = AddField(*o, "b");
    tables.EndUpdate();
    EXPECT_EQ(b->Alias, "b1");
}

TEST(FieldDefs, AssignCopiesEverythingButTheSelectIndex) {
    auto parser = BaseParser();
    TQBTableDef* t = AddTable(*parser, "t");
    TQBFieldDef* source = AddField(*t, "SUM", fkFunction, "total");
    source->Arguments().Add()->Name = "x";
    source->ParamType = ptInput;
    source->DataType = ftInteger;
    source->Value = TVariant(5);
    source->OuterJoinMark = true;
    TQBFieldDef* copy = AddField(*t, "");
    copy->Assign(*source);
    EXPECT_EQ(copy->SelectIndex, 1);
    EXPECT_EQ(copy->Alias, "total");
    EXPECT_EQ(copy->Arguments().Count(), 1);
    EXPECT_EQ(copy->Value, TVariant(5));
    EXPECT_TRUE(copy->OuterJoinMark);
    copy->Clear();
    EXPECT_EQ(copy->Name + copy->Alias, "");
    EXPECT_EQ(copy->Kind, fkUnknown);
    EXPECT_EQ(copy->Arguments().Count(), 0);
}

struct OrderCase {
    const char* name;
    std::function<void(TQBSelectParser&)> edit;
    const char* expected;  // select indices by table and list order
};

class SelectOrder : public ::testing::TestWithParam<OrderCase> {};

// Tables o (a, b) and c (x, y) selected in the order a x b y.
TEST_P(SelectOrder, StaysContiguous) {
    auto parser = BaseParser();
    TQBTableDef* o = AddTable(*parser, "o");
    TQBTableDef* c = AddTable(*parser, "c");
    AddField(*o, "a");
    AddField(*c, "x");
    AddField(*o, "b");
    AddField(*c, "y");
    ASSERT_EQ(SelectIndices(*parser->GetTableDefs()), "a=0 b=2 x=1 y=3");
    GetParam().edit(*parser);
    EXPECT_EQ(SelectIndices(*parser->GetTableDefs()), GetParam().expected);
}

TQBFieldDef* Field(TQBSelectParser& P, int Table, int Index) {
    return P.GetTableDefs()->Items(Table)->Fields().Items(Index);
}

INSTANTIATE_TEST_SUITE_P(
    Model, SelectOrder,
    ::testing::Values(
        OrderCase{"move_last_to_front", [](TQBSelectParser& P) { Field(P, 1, 1)->SetSelectIndex(0); }, "a=1 b=3 x=2 y=0"},
        OrderCase{"move_first_to_back", [](TQBSelectParser& P) { Field(P, 0, 0)->SetSelectIndex(3); }, "a=3 b=1 x=0 y=2"},
        OrderCase{"move_out_of_range_ignored", [](TQBSelectParser& P) { Field(P, 0, 0)->SetSelectIndex(4); }, "a=0 b=2 x=1 y=3"},
        OrderCase{"move_negative_ignored", [](TQBSelectParser& P) { Field(P, 0, 0)->SetSelectIndex(-1); }, "a=0 b=2 x=1 y=3"},
        OrderCase{"delete_first_selected", [](TQBSelectParser& P) { P.GetTableDefs()->Items(0)->Fields().Delete(0); }, "b=1 x=0 y=2"},
        OrderCase{"delete_last_selected", [](TQBSelectParser& P) { P.GetTableDefs()->Items(1)->Fields().Delete(1); }, "a=0 b=2 x=1"},
        OrderCase{"insert_appends_to_select_list",
                  [](TQBSelectParser& P) { P.GetTableDefs()->Items(0)->Fields().Insert(0)->Name = "n"; }, "n=4 a=0 b=2 x=1 y=3"},
        OrderCase{"delete_table_renumbers",
                  [](TQBSelectParser& P) { P.GetTableDefs()->Delete(0); }, "x=0 y=1"},
        OrderCase{"adopt_moves_blank_columns_in_place",
                  [](TQBSelectParser& P) {
                      TQBTableDef* blank = AddTable(P, "");
                      AddField(*blank, "k");
                      AddField(*blank, "LEN(k)", fkExpression);
                      Field(P, 2, 0)->SetSelectIndex(1);  // k right after a
                      P.GetTableDefs()->Items(1)->AdoptQueryFields([](const std::string& n) { return n == "k"; });
                  },
                  "a=0 b=3 k=1 x=2 y=4 LEN(k)=5"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FieldDefs, FieldsOutsideTheTableCollectionUseTheirListIndex) {
    TQBFieldDefs fields(nullptr);
    TQBFieldDef* a = fields.Add();
    TQBFieldDef* b = fields.Add();
    TQBFieldDef* c = fields.Add();
    EXPECT_EQ(c->SelectIndex, 2);
    c->SetSelectIndex(0);
    EXPECT_EQ(c->SelectIndex, 2);
    fields.Delete(0);
    EXPECT_EQ(b->SelectIndex, 0);
    EXPECT_EQ(c->SelectIndex, 1);
    (void)a;
}

TEST(FieldDefs, DestroyingAFieldDropsTheOrderItemOfItsAlias) {
    auto parser = BaseParser();
    TQBTableDef* t = AddTable(*parser, "t");
    AddField(*t, "SUM", fkFunction, "Total");
    parser->GetOrderByItems()->AddItem("x", 0);
    parser->GetOrderByItems()->AddItem("TOTAL", 1);
    parser->GetOrderByItems()->AddItem("y", 1);
    t->Fields().Delete(0);
    ASSERT_EQ(parser->GetOrderByItems()->Count(), 2);
    EXPECT_EQ(parser->GetOrderByItems()->Get(1), "y");
    EXPECT_EQ(parser->GetOrderByItems()->GetDirection(1), 1);
}

TEST(FieldDefs, AdoptingAnAliasedColumnKeepsItsOrderItem) {
    auto parser = BaseParser();
    TQBTableDef* t = AddTable(*parser, "t");
    AddField(*AddTable(*parser, ""), "a", fkField, "x");
    parser->GetOrderByItems()->Add("x");
    t->AdoptQueryFields([](const std::string&) { return true; });
    ASSERT_EQ(t->Fields().Count(), 1);
    EXPECT_EQ(t->Fields().Items(0)->Alias, "x");
    EXPECT_EQ(parser->GetOrderByItems()->Count(), 1);
}

TEST(FieldDefs, InputParametersAreNotSelected) {
    auto parser = BaseParser();
    TQBTableDef* proc = AddTable(*parser, "proc1");
    proc->IsProcedure = true;
    AddField(*proc, "p")->ParamType = ptInput;
    AddField(*proc, "q")->ParamType = ptInputOutput;
    EXPECT_EQ(proc->Fields().GetSQL(), "");
    AddField(*proc, "r");
    EXPECT_EQ(proc->Fields().GetSQL(), "  proc1.r");
}

}  // namespace
