// The Microsoft SQL Server scanner: square brackets quote identifiers, the double quote is a
// string quote or (with AlterQuotes) an identifier quote, brackets are no delimiters, and the
// word lists are T-SQL's. The reader and the quoting rules are those of TQBSQLScanner.
#pragma once

#include "lexer/QBScanner.h"

class TQBMSSQLScanner : public TQBSQLScanner {
public:
    TQBMSSQLScanner() = default;

    bool IsDelimiter(char Ch) const override;
    bool IsStringQuote(char Ch) const override;
    char ClosingQuote(char Ch) const override;
    char IdentQuoteChar() const override;
    bool QuoteAliases() const override;
    std::string GetKeywordsText() const override;
    std::string GetFunctionsText() const override;
    std::string GetArithmeticsText() const override;
    std::string GetComparisonsText() const override;
    std::string GetCriterionOperatorsText() const override;
    std::string UnquoteName(const std::string& S) const override;
    void InitBooleanTexts() override;
    bool NeedsQuotes(const std::string& Name) const override;
    bool IsIdentQuote(char Ch) const override;

    // Whether the double quote quotes identifiers (true) or strings (false, the default).
    bool GetAlterQuotes() const { return FAlterQuotes; }
    void SetAlterQuotes(bool Value);
    // Copy of the parser's identifier case sensitivity; the scanner itself does not use it.
    bool GetCaseSensitive() const { return FCaseSensitive; }
    void SetCaseSensitive(bool Value) override { FCaseSensitive = Value; }

protected:
    bool FAlterQuotes = false;
    bool FCaseSensitive = false;
};
