// Owning wrappers for ODBC handles and the one place that turns an ODBC failure into an
// exception with the driver's diagnostics (SQLSTATE, native error, message text).
#pragma once

#include <sql.h>
#include <sqlext.h>

#include <string>
#include <utility>

// Frees one ODBC handle of a fixed type when it goes out of scope. Move-only.
template <SQLSMALLINT HandleType>
class TOdbcHandle {
public:
    TOdbcHandle() = default;
    explicit TOdbcHandle(SQLHANDLE handle) : FHandle(handle) {}
    ~TOdbcHandle() { Reset(); }
    TOdbcHandle(const TOdbcHandle&) = delete;
    TOdbcHandle& operator=(const TOdbcHandle&) = delete;
    TOdbcHandle(TOdbcHandle&& other) noexcept : FHandle(std::exchange(other.FHandle, nullptr)) {}
    TOdbcHandle& operator=(TOdbcHandle&& other) noexcept {
        if (this != &other) {
            Reset();
            FHandle = std::exchange(other.FHandle, nullptr);
        }
        return *this;
    }

    SQLHANDLE Get() const { return FHandle; }
    explicit operator bool() const { return FHandle != nullptr; }
    void Reset() {
        if (FHandle != nullptr) SQLFreeHandle(HandleType, std::exchange(FHandle, nullptr));
    }

private:
    SQLHANDLE FHandle = nullptr;
};

using TOdbcEnv = TOdbcHandle<SQL_HANDLE_ENV>;
using TOdbcDbc = TOdbcHandle<SQL_HANDLE_DBC>;
using TOdbcStmt = TOdbcHandle<SQL_HANDLE_STMT>;

// Collects every diagnostic record of the handle as "[SQLSTATE] text (native N)" lines
// joined by "; ". Returns the first SQLSTATE and native error through the out parameters.
std::string OdbcDiagnostics(SQLSMALLINT handleType, SQLHANDLE handle, std::string* sqlState = nullptr,
                            int* nativeError = nullptr);

// Throws EDataError for a failed return code (anything but SQL_SUCCESS, SQL_SUCCESS_WITH_INFO
// and SQL_NO_DATA); `what` names the operation and leads the message.
void OdbcCheck(SQLRETURN rc, SQLSMALLINT handleType, SQLHANDLE handle, const char* what);

// True for SQL_SUCCESS and SQL_SUCCESS_WITH_INFO.
inline bool OdbcSucceeded(SQLRETURN rc) { return rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO; }
