// The connection to the database: a connection string (read back with its password removed),
// a login-prompt flag, connect and disconnect with a notification after each, and the commands
// bound to it, which it closes before it disconnects.
#pragma once

#include "data/OdbcHandle.h"

#include <functional>
#include <string>
#include <vector>

class TDataCommand;

class TDataConnection {
public:
    TDataConnection() = default;
    ~TDataConnection();
    TDataConnection(const TDataConnection&) = delete;
    TDataConnection& operator=(const TDataConnection&) = delete;

    // The connection string as given, without its password. The password is kept only for
    // connecting and is never returned, printed or written anywhere.
    std::string GetConnectionString() const;
    // Sets the connection string; disconnects first when connected.
    void SetConnectionString(const std::string& connectionString);

    bool GetLoginPrompt() const { return FLoginPrompt; }
    void SetLoginPrompt(bool value) { FLoginPrompt = value; }

    // Connects (a no-op when connected) and then fires OnAfterConnect. Throws EDataError with the
    // driver's message (connection string shown without password) when that fails.
    void Open();
    // Closes every bound command, disconnects and fires OnAfterDisconnect; a no-op when closed.
    void Close();
    bool Connected() const { return static_cast<bool>(FDbc); }

    // Runs a statement that returns no rows (DDL, INSERT, ...); returns the rows it affected, or
    // -1 when the driver does not say. Throws EDataError with the driver's message.
    long long Execute(const std::string& sql);

    // The database product as the driver names it ("SQLite", "Microsoft SQL Server"); empty when closed.
    const std::string& DbmsName() const { return FDbmsName; }
    bool IsSQLite() const;

    std::function<void(TDataConnection&)> OnAfterConnect;
    std::function<void(TDataConnection&)> OnAfterDisconnect;
    // Asked for the password when the login prompt is on and the string holds none; returns false
    // to cancel. Without a handler the connection goes ahead without asking.
    std::function<bool(const std::string& userName, std::string& password)> OnLogin;

    // For the commands: the open connection handle; throws EDataError when not connected.
    SQLHDBC Handle() const;

private:
    friend class TDataCommand;
    void Attach(TDataCommand* command);
    void Detach(TDataCommand* command);

    std::string FConnectionString;
    bool FLoginPrompt = true;
    std::string FDbmsName;
    TOdbcEnv FEnv;
    TOdbcDbc FDbc;
    std::vector<TDataCommand*> FCommands;  // not owned: commands detach themselves
};

// The key lookup of the connection dialog on the connection's current string (see
// GetConnectionValue in ConnectionString.h).
std::string GetConnectionValue(const TDataConnection& connection, int which);

// Base of the commands bound to a connection: keeps the non-owning link in both directions so a
// command never outlives the handles it uses.
class TDataCommand {
public:
    TDataCommand() = default;
    virtual ~TDataCommand();
    TDataCommand(const TDataCommand&) = delete;
    TDataCommand& operator=(const TDataCommand&) = delete;

    TDataConnection* GetConnection() const { return FConnection; }
    // Binds the command to a connection (or none); closes the command first.
    void SetConnection(TDataConnection* connection);

protected:
    // Releases statement handles; called before the connection disconnects. Must not throw.
    virtual void CloseCommand() noexcept = 0;
    // The open connection; throws EDataError when there is none or it is not connected.
    TDataConnection& Connection() const;

private:
    friend class TDataConnection;
    TDataConnection* FConnection = nullptr;
};
