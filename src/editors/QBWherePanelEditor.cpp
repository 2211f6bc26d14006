// The in-place editor of the criterion panels and its field picker: typing an expression or
// a value over its spot, checking the text when it is stored, and inserting a quoted
// table.field name chosen from the diagram's boxes.
#include <QApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTreeWidget>

#include "control/QBTableList.h"
#include "control/QBWindow.h"
#include "diagram/QBFloatTable.h"
#include "editors/QBCriterionOperand.h"
#include "editors/QBWherePanel.h"
#include "model/QBCriteria.h"
#include "parser/QBParser.h"
#include "resources/QBResource.h"
#include "toolkit/Exceptions.h"
#include "toolkit/TextCompare.h"

namespace {

// Text after the selection kept when a field is inserted: all of it.
void ReplaceSelection(QPlainTextEdit& editor, const QString& text) {
    QTextCursor cursor = editor.textCursor();
    cursor.insertText(text);
    editor.setTextCursor(cursor);
}

}  // namespace

void TQBCriterionPanel::OpenEditor(TQBControl* spot) {
    TQBCriterionRow* row = spot->Row;
    std::string text;
    if (spot->SpotIndex == siExpression)
        text = row->ExpressionText();
    else if (spot->SpotIndex >= siFirstValue && static_cast<std::size_t>(spot->SpotIndex - siFirstValue) < row->Values().size())
        text = row->Values()[static_cast<std::size_t>(spot->SpotIndex - siFirstValue)];
    else
        return;
    FillFieldPicker();
    ScrollToSpot(spot);
    FEditedSpot = spot;
    const QRect r = SpotRect(spot);
    FEditor->move(r.left(), r.top() + 2);
    {
        const QSignalBlocker blocker(FEditor);
        FEditor->setPlainText(QString::fromUtf8(IsBlankText(text) ? std::string() : text));
    }
    FitEditor();
    FEditor->show();
    FEditor->raise();
    FEditor->setFocus(Qt::OtherFocusReason);
    FEditor->selectAll();
    viewport()->update();
}

void TQBCriterionPanel::FitEditor() {
    if (!FEditor) return;
    const QFontMetrics metrics(FEditor->font());
    const QString text = FEditor->toPlainText();
    const QStringList lines = text.split('\n');
    int widest = 0;
    for (const QString& line : lines) widest = std::max(widest, metrics.horizontalAdvance(line));
    const int lineCount = std::max(1, static_cast<int>(lines.size()));
    const int frame = 2 * FEditor->frameWidth();
    const int width = widest + 10 + frame + 2 * static_cast<int>(FEditor->document()->documentMargin());
    const int height = 4 + metrics.lineSpacing() * lineCount + frame + 2 * static_cast<int>(FEditor->document()->documentMargin());
    FEditor->resize(std::max(width, 20), height);
    if (!FEditedSpot) return;
    // The spot takes the editor's width; the spots after it move along.
    TQBCriterionRow* row = FEditedSpot->Row;
    const int delta = FEditor->width() - FEditedSpot->Width;
    if (delta == 0) return;
    FEditedSpot->Width += delta;
    for (int i = FEditedSpot->SpotIndex + 1; i < row->SpotCount(); ++i) row->Spot(i)->Left += delta;
    viewport()->update(RowRect(row));
}

void TQBCriterionPanel::CloseEditor(bool store) {
    if (!FEditedSpot || FEditorClosing) return;
    FEditorClosing = true;
    TQBControl* spot = FEditedSpot;
    const std::string text = Trim(FEditor->toPlainText().toStdString());
    FEditedSpot = nullptr;
    FEditor->hide();
    TQBCriterionRow* row = spot->Row;
    if (store) Guard([&] { StoreSpotText(spot, text.empty() ? std::string(EmptySpotText) : text); });
    row->Layout();
    FEditorClosing = false;
    Refresh();
    // The panel takes the focus back, unless the user has just given it to another control.
    const QWidget* focused = QApplication::focusWidget();
    if (!focused || focused == FEditor || isAncestorOf(focused)) setFocus(Qt::OtherFocusReason);
}

void TQBCriterionPanel::StoreSpotText(TQBControl* spot, const std::string& text) {
    TQBCriterionRow* row = spot->Row;
    const bool commaList = spot->SpotIndex >= siFirstValue && row->Operator() && row->Operator()->CommaList;
    if (FParser && !IsSingleOperandText(*FParser->GetScanner(), text, commaList))
        throw EQBException(FormatMessage(QBResource::SInvalidOperandText, text));
    if (spot->SpotIndex == siExpression)
        row->SetExpressionText(text);
    else if (spot->SpotIndex >= siFirstValue)
        row->SetValue(spot->SpotIndex - siFirstValue, text);
}

bool TQBCriterionPanel::EditorKey(QKeyEvent* event) {
    const int key = event->key();
    const Qt::KeyboardModifiers mods = event->modifiers();
    if (key == Qt::Key_Escape) {
        CloseEditor(false);
        return true;
    }
    if (key != Qt::Key_Return && key != Qt::Key_Enter) return false;
    if (mods.testFlag(Qt::ShiftModifier)) {
        Guard([this] { ShowFieldPicker(); });
    } else if (mods.testFlag(Qt::ControlModifier) || mods.testFlag(Qt::AltModifier)) {
        ReplaceSelection(*FEditor, QStringLiteral("\n"));
    } else {
        CloseEditor(true);
    }
    return true;
}

// --- the field picker ---

void TQBCriterionPanel::FillFieldPicker() {
    if (!FFieldPicker) return;
    FFieldPicker->clear();
    const QIcon tableIcon = FControl && !FControl->Images().empty() ? QIcon(FControl->Images()[0]) : QIcon();
    const QIcon fieldIcon = FControl && FControl->Images().size() > 1 ? QIcon(FControl->Images()[1]) : QIcon();
    int widest = 0;
    if (FControl && FControl->WorkArea()) {
        const TQBTableList& tables = FControl->Tables();
        const QFontMetrics metrics(FFieldPicker->font());
        for (int t = 0; t < tables.Count(); ++t) {
            const TQBTable& box = *tables.Items(t);
            auto* node = new QTreeWidgetItem(FFieldPicker, {QString::fromUtf8(box.Key())});
            node->setIcon(0, tableIcon);
            for (int i = 0; i < box.ItemCount(); ++i) {
                const TQBListItem& line = *box.Item(i);
                if (!line.IsColumn()) continue;
                auto* child = new QTreeWidgetItem(node, {QString::fromUtf8(line.Name())});
                child->setIcon(0, fieldIcon);
                widest = std::max(widest, metrics.horizontalAdvance(child->text(0)));
            }
        }
    }
    FFieldPicker->resize(std::max(150, widest + 85), 200);
}

void TQBCriterionPanel::ShowFieldPicker() {
    if (!FFieldPicker || !FEditedSpot) return;
    QWidget* host = FFieldPicker->parentWidget();
    const QPoint editorTopLeft = FEditor->mapTo(window(), QPoint(0, 0));
    const QPoint below = host->mapFrom(window(), editorTopLeft + QPoint(0, FEditor->height()));
    const QPoint above = host->mapFrom(window(), editorTopLeft - QPoint(0, FFieldPicker->height()));
    const int panelBottom = host->mapFrom(window(), mapTo(window(), QPoint(0, height()))).y();
    FFieldPicker->move(below.y() + FFieldPicker->height() > panelBottom ? above : below);
    FFieldPicker->raise();
    FFieldPicker->show();
    FFieldPicker->setFocus(Qt::OtherFocusReason);
}

void TQBCriterionPanel::CloseFieldPicker(bool insert) {
    if (!FFieldPicker || !FFieldPicker->isVisible() || FPickerClosing) return;
    FPickerClosing = true;
    const QTreeWidgetItem* item = FFieldPicker->currentItem();
    FFieldPicker->hide();
    // Only a node under a table node is a field; a table without columns is not.
    if (insert && item && item->parent() && FEditedSpot) {
        const std::string text = QualifiedField(item->parent()->text(0).toStdString(), item->text(0).toStdString());
        ReplaceSelection(*FEditor, QString::fromUtf8(text));
    }
    FPickerClosing = false;
    if (FEditedSpot) FEditor->setFocus(Qt::OtherFocusReason);
}

bool TQBCriterionPanel::PickerKey(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Escape:
            CloseFieldPicker(false);
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            CloseFieldPicker(true);
            return true;
        default:
            return false;
    }
}

// --- events of the editor, the picker and the page ---

bool TQBCriterionPanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == parentWidget() && event->type() == QEvent::Resize) {
        setGeometry(parentWidget()->rect());
        return false;
    }
    if (watched == FEditor) {
        if (event->type() == QEvent::KeyPress) return EditorKey(static_cast<QKeyEvent*>(event));
        if (event->type() == QEvent::FocusOut && FEditedSpot && !(FFieldPicker && FFieldPicker->isVisible()))
            CloseEditor(true);
        return false;
    }
    if (FFieldPicker && watched == FFieldPicker) {
        if (event->type() == QEvent::KeyPress) return PickerKey(static_cast<QKeyEvent*>(event));
        if (event->type() == QEvent::FocusOut && FFieldPicker->isVisible()) {
            // Leaving the picker with a field chosen inserts it, as Enter does.
            CloseFieldPicker(true);
        }
        return false;
    }
    return QAbstractScrollArea::eventFilter(watched, event);
}
