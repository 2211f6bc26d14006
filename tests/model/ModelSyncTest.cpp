// Model edits that follow the diagram: a table key renamed wherever it qualifies a column,
// and a numbered output name given back its plain form.
#include "ModelTestSupport.h"

#include "model/QBModelSync.h"

#include <gtest/gtest.h>

namespace {

// Parses Sql, renames the key OldKey to NewKey as the control does (the table's alias, then
// every qualifier) and returns the statement written again.
std::string Renamed(const std::string& sql, const std::string& oldKey, const std::string& newKey) {
    auto parser = BaseParser();
    parser->ParseSQL(sql);
    TQBTableDefs& tables = *parser->GetTableDefs();
    TQBTableDef* table = tables.FindByAlias(oldKey);
    EXPECT_NE(table, nullptr) << oldKey;
    if (!table) return {};
    table->SetAlias(newKey);
    RenameQualifierEverywhere({&tables, parser->GetWhereItems(), parser->GetHavingItems(),
                               parser->GetGroupByItems(), parser->GetOrderByItems()},
                              oldKey, newKey);
    return parser->GetSQL();
}

std::string Formatted(const std::string& sql) {
    auto parser = BaseParser();
    parser->ParseSQL(sql);
    return parser->GetSQL();
}

struct RenameCase {
    const char* name;
    const char* sql;
    const char* oldKey;
    const char* newKey;
    const char* expected;  // written as the same statement with the new key
};

class QualifierRename : public ::testing::TestWithParam<RenameCase> {};

TEST_P(QualifierRename, ReachesEveryClauseButNeverStringLiterals) {
    const RenameCase& c = GetParam();
    EXPECT_EQ(Renamed(c.sql, c.oldKey, c.newKey), Formatted(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Model, QualifierRename,
    ::testing::Values(
        RenameCase{"WhereOperandsAndLiteralsKept", "SELECT o.x FROM Orders o WHERE o.y = 'o.y' AND o.z > 1", "o", "p",
                   "SELECT p.x FROM Orders p WHERE p.y = 'o.y' AND p.z > 1"},
        RenameCase{"SelectListExpressions", "SELECT o.a * 2 AS twice, o.b FROM Orders o", "o", "p",
                   "SELECT p.a * 2 AS twice, p.b FROM Orders p"},
        RenameCase{"GroupByAndHavingArguments",
                   "SELECT o.a, COUNT(o.b) AS n FROM Orders o GROUP BY o.a HAVING SUM(o.c) > 3", "o", "p",
                   "SELECT p.a, COUNT(p.b) AS n FROM Orders p GROUP BY p.a HAVING SUM(p.c) > 3"},
        RenameCase{"OrderByFromTheTableName", "SELECT Orders.a FROM Orders ORDER BY Orders.a DESC", "Orders", "o",
                   "SELECT o.a FROM Orders o ORDER BY o.a DESC"},
        RenameCase{"WholeQualifiersOnly", "SELECT o.a FROM Orders o, Items oo WHERE oo.b = o.b", "o", "p",
                   "SELECT p.a FROM Orders p, Items oo WHERE oo.b = p.b"},
        RenameCase{"OtherTablesUntouched",
                   "SELECT o.a FROM Orders o JOIN Items i ON i.id = o.id WHERE i.q > o.q", "i", "it",
                   "SELECT o.a FROM Orders o JOIN Items it ON it.id = o.id WHERE it.q > o.q"},
        RenameCase{"NestedConditions", "SELECT o.a FROM Orders o WHERE (o.a = 1 OR NOT (o.b IN (1, 2)))", "o", "x",
                   "SELECT x.a FROM Orders x WHERE (x.a = 1 OR NOT (x.b IN (1, 2)))"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(QualifierRename, IgnoresLetterCaseOfTheOldKeyLikeTheModel) {
    EXPECT_EQ(Renamed("SELECT O.a FROM Orders o WHERE O.b = 1", "o", "p"),
              Formatted("SELECT p.a FROM Orders p WHERE p.b = 1"));
}

struct AliasCase {
    const char* name;
    std::vector<std::pair<const char*, const char*>> fields;  // name, alias left in the model
    const char* removedAlias;
    std::vector<const char*> expectedAliases;
};

class PlainAlias : public ::testing::TestWithParam<AliasCase> {};

TEST_P(PlainAlias, ComesBackOnlyForTheOneNumberedCopy) {
    const AliasCase& c = GetParam();
    auto parser = BaseParser();
    TQBTableDef* table = AddTable(*parser, "T");
    std::vector<TQBFieldDef*> fields;
    for (const auto& [name, alias] : c.fields) {
        fields.push_back(AddField(*table, name));
        fields.back()->Alias = alias;
    }
    RestorePlainAlias(*parser->GetTableDefs(), c.removedAlias);
    for (std::size_t i = 0; i < fields.size(); ++i) EXPECT_EQ(fields[i]->Alias, c.expectedAliases[i]) << i;
}

INSTANTIATE_TEST_SUITE_P(
    Model, PlainAlias,
    ::testing::Values(AliasCase{"OneNumberedCopy", {{"ID", "ID1"}}, "ID", {""}},
                      AliasCase{"TwoCopiesStayNumbered", {{"ID", "ID1"}, {"ID", "ID2"}}, "ID", {"ID1", "ID2"}},
                      AliasCase{"NotDigitsOnly", {{"ID", "ID_1"}}, "ID", {"ID_1"}},
                      AliasCase{"NameWithoutNumber", {{"ID", "ID"}}, "ID", {"ID"}},
                      AliasCase{"ExactCase", {{"id", "id1"}}, "ID", {"id1"}},
                      AliasCase{"OtherName", {{"Name", "Name1"}}, "ID", {"Name1"}}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace

namespace {

// Output names made unique once stay as they are when the statement is read and written again.
TEST(DuplicateAliases, AreNumberedOnceAndOwnAliasesKept) {
    const struct {
        const char* sql;
        const char* expected;
    } cases[] = {
        {"SELECT t.a AS b, t.b FROM T t", "SELECT t.a AS b, t.b AS b1 FROM T t"},
        {"SELECT t.b AS c, t.a AS b FROM T t", "SELECT t.b AS c, t.a AS b FROM T t"},
        {"SELECT t.b AS b1, t.a AS b, t.b FROM T t", "SELECT t.b AS b1, t.a AS b, t.b AS b2 FROM T t"},
    };
    // Parse, make the output names unique as the control does after reading a statement, write.
    const auto fixed = [](const std::string& sql) {
        auto parser = BaseParser();
        parser->ParseSQL(sql);
        parser->GetTableDefs()->FixDuplicateAliases();
        return parser->GetSQL();
    };
    for (const auto& c : cases) {
        const std::string once = fixed(c.sql);
        EXPECT_EQ(once, Formatted(c.expected)) << c.sql;
        EXPECT_EQ(fixed(once), once) << c.sql;
    }
}

}  // namespace
