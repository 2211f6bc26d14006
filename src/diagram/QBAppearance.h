// The control's look: the palette of colours, the border style of diagram objects and the
// button style of the criterion panels. Each setter ignores an equal value; a new value is
// stored and the owner is told which parts use it, so it can repaint them (the owner decides
// whether it repaints now: not while it is being loaded or designed).
#pragma once

#include "diagram/QBTypes.h"

// Which parts of the control a changed setting repaints.
enum class TQBAppearanceArea { WorkArea, ConditionPanels };

// What the appearance objects tell about their changes.
class TQBAppearanceOwner {
public:
    virtual void AppearanceChanged(TQBAppearanceArea area) = 0;

protected:
    ~TQBAppearanceOwner() = default;
};

class TQBPalette final {
public:
    // Colours start at their defaults; Owner (may be null) is told about changes.
    explicit TQBPalette(TQBAppearanceOwner* owner = nullptr) : FOwner(owner) {}
    TQBPalette(const TQBPalette&) = delete;
    TQBPalette& operator=(const TQBPalette&) = delete;

    TQBAppearanceOwner* Owner() const { return FOwner; }

    TColor GetActiveCondition() const { return FActiveCondition; }
    TColor GetConditionText() const { return FConditionText; }
    TColor GetConditionItemText() const { return FConditionItemText; }
    TColor GetTableClient() const { return FTableClient; }
    TColor GetProcClient() const { return FProcClient; }
    TColor GetItemText() const { return FItemText; }
    TColor GetSelectedItemText() const { return FSelectedItemText; }
    TColor GetActiveCaption() const { return FActiveCaption; }
    TColor GetInactiveCaption() const { return FInactiveCaption; }
    TColor GetActiveCaptionText() const { return FActiveCaptionText; }
    TColor GetInactiveCaptionText() const { return FInactiveCaptionText; }
    TColor GetWorkSpace() const { return FWorkSpace; }

    void SetActiveCondition(TColor value) { Set(FActiveCondition, value, TQBAppearanceArea::ConditionPanels); }
    void SetConditionText(TColor value) { Set(FConditionText, value, TQBAppearanceArea::ConditionPanels); }
    void SetConditionItemText(TColor value) { Set(FConditionItemText, value, TQBAppearanceArea::ConditionPanels); }
    void SetTableClient(TColor value) { Set(FTableClient, value, TQBAppearanceArea::WorkArea); }
    void SetProcClient(TColor value) { Set(FProcClient, value, TQBAppearanceArea::WorkArea); }
    void SetItemText(TColor value) { Set(FItemText, value, TQBAppearanceArea::WorkArea); }
    void SetSelectedItemText(TColor value) { Set(FSelectedItemText, value, TQBAppearanceArea::WorkArea); }
    void SetActiveCaption(TColor value) { Set(FActiveCaption, value, TQBAppearanceArea::WorkArea); }
    void SetInactiveCaption(TColor value) { Set(FInactiveCaption, value, TQBAppearanceArea::WorkArea); }
    void SetActiveCaptionText(TColor value) { Set(FActiveCaptionText, value, TQBAppearanceArea::WorkArea); }
    void SetInactiveCaptionText(TColor value) { Set(FInactiveCaptionText, value, TQBAppearanceArea::WorkArea); }
    void SetWorkSpace(TColor value) { Set(FWorkSpace, value, TQBAppearanceArea::WorkArea); }

    // Copies every colour of Source through the setters.
    void Assign(const TQBPalette& source);

private:
    void Set(TColor& field, TColor value, TQBAppearanceArea area);

    TQBAppearanceOwner* FOwner;
    TColor FActiveCondition = clWhite;
    TColor FConditionText = clBlack;
    TColor FConditionItemText = clNavy;
    TColor FTableClient = clWhite;
    TColor FProcClient = clInfoBk;
    TColor FItemText = clBlack;
    TColor FSelectedItemText = clWhite;
    TColor FActiveCaption = clSilver;
    TColor FInactiveCaption = clBtnFace;
    TColor FActiveCaptionText = clBlack;
    TColor FInactiveCaptionText = clBlack;
    TColor FWorkSpace = clBtnFace;
};

// The border style of the boxes on the work area.
class TQBObjectStyle final {
public:
    explicit TQBObjectStyle(TQBAppearanceOwner* owner = nullptr) : FOwner(owner) {}
    TQBObjectStyle(const TQBObjectStyle&) = delete;
    TQBObjectStyle& operator=(const TQBObjectStyle&) = delete;

    TQBBorderKind GetBorderKind() const { return FBorderKind; }
    bool GetFlat() const { return FFlat; }
    bool GetFlatButtons() const { return FFlatButtons; }

    void SetBorderKind(TQBBorderKind value);
    void SetFlat(bool value);
    void SetFlatButtons(bool value);

    // Copies the three values of Source through the setters.
    void Assign(const TQBObjectStyle& source);

private:
    void Changed();

    TQBAppearanceOwner* FOwner;
    TQBBorderKind FBorderKind = qbkRaised;
    bool FFlat = true;
    bool FFlatButtons = true;
};

// The button style of the criterion panels and the owned object style.
class TQBStyle final {
public:
    explicit TQBStyle(TQBAppearanceOwner* owner = nullptr) : FOwner(owner), FObjectStyle(owner) {}
    TQBStyle(const TQBStyle&) = delete;
    TQBStyle& operator=(const TQBStyle&) = delete;

    TQBButtonStyle GetButtonStyle() const { return FButtonStyle; }
    void SetButtonStyle(TQBButtonStyle value);

    const TQBObjectStyle& GetObjectStyle() const { return FObjectStyle; }
    TQBObjectStyle& GetObjectStyle() { return FObjectStyle; }
    // Copies Value into the style's own object style; Value stays the caller's.
    void SetObjectStyle(const TQBObjectStyle& value);

    // Copies the button style and the object style of Source.
    void Assign(const TQBStyle& source);

private:
    TQBAppearanceOwner* FOwner;
    TQBButtonStyle FButtonStyle = qbsFlat;
    TQBObjectStyle FObjectStyle;
};

// Tells Owner (when any) that a setting used by Area changed.
void NotifyAppearanceChanged(TQBAppearanceOwner* owner, TQBAppearanceArea area);
