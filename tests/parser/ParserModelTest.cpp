// What the parser puts into the model: tables, fields, kinds, aliases, joins, criterion trees,
// GROUP BY / ORDER BY items, TOP settings, and the errors it reports.
#include "lexer/QBMSScanner.h"
#include "lexer/QBParserError.h"
#include "model/QBCriteria.h"
#include "model/QBJoinDefs.h"
#include "model/QBOrderItems.h"
#include "model/QBTableDefs.h"
#include "parser/QBMSParser.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

std::unique_ptr<TQBSelectParser> MakeDialect(bool MS) {
    if (MS) return MakeParser<TQBMSSelectParser>();
    return MakeParser<TQBSelectParser>();
}

// The parse error of Text, or nothing when it parses.
std::optional<EQBParserError> ParseError(TQBSelectParser& Parser, const std::string& Text) {
    try {
        Parser.ParseSQL(Text);
    } catch (const EQBParserError& error) {
        return error;
    }
    return std::nullopt;
}

// A compact description of every table: "name alias: field(kind)[=alias], ...".
std::string DescribeTables(const TQBSelectParser& Parser) {
    static const char* const kinds[] = {"?", "fn", "col", "int", "float", "str", "expr", "param"};
    std::string out;
    const TQBTableDefs& tables = *Parser.GetTableDefs();
    for (int i = 0; i < tables.Count(); ++i) {
        const TQBTableDef& table = *tables.Items(i);
        if (!out.empty()) out += " | ";
        out += "[" + table.GetTableName() + " " + table.GetAlias() + "]:";
        for (int j = 0; j < table.Fields().Count(); ++j) {
            const TQBFieldDef& field = *table.Fields().Items(j);
            out += " " + field.Name + "(" + kinds[field.Kind] + ")";
            if (field.Arguments().Count() > 0) out += "<" + field.Arguments().Items(0)->Name + ">";
            if (!field.Alias.empty()) out += "=" + field.Alias;
        }
    }
    return out;
}

std::string DescribeJoins(const TQBSelectParser& Parser) {
    std::string out;
    const TQBJoinDefs& joins = *Parser.GetJoinDefs();
    for (int i = 0; i < joins.Count(); ++i) {
        const TQBJoinDef& join = *joins.Items(i);
        if (!out.empty()) out += " | ";
        out += std::to_string(join.JoinType) + " " + join.LeftTable + "." + join.LeftField + " " +
               join.Operator + " " + join.RightTable + "." + join.RightField + " pref=" +
               join.PreferredTable + (join.PreferredFollowed ? "(followed)" : "");
    }
    return out;
}

std::string DescribeGroup(const TQBCriterions& Group);

std::string DescribeCriterion(const TQBCriterion& Item) {
    if (Item.SubCriteria().Count() > 0) return DescribeGroup(Item.SubCriteria());
    std::string out = Item.Expression().Name + " " + Item.OperatorCaption;
    for (int i = 0; i < Item.Operands().Count(); ++i)
        out += (i ? "," : " ") + Item.Operands().Items(i)->Name;
    return out;
}

std::string DescribeGroup(const TQBCriterions& Group) {
    static const char* const kinds[] = {"All", "Any", "None", "NotAll", "Not"};
    std::string out = std::string(kinds[Group.GroupKind]) + "(";
    for (int i = 0; i < Group.Count(); ++i) out += (i ? "; " : "") + DescribeCriterion(*Group.Items(i));
    return out + ")";
}

struct TModelCase {
    const char* Name;
    bool MS;
    const char* Text;
    const char* Tables;
    const char* Joins;
};

class SelectModel : public testing::TestWithParam<TModelCase> {};

TEST_P(SelectModel, TablesFieldsAndJoins) {
    const TModelCase& c = GetParam();
    auto parser = MakeDialect(c.MS);
    const auto error = ParseError(*parser, c.Text);
    ASSERT_FALSE(error) << error->what();
    EXPECT_EQ(DescribeTables(*parser), c.Tables);
    EXPECT_EQ(DescribeJoins(*parser), c.Joins);
}

const TModelCase ModelCases[] = {
    {"StarLeavesNoFields", true, "SELECT * FROM t", "[ ]: | [t t]:", ""},
    {"TableStarIsAColumn", true, "SELECT t.* FROM t", "[t t]: *(col)", ""},
    {"SelectListKindsAndAliases", true, "SELECT a, b AS x, SUM(c) total, 1+2 FROM t",
     "[ ]: a(col) b(col)=x SUM(fn)<c>=total 1 + 2(int)=FIELD_1 | [t t]:", ""},
    {"SingleTokenTakesImplicitAlias", true, "SELECT a b FROM t", "[ ]: a(col)=b | [t t]:", ""},
    {"LiteralTakesImplicitAlias", true, "SELECT 1 one, 'x' [a b] FROM t",
     "[ ]: 1(int)=one 'x'(str)=a b | [t t]:", ""},
    {"QualifiedImplicitAlias", true, "SELECT t.a b FROM t", "[t t]: a(col)=b", ""},
    {"AliasFromSelectListCompletedByFrom", true, "SELECT x.a FROM tab x", "[tab x]: a(col)", ""},
    {"ExpressionsNumberedOverAllTables", true, "SELECT 1+a, t.b + 2, 'x' FROM t",
     "[ ]: 1 + a(expr)=FIELD_1 t.b + 2(expr)=FIELD_2 'x'(str)=FIELD_3 | [t t]:", ""},
    {"ParameterOperand", true, "SELECT a, :p AS x FROM t", "[ ]: a(col) p(param)=x | [t t]:", ""},
    {"KeywordFunctionDoesNotEndAnItem", true, "SELECT LEFT(a, 1) l FROM t",
     "[ ]: LEFT(fn)<a, 1>=l | [t t]:", ""},
    {"CountStarArgument", true, "SELECT COUNT(*) n FROM t", "[ ]: COUNT(fn)<*>=n | [t t]:", ""},
    {"IsNullIsAFunctionInMSSQL", true, "SELECT ISNULL(a,0) v FROM t",
     "[ ]: ISNULL(fn)<a, 0>=v | [t t]:", ""},
    {"IsNullIsAnExpressionInBase", false, "SELECT ISNULL(a,0) AS v FROM t",
     "[ ]: ISNULL(a, 0)(expr)=v | [t t]:", ""},
    {"StringKeepsQuotesInMSSQL", true, "SELECT 'it''s' AS s FROM t", "[ ]: 'it''s'(str)=s | [t t]:", ""},
    {"StringValueInBase", false, "SELECT 'it''s' AS s FROM t", "[ ]: it's(str)=s | [t t]:", ""},
    {"NiladicFunctionStaysWithoutBrackets", true, "SELECT @@VERSION FROM t",
     "[ ]: @@VERSION(expr)=FIELD_1 | [t t]:", ""},
    {"QuoteClosingTheTextStaysAQuote", true, "SELECT a, 'it''",
     "[ ]: a(col) 'it'''(str)=FIELD_1", ""},
    {"LiteralWithPointAddsNoTable", true, "SELECT 0.5 AS w, 'a.b' AS s FROM t",
     "[ ]: 0.5(float)=w 'a.b'(str)=s | [t t]:", ""},
    {"BareQualifierOfSchemaTable", true, "SELECT Orders.x FROM dbo.Orders",
     "[dbo.Orders dbo.Orders]: x(col)", ""},
    {"DifferentSchemaTablesStayApart", true, "SELECT a.x FROM Orders a, dbo.Orders",
     "[Orders a]: x(col) | [dbo.Orders dbo.Orders]:", ""},
    {"InnerJoinAndChain", true, "SELECT a FROM t1 INNER JOIN t2 ON t1.id = t2.id AND t1.k = t2.k",
     "[ ]: a(col) | [t1 t1]: | [t2 t2]:", "0 t1.id = t2.id pref=t2 | 0 t1.k = t2.k pref=t2"},
    {"LeftOuterTypeForTheWholeChain", true,
     "SELECT a FROM t1 LEFT OUTER JOIN t2 ON t1.id = t2.id AND t1.k = t2.k",
     "[ ]: a(col) | [t1 t1]: | [t2 t2]:", "1 t1.id = t2.id pref=t2 | 1 t1.k = t2.k pref=t2"},
    {"ValueSideInMSSQL", true, "SELECT a.y FROM a JOIN b ON a.x = 5", "[a a]: y(col) | [b b]:",
     "0 a.x = .5 pref=b"},
    {"ValueSideOfTheJoinedTable", true, "SELECT a.y FROM a JOIN b ON b.x = 'v'",
     "[a a]: y(col) | [b b]:", "0 b.x = .'v' pref=a(followed)"},
    {"BlankDefinitionLetsBaseAcceptAValue", false, "SELECT y FROM a JOIN b ON a.x = 5",
     "[ ]: y(col) | [a a]: | [b b]:", "0 a.x = .5 pref=b"},
    {"CrossJoinReadsLikeAComma", true, "SELECT a.x FROM a CROSS JOIN b", "[a a]: x(col) | [b b]:", ""},
    {"CrossJoinAfterACondition", true, "SELECT a.x FROM a JOIN b ON a.i = b.i CROSS JOIN c",
     "[a a]: x(col) | [b b]: | [c c]:", "0 a.i = b.i pref=b"},
    {"ReversedOuterConditionIsExchanged", true, "SELECT a.x FROM a LEFT JOIN b ON b.aid = a.id",
     "[a a]: x(col) | [b b]:", "1 a.id = b.aid pref=b"},
    {"ExchangedComparisonIsMirrored", true, "SELECT a.x FROM a JOIN b ON b.n <= a.n AND b.m !< a.m",
     "[a a]: x(col) | [b b]:", "0 a.n >= b.n pref=b | 0 a.m !> b.m pref=b"},
    {"JoinWordEndsTheCondition", true,
     "SELECT a.x FROM a JOIN b ON a.id = b.id LEFT JOIN c ON b.id = c.bid",
     "[a a]: x(col) | [b b]: | [c c]:", "0 a.id = b.id pref=b | 1 b.id = c.bid pref=c"},
    {"CallSideKeepsItsText", true, "SELECT o.a FROM o JOIN p ON o.d < DATEADD(day, 1, p.e)",
     "[o o]: a(col) | [p p]:", "0 o.d < .DATEADD(day, 1, p.e) pref=p"},
    {"ParameterSideKeepsItsColon", true, "SELECT o.a FROM o JOIN c ON o.cid = :p",
     "[o o]: a(col) | [c c]:", "0 o.cid = .:p pref=c"},
    {"LiteralLeftSideIsExchanged", true, "SELECT a.x FROM a JOIN b ON 5 = b.x",
     "[a a]: x(col) | [b b]:", "0 b.x = .5 pref=a(followed)"},
    {"UnknownTableInCallIsExchanged", true, "SELECT a.x FROM a JOIN b ON UPPER(z.x) = b.y",
     "[a a]: x(col) | [b b]:", "0 b.y = .UPPER(z.x) pref=a(followed)"},
};

INSTANTIATE_TEST_SUITE_P(Parser, SelectModel, testing::ValuesIn(ModelCases),
                         [](const testing::TestParamInfo<TModelCase>& info) { return info.param.Name; });

struct TCriteriaCase {
    const char* Name;
    const char* Condition;
    const char* Tree;
};

class WhereTree : public testing::TestWithParam<TCriteriaCase> {};

TEST_P(WhereTree, ConditionBecomesCriterionTree) {
    auto parser = MakeDialect(true);
    const auto error = ParseError(*parser, std::string("SELECT a FROM t WHERE ") + GetParam().Condition);
    ASSERT_FALSE(error) << error->what();
    EXPECT_EQ(DescribeGroup(*parser->GetWhereItems()), GetParam().Tree);
}

const TCriteriaCase CriteriaCases[] = {
    {"OneComparison", "a = 1", "All(a = 1)"},
    {"AndChainIsOneGroup", "a = 1 AND b = 2 AND c = 3", "All(a = 1; b = 2; c = 3)"},
    {"AndBindsTighterThanOr", "a = 1 OR b = 2 AND c = 3", "Any(a = 1; All(b = 2; c = 3))"},
    {"BracketsGroup", "(a = 1 OR b = 2) AND c = 3", "All(Any(a = 1; b = 2); c = 3)"},
    {"NotAroundOrIsNone", "NOT (a = 1 OR b = 2)", "None(a = 1; b = 2)"},
    {"NotAroundAndIsNotAll", "NOT (a = 1 AND b = 2)", "NotAll(a = 1; b = 2)"},
    {"NotOfOneIsNot", "NOT a = 1", "Not(a = 1)"},
    {"MultiWordOperators", "a NOT LIKE 'x%' AND b IS NULL AND c IS NOT NULL",
     "All(a NOT LIKE 'x%'; b IS NULL; c IS NOT NULL)"},
    {"BetweenTakesTwoOperands", "a BETWEEN 1 AND 5", "All(a BETWEEN 1,5)"},
    {"InListOperands", "a IN (1, 2, 3)", "All(a IN 1,2,3)"},
    {"InListWithExpressions", "a IN ((1), -2, b + 1)", "All(a IN (1),-2,b + 1)"},
    {"SubQueryIsOneOperand", "a IN (SELECT x FROM t WHERE y = 'z')",
     "All(a IN SELECT x FROM t WHERE y = 'z')"},
    {"QuotedCommaIsAName", "[,] = 1", "All(, = 1)"},
    {"NationalLiteral", "a LIKE N'北京%'", "All(a LIKE N'北京%')"},
    {"DialectComparisons", "a != 1 AND b !< 2", "All(a != 1; b !< 2)"},
    {"SignedAndParameterLeftSides", "-a > 5 AND :p = b AND @v = 1",
     "All(- a > 5; p = b; @v = 1)"},
    {"LongAndChainStaysFlat", "a=1 AND b=2 AND c=3 AND d=4 AND e=5 OR f=6",
     "Any(All(a = 1; b = 2; c = 3; d = 4; e = 5); f = 6)"},
};

INSTANTIATE_TEST_SUITE_P(Parser, WhereTree, testing::ValuesIn(CriteriaCases),
                         [](const testing::TestParamInfo<TCriteriaCase>& info) { return info.param.Name; });

struct TErrorCase {
    const char* Name;
    bool MS;
    const char* Text;
    int Code;
    const char* Token;
    int Line;
    int Position;
};

class ParseErrors : public testing::TestWithParam<TErrorCase> {};

TEST_P(ParseErrors, ReportCodeTokenLineAndPosition) {
    const TErrorCase& c = GetParam();
    auto parser = MakeDialect(c.MS);
    const auto error = ParseError(*parser, c.Text);
    ASSERT_TRUE(error) << "accepted: " << c.Text;
    EXPECT_EQ(error->ErrorCode, c.Code);
    EXPECT_EQ(error->Token, c.Token);
    EXPECT_EQ(error->LineNo, c.Line);
    EXPECT_EQ(error->LinePos, c.Position);
    EXPECT_FALSE(parser->Valid);
}

const TErrorCase ErrorCases[] = {
    {"SelectAlone", true, "SELECT", 2, "", 1, 7},
    {"NothingAfterFrom", true, "SELECT a FROM", 2, "", 1, 14},
    {"UnexpectedWord", true, "SELECT a FROM t ORDER BY a UNION SELECT b FROM u", 1, "UNION", 1, 28},
    {"FunctionInGroupBy", true, "SELECT a FROM t GROUP BY year(d)", 1, "(", 1, 30},
    {"OpenBracket", true, "SELECT (a FROM t", 2, "", 1, 17},
    {"TopNeedsANumber", true, "SELECT TOP x a FROM t", 1, "x", 1, 12},
    {"WithTiesOnlyAfterPercent", true, "SELECT TOP 5 WITH TIES a FROM t", 1, "WITH", 1, 14},
    {"SecondAlias", true, "SELECT SUM(c) total x FROM t", 1, "x", 1, 21},
    {"ErrorOnSecondLine", true, "SELECT a\r\nFROM t WHERE ORDER", 1, "ORDER", 2, 14},
    {"UnterminatedString", true, "SELECT 'abc", 3, "abc", 1, 9},
    {"InvalidJoinInBase", false, "SELECT a.y FROM a JOIN b ON a.x = 5", 5, "", 1, 36},
    {"JoinWithoutAnyTable", true, "SELECT a.y FROM a JOIN b ON 1 = 2", 5, "", 1, 34},
    {"CrossIsNoKeywordInBase", false, "SELECT a.x FROM a CROSS JOIN b", 2, "", 1, 31},
    {"LeadingSemicolon", true, ";WITH x AS (SELECT 1) SELECT * FROM x", 1, "WITH", 1, 2},
    {"GroupByEndsWithPoint", true, "SELECT a FROM t GROUP BY t.", 2, "", 1, 28},
    {"OrderByEndsWithPoint", true, "SELECT a FROM t ORDER BY t.", 2, "", 1, 28},
    {"TwoConditionsSideBySide", true, "SELECT a FROM t WHERE (a = 1) (b = 2)", 1, "(", 1, 31},
    {"GroupWithoutBy", true, "SELECT a FROM t WHERE a = 1 GROUP", 1, "GROUP", 1, 29},
    {"UnclosedParameterList", true, "SELECT a FROM p(1, 2", 2, "", 1, 21},
    {"NameThatCannotBeWrittenBack", true, "SELECT [[b.c] FROM t", 1, "[[b.c]", 1, 7},
    {"NameStartingWithAnOpeningQuote", true, "SELECT t.[[b] FROM t", 1, "[b", 1, 11},
    {"OperatorWordsLeftOpen", true, "SELECT a FROM t WHERE a NOT", 2, "", 1, 28},
    {"OperatorWordsBeforeAnOperand", true, "SELECT a FROM t WHERE a IS b", 1, "b", 1, 28},
    {"OperatorWordsBeforeASymbol", true, "SELECT a FROM t WHERE a NOT -1", 1, "-", 1, 29},
    {"SecondOperatorInAComparison", true, "SELECT a FROM t WHERE a < b NOT LIKE 'x'", 1, "NOT", 1, 29},
    {"TwoPointsInAName", true, "SELECT a FROM t ORDER BY t..a", 1, ".", 1, 28},
    {"StrayTokenInCondition", true, "SELECT a FROM t WHERE a = 1 , b = 2", 1, ",", 1, 29},
    {"UnclosedInList", true, "SELECT a FROM t WHERE a IN (1, 2", 2, "", 1, 33},
    {"InWithoutBracket", true, "SELECT a FROM t WHERE a IN 1", 1, "1", 1, 28},
    {"BetweenWithoutAnd", true, "SELECT a FROM t WHERE a BETWEEN 1 OR 5", 1, "OR", 1, 35},
    {"UnclosedSubQuery", true, "SELECT a FROM t WHERE a IN (SELECT b FROM (u)", 2, "", 1, 46},
};

INSTANTIATE_TEST_SUITE_P(Parser, ParseErrors, testing::ValuesIn(ErrorCases),
                         [](const testing::TestParamInfo<TErrorCase>& info) { return info.param.Name; });

TEST(SelectParser, AcceptsSelectWithoutFrom) {
    auto parser = MakeDialect(false);
    ASSERT_FALSE(ParseError(*parser, "SELECT a"));
    EXPECT_EQ(DescribeTables(*parser), "[ ]: a(col)");
    EXPECT_TRUE(parser->Valid);
}

TEST(SelectParser, EmptyTextOnlyClears) {
    auto parser = MakeDialect(true);
    parser->ParseSQL("SELECT a FROM t WHERE a = 1");
    parser->ParseSQL("  \r\n ");
    EXPECT_EQ(parser->GetTableDefs()->Count(), 0);
    EXPECT_EQ(parser->GetWhereItems()->Count(), 0);
    EXPECT_EQ(parser->GetSQL(), "");
}

TEST(SelectParser, ClearEmptiesEverythingAndLeavesTheTablesOwnCleanUpOn) {
    auto parser = MakeDialect(true);
    parser->ParseSQL("SELECT o.a, c.b, SUM(o.x) AS s FROM o JOIN c ON o.k = c.k "
                     "WHERE c.b > 1 GROUP BY o.a, c.b HAVING SUM(o.x) > 2 ORDER BY c.b");
    parser->Clear();
    EXPECT_FALSE(parser->IsClearing());
    EXPECT_EQ(parser->GetTableDefs()->Count(), 0);
    EXPECT_EQ(parser->GetJoinDefs()->Count(), 0);
    EXPECT_EQ(parser->GetWhereItems()->Count(), 0);
    EXPECT_EQ(parser->GetHavingItems()->Count(), 0);
    EXPECT_EQ(parser->GetGroupByItems()->Count(), 0);
    EXPECT_EQ(parser->GetOrderByItems()->Count(), 0);
    // A table removed on its own still takes along what names it.
    parser->ParseSQL("SELECT o.a, c.b FROM o, c WHERE c.b > 1 ORDER BY c.b");
    TQBTableDefs& tables = *parser->GetTableDefs();
    tables.Delete(tables.IndexOf(tables.FindByAlias("c")));
    EXPECT_EQ(parser->GetWhereItems()->Count(), 0);
    EXPECT_EQ(parser->GetOrderByItems()->Count(), 0);
    ASSERT_NE(tables.FindByAlias("o"), nullptr);
    EXPECT_EQ(tables.FindByAlias("o")->Fields().Items(0)->SelectIndex, 0);
}

TEST(SelectParser, ProcedureParameters) {
    for (const bool ms : {true, false}) {
        auto parser = MakeDialect(ms);
        ASSERT_FALSE(ParseError(*parser, "SELECT p.a FROM proc1(1, 'x', NULL, :p) p"));
        const TQBTableDef* table = parser->GetTableDefs()->FindByAlias("p");
        ASSERT_NE(table, nullptr);
        EXPECT_TRUE(table->IsProcedure);
        ASSERT_EQ(table->Fields().Count(), 5);  // the column a and four parameters
        const TQBFieldDef& one = *table->Fields().Items(1);
        EXPECT_EQ(one.ParamType, ptInput);
        EXPECT_EQ(one.DataType, ftInteger);
        EXPECT_EQ(one.Value, TVariant(std::int64_t(1)));
        const TQBFieldDef& text = *table->Fields().Items(2);
        EXPECT_EQ(text.DataType, ftString);
        EXPECT_EQ(text.Value, TVariant(ms ? "'x'" : "x"));
        EXPECT_TRUE(table->Fields().Items(3)->Value.IsNull());
        EXPECT_TRUE(table->Fields().Items(4)->Value.IsUnassigned());
        EXPECT_EQ(table->Fields().Items(4)->Name, "p");
    }
}

TEST(SelectParser, GroupAndOrderItemsAreNotRepeated) {
    auto parser = MakeDialect(true);
    ASSERT_FALSE(ParseError(*parser, "SELECT t.a, b FROM t GROUP BY t.a, b, T.A ORDER BY t.a DESC, b, t.a"));
    const TQBGroupByItems& group = *parser->GetGroupByItems();
    ASSERT_EQ(group.Count(), 2);
    EXPECT_EQ(group[0], "t.a");
    EXPECT_EQ(group[1], "b");
    const TQBOrderByItems& order = *parser->GetOrderByItems();
    ASSERT_EQ(order.Count(), 2);
    EXPECT_EQ(order.GetDirection(0), sdDescending);
    EXPECT_EQ(order.GetDirection(1), sdAscending);
}

TEST(SelectParser, RawNamesInGroupAndOrderItems) {
    auto parser = MakeDialect(true);
    ASSERT_FALSE(ParseError(*parser, "SELECT t.[My Col] FROM t ORDER BY t.[My Col], 2"));
    EXPECT_EQ((*parser->GetOrderByItems())[0], "t.My Col");
    EXPECT_EQ((*parser->GetOrderByItems())[1], "2");
}

TEST(MSSelectParser, TopSettingsAreReadAndReset) {
    auto parser = MakeParser<TQBMSSelectParser>();
    parser->ParseSQL("SELECT DISTINCT TOP 5 PERCENT WITH TIES a FROM t");
    EXPECT_TRUE(parser->GetDistinct());
    EXPECT_EQ(parser->GetOptions().Top, 5);
    EXPECT_TRUE(parser->GetOptions().Percent);
    EXPECT_TRUE(parser->GetOptions().WithTies);
    parser->ParseSQL("SELECT ALL a FROM t");
    EXPECT_FALSE(parser->GetDistinct());
    EXPECT_EQ(parser->GetOptions().Top, -1);
    parser->ParseSQL("SELECT TOP 3 a FROM t");
    parser->Clear();
    EXPECT_EQ(parser->GetOptions().Top, -1);
    EXPECT_EQ(parser->GetSQL(), "");
    // An empty statement leaves no DISTINCT behind for the next select list.
    parser->ParseSQL("SELECT DISTINCT a FROM t");
    parser->ParseSQL("");
    EXPECT_FALSE(parser->GetDistinct());
}

TEST(SelectParser, UserOperatorsAreReadFromKeywordsOnly) {
    auto parser = MakeParser<TQBMSSelectParser>();
    parser->GetOperators()->AddOperator("CONTAINS");  // a keyword of the dialect
    parser->GetOperators()->AddOperator("MATCHES");   // a plain word
    ASSERT_FALSE(ParseError(*parser, "SELECT a FROM t WHERE a CONTAINS 'x' AND b MATCHES 'y'"));
    EXPECT_EQ(DescribeGroup(*parser->GetWhereItems()), "All(a CONTAINS 'x'; b MATCHES 'y' =)");
}

TEST(MSSelectParser, CaseSensitivityReachesTheScanner) {
    auto parser = MakeParser<TQBMSSelectParser>();
    auto* scanner = dynamic_cast<TQBMSSQLScanner*>(parser->GetScanner());
    ASSERT_NE(scanner, nullptr);
    parser->SetCaseSensitiveIdentifiers(true);
    EXPECT_TRUE(scanner->GetCaseSensitive());
    parser->SetCaseSensitiveIdentifiers(false);
    EXPECT_FALSE(scanner->GetCaseSensitive());
}

TEST(ParserErrorHandler, ReceivesReportsAndParsingGoesOn) {
    auto parser = MakeDialect(true);
    std::vector<std::string> reports;
    parser->OnParserError = [&](TQBSelectParser* sender, const std::string&, const std::string& token,
                                int line, int pos) {
        EXPECT_EQ(sender, parser.get());
        reports.push_back(token + "@" + std::to_string(line) + ":" + std::to_string(pos));
    };
    parser->ParseSQL("SELECT a FROM t WHERE (a = 1))");
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(reports[0], ")@1:30");
    EXPECT_EQ(DescribeGroup(*parser->GetWhereItems()), "All(a = 1)");
    EXPECT_FALSE(parser->Valid);

    // A failing FROM list keeps nothing of the tables.
    reports.clear();
    parser->ParseSQL("SELECT a FROM t.1");
    ASSERT_EQ(reports.size(), 1u);
    EXPECT_EQ(parser->GetTableDefs()->Count(), 0);
}

TEST(ParserErrorHandler, UnterminatedStringIsRaisedEvenWithAHandler) {
    auto parser = MakeDialect(true);
    parser->OnParserError = [](TQBSelectParser*, const std::string&, const std::string&, int, int) {};
    EXPECT_THROW(parser->ParseSQL("SELECT 'abc"), EQBParserError);
}

}  // namespace
