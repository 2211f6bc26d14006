// Connection-string parsing, password removal and translation to ODBC.
#include "data/ConnectionString.h"

#include "data/DataError.h"
#include "data/OdbcHandle.h"
#include "resources/QBResource.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <mutex>

namespace {

char LowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool SameText(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return LowerAscii(x) == LowerAscii(y);
           });
}

bool StartsWithText(const std::string& text, const std::string& prefix) {
    return text.size() >= prefix.size() && SameText(text.substr(0, prefix.size()), prefix);
}

bool ContainsText(const std::string& text, const std::string& part) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(), LowerAscii);
    return lower.find(part) != std::string::npos;
}

std::string Trim(const std::string& text) {
    const auto first = text.find_first_not_of(" \t\r\n");
    if (first == std::string::npos) return {};
    const auto last = text.find_last_not_of(" \t\r\n");
    return text.substr(first, last - first + 1);
}

bool IsKeyChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

// Reads a value starting at `pos` (just after "=" and blanks); returns the position after it.
// A quoted or braced value ends at its closing character, a plain one at ";" or the end.
std::size_t ReadValue(const std::string& text, std::size_t pos, std::string* value) {
    if (pos < text.size() && (text[pos] == '"' || text[pos] == '\'' || text[pos] == '{')) {
        const char open = text[pos];
        const char close = open == '{' ? '}' : open;
        std::string result;
        std::size_t i = pos + 1;
        while (i < text.size()) {
            if (text[i] == close) {
                if (i + 1 < text.size() && text[i + 1] == close) {
                    result += close;
                    i += 2;
                    continue;
                }
                ++i;
                break;
            }
            result += text[i++];
        }
        if (value) *value = result;
        return i;
    }
    const auto end = std::min(text.find(';', pos), text.size());
    if (value) *value = Trim(text.substr(pos, end - pos));
    return end;
}

}  // namespace

std::string GetConnectionValue(const std::string& connectionString, int which) {
    static const char* const keys[] = {"Data Source=", "Initial Catalog=", "User ID="};
    if (which < 0 || which > 2) return {};
    const std::string key = keys[which];
    const auto found = connectionString.find(key);
    if (found == std::string::npos) return {};
    const auto start = found + key.size();
    // A braced value (as the connection dialog writes names holding ";" or "=") is read whole.
    if (start < connectionString.size() && connectionString[start] == '{') {
        std::string value;
        ReadValue(connectionString, start, &value);
        return value;
    }
    const auto end = connectionString.find(';', start);
    return connectionString.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

std::vector<TConnectionItem> SplitConnectionString(const std::string& connectionString) {
    std::vector<TConnectionItem> items;
    std::size_t pos = 0;
    const std::string& s = connectionString;
    while (pos < s.size()) {
        const auto equals = s.find('=', pos);
        const auto semicolon = s.find(';', pos);
        if (equals == std::string::npos || (semicolon != std::string::npos && semicolon < equals)) {
            // An item without "=": keep its text as a key with no value.
            const auto end = semicolon == std::string::npos ? s.size() : semicolon;
            const std::string key = Trim(s.substr(pos, end - pos));
            if (!key.empty()) items.push_back({key, {}});
            pos = end + 1;
            continue;
        }
        TConnectionItem item;
        item.Key = Trim(s.substr(pos, equals - pos));
        auto valueStart = s.find_first_not_of(" \t", equals + 1);
        if (valueStart == std::string::npos) valueStart = s.size();
        pos = ReadValue(s, valueStart, &item.Value);
        const auto next = s.find(';', pos);
        pos = next == std::string::npos ? s.size() : next + 1;
        if (!item.Key.empty()) items.push_back(std::move(item));
    }
    return items;
}

std::string StripPasswordText(const std::string& text) {
    std::string result;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t keyLength = 0;
        if (pos == 0 || !IsKeyChar(text[pos - 1])) {
            for (const char* key : {"password", "pwd"}) {
                const std::string k = key;
                if (StartsWithText(text.substr(pos, k.size()), k) &&
                    (pos + k.size() == text.size() || !IsKeyChar(text[pos + k.size()]))) {
                    keyLength = k.size();
                    break;
                }
            }
        }
        if (keyLength != 0) {
            auto equals = text.find_first_not_of(" \t", pos + keyLength);
            if (equals != std::string::npos && text[equals] == '=') {
                auto valueStart = text.find_first_not_of(" \t", equals + 1);
                if (valueStart == std::string::npos) valueStart = text.size();
                auto end = ReadValue(text, valueStart, nullptr);
                end = std::min(text.find(';', end), text.size());
                if (end < text.size()) ++end;  // the item's ";" goes with it
                pos = end;
                continue;
            }
        }
        result += text[pos++];
    }
    // Removing the last item leaves the separator before it dangling.
    if (!result.empty() && result.back() == ';' && !text.empty() && text.back() != ';') result.pop_back();
    return result;
}

std::string OdbcQuoteValue(const std::string& value) {
    const bool needsBraces = value.find_first_of(";{}=") != std::string::npos ||
                             (!value.empty() && (value.front() == ' ' || value.back() == ' '));
    if (!needsBraces) return value;
    std::string result = "{";
    for (const char c : value) {
        result += c;
        if (c == '}') result += '}';
    }
    return result + "}";
}

TOdbcTarget TranslateConnectionString(const std::string& connectionString,
                                      const TOdbcDriverNames& drivers) {
    const std::string trimmed = Trim(connectionString);
    if (trimmed.empty()) throw EDataError(QBResource::SDataEmptyConnectionString);
    TOdbcTarget target;
    if (StartsWithText(trimmed, "Driver=") || StartsWithText(trimmed, "DSN=") ||
        StartsWithText(trimmed, "FILEDSN=")) {
        target.ConnectionString = connectionString;
        return target;
    }

    const auto items = SplitConnectionString(trimmed);
    std::string provider, dataSource, catalog, user, password, timeout;
    bool integrated = false;
    std::vector<TConnectionItem> passThrough;
    for (const auto& item : items) {
        if (SameText(item.Key, "Provider")) provider = item.Value;
        else if (SameText(item.Key, "Data Source") || SameText(item.Key, "Server"))
            dataSource = item.Value;
        else if (SameText(item.Key, "Initial Catalog") || SameText(item.Key, "Database"))
            catalog = item.Value;
        else if (SameText(item.Key, "User ID") || SameText(item.Key, "UID")) user = item.Value;
        else if (SameText(item.Key, "Password") || SameText(item.Key, "PWD")) password = item.Value;
        else if (SameText(item.Key, "Integrated Security") || SameText(item.Key, "Trusted_Connection"))
            integrated = SameText(item.Value, "SSPI") || SameText(item.Value, "true") ||
                         SameText(item.Value, "yes");
        else if (SameText(item.Key, "Connect Timeout") || SameText(item.Key, "Connection Timeout"))
            timeout = item.Value;
        else passThrough.push_back(item);
    }
    if (!timeout.empty()) {
        try {
            target.LoginTimeout = std::max(1, std::stoi(timeout));
        } catch (const std::exception&) {
            // An unreadable timeout keeps the default rather than failing the connection.
        }
    }

    if (SameText(provider, "SQLite")) {
        if (dataSource.empty()) throw EDataError(QBResource::SDataNoDatabaseFile);
        target.DatabaseFile = dataSource;
        // NoCreat: the driver must never create a missing file behind our back.
        // StepAPI: rows are stepped on demand instead of the whole result being read on open.
        target.ConnectionString = "Driver=" + OdbcQuoteValue(drivers.SQLite) +
                                  ";Database=" + OdbcQuoteValue(dataSource) + ";NoCreat=1;StepAPI=1;Timeout=5000";
        return target;
    }

    const bool sqlServer = StartsWithText(provider, "SQLOLEDB") || StartsWithText(provider, "SQLNCLI") ||
                           StartsWithText(provider, "MSOLEDBSQL");
    if (!sqlServer) {
        if (provider.empty() || StartsWithText(provider, "MSDASQL")) {
            // No provider (or the ODBC provider itself): the rest already speaks ODBC.
            std::string rest;
            for (const auto& item : items) {
                if (SameText(item.Key, "Provider")) continue;
                rest += item.Key + "=" + OdbcQuoteValue(item.Value) + ";";
            }
            target.ConnectionString = rest;
            return target;
        }
        throw EDataError(FormatMessage(QBResource::SDataUnknownProvider, provider));
    }

    const bool freeTds = ContainsText(drivers.SqlServer, "tds");
    std::string server = dataSource, port;
    if (freeTds) {
        // FreeTDS wants the port as its own key and knows no "(local)".
        const auto comma = server.find(',');
        if (comma != std::string::npos) {
            port = Trim(server.substr(comma + 1));
            server = Trim(server.substr(0, comma));
        }
        if (server == "(local)" || server == "." || server.empty()) server = "127.0.0.1";
    }
    std::string odbc = "Driver=" + OdbcQuoteValue(drivers.SqlServer) + ";Server=" + OdbcQuoteValue(server) + ";";
    if (!port.empty()) odbc += "Port=" + OdbcQuoteValue(port) + ";";
    if (!catalog.empty()) odbc += "Database=" + OdbcQuoteValue(catalog) + ";";
    if (integrated) {
        odbc += "Trusted_Connection=Yes;";
    } else {
        if (!user.empty()) odbc += "UID=" + OdbcQuoteValue(user) + ";";
        if (!password.empty()) odbc += "PWD=" + OdbcQuoteValue(password) + ";";
    }
    if (freeTds) odbc += "ClientCharset=UTF-8;";
    target.ConnectionString = odbc;
    return target;
}

namespace {

bool DriverInstalled(const std::string& name) {
    SQLHENV rawEnv = SQL_NULL_HANDLE;
    if (!OdbcSucceeded(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &rawEnv))) return false;
    TOdbcEnv env(rawEnv);
    SQLSetEnvAttr(env.Get(), SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    SQLCHAR description[512];
    SQLCHAR attributes[2048];
    SQLSMALLINT descriptionLength = 0, attributesLength = 0;
    SQLUSMALLINT direction = SQL_FETCH_FIRST;
    while (OdbcSucceeded(SQLDrivers(env.Get(), direction, description, sizeof description,
                                    &descriptionLength, attributes, sizeof attributes,
                                    &attributesLength))) {
        direction = SQL_FETCH_NEXT;
        if (SameText(reinterpret_cast<const char*>(description), name)) return true;
    }
    return false;
}

// Looks for the driver library in the directories Debian-like systems install ODBC drivers to.
std::string FindDriverLibrary(const std::string& library) {
    namespace fs = std::filesystem;
    std::vector<fs::path> directories = {"/usr/lib/odbc", "/usr/local/lib/odbc", "/usr/lib64",
                                         "/usr/local/lib"};
    std::error_code error;
    for (const auto& entry : fs::directory_iterator("/usr/lib", error))
        if (entry.is_directory(error) && fs::exists(entry.path() / "odbc", error))
            directories.push_back(entry.path() / "odbc");
    for (const auto& directory : directories)
        if (fs::exists(directory / library, error)) return (directory / library).string();
    return {};
}

std::string ResolveDriver(const std::string& name, const char* library) {
    if (name.find('/') != std::string::npos || *library == '\0' || DriverInstalled(name)) return name;
    const std::string path = FindDriverLibrary(library);
    return path.empty() ? name : path;
}

}  // namespace

const TOdbcDriverNames& InstalledDriverNames() {
    static TOdbcDriverNames names;
    static std::once_flag once;
    std::call_once(once, [] {
        const char* sqlServer = std::getenv("KORVEL_MSSQL_ODBC_DRIVER");
        const std::string requested = sqlServer && *sqlServer ? sqlServer : "FreeTDS";
        names.SqlServer = ResolveDriver(requested, ContainsText(requested, "tds") ? "libtdsodbc.so" : "");
        names.SQLite = ResolveDriver("SQLite3", "libsqlite3odbc.so");
    });
    return names;
}
