// How a call of the builder runs: whether boxes are answered automatically and the window
// closed at once, which page is shown first, and whether the window is rendered to a picture.
// ShowQueryBuilder reads them from the environment; the korvel-qb launcher sets them from its
// command line through RunQueryBuilder.
#pragma once

#include <string>

enum class TQBAutoClose { None, Keep, Discard };
// The pages a run may start on, as indexed in the main window's page control.
enum TQBStartPage : int { qspBuilder = 0, qspSQL = 1 };

struct TQBRunOptions {
    TQBAutoClose AutoClose = TQBAutoClose::None;
    // The page shown first (a statement that does not load always opens on the SQL page).
    TQBStartPage StartPage = qspBuilder;
    // Runs the preview once the window is shown (the result page then shows it).
    bool Execute = false;
    // When set, the loaded window is rendered to this PNG file and closed as if the user
    // closed it without changes (implies automatic answers).
    std::string ScreenshotFile;

    // KORVEL_QB_AUTOCLOSE=keep|discard; any other value leaves the run interactive.
    static TQBRunOptions FromEnvironment();
};

// ShowQueryBuilder with explicit options (the exported function passes FromEnvironment()).
int RunQueryBuilder(const TQBRunOptions& options, void* appWindow, const char* connectionString, const char* sql,
                    char** result);
