// The statement writer: the model collections write their own clauses; this puts them in
// order behind SELECT, with the parser's write context lent to them.
#include "parser/QBGenerate.h"

#include "model/QBCriteria.h"
#include "model/QBOrderItems.h"
#include "model/QBSQLText.h"
#include "model/QBTableDefs.h"
#include "model/QBWriteContext.h"
#include "parser/QBParser.h"

std::string WriteStatement(TQBSelectParser& Parser, const std::string& TopText) {
    // One write judges each name once, however often it is written.
    TQBWriteContext& context = Parser.GetWriteContext();
    std::string text;
    text.reserve(1024);
    AppendKeyword(text, &Parser, "SELECT");
    if (Parser.GetDistinct()) {
        text += ' ';
        AppendKeyword(text, &Parser, "DISTINCT");
    }
    text += TopText;
    text += ' ';
    const std::size_t body = text.size();
    Parser.GetTableDefs()->AppendSQL(text, context);
    if (text.size() == body) return {};
    // A select list without FROM ends without a line break; a clause still starts a line.
    const bool lineEnded = text.compare(text.size() - 2, 2, "\r\n") == 0;
    const std::size_t clauses = text.size();
    // GROUP BY before HAVING: HAVING is written only when the (rebuilt) list has items.
    Parser.GetWhereItems()->AppendSQL(text);
    TQBGroupByItems& groupBy = *Parser.GetGroupByItems();
    if (groupBy.Rebuild(context))
        groupBy.AppendWritten(text, context);
    else
        groupBy.AppendSQL(text);
    Parser.GetHavingItems()->AppendSQL(text);
    Parser.GetOrderByItems()->AppendSQL(text, context);
    if (text.size() != clauses && !lineEnded) text.insert(clauses, "\r\n");
    return text;
}

std::string TQBSelectParser::GetSQL() { return WriteStatement(*this, ""); }
