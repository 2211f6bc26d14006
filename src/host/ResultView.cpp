#include "host/ResultView.h"

#include "data/DataSet.h"
#include "host/ResultModel.h"
#include "resources/QBResource.h"
#include "toolkit/Exceptions.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QProgressDialog>
#include <QStyle>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

#include <exception>
#include <memory>

namespace {

enum TNavigatorButton { nbFirst, nbPrior, nbNext, nbLast, nbRefresh };

}  // namespace

TQBResultView::TQBResultView(QWidget* parent)
    : QWidget(parent), FModel(new TQBResultModel(this)), FGrid(new QTableView(this)) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);

    auto* navigator = new QHBoxLayout;
    navigator->setSpacing(0);
    struct TButtonDef {
        QStyle::StandardPixmap Icon;
        const char* Hint;
        void (TQBResultView::*Action)();
    };
    static const TButtonDef defs[] = {
        {QStyle::SP_MediaSkipBackward, QT_TR_NOOP("First record"), &TQBResultView::First},
        {QStyle::SP_MediaSeekBackward, QT_TR_NOOP("Prior record"), &TQBResultView::Prior},
        {QStyle::SP_MediaSeekForward, QT_TR_NOOP("Next record"), &TQBResultView::Next},
        {QStyle::SP_MediaSkipForward, QT_TR_NOOP("Last record"), &TQBResultView::Last},
        {QStyle::SP_BrowserReload, QT_TR_NOOP("Refresh data"), &TQBResultView::RefreshData},
    };
    for (int i = 0; i < 5; ++i) {
        auto* button = new QToolButton(this);
        button->setAutoRaise(true);
        button->setIcon(style()->standardIcon(defs[i].Icon));
        button->setToolTip(QString::fromUtf8(defs[i].Hint));
        connect(button, &QToolButton::clicked, this, defs[i].Action);
        navigator->addWidget(button);
        FButtons[i] = button;
    }
    navigator->addStretch();
    layout->addLayout(navigator);

    FGrid->setModel(FModel);
    FGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    FGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    FGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    FGrid->verticalHeader()->setDefaultSectionSize(FGrid->fontMetrics().height() + 4);
    layout->addWidget(FGrid);
    connect(FModel, &QAbstractItemModel::modelReset, this, &TQBResultView::UpdateButtons);
    connect(FModel, &QAbstractItemModel::rowsInserted, this, &TQBResultView::UpdateButtons);
    UpdateButtons();
}

void TQBResultView::SetDataSet(TDataSet* dataSet) {
    FModel->SetDataSet(dataSet);
    FModel->ReadMore(TQBResultModel::FetchBatch);  // the first screens at once, the rest as it scrolls
    // Columns as wide as the first rows need, within reason.
    FGrid->resizeColumnsToContents();
    QHeaderView* header = FGrid->horizontalHeader();
    for (int column = 0; column < header->count(); ++column)
        if (header->sectionSize(column) > MaxInitialColumnWidth) header->resizeSection(column, MaxInitialColumnWidth);
    if (FModel->rowCount() > 0) MoveTo(0);
}

void TQBResultView::Reset() { FModel->Reset(); }

int TQBResultView::CurrentRow() const {
    const QModelIndex current = FGrid->currentIndex();
    return current.isValid() ? current.row() : -1;
}

void TQBResultView::MoveTo(int row) {
    if (row < 0 || row >= FModel->rowCount()) return;
    const QModelIndex index = FModel->index(row, std::max(0, FGrid->currentIndex().column()));
    FGrid->setCurrentIndex(index);
    FGrid->scrollTo(index);
    UpdateButtons();
}

void TQBResultView::First() { MoveTo(0); }

void TQBResultView::Prior() { MoveTo(CurrentRow() - 1); }

void TQBResultView::Next() {
    const int next = CurrentRow() + 1;
    if (next >= FModel->rowCount()) FModel->ReadMore(TQBResultModel::FetchBatch);
    MoveTo(next);
}

void TQBResultView::Last() {
    ReadToEnd();
    MoveTo(FModel->rowCount() - 1);
}

bool TQBResultView::ReadToEnd() {
    TDataSet* dataSet = FModel->DataSet();
    if (!dataSet || !dataSet->Active()) return true;
    std::unique_ptr<QProgressDialog> progress;
    if (!OnReading) {
        progress = std::make_unique<QProgressDialog>(this);
        progress->setLabelText(QString::fromUtf8(QBResource::SPreviewRunning));
        progress->setRange(0, 0);
        progress->setMinimumDuration(500);
        progress->setWindowModality(Qt::WindowModal);
    }
    try {
        while (!dataSet->AllRead() || static_cast<std::size_t>(FModel->rowCount()) < dataSet->RecordsRead()) {
            if (FModel->ReadMore(ReadToEndBatch) == 0 && dataSet->AllRead()) break;
            const std::size_t read = static_cast<std::size_t>(FModel->rowCount());
            if (OnReading) {
                if (!OnReading(read)) return false;
            } else {
                progress->setLabelText(QString::fromStdString(
                    FormatMessage(QBResource::SPreviewReading, std::to_string(read))));
                QApplication::processEvents();
                if (progress->wasCanceled()) return false;
            }
        }
    } catch (const std::exception& error) {
        if (OnError) OnError(QString::fromUtf8(error.what()));
        return false;
    }
    return true;
}

void TQBResultView::RefreshData() {
    TDataSet* dataSet = FModel->DataSet();
    if (!dataSet || !dataSet->Active()) return;
    const int keep = CurrentRow();
    try {
        FModel->SetDataSet(nullptr);
        dataSet->Refresh();
    } catch (const std::exception& error) {
        if (OnError) OnError(QString::fromUtf8(error.what()));
    }
    FModel->SetDataSet(dataSet);
    while (keep >= FModel->rowCount() && FModel->canFetchMore({}))
        if (FModel->ReadMore(static_cast<std::size_t>(keep + 1 - FModel->rowCount())) == 0) break;
    MoveTo(std::min(keep, FModel->rowCount() - 1));
}

void TQBResultView::UpdateButtons() {
    const int rows = FModel->rowCount();
    const int current = CurrentRow();
    const bool more = FModel->canFetchMore({});
    FButtons[nbFirst]->setEnabled(rows > 0 && current > 0);
    FButtons[nbPrior]->setEnabled(rows > 0 && current > 0);
    FButtons[nbNext]->setEnabled(rows > 0 && (current + 1 < rows || more));
    FButtons[nbLast]->setEnabled(rows > 0 && (current + 1 < rows || more));
    FButtons[nbRefresh]->setEnabled(FModel->DataSet() && FModel->DataSet()->Active());
}
