// The stored-procedure command: given a procedure's or table function's (quoted) name, it asks
// the server's catalog for the parameter list.
#pragma once

#include "data/DataConnection.h"
#include "data/DataParameters.h"

#include <string>

// A procedure name split into its parts, unquoted.
struct TProcedureName {
    std::string Catalog;
    std::string Schema;
    std::string Name;
};

// Splits "[db].[owner].[name]", "owner.name", "\"name\"" ... into unquoted parts; brackets and
// double quotes quote a part, "]]" and "\"\"" stand for the quote inside.
TProcedureName SplitProcedureName(const std::string& quotedName);

// Escapes the search-pattern characters "_" and "%" (and the escape itself) with `escape`;
// returns the text unchanged when the driver has no escape.
std::string EscapeSearchPattern(const std::string& text, const std::string& escape);

// The arguments of the catalog search for a procedure's parameters: the catalog as is, schema and
// name unquoted with their pattern characters escaped (empty schema: any schema).
TProcedureName ProcedureSearchArguments(const std::string& quotedName, const std::string& escape);

// True when a catalog row names exactly the procedure asked for (letter case ignored; a
// ";1" group number after the name is allowed; any schema when none was asked for).
bool IsSameProcedure(const std::string& rowSchema, const std::string& rowName, const TProcedureName& wanted);

class TDataStoredProc final : public TDataCommand {
public:
    explicit TDataStoredProc(TDataConnection* connection = nullptr) { SetConnection(connection); }
    ~TDataStoredProc() override = default;

    const std::string& GetProcedureName() const { return FProcedureName; }
    void SetProcedureName(const std::string& quotedName) { FProcedureName = quotedName; }

    TDataParameters& Parameters() { return FParameters; }
    const TDataParameters& Parameters() const { return FParameters; }

    // Replaces the parameter list by the one the server's catalog gives for exactly this
    // procedure, in order, each with name, data type code and direction. Result columns are not
    // parameters. Throws EDataError on failure.
    void RefreshParameters();

protected:
    void CloseCommand() noexcept override {}

private:
    std::string FProcedureName;
    TDataParameters FParameters;
};
