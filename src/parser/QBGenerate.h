// The statement writer shared by both dialects: assembles SELECT, the select list and FROM
// clause, WHERE, GROUP BY, HAVING and ORDER BY from the model, with the dialect's TOP text.
#pragma once

#include <string>

class TQBSelectParser;

// The whole statement with TopText (" TOP 10", or empty) after SELECT [DISTINCT]; empty when
// the model has neither fields nor tables. The GROUP BY list is rebuilt first when the select
// list mixes aggregates with plain columns. Throws EQBException when the FROM clause cannot
// be written.
std::string WriteStatement(TQBSelectParser& Parser, const std::string& TopText);
