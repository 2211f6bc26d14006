// The statement writer: the model collections write their own fragments (select list and
// FROM clause, WHERE, HAVING); GROUP BY and ORDER BY items, held as the names were read, are
// quoted here part by part as the dialect needs.
#include "parser/QBGenerate.h"

#include "lexer/QBScanner.h"
#include "lexer/QBUtils.h"
#include "model/QBCriteria.h"
#include "model/QBOrderItems.h"
#include "model/QBTableDefs.h"
#include "parser/QBParser.h"
#include "toolkit/TextCompare.h"

#include <algorithm>
#include <vector>

namespace {

bool IsDigits(const std::string& S) {
    return !S.empty() && std::all_of(S.begin(), S.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A GROUP BY or ORDER BY item in written form: qualifier and last part each quoted where
// the dialect needs it; a position stays a number.
std::string QuoteItem(const TQBSQLScanner& Scanner, const std::string& Item, bool KeepQualifier) {
    if (IsDigits(Item)) return Item;
    const char open = Scanner.IdentQuoteChar();
    const char close = Scanner.ClosingQuote(open);
    const std::string qualifier = ExtractQualifier(Item, open, close);
    const std::string last = ExtractLastName(Item, open, close);
    if (qualifier.empty() || !KeepQualifier || Trim(last).empty())
        return Scanner.QuoteIdentifier(last);
    return Scanner.QuoteName(qualifier) + "." + Scanner.QuoteIdentifier(last);
}

std::string ClauseText(const TQBSelectParser& Parser, const char* Word,
                       const std::vector<std::string>& Items) {
    if (Items.empty()) return {};
    std::string text = Parser.FormatKeyword(Word) + " " + Parser.FormatKeyword("BY") + "\r\n  ";
    for (std::size_t i = 0; i < Items.size(); ++i) {
        if (i > 0) text += ",\r\n  ";
        text += Items[i];
    }
    return text + "\r\n";
}

}  // namespace

std::string WriteGroupBy(TQBSelectParser& Parser) {
    TQBGroupByItems& list = *Parser.GetGroupByItems();
    const TQBTableDefs& tables = *Parser.GetTableDefs();
    const TQBSQLScanner& scanner = *Parser.GetScanner();

    std::vector<const TQBFieldDef*> fields;
    bool aggregate = false, other = false;
    for (int n = 0; n < tables.FieldCount(); ++n) {
        const TQBFieldDef* field = tables.FieldBySelectIndex(n);
        if (!field || field->IsInputParam()) continue;  // parameters are never selected
        fields.push_back(field);
        if (field->Kind == fkFunction && Parser.IsAggregate(field->Name))
            aggregate = true;
        else
            other = true;
    }
    // Without a table there is no FROM clause, and no clause may follow the select list.
    bool fromClause = false;
    for (int i = 0; i < tables.Count() && !fromClause; ++i) fromClause = !tables.Items(i)->IsBlank();
    if (aggregate && other && fromClause) {
        std::vector<std::string> items, keys;
        const auto add = [&](const std::string& item) {
            const std::string key = UpperCase(QuoteItem(scanner, item, true));
            if (std::find(keys.begin(), keys.end(), key) != keys.end()) return;
            keys.push_back(key);
            items.push_back(item);
        };
        for (const TQBFieldDef* field : fields) {
            if (field->Kind != fkField || field->Name == "*" || Parser.IsAggregate(field->Name))
                continue;
            const std::string alias = field->TableAlias();
            add(alias.empty() ? scanner.QuoteName(field->Name)
                              : scanner.QuoteName(alias) + "." + scanner.QuoteName(field->Name));
        }
        // What the user grouped by beyond the select list changes the result: keep it.
        for (int i = 0; i < list.Count(); ++i) add(list[i]);
        list.Clear();
        for (const std::string& item : items) list.Add(item);
    }
    std::vector<std::string> written;
    for (int i = 0; i < list.Count(); ++i) written.push_back(QuoteItem(scanner, list[i], true));
    return ClauseText(Parser, "GROUP", written);
}

std::string WriteOrderBy(const TQBSelectParser& Parser) {
    const TQBOrderByItems& list = *Parser.GetOrderByItems();
    const TQBSQLScanner& scanner = *Parser.GetScanner();
    const char open = scanner.IdentQuoteChar();
    const char close = scanner.ClosingQuote(open);
    std::vector<std::string> written;
    for (int i = 0; i < list.Count(); ++i) {
        const std::string& item = list[i];
        // A qualifier that names no table is dropped (the item is then an output name).
        const std::string qualifier = ExtractQualifier(item, open, close);
        const bool known = !qualifier.empty() && Parser.FindQualifierTable(qualifier) != nullptr;
        std::string text = QuoteItem(scanner, item, known);
        // Two items that come out the same once a qualifier is dropped are written once.
        const bool repeated = std::any_of(written.begin(), written.end(), [&](const std::string& w) {
            return SameText(w.substr(0, w.size() - (w.size() >= 5 && w.compare(w.size() - 5, 5, " DESC") == 0 ? 5 : 0)), text);
        });
        if (repeated) continue;
        if (list.GetDirection(i) == sdDescending) text += " DESC";
        written.push_back(text);
    }
    return ClauseText(Parser, "ORDER", written);
}

std::string WriteStatement(TQBSelectParser& Parser, const std::string& TopText) {
    std::string body = Parser.GetTableDefs()->GetSQL();
    if (body.empty()) return body;
    std::string text = Parser.FormatKeyword("SELECT");
    if (Parser.GetDistinct()) {
        text += ' ';
        text += Parser.FormatKeyword("DISTINCT");
    }
    text += TopText;
    text += ' ';
    text += body;
    // GROUP BY before HAVING: HAVING is written only when the (rebuilt) list has items.
    std::string clauses = Parser.GetWhereItems()->GetSQL();
    clauses += WriteGroupBy(Parser);
    clauses += Parser.GetHavingItems()->GetSQL();
    clauses += WriteOrderBy(Parser);
    // A select list without FROM ends without a line break; a clause still starts a line.
    if (!clauses.empty() && text.compare(text.size() - 2, 2, "\r\n") != 0) text += "\r\n";
    return text + clauses;
}

std::string TQBSelectParser::GetSQL() { return WriteStatement(*this, ""); }
