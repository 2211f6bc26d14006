// A query command: SQL text run on the bound connection, read as a data set. On a SQLite
// connection the object-list command "exec sp_help" is answered from the catalog with the
// columns the host reads (Name, Owner, Object_type).
#pragma once

#include "data/DataConnection.h"
#include "data/DataSet.h"

#include <mutex>
#include <string>
#include <vector>

class TDataQuery final : public TDataSet, public TDataCommand {
public:
    explicit TDataQuery(TDataConnection* connection = nullptr) { SetConnection(connection); }
    ~TDataQuery() override;

    const std::string& GetSQL() const { return FSQL; }
    // Sets the SQL text; closes the data set first when it is open.
    void SetSQL(const std::string& text);

    // Asks the driver to stop the statement that Open is executing on another thread; Open then
    // fails with the driver's message. Safe from any thread at any time; does nothing when no
    // statement is executing.
    void Cancel();

protected:
    std::vector<TDataFieldDef> DoOpen() override;
    bool DoFetch(TDataValues& row) override;
    void DoClose() noexcept override;
    void CloseCommand() noexcept override { Close(); }

private:
    // Marks a statement handle as executing for Cancel while it is in scope.
    class TExecuting;

    std::string FSQL;
    TOdbcStmt FStmt;
    std::mutex FExecutingLock;
    SQLHSTMT FExecuting = SQL_NULL_HANDLE;  // guarded by FExecutingLock
    // Reads column `column` (1-based) of the current row as UTF-8 text.
    void ReadChars(SQLUSMALLINT column, TDataValue& value);
    void ReadWideChars(SQLUSMALLINT column, TDataValue& value);

    int FColumns = 0;
    std::vector<bool> FWide;  // per column: read as UTF-16 and convert, whatever the locale
    std::vector<char> FBuffer;
    std::vector<SQLWCHAR> FWideBuffer;
    std::u16string FWideText;
};

// UTF-16 (as drivers return wide text) to UTF-8; lone surrogates become U+FFFD.
std::string Utf16ToUtf8(const std::u16string& text);

// The text SQLite runs for an object-list command ("exec sp_help" and its spellings), or the
// text unchanged when it is no such command.
std::string SQLiteCommandText(const std::string& text);
