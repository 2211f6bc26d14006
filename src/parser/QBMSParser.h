// The Microsoft SQL Server flavour of the SELECT parser: the T-SQL scanner, aggregates and
// operators, TOP n [PERCENT] [WITH TIES] and ALL after SELECT, join conditions that name only
// one table, and string literals kept with their quotes.
#pragma once

#include "parser/QBParser.h"

#include <memory>
#include <string>

// The TOP settings of one statement.
class TQBMSSQLOptions {
public:
    // Parser supplies FormatKeyword; not owned, may be null.
    explicit TQBMSSQLOptions(TQBSelectParser* AParser) : Parser(AParser) { Reset(); }

    bool Percent = false;
    bool WithTies = false;
    // The TOP count; -1 when there is no TOP clause.
    int Top = -1;
    TQBSelectParser* Parser = nullptr;

    // No TOP clause.
    void Reset();
    // Copies Top, Percent and WithTies.
    void Assign(const TQBMSSQLOptions& Source);
    // "TOP n [PERCENT] [WITH TIES]", or empty without a TOP clause.
    std::string GetSQL() const;
};

class TQBMSSelectParser : public TQBSelectParser {
public:
    TQBMSSelectParser();
    ~TQBMSSelectParser() override;

    std::unique_ptr<TQBSQLScanner> CreateScanner() override;
    std::string GetAggregatesText() const override;
    // The statement with the TOP clause after SELECT [DISTINCT].
    std::string GetSQL() override;
    void InitOperators() override;
    // Also keeps the scanner's copy of the setting.
    void SetCaseSensitiveIdentifiers(bool Value) override;
    bool ExtendedSyntax() const override { return true; }
    // Empties the model and forgets the TOP clause.
    void Clear() override;

    TQBMSSQLOptions& GetOptions() { return *FOptions; }
    const TQBMSSQLOptions& GetOptions() const { return *FOptions; }

protected:
    // DISTINCT or ALL, then TOP n [PERCENT [WITH TIES]].
    void ParseSelectOptions() override;

private:
    std::unique_ptr<TQBMSSQLOptions> FOptions;
};
