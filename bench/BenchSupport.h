// Shared by the GUI benchmarks: the process's one QApplication.
#pragma once

#include <QApplication>

// Made on first use, offscreen unless a platform is set. Never freed: a QApplication destroyed
// by the exit handlers outlives Qt's own globals.
inline QApplication& BenchApp() {
    static int argc = 1;
    static char name[] = "korvel-bench";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static QApplication* app = new QApplication(argc, argv);
    return *app;
}
