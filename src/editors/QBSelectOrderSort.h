// The sorting page: TQBOrderPanel shows the fields that can still be sorted on (left) and the
// ORDER BY entries in order with their directions (right). Four glyph buttons, double clicks
// and drag and drop move fields between the lists; three push buttons flip an entry's
// direction and move it up or down. After every command the panel writes the model's ORDER BY
// list from the right list; ORDER BY items the panel cannot show (a position, an expression,
// a name that is no candidate) are kept after the shown ones.
#pragma once

#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "model/QBOrderItems.h"
#include "toolkit/TStringList.h"

class QLabel;
class QListWidget;
class QPushButton;
class QToolButton;
class QTreeWidget;
class TQBSelectParser;

class TQBOrderPanel final : public QWidget {
    Q_OBJECT

public:
    // Throws EQBException when Parent is null.
    explicit TQBOrderPanel(QWidget* parent);
    ~TQBOrderPanel() override;

    // Fills the candidate list for Panel (the control's sort candidates).
    std::function<void(TQBOrderPanel* panel, TStringList& candidates)> OnFillCandidates;

    void BindParser(TQBSelectParser* parser) { FParser = parser; }
    TQBSelectParser* Parser() const { return FParser; }
    // Empties both lists; the direction button reads "A..Z".
    void ClearLists();
    // Refills the candidates and the sort entries from the model's ORDER BY list.
    void LoadFromModel();

    // --- the user's commands ---
    void AddSelected();
    void AddAll();
    void RemoveSelected();
    void RemoveAll();
    void ToggleDirection();
    void MoveUp();
    void MoveDown();
    // Drag and drop between the two lists, as the drag events call them.
    bool DragOver(QObject* source, QWidget* target) const;
    void DragDrop(QObject* source, QWidget* target);

    // --- parts, for the control and the tests ---
    QLabel* Label() const { return FLabel; }
    QListWidget* SourceList() const { return FSourceList; }
    QTreeWidget* SortList() const { return FSortList; }
    QToolButton* AddButton() const { return FButtons[0]; }
    QToolButton* AddAllButton() const { return FButtons[1]; }
    QToolButton* RemoveButton() const { return FButtons[2]; }
    QToolButton* RemoveAllButton() const { return FButtons[3]; }
    QPushButton* DirectionButton() const { return FDirection; }
    QPushButton* UpButton() const { return FUp; }
    QPushButton* DownButton() const { return FDown; }
    const TStringList& Candidates() const { return FCandidates; }

protected:
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ApplyLayout();
    void UpdateButtons();
    // Rewrites the model's ORDER BY list: the shown entries, then the kept hidden items.
    void WriteBack();
    void AppendSortEntry(const QString& text, const QString& direction);
    void SelectSortEntry(int index);
    // The command, then write back and update the buttons.
    void Command(const std::function<void()>& body);

    QLabel* FLabel = nullptr;  // child widgets
    QListWidget* FSourceList = nullptr;
    QTreeWidget* FSortList = nullptr;
    QToolButton* FButtons[4] = {};
    QPushButton* FDirection = nullptr;
    QPushButton* FUp = nullptr;
    QPushButton* FDown = nullptr;
    TStringList FCandidates;
    // ORDER BY items that are not candidates: written back after the shown entries.
    std::vector<TQBOrderByItem> FHiddenItems;
    TQBSelectParser* FParser = nullptr;  // not owned
};
