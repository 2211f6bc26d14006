// Lookups the selection grid and the control's select-list handlers share: a grid row's
// source split into qualifier and last name by the dialect's quotes, and the select-list
// field shown under an output name.
#pragma once

#include <string>

class TQBFieldDef;
class TQBSelectParser;
class TQBTableDef;
class TQBTableDefs;

// A source text split at its last point outside the dialect's identifier quotes.
struct TQBSourceParts {
    std::string Qualifier;  // empty when the source names no table
    std::string LastName;
};
TQBSourceParts SplitSource(const TQBSelectParser& parser, const std::string& source);

// The first output field (never a procedure input parameter) of Table whose alias is
// OutputName; a blank output name matches nothing.
TQBFieldDef* FindOutputField(const TQBTableDef& table, const std::string& outputName);
// The same over every table definition in model order.
TQBFieldDef* FindOutputFieldAnywhere(const TQBTableDefs& tables, const std::string& outputName);
