// The diagram surface: TQBWorkArea, a 5000 x 5000 scrolling area on which table boxes and
// the links between their field lines float, and TQBFloatObject, the base of everything
// that floats there. The work area owns its boxes, links and joins, keeps their stacking
// order, places new boxes, paints everything in its paint event and routes input to the
// object under the pointer. Boxes and links are plain C++ objects, not widgets.
#pragma once

#include <QAbstractScrollArea>
#include <QCursor>
#include <QFont>
#include <QMenu>
#include <QPixmap>
#include <QPointer>
#include <QRegion>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "diagram/QBTypes.h"
#include "diagram/QBWorkAreaOwner.h"
#include "diagram/QBDialogRunner.h"
#include "toolkit/Geometry.h"
#include "toolkit/TCollection.h"

class QDialog;
class QDrag;
class QLabel;
class QLineEdit;
class QMimeData;
class QScrollBar;
class QTimer;
class TfmLinkProp;
class TDataParameters;
class TDataSet;
class TQBJoin;
class TQBLink;
class TQBListItem;
class TQBObjectStyle;
class TQBPalette;
class TQBSelectParser;
class TQBStoredProc;
class TQBTable;
class TQBWorkArea;

// The part of an object under a point. 1-9 are the drag codes (resize or move a box).
enum THitCode : int {
    hcNone = 0,
    hcLeft = 1,
    hcTop = 2,
    hcRight = 3,
    hcBottom = 4,
    hcTopLeft = 5,
    hcBottomLeft = 6,
    hcTopRight = 7,
    hcBottomRight = 8,
    hcCaption = 9,
    hcList = 10,      // field list of a box, or a segment of a link
    hcEndPoint = 11,  // first or last point of a link
    hcBendPoint = 12,
    hcButtons = 13,
    hcCheckBox = 14
};
inline constexpr std::uint16_t DragCodes = 0x3FE;  // hit codes 1..9
inline bool IsDragCode(int code) { return code > 0 && code < 16 && (DragCodes & (1u << code)) != 0; }

enum TMouseButton : std::uint8_t { mbLeft, mbRight, mbMiddle };
enum TShiftFlag : std::uint8_t { ssShift, ssAlt, ssCtrl, ssLeft, ssRight, ssMiddle, ssDouble };
using TShiftState = TQBSet<TShiftFlag>;

// A mouse event as the objects see it: client position, buttons held, modifier keys.
struct TQBMouseMessage {
    int X = 0;
    int Y = 0;
    Qt::MouseButtons Buttons;
    Qt::KeyboardModifiers Modifiers;
    bool Handled = false;

    // Button and shift state for the notifications: the last of left, right, middle that
    // is held wins the button (left when none); Ctrl and Shift add their members.
    TMouseButton Button() const;
    TShiftState Shift() const;
};

// Base of everything that floats on the work area.
class TQBFloatObject {
public:
    explicit TQBFloatObject(TQBWorkArea* workArea);
    virtual ~TQBFloatObject() = default;
    TQBFloatObject(const TQBFloatObject&) = delete;
    TQBFloatObject& operator=(const TQBFloatObject&) = delete;

    TQBWorkArea* WorkArea() const { return FWorkArea; }
    bool Active() const { return FActive; }
    // A serial number unique for the work area's lifetime; deferred requests carry it
    // rather than the pointer, so a request for a freed object finds nothing.
    std::uint64_t Serial() const { return FSerial; }

    // Selects or deselects the object; selecting brings a box to the front.
    virtual void SetActive(bool value);
    virtual std::string GetHint() const = 0;
    // Paints the object; Dirty is the damaged area in client coordinates.
    virtual void Paint(QPainter& painter, const QRect& dirty) = 0;
    virtual void MouseDown(TQBMouseMessage& msg, int hitCode);
    virtual void MouseMove(TQBMouseMessage& msg, int hitCode);
    virtual void MouseUp(TQBMouseMessage& msg, int hitCode);
    virtual void KeyDown(int& key, TShiftState shift);
    virtual void KeyUp(int& key, TShiftState shift);
    virtual void MouseLeave(TQBMouseMessage& msg, int hitCode);
    // The hit code at Point (client coordinates).
    virtual int HitTest(const TPoint& point) const = 0;
    // Adds the object's commands for the part HitCode to the work area's popup menu.
    virtual void BuildPopup(QMenu& menu, int x, int hitCode, int y) = 0;

    std::function<void(TQBFloatObject*, TMouseButton, TShiftState, int, int)> OnMouseDown;
    std::function<void(TQBFloatObject*, TMouseButton, TShiftState, int, int)> OnMouseUp;
    std::function<void(TQBFloatObject*, TShiftState, int, int)> OnMouseMove;
    std::function<void(TQBFloatObject*, int&, TShiftState)> OnKeyDown;
    std::function<void(TQBFloatObject*, int&, TShiftState)> OnKeyUp;

protected:
    TQBWorkArea* FWorkArea;
    bool FActive = false;

private:
    std::uint64_t FSerial;
};

// The remembered place of one box (kept by Clear, used when the box comes back).
class TQBObjectArrangement final : public TCollectionItem {
public:
    std::string Name;  // the box's key
    int Top = 0;
    int Left = 0;
    int Width = 0;
    int Height = 0;
    bool Expanded = true;
};

class TQBObjectArrangements final : public TCollection {
public:
    TQBObjectArrangement& Add() { return *static_cast<TQBObjectArrangement*>(TCollection::Add()); }
    const TQBObjectArrangement& Items(int index) const { return *ItemAs<TQBObjectArrangement>(*this, index); }
    // Index of the first arrangement whose Name equals Name exactly, or -1.
    int IndexOf(const std::string& name) const;
    using TCollection::IndexOf;

protected:
    std::unique_ptr<TCollectionItem> CreateItem() override { return std::make_unique<TQBObjectArrangement>(); }
};

class TQBWorkArea : public QAbstractScrollArea {
    Q_OBJECT

public:
    static constexpr int SurfaceSize = 5000;

    // Creates the work area as child widget of Parent, working for Owner; without an owner
    // it throws EQBException "无效的父工作区!" before anything is built.
    TQBWorkArea(QWidget* parent, TQBWorkAreaOwner* owner);
    ~TQBWorkArea() override;

    TQBWorkAreaOwner* Owner() const { return FOwner; }
    // The owning control's parser, or null.
    TQBSelectParser* Parser() const;
    // Appearance read from the owner at the moment it is needed.
    const TQBPalette& Palette() const;
    const TQBObjectStyle& ObjectStyle() const;
    TQBOptions Options() const;

    // Adds a box for TableName with automatic placement; null when the control refused.
    TQBTable* AddTable(const std::string& tableName, const std::string& alias, TDataSet* dataSet);
    // Adds a box at Position (diagram coordinates) or placed automatically.
    TQBTable* InsertTable(const std::string& tableName, const std::string& alias, TPoint position,
                          bool autoPlace, TDataSet* dataSet);
    // Adds a stored-procedure box (columns of DataSet, then one line per input parameter of
    // Params) with automatic placement; null when the control refused.
    TQBStoredProc* AddProc(const std::string& procName, const std::string& alias, const TDataParameters* params,
                           TDataSet* dataSet);
    TQBStoredProc* InsertProc(const std::string& procName, const std::string& alias, TPoint position,
                              bool autoPlace, const TDataParameters* params, TDataSet* dataSet);
    // A parameter line of Box asks for its value: the owner runs the entry, then the value
    // goes into the model's parameter of the box's own table source.
    void EnterProcParameter(TQBTable* box, TQBListItem* item);

    // Links ItemA of box A to ItemB of box B; null when refused or when a box is missing.
    TQBLink* AddLink(TQBTable* a, TQBTable* b, TQBListItem* itemA, TQBListItem* itemB);
    // Removes the link at Index of the link list (which must be Link).
    void RemoveLink(TQBLink* link, int index, bool repaint);
    // The join of A and B in either order; Reversed tells that its first box is B, or, when
    // there is none, that a new join should list B first (B is joined already, A is not).
    TQBJoin* FindTableJoin(const TQBTable* a, const TQBTable* b, bool& reversed) const;
    TQBLink* FindLink(const TQBTable* a, const TQBTable* b, const TQBListItem* itemA,
                      const TQBListItem* itemB) const;

    // The box whose key is Key (names compared as the model compares them); with a blank
    // key the only box when there is exactly one.
    TQBTable* TableByKey(const std::string& key) const;
    // The key a new box for Base gets: Base itself when free, else its stem numbered.
    std::string MakeUniqueKey(const std::string& base, const std::string& prefix) const;
    // True when the two keys name the same table source.
    bool SameKey(const std::string& a, const std::string& b) const;

    void BringToFront(TQBTable* box);
    void DeactivateAll();
    // Frees links, joins and boxes without notifications; remembers each box's place.
    void Clear();
    void SuspendPaint() { FUpdating = true; }
    void ResumePaint();
    bool Updating() const { return FUpdating; }

    int TableCount() const { return static_cast<int>(FTables.size()); }
    TQBTable* Table(int index) const { return FTables.at(index).get(); }
    int IndexOfTable(const TQBFloatObject* object) const;
    int LinkCount() const { return static_cast<int>(FLinks.size()); }
    TQBLink* Link(int index) const { return FLinks.at(index).get(); }
    int IndexOfLink(const TQBFloatObject* object) const;
    int JoinCount() const { return static_cast<int>(FJoins.size()); }
    TQBJoin* Join(int index) const { return FJoins.at(index).get(); }
    TQBFloatObject* ActiveObject() const { return FActiveObject; }
    TQBFloatObject* HotObject() const { return FHotObject; }
    int HitCode() const { return FHitCode; }
    const TQBObjectArrangements& Arrangements() const { return FArrangements; }
    const QFont& Font() const { return FFont; }
    // The magnitude of the font's height in pixels, from which box sizes follow.
    int FontHeight() const { return FFontHeight; }

    bool FCheckLinkFieldsType = true;

    // --- linking two fields by dragging one onto the other ---
    // The MIME type of a field line dragged from a work area; the payload names the work
    // area, the box key and the line ("serial\nkey\nname").
    static constexpr const char* FieldMimeType = "application/x-korvel-field";
    // Starts dragging Box's focused line once the pointer (client coordinates) is farther
    // than the drag threshold from where the button went down. Returns after the drag ended.
    void BeginFieldDrag(TQBTable* box, const TPoint& point);
    // Runs a drag; replaces QDrag::exec where no drag loop can run (tests play the drag by
    // sending the drag events themselves and return the drop action).
    std::function<Qt::DropAction(QDrag&)> DragHook;
    bool FieldDragging() const { return FFieldDrag; }
    TQBTable* DropTable() const { return FDropTable; }
    TQBListItem* DropItem() const { return FDropItem; }
    TQBListItem* HighlightItem() const { return FHighlightItem; }
    TPoint WatchPoint() const { return FWatchPoint; }
    // True when the two field types may be joined: integers with integers, floats with
    // floats, strings with strings, anything else only with exactly its own type.
    static bool LinkFieldsCompatible(int sourceType, int targetType);

    // The work area's timers: list scrolling up and down during a field drag, the hint delay
    // and the hint display.
    enum TTimerId { tmListUp = 1, tmListDown = 2, tmHintDelay = 10, tmHintHide = 11 };
    bool TimerActive(int id) const;
    // What the timer Id does when it fires (called by the timers; tests call it directly).
    void TimerFired(int id);
    // The text of the hint window while it is shown, else empty.
    QString ShownHint() const;
    // Scrolls Box's list to Index as its scroll bar does; the links follow.
    void ScrollList(TQBTable* box, int index);

    QScrollBar* ListScrollBar() const { return FListScrollBar; }
    QLineEdit* AliasEdit() const { return FAliasEdit; }
    QLineEdit* SearchEdit() const { return FSearchEdit; }
    QMenu* PopupMenu() const { return FPopupMenu.get(); }
    // The owner's menu for a right click over empty space (not owned; may be null).
    QPointer<QMenu> SpaceMenu;
    // The pointer shown while a field line is dragged (the resource "DragCursor").
    const QCursor& DragCursor() const { return FDragCursor; }

    int ScrollX() const;
    int ScrollY() const;
    // Schedules a repaint of a rectangle or region given on screen (client coordinates).
    void InvalidateRect(const TRect& screenRect);
    void InvalidateRegion(const QRegion& screenRegion);

    // Requests from the objects (the private messages of the surface).
    void TableMoved(TQBTable* box);
    void TableChanged(TQBTable* box);
    // Removes Box after asking the owner (unless Asked says the owner already agreed).
    void RemoveTable(TQBTable* box, bool asked = false);
    void RemoveTableLinks(TQBTable* box);
    // Queues the removal of Link; it happens after the current handler has returned and
    // only when the link is still on the surface then.
    void PostRemoveLink(TQBLink* link);
    // Frees objects removed while their own handlers might still be running.
    void FlushRemoved();

    // Commits Text as the alias of the active box (the alias editor's commit).
    void ChangeAlias(const std::string& text);
    // The box or link with that serial number still on the surface, or null.
    TQBFloatObject* ObjectBySerial(std::uint64_t serial) const;
    // Selects Object as the active one (deselecting the previous one).
    void ActivateObject(TQBFloatObject* object);
    // Asks the user a yes/no question; the hook replaces the message box (tests, hosts).
    bool Confirm(const QString& caption, const QString& text);
    std::function<bool(const QString&, const QString&)> ConfirmHook;
    // The link properties dialog, made once with the work area.
    TfmLinkProp& LinkPropDialog() const { return *FLinkProp; }
    // Runs Dialog modally; true when it closed with OK. The hook replaces the modal loop
    // (tests, hosts without a user).
    // Every modal dialog of the diagram, the control and the host runs through this one hook.
    bool RunModal(QDialog& dialog);
    TDialogRunner ModalHook;
    // Shows an error raised inside an event handler; the hook replaces the message box.
    std::function<void(const QString&)> ErrorHook;
    void ReportError(const QString& text);
    // Runs Body and reports an exception it raises: no exception leaves an event handler,
    // a menu command or a queued call into the event loop.
    void Guard(const std::function<void()>& body);
    // Body wrapped by Guard, for menu commands and queued calls.
    std::function<void()> Guarded(std::function<void()> body);

    // Fired by boxes and links.
    void DoFieldCheckChanged(TQBTable* box, TQBListItem* item);
    void DoTableRemoved(TQBTable* box);
    void DoLinkSelected(TQBLink* link, bool active);

    std::function<void(TQBWorkArea*, TQBLink*)> OnLinkAdded;
    std::function<void(TQBWorkArea*, TQBLink*)> OnLinkRemoved;
    std::function<void(TQBWorkArea*, TQBTable*, TQBTable*, TQBListItem*, TQBListItem*, bool)>
        OnLinkSelected;
    std::function<void(TQBTable*, TQBListItem*)> OnFieldCheckChanged;
    std::function<void(TQBWorkArea*, TQBTable*)> OnTableAdded;
    std::function<void(TQBWorkArea*, TQBTable*)> OnTableRemoved;
    std::function<void(TQBTable*, const std::string&)> OnTableKeyChanged;

    // Number of boxes and links drawn by the last paint event (repaint economy checks).
    int LastPaintedBoxes() const { return FLastPaintedBoxes; }
    int LastPaintedLinks() const { return FLastPaintedLinks; }
    // Paints the whole visible surface onto Painter (snapshots, benchmarks).
    void PaintSurface(QPainter& painter, const QRegion& dirty);

    // The bend point being dragged, drawn as a band by the paint event.
    void SetRubberBand(TQBLink* link, const std::vector<TPoint>& screenPoints);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool viewportEvent(QEvent* event) override;
    bool focusNextPrevChild(bool next) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    void UpdateScrollRanges();
    // Places a new box (made by Make with its key) on the surface after asking the owner.
    TQBTable* InsertBox(const std::string& name, const std::string& alias, const char* keyPrefix, TPoint position,
                        bool autoPlace, const std::function<std::unique_ptr<TQBTable>()>& make);
    TQBMouseMessage MakeMessage(const QMouseEvent* event) const;
    // The object under Point (client coordinates): boxes front first, then links.
    TQBFloatObject* ObjectAt(const TPoint& point, int& hitCode) const;
    void UpdateCursor(int hitCode);
    void DragBox(const TQBMouseMessage& msg);
    void ProcessRemoveLink(std::uint64_t serial);
    void ShowPopup(const TQBMouseMessage& msg, const QPoint& globalPos);
    void HideEditors();
    // Repaints the links of Box: whole links, or only their part at Box when Partial.
    void InvalidateBoxLinks(TQBTable* box, bool partial);
    std::unique_ptr<TQBTable> TakeTable(TQBTable* box);

    // Field drags (QBWorkAreaDrag.cpp).
    bool IsOwnFieldDrag(const QMimeData* data) const;
    // The drag-over of a field line of this work area: true when the drop is accepted.
    bool FieldDragOver(const QPoint& point, TDragState state);
    void FieldDrop();
    void EndFieldDrag(QObject* target);
    // Stops the list timers and forgets the drop box, drop line, highlight and watch point.
    void ClearDropState();
    void SetHighlightItem(TQBListItem* item);
    // Forgets every drag and hover pointer into Box or its lines (the box is going).
    void ForgetBox(const TQBTable* box);
    QPixmap FieldDragPixmap(const QString& text) const;

    // Hints and keys (QBWorkAreaHint.cpp, QBWorkAreaKeys.cpp).
    void RestartHintTimer();
    void HideHint();
    // Tab and Shift+Tab: boxes first, then the links.
    void TabToNext(bool back);
    // The active object's menu opened from the keyboard, at the object itself.
    void ShowKeyboardPopup();

    TQBWorkAreaOwner* FOwner;
    std::vector<std::unique_ptr<TQBJoin>> FJoins;
    std::vector<std::unique_ptr<TQBLink>> FLinks;
    std::vector<std::unique_ptr<TQBTable>> FTables;  // index 0 is the front-most
    std::vector<std::unique_ptr<TQBFloatObject>> FRemoved;  // freed by FlushRemoved
    bool FFlushPosted = false;
    int FHitCode = hcNone;
    TQBFloatObject* FHotObject = nullptr;
    TQBFloatObject* FActiveObject = nullptr;
    TPoint FGrabOffset;
    TPoint FLastMouse{-1, -1};
    std::unique_ptr<QMenu> FPopupMenu;
    QFont FFont;
    int FFontHeight = 12;
    QCursor FDragCursor;
    QScrollBar* FListScrollBar = nullptr;  // children of the viewport
    QLineEdit* FAliasEdit = nullptr;
    QLineEdit* FSearchEdit = nullptr;
    bool FUpdating = false;
    TQBObjectArrangements FArrangements;
    TQBLink* FBandLink = nullptr;
    std::vector<TPoint> FBandPoints;  // on screen
    int FLastPaintedBoxes = 0;
    int FLastPaintedLinks = 0;

    // Field drag state: the box and line under the pointer, the line drawn as drop target,
    // and the point the list-scroll timers watch (diagram coordinates).
    TQBTable* FDropTable = nullptr;
    TQBListItem* FDropItem = nullptr;
    TQBListItem* FHighlightItem = nullptr;
    TPoint FWatchPoint;
    TPoint FDragPos;        // last drag position over the work area (client coordinates)
    TPoint FPressPoint;     // where the left button went down (client coordinates)
    bool FFieldDrag = false;     // a field drag started here is running
    bool FFieldDropDone = false; // it was dropped on this work area
    bool FDragOverSelf = false;  // the last drag event over this work area was not a leave
    QTimer* FListUpTimer = nullptr;  // children of the work area
    QTimer* FListDownTimer = nullptr;
    QTimer* FHintTimer = nullptr;
    QTimer* FHintHideTimer = nullptr;
    QLabel* FHintWindow = nullptr;   // a tool-tip window owned by the work area
    TfmLinkProp* FLinkProp = nullptr;  // child dialog
    // Boxes activated by consecutive Tab presses; after all of them Tab goes on to the links.
    int FTabRun = 0;
};
