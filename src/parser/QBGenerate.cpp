// The statement writer: the model collections write their own fragments (select list and
// FROM clause, WHERE, HAVING); GROUP BY and ORDER BY items, held as the names were read, are
// quoted here part by part as the dialect needs.
#include "parser/QBGenerate.h"

#include "lexer/QBScanner.h"
#include "lexer/QBUtils.h"
#include "model/QBCriteria.h"
#include "model/QBOrderItems.h"
#include "model/QBSQLText.h"
#include "model/QBTableDefs.h"
#include "parser/QBParser.h"
#include "toolkit/TextCompare.h"

#include <algorithm>
#include <string_view>
#include <vector>

namespace {

bool IsDigits(const std::string& S) {
    return !S.empty() && std::all_of(S.begin(), S.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A GROUP BY or ORDER BY item in written form, appended to Out: qualifier and last part
// each quoted where the dialect needs it; a position stays a number.
void AppendItem(std::string& Out, const TQBSQLScanner& Scanner, const std::string& Item,
                const TQBNameParts& Parts, bool KeepQualifier) {
    if (IsDigits(Item)) {
        Out += Item;
        return;
    }
    const TQBNameParts& parts = Parts;
    if (parts.Qualifier.empty() || !KeepQualifier || IsBlankText(parts.Last)) {
        AppendQuotedIdentifier(Out, &Scanner, parts.Last);
        return;
    }
    AppendQuotedName(Out, &Scanner, parts.Qualifier);
    Out += '.';
    AppendQuotedIdentifier(Out, &Scanner, parts.Last);
}

void AppendItem(std::string& Out, const TQBSQLScanner& Scanner, const std::string& Item,
                bool KeepQualifier) {
    const char open = Scanner.IdentQuoteChar();
    AppendItem(Out, Scanner, Item, SplitQualifiedName(Item, open, Scanner.ClosingQuote(open)),
               KeepQualifier);
}

// "<Word> BY", then the items one per line; nothing for no items.
void AppendClause(std::string& Out, const TQBSelectParser& Parser, const char* Word,
                  const std::vector<std::string>& Items) {
    if (Items.empty()) return;
    AppendKeyword(Out, &Parser, Word);
    Out += ' ';
    AppendKeyword(Out, &Parser, "BY");
    Out += "\r\n  ";
    for (std::size_t i = 0; i < Items.size(); ++i) {
        if (i > 0) Out += ",\r\n  ";
        Out += Items[i];
    }
    Out += "\r\n";
}

// The select list's fields by select position (the first holder of a position), without
// procedure input parameters.
std::vector<const TQBFieldDef*> SelectedFields(const TQBTableDefs& Tables) {
    const int count = Tables.FieldCount();
    std::vector<const TQBFieldDef*> bySelect(static_cast<std::size_t>(count), nullptr);
    for (int i = 0; i < Tables.Count(); ++i) {
        const TQBFieldDefs& fields = Tables.Items(i)->Fields();
        for (int j = 0; j < fields.Count(); ++j) {
            const TQBFieldDef* field = fields.Items(j);
            if (field->SelectIndex < 0 || field->SelectIndex >= count) continue;
            const TQBFieldDef*& slot = bySelect[static_cast<std::size_t>(field->SelectIndex)];
            if (!slot) slot = field;
        }
    }
    std::erase_if(bySelect, [](const TQBFieldDef* field) { return !field || field->IsInputParam(); });
    return bySelect;
}

void AppendGroupBy(std::string& Out, TQBSelectParser& Parser) {
    TQBGroupByItems& list = *Parser.GetGroupByItems();
    const TQBTableDefs& tables = *Parser.GetTableDefs();
    const TQBSQLScanner& scanner = *Parser.GetScanner();

    const std::vector<const TQBFieldDef*> fields = SelectedFields(tables);
    bool aggregate = false, other = false;
    for (const TQBFieldDef* field : fields) {
        if (field->Kind == fkFunction && Parser.IsAggregate(field->Name))
            aggregate = true;
        else
            other = true;
    }
    // Without a table there is no FROM clause, and no clause may follow the select list.
    bool fromClause = false;
    for (int i = 0; i < tables.Count() && !fromClause; ++i) fromClause = !tables.Items(i)->IsBlank();
    std::vector<std::string> written;
    if (aggregate && other && fromClause) {
        std::vector<std::string> items;
        std::string text;
        // Items that are written alike but for letter case are one item.
        const auto add = [&](const std::string& item) {
            text.clear();
            AppendItem(text, scanner, item, true);
            if (std::any_of(written.begin(), written.end(),
                            [&text](const std::string& w) { return SameText(w, text); }))
                return;
            items.push_back(item);
            written.push_back(text);
        };
        std::string item;
        for (const TQBFieldDef* field : fields) {
            if (field->Kind != fkField || field->Name == "*" || Parser.IsAggregate(field->Name))
                continue;
            const std::string alias = field->TableAlias();
            item.clear();
            if (!alias.empty()) {
                AppendQuotedName(item, &scanner, alias);
                item += '.';
            }
            AppendQuotedName(item, &scanner, field->Name);
            add(item);
        }
        // What the user grouped by beyond the select list changes the result: keep it.
        for (int i = 0; i < list.Count(); ++i) add(list[i]);
        list.Clear();
        for (const std::string& kept : items) list.Add(kept);
    } else {
        for (int i = 0; i < list.Count(); ++i) {
            written.emplace_back();
            AppendItem(written.back(), scanner, list[i], true);
        }
    }
    AppendClause(Out, Parser, "GROUP", written);
}

void AppendOrderBy(std::string& Out, const TQBSelectParser& Parser) {
    const TQBOrderByItems& list = *Parser.GetOrderByItems();
    const TQBSQLScanner& scanner = *Parser.GetScanner();
    const char open = scanner.IdentQuoteChar();
    const char close = scanner.ClosingQuote(open);
    std::vector<std::string> written;
    std::string text;
    for (int i = 0; i < list.Count(); ++i) {
        const std::string& item = list[i];
        // A qualifier that names no table is dropped (the item is then an output name).
        const TQBNameParts parts = SplitQualifiedName(item, open, close);
        const bool known =
            !parts.Qualifier.empty() && Parser.FindQualifierTable(std::string(parts.Qualifier)) != nullptr;
        text.clear();
        AppendItem(text, scanner, item, parts, known);
        // Two items that come out the same once a qualifier is dropped are written once.
        const bool repeated = std::any_of(written.begin(), written.end(), [&](const std::string& w) {
            std::string_view name(w);
            if (name.size() >= 5 && name.substr(name.size() - 5) == " DESC") name.remove_suffix(5);
            return SameText(name, text);
        });
        if (repeated) continue;
        if (list.GetDirection(i) == sdDescending) text += " DESC";
        written.push_back(text);
    }
    AppendClause(Out, Parser, "ORDER", written);
}

}  // namespace

std::string WriteGroupBy(TQBSelectParser& Parser) {
    const TQBQuoteScope quoting(Parser.GetScanner());
    std::string text;
    AppendGroupBy(text, Parser);
    return text;
}

std::string WriteOrderBy(const TQBSelectParser& Parser) {
    const TQBQuoteScope quoting(Parser.GetScanner());
    std::string text;
    AppendOrderBy(text, Parser);
    return text;
}

std::string WriteStatement(TQBSelectParser& Parser, const std::string& TopText) {
    // One write judges each name once, however often it is written.
    const TQBQuoteScope quoting(Parser.GetScanner());
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
    Parser.GetTableDefs()->AppendSQL(text);
    if (text.size() == body) return {};
    // A select list without FROM ends without a line break; a clause still starts a line.
    const bool lineEnded = text.compare(text.size() - 2, 2, "\r\n") == 0;
    const std::size_t clauses = text.size();
    // GROUP BY before HAVING: HAVING is written only when the (rebuilt) list has items.
    Parser.GetWhereItems()->AppendSQL(text);
    AppendGroupBy(text, Parser);
    Parser.GetHavingItems()->AppendSQL(text);
    AppendOrderBy(text, Parser);
    if (text.size() != clauses && !lineEnded) text.insert(clauses, "\r\n");
    return text;
}
std::string TQBSelectParser::GetSQL() { return WriteStatement(*this, ""); }
