// Identifiers of the field data type codes and parameter directions ("ftWideString",
// "ptInput"), for listings and messages that name a type exactly.
#pragma once

#include "toolkit/FieldTypes.h"

// The identifier of a field data type code; "ftUnknown" for a code out of range.
const char* FieldTypeIdentifier(int dataType);
// The identifier of a parameter direction; "ptUnknown" for a value out of range.
const char* ParamTypeIdentifier(int direction);
