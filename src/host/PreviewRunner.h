// Runs the preview query without freezing the window: the statement executes on a worker
// thread while the caller keeps processing events and may cancel it.
#pragma once

#include <functional>

class QWidget;
class TDataQuery;

// Opens `query` on a worker thread. `keepWaiting` is asked about every 50 ms while the
// statement runs (events are processed in between) and returns false to cancel it. Returns
// true when the query is open, false when it was cancelled; a failure of Open is rethrown.
// The query must not be touched by anyone else until this returns.
bool OpenCancellable(TDataQuery& query, const std::function<bool()>& keepWaiting);

// OpenCancellable with a progress box over `parent` (shown when the statement takes longer
// than half a second) whose Cancel button stops it.
bool OpenWithProgress(TDataQuery& query, QWidget* parent);
