// Name lookups of the model and the parser: which entry a name finds, by letter case, length
// and the case rule in force at the moment of the search.
#include "ModelTestSupport.h"

#include "parser/QBMSParser.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(Lookup, TablesAreFoundByAliasAndNameUnderTheCurrentCaseRule) {
    auto parser = BaseParser();
    TQBTableDefs& tables = *parser->GetTableDefs();
    TQBTableDef* orders = AddTable(*parser, "Orders", "o");
    TQBTableDef* details = AddTable(*parser, "OrderDetails", "od");
    TQBTableDef* wide = AddTable(*parser, "客户", "客户");
    struct Case {
        const char* Name;
        bool CaseSensitive;
        std::string Text;
        TQBTableDef* ByAlias;
        TQBTableDef* ByName;
    };
    const Case cases[] = {
        {"alias as written", false, "o", orders, nullptr},
        {"alias in other case", false, "OD", details, nullptr},
        {"longer alias is not a prefix match", false, "odd", nullptr, nullptr},
        {"shorter text is not a prefix match", false, "Order", nullptr, nullptr},
        {"name in other case", false, "ORDERS", nullptr, orders},
        {"multi-byte name", false, "客户", wide, wide},
        {"case-sensitive alias as written", true, "od", details, nullptr},
        {"case-sensitive alias in other case", true, "OD", nullptr, nullptr},
        {"case-sensitive name in other case", true, "orderdetails", nullptr, nullptr},
        {"case-sensitive name as written", true, "OrderDetails", nullptr, details},
    };
    for (const Case& c : cases) {
        parser->SetCaseSensitiveIdentifiers(c.CaseSensitive);
        EXPECT_EQ(tables.FindByAlias(c.Text), c.ByAlias) << c.Name;
        EXPECT_EQ(tables.FindByTableName(c.Text), c.ByName) << c.Name;
        EXPECT_EQ(tables.FindByAliasOrName(c.Text), c.ByAlias ? c.ByAlias : c.ByName) << c.Name;
    }
}

TEST(Lookup, FieldAliasesInUseFollowTheCaseRule) {
    auto parser = BaseParser();
    AddField(*AddTable(*parser, "Orders", "o"), "OrderID", fkField, "Id");
    TQBTableDefs& tables = *parser->GetTableDefs();
    EXPECT_TRUE(tables.AliasInUse("ID"));
    EXPECT_FALSE(tables.AliasInUse("Ids"));
    EXPECT_EQ(tables.MakeUniqueAlias("id", false), "id1");
    parser->SetCaseSensitiveIdentifiers(true);
    EXPECT_FALSE(tables.AliasInUse("ID"));
    EXPECT_EQ(tables.MakeUniqueAlias("id", false), "id");
}

TEST(Lookup, JoinSidesAndPreferredTableBindEachByItsOwnName) {
    auto parser = BaseParser();
    TQBTableDef* orders = AddTable(*parser, "Orders", "o");
    TQBTableDef* customers = AddTable(*parser, "Customers", "c");
    // AddJoin binds with the right side as the preferred table.
    TQBJoinDef* join = AddJoin(*parser, "o", "cid", "C", "id");
    EXPECT_EQ(join->LeftTableDef, orders);
    EXPECT_EQ(join->RightTableDef, customers);
    EXPECT_EQ(join->PreferredTableDef, customers);
    const std::string left = join->LeftTable;
    join->PreferredTable = left;
    join->Bind();
    EXPECT_EQ(join->RightTableDef, customers);
    EXPECT_EQ(join->PreferredTableDef, orders);
}

TEST(Lookup, AggregatesAreWholeNamesOfTheDialectsList) {
    auto base = BaseParser();
    auto ms = MakeParser<TQBMSSelectParser>();
    struct Case {
        const char* Name;
        const TQBSelectParser* Parser;
        std::string Text;
        bool Aggregate;
    };
    const Case cases[] = {
        {"base upper", base.get(), "SUM", true},
        {"base lower", base.get(), "count", true},
        {"base has no COUNT_BIG", base.get(), "COUNT_BIG", false},
        {"prefix of an aggregate", base.get(), "COUN", false},
        {"aggregate as prefix", base.get(), "SUMS", false},
        {"empty name", base.get(), "", false},
        {"dialect's long name", ms.get(), "checksum_agg", true},
        {"dialect's short name", ms.get(), "Var", true},
        {"dialect's name with a suffix", ms.get(), "VARPX", false},
        {"column name", ms.get(), "OrderID", false},
    };
    for (const Case& c : cases) EXPECT_EQ(c.Parser->IsAggregate(c.Text), c.Aggregate) << c.Name;
}

TEST(Lookup, AggregatesFollowChangesOfTheListAndItsComparison) {
    auto parser = BaseParser();
    TStringList& names = parser->GetAggregateNames();
    names.Add("Median");
    EXPECT_TRUE(parser->IsAggregate("MEDIAN"));
    names.SetCaseSensitive(true);
    EXPECT_FALSE(parser->IsAggregate("MEDIAN"));
    EXPECT_TRUE(parser->IsAggregate("Median"));
    EXPECT_FALSE(parser->IsAggregate("sum"));
    names.Clear();
    EXPECT_FALSE(parser->IsAggregate("SUM"));
}

}  // namespace
