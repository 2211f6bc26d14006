// The criterion panels of the "criteria" and "grouping criteria" pages: TQBCriterionPanel is
// a scrolling surface that draws the rows of a condition tree as lines of hot spots and lets
// the user build the tree by mouse and keyboard (group kinds, operators and aggregates from
// popup menus, expressions and values in an in-place editor with a field picker, fields
// dragged from the diagram). TQBWherePanel edits WHERE, TQBHavingPanel HAVING and offers
// aggregate functions.
#pragma once

#include <QAbstractScrollArea>
#include <QFont>
#include <QFontMetrics>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "editors/QBCriterionRows.h"

class QMenu;
class QMimeData;
class QPlainTextEdit;
class QTreeWidget;
class QTreeWidget;
class TCustomQueryBuilder;
class TQBCriterion;
class TQBCriterions;
class TQBSelectParser;


class TQBCriterionPanel : public QAbstractScrollArea {
    Q_OBJECT

public:
    static constexpr int RowHeight = 20;
    static constexpr int Indent = 15;

    // Creates the panel filling Parent; Control (may be null) gives palette, options, style,
    // the diagram's tables and the message seams. Throws EQBException without a parent.
    TQBCriterionPanel(QWidget* parent, TCustomQueryBuilder* control, bool allowAggregates);
    ~TQBCriterionPanel() override;

    void SetParser(TQBSelectParser* parser) { FParser = parser; }
    TQBSelectParser* Parser() const { return FParser; }
    TCustomQueryBuilder* Control() const { return FControl; }
    bool AllowAggregates() const { return FAllowAggregates; }
    // True when the function spots are shown: aggregates allowed and the parser has some.
    bool ShowsFunctions() const;

    TQBCriterionRows& Rows() { return *FRows; }
    TQBCriterionRow* RootRow() const;
    TQBControl* HoverSpot() const { return FHoverSpot; }
    TQBControl* CurrentSpot() const { return FCurrentSpot; }
    TQBControl* DragTarget() const { return FDragTarget; }
    // Makes Spot the target of the next command (what the mouse over it does).
    void SetHoverSpot(TQBControl* spot) { FHoverSpot = spot; }

    // The top-level group the panel edits (WHERE or HAVING items of the parser).
    virtual TQBCriterions* TopGroup() const = 0;

    // Builds the root row, its menus and the current spot; run once after creation.
    void ResetPanel();
    // Empties the rows below the root (the model is not touched).
    void Clear();
    // Rebuilds the rows from the parser's criteria.
    virtual void LoadFromModel();
    // Replaces the qualifier Old by New in every expression and value (whole qualifiers only,
    // never inside string literals).
    void RenameQualifier(const std::string& oldKey, const std::string& newKey);
    // Around a replacement of the operator table: rows remember their operator's name and
    // drop it, then take the operator of the new table with that name (or the first one).
    void ForgetOperators();
    void RebindOperators();
    // Asked before the page changes: an open field picker is closed and the change refused.
    bool CanLeave();

    // --- commands on HoverSpot (the row menu and the keys); errors leave as EQBException ---
    void AddCondition();
    void MakeGroup();
    // Asks through the control's confirmation seam first.
    void DeleteCondition();
    void ExpandCollapse();
    void ChooseGroupKind(int kind);
    void ChooseAggregate(const std::string& name);
    void ChooseOperator(int index);
    // Opens the menu or the editor of Spot, or expands a collapsed group.
    void ActivateSpot(TQBControl* spot);

    // --- geometry (viewport coordinates) ---
    const std::vector<TQBCriterionRow*>& VisibleRows() const;
    // Viewport y of Row's top; -1 when the row is not shown.
    int RowY(const TQBCriterionRow* row) const;
    TQBCriterionRow* RowAt(int y) const;
    TQBControl* SpotAt(const QPoint& point) const;
    QRect SpotRect(const TQBControl* spot) const;
    QRect RowRect(const TQBCriterionRow* row) const;
    // Widths of a text in the spots' bold underlined font and in the plain font.
    int SpotTextWidth(const std::string& text) const;
    int PlainTextWidth(const std::string& text) const;
    // Forget the shown-row cache after rows were added, removed, expanded or collapsed.
    void RowsChanged();
    // True while rows are built from the model: they are laid out once, when all are there.
    bool LayoutSuspended() const { return FLayoutSuspended; }

    // --- owned widgets (for the control and tests) ---
    QMenu* RowMenu() const { return FRowMenu; }
    QMenu* GroupKindMenu() const { return FGroupKindMenu; }
    QMenu* AggregateMenu() const { return FAggregateMenu; }
    QMenu* OperatorMenu() const { return FOperatorMenu; }
    QMenu* EditorMenu() const { return FEditorMenu; }
    QPlainTextEdit* Editor() const { return FEditor; }
    QTreeWidget* FieldPicker() const { return FFieldPicker; }
    // The spot the editor edits, or null while it is hidden.
    TQBControl* EditedSpot() const { return FEditedSpot; }

    // Closes the editor; Store writes its text (checked) into the spot.
    void CloseEditor(bool store);
    // Opens the field picker under (or above) the editor.
    void ShowFieldPicker();
    // Hides the picker; Insert puts the selected field into the editor.
    void CloseFieldPicker(bool insert);
    // Writes a dragged field (table key, field name) into Spot, as a drop does.
    void DropField(TQBControl* spot, const std::string& tableKey, const std::string& fieldName);
    // Recomputes the scroll ranges and repaints.
    void Refresh();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dragLeaveEvent(QDragLeaveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildMenus();
    void RebuildGroupKindMenu();
    void RebuildAggregateMenu();
    void RebuildOperatorMenu();
    void UpdateScrollRanges();
    // Runs Body; an exception becomes a message through the control's error seam.
    void Guard(const std::function<void()>& body);
    void ShowError(const std::string& text);
    bool Confirm(const std::string& caption, const std::string& text);
    // The command target; throws "没有可激活的按钮" when there is none.
    TQBControl* Target() const;
    // Clears every pointer into Row and the rows below it (they are about to go).
    void ForgetRow(const TQBCriterionRow* row);
    void ForgetAllRows();
    // The group criteria a row's sub-rows are bound to (the top group for the root row).
    TQBCriterions* GroupOf(TQBCriterionRow* groupRow) const;
    void BuildRows(TQBCriterionRows& rows, const TQBCriterions& group);
    // Lays out Rows and every row below them.
    static void LayoutAll(TQBCriterionRows& rows);
    void LoadCondition(TQBCriterionRow& row, const TQBCriterion& criterion);
    void PopupAt(QMenu* menu, const TQBControl* spot);
    void ScrollToSpot(const TQBControl* spot);
    // Moves CurrentSpot by one key (Left, Right, Up, Down); stays when there is no further spot.
    void MoveCurrent(int key);
    void SetCurrent(TQBControl* spot);
    bool IsSpotVisibleAtAll(const TQBControl* spot) const;

    // Painting.
    void PaintRow(QPainter& painter, const TQBCriterionRow& row, int y) const;
    void PaintNumber(QPainter& painter, const TQBControl& spot, int y) const;
    void PaintFrame(QPainter& painter, const TQBControl& spot, int y) const;
    QColor Background() const;

    // The in-place editor and the field picker.
    void OpenEditor(TQBControl* spot);
    void FitEditor();
    bool EditorKey(QKeyEvent* event);
    bool PickerKey(QKeyEvent* event);
    void FillFieldPicker();
    void StoreSpotText(TQBControl* spot, const std::string& text);
    // The dragged field of a drag event, or false when the drag carries none.
    bool DraggedField(const QDropEvent* event, std::string& tableKey, std::string& fieldName) const;
    TQBControl* DropSpotAt(const QPoint& point) const;
    std::string QualifiedField(const std::string& tableKey, const std::string& fieldName) const;

    TCustomQueryBuilder* FControl;
    TQBSelectParser* FParser = nullptr;
    const bool FAllowAggregates;
    QFont FSpotFont;
    QFont FTextFont;
    QFontMetrics FSpotMetrics;
    QFontMetrics FTextMetrics;
    std::unique_ptr<TQBCriterionRows> FRows;
    TQBControl* FHoverSpot = nullptr;
    TQBControl* FCurrentSpot = nullptr;
    TQBControl* FPressedSpot = nullptr;  // a number button held down
    TQBControl* FDragTarget = nullptr;
    TQBControl* FEditedSpot = nullptr;
    mutable std::vector<TQBCriterionRow*> FVisibleRows;
    mutable bool FVisibleRowsValid = false;
    QMenu* FRowMenu = nullptr;  // children of the panel
    QMenu* FGroupKindMenu = nullptr;
    QMenu* FAggregateMenu = nullptr;
    QMenu* FOperatorMenu = nullptr;
    QMenu* FEditorMenu = nullptr;
    QAction* FExpandAction = nullptr;
    QAction* FMakeGroupAction = nullptr;
    QAction* FDeleteAction = nullptr;
    QPlainTextEdit* FEditor = nullptr;
    // A child of the control, so that it may reach past the panel; freed with the panel, and
    // forgotten should its parent free it first.
    QTreeWidget* FFieldPicker = nullptr;
    bool FLayoutSuspended = false;
    bool FEditorClosing = false;
    bool FPickerClosing = false;
};

class TQBWherePanel final : public TQBCriterionPanel {
    Q_OBJECT

public:
    TQBWherePanel(QWidget* parent, TCustomQueryBuilder* control) : TQBCriterionPanel(parent, control, false) {}
    TQBCriterions* TopGroup() const override;
};

class TQBHavingPanel final : public TQBCriterionPanel {
    Q_OBJECT

public:
    TQBHavingPanel(QWidget* parent, TCustomQueryBuilder* control) : TQBCriterionPanel(parent, control, true) {}
    TQBCriterions* TopGroup() const override;
};
