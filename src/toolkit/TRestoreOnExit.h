// Puts variables back as they were when it goes out of scope, also when an exception leaves
// the scope: `const TRestoreOnExit saved(FPosition, FToken); ...` undoes whatever the code
// in between does to them.
#pragma once

#include <tuple>
#include <utility>

template <class... T>
class TRestoreOnExit {
public:
    explicit TRestoreOnExit(T&... Variables) : FVariables(Variables...), FSaved(Variables...) {}
    ~TRestoreOnExit() { FVariables = std::move(FSaved); }
    TRestoreOnExit(const TRestoreOnExit&) = delete;
    TRestoreOnExit& operator=(const TRestoreOnExit&) = delete;

private:
    std::tuple<T&...> FVariables;
    std::tuple<T...> FSaved;
};
