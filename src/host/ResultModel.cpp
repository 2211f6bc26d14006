#include "host/ResultModel.h"

#include "data/DataSet.h"

#include <algorithm>
#include <climits>

void TQBResultModel::SetDataSet(TDataSet* dataSet) {
    FDataSet = dataSet;
    Reset();
}

void TQBResultModel::Reset() {
    beginResetModel();
    FColumns = Readable() ? FDataSet->FieldCount() : 0;
    FRowsShown = Readable() ? static_cast<int>(std::min<std::size_t>(FDataSet->RecordsRead(), INT_MAX)) : 0;
    endResetModel();
}

bool TQBResultModel::Readable() const { return FDataSet && FDataSet->Active(); }

std::size_t TQBResultModel::ReadMore(std::size_t count) {
    if (!Readable()) return 0;
    const std::size_t before = static_cast<std::size_t>(FRowsShown);
    if (FDataSet->RecordsRead() < before + count && !FDataSet->AllRead())
        FDataSet->FetchMore(before + count - FDataSet->RecordsRead());
    const std::size_t available = std::min<std::size_t>(FDataSet->RecordsRead(), INT_MAX);
    if (available <= before) return 0;
    beginInsertRows({}, FRowsShown, static_cast<int>(available) - 1);
    FRowsShown = static_cast<int>(available);
    endInsertRows();
    return available - before;
}

int TQBResultModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() || !Readable() ? 0 : FRowsShown;
}

int TQBResultModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() || !Readable() ? 0 : FColumns;
}

QVariant TQBResultModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !Readable() || !index.isValid() || index.row() >= FRowsShown ||
        index.column() >= FColumns)
        return {};
    const TDataRow& row = FDataSet->Row(static_cast<std::size_t>(index.row()));
    if (row.IsNull(static_cast<std::size_t>(index.column()))) return {};
    const std::string_view text = row.Text(static_cast<std::size_t>(index.column()));
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QVariant TQBResultModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (role != Qt::DisplayRole) return {};
    if (orientation == Qt::Vertical) return section + 1;
    if (!Readable() || section < 0 || section >= FColumns) return {};
    return QString::fromStdString(FDataSet->Fields(section).FieldName());
}

bool TQBResultModel::canFetchMore(const QModelIndex& parent) const {
    if (parent.isValid() || !Readable()) return false;
    return static_cast<std::size_t>(FRowsShown) < FDataSet->RecordsRead() || !FDataSet->AllRead();
}

void TQBResultModel::fetchMore(const QModelIndex& parent) {
    if (!parent.isValid()) ReadMore(FetchBatch);
}
