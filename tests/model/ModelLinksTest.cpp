// The typed links of the model: which table a node belongs to, the field view of a node,
// children that const access never makes, the typed copies, and the parser seen as the
// statement root the model depends on.
#include "ModelTestSupport.h"

#include <gtest/gtest.h>

namespace {

TEST(ModelLinks, ANodeBelongsToTheTableOfTheFieldThatHoldsItAtAnyDepth) {
    auto parser = BaseParser();
    TQBTableDef* o = AddTable(*parser, "orders", "o");
    TQBFieldDef* sum = AddField(*o, "SUM", fkFunction, "total");
    TQBFunctionDef* call = sum->Arguments().Add();
    TQBFunctionDef* column = call->Arguments().Add();
    EXPECT_EQ(sum->OwningTable(), o);
    EXPECT_EQ(call->OwningTable(), o);
    EXPECT_EQ(column->OwningTable(), o);
    EXPECT_EQ(sum->GetFieldList(), &o->Fields());
    EXPECT_EQ(o->Fields().GetTable(), o);
    EXPECT_EQ(call->GetList()->GetOwnerNode(), sum);
    EXPECT_EQ(o->GetTableDefs(), parser->GetTableDefs());
}

TEST(ModelLinks, OperandsOfACriterionAndFreeNodesBelongToNoTable) {
    auto parser = BaseParser();
    AddTable(*parser, "orders", "o");
    TQBCriterion* criterion = parser->GetWhereItems()->Add();
    TQBFunctionDef* operand = criterion->Operands().Add();
    operand->SetName("o.id");
    operand->SetKind(fkField);
    EXPECT_EQ(operand->OwningTable(), nullptr);
    EXPECT_EQ(criterion->Operands().GetOwner(), criterion);
    EXPECT_EQ(criterion->GetGroup(), parser->GetWhereItems());
    EXPECT_EQ(criterion->Expression().OwningTable(), nullptr);
    TQBFunctionDefs list;
    EXPECT_EQ(list.Add()->OwningTable(), nullptr);
    TQBFieldDef free;
    EXPECT_EQ(free.GetFieldList(), nullptr);
    EXPECT_EQ(free.TableAlias(), "");
}

TEST(ModelLinks, OnlySelectFieldsShowAFieldView) {
    TQBFieldDef field;
    TQBFunctionDef node;
    EXPECT_EQ(field.AsFieldDef(), &field);
    EXPECT_EQ(static_cast<TQBFunctionDef&>(field).AsFieldDef(), &field);
    EXPECT_EQ(node.AsFieldDef(), nullptr);
    const TQBFunctionDef& constField = field;
    EXPECT_EQ(constField.AsFieldDef(), &field);
}

TEST(ModelLinks, ConstAccessShowsEmptyChildrenWithoutMakingThem) {
    TQBFunctionDef node;
    const TQBFunctionDef& constNode = node;
    EXPECT_EQ(constNode.Arguments().Count(), 0);
    EXPECT_EQ(constNode.GetSQL(), "");
    node.Arguments().Add()->SetName("x");
    EXPECT_EQ(constNode.Arguments().Count(), 1);
    EXPECT_EQ(&constNode.Arguments(), &node.Arguments());

    TQBCriterion criterion;
    const TQBCriterion& constCriterion = criterion;
    EXPECT_EQ(constCriterion.SubCriteria().Count(), 0);
    EXPECT_EQ(criterion.SubCriteriaCount(), 0);
    criterion.SubCriteria().Add();
    EXPECT_EQ(constCriterion.SubCriteria().Count(), 1);
}

TEST(ModelLinks, TypedCopiesTakeTheSourceParserAndItsFields) {
    auto parser = MSParser();
    TQBTableDef* source = AddTable(*parser, "Order Details", "d");
    AddField(*source, "qty", fkField, "q");
    source->IsProcedure = true;
    TQBTableDefs copies;
    TQBTableDef* copy = copies.Add();
    copy->Assign(*source);
    EXPECT_EQ(copy->GetParser(), parser.get());
    EXPECT_EQ(copy->GetTableName(), "Order Details");
    EXPECT_TRUE(copy->IsProcedure);
    ASSERT_EQ(copy->Fields().Count(), 1);
    EXPECT_EQ(copy->Fields().Items(0)->Alias, "q");
    EXPECT_EQ(copy->Fields().Items(0)->OwningTable(), copy);

    // Through the untyped entry the same copy is made; a foreign source is refused.
    TQBTableDef* second = copies.Add();
    second->Assign(static_cast<const TCollectionItem&>(*source));
    EXPECT_EQ(second->Fields().Items(0)->Alias, "q");
    TQBOperator foreign;
    EXPECT_THROW(second->Assign(foreign), EQBException);
}

TEST(ModelLinks, AFreeFieldInsertedIntoATableJoinsTheSelectList) {
    auto parser = BaseParser();
    TQBTableDef* t = AddTable(*parser, "t");
    AddField(*t, "a");
    auto owned = std::make_unique<TQBFieldDef>();
    owned->SetName("b");
    owned->SetKind(fkField);
    TQBFieldDef* b = t->Fields().InsertItem(0, std::move(owned));
    EXPECT_EQ(b->GetParser(), parser.get());
    EXPECT_EQ(b->OwningTable(), t);
    EXPECT_EQ(SelectIndices(*parser->GetTableDefs()), "b=1 a=0");
}

TEST(ModelLinks, TheParserIsTheStatementRootItsModelSees) {
    auto parser = MSParser();
    const TQBStatementRoot& root = *parser;
    EXPECT_EQ(root.GetTableDefs(), parser->GetTableDefs());
    EXPECT_EQ(root.GetOrderByItems(), parser->GetOrderByItems());
    EXPECT_FALSE(root.IsClearing());
    EXPECT_TRUE(root.QuotesAliases());
    EXPECT_EQ(FormatAliasFor(&root, "x y"), "[x y]");
    parser->GetScriptFormat().KeywordsFormat = qfmLowerCase;
    EXPECT_EQ(root.FormatKeyword("ORDER"), "order");
    EXPECT_TRUE(root.IsAggregate("count"));
    EXPECT_FALSE(BaseParser()->QuotesAliases());
}

TEST(ModelLinks, ATableCollectionWritesOnItsOwnAndInTheStatementAlike) {
    auto parser = MSParser();
    parser->ParseSQL("SELECT o.a, c.b FROM o JOIN c ON o.id = c.id, x");
    const std::string statement = parser->GetSQL();
    const std::string own = parser->GetTableDefs()->GetSQL();
    EXPECT_NE(statement.find(own), std::string::npos) << statement << "\n" << own;
    EXPECT_EQ(parser->GetSQL(), statement);  // the borrowed context leaves nothing behind
}

}  // namespace
