// Table functions (and stored procedures) as table sources, independent of the host window:
// how a function's argument list is discovered, how its columns are read, and how its box is
// added to the control. The host supplies a catalog over its database connection (or a test
// one held in memory) and calls AddTableFunction from its tree and GetTableSourceFields from
// its OnGetTableFields handler.
#pragma once

#include <functional>
#include <string>

#include "toolkit/Geometry.h"

class TCustomQueryBuilder;
class TDataConnection;
class TDataParameters;
class TDataQuery;
class TDataSet;
class TQBTable;

// Where the columns and parameters of table sources come from.
struct TQBSourceCatalog {
    // Fills List with the input and input/output parameters of the procedure or function
    // QuotedName, in order (List is emptied first).
    std::function<void(const std::string& quotedName, TDataParameters& list)> ReadParameters;
    // Opens SQL and returns the open data set; it stays the catalog's.
    std::function<TDataSet*(const std::string& sql)> OpenQuery;
};

// A catalog over Connection: parameters through a stored-procedure command refreshed from the
// server, columns through Query (the host's query command, reopened for each request).
TQBSourceCatalog ConnectionCatalog(TDataConnection& connection, TDataQuery& query);

// "(NULL, NULL)" for two parameters, "()" for none, empty without a list.
std::string ArgumentList(const TDataParameters* params);
// The statement that reads the columns of QueryName: "SELECT * FROM %s WHERE 0 = 1".
std::string ColumnsQuery(const std::string& queryName);

// Adds the table function QueryName (quoted, possibly owner-qualified) to Control's diagram
// under ObjectName: its parameters are discovered, its columns read with an argument list of
// NULLs, and a procedure box made with automatic placement, or at Drop when both coordinates
// are non-zero. Returns the box, or null when the control refused it.
TQBTable* AddTableFunction(TCustomQueryBuilder& control, const TQBSourceCatalog& catalog,
                           const std::string& queryName, const std::string& objectName, TPoint drop = {0, 0});

// The answer to OnGetTableFields for NameOfTable (as parsed): the columns of the quoted name,
// and for a procedure source of Control's model its parameters, read into Params (which the
// caller keeps alive until the control has copied them) and returned through ParamsOut.
void GetTableSourceFields(const TCustomQueryBuilder& control, const TQBSourceCatalog& catalog,
                          TDataParameters& params, const std::string& nameOfTable, TDataSet*& dataSet,
                          TDataParameters*& paramsOut);
