// Source splitting and output-name lookups of the selection grid and its handlers.
#include "editors/QBSelectOrderLookup.h"

#include "lexer/QBScanner.h"
#include "lexer/QBUtils.h"
#include "model/QBTableDefs.h"
#include "parser/QBParser.h"
#include "toolkit/TextCompare.h"

TQBSourceParts SplitSource(const TQBSelectParser& parser, const std::string& source) {
    const TQBSQLScanner& scanner = *parser.GetScanner();
    const char open = scanner.IdentQuoteChar();
    const char close = scanner.ClosingQuote(open);
    return {ExtractQualifier(source, open, close), ExtractLastName(source, open, close)};
}

TQBFieldDef* FindOutputField(const TQBTableDef& table, const std::string& outputName) {
    if (IsBlankText(outputName)) return nullptr;
    const TQBFieldDefs& fields = table.Fields();
    for (int i = 0; i < fields.Count(); ++i) {
        TQBFieldDef* field = fields.Items(i);
        if (!field->IsInputParam() && fields.SameName(field->Alias, outputName)) return field;
    }
    return nullptr;
}

TQBFieldDef* FindOutputFieldAnywhere(const TQBTableDefs& tables, const std::string& outputName) {
    for (int i = 0; i < tables.Count(); ++i)
        if (TQBFieldDef* field = FindOutputField(*tables.Items(i), outputName)) return field;
    return nullptr;
}
