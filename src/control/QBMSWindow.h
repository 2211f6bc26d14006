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
    // Runs the options dialog over this control (through the work area's ModalHook when set); the settings
    // change only when it closes with OK, which the result tells.
    bool ShowOptionsDialog();

protected:
    std::unique_ptr<TQBSelectParser> CreateParser() override;
};
