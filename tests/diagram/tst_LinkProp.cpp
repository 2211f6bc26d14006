// The link properties dialog: its captions, the operator and the outer-join sides written
// back to the link, its join and the model, the refusal of an unknown operator, and its
// sizing. The dialog runs through the work area's modal seam; the tests click in it.
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

#include "DiagramTestSupport.h"
#include "diagram/QBLinkProp.h"
#include "toolkit/Exceptions.h"

namespace {

class LinkPropTest : public DiagramTest {
protected:
    void SetUp() override {
        DiagramTest::SetUp();
        auto orders = Fields({{"OrderID", ftInteger}, {"CustomerID", ftString}, {"ShipName", ftString}});
        auto customers = Fields({{"CustomerID", ftString}, {"CompanyName", ftString}});
        Orders = Area->InsertTable("Orders", "O", TPoint{50, 20}, false, orders.get());
        Customers = Area->InsertTable("Customers", "", TPoint{400, 20}, false, customers.get());
        Link = Area->AddLink(Orders, Customers, Orders->FindItem("CustomerID"), Customers->FindItem("CustomerID"));
        ASSERT_NE(Link, nullptr);
        Area->ModalHook = [this](QDialog& dialog) {
            auto& form = dynamic_cast<TfmLinkProp&>(dialog);
            ++Runs;
            form.show();  // shown, never run modally
            if (Script) Script(form);
            const bool accepted = form.result() == QDialog::Accepted;
            form.hide();
            return accepted;
        };
    }

    // Double-clicks the link in the middle of its middle segment.
    void DoubleClickLink(const TQBLink* link) {
        const TPoint a = link->GetPoint(1), b = link->GetPoint(2);
        DoubleClick(QPoint((a.X + b.X) / 2, (a.Y + b.Y) / 2));
    }

    static void Click(QWidget* widget) { QTest::mouseClick(widget, Qt::LeftButton, {}, QPoint(5, widget->height() / 2)); }

    std::string Sql() const { return Control->GetSQL(); }

    TQBTable* Orders = nullptr;
    TQBTable* Customers = nullptr;
    TQBLink* Link = nullptr;
    std::function<void(TfmLinkProp&)> Script;
    int Runs = 0;
};

TEST_F(LinkPropTest, ShowsTheTablesFieldsAndSidesOfTheLink) {
    std::map<std::string, std::string> seen;
    Script = [&](TfmLinkProp& form) {
        seen["title"] = form.windowTitle().toStdString();
        seen["caption"] = form.laCaption->text().toStdString();
        seen["left"] = form.laLeftField->text().toStdString();
        seen["operator"] = form.cbConditions->currentText().toStdString();
        seen["right"] = form.laRightField->text().toStdString();
        seen["leftOuter"] = form.chLeftOuter->text().toStdString();
        seen["rightOuter"] = form.chRightOuter->text().toStdString();
        seen["ok"] = form.buOK->text().toStdString();
        seen["cancel"] = form.buCancel->text().toStdString();
        Click(form.buCancel);
    };
    DoubleClickLink(Link);
    ASSERT_EQ(Runs, 1);
    EXPECT_EQ(seen, (std::map<std::string, std::string>{{"title", "Link properties"},
                                                         {"caption", "连接表: Orders (O) 与 Customers"},
                                                         {"left", "CustomerID"},
                                                         {"operator", "="},
                                                         {"right", "CustomerID"},
                                                         {"leftOuter", "包含所有 Orders"},
                                                         {"rightOuter", "包含所有 Customers"},
                                                         {"ok", "OK"},
                                                         {"cancel", "Cancel"}}));
}

struct SideCase {
    const char* name;
    bool left;
    bool right;
    int joinType;
    const char* sql;
};

class OuterSides : public LinkPropTest, public ::testing::WithParamInterface<SideCase> {};

TEST_P(OuterSides, BecomeTheJoinTypeInTheStatement) {
    const SideCase& c = GetParam();
    Script = [&](TfmLinkProp& form) {
        if (c.left) Click(form.chLeftOuter);
        if (c.right) Click(form.chRightOuter);
        Click(form.buOK);
    };
    DoubleClickLink(Link);
    EXPECT_EQ(Link->Join()->JoinType, c.joinType);
    ASSERT_EQ(JoinDefs().Count(), 1);
    EXPECT_EQ(JoinDefs().Items(0)->JoinType, c.joinType);
    EXPECT_NE(Sql().find(c.sql), std::string::npos) << Sql();
}

INSTANTIATE_TEST_SUITE_P(
    Sides, OuterSides,
    ::testing::Values(SideCase{"none", false, false, 0, "O\r\n INNER JOIN Customers ON (O.CustomerID=Customers.CustomerID)"},
                      SideCase{"left", true, false, 1, "O\r\n LEFT OUTER JOIN Customers ON (O.CustomerID=Customers.CustomerID)"},
                      SideCase{"right", false, true, 2, "O\r\n RIGHT OUTER JOIN Customers ON (O.CustomerID=Customers.CustomerID)"},
                      SideCase{"both", true, true, 3, "O\r\n FULL OUTER JOIN Customers ON (O.CustomerID=Customers.CustomerID)"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(LinkPropTest, JoinTypeChangesForThePairOperatorOnlyForTheLink) {
    TQBLink* second = Area->AddLink(Orders, Customers, Orders->FindItem("ShipName"), Customers->FindItem("CompanyName"));
    ASSERT_NE(second, nullptr);
    Script = [&](TfmLinkProp& form) {
        Click(form.chLeftOuter);
        Click(form.chRightOuter);
        form.cbConditions->setCurrentText("<>");
        Click(form.buOK);
    };
    DoubleClickLink(second);
    EXPECT_EQ(Link->Join()->JoinType, 3);
    EXPECT_EQ(second->Join(), Link->Join());
    EXPECT_EQ(Link->FOperator, "=");
    EXPECT_EQ(second->FOperator, "<>");
    ASSERT_EQ(JoinDefs().Count(), 2);
    for (int i = 0; i < 2; ++i) EXPECT_EQ(JoinDefs().Items(i)->JoinType, 3);
    EXPECT_EQ(JoinDefs().Items(0)->Operator, "=");
    EXPECT_EQ(JoinDefs().Items(1)->Operator, "<>");
}

TEST_F(LinkPropTest, DefinitionStoredTheOtherWayRoundKeepsTheChosenSide) {
    // As a parsed statement may hold it: Customers on the left of the condition.
    TQBJoinDef& def = *JoinDefs().Items(0);
    std::swap(def.LeftTable, def.RightTable);
    std::swap(def.LeftField, def.RightField);
    def.Bind();
    Script = [&](TfmLinkProp& form) {
        Click(form.chLeftOuter);  // all rows of Orders
        form.cbConditions->setCurrentText("<");
        Click(form.buOK);
    };
    DoubleClickLink(Link);
    EXPECT_EQ(Link->Join()->JoinType, 1);
    EXPECT_EQ(def.JoinType, 2);        // Customers RIGHT JOIN Orders: all of Orders
    EXPECT_EQ(def.Operator, ">");      // Customers.CustomerID > O.CustomerID
    EXPECT_EQ(Link->FOperator, "<");
    const std::string sql = Sql();
    EXPECT_TRUE(sql.find("O\r\n LEFT OUTER JOIN Customers ON (O.CustomerID<Customers.CustomerID)") != std::string::npos ||
                sql.find("Customers\r\n RIGHT OUTER JOIN O") != std::string::npos)
        << sql;
}

TEST_F(LinkPropTest, UnknownOperatorIsRefusedAndChangesNothing) {
    Script = [&](TfmLinkProp& form) {
        form.cbConditions->setCurrentText("= 1 OR 1");
        Click(form.chLeftOuter);
        Click(form.buOK);
        EXPECT_TRUE(form.isVisible());  // still open
        Click(form.buCancel);
    };
    DoubleClickLink(Link);
    EXPECT_EQ(LastError.toStdString(), "无效的连接运算符 '= 1 OR 1'");
    EXPECT_EQ(Link->FOperator, "=");
    EXPECT_EQ(Link->Join()->JoinType, 0);
    EXPECT_EQ(JoinDefs().Items(0)->Operator, "=");
    EXPECT_NE(Sql().find("INNER JOIN"), std::string::npos);
}

TEST_F(LinkPropTest, OffersTheDialectsComparisons) {
    std::vector<std::string> items;
    Script = [&](TfmLinkProp& form) {
        for (int i = 0; i < form.cbConditions->count(); ++i) items.push_back(form.cbConditions->itemText(i).toStdString());
        form.cbConditions->setCurrentText(" <= ");  // blanks around are no part of it
        Click(form.buOK);
    };
    DoubleClickLink(Link);
    EXPECT_EQ(items, (std::vector<std::string>{"=", "<>", "<", "<=", ">", ">="}));
    EXPECT_EQ(Link->FOperator, "<=");
}

TEST_F(LinkPropTest, WithoutFullOuterJoinsOneSideUnticksTheOther) {
    Area->LinkPropDialog().FAllowFullOuter = false;
    Script = [&](TfmLinkProp& form) {
        Click(form.chLeftOuter);
        Click(form.chRightOuter);
        EXPECT_FALSE(form.chLeftOuter->isChecked());
        Click(form.buOK);
    };
    DoubleClickLink(Link);
    EXPECT_EQ(Link->Join()->JoinType, 2);
}

TEST_F(LinkPropTest, NeitherNarrowerThanItsContentNorResizedVertically) {
    Script = [&](TfmLinkProp& form) {
        EXPECT_GE(form.MinWidth(), 360);
        EXPECT_GE(form.width(), form.MinWidth());
        EXPECT_EQ(form.minimumWidth(), form.MinWidth());
        EXPECT_EQ(form.minimumHeight(), form.maximumHeight());
        // Nothing clipped: every control lies inside the form, the operator between the names.
        for (QWidget* w : std::initializer_list<QWidget*>{form.laCaption, form.laLeftField, form.cbConditions,
                                                         form.laRightField, form.chLeftOuter, form.chRightOuter,
                                                         form.buOK, form.buCancel})
            EXPECT_TRUE(form.rect().contains(w->geometry())) << w->metaObject()->className();
        EXPECT_LE(form.laLeftField->geometry().right(), form.cbConditions->x());
        EXPECT_LE(form.cbConditions->geometry().right(), form.laRightField->x());
        EXPECT_LE(form.chLeftOuter->geometry().right(), form.chRightOuter->x());
        if (const char* dir = std::getenv("KORVEL_SNAPSHOT_DIR"))
            form.grab().save(QString::fromUtf8(dir) + "/linkprop.png");
        Click(form.buCancel);
    };
    DoubleClickLink(Link);
    EXPECT_EQ(Runs, 1);
}

TEST_F(LinkPropTest, DoesNotOpenWithoutALink) {
    TfmLinkProp& form = Area->LinkPropDialog();
    form.Subject = nullptr;
    try {
        form.FormShow();
        FAIL() << "shown";
    } catch (const EQBException& e) {
        EXPECT_EQ(e.Message(), "无效的连接");
    }
}

TEST_F(LinkPropTest, LinkRemovedWhileTheDialogIsOpenIsForgotten) {
    Script = [&](TfmLinkProp& form) {
        Area->RemoveLink(Link, 0, true);
        EXPECT_EQ(form.Subject, nullptr);
        Click(form.buOK);  // nothing to write to
    };
    DoubleClickLink(Link);
    EXPECT_EQ(Area->LinkCount(), 0);
    EXPECT_EQ(JoinDefs().Count(), 0);
}

}  // namespace
