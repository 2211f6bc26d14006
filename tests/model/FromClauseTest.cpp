// The select list and FROM clause written by the table collection: groups, chains, join
// keywords, one-table conditions and the failure when no join order exists.
#include "ModelTestSupport.h"

#include "toolkit/Exceptions.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

struct FromCase {
    const char* name;
    std::function<void(TQBSelectParser&)> build;
    const char* expected;
};

class FromClause : public ::testing::TestWithParam<FromCase> {};

TEST_P(FromClause, IsWritten) {
    auto parser = BaseParser();
    GetParam().build(*parser);
    EXPECT_EQ(parser->GetTableDefs()->GetSQL(), GetParam().expected);
}

// A join whose right side is a value or expression; Own is its table, Partner the table
// it is remembered with.
TQBJoinDef* AddValueJoin(TQBSelectParser& P, const std::string& Own, const std::string& Field,
                         const std::string& Value, const std::string& Partner, bool PartnerFollowed,
                         int Type = 0) {
    TQBJoinDef* join = P.GetJoinDefs()->Add();
    join->LeftTable = Own;
    join->LeftField = Field;
    join->RightField = Value;
    join->RightKind = fkInteger;
    join->PreferredTable = Partner;
    join->PreferredFollowed = PartnerFollowed;
    join->JoinType = static_cast<std::uint8_t>(Type);
    join->Bind();
    return join;
}

INSTANTIATE_TEST_SUITE_P(
    Model, FromClause,
    ::testing::Values(
        FromCase{"no_tables", [](TQBSelectParser&) {}, ""},
        FromCase{"one_table_no_fields", [](TQBSelectParser& P) { AddTable(P, "t"); }, "*\r\nFROM\r\n t\r\n"},
        FromCase{"fields_without_tables",
                 [](TQBSelectParser& P) { AddField(*AddTable(P, ""), "1", fkInteger, "one"); }, "\r\n  1 AS one"},
        FromCase{"two_tables_without_join",
                 [](TQBSelectParser& P) {
                     AddTable(P, "a");
                     AddTable(P, "b");
                 },
                 "*\r\nFROM\r\n a,\r\n b\r\n"},
        FromCase{"alias_equal_to_name_not_written",
                 [](TQBSelectParser& P) { AddTable(P, "orders", "orders"); AddTable(P, "customers", "c"); },
                 "*\r\nFROM\r\n orders,\r\n customers c\r\n"},
        FromCase{"select_list_in_select_order",
                 [](TQBSelectParser& P) {
                     TQBTableDef* t = AddTable(P, "t");
                     AddField(*t, "a");
                     AddField(*t, "b")->SetSelectIndex(0);
                 },
                 "\r\n  t.b,\r\n  t.a\r\nFROM\r\n t\r\n"},
        FromCase{"left_join_from_its_left_table",
                 [](TQBSelectParser& P) {
                     AddTable(P, "o");
                     AddTable(P, "c");
                     AddJoin(P, "o", "cid", "c", "id", 1);
                 },
                 "*\r\nFROM\r\n o\r\n LEFT OUTER JOIN c ON (o.cid=c.id)\r\n"},
        // Each condition between two tables is written with the table its join brings in
        // on the right, however it is stored.
        FromCase{"left_join_attached_to_its_left_table_turns_right",
                 [](TQBSelectParser& P) {
                     for (const char* n : {"c", "z", "o"}) AddTable(P, n);
                     AddJoin(P, "c", "k", "z", "k");
                     AddJoin(P, "o", "cid", "c", "id", 1);  // c comes first, o is attached to it
                 },
                 "*\r\nFROM\r\n c\r\n INNER JOIN z ON (c.k=z.k)\r\n RIGHT OUTER JOIN o ON (c.id=o.cid)\r\n"},
        FromCase{"right_join_written_from_the_other_side",
                 [](TQBSelectParser& P) {
                     AddTable(P, "a");
                     AddTable(P, "b");
                     AddTable(P, "c");
                     AddJoin(P, "a", "x", "b", "x", 0);
                     AddJoin(P, "c", "y", "b", "y", 1);  // b is c's left-joined partner
                 },
                 "*\r\nFROM\r\n a\r\n INNER JOIN b ON (a.x=b.x)\r\n RIGHT OUTER JOIN c ON (b.y=c.y)\r\n"},
        FromCase{"full_join_keyword",
                 [](TQBSelectParser& P) {
                     AddTable(P, "a");
                     AddTable(P, "b");
                     AddJoin(P, "a", "x", "b", "x", 3);
                 },
                 "*\r\nFROM\r\n a\r\n FULL OUTER JOIN b ON (a.x=b.x)\r\n"},
        FromCase{"chains_separated_and_loose_tables_last",
                 [](TQBSelectParser& P) {
                     for (const char* n : {"z", "a", "b", "c", "d"}) AddTable(P, n);
                     AddJoin(P, "a", "x", "b", "x");
                     AddJoin(P, "c", "y", "d", "y");
                 },
                 "*\r\nFROM\r\n a\r\n INNER JOIN b ON (a.x=b.x),\r\n c\r\n INNER JOIN d ON (c.y=d.y),\r\n z\r\n"},
        FromCase{"groups_merged_through_a_shared_table",
                 [](TQBSelectParser& P) {
                     for (const char* n : {"a", "b", "c", "d"}) AddTable(P, n);
                     AddJoin(P, "a", "x", "b", "x");
                     AddJoin(P, "c", "y", "d", "y");
                     AddJoin(P, "d", "z", "b", "z");
                 },
                 "*\r\nFROM\r\n a\r\n INNER JOIN b ON (a.x=b.x)\r\n INNER JOIN d ON (b.z=d.z)\r\n"
                 " INNER JOIN c ON (d.y=c.y)\r\n"},
        FromCase{"blank_table_never_joined",
                 [](TQBSelectParser& P) {
                     AddField(*AddTable(P, ""), "y");
                     AddTable(P, "a");
                     AddTable(P, "b");
                     TQBJoinDef* join = AddJoin(P, "a", "x", "", "5");
                     join->RightKind = fkInteger;
                     join->PreferredTable.clear();
                 },
                 "\r\n  y\r\nFROM\r\n a,\r\n b\r\n"},
        FromCase{"one_table_condition_on_the_anchor",
                 [](TQBSelectParser& P) {  // FROM a JOIN b ON a.x = 5
                     AddTable(P, "a");
                     AddTable(P, "b");
                     AddValueJoin(P, "a", "x", "5", "b", false);
                 },
                 "*\r\nFROM\r\n a\r\n INNER JOIN b ON (a.x=5)\r\n"},
        FromCase{"one_table_condition_on_the_joined_table",
                 [](TQBSelectParser& P) {  // FROM a LEFT JOIN b ON b.x = 5
                     AddTable(P, "a");
                     AddTable(P, "b");
                     AddValueJoin(P, "b", "x", "5", "a", true, 1);
                 },
                 "*\r\nFROM\r\n a\r\n LEFT OUTER JOIN b ON (b.x=5)\r\n"},
        FromCase{"one_table_condition_with_its_join",
                 [](TQBSelectParser& P) {  // FROM c LEFT JOIN o ON c.id = o.cid AND c.vip = 1
                     AddTable(P, "c");
                     AddTable(P, "o");
                     AddJoin(P, "c", "id", "o", "cid", 1);
                     AddValueJoin(P, "c", "vip", "1", "o", false, 1);
                 },
                 "*\r\nFROM\r\n c\r\n LEFT OUTER JOIN o ON (c.id=o.cid)\r\n  AND (c.vip=1)\r\n"},
        FromCase{"one_table_condition_written_with_the_later_table",
                 [](TQBSelectParser& P) {  // FROM a JOIN b ON a.id = b.id JOIN c ON c.id = b.id AND a.k = 1
                     for (const char* n : {"a", "b", "c"}) AddTable(P, n);
                     AddJoin(P, "a", "id", "b", "id");
                     AddJoin(P, "c", "id", "b", "id");
                     AddValueJoin(P, "a", "k", "1", "c", false);
                 },
                 "*\r\nFROM\r\n a\r\n INNER JOIN b ON (a.id=b.id)\r\n INNER JOIN c ON (b.id=c.id)\r\n  AND (a.k=1)\r\n"},
        FromCase{"condition_without_partner_on_first_table_goes_to_first_on",
                 [](TQBSelectParser& P) {
                     AddTable(P, "a");
                     AddTable(P, "b");
                     AddJoin(P, "a", "x", "b", "x");
                     AddValueJoin(P, "a", "k", "1", "", false);
                 },
                 "*\r\nFROM\r\n a\r\n INNER JOIN b ON (a.x=b.x)\r\n  AND (a.k=1)\r\n"},
        FromCase{"procedure_parameters",
                 [](TQBSelectParser& P) {
                     TQBTableDef* proc = AddTable(P, "dbo.proc1", "p");
                     proc->IsProcedure = true;
                     const auto param = [proc](const char* name, TFieldType type, TVariant value) {
                         TQBFieldDef* f = proc->Fields().Add();
                         f->Name = name;
                         f->ParamType = ptInput;
                         f->DataType = type;
                         f->Value = value;
                     };
                     param("i", ftInteger, TVariant(1));
                     param("s", ftString, TVariant("O'Brien"));
                     param("n", ftString, TVariant::MakeNull());
                     param("u", ftUnknown, TVariant());
                     param("b", ftBoolean, TVariant(true));
                     param("d", ftDate, TVariant(TDateTime{2024, 2, 29}));
                 },
                 "*\r\nFROM\r\n dbo.proc1(1, 'O''Brien', NULL, :u, True, '2024-02-29') p\r\n"},
        FromCase{"procedure_without_parameters",
                 [](TQBSelectParser& P) { AddTable(P, "proc2")->IsProcedure = true; },
                 "*\r\nFROM\r\n proc2()\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(FromClause, LeftAndInnerJoinOnTheSameTableCannotBeWritten) {
    auto parser = BaseParser();
    AddTable(*parser, "a");
    AddTable(*parser, "b");
    AddJoin(*parser, "a", "x", "b", "x", 1);
    AddJoin(*parser, "a", "y", "b", "y", 0);
    try {
        parser->GetTableDefs()->GetSQL();
        FAIL() << "no order exists";
    } catch (const EQBException& error) {
        EXPECT_STREQ(error.what(), "不能对指定的查询构建右连接");
    }
    EXPECT_EQ(parser->GetJoinDefs()->Count(), 2);
}

TEST(FromClause, MsDialectQuotesTableNamesAndAliases) {
    auto parser = MSParser();
    AddTable(*parser, "Order Details", "od");
    AddTable(*parser, "dbo.order", "my o");
    AddJoin(*parser, "od", "order id", "my o", "id");
    EXPECT_EQ(parser->GetTableDefs()->GetSQL(),
              "*\r\nFROM\r\n [Order Details] od\r\n INNER JOIN dbo.[order] [my o] ON (od.[order id]=[my o].id)\r\n");
}

TEST(FromClause, KeywordsFollowTheScriptFormatWordByWord) {
    auto parser = BaseParser();
    parser->GetScriptFormat().KeywordsFormat = qfmFirstUpper;
    AddTable(*parser, "a");
    AddTable(*parser, "b");
    AddJoin(*parser, "a", "x", "b", "x", 1);
    AddJoin(*parser, "a", "y", "b", "y", 1);
    EXPECT_EQ(parser->GetTableDefs()->GetSQL(),
              "*\r\nFrom\r\n a\r\n Left Outer Join b On (a.x=b.x)\r\n  And (a.y=b.y)\r\n");
}

}  // namespace
