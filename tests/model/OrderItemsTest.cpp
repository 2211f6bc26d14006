// GROUP BY and ORDER BY: directions kept with their items, qualifiers, and the GROUP BY rebuild.
#include "ModelTestSupport.h"

#include "model/QBWriteContext.h"

#include <gtest/gtest.h>

namespace {

TEST(OrderBy, DirectionsStayWithTheirItems) {
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
    copy.Put(1, "z");
    EXPECT_EQ(copy.GetDirection(1), 1);
    EXPECT_EQ(copy.IndexOf("Z"), 1);
    EXPECT_EQ(copy.IndexOf("a"), -1);
    items.Clear();
    EXPECT_EQ(items.Count(), 0);
    EXPECT_EQ(items.GetDirection(0), 0);
    EXPECT_THROW(items.Get(0), EQBException);
}

TEST(OrderBy, ItemsWrittenAlikeAreWrittenOnce) {
    auto parser = MSParser();
    AddTable(*parser, "orders", "o");
    TQBOrderByItems& items = *parser->GetOrderByItems();
    items.AddItem("x.price", 1);
    items.Add("PRICE");
    items.Add("o.price");
    items.Add("3");
    EXPECT_EQ(items.GetSQL(), "ORDER BY\r\n  price DESC,\r\n  o.price,\r\n  3\r\n");
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
    TQBWriteContext context;
    EXPECT_FALSE(group.Rebuild(context));
    EXPECT_EQ(group.GetSQL(), "GROUP BY\r\n  typed\r\n");  // no aggregate: untouched
    TQBFieldDef* sum = AddField(*o, "sum", fkFunction, "total");
    sum->Arguments().Add()->Name = "c";
    AddField(*AddTable(*parser, ""), "LEN(a)", fkExpression);
    AddField(*AddTable(*parser, ""), "k");
    group.Add("O.A");
    // Writing never changes the list; rebuilding does, keeping what the user added last.
    EXPECT_EQ(group.GetSQL(), "GROUP BY\r\n  typed,\r\n  O.A\r\n");
    ASSERT_TRUE(group.Rebuild(context));
    EXPECT_EQ(group.GetSQL(), "GROUP BY\r\n  o.a,\r\n  o.[my b],\r\n  k,\r\n  typed\r\n");
    // The clause written from the forms the rebuild left is the list's own clause.
    std::string written;
    group.AppendWritten(written, context);
    EXPECT_EQ(written, group.GetSQL());
    ASSERT_EQ(group.Count(), 4);
    EXPECT_EQ(group[1], "o.[my b]");
}

TEST(GroupBy, OnlyAggregatesLeaveTheListAlone) {
    auto parser = BaseParser();
    TQBTableDef* t = AddTable(*parser, "t");
    AddField(*t, "COUNT", fkFunction);
    TQBWriteContext context;
    parser->GetGroupByItems()->Rebuild(context);
    EXPECT_EQ(parser->GetGroupByItems()->GetSQL(), "");
    parser->GetGroupByItems()->Add("t.a");
    EXPECT_EQ(parser->GetGroupByItems()->GetSQL(), "GROUP BY\r\n  t.a\r\n");
}

}  // namespace
