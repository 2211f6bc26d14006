// A query command: SQL text run on the bound connection, read as a data set. On a SQLite
// connection the object-list command "exec sp_help" is answered from the catalog with the
// columns the host reads (Name, Owner, Object_type).
#pragma once

#include "data/DataConnection.h"
#include "data/DataSet.h"

#include <string>

class TDataQuery final : public TDataSet, public TDataCommand {
public:
    explicit TDataQuery(TDataConnection* connection = nullptr) { SetConnection(connection); }
    ~TDataQuery() override;

    const std::string& GetSQL() const { return FSQL; }
    // Sets the SQL text; closes the data set first when it is open.
    void SetSQL(const std::string& text);

protected:
    std::vector<TDataFieldDef> DoOpen() override;
    bool DoFetch(TDataRow& row) override;
    void DoClose() noexcept override;
    void CloseCommand() noexcept override { Close(); }

private:
    std::string FSQL;
    TOdbcStmt FStmt;
    int FColumns = 0;
    std::vector<char> FBuffer;
};

// The text SQLite runs for an object-list command ("exec sp_help" and its spellings), or the
// text unchanged when it is no such command.
std::string SQLiteCommandText(const std::string& text);
