// The mapping of ODBC SQL data types (as drivers report them for result columns and procedure
// parameters) to the field data type codes the diagram and the editors show.
#pragma once

#include "toolkit/FieldTypes.h"

#include <string>

// What a driver says about one column or parameter.
struct TOdbcColumnType {
    int SqlType = 0;          // SQL_INTEGER, SQL_WVARCHAR, ...
    std::string TypeName;     // the server's own name ("money", "nvarchar"), may be empty
    long long Size = 0;       // column size: characters, digits or bytes
    int Scale = 0;            // decimal digits
    bool AutoIncrement = false;
};

// Returns the field data type code for a driver's column type. Unknown types give ftUnknown.
TFieldType MapOdbcType(const TOdbcColumnType& type);
