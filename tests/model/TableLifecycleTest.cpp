// What happens to the rest of the model when a table is renamed or destroyed.
#include "ModelTestSupport.h"

#include <gtest/gtest.h>

namespace {

// Tables o (alias of orders), c and po with fields, joins, ORDER BY items and criteria that
// mention them.
struct Fixture {
    std::unique_ptr<TQBSelectParser> parser = BaseParser();
    TQBTableDef* o = AddTable(*parser, "orders", "o");
    TQBTableDef* c = AddTable(*parser, "c");
    TQBTableDef* po = AddTable(*parser, "po");
    TQBTableDef* blank = AddTable(*parser, "");

    Fixture() {
        AddField(*o, "id");
        AddField(*c, "name");
        AddField(*blank, "o.price * 2", fkExpression, "double");
        AddField(*blank, "po.x + 1", fkExpression, "px");
        AddField(*blank, "1.5", fkFloat, "f");
        AddJoin(*parser, "o", "cid", "c", "id");
        AddJoin(*parser, "po", "oid", "c", "id");
        parser->GetOrderByItems()->AddItem("o.id", 1);
        parser->GetOrderByItems()->Add("c.name");
        parser->GetOrderByItems()->Add("po.x");
        AddWhere("o.status", "1");
        AddWhere("c.vip", "1");
    }
    void AddWhere(const char* left, const char* right) {
        TQBCriterion* criterion = parser->GetWhereItems()->Add();
        criterion->Expression().Name = left;
        criterion->Expression().Kind = fkField;
        TQBFunctionDef* operand = criterion->Operands().Add();
        operand->Name = right;
        operand->Kind = fkInteger;
    }
};

TEST(TableLifecycle, DestroyingATableCleansUpWhatMentionsIt) {
    Fixture f;
    f.parser->GetTableDefs()->Delete(0);  // o
    EXPECT_EQ(SelectIndices(*f.parser->GetTableDefs()), "name=0 po.x + 1=1 1.5=2");
    ASSERT_EQ(f.parser->GetJoinDefs()->Count(), 1);
    EXPECT_EQ(f.parser->GetJoinDefs()->Items(0)->LeftTable, "po");
    ASSERT_EQ(f.parser->GetOrderByItems()->Count(), 2);
    EXPECT_EQ(f.parser->GetOrderByItems()->Get(0), "c.name");
    ASSERT_EQ(f.parser->GetWhereItems()->Count(), 1);
    EXPECT_EQ(f.parser->GetWhereItems()->Items(0)->Expression().Name, "c.vip");
    EXPECT_EQ(f.parser->GetTableDefs()->GetSQL(),
              "\r\n  c.name,\r\n  po.x + 1 AS px,\r\n  1.5 AS f\r\nFROM\r\n po\r\n INNER JOIN c ON (po.oid=c.id)\r\n");
}

TEST(TableLifecycle, DestroyingTheBlankTableKeepsEverythingElse) {
    Fixture f;
    f.parser->GetTableDefs()->Delete(3);
    EXPECT_EQ(SelectIndices(*f.parser->GetTableDefs()), "id=0 name=1");
    EXPECT_EQ(f.parser->GetJoinDefs()->Count(), 2);
    EXPECT_EQ(f.parser->GetOrderByItems()->Count(), 3);
    EXPECT_EQ(f.parser->GetWhereItems()->Count(), 2);
}

TEST(TableLifecycle, DestroyingKeepsJoinsWithValueSides) {
    auto parser = BaseParser();
    AddTable(*parser, "a");
    AddTable(*parser, "b");
    AddTable(*parser, "z");
    TQBJoinDef* value = parser->GetJoinDefs()->Add();
    value->LeftTable = "a";
    value->LeftField = "x";
    value->RightField = "5";
    value->RightKind = fkInteger;
    value->PreferredTable = "b";
    value->Bind();
    parser->GetTableDefs()->Delete(2);
    ASSERT_EQ(parser->GetJoinDefs()->Count(), 1);
    parser->GetTableDefs()->Delete(1);  // the partner goes: the condition stays on a
    ASSERT_EQ(parser->GetJoinDefs()->Count(), 1);
    EXPECT_EQ(value->PreferredTableDef, nullptr);
    EXPECT_EQ(parser->GetTableDefs()->GetSQL(), "*\r\nFROM\r\n a\r\n");
    parser->GetTableDefs()->Delete(0);
    EXPECT_EQ(parser->GetJoinDefs()->Count(), 0);
}

TEST(TableLifecycle, NoJoinKeepsAReferenceToADestroyedTable) {
    auto parser = BaseParser();
    TQBTableDef* first = AddTable(*parser, "t1", "x");
    AddTable(*parser, "c");
    TQBJoinDef* join = AddJoin(*parser, "x", "id", "c", "id");
    ASSERT_EQ(join->LeftTableDef, first);
    AddTable(*parser, "t2", "x")->SetIndex(0);  // the name now resolves to another table
    parser->GetTableDefs()->Delete(first->GetIndex());
    ASSERT_EQ(parser->GetJoinDefs()->Count(), 1);
    EXPECT_EQ(join->LeftTableDef, nullptr);
    EXPECT_EQ(parser->GetTableDefs()->GetSQL(),
              "*\r\nFROM\r\n t2 x\r\n INNER JOIN c ON (x.id=c.id)\r\n");
}

TEST(TableLifecycle, RenamingMovesJoinsAndOrderItems) {
    Fixture f;
    f.o->SetAlias("ord");
    EXPECT_EQ(f.parser->GetJoinDefs()->Items(0)->LeftTable, "ord");
    EXPECT_EQ(f.parser->GetOrderByItems()->Get(0), "ord.id");
    EXPECT_EQ(f.parser->GetOrderByItems()->Get(2), "po.x");
    EXPECT_EQ(f.o->Fields().Items(0)->GetSQL(), "ord.id");
    f.parser->GetTableDefs()->Delete(0);
    EXPECT_EQ(f.parser->GetOrderByItems()->Count(), 2);
    EXPECT_EQ(f.parser->GetJoinDefs()->Count(), 1);
}

TEST(TableLifecycle, SetTableNameCarriesADefaultAlias) {
    auto parser = BaseParser();
    TQBTableDef* t = AddTable(*parser, "x");
    EXPECT_EQ(t->GetAlias(), "x");
    t->SetTableName("tab");
    EXPECT_EQ(t->GetAlias(), "tab");
    t->SetAlias("y");
    t->SetTableName("other");
    EXPECT_EQ(t->GetAlias(), "y");
    EXPECT_EQ(t->GetSQL(), "other y");
    EXPECT_FALSE(t->IsBlank());
    EXPECT_TRUE(AddTable(*parser, " ")->IsBlank());
}

TEST(TableLifecycle, LookupsByAliasAndName) {
    auto parser = BaseParser();
    TQBTableDef* blank = AddTable(*parser, "");
    TQBTableDef* o = AddTable(*parser, "orders", "o");
    EXPECT_EQ(parser->GetTableDefs()->FindByAlias(""), blank);
    EXPECT_EQ(parser->GetTableDefs()->FindByAlias("O"), o);
    EXPECT_EQ(parser->GetTableDefs()->FindByAlias("orders"), nullptr);
    EXPECT_EQ(parser->GetTableDefs()->FindByAliasOrName("ORDERS"), o);
    EXPECT_EQ(parser->GetTableDefs()->FindByTableName("o"), nullptr);
}

TEST(ParserLifecycle, ClearEmptiesTheModelAndKeepsTheSettings) {
    Fixture f;
    f.parser->GetWhereItems()->GroupKind = gkAny;
    f.parser->GetHavingItems()->GroupKind = gkNone;
    f.parser->GetGroupByItems()->Add("a");
    f.parser->Valid = false;
    f.parser->GetScriptFormat().KeywordsFormat = qfmLowerCase;
    f.parser->Clear();
    EXPECT_EQ(f.parser->GetTableDefs()->Count(), 0);
    EXPECT_EQ(f.parser->GetJoinDefs()->Count(), 0);
    EXPECT_EQ(f.parser->GetWhereItems()->Count(), 0);
    EXPECT_EQ(f.parser->GetWhereItems()->GroupKind, gkAll);
    EXPECT_EQ(f.parser->GetHavingItems()->GroupKind, gkAll);
    EXPECT_EQ(f.parser->GetGroupByItems()->Count(), 0);
    EXPECT_EQ(f.parser->GetOrderByItems()->Count(), 0);
    EXPECT_TRUE(f.parser->Valid);
    EXPECT_EQ(f.parser->GetScriptFormat().KeywordsFormat, qfmLowerCase);
    EXPECT_EQ(f.parser->GetOperators()->Count(), 14);
}

TEST(ParserLifecycle, InitBuildsEverythingThroughTheFactories) {
    auto parser = MSParser();
    ASSERT_NE(dynamic_cast<TQBMSSQLScanner*>(parser->GetScanner()), nullptr);
    EXPECT_EQ(parser->GetTableDefs()->GetParser(), parser.get());
    EXPECT_EQ(parser->GetJoinDefs()->GetParser(), parser.get());
    EXPECT_EQ(parser->GetWhereItems()->GetParser(), parser.get());
    EXPECT_EQ(parser->GetHavingItems()->GetParser(), parser.get());
    EXPECT_EQ(parser->GetOrderByItems()->GetParser(), parser.get());
    EXPECT_TRUE(parser->IsAggregate("count"));
    EXPECT_FALSE(parser->IsAggregate("COUNT_BIG"));
    EXPECT_TRUE(parser->GetAggregateNames().GetSorted());
    EXPECT_TRUE(parser->IsJoinWord("left"));
    EXPECT_FALSE(parser->IsJoinWord("CROSS"));
    EXPECT_FALSE(parser->GetCaseSensitiveIdentifiers());
    EXPECT_TRUE(parser->GetScriptFormat().AlwaysBracketConditions);
}

TEST(ParserLifecycle, DestroyingAFullModelIsClean) {
    Fixture f;
    f.parser.reset();  // the sanitizers check that nothing dangles on the way
    SUCCEED();
}

}  // namespace
