// The letter-case and alias services every dialect shares, built on its values.
#include "model/QBDialect.h"

#include "lexer/QBScanner.h"

std::string TQBDialect::FormatKeyword(const std::string& S) const {
    return ApplyFormatMode(S, GetScriptFormat().KeywordsFormat);
}

std::string TQBDialect::FormatFunctionName(const std::string& Name) const {
    return ApplyFormatMode(Name, GetScriptFormat().FunctionsFormat);
}

bool TQBDialect::QuotesAliases() const {
    const TQBSQLScanner* scanner = GetScanner();
    return scanner && scanner->QuoteAliases();
}
