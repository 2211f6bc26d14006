// The options dialog over the SQL Server control, driven without a modal loop: every setting
// confirmed reaches the control (options, case sensitivity, colours with a repaint, styles,
// visible tabs, script format), Cancel changes nothing, a case-insensitive key clash is
// refused, and options.png.
#include <QCheckBox>
#include <QColorDialog>
#include <QComboBox>
#include <QDir>
#include <QPushButton>
#include <QSplitter>
#include <QTabWidget>
#include <QTest>

#include "ControlTestSupport.h"
#include "control/QBOptionsForm.h"
#include "diagram/QBAppearance.h"
#include "model/QBScriptFormat.h"
#include "toolkit/Exceptions.h"

namespace {

void ClickIndicator(QAbstractButton* button) {
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

// Counts the paint events of a widget.
class TPaintCounter final : public QObject {
public:
    int Paints = 0;

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Paint) ++Paints;
        return false;
    }
};

class OptionsTest : public ControlTest {
protected:
    void SetUp() override {
        ControlTest::SetUp();
        Control->WorkArea()->ModalHook = [this](QDialog& dialog) { return Run(dialog); };
    }

    // The colour dialog picks ChosenColor; the options form is shown, edited and closed.
    bool Run(QDialog& dialog) {
        if (auto* colors = qobject_cast<QColorDialog*>(&dialog)) {
            colors->setCurrentColor(ChosenColor);
            colors->accept();
            return true;
        }
        auto& form = dynamic_cast<TfmQBOptions&>(dialog);
        form.show();
        ++Runs;
        if (Edit) Edit(form);
        QTest::mouseClick(Confirm ? form.buOK : form.buCancel, Qt::LeftButton);
        StayedOpen = form.isVisible();
        if (StayedOpen) QTest::mouseClick(form.buCancel, Qt::LeftButton);
        return form.result() == QDialog::Accepted;
    }

    std::function<void(TfmQBOptions&)> Edit;
    bool Confirm = true;
    bool StayedOpen = false;
    int Runs = 0;
    QColor ChosenColor = Qt::red;
};

// Every setting the dialog shows, as one comparable text.
std::string Settings(TMSSQLQueryBuilder& control) {
    const TQBPalette& p = control.Palette();
    const TQBStyle& s = control.Style();
    const TQBScriptFormat& f = control.ScriptFormat();
    std::string text = std::to_string(control.Options().Bits()) + "/" + std::to_string(control.CaseSensitiveIdentifiers());
    for (TColor c : {p.GetActiveCondition(), p.GetConditionText(), p.GetConditionItemText(), p.GetTableClient(),
                     p.GetActiveCaption(), p.GetInactiveCaption(), p.GetItemText(), p.GetSelectedItemText(),
                     p.GetWorkSpace()})
        text += "/" + std::to_string(c);
    text += "/" + std::to_string(s.GetButtonStyle()) + std::to_string(s.GetObjectStyle().GetBorderKind()) +
            std::to_string(s.GetObjectStyle().GetFlat()) + std::to_string(s.GetObjectStyle().GetFlatButtons());
    text += "/" + std::to_string(control.VisibleTabs().Bits());
    text += "/" + std::to_string(f.KeywordsFormat) + std::to_string(f.FunctionsFormat) +
            std::to_string(f.AlwaysBracketConditions);
    return text;
}

// Changes every setting of the form.
void ChangeEverything(TfmQBOptions& form) {
    for (QCheckBox* box : {form.chRowSelect, form.chDragFieldName, form.chHideSelection, form.chShowFieldTypes,
                           form.chFlat, form.chFlatButtons, form.chBracketConditions})
        ClickIndicator(box);
    for (QCheckBox* box : form.TabBoxes) ClickIndicator(box);
    QTest::mouseClick(form.ColorBoxes[pcWorkSpace], Qt::LeftButton);
    for (QComboBox* list : {form.cbButtonStyle, form.cbBorderKind, form.cbKeywordsFormat, form.cbFunctionsFormat})
        QTest::keyClick(list, list->currentIndex() == 0 ? Qt::Key_Down : Qt::Key_Up);
}

TEST_F(OptionsTest, CancelChangesNothing) {
    const std::string before = Settings(*Control);
    Confirm = false;
    Edit = ChangeEverything;
    EXPECT_FALSE(Control->ShowOptionsDialog());
    EXPECT_EQ(Runs, 1);
    EXPECT_EQ(Settings(*Control), before);
}

TEST_F(OptionsTest, TheDialogShowsTheControlsSettings) {
    Control->SetOptions(TQBOptions{qboHideSelection});
    Control->Style().SetButtonStyle(qbsRaise);
    Control->Style().GetObjectStyle().SetBorderKind(qbkEtched);
    Control->ScriptFormat().KeywordsFormat = qfmFirstUpper;
    Control->SetVisibleTabs(TQBVisibleTabs{qbtSorting});
    Control->Palette().SetItemText(RGBColor(1, 2, 3));
    Edit = [](TfmQBOptions& form) {
        EXPECT_FALSE(form.chRowSelect->isChecked());
        EXPECT_TRUE(form.chHideSelection->isChecked());
        EXPECT_EQ(form.cbButtonStyle->currentText(), "Raised");
        EXPECT_EQ(form.cbBorderKind->currentText(), "Etched");
        EXPECT_EQ(form.cbKeywordsFormat->currentText(), "First upper");
        EXPECT_FALSE(form.TabBoxes[qbtCriterions]->isChecked());
        EXPECT_TRUE(form.TabBoxes[qbtSorting]->isChecked());
        EXPECT_EQ(form.ColorBoxes[pcItemText]->Color(), RGBColor(1, 2, 3));
        EXPECT_EQ(form.windowTitle(), QString::fromUtf8("选项"));
    };
    Confirm = false;
    Control->ShowOptionsDialog();
    EXPECT_EQ(Runs, 1);
}

TEST_F(OptionsTest, ConfirmedSettingsReachTheControl) {
    SetSql("SELECT c.CompanyName FROM Customers c WHERE c.City = 'x'");
    Control->SetOptions(TQBOptions{qboRowSelect, qboDragFieldName});
    Control->Style().SetButtonStyle(qbs3DLook);
    TPaintCounter counter;
    Area->viewport()->installEventFilter(&counter);
    Edit = [](TfmQBOptions& form) {
        ClickIndicator(form.chDragFieldName);
        ClickIndicator(form.chShowFieldTypes);
        QTest::mouseClick(form.ColorBoxes[pcWorkSpace], Qt::LeftButton);
        QTest::keyClick(form.cbButtonStyle, Qt::Key_Down);  // 3D-look -> Flat
        QTest::keyClick(form.cbKeywordsFormat, Qt::Key_Down);  // As is -> Uppercase
        QTest::keyClick(form.cbKeywordsFormat, Qt::Key_Down);  // -> Lowercase
        ClickIndicator(form.TabBoxes[qbtGroupCriterions]);
    };
    EXPECT_TRUE(Control->ShowOptionsDialog());
    QApplication::processEvents();
    Area->viewport()->removeEventFilter(&counter);

    EXPECT_EQ(Control->Options(), (TQBOptions{qboRowSelect, qboShowFieldTypes}));
    EXPECT_EQ(Control->Palette().GetWorkSpace(), RGBColor(255, 0, 0));
    EXPECT_GT(counter.Paints, 0) << "a new colour repaints the diagram";
    EXPECT_EQ(Control->Style().GetButtonStyle(), qbsFlat);
    EXPECT_EQ(Control->VisibleTabs(), (TQBVisibleTabs{qbtCriterions, qbtSelection, qbtSorting}));
    EXPECT_FALSE(Control->PageControl()->isTabVisible(2));
    EXPECT_EQ(Sql().rfind("select", 0), 0u) << Sql();
    EXPECT_NE(Sql().find("from"), std::string::npos) << Sql();

    // Reopening shows what was confirmed.
    Edit = [](TfmQBOptions& form) {
        EXPECT_EQ(form.cbButtonStyle->currentText(), "Flat");
        EXPECT_FALSE(form.chDragFieldName->isChecked());
        EXPECT_EQ(form.cbKeywordsFormat->currentText(), "Lowercase");
    };
    Confirm = false;
    Control->ShowOptionsDialog();
    EXPECT_EQ(Runs, 2);
}

TEST_F(OptionsTest, UntickingEveryTabHidesThePagesAndTheSplitter) {
    Edit = [](TfmQBOptions& form) {
        for (QCheckBox* box : form.TabBoxes) ClickIndicator(box);
    };
    EXPECT_TRUE(Control->ShowOptionsDialog());
    EXPECT_TRUE(Control->VisibleTabs().Empty());
    EXPECT_FALSE(Control->PageControl()->isVisible());
}

TEST_F(OptionsTest, TurningCaseSensitivityOffIsRefusedWhileTwoKeysDifferOnlyInCase) {
    Control->SetCaseSensitiveIdentifiers(true);
    SetSql("SELECT a.CompanyName, A.OrderDate FROM Customers a, Orders A");
    ASSERT_EQ(Control->Tables().Count(), 2);
    const std::string before = Settings(*Control);
    Edit = [](TfmQBOptions& form) {
        ClickIndicator(form.chCaseSensitive);
        ClickIndicator(form.chDragFieldName);
    };
    EXPECT_FALSE(Control->ShowOptionsDialog());
    EXPECT_TRUE(StayedOpen);
    ASSERT_EQ(Errors.size(), 1u);
    EXPECT_NE(Errors[0].find("已经存在"), std::string::npos) << Errors[0];
    EXPECT_EQ(Settings(*Control), before) << "a refused dialog writes nothing";
    EXPECT_THROW(Control->SetCaseSensitiveIdentifiers(false), EQBException);
    EXPECT_TRUE(Control->CaseSensitiveIdentifiers());

    // With the clash gone the same change is taken.
    Box("A")->Close();
    QApplication::processEvents();
    Errors.clear();
    Edit = [](TfmQBOptions& form) { ClickIndicator(form.chCaseSensitive); };
    EXPECT_TRUE(Control->ShowOptionsDialog());
    EXPECT_FALSE(Control->CaseSensitiveIdentifiers());
    EXPECT_TRUE(Errors.empty());
}

TEST_F(OptionsTest, BindingTheBoundControlAgainKeepsTheFormAndNothingLeavesItAsItIs) {
    TfmQBOptions form;
    form.Bind(nullptr);
    EXPECT_FALSE(form.chRowSelect->isChecked()) << "as designed";
    form.Bind(Control.get());
    EXPECT_TRUE(form.chRowSelect->isChecked());
    form.chRowSelect->setChecked(false);
    form.Bind(Control.get());
    EXPECT_FALSE(form.chRowSelect->isChecked());
    TfmQBOptions unbound;
    EXPECT_TRUE(unbound.buOKClick());
}

TEST_F(OptionsTest, WritesOptionsPng) {
    const QString dir = qEnvironmentVariable("KORVEL_SNAPSHOT_DIR");
    Confirm = false;
    bool saved = false;
    Edit = [&](TfmQBOptions& form) {
        QApplication::processEvents();
        EXPECT_GE(form.width(), 388);
        EXPECT_GE(form.height(), 423);
        if (dir.isEmpty()) return;
        QDir().mkpath(dir);
        saved = form.grab().save(dir + "/options.png");
    };
    Control->ShowOptionsDialog();
    if (dir.isEmpty()) GTEST_SKIP() << "KORVEL_SNAPSHOT_DIR not set";
    EXPECT_TRUE(saved);
}

}  // namespace
