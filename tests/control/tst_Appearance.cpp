// Appearance settings: defaults, change notifications (suppressed while loading), assignment,
// colour conversion, and the control's accept/refuse requests.
#include <QApplication>
#include <gtest/gtest.h>
#include <memory>

#include "diagram/QBColor.h"
#include "control/QBWindow.h"

namespace {

// Counts the repaints the appearance objects ask for.
class CountingBuilder : public TCustomQueryBuilder {
public:
    using TCustomQueryBuilder::TCustomQueryBuilder;
    int WorkAreaRepaints = 0;
    int PanelRepaints = 0;

protected:
    void RepaintArea(TQBAppearanceArea area) override {
        (area == TQBAppearanceArea::WorkArea ? WorkAreaRepaints : PanelRepaints)++;
    }
};

class AppearanceTest : public ::testing::Test {
protected:
    void SetUp() override {
        Builder.reset(CreateQueryBuilder<CountingBuilder>());
    }
    std::unique_ptr<CountingBuilder> Builder;
};

struct ColourCase {
    const char* name;
    TColor (TQBPalette::*get)() const;
    void (TQBPalette::*set)(TColor);
    TColor initial;
    bool workArea;  // else the criterion panels
};

class PaletteColours : public AppearanceTest, public ::testing::WithParamInterface<ColourCase> {};

TEST_P(PaletteColours, StartAtTheirDefaultsAndRepaintTheirUsers) {
    TQBPalette& palette = Builder->Palette();
    const ColourCase& c = GetParam();
    EXPECT_EQ((palette.*c.get)(), c.initial);
    (palette.*c.set)(c.initial);  // equal: nothing happens
    EXPECT_EQ(Builder->WorkAreaRepaints + Builder->PanelRepaints, 0);
    (palette.*c.set)(RGBColor(1, 2, 3));
    EXPECT_EQ((palette.*c.get)(), 0x030201u);
    EXPECT_EQ(Builder->WorkAreaRepaints, c.workArea ? 1 : 0);
    EXPECT_EQ(Builder->PanelRepaints, c.workArea ? 0 : 1);
}

INSTANTIATE_TEST_SUITE_P(
    Palette, PaletteColours,
    ::testing::Values(
        ColourCase{"ActiveCondition", &TQBPalette::GetActiveCondition, &TQBPalette::SetActiveCondition, 16777215, false},
        ColourCase{"ConditionText", &TQBPalette::GetConditionText, &TQBPalette::SetConditionText, 0, false},
        ColourCase{"ConditionItemText", &TQBPalette::GetConditionItemText, &TQBPalette::SetConditionItemText,
                   8388608, false},
        ColourCase{"TableClient", &TQBPalette::GetTableClient, &TQBPalette::SetTableClient, 16777215, true},
        ColourCase{"ProcClient", &TQBPalette::GetProcClient, &TQBPalette::SetProcClient, 0xFF000018u, true},
        ColourCase{"ItemText", &TQBPalette::GetItemText, &TQBPalette::SetItemText, 0, true},
        ColourCase{"SelectedItemText", &TQBPalette::GetSelectedItemText, &TQBPalette::SetSelectedItemText,
                   16777215, true},
        ColourCase{"ActiveCaption", &TQBPalette::GetActiveCaption, &TQBPalette::SetActiveCaption, 12632256, true},
        ColourCase{"InactiveCaption", &TQBPalette::GetInactiveCaption, &TQBPalette::SetInactiveCaption,
                   0xFF00000Fu, true},
        ColourCase{"ActiveCaptionText", &TQBPalette::GetActiveCaptionText, &TQBPalette::SetActiveCaptionText, 0,
                   true},
        ColourCase{"InactiveCaptionText", &TQBPalette::GetInactiveCaptionText,
                   &TQBPalette::SetInactiveCaptionText, 0, true},
        ColourCase{"WorkSpace", &TQBPalette::GetWorkSpace, &TQBPalette::SetWorkSpace, 0xFF00000Fu, true}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(AppearanceTest, ChangesWhileLoadingOrDesigningAreStoredWithoutRepaint) {
    Builder->SetLoading(true);
    Builder->Palette().SetActiveCondition(RGBColor(9, 9, 9));
    Builder->Style().GetObjectStyle().SetFlat(false);
    Builder->SetLoading(false);
    Builder->SetDesigning(true);
    Builder->Palette().SetWorkSpace(clBlack);
    EXPECT_EQ(Builder->Palette().GetActiveCondition(), RGBColor(9, 9, 9));
    EXPECT_FALSE(Builder->Style().GetObjectStyle().GetFlat());
    EXPECT_EQ(Builder->Palette().GetWorkSpace(), clBlack);
    EXPECT_EQ(Builder->WorkAreaRepaints + Builder->PanelRepaints, 0);
}

TEST_F(AppearanceTest, AssigningAPaletteCopiesAllTwelveColours) {
    TQBPalette other;
    const std::vector<void (TQBPalette::*)(TColor)> setters = {
        &TQBPalette::SetActiveCondition, &TQBPalette::SetConditionText,   &TQBPalette::SetConditionItemText,
        &TQBPalette::SetTableClient,     &TQBPalette::SetProcClient,      &TQBPalette::SetItemText,
        &TQBPalette::SetSelectedItemText, &TQBPalette::SetActiveCaption,  &TQBPalette::SetInactiveCaption,
        &TQBPalette::SetActiveCaptionText, &TQBPalette::SetInactiveCaptionText, &TQBPalette::SetWorkSpace};
    for (std::size_t i = 0; i < setters.size(); ++i) (other.*setters[i])(RGBColor(10 + int(i), 0, 0));
    Builder->SetPalette(other);
    const TQBPalette& p = Builder->Palette();
    const std::vector<TColor> got = {p.GetActiveCondition(), p.GetConditionText(), p.GetConditionItemText(),
                                     p.GetTableClient(), p.GetProcClient(), p.GetItemText(),
                                     p.GetSelectedItemText(), p.GetActiveCaption(), p.GetInactiveCaption(),
                                     p.GetActiveCaptionText(), p.GetInactiveCaptionText(), p.GetWorkSpace()};
    for (std::size_t i = 0; i < got.size(); ++i) EXPECT_EQ(got[i], RGBColor(10 + int(i), 0, 0)) << i;
    EXPECT_EQ(Builder->WorkAreaRepaints, 9);
    EXPECT_EQ(Builder->PanelRepaints, 3);
}

TEST_F(AppearanceTest, StylesStartAtTheirDefaults) {
    const TQBStyle& style = Builder->Style();
    EXPECT_EQ(style.GetButtonStyle(), qbsFlat);
    EXPECT_EQ(style.GetObjectStyle().GetBorderKind(), qbkRaised);
    EXPECT_TRUE(style.GetObjectStyle().GetFlat());
    EXPECT_TRUE(style.GetObjectStyle().GetFlatButtons());
    EXPECT_EQ(Builder->Options(), TQBOptions{qboRowSelect});
    EXPECT_TRUE(Builder->CheckLinkFieldsType());
}

TEST_F(AppearanceTest, SettingTheObjectStyleCopiesItAndRepaintsTheWorkArea) {
    TQBObjectStyle given;
    given.SetBorderKind(qbkEtched);
    given.SetFlat(false);
    given.SetFlatButtons(false);
    Builder->Style().SetObjectStyle(given);
    const TQBObjectStyle& own = Builder->Style().GetObjectStyle();
    EXPECT_NE(&own, &given);
    EXPECT_EQ(own.GetBorderKind(), qbkEtched);
    EXPECT_FALSE(own.GetFlat());
    EXPECT_FALSE(own.GetFlatButtons());
    given.SetFlat(true);  // the caller's object stays the caller's
    EXPECT_FALSE(own.GetFlat());
    EXPECT_GE(Builder->WorkAreaRepaints, 1);
    EXPECT_EQ(Builder->PanelRepaints, 0);
}

TEST_F(AppearanceTest, ButtonStyleRepaintsTheCriterionPanels) {
    Builder->Style().SetButtonStyle(qbsFlat);
    EXPECT_EQ(Builder->PanelRepaints, 0);
    Builder->Style().SetButtonStyle(qbsRaise);
    EXPECT_EQ(Builder->PanelRepaints, 1);
    TQBStyle other;
    other.SetButtonStyle(qbs3DLook);
    other.GetObjectStyle().SetBorderKind(qbkBump);
    Builder->SetStyle(other);
    EXPECT_EQ(Builder->Style().GetButtonStyle(), qbs3DLook);
    EXPECT_EQ(Builder->Style().GetObjectStyle().GetBorderKind(), qbkBump);
}

TEST_F(AppearanceTest, OptionsAreAPlainSet) {
    TQBOptions options{qboRowSelect, qboShowFieldTypes};
    Builder->SetOptions(options);
    EXPECT_TRUE(Builder->Options().Contains(qboShowFieldTypes));
    EXPECT_FALSE(Builder->Options().Contains(qboHideSelection));
    EXPECT_EQ(Builder->WorkAreaRepaints + Builder->PanelRepaints, 0);
    options.Exclude(qboRowSelect).Include(qboDragFieldName);
    EXPECT_EQ(options.Bits(), (1u << qboDragFieldName) | (1u << qboShowFieldTypes));
}

TEST_F(AppearanceTest, RequestsAreAcceptedUnlessTheHandlerRefuses) {
    EXPECT_TRUE(Builder->DoAddRemoveTable(nullptr, qbaAdd));
    EXPECT_TRUE(Builder->DoAddRemoveLink(nullptr, qbaRemove));
    QObject* sender = nullptr;
    Builder->OnAddRemoveTable = [&](QObject* s, TQBTable*, TQBAction action, bool& accept) {
        sender = s;
        EXPECT_TRUE(accept);  // starts true
        accept = action == qbaAdd;
    };
    EXPECT_TRUE(Builder->DoAddRemoveTable(nullptr, qbaAdd));
    EXPECT_FALSE(Builder->DoAddRemoveTable(nullptr, qbaRemove));
    EXPECT_EQ(sender, Builder.get());
}

TEST_F(AppearanceTest, CaseSensitivityIsTheParsers) {
    EXPECT_FALSE(Builder->CaseSensitiveIdentifiers());
    Builder->SetCaseSensitiveIdentifiers(true);
    EXPECT_TRUE(Builder->CaseSensitiveIdentifiers());
    TCustomQueryBuilder withoutParser;  // Init not run
    EXPECT_TRUE(withoutParser.CaseSensitiveIdentifiers());
}

TEST(Colours, RgbAndSystemColours) {
    EXPECT_EQ(ColorToQColor(RGBColor(10, 20, 30)), QColor(10, 20, 30));
    EXPECT_EQ(ColorToQColor(clNavy), QColor(0, 0, 128));
    EXPECT_EQ(ColorToQColor(clBtnFace), QApplication::palette().color(QPalette::Button));
    EXPECT_EQ(ColorToQColor(clInfoBk), QApplication::palette().color(QPalette::ToolTipBase));
}

}  // namespace
