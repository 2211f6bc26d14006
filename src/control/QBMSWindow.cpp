// The SQL Server control: its parser and the alternative quotes.
#include "control/QBMSWindow.h"

#include "lexer/QBMSScanner.h"
#include "parser/QBMSParser.h"

std::unique_ptr<TQBSelectParser> TMSSQLQueryBuilder::CreateParser() { return MakeParser<TQBMSSelectParser>(); }

bool TMSSQLQueryBuilder::AlterQuotes() const {
    const auto* scanner = Parser() ? dynamic_cast<const TQBMSSQLScanner*>(Parser()->GetScanner()) : nullptr;
    return scanner && scanner->GetAlterQuotes();
}

void TMSSQLQueryBuilder::SetAlterQuotes(bool value) {
    auto* scanner = Parser() ? dynamic_cast<TQBMSSQLScanner*>(Parser()->GetScanner()) : nullptr;
    if (scanner) scanner->SetAlterQuotes(value);
}
