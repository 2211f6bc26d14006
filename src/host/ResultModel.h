// The preview grid's model over a data set: rows are read from the source as the grid scrolls
// (canFetchMore/fetchMore), so a large result opens at once and memory follows the rows shown.
// The model never reads a data set that has been closed: its owner calls Reset() before it
// closes or reopens the data set, and every read checks that the set is still active.
#pragma once

#include <QAbstractTableModel>

#include <cstddef>

class TDataSet;

class TQBResultModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    // Rows read from the source each time the view asks for more.
    static constexpr std::size_t FetchBatch = 256;

    explicit TQBResultModel(QObject* parent = nullptr) : QAbstractTableModel(parent) {}

    // Shows `dataSet` (not owned; may be null) with the rows it has read so far.
    void SetDataSet(TDataSet* dataSet);
    TDataSet* DataSet() const { return FDataSet; }
    // Forgets the rows shown and shows the data set again as it now is (call before closing it).
    void Reset();
    // Reads up to `count` more rows and shows them; returns how many were added.
    std::size_t ReadMore(std::size_t count);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    bool canFetchMore(const QModelIndex& parent) const override;
    void fetchMore(const QModelIndex& parent) override;

private:
    bool Readable() const;

    TDataSet* FDataSet = nullptr;
    int FRowsShown = 0;
    int FColumns = 0;
};
