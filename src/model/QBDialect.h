// What the query model asks of the dialect it writes in: the quoting rules (the scanner),
// the letter case of keywords and function names, the rule by which two names are equal,
// the aggregate functions, the comparison operators and a few switches of the written form.
// The parser implements it; the model never needs to know more of the parser than this.
#pragma once

#include "model/QBScriptFormat.h"

#include <string>

class TQBSQLScanner;
class TQBOperators;

class TQBDialect {
public:
    // The scanner whose quoting rules names are written by; null before the parser is set up.
    virtual TQBSQLScanner* GetScanner() const = 0;
    // The letter case of keywords and function names, and the bracketing of conditions.
    virtual const TQBScriptFormat& GetScriptFormat() const = 0;
    // Whether names are compared with letter case.
    virtual bool GetCaseSensitiveIdentifiers() const = 0;
    // True when Name is one of the dialect's aggregate functions (ignoring case).
    virtual bool IsAggregate(const std::string& Name) const = 0;
    // The comparison operators criteria are written by; null before the parser is set up.
    virtual TQBOperators* GetOperators() const = 0;
    // Text written between a table and its alias.
    virtual std::string TableAliasSeparator() const = 0;
    // Whether a procedure without input parameters is written with "()".
    virtual bool WriteEmptyParams() const = 0;
    // Whether generated aliases start from a lower-cased base.
    virtual bool LowerCaseAliases() const = 0;

    // S in the keyword letter case of the script format.
    std::string FormatKeyword(const std::string& S) const;
    // Name in the function-name letter case of the script format.
    std::string FormatFunctionName(const std::string& Name) const;
    // Whether aliases are written through the scanner's QuoteName.
    bool QuotesAliases() const;

protected:
    // Never deleted through this interface: the parser owns itself.
    ~TQBDialect() = default;
};
