// Stored-procedure boxes: their parameter lines after the columns, the value entry by double
// click and by key (never a tick), the parameter dialog driven without a modal loop, the
// values the model writes as arguments, and param.png.
#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "DiagramTestSupport.h"
#include "diagram/ParamForm.h"
#include "diagram/QBAppearance.h"
#include "diagram/QBProc.h"
#include "model/QBFunctionDefs.h"

namespace {

struct TParamDef {
    std::string Name;
    TFieldType Type;
    TParamType Direction;
};

TDataParameters Params(const std::vector<TParamDef>& defs) {
    TDataParameters params;
    for (const TParamDef& def : defs) params.Add(def.Name, def.Type, def.Direction);
    return params;
}

// Clicks a check box or radio button on its indicator, where a click always lands.
void ClickIndicator(QAbstractButton* button) {
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

// How the user answers the parameter dialog.
struct TAnswer {
    enum TKind { Unassigned, Null, Value, Cancel } Kind;
    QString Text;
};

class ProcBoxTest : public DiagramTest {
protected:
    void SetUp() override {
        DiagramTest::SetUp();
        Control->OnEnterProcParameter = [this](QObject* sender, TQBTable* box, TQBListItem* item) {
            EXPECT_EQ(sender, Control.get());
            EXPECT_EQ(item->Table(), box);
            ++Entries;
            Confirmed = EditProcParameter(item, [this](QDialog& dialog) { return Answer(dialog); });
        };
    }

    // Drives the dialog the way a person would: shown (not modal), ticks, text, then a button.
    // A refused OK leaves the dialog open; then it is cancelled.
    bool Answer(QDialog& dialog) {
        auto& form = dynamic_cast<TfmInputParam&>(dialog);
        form.show();
        ShownText = form.edValue->text();
        ShownUnassigned = form.chUnassigned->isChecked();
        if (Next.Kind == TAnswer::Cancel) {
            QTest::mouseClick(form.buCancel, Qt::LeftButton);
            return form.result() == QDialog::Accepted;
        }
        if (form.chUnassigned->isChecked() != (Next.Kind == TAnswer::Unassigned))
            ClickIndicator(form.chUnassigned);
        if (Next.Kind == TAnswer::Null) ClickIndicator(form.raNull);
        if (Next.Kind == TAnswer::Value) {
            ClickIndicator(form.raValue);
            form.edValue->clear();
            QTest::keyClicks(form.edValue, Next.Text);
        }
        QTest::mouseClick(form.buOK, Qt::LeftButton);
        StayedOpen = form.isVisible();
        if (StayedOpen) QTest::mouseClick(form.buCancel, Qt::LeftButton);
        return form.result() == QDialog::Accepted;
    }

    TQBStoredProc* AddFunction(const std::string& name, const std::vector<TParamDef>& defs, int columns = 2,
                               const std::string& alias = "") {
        auto set = Columns(columns);
        const TDataParameters params = Params(defs);
        return Area->AddProc(name, alias, &params, set.get());
    }

    // Double-clicks the line on screen (scrolled into view first).
    void DoubleClickLine(TQBListItem* item) {
        TQBTable* box = item->Table();
        const int index = box->IndexOfItem(item);
        if (index >= box->TopIndex() + box->VisibleLines()) box->ScrollTo(index);
        const TRect r = box->ItemRect(item);
        DoubleClick(QPoint(r.Left + 30, (r.Top + r.Bottom) / 2));
    }

    void Enter(TQBListItem* item, TAnswer answer) {
        Next = std::move(answer);
        DoubleClickLine(item);
    }

    std::string Sql() const { return Control->GetSQL(); }

    TAnswer Next{TAnswer::Cancel, {}};
    int Entries = 0;
    bool Confirmed = false;
    bool StayedOpen = false;
    QString ShownText;
    bool ShownUnassigned = false;
};

std::vector<std::string> LineNames(const TQBTable& box) {
    std::vector<std::string> names;
    for (int i = 0; i < box.ItemCount(); ++i) names.push_back(box.Item(i)->Name());
    return names;
}

TEST_F(ProcBoxTest, ParameterLinesFollowTheColumnsForInputDirectionsOnly) {
    TQBStoredProc* box = AddFunction("dbo.fn", {{"p1", ftInteger, ptInput},
                                                {"p2", ftInteger, ptOutput},
                                                {"p3", ftString, ptInputOutput},
                                                {"r", ftInteger, ptResult}});
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(LineNames(*box), (std::vector<std::string>{"C0", "C1", "p1", "p3"}));
    EXPECT_EQ(box->Item(2)->Usage(), iuInput);
    EXPECT_EQ(box->Item(3)->Usage(), iuInputOutput);
    EXPECT_TRUE(box->IsStoredProc());
    EXPECT_EQ(box->GetClientColor(), Control->Palette().GetProcClient());
    EXPECT_EQ(box->Params().Count(), 4);
}

TEST_F(ProcBoxTest, VisibleLinesCountTheParametersUpToSix) {
    struct Case {
        const char* Name;
        int Columns, Parameters, Expected;
    } cases[] = {{"five columns three parameters", 5, 3, 6},
                 {"two columns one parameter", 2, 1, 3},
                 {"eight columns two parameters", 8, 2, 6},
                 {"no columns two parameters", 0, 2, 2}};
    for (const Case& c : cases) {
        std::vector<TParamDef> defs;
        for (int i = 0; i < c.Parameters; ++i) defs.push_back({"p" + std::to_string(i), ftInteger, ptInput});
        TQBStoredProc* box = AddFunction(std::string("f_") + c.Name, defs, c.Columns);
        ASSERT_NE(box, nullptr) << c.Name;
        EXPECT_EQ(box->VisibleLines(), c.Expected) << c.Name;
        EXPECT_EQ(box->ItemCount(), c.Columns + c.Parameters) << c.Name;
    }
}

TEST_F(ProcBoxTest, AGivenValueStartsTheLineWithItsPictureAndValue) {
    TDataParameters params = Params({{"a", ftInteger, ptInput}, {"b", ftString, ptInput}});
    params.Items(0).SetValue(TVariant(7));
    auto set = Columns(1);
    TQBStoredProc* box = Area->AddProc("fn", "", &params, set.get());
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(box->FindItem("a")->Checked());
    EXPECT_EQ(box->FindItem("a")->FValue, TVariant(7));
    EXPECT_FALSE(box->FindItem("a")->FBusy);
    EXPECT_FALSE(box->FindItem("b")->Checked());
    EXPECT_NE(Sql().find("fn(7, :b)"), std::string::npos) << Sql();
}

TEST_F(ProcBoxTest, ASecondBoxWithoutANameStemIsNumberedAfterTheProcedurePrefix) {
    auto set = Columns(1);
    ASSERT_NE(Area->AddProc("\"\"", "", nullptr, set.get()), nullptr);
    TQBStoredProc* second = Area->AddProc("\"\"", "", nullptr, set.get());
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->Key(), "PROC_11");
}

TEST_F(ProcBoxTest, EnteredValuesAreWrittenAsArguments) {
    TQBStoredProc* box = AddFunction("dbo.fn", {{"n", ftInteger, ptInput}, {"s", ftString, ptInput}});
    ASSERT_NE(box, nullptr);
    EXPECT_NE(Sql().find("dbo.fn(:n, :s)"), std::string::npos) << Sql();

    Enter(box->FindItem("n"), {TAnswer::Value, "42"});
    Enter(box->FindItem("s"), {TAnswer::Value, "x"});
    EXPECT_EQ(Entries, 2);
    EXPECT_TRUE(Confirmed);
    EXPECT_NE(Sql().find("dbo.fn(42, 'x')"), std::string::npos) << Sql();
    EXPECT_TRUE(box->FindItem("n")->Checked());

    Enter(box->FindItem("n"), {TAnswer::Null, {}});
    EXPECT_TRUE(box->FindItem("n")->Checked()) << "a null value counts as a value";
    EXPECT_NE(Sql().find("dbo.fn(NULL, 'x')"), std::string::npos) << Sql();

    Enter(box->FindItem("s"), {TAnswer::Unassigned, {}});
    EXPECT_FALSE(box->FindItem("s")->Checked());
    EXPECT_NE(Sql().find("dbo.fn(NULL, :s)"), std::string::npos) << Sql();

    // The parameters are never output columns.
    EXPECT_EQ(Sql().rfind("SELECT *\r\n", 0), 0u) << Sql();
    EXPECT_EQ(box->CheckState(), 0);
}

TEST_F(ProcBoxTest, CancelLeavesTheLineAndTheModelAsTheyWere) {
    TQBStoredProc* box = AddFunction("fn", {{"n", ftInteger, ptInput}});
    Enter(box->FindItem("n"), {TAnswer::Value, "5"});
    const std::string before = Sql();
    Enter(box->FindItem("n"), {TAnswer::Cancel, {}});
    EXPECT_FALSE(Confirmed);
    EXPECT_EQ(ShownText, "5");
    EXPECT_FALSE(ShownUnassigned);
    EXPECT_EQ(Sql(), before);
    EXPECT_EQ(box->FindItem("n")->FValue, TVariant(5));
}

TEST_F(ProcBoxTest, AFunctionUsedTwiceKeepsBothArgumentLists) {
    TQBStoredProc* first = AddFunction("dbo.fn", {{"n", ftInteger, ptInput}});
    TQBStoredProc* second = AddFunction("dbo.fn", {{"n", ftInteger, ptInput}});
    ASSERT_NE(second, nullptr);
    ASSERT_NE(first->Key(), second->Key());
    Enter(first->FindItem("n"), {TAnswer::Value, "1"});
    Enter(second->FindItem("n"), {TAnswer::Value, "2"});
    const std::string sql = Sql();
    EXPECT_NE(sql.find("dbo.fn(1)"), std::string::npos) << sql;
    EXPECT_NE(sql.find("dbo.fn(2) " + second->Key()), std::string::npos) << sql;
}

TEST_F(ProcBoxTest, ATextThatDoesNotConvertKeepsTheDialogOpenAndTheValue) {
    TQBStoredProc* box = AddFunction("fn", {{"n", ftInteger, ptInput}});
    Enter(box->FindItem("n"), {TAnswer::Value, "12x"});
    EXPECT_TRUE(StayedOpen);
    EXPECT_FALSE(Confirmed);
    EXPECT_FALSE(box->FindItem("n")->Checked());
    EXPECT_TRUE(box->FindItem("n")->FValue.IsUnassigned());
    EXPECT_NE(LastError.toStdString().find("12x"), std::string::npos) << LastError.toStdString();
    EXPECT_NE(Sql().find("fn(:n)"), std::string::npos) << Sql();
}

TEST_F(ProcBoxTest, EnterAndSpaceAskForTheValueInsteadOfFlippingThePicture) {
    TQBStoredProc* box = AddFunction("fn", {{"n", ftInteger, ptInput}}, 1);
    TQBListItem* line = box->FindItem("n");
    Area->ActivateObject(box);
    box->SetFocusedItem(line);
    Area->setFocus();
    Next = {TAnswer::Cancel, {}};
    Key(Qt::Key_Space);
    EXPECT_EQ(Entries, 1);
    EXPECT_FALSE(line->Checked()) << "cancelled: the picture stays";
    QApplication::setActiveWindow(Control.get());
    Area->setFocus();
    Next = {TAnswer::Value, "3"};
    Key(Qt::Key_Return);
    EXPECT_EQ(Entries, 2);
    EXPECT_TRUE(line->Checked());
    EXPECT_NE(Sql().find("fn(3)"), std::string::npos) << Sql();
}

TEST_F(ProcBoxTest, ABusyLineDoesNotAskForItsValue) {
    TQBStoredProc* box = AddFunction("fn", {{"n", ftInteger, ptInput}}, 1);
    TQBListItem* line = box->FindItem("n");
    line->FBusy = true;
    DoubleClickLine(line);
    EXPECT_EQ(Entries, 0);
    line->FBusy = false;
    DoubleClickLine(line);
    EXPECT_EQ(Entries, 1);
}

// --- the dialog on its own ---

TEST_F(ProcBoxTest, LoadingALineShowsItsValueAndEnablesTheMatchingControls) {
    TQBStoredProc* box = AddFunction("fn", {{"n", ftInteger, ptInput}}, 0);
    TQBListItem* line = box->FindItem("n");
    TfmInputParam form;
    EXPECT_EQ(form.windowTitle(), "Input procedure parameter");
    EXPECT_TRUE(form.chUnassigned->isChecked());
    EXPECT_FALSE(form.raNull->isEnabled());
    EXPECT_FALSE(form.edValue->isEnabled());

    line->FValue = TVariant(42);
    form.LoadItem(line);
    EXPECT_FALSE(form.chUnassigned->isChecked());
    EXPECT_TRUE(form.raValue->isChecked());
    EXPECT_EQ(form.edValue->text(), "42");
    EXPECT_TRUE(form.edValue->isEnabled());

    line->FValue = TVariant::MakeNull();
    form.LoadItem(line);
    EXPECT_TRUE(form.raNull->isChecked());
    EXPECT_FALSE(form.edValue->isEnabled());
    EXPECT_TRUE(form.raValue->isEnabled());
    EXPECT_GE(form.width(), 284);
    EXPECT_GE(form.height(), 130);
}

TEST(ParamValueFromText, ConvertsByTheParameterType) {
    struct Case {
        const char* Name;
        std::string Text;
        TFieldType Type;
        std::optional<TVariant> Expected;
    } cases[] = {
        {"integer", "42", ftInteger, TVariant(42)},
        {"integer with blanks and sign", " +7 ", ftSmallint, TVariant(7)},
        {"negative integer", "-3", ftInteger, TVariant(-3)},
        {"64-bit integer", "9007199254740993", ftLargeint, TVariant(std::int64_t{9007199254740993})},
        {"integer with letters", "12x", ftInteger, std::nullopt},
        {"integer too large", "99999999999999999999", ftLargeint, std::nullopt},
        {"empty integer", "", ftInteger, std::nullopt},
        {"float", "2.5", ftFloat, TVariant(2.5)},
        {"float not a number", "abc", ftCurrency, std::nullopt},
        {"Boolean true", "True", ftBoolean, TVariant(true)},
        {"Boolean zero", "0", ftBoolean, TVariant(false)},
        {"Boolean word", "maybe", ftBoolean, std::nullopt},
        {"ISO date", "2024-02-29", ftDate, TVariant(TDateTime{2024, 2, 29})},
        {"impossible date", "2023-02-29", ftDate, std::nullopt},
        {"time", "13:45:10", ftTime, TVariant(TDateTime{0, 0, 0, 13, 45, 10})},
        {"date and time", "2024-01-02 03:04:05", ftDateTime, TVariant(TDateTime{2024, 1, 2, 3, 4, 5})},
        {"date alone for date-time", "2024-01-02", ftDateTime, TVariant(TDateTime{2024, 1, 2})},
        {"string keeps its blanks", " a'b ", ftString, TVariant(" a'b ")},
        {"unknown type is text", "x", ftUnknown, TVariant("x")},
    };
    for (const Case& c : cases) EXPECT_EQ(ParamValueFromText(c.Text, c.Type), c.Expected) << c.Name;
}

TEST(ParamValueFromText, ReadsBackWhatTheDialogShows) {
    const std::pair<TVariant, TFieldType> values[] = {
        {TVariant(std::int64_t{-5}), ftInteger}, {TVariant(0.1), ftFloat}, {TVariant(true), ftBoolean},
        {TVariant(TDateTime{1999, 12, 31}), ftDate}, {TVariant(TDateTime{2001, 2, 3, 4, 5, 6}), ftDateTime}};
    for (const auto& [value, type] : values)
        EXPECT_EQ(ParamValueFromText(ParamValueText(value), type), value) << ParamValueText(value);
}

TEST_F(ProcBoxTest, WritesParamPng) {
    TQBStoredProc* box = AddFunction("fn", {{"n", ftInteger, ptInput}}, 0);
    TfmInputParam form;
    box->FindItem("n")->FValue = TVariant(42);
    form.LoadItem(box->FindItem("n"));
    form.show();
    QApplication::processEvents();
    const QString dir = qEnvironmentVariable("KORVEL_SNAPSHOT_DIR");
    if (dir.isEmpty()) GTEST_SKIP() << "KORVEL_SNAPSHOT_DIR not set";
    QDir().mkpath(dir);
    EXPECT_TRUE(form.grab().save(dir + "/param.png"));
}

}  // namespace
