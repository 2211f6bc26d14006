// The result page's contents: a record navigator (first, prior, next, last, refresh) above a
// grid showing the preview query. The grid reads rows as it scrolls; "last" reads on to the
// end in batches, reporting progress through OnReading so the user can stop it.
#pragma once

#include <QWidget>

#include <cstddef>
#include <functional>

class QTableView;
class QToolButton;
class TDataSet;
class TQBResultModel;

class TQBResultView final : public QWidget {
    Q_OBJECT
public:
    // Rows read between two progress reports while reading to the end.
    static constexpr std::size_t ReadToEndBatch = 5000;
    // The widest a column starts out.
    static constexpr int MaxInitialColumnWidth = 300;

    explicit TQBResultView(QWidget* parent = nullptr);

    // Shows `dataSet` (not owned; null shows nothing). Call with null, or Reset(), before the
    // data set is closed.
    void SetDataSet(TDataSet* dataSet);
    void Reset();

    // The navigator's commands; each moves the grid's current row.
    void First();
    void Prior();
    void Next();
    void Last();
    // Runs the query again, keeping the current row where the new result still reaches it.
    void RefreshData();

    // The current row (0-based), or -1.
    int CurrentRow() const;
    QTableView* Grid() const { return FGrid; }
    TQBResultModel* Model() const { return FModel; }
    QToolButton* NavigatorButton(int index) const { return FButtons[index]; }

    // Told the rows read so far while "last" reads on; returns false to stop reading. Without a
    // handler a progress dialog with a Cancel button is shown while reading takes long.
    std::function<bool(std::size_t rowsRead)> OnReading;
    // Told the message of a failure while reading or refreshing (the page stays usable).
    std::function<void(const QString& message)> OnError;

private:
    void MoveTo(int row);
    bool ReadToEnd();
    void UpdateButtons();

    TQBResultModel* FModel;
    QTableView* FGrid;
    QToolButton* FButtons[5] = {};
};
