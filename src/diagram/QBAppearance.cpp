// Setters and assignment of the palette and the styles.
#include "diagram/QBAppearance.h"


void NotifyAppearanceChanged(TQBAppearanceOwner* owner, TQBAppearanceArea area) {
    if (owner) owner->AppearanceChanged(area);
}

void TQBPalette::Set(TColor& field, TColor value, TQBAppearanceArea area) {
    if (field == value) return;
    field = value;
    NotifyAppearanceChanged(FOwner, area);
}

void TQBPalette::Assign(const TQBPalette& source) {
    if (&source == this) return;
    SetActiveCondition(source.FActiveCondition);
    SetConditionText(source.FConditionText);
    SetConditionItemText(source.FConditionItemText);
    SetTableClient(source.FTableClient);
    SetProcClient(source.FProcClient);
    SetItemText(source.FItemText);
    SetSelectedItemText(source.FSelectedItemText);
    SetActiveCaption(source.FActiveCaption);
    SetInactiveCaption(source.FInactiveCaption);
    SetActiveCaptionText(source.FActiveCaptionText);
    SetInactiveCaptionText(source.FInactiveCaptionText);
    SetWorkSpace(source.FWorkSpace);
}

void TQBObjectStyle::Changed() { NotifyAppearanceChanged(FOwner, TQBAppearanceArea::WorkArea); }

void TQBObjectStyle::SetBorderKind(TQBBorderKind value) {
    if (FBorderKind == value) return;
    FBorderKind = value;
    Changed();
}

void TQBObjectStyle::SetFlat(bool value) {
    if (FFlat == value) return;
    FFlat = value;
    Changed();
}

void TQBObjectStyle::SetFlatButtons(bool value) {
    if (FFlatButtons == value) return;
    FFlatButtons = value;
    Changed();
}

void TQBObjectStyle::Assign(const TQBObjectStyle& source) {
    if (&source == this) return;
    SetBorderKind(source.FBorderKind);
    SetFlat(source.FFlat);
    SetFlatButtons(source.FFlatButtons);
}

void TQBStyle::SetButtonStyle(TQBButtonStyle value) {
    if (FButtonStyle == value) return;
    FButtonStyle = value;
    NotifyAppearanceChanged(FOwner, TQBAppearanceArea::ConditionPanels);
}

void TQBStyle::SetObjectStyle(const TQBObjectStyle& value) {
    FObjectStyle.Assign(value);
    NotifyAppearanceChanged(FOwner, TQBAppearanceArea::WorkArea);
}

void TQBStyle::Assign(const TQBStyle& source) {
    if (&source == this) return;
    SetButtonStyle(source.FButtonStyle);
    SetObjectStyle(source.FObjectStyle);
}
