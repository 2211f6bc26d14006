// The GROUP BY and ORDER BY lists and their clauses. The items are held as the names were
// read; writing quotes them part by part as the dialect needs.
#include "model/QBOrderItems.h"

#include "lexer/QBScanner.h"
#include "lexer/QBUtils.h"
#include "model/QBSQLText.h"
#include "model/QBTableDefs.h"
#include "model/QBWriteContext.h"
#include "resources/QBResource.h"
#include "toolkit/Exceptions.h"
#include "toolkit/TextCompare.h"

#include <algorithm>

namespace {

bool IsDigits(std::string_view S) {
    return !S.empty() && std::all_of(S.begin(), S.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Index of the first of Items equal to Text ignoring letter case, or -1.
template <class TItems, class TTextOf>
int IndexOfText(const TItems& Items, std::string_view Text, TTextOf TextOf) {
    for (std::size_t i = 0; i < Items.size(); ++i)
        if (SameText(TextOf(Items[i]), Text)) return static_cast<int>(i);
    return -1;
}

[[noreturn]] void ThrowIndexError(int Index) {
    throw EQBException(FormatMessage(QBResource::SListIndexError, std::to_string(Index)));
}

// An item in written form, appended to Out: qualifier and last part each quoted where the
// dialect needs it; a position stays a number. Table, when given, is the table the
// qualifier names: an alias of the same text is quoted alike.
void AppendItem(std::string& Out, const TQBSQLScanner& Scanner, std::string_view Item,
                const TQBNameParts& Parts, bool KeepQualifier, const TQBTableDef* Table = nullptr) {
    if (IsDigits(Item)) {
        Out += Item;
        return;
    }
    if (Parts.Qualifier.empty() || !KeepQualifier || Parts.Last.empty()) {
        AppendQuotedIdentifier(Out, &Scanner, Parts.Last);
        return;
    }
    if (Table && Table->GetAlias() == Parts.Qualifier)
        AppendQuotedName(Out, &Scanner, Table->GetAlias());
    else
        AppendQuotedName(Out, &Scanner, Parts.Qualifier);
    Out += '.';
    AppendQuotedIdentifier(Out, &Scanner, Parts.Last);
}

// The same for an item whose qualifier is kept whatever it names; Item as it stands
// without a scanner.
void AppendItem(std::string& Out, const TQBSQLScanner* Scanner, std::string_view Item) {
    if (!Scanner) {
        Out += Item;
        return;
    }
    const char open = Scanner->IdentQuoteChar();
    AppendItem(Out, *Scanner, Item, SplitQualifiedName(Item, open, Scanner->ClosingQuote(open)), true);
}

// Starts a "<Word> BY" clause in Out (its items follow one per line); returns where it starts.
std::size_t BeginClause(std::string& Out, const TQBDialect* Dialect, const char* Word) {
    const std::size_t start = Out.size();
    AppendKeyword(Out, Dialect, Word);
    AppendKeywordPhrase(Out, Dialect, " BY\r\n  ");
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
void SelectedFields(const TQBTableDefs& Tables, std::vector<TQBSelectedField>& BySelect) {
    const int count = Tables.FieldCount();
    BySelect.assign(static_cast<std::size_t>(count), TQBSelectedField{});
    for (int i = 0; i < Tables.Count(); ++i) {
        const TQBTableDef* table = Tables.Items(i);
        const TQBFieldDefs& fields = table->Fields();
        for (int j = 0; j < fields.Count(); ++j) {
            const TQBFieldDef* field = fields.Items(j);
            if (field->SelectIndex < 0 || field->SelectIndex >= count) continue;
            TQBSelectedField& slot = BySelect[static_cast<std::size_t>(field->SelectIndex)];
            if (!slot.Field) slot = {field, table};
        }
    }
    std::erase_if(BySelect, [](const TQBSelectedField& s) { return !s.Field || s.Field->IsInputParam(); });
}

// True when the select list mixes aggregates with other items and a table gives the
// statement a FROM clause: only then is the GROUP BY list rebuilt.
bool NeedsRebuild(const TQBDialect& Dialect, const TQBTableDefs& Tables,
                  const std::vector<TQBSelectedField>& Fields) {
    bool aggregate = false, other = false;
    for (const auto& [field, table] : Fields)
        (field->Kind == fkFunction && Dialect.IsAggregate(field->Name) ? aggregate : other) = true;
    // Without a table there is no FROM clause, and no clause may follow the select list.
    bool fromClause = false;
    for (int i = 0; i < Tables.Count() && !fromClause; ++i) fromClause = !Tables.Items(i)->IsBlank();
    return aggregate && other && fromClause;
}

// The GROUP BY item of a plain column of the select list into Item: the alias of the table
// whose fields hold it, a point and the column, each part quoted where it needs it. True when
// no part needs quotes.
bool ColumnItem(std::string& Item, const TQBSQLScanner& Scanner, const TQBSelectedField& Selected) {
    const std::string& alias = Selected.Table->GetAlias();
    const std::string& name = Selected.Field->Name;
    const bool plain = (alias.empty() || Scanner.WritesUnquoted(alias)) &&
                       Scanner.WritesUnquoted(name);
    Item.clear();
    if (!alias.empty()) {
        if (plain)
            Item += alias;
        else
            AppendQuotedName(Item, &Scanner, alias);
        Item += '.';
    }
    if (plain)
        Item += name;
    else
        AppendQuotedName(Item, &Scanner, name);
    return plain;
}

}  // namespace

// --- TQBStringList ---

std::string TQBStringList::FormatAlias(const std::string& Text) const {
    return FormatAliasFor(Parser, Text);
}

// --- TQBOrderByItems ---

std::size_t TQBOrderByItems::Checked(int Index) const {
    if (Index < 0 || Index >= Count()) ThrowIndexError(Index);
    return static_cast<std::size_t>(Index);
}

int TQBOrderByItems::GetDirection(int Index) const {
    if (Index < 0 || Index >= Count()) return sdAscending;
    return FItems[static_cast<std::size_t>(Index)].Direction;
}

int TQBOrderByItems::IndexOf(std::string_view Text) const {
    return IndexOfText(FItems, Text, [](const TQBOrderByItem& item) -> std::string_view { return item.Text; });
}

int TQBOrderByItems::AddItem(const std::string& Text, int Direction) {
    FItems.push_back({Text, Direction});
    return Count() - 1;
}

void TQBOrderByItems::Delete(int Index) {
    if (Index >= 0 && Index < Count()) FItems.erase(FItems.begin() + Index);
}

std::string TQBOrderByItems::GetSQL() const {
    TQBWriteContext context;
    std::string text;
    AppendSQL(text, context);
    return text;
}

void TQBOrderByItems::AppendSQL(std::string& Out, TQBWriteContext& Context) const {
    const TQBSQLScanner* scanner = Parser ? Parser->GetScanner() : nullptr;
    if (!scanner) return AppendUnquoted(Out);
    const char open = scanner->IdentQuoteChar();
    const char close = scanner->ClosingQuote(open);
    std::vector<TQBTextSpan>& written = Context.Written;
    written.clear();
    const std::size_t start = BeginClause(Out, Parser, "ORDER");
    for (const TQBOrderByItem& item : FItems) {
        // A qualifier that names no table is dropped (the item is then an output name).
        const TQBNameParts parts = SplitQualifiedName(item.Text, open, close);
        const TQBTableDef* table =
            parts.Qualifier.empty() ? nullptr : Parser->FindQualifierTable(std::string(parts.Qualifier));
        const std::size_t mark = Out.size();
        if (!written.empty()) Out += ",\r\n  ";
        const std::size_t at = Out.size();
        AppendItem(Out, *scanner, item.Text, parts, table != nullptr, table);
        // Two items that come out the same once a qualifier is dropped are written once.
        const std::string_view text = std::string_view(Out).substr(at);
        const bool repeated = std::any_of(written.begin(), written.end(), [&](const TQBTextSpan& w) {
            std::string_view name = std::string_view(Out).substr(w.At, w.Size);
            if (name.size() >= 5 && name.substr(name.size() - 5) == " DESC") name.remove_suffix(5);
            return SameText(name, text);
        });
        if (repeated) {
            Out.resize(mark);
            continue;
        }
        if (item.Direction == sdDescending) Out += " DESC";
        written.push_back({at, Out.size() - at});
    }
    EndClause(Out, start, written.empty());
}

void TQBOrderByItems::AppendUnquoted(std::string& Out) const {
    if (FItems.empty()) return;
    const std::size_t start = BeginClause(Out, Parser, "ORDER");
    for (const TQBOrderByItem& item : FItems) {
        if (&item != &FItems.front()) Out += ",\r\n  ";
        Out += item.Text;
        if (item.Direction == sdDescending) Out += " DESC";
    }
    EndClause(Out, start, false);
}

// --- TQBGroupByItems ---

const std::string& TQBGroupByItems::operator[](int Index) const {
    if (Index < 0 || Index >= Count()) ThrowIndexError(Index);
    return FItems[static_cast<std::size_t>(Index)];
}

void TQBGroupByItems::Put(int Index, const std::string& Text) {
    if (Index < 0 || Index >= Count()) ThrowIndexError(Index);
    FItems[static_cast<std::size_t>(Index)] = Text;
}

int TQBGroupByItems::IndexOf(std::string_view Text) const {
    return IndexOfText(FItems, Text, [](const std::string& item) -> std::string_view { return item; });
}

int TQBGroupByItems::Add(const std::string& Text) {
    FItems.push_back(Text);
    return Count() - 1;
}

void TQBGroupByItems::Delete(int Index) {
    if (Index >= 0 && Index < Count()) FItems.erase(FItems.begin() + Index);
}

bool TQBGroupByItems::Rebuild(TQBWriteContext& Context) {
    const TQBTableDefs* tables = Parser ? Parser->GetTableDefs() : nullptr;
    const TQBSQLScanner* scanner = Parser ? Parser->GetScanner() : nullptr;
    if (!tables || !scanner) return false;
    std::vector<TQBSelectedField>& fields = Context.Fields;
    SelectedFields(*tables, fields);
    if (!NeedsRebuild(*Parser, *tables, fields)) return false;
    // Items are compared as written: the written forms go one after another into Text.
    std::vector<TQBTextSpan>& written = Context.Written;
    std::vector<std::string>& kept = Context.Kept;
    std::string& text = Context.GroupByText;
    text.clear();
    written.clear();
    std::size_t keptCount = 0;
    // Keeps Item unless an item written alike but for letter case is kept already.
    const auto keep = [&](std::string_view item, bool asWritten) {
        const std::size_t at = text.size();
        if (asWritten)
            text += item;
        else
            AppendItem(text, scanner, item);
        const std::string_view form = std::string_view(text).substr(at);
        for (const TQBTextSpan& w : written)
            if (SameText(std::string_view(text).substr(w.At, w.Size), form)) {
                text.resize(at);
                return;
            }
        written.push_back({at, form.size()});
        if (keptCount == kept.size()) kept.emplace_back();
        kept[keptCount++].assign(item);
    };
    std::string& item = Context.Item;
    for (const TQBSelectedField& selected : fields) {
        const TQBFieldDef* field = selected.Field;
        if (field->Kind != fkField || field->Name == "*" || Parser->IsAggregate(field->Name)) continue;
        const bool plain = ColumnItem(item, *scanner, selected);
        keep(item, plain);
    }
    // What the user grouped by beyond the select list changes the result: keep it. An item
    // kept already byte for byte would be written alike, so it is a repeat.
    for (const std::string& own : FItems) {
        const auto keptEnd = kept.begin() + static_cast<std::ptrdiff_t>(keptCount);
        if (std::find(kept.begin(), keptEnd, own) == keptEnd) keep(own, false);
    }
    FItems.assign(kept.begin(), kept.begin() + static_cast<std::ptrdiff_t>(keptCount));
    return true;
}

void TQBGroupByItems::AppendWritten(std::string& Out, const TQBWriteContext& Context) const {
    if (Context.Written.empty()) return;
    const std::size_t start = BeginClause(Out, Parser, "GROUP");
    for (const TQBTextSpan& item : Context.Written) {
        if (&item != &Context.Written.front()) Out += ",\r\n  ";
        Out.append(Context.GroupByText, item.At, item.Size);
    }
    EndClause(Out, start, false);
}

std::string TQBGroupByItems::GetSQL() const {
    std::string text;
    AppendSQL(text);
    return text;
}

void TQBGroupByItems::AppendSQL(std::string& Out) const {
    if (FItems.empty()) return;
    const TQBSQLScanner* scanner = Parser ? Parser->GetScanner() : nullptr;
    const std::size_t start = BeginClause(Out, Parser, "GROUP");
    for (std::size_t i = 0; i < FItems.size(); ++i) {
        if (i > 0) Out += ",\r\n  ";
        AppendItem(Out, scanner, FItems[i]);
    }
    EndClause(Out, start, false);
}
