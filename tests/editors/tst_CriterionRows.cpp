// Criterion rows on panels of their own: spot texts, the spots and SQL of every operator,
// write-through of functions and values, outline numbers, loading from the model, qualifier
// renames, the keyboard walk on an empty panel, and the operand check of typed text.
#include "CriteriaTestSupport.h"
#include "editors/QBCriterionOperand.h"
#include "lexer/QBScanner.h"

namespace {

using CriterionRowsTest = StandalonePanels;

TEST(SpotTextTest, PlaceholderCutAndLineBreaks) {
    struct Case {
        const char* name;
        std::string source;
        std::string shown;
    } cases[] = {
        {"empty text shows nine spaces", "", "         "},
        {"short text as it is", "o.x", "o.x"},
        {"sixty characters cut to fifty and dots", std::string(60, 'a'), std::string(50, 'a') + "..."},
        {"fifty characters kept whole", std::string(50, 'b'), std::string(50, 'b')},
        {"two lines on one", "a\r\nb\nc", "a  b c"},
        {"Chinese counted as characters", [] {
             std::string s;
             for (int i = 0; i < 52; ++i) s += "中";
             return s;
         }(),
         [] {
             std::string s;
             for (int i = 0; i < 50; ++i) s += "中";
             return s + "...";
         }()},
    };
    for (const Case& c : cases) EXPECT_EQ(SpotText(c.source), c.shown) << c.name;
}

TEST_F(CriterionRowsTest, EveryOperatorShowsItsValueSpotsAndWritesItsSql) {
    struct Case {
        const char* op;
        std::vector<std::string> values;
        const char* sql;
    } cases[] = {
        {"=", {"1"}, "WHERE (x = 1)"},
        {"<>", {"1"}, "WHERE (x <> 1)"},
        {"<", {"1"}, "WHERE (x < 1)"},
        {">", {"1"}, "WHERE (x > 1)"},
        {"<=", {"1"}, "WHERE (x <= 1)"},
        {">=", {"1"}, "WHERE (x >= 1)"},
        {"!<", {"1"}, "WHERE (x !< 1)"},
        {"!=", {"1"}, "WHERE (x != 1)"},
        {"!>", {"1"}, "WHERE (x !> 1)"},
        {"LIKE", {"'a%'"}, "WHERE (x LIKE 'a%')"},
        {"NOT LIKE", {"'a%'"}, "WHERE (x NOT LIKE 'a%')"},
        {"IN", {"1,2,3"}, "WHERE (x IN (1,2,3))"},
        {"NOT IN", {"1,2"}, "WHERE (x NOT IN (1,2))"},
        {"BETWEEN", {"1", "10"}, "WHERE (x BETWEEN 1 AND 10)"},
        {"NOT BETWEEN", {"1", "10"}, "WHERE (x NOT BETWEEN 1 AND 10)"},
        {"IS NULL", {}, "WHERE (x IS NULL)"},
        {"IS NOT NULL", {}, "WHERE (x IS NOT NULL)"},
    };
    ASSERT_EQ(Parser->GetOperators()->Count(), static_cast<int>(std::size(cases)));
    for (const Case& c : cases) {
        Parser->Clear();
        Where->LoadFromModel();
        TQBCriterionRow* row = AddRow(*Where);
        EXPECT_EQ(WhereSql(), "") << c.op << ": a new criterion writes nothing";
        ASSERT_NE(Operator(c.op), nullptr) << c.op;
        row->SetExpressionText("x");
        row->SetOperator(Operator(c.op));
        EXPECT_EQ(row->SpotCount(), siFirstValue + static_cast<int>(c.values.size())) << c.op;
        for (std::size_t v = 0; v < c.values.size(); ++v) row->SetValue(static_cast<int>(v), c.values[v]);
        EXPECT_EQ(Flat(WhereSql()), c.sql) << c.op;
        // The rows read back from the model show the same values.
        Where->LoadFromModel();
        const TQBCriterionRow* again = Where->RootRow()->SubRows().Items(0);
        EXPECT_EQ(again->Values(), c.values) << c.op;
    }
}

TEST_F(CriterionRowsTest, BetweenGivesTwoValueSpotsAndIsNullNone) {
    TQBCriterionRow* row = AddRow(*Where);
    row->SetExpressionText("x");
    row->SetOperator(Operator("BETWEEN"));
    EXPECT_EQ(row->SpotCount(), 7);
    EXPECT_EQ(row->Values().size(), 2u);
    EXPECT_EQ(row->Criterion()->OperatorCaption, "BETWEEN");
    row->SetValue(0, "1");
    row->SetValue(1, "2");
    row->SetOperator(Operator("IS NULL"));
    EXPECT_EQ(row->SpotCount(), 5);
    EXPECT_TRUE(row->Values().empty());
    EXPECT_EQ(Flat(WhereSql()), "WHERE (x IS NULL)") << "no operand is left behind";
    row->SetOperator(Operator("="));
    row->SetValue(0, "3");
    EXPECT_EQ(Flat(WhereSql()), "WHERE (x = 3)");
}

TEST_F(CriterionRowsTest, RowNumbersOfNestedGroups) {
    Load("SELECT * FROM t WHERE a = 1 AND b = 2 AND (c = 3 OR d = 4)");
    EXPECT_EQ(RowTexts(*Where), (std::vector<std::string>{"|All", "1.|a|=|1", "2.|b|=|2", "3.|Any", "3.1.|c|=|3",
                                                          "3.2.|d|=|4"}));
    const auto& rows = Where->VisibleRows();
    // Each row's neighbours are the rows shown before and after it.
    for (std::size_t k = 0; k < rows.size(); ++k) {
        EXPECT_EQ(rows[k]->PriorRow(), k == 0 ? nullptr : rows[k - 1]) << k;
        EXPECT_EQ(rows[k]->NextRow(), k + 1 == rows.size() ? nullptr : rows[k + 1]) << k;
    }
    // The layout of a row starts after its owner's number, indented.
    EXPECT_EQ(rows[4]->Spot(siNumber)->Left, rows[3]->Spot(siNumber)->Left + TQBCriterionPanel::Indent);
    EXPECT_EQ(rows[4]->Spot(siExpression)->Left, rows[4]->Spot(siNumber)->Right() + 5) << "no function spot in WHERE";
}

TEST_F(CriterionRowsTest, LoadsListsAndTexts) {
    Load("SELECT * FROM t WHERE x IN (1,2,3) AND y BETWEEN 'a' AND 'b' AND z IS NULL");
    EXPECT_EQ(RowTexts(*Where),
              (std::vector<std::string>{"|All", "1.|x|IN|1,2,3", "2.|y|BETWEEN|'a'|'b'", "3.|z|IS NULL"}));
    EXPECT_EQ(Where->RootRow()->SubRows().Items(0)->Values(), (std::vector<std::string>{"1,2,3"}));
}

TEST_F(CriterionRowsTest, HavingSplitsAggregatesAndWritesThemBack) {
    Load("SELECT o.cid FROM Orders o GROUP BY o.cid HAVING SUM(o.price) > 100");
    TQBCriterionRow* row = Having->RootRow()->SubRows().Items(0);
    EXPECT_EQ(row->LeftFunction(), "SUM");
    EXPECT_EQ(row->ExpressionText(), "o.price");
    EXPECT_EQ(row->Values(), (std::vector<std::string>{"100"}));
    EXPECT_GT(row->Spot(siLeftFunction)->Width, 0) << "HAVING shows the function spots";
    // Clearing the left function turns the expression back into the column.
    row->SetLeftFunction("");
    EXPECT_EQ(row->Criterion()->Expression().GetSQL(), "o.price");
    // Removing a function that is not there changes nothing.
    row->SetLeftFunction(EmptySpotText);
    EXPECT_EQ(row->Criterion()->Expression().GetSQL(), "o.price");
    row->SetRightFunction("");
    EXPECT_EQ(row->Criterion()->Operands().Items(0)->GetSQL(), "100");

    TQBCriterionRow* added = AddRow(*Having);
    added->SetExpressionText("x");
    added->SetLeftFunction("MAX");
    added->SetValue(0, "y");
    added->SetRightFunction("MIN");
    EXPECT_EQ(added->Criterion()->GetSQL(), "MAX(x) = MIN(y)");
    added->SetRightFunction("");
    EXPECT_EQ(added->Criterion()->GetSQL(), "MAX(x) = y");
}

TEST_F(CriterionRowsTest, RenameQualifierReplacesWholeQualifiersOutsideStrings) {
    struct Case {
        const char* name;
        const char* oldKey;
        const char* newKey;
        std::string text;
        std::string renamed;
    } cases[] = {
        {"plain qualifier", "o", "po", "o.x", "po.x"},
        {"renamed once", "o", "po", "o.x + o.y", "po.x + po.y"},
        {"tail of a longer name", "s", "t", "Orders.Status", "Orders.Status"},
        {"inside a string literal", "s", "t", "'s.x'", "'s.x'"},
        {"name without qualifier", "o", "po", "o", "o"},
    };
    for (const Case& c : cases) {
        Parser->Clear();
        Where->LoadFromModel();
        TQBCriterionRow* row = AddRow(*Where);
        row->SetExpressionText(c.text);
        row->SetValue(0, c.text);
        Where->RenameQualifier(c.oldKey, c.newKey);
        EXPECT_EQ(row->ExpressionText(), c.renamed) << c.name;
        EXPECT_EQ(row->Values()[0], c.renamed) << c.name;
        EXPECT_EQ(Flat(WhereSql()), "WHERE (" + c.renamed + " = " + c.renamed + ")") << c.name;
    }
}

TEST(CriterionOperandTest, AcceptsOneOperandAndRefusesWhatWouldBreakTheStatement) {
    auto parser = MakeParser<TQBMSSelectParser>();
    TQBSQLScanner& scanner = *parser->GetScanner();
    scanner.SetText("SELECT 1");
    struct Case {
        const char* text;
        bool commaList;
        bool accepted;
    } cases[] = {
        {"1", false, true},
        {"'it''s'", false, true},
        {"o.Freight * 2 + 1", false, true},
        {"(SELECT MAX(x) FROM t WHERE y = 1)", false, true},
        {"CASE WHEN a = 1 THEN 2 ELSE 3 END", false, true},
        {"[Order Details].Quantity", false, true},
        {"'--not a comment'", false, true},
        {"N'中文'", false, true},
        {"1,2,3", true, true},
        {"", false, true},
        {"'abc", false, false},
        {"[abc", false, false},
        {"(1", false, false},
        {"1)", false, false},
        {"1) OR (1 = 1", false, false},
        {"1 -- rest", false, false},
        {"1 /* c */", false, false},
        {"1; DROP TABLE t", false, false},
        {"1 OR 1 = 1", false, false},
        {"1 AND 2", false, false},
        {"x = 1", false, false},
        {"x IS NULL", false, false},
        {"1,2", false, false},
        {"1 ORDER BY x", false, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsSingleOperandText(scanner, c.text, c.commaList), c.accepted) << c.text;
    EXPECT_EQ(scanner.GetText(), "SELECT 1") << "the scanner's text is put back";
}

TEST_F(CriterionRowsTest, KeyboardOnAnEmptyPanelStays) {
    Page->show();
    Where->setFocus();
    for (int key : {Qt::Key_Right, Qt::Key_Left, Qt::Key_Down, Qt::Key_Up}) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(Where, &press);
        EXPECT_EQ(Where->CurrentSpot(), Where->RootRow()->Spot(siLeftFunction)) << key;
    }
}

TEST(CriterionPanelTest, RefusesToBeMadeWithoutParent) {
    try {
        TQBWherePanel panel(nullptr, nullptr);
        FAIL() << "made without a parent";
    } catch (const EQBException& e) {
        EXPECT_STREQ(e.what(), "条件面板父属性无效");
    }
}

}  // namespace
