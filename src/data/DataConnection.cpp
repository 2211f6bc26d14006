// Connecting through the ODBC driver manager.
#include "data/DataConnection.h"

#include "data/ConnectionString.h"
#include "data/DataError.h"
#include "resources/QBResource.h"

#include <algorithm>
#include <filesystem>

TDataConnection::~TDataConnection() {
    // Commands outliving the connection must not reach back into it.
    const auto commands = FCommands;
    for (auto* command : commands) {
        command->CloseCommand();
        command->FConnection = nullptr;
    }
    FCommands.clear();
    FDbc.Reset();
    FEnv.Reset();
}

std::string TDataConnection::GetConnectionString() const { return StripPasswordText(FConnectionString); }

void TDataConnection::SetConnectionString(const std::string& connectionString) {
    Close();
    FConnectionString = connectionString;
}

bool TDataConnection::IsSQLite() const {
    std::string lower = FDbmsName;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
    return lower.find("sqlite") != std::string::npos;
}

void TDataConnection::Open() {
    if (Connected()) return;
    const std::string shown = GetConnectionString();
    TOdbcTarget target = TranslateConnectionString(FConnectionString, InstalledDriverNames());
    if (!target.DatabaseFile.empty()) {
        std::error_code error;
        if (!std::filesystem::is_regular_file(target.DatabaseFile, error))
            throw EDataError(FormatMessage(QBResource::SDataFileMissing, target.DatabaseFile));
    }
    if (FLoginPrompt && OnLogin) {
        const auto items = SplitConnectionString(target.ConnectionString);
        std::string user;
        bool hasPassword = false, trusted = false;
        for (const auto& item : items) {
            std::string key = item.Key;
            std::transform(key.begin(), key.end(), key.begin(),
                           [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; });
            if (key == "UID") user = item.Value;
            if (key == "PWD") hasPassword = true;
            if (key == "TRUSTED_CONNECTION") trusted = true;
        }
        if (!hasPassword && !trusted && target.DatabaseFile.empty()) {
            std::string password;
            if (!OnLogin(user, password)) throw EDataError(QBResource::SDataLoginCancelled);
            target.ConnectionString += ";PWD=" + OdbcQuoteValue(password) + ";";
        }
    }

    SQLHENV rawEnv = SQL_NULL_HANDLE;
    if (!OdbcSucceeded(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &rawEnv)))
        throw EDataError(QBResource::SDataNoDriverManager);
    TOdbcEnv env(rawEnv);
    OdbcCheck(SQLSetEnvAttr(env.Get(), SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0),
              SQL_HANDLE_ENV, env.Get(), "SQLSetEnvAttr");
    SQLHDBC rawDbc = SQL_NULL_HANDLE;
    OdbcCheck(SQLAllocHandle(SQL_HANDLE_DBC, env.Get(), &rawDbc), SQL_HANDLE_ENV, env.Get(), "SQLAllocHandle");
    TOdbcDbc dbc(rawDbc);
    const auto timeout = static_cast<SQLULEN>(target.LoginTimeout);
    SQLSetConnectAttr(dbc.Get(), SQL_ATTR_LOGIN_TIMEOUT, reinterpret_cast<SQLPOINTER>(timeout), 0);
    SQLSetConnectAttr(dbc.Get(), SQL_ATTR_CONNECTION_TIMEOUT, reinterpret_cast<SQLPOINTER>(timeout), 0);

    std::string odbc = target.ConnectionString;
    SQLSMALLINT outLength = 0;
    const SQLRETURN rc = SQLDriverConnect(dbc.Get(), nullptr, reinterpret_cast<SQLCHAR*>(odbc.data()),
                                          static_cast<SQLSMALLINT>(odbc.size()), nullptr, 0, &outLength,
                                          SQL_DRIVER_NOPROMPT);
    // Wipe the copy that held the password before anything else can fail.
    std::fill(odbc.begin(), odbc.end(), '\0');
    std::fill(target.ConnectionString.begin(), target.ConnectionString.end(), '\0');
    if (!OdbcSucceeded(rc)) {
        std::string state;
        int native = 0;
        std::string diagnostics = OdbcDiagnostics(SQL_HANDLE_DBC, dbc.Get(), &state, &native);
        throw EDataError(FormatMessage(QBResource::SDataConnectFailed, shown) + ": " + diagnostics, state,
                         native);
    }

    SQLCHAR dbms[256] = {};
    SQLSMALLINT dbmsLength = 0;
    if (OdbcSucceeded(SQLGetInfo(dbc.Get(), SQL_DBMS_NAME, dbms, sizeof dbms, &dbmsLength)))
        FDbmsName = reinterpret_cast<const char*>(dbms);
    FEnv = std::move(env);
    FDbc = std::move(dbc);
    if (OnAfterConnect) OnAfterConnect(*this);
}

void TDataConnection::Close() {
    if (!Connected()) return;
    for (auto* command : FCommands) command->CloseCommand();
    SQLDisconnect(FDbc.Get());
    FDbc.Reset();
    FEnv.Reset();
    FDbmsName.clear();
    if (OnAfterDisconnect) OnAfterDisconnect(*this);
}

long long TDataConnection::Execute(const std::string& sql) {
    SQLHSTMT rawStmt = SQL_NULL_HANDLE;
    OdbcCheck(SQLAllocHandle(SQL_HANDLE_STMT, Handle(), &rawStmt), SQL_HANDLE_DBC, Handle(), "SQLAllocHandle");
    TOdbcStmt stmt(rawStmt);
    std::string text = sql;
    const SQLRETURN rc = SQLExecDirect(stmt.Get(), reinterpret_cast<SQLCHAR*>(text.data()),
                                       static_cast<SQLINTEGER>(text.size()));
    if (rc == SQL_NO_DATA) return 0;  // a searched UPDATE or DELETE that matched nothing
    OdbcCheck(rc, SQL_HANDLE_STMT, stmt.Get(), "SQLExecDirect");
    SQLLEN rows = -1;
    SQLRowCount(stmt.Get(), &rows);
    return static_cast<long long>(rows);
}

SQLHDBC TDataConnection::Handle() const {
    if (!Connected()) throw EDataError(QBResource::SDataNotConnected);
    return FDbc.Get();
}

void TDataConnection::Attach(TDataCommand* command) {
    if (std::find(FCommands.begin(), FCommands.end(), command) == FCommands.end())
        FCommands.push_back(command);
}

void TDataConnection::Detach(TDataCommand* command) {
    FCommands.erase(std::remove(FCommands.begin(), FCommands.end(), command), FCommands.end());
}

std::string GetConnectionValue(const TDataConnection& connection, int which) {
    return GetConnectionValue(connection.GetConnectionString(), which);
}

TDataCommand::~TDataCommand() {
    if (FConnection) FConnection->Detach(this);
}

void TDataCommand::SetConnection(TDataConnection* connection) {
    if (connection == FConnection) return;
    CloseCommand();
    if (FConnection) FConnection->Detach(this);
    FConnection = connection;
    if (FConnection) FConnection->Attach(this);
}

TDataConnection& TDataCommand::Connection() const {
    if (!FConnection) throw EDataError(QBResource::SDataNoConnection);
    if (!FConnection->Connected()) throw EDataError(QBResource::SDataNotConnected);
    return *FConnection;
}
