// Shared by the GUI benchmarks: the process's one QApplication, and a query-builder control on
// a private copy of the sample database.
#pragma once

#include <QApplication>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "control/QBMSWindow.h"
#include "data/DataConnection.h"
#include "data/DataQuery.h"

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

// A control of Width x Height on a private copy (CopyName in the temporary folder) of the sample
// database; the host answers each table with a query of its own, kept in Sets.
struct TBenchBuilder {
    std::filesystem::path Copy;
    TDataConnection Connection;
    std::vector<std::unique_ptr<TDataQuery>> Sets;
    std::unique_ptr<TMSSQLQueryBuilder> Control;

    TBenchBuilder(const char* copyName, int width, int height) {
        BenchApp();
        Copy = std::filesystem::temp_directory_path() / copyName;
        std::filesystem::copy_file(std::string(KORVEL_BINARY_DIR) + "/sample/korvel-sample.db", Copy,
                                   std::filesystem::copy_options::overwrite_existing);
        Connection.SetConnectionString("Provider=SQLite;Data Source=" + Copy.string());
        Connection.SetLoginPrompt(false);
        Connection.Open();
        Control.reset(CreateQueryBuilder<TMSSQLQueryBuilder>());
        Control->resize(width, height);
        Control->OnGetTableFields = [this](const std::string& name, TDataSet*& dataSet, TDataParameters*&) {
            auto query = std::make_unique<TDataQuery>(&Connection);
            query->SetSQL("SELECT * FROM [" + name + "] WHERE 0 = 1");
            query->Open();
            dataSet = query.get();
            Sets.push_back(std::move(query));
        };
    }
    ~TBenchBuilder() {
        Control.reset();
        Sets.clear();
        Connection.Close();
        std::filesystem::remove(Copy);
    }
    TBenchBuilder(const TBenchBuilder&) = delete;
    TBenchBuilder& operator=(const TBenchBuilder&) = delete;
};
