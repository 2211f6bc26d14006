// korvel-sql objects | columns OBJECT | params PROC | query [FILE|-], each with
// [--connect=CONNECTION-STRING]; without it they open the bundled sample database.
// Output is UTF-8, one line per item, fields separated by tabs; in values "\" is written "\\",
// tab "\t", CR "\r", LF "\n", and a null value "\N".
#include "CliCommand.h"

#include "data/DataQuery.h"
#include "data/DataStoredProc.h"
#include "data/FieldTypeNames.h"
#include "data/ObjectName.h"

#include <iostream>

namespace {

struct TDataOptions {
    std::string Connect = std::string("Provider=SQLite;Data Source=") + KORVEL_SAMPLE_DB;
    std::vector<std::string> Operands;
    long long Limit = -1;
};

// Reads the options and between minOperands and maxOperands (non-empty) operands; returns
// false (after a message) on bad usage.
bool ReadOptions(const std::vector<std::string>& args, const char* usage, TDataOptions& options,
                 std::size_t minOperands, std::size_t maxOperands) {
    for (const auto& argument : args) {
        std::string name, value;
        if (argument != "-" && SplitOption(argument, name, value)) {
            if (name == "connect" && !value.empty()) {
                options.Connect = value;
            } else if (name == "limit" && !value.empty() &&
                       value.find_first_not_of("0123456789") == std::string::npos) {
                options.Limit = std::stoll(value);
            } else {
                std::cerr << "unknown option: " << argument << "\nusage: " << usage << '\n';
                return false;
            }
        } else {
            options.Operands.push_back(argument);
        }
    }
    const std::size_t count = options.Operands.size();
    if (count < minOperands || count > maxOperands || (count == 1 && options.Operands[0].empty())) {
        std::cerr << "usage: " << usage << '\n';
        return false;
    }
    return true;
}

void Connect(TDataConnection& connection, const TDataOptions& options) {
    connection.SetConnectionString(options.Connect);
    connection.SetLoginPrompt(false);
    connection.Open();
}

int RunObjects(const std::vector<std::string>& args) {
    static const char* usage = "korvel-sql objects [--connect=CONNECTION-STRING]";
    TDataOptions options;
    if (!ReadOptions(args, usage, options, 0, 0)) return ExitUsage;
    TDataConnection connection;
    Connect(connection, options);
    TDataQuery query(&connection);
    query.SetSQL("exec sp_help");
    query.Open();
    for (; !query.Eof(); query.Next()) {
        for (int i = 0; i < 3 && i < query.FieldCount(); ++i)
            std::cout << (i ? "\t" : "") << EscapeText(query.Fields(i).AsString());
        std::cout << '\n';
    }
    return ExitOk;
}

int RunColumns(const std::vector<std::string>& args) {
    static const char* usage = "korvel-sql columns OBJECT [--connect=CONNECTION-STRING]";
    TDataOptions options;
    if (!ReadOptions(args, usage, options, 1, 1)) return ExitUsage;
    TDataConnection connection;
    Connect(connection, options);
    TDataQuery query(&connection);
    query.SetSQL("SELECT * FROM " + QuoteObjectName(options.Operands[0], NameQuoteFor(connection, false)) +
                 " WHERE 0 = 1");
    query.Open();
    for (int i = 0; i < query.FieldCount(); ++i) {
        const auto& field = query.Fields(i);
        std::cout << EscapeText(field.FieldName()) << '\t' << static_cast<int>(field.DataType()) << '\t'
                  << FieldTypeIdentifier(field.DataType()) << '\t' << EscapeText(field.TypeName()) << '\n';
    }
    return ExitOk;
}

int RunParams(const std::vector<std::string>& args) {
    static const char* usage = "korvel-sql params PROC [--connect=CONNECTION-STRING]";
    TDataOptions options;
    if (!ReadOptions(args, usage, options, 1, 1)) return ExitUsage;
    TDataConnection connection;
    Connect(connection, options);
    TDataStoredProc proc(&connection);
    proc.SetProcedureName(QuoteObjectName(options.Operands[0], NameQuoteFor(connection, false)));
    proc.RefreshParameters();
    const auto& parameters = proc.Parameters();
    for (int i = 0; i < parameters.Count(); ++i) {
        const auto& parameter = parameters[i];
        std::cout << EscapeText(parameter.Name) << '\t' << static_cast<int>(parameter.DataType) << '\t'
                  << FieldTypeIdentifier(parameter.DataType) << '\t' << ParamTypeIdentifier(parameter.Direction)
                  << '\n';
    }
    return ExitOk;
}

int RunQuery(const std::vector<std::string>& args) {
    static const char* usage = "korvel-sql query [--limit=N] [--connect=CONNECTION-STRING] [FILE|-]";
    TDataOptions options;
    if (!ReadOptions(args, usage, options, 0, 1)) return ExitUsage;
    const std::string text = ReadInputText(options.Operands.empty() ? std::string() : options.Operands[0]);
    TDataConnection connection;
    Connect(connection, options);
    TDataQuery query(&connection);
    query.SetSQL(text);
    query.Open();
    for (int i = 0; i < query.FieldCount(); ++i) std::cout << (i ? "\t" : "") << EscapeText(query.Fields(i).FieldName());
    std::cout << '\n';
    for (long long row = 0; !query.Eof() && row != options.Limit; query.Next(), ++row) {
        for (int i = 0; i < query.FieldCount(); ++i) {
            const auto& field = query.Fields(i);
            std::cout << (i ? "\t" : "") << (field.IsNull() ? std::string("\\N") : EscapeText(field.AsString()));
        }
        std::cout << '\n';
    }
    return ExitOk;
}

const CommandRegistration objectsCommand("objects", &RunObjects);
const CommandRegistration columnsCommand("columns", &RunColumns);
const CommandRegistration paramsCommand("params", &RunParams);
const CommandRegistration queryCommand("query", &RunQuery);

}  // namespace
