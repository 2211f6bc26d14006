// The selection grid's editing: the in-place editors, row deletion, the keyboard and mouse
// commands and drag and drop (rows reordered within the grid, field lines dropped from the
// work area). Every change of the select list goes out through the grid's hooks.
#include <QComboBox>
#include <QContextMenuEvent>
#include <QDrag>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <vector>

#include "diagram/QBFloatPanel.h"
#include "diagram/QBFloatTable.h"
#include "editors/QBSelectOrder.h"
#include "editors/QBSelectOrderLookup.h"
#include "model/QBTableDefs.h"
#include "parser/QBParser.h"
#include "resources/QBResource.h"
#include "toolkit/Exceptions.h"
#include "toolkit/TRestoreOnExit.h"
#include "toolkit/TextCompare.h"

namespace {

// The drag of a grid row carries nothing: the row is the grid's current row.
const char* const RowMimeType = "application/x-korvel-select-row";

}  // namespace

void TQBSelectGrid::Guard(const std::function<void()>& body) {
    try {
        body();
    } catch (const std::exception& e) {
        if (ErrorHook)
            ErrorHook(QString::fromUtf8(e.what()));
        else
            QMessageBox::critical(this, QString(), QString::fromUtf8(e.what()));
    }
}

// --- in-place editors ---

QWidget* TQBSelectGrid::ActiveEditor() const {
    if (FCombo && FCombo->isVisible()) return FCombo;
    if (FEdit && FEdit->isVisible()) return FEdit;
    return nullptr;
}

void TQBSelectGrid::EditCurrentCell() {
    const int row = currentRow(), column = currentColumn();
    if (row < 0 || column < 0) return;
    CancelEdit();
    FEditRow = row;
    FEditColumn = column;
    FEditOldText = Cell(row, column);
    const QString text = QString::fromStdString(FEditOldText);
    if (column == colOutputName) {
        FEdit->setText(text);
        PlaceEditor(FEdit);
        return;
    }
    const TStringList& entries = column == colAggregate ? FAggregateList : FSourceList;
    FCombo->clear();
    QStringList items;
    items.reserve(entries.Count());
    for (const std::string& entry : entries) items.push_back(QString::fromStdString(entry));
    FCombo->addItems(items);
    FCombo->setEditText(text);
    PlaceEditor(FCombo);
}

void TQBSelectGrid::PlaceEditor(QWidget* editor) {
    const QModelIndex index = model()->index(FEditRow, FEditColumn);
    scrollTo(index);
    const QRect cell = visualRect(index);
    const QPoint topLeft = viewport()->mapTo(parentWidget(), cell.topLeft());
    const int height = editor == FEdit ? cell.height() : std::max(cell.height(), FCombo->sizeHint().height());
    editor->setGeometry(topLeft.x(), topLeft.y(), cell.width() + 1, height);
    editor->show();
    editor->raise();
    editor->setFocus(Qt::OtherFocusReason);
}

void TQBSelectGrid::HideEditor(QWidget* editor) {
    const TRestoreOnExit restore(FFinishing);
    FFinishing = true;
    editor->hide();
}

void TQBSelectGrid::CancelEdit() {
    QWidget* editor = ActiveEditor();
    if (!editor) return;
    const bool hadFocus = editor->hasFocus() || (editor == FCombo && FCombo->lineEdit()->hasFocus());
    HideEditor(editor);
    FEditRow = FEditColumn = -1;
    if (hadFocus) setFocus(Qt::OtherFocusReason);
}

bool TQBSelectGrid::SourceShared(int row) const {
    const std::string source = Cell(row, colSource);
    for (int other = 0; other < NewRow(); ++other)
        if (other != row && Cell(other, colSource) == source && IsBlankText(Cell(other, colAggregate))) return true;
    return false;
}

void TQBSelectGrid::FinishEdit(QWidget* editor) {
    if (FFinishing || !editor || !editor->isVisible()) return;
    const TRestoreOnExit restore(FFinishing);
    FFinishing = true;
    const int row = FEditRow, column = FEditColumn;
    const std::string text = (editor == FCombo ? FCombo->currentText() : FEdit->text()).toStdString();
    editor->hide();
    FEditRow = FEditColumn = -1;
    setFocus(Qt::OtherFocusReason);
    if (row < 0 || row >= rowCount() || column < 0) return;
    // Leaving an editor without changing its text changes nothing.
    if (text == Cell(row, column)) return;
    setCurrentCell(row, column);
    if (editor == FCombo) {
        // A row reaches the model only with a source: the old one is released only when it
        // was set, the new one assigned only when it is.
        const std::string oldSource = Cell(row, colSource);
        if (!IsBlankText(oldSource) && OnReleaseField)
            OnReleaseField(oldSource, Cell(row, colAggregate), Cell(row, colOutputName), !SourceShared(row));
        SetCell(row, column, text);
        const std::string source = Cell(row, colSource);
        if (!IsBlankText(source) && OnAssignField)
            OnAssignField(source, Cell(row, colAggregate), Cell(row, colOutputName), true);
    } else {
        std::string newName = text;
        if (OnRenameOutput) OnRenameOutput(Cell(row, colSource), Cell(row, colOutputName), newName);
        SetCell(row, colOutputName, newName);
    }
    if (column == colSource && row == NewRow() && !Cell(row, colSource).empty()) AppendNewRow();
}

bool TQBSelectGrid::eventFilter(QObject* watched, QEvent* event) {
    QWidget* editor = watched == FEdit ? static_cast<QWidget*>(FEdit)
                      : (watched == FCombo || watched == FCombo->lineEdit()) ? static_cast<QWidget*>(FCombo)
                                                                              : nullptr;
    if (!editor) return QTableWidget::eventFilter(watched, event);
    if (event->type() == QEvent::FocusOut) {
        // Opening the combo box's list takes the focus for a moment: that ends no edit.
        if (static_cast<QFocusEvent*>(event)->reason() != Qt::PopupFocusReason && !FFinishing)
            Guard([this, editor] { FinishEdit(editor); });
    } else if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            Guard([this, editor] { FinishEdit(editor); });
            return true;
        }
        if (key == Qt::Key_Escape) {
            CancelEdit();
            setFocus(Qt::OtherFocusReason);
            return true;
        }
    }
    return QTableWidget::eventFilter(watched, event);
}

// --- deleting rows ---

void TQBSelectGrid::DeleteCurrentRow() {
    const int row = currentRow();
    if (!IsDataRow(row)) throw EQBException(QBResource::SSelectCantDeleteLastRow);
    CancelEdit();
    const bool shared = SourceShared(row);
    const std::string source = Cell(row, colSource), aggregate = Cell(row, colAggregate),
                      outputName = Cell(row, colOutputName);
    removeRow(row);
    if (!IsBlankText(source) && OnDeleteRow) OnDeleteRow(source, aggregate, outputName, !shared);
}

void TQBSelectGrid::ConfirmDeleteCurrentRow() {
    const QString caption = QString::fromUtf8(QBResource::SConfirmCaption);
    const QString text = QString::fromUtf8(QBResource::SSelectConfirmDeleteRow);
    const bool yes = ConfirmHook ? ConfirmHook(caption, text)
                                 : QMessageBox::question(this, caption, text, QMessageBox::Yes | QMessageBox::No) !=
                                       QMessageBox::No;
    if (yes) Guard([this] { DeleteCurrentRow(); });
}

// --- keyboard and mouse ---

void TQBSelectGrid::keyPressEvent(QKeyEvent* event) {
    const int key = event->key();
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && event->modifiers() == Qt::NoModifier) {
        Guard([this] { EditCurrentCell(); });
        return;
    }
    if (key == Qt::Key_Delete && event->modifiers() == Qt::ControlModifier) {
        ConfirmDeleteCurrentRow();
        return;
    }
    QTableWidget::keyPressEvent(event);
}

void TQBSelectGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    QTableWidget::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton && indexAt(event->position().toPoint()).isValid())
        Guard([this] { EditCurrentCell(); });
}

void TQBSelectGrid::mousePressEvent(QMouseEvent* event) {
    QTableWidget::mousePressEvent(event);
    FPressPos = event->position().toPoint();
    FPressRow = event->button() == Qt::LeftButton ? rowAt(FPressPos.y()) : -1;
}

void TQBSelectGrid::mouseMoveEvent(QMouseEvent* event) {
    // A data row dragged by one pixel starts a drag that reorders the rows.
    if ((event->buttons() & Qt::LeftButton) && IsDataRow(FPressRow) &&
        (event->position().toPoint() - FPressPos).manhattanLength() >= 1) {
        const int row = FPressRow;
        FPressRow = -1;
        setCurrentCell(row, std::max(0, currentColumn()));
        StartRowDrag();
        return;
    }
    QTableWidget::mouseMoveEvent(event);
}

void TQBSelectGrid::mouseReleaseEvent(QMouseEvent* event) {
    FPressRow = -1;
    QTableWidget::mouseReleaseEvent(event);
}

void TQBSelectGrid::StartRowDrag() {
    auto* drag = new QDrag(this);
    auto* data = new QMimeData;
    data->setData(RowMimeType, QByteArray());
    drag->setMimeData(data);
    drag->setPixmap(viewport()->grab(visualRect(model()->index(currentRow(), 0)) |
                                     visualRect(model()->index(currentRow(), colSource))));
    drag->exec(Qt::MoveAction);
}

void TQBSelectGrid::contextMenuEvent(QContextMenuEvent* event) {
    FPopupMenu->popup(event->globalPos());
    event->accept();
}

// --- drag and drop ---

TQBListItem* TQBSelectGrid::OfferedLine(QObject* source) const {
    if (!FWorkArea || !source || (source != FWorkArea && source != FWorkArea->viewport())) return nullptr;
    auto* box = dynamic_cast<TQBTable*>(FWorkArea->ActiveObject());
    return box ? box->FocusedItem() : nullptr;
}

int TQBSelectGrid::DropRow(const QPoint& pos) const {
    const int row = rowAt(pos.y());
    return row < 0 ? NewRow() : row;
}

bool TQBSelectGrid::DragOver(QObject* source, const QPoint& pos) {
    if (pos.y() < 0) return false;  // over the header
    if (source == this || source == viewport()) return IsDataRow(rowAt(pos.y()));
    FOfferedLine = OfferedLine(source);
    return FOfferedLine != nullptr;
}

void TQBSelectGrid::DragDrop(QObject* source, const QPoint& pos) {
    if (!DragOver(source, pos)) return;
    CancelEdit();
    if (source == this || source == viewport()) {
        const int from = currentRow();
        const int to = std::min(DropRow(pos), NewRow() - 1);
        if (!IsDataRow(from) || from == to) return;
        TQBFieldDef* moving = FieldOfRow(from);
        const TQBFieldDef* target = FieldOfRow(to);
        if (moving) moving->SetSelectIndex(target ? target->SelectIndex : to);
        MoveRow(from, to);
        return;
    }
    DropFieldLine(FOfferedLine, DropRow(pos));
}

void TQBSelectGrid::MoveRow(int from, int to) {
    std::vector<QTableWidgetItem*> cells;
    for (int column = 0; column < columnCount(); ++column) cells.push_back(takeItem(from, column));
    removeRow(from);
    insertRow(to);
    for (int column = 0; column < columnCount(); ++column)
        if (cells[static_cast<std::size_t>(column)]) setItem(to, column, cells[static_cast<std::size_t>(column)]);
    setCurrentCell(to, std::max(0, currentColumn()));
}

TQBFieldDef* TQBSelectGrid::FieldOfRow(int row) const {
    const TQBSelectParser* parser = Parser();
    if (!parser || !IsDataRow(row)) return nullptr;
    const TQBTableDefs& defs = *parser->GetTableDefs();
    const std::string outputName = Cell(row, colOutputName);
    if (const TQBTableDef* def = defs.FindByAlias(SplitSource(*parser, Cell(row, colSource)).Qualifier))
        if (TQBFieldDef* field = FindOutputField(*def, outputName)) return field;
    // An expression qualifies columns but lives with the unqualified items: look everywhere.
    return FindOutputFieldAnywhere(defs, outputName);
}

void TQBSelectGrid::DropFieldLine(TQBListItem* line, int row) {
    if (!line) return;
    setCurrentCell(row, colSource);
    if (row == NewRow()) {
        AppendNewRow();
    } else {
        const std::string source = Cell(row, colSource);
        if (!IsBlankText(source) && OnReleaseField)
            OnReleaseField(source, Cell(row, colAggregate), Cell(row, colOutputName), !SourceShared(row));
    }
    const std::string source = line->Table()->Key() + "." + line->Name();
    SetCell(row, colOutputName, line->Name());
    SetCell(row, colSource, source);
    if (OnAssignField) OnAssignField(source, Cell(row, colAggregate), line->Name(), true);
}

void TQBSelectGrid::dragEnterEvent(QDragEnterEvent* event) {
    if (DragOver(event->source(), event->position().toPoint()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void TQBSelectGrid::dragMoveEvent(QDragMoveEvent* event) {
    if (DragOver(event->source(), event->position().toPoint()))
        event->acceptProposedAction();
    else
        event->ignore();
}

void TQBSelectGrid::dropEvent(QDropEvent* event) {
    QObject* source = event->source();
    const QPoint pos = event->position().toPoint();
    event->acceptProposedAction();
    Guard([this, source, pos] { DragDrop(source, pos); });
}
