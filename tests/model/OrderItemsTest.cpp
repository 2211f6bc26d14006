// GROUP BY and ORDER BY: directions kept parallel, qualifiers, and the GROUP BY rebuild.
#include "ModelTestSupport.h"

#include <gtest/gtest.h>

namespace {

TEST(OrderBy, DirectionsStayParallel) {
    TQBOrderByItems items(nullptr);
    items.AddItem("a", 1);
    items.Add("b");
    items.AddItem("c", 1);
    items.Delete(0);
    EXPECT_EQ(items.GetDirection(0), 0);
    EXPECT_EQ(items.GetDirection(1), 1);
    EXPECT_EQ(items.GetDirection(5), 0);
    EXPECT_EQ(items.GetDirection(-1), 0);
    TQBOrderByItems copy(nullptr);
    copy.Assign(items);
    EXPECT_EQ(copy.GetDirection(1), 1);
    TStringList plain;
    plain.Add("z");
    copy.Assign(plain);
    EXPECT_EQ(copy.Count(), 1);
    EXPECT_EQ(copy.GetDirection(0), 0);
    copy.AddItem("y", 1);
    EXPECT_EQ(copy.GetDirection(1), 1);
    items.Clear();
    EXPECT_TRUE(items.Directions.empty());
}

TEST(OrderBy, WithoutParserItemsAreWrittenAsTheyAre) {
    TQBOrderByItems items(nullptr);
    EXPECT_EQ(items.GetSQL(), "");
    items.AddItem("x.y", 1);
    items.Add("z");
    EXPECT_EQ(items.GetSQL(), "ORDER BY\r\n  x.y DESC,\r\n  z\r\n");
}

TEST(OrderBy, QualifiersOfKnownTablesAreKeptOthersDropped) {
    auto parser = MSParser();
    AddTable(*parser, "orders", "o");
    AddTable(*parser, "customers", "my c");
    TQBOrderByItems& items = *parser->GetOrderByItems();
    items.AddItem("o.price", 1);
    items.Add("my c.name");
    items.Add("x.y");
    items.Add("FIELD_1");
    items.Add("o.[my col]");
    EXPECT_EQ(items.GetSQL(),
              "ORDER BY\r\n  o.price DESC,\r\n  [my c].name,\r\n  y,\r\n  FIELD_1,\r\n  o.[my col]\r\n");
    parser->GetScriptFormat().KeywordsFormat = qfmFirstUpper;
    EXPECT_EQ(items.GetSQL().substr(0, 10), "Order By\r\n");
}

TEST(OrderBy, RenamingAnAliasRewritesItsItemsOnly) {
    auto parser = BaseParser();
    TQBTableDef* o = AddTable(*parser, "orders", "o");
    AddTable(*parser, "po");
    TQBOrderByItems& items = *parser->GetOrderByItems();
    items.AddItem("o.price", 1);
    items.Add("O.qty");
    items.Add("po.x");
    items.Add("o");
    o->SetAlias("ord");
    EXPECT_EQ(items.Get(0), "ord.price");
    EXPECT_EQ(items.Get(1), "ord.qty");
    EXPECT_EQ(items.Get(2), "po.x");
    EXPECT_EQ(items.Get(3), "o");
    EXPECT_EQ(items.GetDirection(0), 1);
}

TEST(OrderBy, RenamingLeavesItemsOfAnotherTableWithThatAlias) {
    auto parser = BaseParser();
    TQBTableDef* first = AddTable(*parser, "t1", "x");
    AddTable(*parser, "t2", "x");
    parser->GetOrderByItems()->Add("x.a");
    first->SetAlias("y");
    EXPECT_EQ(parser->GetOrderByItems()->Get(0), "x.a");
}

TEST(GroupBy, RebuiltFromPlainColumnsWhenAggregatesAreMixedIn) {
    auto parser = MSParser();
    TQBTableDef* o = AddTable(*parser, "orders", "o");
    TQBGroupByItems& group = *parser->GetGroupByItems();
    group.Add("typed");
    AddField(*o, "a");
    AddField(*o, "my b");
    EXPECT_EQ(group.GetSQL(), "GROUP BY\r\n  typed\r\n");  // no aggregate: untouched
    TQBFieldDef* sum = AddField(*o, "sum", fkFunction, "total");
    sum->Arguments().Add()->Name = "c";
    AddField(*AddTable(*parser, ""), "LEN(a)", fkExpression);
    AddField(*AddTable(*parser, ""), "k");
    EXPECT_EQ(group.GetSQL(), "GROUP BY\r\n  o.a,\r\n  o.[my b],\r\n  k\r\n");
    ASSERT_EQ(group.Count(), 3);
}

TEST(GroupBy, OnlyAggregatesLeaveTheListAlone) {
    auto parser = BaseParser();
    TQBTableDef* t = AddTable(*parser, "t");
    AddField(*t, "COUNT", fkFunction);
    EXPECT_EQ(parser->GetGroupByItems()->GetSQL(), "");
    parser->GetGroupByItems()->Add("t.a");
    EXPECT_EQ(parser->GetGroupByItems()->GetSQL(), "GROUP BY\r\n  t.a\r\n");
}

}  // namespace
