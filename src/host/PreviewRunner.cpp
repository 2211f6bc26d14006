#include "host/PreviewRunner.h"

#include "data/DataQuery.h"
#include "resources/QBResource.h"

#include <QApplication>
#include <QProgressDialog>

#include <chrono>
#include <future>

bool OpenCancellable(TDataQuery& query, const std::function<bool()>& keepWaiting) {
    std::future<void> opening = std::async(std::launch::async, [&query] { query.Open(); });
    // Some drivers (SQLite's) make SQLCancel wait for the statement instead of stopping it, so
    // the cancel is sent from its own thread and the window stays responsive either way.
    std::future<void> cancelling;
    while (opening.wait_for(std::chrono::milliseconds(50)) != std::future_status::ready) {
        QApplication::processEvents();
        if (!cancelling.valid() && !keepWaiting())
            cancelling = std::async(std::launch::async, [&query] { query.Cancel(); });
    }
    if (cancelling.valid()) {
        cancelling.wait();
        // The driver ends a cancelled statement with an error; a statement that finished before
        // the cancel arrived is closed again, since the user asked for nothing.
        try {
            opening.get();
        } catch (...) {
        }
        query.Close();
        return false;
    }
    opening.get();
    return true;
}

bool OpenWithProgress(TDataQuery& query, QWidget* parent) {
    QProgressDialog progress(QString::fromUtf8(QBResource::SPreviewRunning), QProgressDialog::tr("Cancel"), 0, 0,
                             parent);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    progress.setValue(0);
    return OpenCancellable(query, [&progress] { return !progress.wasCanceled(); });
}
