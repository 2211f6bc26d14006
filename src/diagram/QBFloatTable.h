// Table boxes: TQBTable shows one table source of the query as a caption strip (name and
// alias, a check box over all columns, three caption buttons) above a scrolling list of
// field lines (TQBListItem), each with its own check box. Ticking a line is reported to the
// work area's owner; boxes move, resize, collapse and scroll on their own and ask the work
// area to re-route their links.
#pragma once

#include <QColor>
#include <memory>
#include <string>
#include <vector>

#include "diagram/QBFloatPanel.h"
#include "toolkit/FieldTypes.h"
#include "toolkit/Variant.h"

// Usage of a line: a column of a table, or an input (or input/output) parameter.
enum TQBItemUsage : std::uint8_t { iuInput = 1, iuColumn = 2, iuInputOutput = 3 };

// The display name of a field type code ("Integer", "String", ...); empty for unknown codes.
std::string FieldTypeName(int dataType);
// The link-compatibility families of field types (codes 0..39 only).
bool IsIntegerFamily(int dataType);
bool IsFloatFamily(int dataType);
bool IsStringFamily(int dataType);

class TQBListItem final {
public:
    TQBListItem(TQBTable* table, int usage, int dataType, std::string name);

    TQBTable* Table() const { return FTable; }
    const std::string& Name() const { return FName; }
    int Usage() const { return FUsage; }
    int DataType() const { return FDataType; }
    bool Checked() const { return FChecked; }
    bool Highlighted() const { return FHighlighted; }
    bool IsColumn() const { return FUsage == iuColumn; }
    // An input or input/output parameter line of a procedure box.
    bool IsParameter() const { return FUsage == iuInput || FUsage == iuInputOutput; }

    // Ticks or unticks the line and, for a column, reports it to the work area's owner.
    void SetChecked(bool value);
    // Ticks or unticks without a report; the box's caption check box follows.
    void SetCheckedQuietly(bool value);
    void SetHighlighted(bool value);
    std::string TypeName() const { return FieldTypeName(FDataType); }
    // Where a link attaches to this line, in diagram coordinates.
    TRect ItemLinkRect() const;

    TVariant FValue;
    bool FIsNull = true;
    bool FBusy = false;

private:
    TQBTable* FTable;
    std::string FName;
    int FDataType;
    int FUsage;
    bool FChecked = false;
    bool FHighlighted = false;
};

class TQBTable : public TQBFloatObject {
public:
    // Creates a box for Name with one column line per field of DataSet (may be null).
    TQBTable(TQBWorkArea* workArea, std::string name, TDataSet* dataSet);
    ~TQBTable() override;

    void LoadFields(TDataSet* dataSet);

    const std::string& Name() const { return FName; }
    const std::string& Alias() const { return FAlias; }
    // True for a stored procedure or table function, whose parameter lines the model copies.
    virtual bool IsStoredProc() const { return false; }
    void SetAlias(std::string alias);
    // The alias when it is not blank, else the name.
    std::string Key() const;
    // The name, followed by " (alias)" when there is an alias other than the name.
    std::string Caption() const;
    TQBListItem* FindItem(const std::string& name) const;
    int CaptionFitWidth() const;

    int ItemCount() const { return static_cast<int>(FItems.size()); }
    TQBListItem* Item(int index) const { return FItems.at(index).get(); }
    int IndexOfItem(const TQBListItem* item) const;
    TQBListItem* FocusedItem() const { return FFocusedItem; }
    void SetFocusedItem(TQBListItem* item);
    int CheckState() const { return FCheckState; }
    bool Closing() const { return FClosing; }
    bool Expanded() const { return FExpanded; }
    int TopIndex() const { return FTopIndex; }
    int VisibleLines() const { return FVisibleLines; }
    int Left() const { return FLeft; }
    int Top() const { return FTop; }
    int Width() const { return FWidth; }
    int Height() const { return FHeight; }
    int CaptionHeight() const { return FCaptionHeight; }
    int LineHeight() const { return FLineHeight; }
    int HotButton() const { return FHotButton; }
    int PressedButton() const { return FPressedButton; }
    void SetCaptionHeight(int value);
    void SetLineHeight(int value);

    // Rectangles in diagram coordinates (ItemRect: on screen).
    TRect BoundsRect() const;
    TRect ListRect() const;
    TRect CaptionTextRect() const;
    TRect ButtonsRect() const;
    TRect CheckBoxRect() const;       // where the caption check box is drawn
    TRect CheckBoxHitRect() const;    // where a click toggles it
    TRect ButtonRect(int index) const;
    TRect ItemRect(const TQBListItem* item) const;
    TRect ItemLinkRect(const TQBListItem* item) const;
    int ButtonAt(int x) const;

    void MoveBy(int dx, int dy);
    void SetLeft(int x);
    void SetTop(int y);
    void MoveTo(const TRect& rect);
    void SetWidth(int w);
    void SetHeight(int h);
    void ResizeLeft(int dx);
    void ResizeTop(int dy);
    void SetExpanded(bool value);
    void ScrollTo(int index);

    void SetCheckState(int state);
    void CheckAll(int state);
    void Close();
    void ClearLinks();
    void EditAlias();
    TQBListItem* ItemAtY(int y) const;
    // Places the work area's list scroll bar over this box; false when none is needed.
    bool UpdateScrollBar();
    // Recomputes the caption check box from the column lines.
    void RecalcCheckState();
    // Runs the type-ahead search with the search box's current text.
    void SearchKeyUp(int key);

    void SetActive(bool value) override;
    std::string GetHint() const override { return FHint; }
    void Paint(QPainter& painter, const QRect& dirty) override;
    void MouseDown(TQBMouseMessage& msg, int hitCode) override;
    void MouseMove(TQBMouseMessage& msg, int hitCode) override;
    void MouseUp(TQBMouseMessage& msg, int hitCode) override;
    void KeyDown(int& key, TShiftState shift) override;
    void MouseLeave(TQBMouseMessage& msg, int hitCode) override;
    int HitTest(const TPoint& point) const override;
    void BuildPopup(QMenu& menu, int x, int hitCode, int y) override;
    virtual TColor GetClientColor() const;
    virtual void DblClick(TQBMouseMessage& msg, int hitCode);

    // Repaints one line (its check-box cell only, or its text part only, or all of it).
    enum class TItemPart { All, CheckCell, Text };
    void InvalidateItem(const TQBListItem* item, TItemPart part) const;

protected:
    // Appends a line; procedure boxes add their parameter lines after the columns this way.
    TQBListItem* AppendItem(int usage, int dataType, std::string name);
    // Sets the number of lines shown and the height that follows from it (creation only).
    void SetCreationLines(int visibleLines);

private:
    // A parameter line asks the work area for its value unless it is being set up.
    void EnterParameter(TQBListItem* item);
    enum class TButtonKind { Normal, Pressed, Hot };
    void InvalidateButton(int index) const;
    void PaintFrame(QPainter& painter, const QRect& r, TQBBorderKind kind, bool flat) const;
    void PaintButton(QPainter& painter, int index) const;
    void PaintItem(QPainter& painter, const TQBListItem& item, const QRect& r, bool focused,
                   bool active) const;
    TQBListItem* ItemAtPoint(int screenY) const;
    void FocusTarget(int target);
    int RecalcVisibleLines(int height) const;

    std::string FName;
    std::string FAlias;
    std::string FHint;
    int FCheckState = 0;
    int FPressedButton = -1;
    int FHotButton = -1;
    bool FExpanded = true;
    bool FClosing = false;
    int FCaptionHeight = 20;
    int FButtonsWidth = 40;
    int FBorder = 2;
    int FMargin = 2;
    int FScrollBarWidth = 16;
    TQBListItem* FFocusedItem = nullptr;
    int FLeft = 0;
    int FTop = 0;
    int FWidth = 100;
    int FHeight = 0;
    int FLineHeight = 16;
    int FTopIndex = 0;
    int FVisibleLines = 0;
    std::vector<std::unique_ptr<TQBListItem>> FItems;
};
