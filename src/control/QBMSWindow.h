// TMSSQLQueryBuilder, the Microsoft SQL Server flavour of the control: it reads and writes
// statements with the server's dialect and lets the host choose the alternative quotes.
#pragma once

#include "control/QBWindow.h"

class TMSSQLQueryBuilder : public TCustomQueryBuilder {
    Q_OBJECT

public:
    using TCustomQueryBuilder::TCustomQueryBuilder;

    // The scanner's alternative-quotes flag; False (and writes ignored) with another scanner.
    bool AlterQuotes() const;
    void SetAlterQuotes(bool value);

protected:
    std::unique_ptr<TQBSelectParser> CreateParser() override;
};
