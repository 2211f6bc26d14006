// The selection page: TQBSelectPanel holds the DISTINCT check box above TQBSelectGrid, a
// three-column grid of the select list (output name, aggregate, source field) whose last row
// is always an empty new row. The grid never changes the query model itself: it reports every
// edit through four hooks, and the owning control's handlers change the model and the
// diagram. Editing happens in two in-place editors (a combo box for the aggregate and source
// columns, an edit box for the output name) placed over the current cell.
#pragma once

#include <QPointer>
#include <QTableWidget>
#include <QWidget>
#include <functional>
#include <string>

#include "toolkit/TStringList.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QMenu;
class TQBFieldDef;
class TQBListItem;
class TQBSelectParser;
class TQBWorkArea;

// A grid row's content handed to the control: source, aggregate, output name and whether
// the field line may be ticked (assign) or must be unticked (release, delete).
using TQBSelectFieldEvent = std::function<void(const std::string& source, const std::string& aggregate,
                                               const std::string& outputName, bool tick)>;
// A new output name typed for the row with Source; the handler may change NewName.
using TQBRenameOutputEvent =
    std::function<void(const std::string& source, const std::string& oldName, std::string& newName)>;

class TQBSelectGrid final : public QTableWidget {
    Q_OBJECT

public:
    enum TColumn { colOutputName = 0, colAggregate = 1, colSource = 2 };

    // Throws EQBException when Parent is null: the grid places its editors on its parent.
    explicit TQBSelectGrid(QWidget* parent);
    ~TQBSelectGrid() override;

    // The names offered in the aggregate column and the texts offered in the source column.
    TStringList& AggregateList() { return FAggregateList; }
    TStringList& SourceList() { return FSourceList; }

    // The new row (always the last one, always empty but while it is being filled).
    int NewRow() const { return rowCount() - 1; }
    // The text of a cell as UTF-8; empty outside the grid.
    std::string Cell(int row, int column) const;
    void SetCell(int row, int column, const std::string& text);
    // Back to the single empty new row; an open editor is dropped without finishing.
    void ClearRows();
    // Appends a data row above the new row showing Field; an empty alias becomes the
    // field's name (the model is changed).
    void AddFieldRow(TQBFieldDef& field);
    // Replaces the qualifier OldKey by NewKey in every source cell (whole names only, never
    // inside string literals).
    void ReplaceQualifier(const std::string& newKey, const std::string& oldKey);

    // Opens the in-place editor of the current cell.
    void EditCurrentCell();
    // Ends the edit of Editor: the row's change goes to the hooks; an unchanged text only
    // hides the editor.
    void FinishEdit(QWidget* editor);
    // Hides an open editor and drops its edit.
    void CancelEdit();
    // Deletes the current data row and reports it; throws EQBException on the new row.
    void DeleteCurrentRow();
    // Ctrl+Delete: asks first, then deletes; errors are reported, not thrown.
    void ConfirmDeleteCurrentRow();

    QComboBox* ComboEditor() const { return FCombo; }
    QLineEdit* TextEditor() const { return FEdit; }
    QMenu* PopupMenu() const { return FPopupMenu; }
    // The editor being shown, or null.
    QWidget* ActiveEditor() const;

    // Drag and drop, as the drag events call them (Source is the widget the drag came from):
    // a row of this grid, or the focused field line of the work area's active box.
    bool DragOver(QObject* source, const QPoint& pos);
    void DragDrop(QObject* source, const QPoint& pos);
    // The work area whose field lines may be dropped here (not owned).
    void SetWorkArea(TQBWorkArea* area);

    TQBSelectFieldEvent OnAssignField;
    TQBSelectFieldEvent OnReleaseField;
    TQBSelectFieldEvent OnDeleteRow;
    TQBRenameOutputEvent OnRenameOutput;
    // Message seams: the confirmation before Ctrl+Delete and the report of an error raised
    // inside an event handler. Without them message boxes are shown.
    std::function<bool(const QString& caption, const QString& text)> ConfirmHook;
    std::function<void(const QString& text)> ErrorHook;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ApplyColumnWidths();
    // The aggregate parser of the panel the grid sits on, or null.
    TQBSelectParser* Parser() const;
    bool IsDataRow(int row) const { return row >= 0 && row < NewRow(); }
    // Another data row than Row shows the same source without an aggregate.
    bool SourceShared(int row) const;
    void AppendNewRow();
    void PlaceEditor(QWidget* editor);
    void HideEditor(QWidget* editor);
    // The row a drop at Pos lands on: the new row when below the rows.
    int DropRow(const QPoint& pos) const;
    void MoveRow(int from, int to);
    // The field definition a row shows, looked up by its source's qualifier and output name.
    TQBFieldDef* FieldOfRow(int row) const;
    void DropFieldLine(TQBListItem* line, int row);
    TQBListItem* OfferedLine(QObject* source) const;
    void StartRowDrag();
    // Runs Body; an exception becomes a reported message.
    void Guard(const std::function<void()>& body);

    TStringList FAggregateList;
    TStringList FSourceList;
    QComboBox* FCombo = nullptr;  // children of the grid's parent
    QLineEdit* FEdit = nullptr;
    QMenu* FPopupMenu = nullptr;  // child of the grid
    QPointer<TQBWorkArea> FWorkArea;
    TQBListItem* FOfferedLine = nullptr;  // the line last offered by a work-area drag
    int FEditRow = -1;
    int FEditColumn = -1;
    std::string FEditOldText;
    bool FFinishing = false;
    QPoint FPressPos;
    int FPressRow = -1;
};

class TQBSelectPanel final : public QWidget {
    Q_OBJECT

public:
    // Throws EQBException when Parent is null.
    explicit TQBSelectPanel(QWidget* parent);

    TQBSelectGrid* Grid() const { return FGrid; }
    QCheckBox* DistinctBox() const { return FDistinct; }
    TQBSelectParser* Parser() const { return FParser; }

    // Binds Parser and copies its aggregate names into the grid's list.
    void BindParser(TQBSelectParser* parser);
    // One empty row, DISTINCT unticked (the model is not touched).
    void ClearGrid();
    // Refills the grid from the select list (procedure input parameters and blank names
    // skipped) and the check box from the DISTINCT flag.
    void LoadFromModel();

private:
    QCheckBox* FDistinct = nullptr;
    TQBSelectGrid* FGrid = nullptr;
    TQBSelectParser* FParser = nullptr;  // not owned
};
