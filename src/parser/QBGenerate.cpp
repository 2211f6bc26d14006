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
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace {

bool IsDigits(std::string_view S) {
    return !S.empty() && std::all_of(S.begin(), S.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// A GROUP BY or ORDER BY item in written form, appended to Out: qualifier and last part
// each quoted where the dialect needs it; a position stays a number. Table, when given, is
// the table the qualifier names: an alias of the same text is quoted alike, and that of
// the table is remembered for the write.
void AppendItem(std::string& Out, const TQBSQLScanner& Scanner, std::string_view Item,
                const TQBNameParts& Parts, bool KeepQualifier,
                const TQBTableDef* Table = nullptr) {
    if (IsDigits(Item)) {
        Out += Item;
        return;
    }
    const TQBNameParts& parts = Parts;
    if (parts.Qualifier.empty() || !KeepQualifier || IsBlankText(parts.Last)) {
        AppendQuotedIdentifier(Out, &Scanner, parts.Last);
        return;
    }
    if (Table && Table->GetAlias() == parts.Qualifier)
        AppendQuotedModelName(Out, &Scanner, Table->GetAlias());
    else
        AppendQuotedName(Out, &Scanner, parts.Qualifier);
    Out += '.';
    AppendQuotedIdentifier(Out, &Scanner, parts.Last);
}

void AppendItem(std::string& Out, const TQBSQLScanner& Scanner, std::string_view Item,
                bool KeepQualifier) {
    const char open = Scanner.IdentQuoteChar();
    AppendItem(Out, Scanner, Item, SplitQualifiedName(Item, open, Scanner.ClosingQuote(open)),
               KeepQualifier);
}

// Where an item's text lies in the output (offsets: the output moves as it grows).
struct TSpan {
    std::size_t At = 0;
    std::size_t Size = 0;
};

// Storage of the GROUP BY and ORDER BY writers, kept between writes so that a steady
// stream of statements writes without allocating. The writers never nest.
// A field of the select list with the table whose fields hold it.
struct TSelected {
    const TQBFieldDef* Field = nullptr;
    const TQBTableDef* Table = nullptr;
};

struct TClauseScratch {
    std::vector<TSelected> Fields;
    std::vector<TSpan> Written;
    std::vector<std::string> Kept;
    std::string Item;
};

TClauseScratch& ClauseScratch() {
    thread_local TClauseScratch scratch;
    return scratch;
}

// Starts a "<Word> BY" clause in Out (its items follow one per line); returns where it starts.
std::size_t BeginClause(std::string& Out, const TQBSelectParser& Parser, const char* Word) {
    const std::size_t start = Out.size();
    AppendKeyword(Out, &Parser, Word);
    AppendKeywordPhrase(Out, &Parser, " BY\r\n  ");
    return start;
}

// Ends the clause begun at Start: nothing at all is left of a clause without items.
void EndClause(std::string& Out, std::size_t Start, bool Empty) {
    if (Empty)
        Out.resize(Start);
    else
        Out += "\r\n";
}

// The select list's fields by select position (the first holder of a position), without
// procedure input parameters, into BySelect.
void SelectedFields(const TQBTableDefs& Tables, std::vector<TSelected>& BySelect) {
    const int count = Tables.FieldCount();
    BySelect.assign(static_cast<std::size_t>(count), TSelected{});
    for (int i = 0; i < Tables.Count(); ++i) {
        const TQBTableDef* table = Tables.Items(i);
        const TQBFieldDefs& fields = table->Fields();
        for (int j = 0; j < fields.Count(); ++j) {
            const TQBFieldDef* field = fields.Items(j);
            if (field->SelectIndex < 0 || field->SelectIndex >= count) continue;
            TSelected& slot = BySelect[static_cast<std::size_t>(field->SelectIndex)];
            if (!slot.Field) slot = {field, table};
        }
    }
    std::erase_if(BySelect,
                  [](const TSelected& s) { return !s.Field || s.Field->IsInputParam(); });
}

// Makes the first Count of Items the list's contents; an unsorted list that holds exactly
// them already is left as it is.
void StoreItems(TStringList& List, const std::vector<std::string>& Items, std::size_t Count) {
    if (!List.GetSorted() && static_cast<std::size_t>(List.Count()) == Count &&
        std::equal(Items.begin(), Items.begin() + static_cast<std::ptrdiff_t>(Count),
                   List.begin()))
        return;
    List.Clear();
    for (std::size_t i = 0; i < Count; ++i) List.Add(Items[i]);
}

void AppendGroupBy(std::string& Out, TQBSelectParser& Parser) {
    TQBGroupByItems& list = *Parser.GetGroupByItems();
    const TQBTableDefs& tables = *Parser.GetTableDefs();
    const TQBSQLScanner& scanner = *Parser.GetScanner();
    TClauseScratch& scratch = ClauseScratch();

    std::vector<TSelected>& fields = scratch.Fields;
    SelectedFields(tables, fields);
    bool aggregate = false, other = false;
    for (const auto& [field, table] : fields) {
        if (field->Kind == fkFunction && Parser.IsAggregate(field->Name))
            aggregate = true;
        else
            other = true;
    }
    // Without a table there is no FROM clause, and no clause may follow the select list.
    bool fromClause = false;
    for (int i = 0; i < tables.Count() && !fromClause; ++i) fromClause = !tables.Items(i)->IsBlank();

    std::vector<TSpan>& written = scratch.Written;
    written.clear();
    const std::size_t start = BeginClause(Out, Parser, "GROUP");
    // Appends Item's written form (Item itself when AsWritten) unless an item written alike
    // but for letter case is there already; true when it was appended.
    const auto add = [&](std::string_view item, bool asWritten) {
        const std::size_t mark = Out.size();
        if (!written.empty()) Out += ",\r\n  ";
        const std::size_t at = Out.size();
        if (asWritten)
            Out += item;
        else
            AppendItem(Out, scanner, item, true);
        const std::string_view text = std::string_view(Out).substr(at);
        for (const TSpan& w : written)
            if (SameText(std::string_view(Out).substr(w.At, w.Size), text)) {
                Out.resize(mark);
                return false;
            }
        written.push_back({at, text.size()});
        return true;
    };
    if (aggregate && other && fromClause) {
        // The list is rebuilt: the items written, as they were before being written.
        std::vector<std::string>& kept = scratch.Kept;
        std::size_t keptCount = 0;
        const auto keep = [&](std::string_view item) {
            if (keptCount == kept.size()) kept.emplace_back();
            kept[keptCount++].assign(item);
        };
        std::string& item = scratch.Item;
        for (const auto& [field, table] : fields) {
            if (field->Kind != fkField || field->Name == "*" || Parser.IsAggregate(field->Name))
                continue;
            // The alias of the table whose fields hold the field (as TableAlias gives it).
            const std::string& alias = table->GetAlias();
            // Plain parts need no quotes, and their item is then written as it stands.
            const bool plain = (alias.empty() || IsKnownUnquotedModelName(scanner, alias)) &&
                               IsKnownUnquotedModelName(scanner, field->Name);
            item.clear();
            if (!alias.empty()) {
                if (plain)
                    item += alias;
                else
                    AppendQuotedModelName(item, &scanner, alias);
                item += '.';
            }
            if (plain)
                item += field->Name;
            else
                AppendQuotedModelName(item, &scanner, field->Name);
            if (add(item, plain)) keep(item);
        }
        // What the user grouped by beyond the select list changes the result: keep it. An
        // item kept already byte for byte would be written alike, so it is a repeat.
        for (int i = 0; i < list.Count(); ++i) {
            const std::string& item = list[i];
            const auto keptEnd = kept.begin() + static_cast<std::ptrdiff_t>(keptCount);
            if (std::find(kept.begin(), keptEnd, item) != keptEnd) continue;
            if (add(item, false)) keep(item);
        }
        StoreItems(list, kept, keptCount);
    } else {
        for (int i = 0; i < list.Count(); ++i) {
            if (i > 0) Out += ",\r\n  ";
            AppendItem(Out, scanner, list[i], true);
        }
    }
    // Rebuilt, the list holds exactly the items written.
    EndClause(Out, start, list.Count() == 0);
}

void AppendOrderBy(std::string& Out, const TQBSelectParser& Parser) {
    const TQBOrderByItems& list = *Parser.GetOrderByItems();
    const TQBSQLScanner& scanner = *Parser.GetScanner();
    const char open = scanner.IdentQuoteChar();
    const char close = scanner.ClosingQuote(open);
    std::vector<TSpan>& written = ClauseScratch().Written;
    written.clear();
    const std::size_t start = BeginClause(Out, Parser, "ORDER");
    for (int i = 0; i < list.Count(); ++i) {
        const std::string& item = list[i];
        // A qualifier that names no table is dropped (the item is then an output name).
        const TQBNameParts parts = SplitQualifiedName(item, open, close);
        const TQBTableDef* table = parts.Qualifier.empty()
                                       ? nullptr
                                       : Parser.FindQualifierTable(std::string(parts.Qualifier));
        const std::size_t mark = Out.size();
        if (!written.empty()) Out += ",\r\n  ";
        const std::size_t at = Out.size();
        AppendItem(Out, scanner, item, parts, table != nullptr, table);
        // Two items that come out the same once a qualifier is dropped are written once.
        const std::string_view text = std::string_view(Out).substr(at);
        const bool repeated = std::any_of(written.begin(), written.end(), [&](const TSpan& w) {
            std::string_view name = std::string_view(Out).substr(w.At, w.Size);
            if (name.size() >= 5 && name.substr(name.size() - 5) == " DESC") name.remove_suffix(5);
            return SameText(name, text);
        });
        if (repeated) {
            Out.resize(mark);
            continue;
        }
        if (list.GetDirection(i) == sdDescending) Out += " DESC";
        written.push_back({at, Out.size() - at});
    }
    EndClause(Out, start, written.empty());
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
