// The parser link of the model's base classes and the dialect services built on it.
#include "ModelTestSupport.h"

#include <gtest/gtest.h>

namespace {

TEST(ModelBase, FreeItemWithoutParserUsesNoDialect) {
    TQBFunctionDef item;
    EXPECT_EQ(item.GetParser(), nullptr);
    EXPECT_EQ(item.QuoteName("my col"), "my col");
    EXPECT_EQ(item.FormatKeyword("select"), "select");
    EXPECT_EQ(item.FormatFunctionName("sum"), "sum");
    EXPECT_FALSE(item.SameName("a", "A"));
}

TEST(ModelBase, FreeItemWithOwnParserFormatsButDoesNotQuote) {
    auto parser = BaseParser();
    parser->GetScriptFormat().KeywordsFormat = qfmUpperCase;
    parser->GetScriptFormat().FunctionsFormat = qfmFirstUpper;
    TQBFunctionDef item;
    item.SetParser(parser.get());
    EXPECT_EQ(item.FormatKeyword("select"), "SELECT");
    EXPECT_EQ(item.FormatFunctionName("COUNT_BIG"), "Count_Big");
    EXPECT_EQ(item.QuoteName("my col"), "my col");
}

TEST(ModelBase, SameNameFollowsCaseSensitivity) {
    auto parser = BaseParser();
    TQBTableDefs& tables = *parser->GetTableDefs();
    EXPECT_TRUE(tables.SameName("Orders", "ORDERS"));
    parser->SetCaseSensitiveIdentifiers(true);
    EXPECT_FALSE(tables.SameName("Orders", "ORDERS"));
    TQBTableDefs unbound;
    EXPECT_FALSE(unbound.SameName("Orders", "ORDERS"));
}

TEST(ModelBase, ItemsTakeTheCollectionParserAndFollowItsChanges) {
    auto p = BaseParser();
    auto q = MSParser();
    TQBTableDefs tables;
    tables.SetParser(p.get());
    TQBTableDef* table = tables.Add();
    TQBFieldDef* field = table->Fields().Add();
    TQBFunctionDef* argument = field->Arguments().Add();
    EXPECT_EQ(argument->GetParser(), p.get());
    tables.SetParser(q.get());
    EXPECT_EQ(table->GetParser(), q.get());
    EXPECT_EQ(field->GetParser(), q.get());
    EXPECT_EQ(argument->GetParser(), q.get());
}

TEST(ModelBase, ListsMadeOnFirstUseTakeTheOwnersParser) {
    auto p = BaseParser();
    TQBTableDefs tables;
    tables.SetParser(p.get());
    TQBFieldDef* field = tables.Add()->Fields().Add();
    TQBCriterions where;
    where.SetParser(p.get());
    TQBCriterion* criterion = where.Add();
    // Asking for the counts makes nothing.
    EXPECT_EQ(field->ArgumentCount(), 0);
    EXPECT_EQ(criterion->SubCriteriaCount(), 0);
    EXPECT_EQ(field->Arguments().GetParser(), p.get());
    EXPECT_EQ(criterion->SubCriteria().GetParser(), p.get());
    EXPECT_EQ(criterion->SubCriteria().Add()->GetParser(), p.get());
    EXPECT_EQ(criterion->SubCriteriaCount(), 1);
}

TEST(ModelBase, AssignFromANodeWithoutListsEmptiesTheTargetsLists) {
    auto p = BaseParser();
    TQBFunctionDef target, bare;
    target.SetParser(p.get());
    target.Arguments().Add()->Name = "x";
    target.Assign(bare);
    EXPECT_EQ(target.ArgumentCount(), 0);
    TQBCriterions group;
    group.SetParser(p.get());
    TQBCriterion* nested = group.Add();
    nested->SubCriteria().Add();
    const TQBCriterion plain;
    nested->Assign(plain);
    EXPECT_EQ(nested->SubCriteriaCount(), 0);
}

TEST(ModelBase, SetParserWithTheSameParserDoesNotVisitItems) {
    auto p = BaseParser();
    auto q = BaseParser();
    TQBFunctionDefs list;
    list.SetParser(p.get());
    TQBFunctionDef* item = list.Add();
    item->SetParser(q.get());  // the item's own link differs from the list's
    list.SetParser(p.get());
    EXPECT_EQ(item->GetParser(), q.get());
}

TEST(ModelBase, AssignBindsTargetAndCopiesToTheSourceParser) {
    auto p = BaseParser();
    auto q = BaseParser();
    TQBFunctionDefs source, target;
    source.SetParser(p.get());
    target.SetParser(q.get());
    source.Add()->Name = "a";
    source.Add()->Name = "b";
    target.Assign(source);
    ASSERT_EQ(target.Count(), 2);
    EXPECT_EQ(target.GetParser(), p.get());
    EXPECT_EQ(target.Items(0)->GetParser(), p.get());
    EXPECT_EQ(target.Items(1)->Name, "b");
}

TEST(ModelBase, StringListFormatsAliasesOnlyWhenTheDialectQuotesThem) {
    auto base = BaseParser();
    auto ms = MSParser();
    EXPECT_EQ(TQBOrderByItems(base.get()).FormatAlias("my alias"), "my alias");
    EXPECT_EQ(TQBOrderByItems(ms.get()).FormatAlias("my alias"), "[my alias]");
    EXPECT_EQ(TQBOrderByItems(nullptr).FormatAlias("my alias"), "my alias");
}

struct FormatCase {
    TQBFormatMode mode;
    const char* input;
    const char* expected;
};

class FormatModes : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatModes, ApplyToKeywordsAndFunctions) {
    auto parser = BaseParser();
    parser->GetScriptFormat().KeywordsFormat = GetParam().mode;
    parser->GetScriptFormat().FunctionsFormat = GetParam().mode;
    EXPECT_EQ(parser->FormatKeyword(GetParam().input), GetParam().expected);
    EXPECT_EQ(parser->FormatFunctionName(GetParam().input), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Model, FormatModes,
    ::testing::Values(FormatCase{qfmAsIs, "SeLeCt", "SeLeCt"}, FormatCase{qfmUpperCase, "select", "SELECT"},
                      FormatCase{qfmLowerCase, "GROUP", "group"}, FormatCase{qfmFirstUpper, "COUNT_BIG", "Count_Big"},
                      FormatCase{qfmFirstUpper, "select", "Select"}, FormatCase{qfmFirstUpper, "", ""},
                      FormatCase{qfmFirstUpper, "TOP 10 PERCENT", "Top 10 percent"},
                      FormatCase{qfmUpperCase, "名字x", "名字X"}));

TEST(ScriptFormat, SetScriptFormatCopiesAndIgnoresItself) {
    auto parser = BaseParser();
    TQBScriptFormat format;
    format.KeywordsFormat = qfmLowerCase;
    format.AlwaysBracketConditions = false;
    parser->SetScriptFormat(format);
    EXPECT_EQ(parser->GetScriptFormat(), format);
    parser->SetScriptFormat(parser->GetScriptFormat());
    EXPECT_EQ(parser->GetScriptFormat(), format);
}

}  // namespace
