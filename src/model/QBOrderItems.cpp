// The GROUP BY and ORDER BY clauses.
#include "model/QBOrderItems.h"

#include "lexer/QBScanner.h"
#include "lexer/QBUtils.h"
#include "model/QBTableDefs.h"
#include "parser/QBParser.h"

namespace {

// Items joined by "," + line break + two blanks, the last followed by a line break, behind
// the two keywords; empty for no items.
std::string ClauseSQL(const TQBStringList& List, const char* First, const char* Second,
                      const std::vector<std::string>& Items) {
    if (Items.empty()) return {};
    std::string text;
    for (std::size_t i = 0; i < Items.size(); ++i) text += Items[i] + (i + 1 < Items.size() ? ",\r\n  " : "\r\n");
    const TQBSelectParser* parser = List.GetParser();
    const std::string head = parser ? parser->FormatKeyword(First) + " " + parser->FormatKeyword(Second)
                                    : std::string(First) + " " + Second;
    return head + "\r\n  " + text;
}

}  // namespace

// --- TQBOrderByItems ---

int TQBOrderByItems::AddItem(const std::string& Text, int Direction) {
    const int index = TStringList::Add(Text);
    if (Directions.size() < static_cast<std::size_t>(index)) Directions.resize(static_cast<std::size_t>(index), sdAscending);
    Directions.insert(Directions.begin() + index, Direction);
    return index;
}

void TQBOrderByItems::Clear() {
    TStringList::Clear();
    Directions.clear();
}

void TQBOrderByItems::Delete(int Index) {
    if (Index < 0 || Index >= Count()) return;
    TStringList::Delete(Index);
    if (static_cast<std::size_t>(Index) < Directions.size()) Directions.erase(Directions.begin() + Index);
}

void TQBOrderByItems::Assign(const TStringList& Source) {
    if (&Source == this) return;
    TStringList::Assign(Source);
    Directions.clear();
}

void TQBOrderByItems::Assign(const TQBOrderByItems& Source) {
    if (&Source == this) return;
    TStringList::Assign(Source);
    Directions = Source.Directions;
}

int TQBOrderByItems::GetDirection(int Index) const {
    if (Index < 0 || static_cast<std::size_t>(Index) >= Directions.size()) return sdAscending;
    return Directions[static_cast<std::size_t>(Index)];
}

std::string TQBOrderByItems::GetSQL() const {
    const TQBSQLScanner* scanner = Parser ? Parser->GetScanner() : nullptr;
    const TQBTableDefs* tables = Parser ? Parser->GetTableDefs() : nullptr;
    std::vector<std::string> items;
    for (int i = 0; i < Count(); ++i) {
        std::string text = Get(i);
        if (scanner) {
            const char open = scanner->IdentQuoteChar();
            const char close = scanner->ClosingQuote(open);
            const std::string qualifier = ExtractQualifier(text, open, close);
            const std::string last = ExtractLastName(text, open, close);
            if (!qualifier.empty() && !last.empty() && tables && tables->FindByAlias(qualifier))
                text = scanner->QuoteName(qualifier) + "." + scanner->QuoteIdentifier(last);
            else
                text = FormatAlias(last);
        }
        if (GetDirection(i) == sdDescending) text += " DESC";
        items.push_back(text);
    }
    return ClauseSQL(*this, "ORDER", "BY", items);
}

// --- TQBGroupByItems ---

std::string TQBGroupByItems::GetSQL() {
    const TQBTableDefs* tables = Parser ? Parser->GetTableDefs() : nullptr;
    const TQBSQLScanner* scanner = Parser ? Parser->GetScanner() : nullptr;
    if (tables && scanner) {
        bool aggregate = false;
        bool other = false;
        const int count = tables->FieldCount();
        for (int n = 0; n < count; ++n)
            if (const TQBFieldDef* field = tables->FieldBySelectIndex(n))
                (field->Kind == fkFunction && Parser->IsAggregate(field->Name) ? aggregate : other) = true;
        if (aggregate && other) {
            TStringList::Clear();
            for (int n = 0; n < count; ++n) {
                const TQBFieldDef* field = tables->FieldBySelectIndex(n);
                if (!field || field->Kind != fkField || Parser->IsAggregate(field->Name)) continue;
                const std::string table = field->TableAlias();
                const std::string column = scanner->QuoteName(field->Name);
                TStringList::Add(table.empty() ? column : scanner->QuoteName(table) + "." + column);
            }
        }
    }
    return ClauseSQL(*this, "GROUP", "BY", std::vector<std::string>(begin(), end()));
}
