// Diagnostics of failed ODBC calls, turned into EDataError.
#include "data/OdbcHandle.h"

#include "data/ConnectionString.h"
#include "data/DataError.h"

std::string OdbcDiagnostics(SQLSMALLINT handleType, SQLHANDLE handle, std::string* sqlState,
                            int* nativeError) {
    std::string text;
    if (handle == SQL_NULL_HANDLE) return text;
    for (SQLSMALLINT record = 1;; ++record) {
        SQLCHAR state[6] = {};
        SQLINTEGER native = 0;
        SQLCHAR message[SQL_MAX_MESSAGE_LENGTH + 1] = {};
        SQLSMALLINT length = 0;
        const SQLRETURN rc = SQLGetDiagRec(handleType, handle, record, state, &native, message,
                                           sizeof message, &length);
        if (!OdbcSucceeded(rc)) break;
        if (record == 1) {
            if (sqlState) *sqlState = reinterpret_cast<const char*>(state);
            if (nativeError) *nativeError = native;
        }
        std::string line = "[";
        line += reinterpret_cast<const char*>(state);
        line += "] ";
        line += reinterpret_cast<const char*>(message);
        if (native != 0) line += " (native " + std::to_string(native) + ")";
        // Some drivers repeat a record; say it once.
        if (text.find(line) != std::string::npos) continue;
        if (!text.empty()) text += "; ";
        text += line;
    }
    // A driver may echo the connection string it was given; never let a password through.
    return StripPasswordText(text);
}

void OdbcCheck(SQLRETURN rc, SQLSMALLINT handleType, SQLHANDLE handle, const char* what) {
    if (OdbcSucceeded(rc) || rc == SQL_NO_DATA) return;
    std::string state;
    int native = 0;
    std::string diagnostics = OdbcDiagnostics(handleType, handle, &state, &native);
    if (diagnostics.empty())
        diagnostics = rc == SQL_INVALID_HANDLE ? "invalid handle" : "no diagnostics from the driver";
    throw EDataError(std::string(what) + ": " + diagnostics, state, native);
}
