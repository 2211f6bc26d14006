// The sorting page's panel: layout, loading from the model's ORDER BY list, the commands
// that move fields between the candidate list and the sort list, and writing back.
#include "editors/QBSelectOrderSort.h"

#include <QDragEnterEvent>
#include <QHeaderView>
#include <QIcon>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QToolButton>
#include <QTreeWidget>
#include <memory>

#include "diagram/QBImages.h"
#include "model/QBOrderItems.h"
#include "parser/QBParser.h"
#include "resources/QBResource.h"
#include "toolkit/Exceptions.h"
#include "toolkit/TextCompare.h"

namespace {

constexpr int LabelHeight = 20;
constexpr int SpeedButtonWidth = 23;
constexpr int SpeedButtonHeight = 22;
constexpr int SpeedButtonTops[] = {30, 55, 80, 105};
constexpr int DirectionWidth = 30;
constexpr int UpDownWidth = 35;
constexpr int PushButtonHeight = 20;
const char* const GlyphNames[] = {"ADD", "ADD_ALL", "REMOVE", "REMOVE_ALL"};

QString Text(const char* utf8) { return QString::fromUtf8(utf8); }

bool IsAscending(const QString& direction) { return direction == Text(QBResource::SOrderAscending); }

// A glyph with its 1x and 2x pictures, so it stays sharp on dense screens.
QIcon Glyph(const char* name) {
    QIcon icon;
    icon.addPixmap(QBImage(name, 1.0));
    icon.addPixmap(QBImage(name, 2.0));
    return icon;
}

// A push button at least Width wide and tall enough for its caption in the current font.
QPushButton* MakePushButton(const QString& caption, int width, QWidget* parent) {
    auto* button = new QPushButton(caption, parent);
    const QFontMetrics metrics = button->fontMetrics();
    const int textWidth = std::max(metrics.horizontalAdvance(Text(QBResource::SOrderAToZ)),
                                   std::max(metrics.horizontalAdvance(Text(QBResource::SOrderZToA)),
                                            metrics.horizontalAdvance(caption)));
    button->resize(std::max(width, textWidth + 8), std::max(PushButtonHeight, metrics.height() + 6));
    button->setEnabled(false);
    return button;
}

}  // namespace

TQBOrderPanel::TQBOrderPanel(QWidget* parent) : QWidget(parent) {
    if (!parent) throw EQBException(QBResource::SInvalidOrderPanelParent);
    setObjectName("OrderPanel");
    setFocusPolicy(Qt::TabFocus);
    FLabel = new QLabel(Text(QBResource::SOrderInputFields), this);
    FLabel->move(0, 0);
    FLabel->resize(FLabel->width(), std::max(LabelHeight, FLabel->fontMetrics().height() + 4));

    FSourceList = new QListWidget(this);
    FSourceList->setObjectName("SortSourceList");
    FSourceList->setSelectionMode(QAbstractItemView::SingleSelection);
    FSourceList->setDragEnabled(true);
    FSourceList->setDragDropMode(QAbstractItemView::DragOnly);
    FSourceList->viewport()->setAcceptDrops(true);
    FSourceList->viewport()->installEventFilter(this);

    FSortList = new QTreeWidget(this);
    FSortList->setObjectName("SortList");
    FSortList->setColumnCount(2);
    FSortList->setHeaderLabels({Text(QBResource::SOrderSortField), Text(QBResource::SOrderSortType)});
    FSortList->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    FSortList->header()->setStretchLastSection(true);
    FSortList->setRootIsDecorated(false);
    FSortList->setItemsExpandable(false);
    FSortList->setSelectionMode(QAbstractItemView::SingleSelection);
    FSortList->setSelectionBehavior(QAbstractItemView::SelectRows);
    FSortList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    FSortList->setDragEnabled(true);
    FSortList->setDragDropMode(QAbstractItemView::DragOnly);
    FSortList->viewport()->setAcceptDrops(true);
    FSortList->viewport()->installEventFilter(this);

    const std::function<void()> commands[] = {[this] { AddSelected(); }, [this] { AddAll(); },
                                              [this] { RemoveSelected(); }, [this] { RemoveAll(); }};
    for (int i = 0; i < 4; ++i) {
        auto* button = new QToolButton(this);
        button->setObjectName(GlyphNames[i]);
        button->setAutoRaise(true);  // flat: the style paints hover and pressed states
        button->setIcon(Glyph(GlyphNames[i]));
        button->setIconSize(QSize(16, 16));
        button->resize(SpeedButtonWidth, SpeedButtonHeight);
        button->setEnabled(false);
        connect(button, &QToolButton::clicked, this, [this, command = commands[i]] { Command(command); });
        FButtons[i] = button;
    }
    FDirection = MakePushButton(Text(QBResource::SOrderAToZ), DirectionWidth, this);
    FUp = MakePushButton(Text(QBResource::SOrderUp), UpDownWidth, this);
    FDown = MakePushButton(Text(QBResource::SOrderDown), UpDownWidth, this);
    connect(FDirection, &QPushButton::clicked, this, [this] { Command([this] { ToggleDirection(); }); });
    connect(FUp, &QPushButton::clicked, this, [this] { Command([this] { MoveUp(); }); });
    connect(FDown, &QPushButton::clicked, this, [this] { Command([this] { MoveDown(); }); });

    connect(FSourceList, &QListWidget::itemSelectionChanged, this, [this] { UpdateButtons(); });
    connect(FSortList, &QTreeWidget::itemSelectionChanged, this, [this] { UpdateButtons(); });
    connect(FSourceList, &QListWidget::itemDoubleClicked, this, [this] { Command([this] { AddSelected(); }); });
    connect(FSortList, &QTreeWidget::itemDoubleClicked, this, [this] { Command([this] { RemoveSelected(); }); });
    ApplyLayout();
}

TQBOrderPanel::~TQBOrderPanel() {
    // The lists go one after the other; neither may reach the panel once the first is gone.
    FSourceList->disconnect(this);
    FSortList->disconnect(this);
}

// --- layout ---

void TQBOrderPanel::ApplyLayout() {
    const int addWidth = AddButton()->width();
    const int labelHeight = FLabel->height();
    const int listTop = labelHeight + 2;
    const int labelWidth = (width() - addWidth) / 2;
    FLabel->resize(labelWidth, labelHeight);
    FSourceList->setGeometry(0, listTop, std::max(0, labelWidth - 2), std::max(0, height() - listTop));
    const int sortLeft = labelWidth + addWidth + 2;
    FSortList->setGeometry(sortLeft, listTop, std::max(0, labelWidth - 2), std::max(0, height() - listTop));
    // A taller label (a larger font) moves the buttons down with the lists.
    for (int i = 0; i < 4; ++i) FButtons[i]->move(labelWidth, SpeedButtonTops[i] + labelHeight - LabelHeight);
    FUp->move(sortLeft, 0);
    FDown->move(FUp->x() + FUp->width() + 2, 0);
    FDirection->move(width() - FDirection->width() - 2, 0);
    update();
}

void TQBOrderPanel::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    ApplyLayout();
}

// --- loading and writing back ---

void TQBOrderPanel::ClearLists() {
    FSourceList->clear();
    FSortList->clear();
    FHiddenItems.clear();
    FDirection->setText(Text(QBResource::SOrderAToZ));
    UpdateButtons();
}

void TQBOrderPanel::AppendSortEntry(const QString& text, const QString& direction) {
    new QTreeWidgetItem(FSortList, {text, direction});
}

void TQBOrderPanel::LoadFromModel() {
    if (!FParser) return;
    FCandidates.Clear();
    if (OnFillCandidates) OnFillCandidates(this, FCandidates);
    FSourceList->clear();
    for (const std::string& candidate : FCandidates) FSourceList->addItem(QString::fromStdString(candidate));

    FSortList->setUpdatesEnabled(false);
    FSortList->clear();
    FHiddenItems.clear();
    const TQBOrderByItems& items = *FParser->GetOrderByItems();
    for (int i = 0; i < items.Count(); ++i) {
        const std::string& text = items[i];
        const int direction = items.GetDirection(i);
        int found = -1;
        for (int k = 0; k < FSourceList->count() && found < 0; ++k)
            if (SameText(FSourceList->item(k)->text().toStdString(), text)) found = k;
        if (found < 0) {
            FHiddenItems.push_back({text, direction});
            continue;
        }
        delete FSourceList->takeItem(found);
        AppendSortEntry(QString::fromStdString(text), Text(direction == sdDescending ? QBResource::SOrderDescending
                                                                                      : QBResource::SOrderAscending));
    }
    FSortList->setUpdatesEnabled(true);
    UpdateButtons();
}

void TQBOrderPanel::WriteBack() {
    if (!FParser) return;
    TQBOrderByItems& items = *FParser->GetOrderByItems();
    items.Clear();
    for (int i = 0; i < FSortList->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* entry = FSortList->topLevelItem(i);
        items.AddItem(entry->text(0).toStdString(),
                      entry->text(1) == Text(QBResource::SOrderDescending) ? sdDescending : sdAscending);
    }
    for (const TQBOrderByItem& hidden : FHiddenItems) items.AddItem(hidden.Text, hidden.Direction);
}

void TQBOrderPanel::Command(const std::function<void()>& body) {
    body();
    WriteBack();
    UpdateButtons();
}

// --- buttons ---

void TQBOrderPanel::UpdateButtons() {
    const QListWidgetItem* source = FSourceList->currentItem();
    AddButton()->setEnabled(source && source->isSelected());
    AddAllButton()->setEnabled(FSourceList->count() > 0);
    const QTreeWidgetItem* entry = FSortList->currentItem();
    const bool sortSelected = entry && entry->isSelected();
    RemoveButton()->setEnabled(sortSelected);
    FDirection->setEnabled(sortSelected);
    FUp->setEnabled(sortSelected);
    FDown->setEnabled(sortSelected);
    RemoveAllButton()->setEnabled(FSortList->topLevelItemCount() > 0);
    if (!sortSelected) return;
    FDirection->setText(Text(IsAscending(entry->text(1)) ? QBResource::SOrderZToA : QBResource::SOrderAToZ));
    const int index = FSortList->indexOfTopLevelItem(const_cast<QTreeWidgetItem*>(entry));
    FUp->setEnabled(index > 0);
    FDown->setEnabled(index < FSortList->topLevelItemCount() - 1);
}

void TQBOrderPanel::SelectSortEntry(int index) {
    const int count = FSortList->topLevelItemCount();
    if (count == 0) return;
    QTreeWidgetItem* entry = FSortList->topLevelItem(std::min(index, count - 1));
    FSortList->setCurrentItem(entry);
    entry->setSelected(true);
}

// --- commands ---

void TQBOrderPanel::AddSelected() {
    QListWidgetItem* source = FSourceList->currentItem();
    if (!source || !source->isSelected()) return;
    const int index = FSourceList->row(source);
    AppendSortEntry(source->text(), Text(QBResource::SOrderAscending));
    delete FSourceList->takeItem(index);
    if (FSourceList->count() > 0) {
        FSourceList->setCurrentRow(std::min(index, FSourceList->count() - 1));
        FSourceList->currentItem()->setSelected(true);
    }
}

void TQBOrderPanel::AddAll() {
    while (FSourceList->count() > 0) {
        std::unique_ptr<QListWidgetItem> source(FSourceList->takeItem(0));
        AppendSortEntry(source->text(), Text(QBResource::SOrderAscending));
        WriteBack();
    }
}

void TQBOrderPanel::RemoveSelected() {
    QTreeWidgetItem* entry = FSortList->currentItem();
    if (!entry || !entry->isSelected()) return;
    const int index = FSortList->indexOfTopLevelItem(entry);
    FSourceList->addItem(entry->text(0));
    delete FSortList->takeTopLevelItem(index);
    SelectSortEntry(index);
}

void TQBOrderPanel::RemoveAll() {
    while (FSortList->topLevelItemCount() > 0) {
        std::unique_ptr<QTreeWidgetItem> entry(FSortList->takeTopLevelItem(0));
        FSourceList->addItem(entry->text(0));
        WriteBack();
    }
}

void TQBOrderPanel::ToggleDirection() {
    QTreeWidgetItem* entry = FSortList->currentItem();
    if (!entry || !entry->isSelected()) return;
    entry->setText(1, Text(IsAscending(entry->text(1)) ? QBResource::SOrderDescending : QBResource::SOrderAscending));
}

void TQBOrderPanel::MoveUp() {
    QTreeWidgetItem* entry = FSortList->currentItem();
    const int index = entry && entry->isSelected() ? FSortList->indexOfTopLevelItem(entry) : -1;
    if (index <= 0) return;
    FSortList->insertTopLevelItem(index - 1, FSortList->takeTopLevelItem(index));
    SelectSortEntry(index - 1);
}

void TQBOrderPanel::MoveDown() {
    QTreeWidgetItem* entry = FSortList->currentItem();
    const int index = entry && entry->isSelected() ? FSortList->indexOfTopLevelItem(entry) : -1;
    if (index < 0 || index >= FSortList->topLevelItemCount() - 1) return;
    FSortList->insertTopLevelItem(index + 1, FSortList->takeTopLevelItem(index));
    SelectSortEntry(index + 1);
}

// --- drag and drop between the lists ---

bool TQBOrderPanel::DragOver(QObject* source, QWidget* target) const {
    if (target == FSortList || target == FSortList->viewport()) return source == FSourceList;
    if (target == FSourceList || target == FSourceList->viewport()) return source == FSortList;
    return false;
}

void TQBOrderPanel::DragDrop(QObject* source, QWidget* target) {
    if (!DragOver(source, target)) return;
    if (source == FSourceList)
        Command([this] { AddSelected(); });
    else
        Command([this] { RemoveSelected(); });
}

bool TQBOrderPanel::eventFilter(QObject* watched, QEvent* event) {
    auto* target = qobject_cast<QWidget*>(watched);
    switch (event->type()) {
        case QEvent::DragEnter:
        case QEvent::DragMove: {
            auto* drag = static_cast<QDragMoveEvent*>(event);
            if (DragOver(drag->source(), target))
                drag->acceptProposedAction();
            else
                drag->ignore();
            return true;
        }
        case QEvent::Drop: {
            auto* drop = static_cast<QDropEvent*>(event);
            drop->acceptProposedAction();
            DragDrop(drop->source(), target);
            return true;
        }
        default:
            return QWidget::eventFilter(watched, event);
    }
}
