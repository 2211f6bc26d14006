// The statement writer shared by both dialects: assembles SELECT, the select list and FROM
// clause, WHERE, GROUP BY, HAVING and ORDER BY from the model, with the dialect's TOP text.
#pragma once

#include <string>

class TQBSelectParser;

// The whole statement with TopText (" TOP 10", or empty) after SELECT [DISTINCT]; empty when
// the model has neither fields nor tables. Throws EQBException when the FROM clause cannot
// be written.
std::string WriteStatement(TQBSelectParser& Parser, const std::string& TopText);

// The GROUP BY clause. When the select list mixes aggregates with other items, the list is
// first rebuilt from the plain columns of the select list, followed by the items the user
// wrote that the select list lacks.
std::string WriteGroupBy(TQBSelectParser& Parser);

// The ORDER BY clause: names quoted part by part, positions written as numbers.
std::string WriteOrderBy(const TQBSelectParser& Parser);
