// Criteria, groups and operators: the WHERE and HAVING text.
#include "ModelTestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <vector>

namespace {

// Adds the comparison Left Caption Operands to Group.
TQBCriterion* AddCriterion(TQBCriterions& Group, const std::string& Left, const std::string& Caption,
                           std::initializer_list<const char*> Operands = {},
                           TQBFunctionKind OperandKind = fkInteger) {
    TQBCriterion* criterion = Group.Add();
    criterion->Expression().Name = Left;
    criterion->Expression().Kind = fkField;
    criterion->OperatorCaption = Caption;
    for (const char* text : Operands) {
        TQBFunctionDef* operand = criterion->Operands().Add();
        operand->Name = text;
        operand->Kind = OperandKind;
    }
    return criterion;
}

struct CriterionCase {
    const char* name;
    const char* caption;
    std::vector<const char*> operands;
    const char* expected;
};

class CriterionText : public ::testing::TestWithParam<CriterionCase> {};

TEST_P(CriterionText, FollowsTheOperator) {
    auto parser = BaseParser();
    TQBCriterion* c = AddCriterion(*parser->GetWhereItems(), "x", "", {});
    c->OperatorCaption = GetParam().caption;
    for (const char* text : GetParam().operands) {
        TQBFunctionDef* operand = c->Operands().Add();
        operand->Name = text;
        operand->Kind = fkInteger;
    }
    EXPECT_EQ(c->GetSQL(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Model, CriterionText,
    ::testing::Values(CriterionCase{"equal", "=", {"5"}, "x = 5"},
                      CriterionCase{"in_list", "IN", {"1", "2", "3"}, "x IN (1,2,3)"},
                      CriterionCase{"between", "BETWEEN", {"1", "10"}, "x BETWEEN 1 AND 10"},
                      CriterionCase{"between_missing_second", "BETWEEN", {"1"}, "x BETWEEN 1 "},
                      CriterionCase{"is_null", "IS NULL", {}, "x IS NULL"},
                      CriterionCase{"missing_operand", "=", {}, "x"},
                      CriterionCase{"unknown_caption", "~~", {"5"}, "x ~~"},
                      CriterionCase{"not_in_single", "NOT IN", {"1"}, "x NOT IN (1)"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Criteria, LowerCaseKeywordsReachOperatorAndRelate) {
    auto parser = BaseParser();
    parser->GetScriptFormat().KeywordsFormat = qfmLowerCase;
    EXPECT_EQ(AddCriterion(*parser->GetWhereItems(), "x", "IS NULL")->GetSQL(), "x is null");
    EXPECT_EQ(AddCriterion(*parser->GetWhereItems(), "x", "BETWEEN", {"1", "2"})->GetSQL(), "x between 1 and 2");
}

TEST(Criteria, ColumnsAreQuotedPartByPart) {
    auto parser = MSParser();
    TQBCriterion* c = AddCriterion(*parser->GetWhereItems(), "my t.order", "=", {"o.my col"}, fkField);
    EXPECT_EQ(c->GetSQL(), "[my t].[order] = o.[my col]");
}

TEST(Criteria, BindingReplacesAnUnknownCaption) {
    auto parser = BaseParser();
    TQBCriterion free;
    free.OperatorCaption = "!<";
    free.SetParser(parser.get());
    EXPECT_EQ(free.OperatorCaption, "=");
    free.OperatorCaption = "like";
    free.SetParser(nullptr);
    free.SetParser(parser.get());
    EXPECT_EQ(free.OperatorCaption, "like");
}

TEST(Criteria, WithoutOperatorTableOperandsAreCommaSeparated) {
    TQBCriterions group;
    AddCriterion(group, "x", "=", {"1", "2"});
    EXPECT_EQ(group.Items(0)->GetSQL(), "x  1, 2");
}

struct GroupCase {
    const char* name;
    std::function<void(TQBSelectParser&)> build;
    const char* expected;
};

class GroupText : public ::testing::TestWithParam<GroupCase> {};

TEST_P(GroupText, IsWritten) {
    auto parser = BaseParser();
    GetParam().build(*parser);
    EXPECT_EQ(parser->GetWhereItems()->GetSQL(), GetParam().expected);
}

TQBCriterions& Where(TQBSelectParser& P) { return *P.GetWhereItems(); }

INSTANTIATE_TEST_SUITE_P(
    Model, GroupText,
    ::testing::Values(
        GroupCase{"empty", [](TQBSelectParser&) {}, ""},
        GroupCase{"all_of_two",
                  [](TQBSelectParser& P) {
                      AddCriterion(Where(P), "a", "=", {"1"});
                      AddCriterion(Where(P), "b", "=", {"2"});
                  },
                  "WHERE\r\n  (a = 1) AND \r\n  (b = 2)\r\n"},
        GroupCase{"none_of_one",
                  [](TQBSelectParser& P) {
                      Where(P).GroupKind = gkNone;
                      AddCriterion(Where(P), "a", "=", {"1"});
                  },
                  "WHERE\r\n  NOT (a = 1)\r\n"},
        GroupCase{"none_of_two",
                  [](TQBSelectParser& P) {
                      Where(P).GroupKind = gkNone;
                      AddCriterion(Where(P), "a", "=", {"1"});
                      AddCriterion(Where(P), "b", "=", {"2"});
                  },
                  "WHERE\r\n  NOT ((a = 1) OR \r\n  (b = 2))\r\n"},
        GroupCase{"not_joins_with_and",
                  [](TQBSelectParser& P) {
                      Where(P).GroupKind = gkNot;
                      AddCriterion(Where(P), "a", "=", {"1"});
                      AddCriterion(Where(P), "b", "=", {"2"});
                  },
                  "WHERE\r\n  NOT ((a = 1) AND \r\n  (b = 2))\r\n"},
        GroupCase{"any_nested_in_all_bracketed_without_option",
                  [](TQBSelectParser& P) {
                      P.GetScriptFormat().AlwaysBracketConditions = false;
                      AddCriterion(Where(P), "a", "=", {"1"});
                      TQBCriterion* nested = Where(P).Add();
                      nested->SubCriteria().GroupKind = gkAny;
                      AddCriterion(nested->SubCriteria(), "b", "=", {"2"});
                      AddCriterion(nested->SubCriteria(), "c", "=", {"3"});
                  },
                  "WHERE\r\n  a = 1 AND \r\n  (b = 2 OR \r\n  c = 3)\r\n"},
        GroupCase{"all_nested_in_any_not_bracketed",
                  [](TQBSelectParser& P) {
                      P.GetScriptFormat().AlwaysBracketConditions = false;
                      Where(P).GroupKind = gkAny;
                      AddCriterion(Where(P), "a", "=", {"1"});
                      TQBCriterion* nested = Where(P).Add();
                      AddCriterion(nested->SubCriteria(), "b", "=", {"2"});
                      AddCriterion(nested->SubCriteria(), "c", "=", {"3"});
                  },
                  "WHERE\r\n  a = 1 OR \r\n  b = 2 AND \r\n  c = 3\r\n"},
        GroupCase{"empty_items_skipped",
                  [](TQBSelectParser& P) {
                      Where(P).Add();  // a group criterion without anything in it
                      Where(P).Items(0)->Expression().Kind = fkExpression;
                      AddCriterion(Where(P), "b", "=", {"2"});
                  },
                  "WHERE\r\n  (b = 2)\r\n"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Criteria, HavingNeedsGroupByItems) {
    auto parser = BaseParser();
    AddCriterion(*parser->GetHavingItems(), "SUM(x)", "=", {"1"});
    parser->GetHavingItems()->Items(0)->Expression().Kind = fkExpression;
    EXPECT_EQ(parser->GetHavingItems()->GetSQL(), "");
    parser->GetGroupByItems()->Add("a");
    EXPECT_EQ(parser->GetHavingItems()->GetSQL(), "HAVING\r\n  (SUM(x) = 1)\r\n");
}

TEST(Criteria, AssignCopiesTheTree) {
    auto parser = BaseParser();
    Where(*parser).GroupKind = gkNotAll;
    TQBCriterion* nested = Where(*parser).Add();
    nested->SubCriteria().GroupKind = gkAny;
    AddCriterion(nested->SubCriteria(), "b", "IN", {"2", "3"});
    AddCriterion(nested->SubCriteria(), "c", "IS NULL");
    TQBCriterions copy;
    copy.Assign(Where(*parser));
    EXPECT_EQ(copy.GroupKind, gkNotAll);
    EXPECT_EQ(copy.GetParser(), parser.get());
    Where(*parser).Clear();
    EXPECT_EQ(copy.GetSQL(), "NOT ((b IN (2,3)) OR \r\n  (c IS NULL))\r\n");
}

struct StartCase {
    const char* text;
    const char* found;
    bool partial;
};

// Named by its text: printed byte for byte, the padding after the flag would be read.
void PrintTo(const StartCase& Case, std::ostream* Out) { *Out << '"' << Case.text << '"'; }

class OperatorPrefix : public ::testing::TestWithParam<StartCase> {};

TEST_P(OperatorPrefix, FindsMultiWordOperators) {
    auto parser = BaseParser();
    bool partial = !GetParam().partial;
    const TQBOperator* op = parser->GetOperators()->FindStartingWith(GetParam().text, partial);
    if (!*GetParam().found) {
        EXPECT_EQ(op, nullptr);
        return;
    }
    ASSERT_NE(op, nullptr);
    EXPECT_EQ(op->Name, GetParam().found);
    EXPECT_EQ(partial, GetParam().partial);
}

INSTANTIATE_TEST_SUITE_P(Model, OperatorPrefix,
                         ::testing::Values(StartCase{"NOT", "NOT LIKE", true}, StartCase{"not in", "NOT IN", false},
                                           StartCase{"IS", "IS NULL", true}, StartCase{"IS NOT", "IS NOT NULL", true},
                                           StartCase{"<", "<", false}, StartCase{"", "", false},
                                           StartCase{"!=", "", false}, StartCase{"LIKE", "LIKE", false}));

TEST(Operators, DefaultTableAndCopy) {
    auto parser = BaseParser();
    const TQBOperators& ops = *parser->GetOperators();
    ASSERT_EQ(ops.Count(), 14);
    EXPECT_EQ(ops.FindByCaption("between")->Relate, "AND");
    EXPECT_EQ(ops.FindByName("IS NOT NULL")->Count, 0);
    EXPECT_TRUE(ops.FindByName("not in")->CommaList);
    TQBOperators copy;
    copy.AddOperator("~");
    copy.Assign(ops);
    ASSERT_EQ(copy.Count(), 14);
    EXPECT_EQ(copy.Items(8)->Prefix, "(");
    EXPECT_EQ(copy.Items(8)->Postfix, ")");
}

}  // namespace
