// The diagram without a mouse: Tab walks through the boxes and then the links, the menu key
// and Shift+F10 open the active object's menu at the object, and every menu command works
// from there (the bend-point commands at the middle of the link).
#include <QAction>

#include "DiagramTestSupport.h"
#include "diagram/QBLinkProp.h"

namespace {

class KeyboardTest : public DiagramTest {
protected:
    void SetUp() override {
        DiagramTest::SetUp();
        A = AddAt("A", 50, 20);
        B = AddAt("B", 300, 20);
        C = AddAt("C", 550, 20);
        AB = Area->AddLink(A, B, A->Item(0), B->Item(0));
        BC = Area->AddLink(B, C, B->Item(1), C->Item(1));
        Area->ActivateObject(nullptr);
        Area->setFocus();
    }

    // The active object as text: a box's key or a link's hint.
    std::string Active() const {
        TQBFloatObject* object = Area->ActiveObject();
        if (!object) return "-";
        if (auto* box = dynamic_cast<TQBTable*>(object)) return box->Key();
        return object->GetHint();
    }

    std::vector<std::string> Menu() const {
        std::vector<std::string> items;
        for (QAction* action : Area->PopupMenu()->actions())
            items.push_back(action->isSeparator() ? "-" : action->text().toStdString());
        return items;
    }

    void Trigger(const std::string& text) {
        for (QAction* action : Area->PopupMenu()->actions())
            if (action->text().toStdString() == text) {
                Area->PopupMenu()->hide();
                action->trigger();
                return;
            }
        ADD_FAILURE() << "no menu item " << text;
    }

    TQBTable* A = nullptr;
    TQBTable* B = nullptr;
    TQBTable* C = nullptr;
    TQBLink* AB = nullptr;
    TQBLink* BC = nullptr;
};

TEST_F(KeyboardTest, TabWalksThroughTheBoxesThenTheLinks) {
    std::vector<std::string> seen;
    for (int i = 0; i < 7; ++i) {
        Key(Qt::Key_Tab);
        seen.push_back(Active());
    }
    // The rear-most box each time (it comes to the front), then the links, then boxes again.
    EXPECT_EQ(seen, (std::vector<std::string>{"A", "B", "C", "A.C0=B.C0", "B.C1=C.C1", "A", "B"}));
}

TEST_F(KeyboardTest, ShiftTabGoesBackThroughTheLinksToTheBoxes) {
    Area->ActivateObject(BC);
    std::vector<std::string> seen;
    for (int i = 0; i < 3; ++i) {
        Key(Qt::Key_Backtab, Qt::ShiftModifier);
        seen.push_back(Active());
    }
    // Back past the first link: the front-most box (C, added last), then the one behind it.
    EXPECT_EQ(seen, (std::vector<std::string>{"A.C0=B.C0", "C", "B"}));
}

TEST_F(KeyboardTest, MenuKeyOnABoxOffersItsCommands) {
    Area->ActivateObject(B);
    Key(Qt::Key_Menu);
    EXPECT_EQ(Menu(), (std::vector<std::string>{"删除表", "-", "重命名表"}));
    Trigger("重命名表");
    EXPECT_TRUE(Area->AliasEdit()->isVisible());
    Key(Qt::Key_Escape);
    Key(Qt::Key_F10, Qt::ShiftModifier);
    Trigger("删除表");
    QApplication::processEvents();
    EXPECT_EQ(Area->TableCount(), 2);
    EXPECT_EQ(Area->LinkCount(), 0);
    EXPECT_EQ(JoinDefs().Count(), 0);
}

TEST_F(KeyboardTest, LinkMenuActsAtTheMiddleOfTheLink) {
    Area->ActivateObject(AB);
    Key(Qt::Key_Menu);
    EXPECT_EQ(Menu(), (std::vector<std::string>{"插入点", "-", "删除连接", "属性"}));
    Trigger("插入点");
    ASSERT_EQ(AB->PointCount(), 5);
    const TPoint bend = AB->Points()[2];
    EXPECT_GT(bend.X, AB->Points()[1].X);
    EXPECT_LT(bend.X, AB->Points()[3].X);

    Key(Qt::Key_F10, Qt::ShiftModifier);
    EXPECT_EQ(Menu(), (std::vector<std::string>{"删除点", "插入点", "-", "删除连接", "属性"}));
    Trigger("删除点");
    EXPECT_EQ(AB->PointCount(), 4);

    int dialogs = 0;
    Area->ModalHook = [&](QDialog& dialog) {
        ++dialogs;
        EXPECT_EQ(dynamic_cast<TfmLinkProp&>(dialog).Subject, AB);
        return false;
    };
    Key(Qt::Key_Menu);
    Trigger("属性");
    EXPECT_EQ(dialogs, 1);

    Key(Qt::Key_Menu);
    Trigger("删除连接");
    QApplication::processEvents();
    EXPECT_EQ(Area->LinkCount(), 1);
    EXPECT_EQ(JoinDefs().Count(), 1);
}

TEST_F(KeyboardTest, DeleteOnALinkReachedByTabRemovesItsCondition) {
    for (int i = 0; i < 4; ++i) Key(Qt::Key_Tab);
    ASSERT_EQ(Area->ActiveObject(), AB);
    ConfirmAnswer = false;
    Key(Qt::Key_Delete);
    QApplication::processEvents();
    EXPECT_EQ(Area->LinkCount(), 2);  // answered No
    ConfirmAnswer = true;
    Key(Qt::Key_Delete);
    QApplication::processEvents();
    EXPECT_EQ(Area->LinkCount(), 1);
    ASSERT_EQ(JoinDefs().Count(), 1);
    EXPECT_EQ(JoinDefs().Items(0)->LeftTable, "B");
    EXPECT_EQ(Control->GetSQL().find("A.C0"), std::string::npos) << Control->GetSQL();
}

TEST_F(KeyboardTest, MenuKeyWithNothingActiveOpensNoObjectMenu) {
    Key(Qt::Key_Menu);
    EXPECT_TRUE(Area->PopupMenu()->actions().isEmpty());
}

}  // namespace
