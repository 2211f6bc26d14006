// Connection strings: the key lookup the host uses for its caption and the connection dialog,
// password removal for anything shown, and the translation of the accepted forms to ODBC:
//   "Provider=SQLOLEDB...;Data Source=HOST;Initial Catalog=DB;User ID=U;Password=P"
//       -> the SQL Server ODBC driver (Server, Database, UID, PWD, Trusted_Connection);
//   "Provider=SQLite;Data Source=FILE" -> the SQLite ODBC driver on an existing file;
//   "Driver=..." / "DSN=..." -> passed to ODBC unchanged.
#pragma once

#include <string>
#include <vector>

// Key indices of GetConnectionValue.
inline constexpr int ConnectionDataSource = 0;     // "Data Source="
inline constexpr int ConnectionInitialCatalog = 1; // "Initial Catalog="
inline constexpr int ConnectionUserID = 2;         // "User ID="

// Returns the text after the first case-sensitive occurrence of the key chosen by `which`
// up to the next ";" or the end (a braced value whole, without its braces); empty when the
// key is absent or `which` is out of range.
std::string GetConnectionValue(const std::string& connectionString, int which);

// One "key=value" item of a connection string, key trimmed, value unquoted.
struct TConnectionItem {
    std::string Key;
    std::string Value;
};

// Splits a connection string into its items. Values may be quoted with "..." or '...'
// (the quote doubled inside) or braced {...} ("}}" inside); ";" inside them does not split.
std::vector<TConnectionItem> SplitConnectionString(const std::string& connectionString);

// Returns the text with every "Password=..." / "PWD=..." item (any letter case, quoted or braced
// values included) and its trailing ";" removed. Used on connection strings and on driver
// messages before they are shown.
std::string StripPasswordText(const std::string& text);

// Returns value written for an ODBC connection string: braced when it holds characters that
// would end or confuse the item.
std::string OdbcQuoteValue(const std::string& value);

// The ODBC drivers the translation names.
struct TOdbcDriverNames {
    std::string SqlServer = "FreeTDS";
    std::string SQLite = "SQLite3";
};

// What the connection hands to the driver manager.
struct TOdbcTarget {
    std::string ConnectionString;  // for SQLDriverConnect; may hold the password
    std::string DatabaseFile;      // SQLite only: the file that must exist
    int LoginTimeout = 5;          // seconds
};

// Translates a connection string of the accepted forms. Throws EDataError for an empty string,
// an unknown provider or a SQLite provider without a data source.
TOdbcTarget TranslateConnectionString(const std::string& connectionString,
                                      const TOdbcDriverNames& drivers);

// The driver names on this machine: KORVEL_MSSQL_ODBC_DRIVER (default "FreeTDS") and "SQLite3";
// a name the driver manager does not know is replaced by the driver library's path when the
// library is found in the usual ODBC directories, so a fresh machine works without odbcinst.ini.
const TOdbcDriverNames& InstalledDriverNames();
