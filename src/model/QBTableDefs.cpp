// Table definitions: their SQL, alias renaming, the clean-up when a table goes, and the
// select-list services of the table collection.
#include "model/QBTableDefs.h"

#include "lexer/QBScanner.h"
#include "lexer/QBUtils.h"
#include "model/QBCriteria.h"
#include "model/QBJoinDefs.h"
#include "model/QBOrderItems.h"
#include "model/QBSQLText.h"
#include "model/QBWriteContext.h"
#include "toolkit/TextCompare.h"

#include <utility>
#include <vector>

namespace {

bool IsNameByte(char Ch) {
    const auto byte = static_cast<unsigned char>(Ch);
    return byte >= 128 || (Ch >= 'A' && Ch <= 'Z') || (Ch >= 'a' && Ch <= 'z') ||
           (Ch >= '0' && Ch <= '9') || Ch == '_' || Ch == '@' || Ch == '#';
}

// True when Text holds Qualifier followed by "." as a whole qualifier (not the tail of a
// longer name: "o." does not match inside "po.x").
bool MentionsQualifier(const std::string& Text, const std::string& Qualifier, bool CaseSensitive) {
    const std::string needle = Qualifier + ".";
    const std::string text = CaseSensitive ? Text : UpperCase(Text);
    const std::string key = CaseSensitive ? needle : UpperCase(needle);
    for (std::size_t at = text.find(key); at != std::string::npos; at = text.find(key, at + 1))
        if (at == 0 || !IsNameByte(text[at - 1])) return true;
    return false;
}

bool StartsWithQualifier(const std::string& Text, const std::string& Qualifier, bool CaseSensitive) {
    const std::string needle = Qualifier + ".";
    if (Text.size() < needle.size()) return false;
    const std::string head = Text.substr(0, needle.size());
    return CaseSensitive ? head == needle : SameText(head, needle);
}

// Parameter value text by data type.
std::string ParamValueSQL(const TQBFieldDef& Param, const TQBSQLScanner* Scanner) {
    const TVariant& value = Param.Value;
    if (value.IsUnassigned()) return ":" + Param.Name;
    if (value.IsNull()) return "NULL";
    const auto quote = [Scanner](const std::string& text) {
        return Scanner ? Scanner->QuoteString(text) : QuoteText(text, '\'', '\'');
    };
    switch (Param.DataType) {
    case ftString: case ftBytes: case ftVarBytes: case ftBlob: case ftMemo: case ftGraphic:
    case ftFmtMemo: case ftFixedChar: case ftWideString: case ftOraBlob: case ftOraClob: case ftGuid:
        return quote(value.AsString());
    case ftBoolean: {
        const bool truth = value.IsBoolean() ? value.AsBoolean()
                         : value.IsInteger() ? value.AsInteger() != 0
                         : SameText(value.AsString(), "true");
        return Scanner ? Scanner->BooleanText(truth) : (truth ? "True" : "False");
    }
    case ftDate: case ftTime: case ftDateTime: {
        std::string text = value.AsString();
        if (value.IsDateTime()) {
            const TDateTime& when = value.AsDateTime();
            text = Param.DataType == ftDate   ? FormatShortDate(when)
                 : Param.DataType == ftTime   ? FormatShortTime(when)
                                              : FormatShortDate(when) + " " + FormatShortTime(when);
        }
        return quote(text);
    }
    default:
        return value.AsString();
    }
}

}  // namespace

// --- TQBTableDef ---

TQBTableDef::TQBTableDef() = default;

TQBTableDef::~TQBTableDef() = default;

void TQBTableDef::SetParser(TQBStatementRoot* P) {
    TQBCollectionItem::SetParser(P);
    FFields.SetParser(P);
}

void TQBTableDef::Assign(const TCollectionItem& Source) { AssignTyped<TQBTableDef, TQBCollectionItem>(*this, Source); }

void TQBTableDef::Assign(const TQBTableDef& Source) {
    AssignParser(Source);
    if (&Source == this) return;
    FAlias = Source.FAlias;
    FFields.Assign(Source.FFields);
    FTableName = Source.FTableName;
    IsProcedure = Source.IsProcedure;
}

void TQBTableDef::SetTableName(const std::string& Text) {
    if (FTableName == Text) return;
    if (FAlias.empty() || FAlias == FTableName) FAlias = Text;
    FTableName = Text;
}

void TQBTableDef::SetAlias(const std::string& NewAlias) {
    if (FAlias == NewAlias) return;
    TQBTableDefs* tables = GetTableDefs();
    if (tables) tables->RenameInJoins(this, NewAlias);
    const TQBStatementRoot* parser = GetParser();
    TQBOrderByItems* order = parser ? parser->GetOrderByItems() : nullptr;
    const TQBSQLScanner* scanner = parser ? parser->GetScanner() : nullptr;
    if (order && scanner && order->Count() > 0) {
        const char open = scanner->IdentQuoteChar();
        const char close = scanner->ClosingQuote(open);
        for (int i = 0; i < order->Count(); ++i) {
            const std::string item = order->Get(i);
            const std::string qualifier = ExtractQualifier(item, open, close);
            if (qualifier.empty() || IsBlankText(ExtractLastName(item, open, close))) continue;
            if (!SameName(qualifier, FAlias)) continue;
            bool otherTable = false;
            for (int t = 0; tables && t < tables->Count() && !otherTable; ++t)
                otherTable = tables->Items(t) != this && SameName(tables->Items(t)->FAlias, qualifier);
            if (otherTable) continue;
            order->Put(i, FormatAlias(NewAlias) + item.substr(qualifier.size()));
        }
    }
    FAlias = NewAlias;
}

bool TQBTableDef::IsBlank() const { return IsBlankText(FTableName) && IsBlankText(FAlias); }

std::string TQBTableDef::FormatAlias(const std::string& Text) const { return FormatAliasFor(GetParser(), Text); }

std::string TQBTableDef::GetSQL() const {
    std::string sql;
    AppendSQL(sql);
    return sql;
}

void TQBTableDef::AppendSQL(std::string& Out) const {
    AppendQuotedName(Out, CollectionScanner(*this), FTableName);
    if (IsProcedure) Out += GetParamsSQL();
    if (FAlias.empty() || FAlias == FTableName) return;
    if (const TQBDialect* parser = GetParser()) {
        AppendKeyword(Out, parser, parser->TableAliasSeparator());
        AppendAlias(Out, parser, FAlias);
    } else {
        Out += ' ';
        Out += FAlias;
    }
}

std::string TQBTableDef::GetParamsSQL() const {
    const TQBDialect* parser = GetParser();
    const TQBSQLScanner* scanner = parser ? parser->GetScanner() : nullptr;
    std::string params;
    for (int i = 0; i < FFields.Count(); ++i) {
        const TQBFieldDef* field = FFields.Items(i);
        if (!field->IsInputParam()) continue;
        if (!params.empty()) params += ", ";
        params += ParamValueSQL(*field, scanner);
    }
    if (params.empty() && parser && !parser->WriteEmptyParams()) return {};
    return "(" + params + ")";
}

void TQBTableDef::AdoptQueryFields(const std::function<bool(const std::string&)>& HasField) {
    TQBTableDefs* tables = GetTableDefs();
    if (!tables || !HasField) return;
    TQBTableDef* blank = nullptr;
    for (int i = 0; i < tables->Count() && !blank; ++i)
        if (tables->Items(i)->FTableName.empty()) blank = tables->Items(i);
    if (!blank || blank == this) return;
    TQBFieldDefs& source = blank->Fields();
    for (int j = source.Count() - 1; j >= 0; --j) {
        TQBFieldDef* moving = source.Items(j);
        if ((moving->Kind != fkUnknown && moving->Kind != fkField) || !HasField(moving->Name)) continue;
        int at = FFields.Count();
        for (int k = 0; k < FFields.Count(); ++k)
            if (FFields.Items(k)->SelectIndex > moving->SelectIndex) {
                at = k;
                break;
            }
        TQBFieldDef* moved = FFields.Insert(at);
        moved->Assign(*moving);
        moved->SelectIndex = moving->SelectIndex;
        // Freeing the old copy must neither shift other indices nor drop its ORDER BY item.
        moving->SelectIndex = tables->FieldCount();
        moving->Alias.clear();
        source.Delete(j);
    }
}

void TQBTableDef::BeforeDestruction() {
    TQBStatementRoot* parser = GetParser();
    if (TQBTableDefs* tables = GetTableDefs(); tables && !(parser && parser->IsClearing())) {
        tables->RemoveOrphanJoins(this);
        if (parser && parser->GetJoinDefs()) {
            TQBJoinDefs& joins = *parser->GetJoinDefs();
            for (int i = 0; i < joins.Count(); ++i) joins.Items(i)->Unbind(this);
        }
        // The blank table has no qualifier: nothing refers to it by name.
        if (parser && !IsBlankText(Key())) RemoveReferences(*tables, *parser);
    }
    // The fields go while the table still counts, so the select list is renumbered.
    FFields.Clear();
}

void TQBTableDef::RemoveReferences(TQBTableDefs& Tables, TQBStatementRoot& Root) {
    const std::string key = Key();
    const bool caseSensitive = Root.GetCaseSensitiveIdentifiers();
    const std::string quoted = QuoteName(key);
    const auto mentions = [&](const std::string& text) {
        return MentionsQualifier(text, quoted, caseSensitive) ||
               (quoted != key && MentionsQualifier(text, key, caseSensitive));
    };
    for (int t = Tables.Count() - 1; t >= 0; --t) {
        TQBTableDef* other = Tables.Items(t);
        if (other == this) continue;
        for (int f = other->Fields().Count() - 1; f >= 0; --f)
            if (mentions(other->Fields().Items(f)->GetSQL())) other->Fields().Delete(f);
    }
    // Sorting and grouping by the table's columns would name a table that is gone.
    const auto dropQualified = [&](auto* list) {
        if (!list) return;
        for (int i = list->Count() - 1; i >= 0; --i)
            if (StartsWithQualifier((*list)[i], quoted, caseSensitive) ||
                StartsWithQualifier((*list)[i], key, caseSensitive))
                list->Delete(i);
    };
    dropQualified(Root.GetOrderByItems());
    dropQualified(Root.GetGroupByItems());
    for (TQBCriterions* criteria : {static_cast<TQBCriterions*>(Root.GetWhereItems()),
                                    static_cast<TQBCriterions*>(Root.GetHavingItems())}) {
        if (!criteria) continue;
        for (int i = criteria->Count() - 1; i >= 0; --i)
            if (mentions(criteria->Items(i)->GetSQL())) criteria->Delete(i);
    }
}

// --- TQBTableDefs ---

TQBTableDefs::~TQBTableDefs() { Clear(); }

std::unique_ptr<TCollectionItem> TQBTableDefs::CreateItem() { return std::make_unique<TQBTableDef>(); }

TQBTableDef* TQBTableDefs::FindByAlias(const std::string& Text) const {
    if (IsBlankText(Text)) {
        for (const auto& item : ItemList())
            if (auto* table = static_cast<TQBTableDef*>(item.get()); table->IsBlank()) return table;
        return nullptr;
    }
    const TQBNameRule rule = NameRule();
    for (const auto& item : ItemList())
        if (auto* table = static_cast<TQBTableDef*>(item.get()); rule.Same(table->FAlias, Text))
            return table;
    return nullptr;
}

TQBTableDef* TQBTableDefs::FindByTableName(const std::string& Text) const {
    const TQBNameRule rule = NameRule();
    for (const auto& item : ItemList())
        if (auto* table = static_cast<TQBTableDef*>(item.get()); rule.Same(table->FTableName, Text))
            return table;
    return nullptr;
}

TQBTableDef* TQBTableDefs::FindByAliasOrName(const std::string& Text) const {
    if (TQBTableDef* table = FindByAlias(Text)) return table;
    return FindByTableName(Text);
}

int TQBTableDefs::FieldCount() const {
    int count = 0;
    for (const auto& item : ItemList()) count += static_cast<const TQBTableDef*>(item.get())->FFields.Count();
    return count;
}

TQBFieldDef* TQBTableDefs::FieldBySelectIndex(int N) const {
    for (int i = 0; i < Count(); ++i) {
        const TQBFieldDefs& fields = Items(i)->Fields();
        for (int j = 0; j < fields.Count(); ++j)
            if (fields.Items(j)->SelectIndex == N) return fields.Items(j);
    }
    return nullptr;
}

bool TQBTableDefs::AliasInUse(const std::string& Text) const {
    const TQBNameRule rule = NameRule();
    for (int i = 0; i < Count(); ++i) {
        const TQBFieldDefs& fields = Items(i)->Fields();
        for (int j = 0; j < fields.Count(); ++j)
            if (rule.Same(fields.Items(j)->Alias, Text)) return true;
    }
    return false;
}

std::string TQBTableDefs::MakeUniqueAlias(const std::string& Base, bool ForceNumber) const {
    const std::string base = Parser && Parser->LowerCaseAliases() ? LowerCase(Base) : Base;
    std::string candidate = base;
    int counter = 0;
    while (ForceNumber || AliasInUse(candidate)) {
        ++counter;
        candidate = base + std::to_string(counter);
        ForceNumber = false;
    }
    return candidate;
}

void TQBTableDefs::FixDuplicateAliases() {
    for (int t = 0; t < Count(); ++t) {
        TQBFieldDefs& fields = Items(t)->Fields();
        for (int j = 0; j < fields.Count(); ++j) {
            TQBFieldDef* field = fields.Items(j);
            if (field->Name.empty()) continue;
            // A field that already has an alias of its own keeps it: only one shown by its
            // name is numbered, so writing the statement again changes nothing.
            if (!field->Alias.empty() && !SameName(field->Alias, field->Name)) continue;
            TQBFieldDef* holder = fields.FindByAlias(field->Name);
            if (holder && holder != field)
                field->Alias = MakeUniqueAlias(field->Kind == fkField ? field->Name : "FIELD_", true);
        }
    }
}

void TQBTableDefs::RemoveOrphanJoins(const TQBTableDef* Leaving) {
    TQBJoinDefs* joins = Parser ? Parser->GetJoinDefs() : nullptr;
    if (!joins) return;
    // An empty name is a value side: it never makes a join an orphan.
    const auto resolves = [this, Leaving](const std::string& name) {
        if (IsBlankText(name)) return true;
        const TQBTableDef* table = FindByAliasOrName(name);
        return table && table != Leaving;
    };
    for (int i = joins->Count() - 1; i >= 0; --i) {
        const TQBJoinDef* join = joins->Items(i);
        if (!resolves(join->LeftTable) || !resolves(join->RightTable)) joins->Delete(i);
    }
}

void TQBTableDefs::RenameInJoins(const TQBTableDef* Table, const std::string& NewAlias) {
    TQBJoinDefs* joins = Parser ? Parser->GetJoinDefs() : nullptr;
    if (!joins || !Table) return;
    const std::string oldKey = Table->Key();
    for (int i = 0; i < joins->Count(); ++i) {
        TQBJoinDef* join = joins->Items(i);
        if (join->LeftTableDef == Table) {
            join->LeftTable = NewAlias;
            if (!join->LeftIsColumn()) join->LeftField = RenameQualifier(join->LeftField, oldKey, NewAlias);
        }
        if (join->RightTableDef == Table) {
            join->RightTable = NewAlias;
            if (!join->RightIsColumn()) join->RightField = RenameQualifier(join->RightField, oldKey, NewAlias);
        }
        if (join->PreferredTableDef == Table) join->PreferredTable = NewAlias;
    }
}

namespace {

// Text with every whole qualifier Needle (a name followed by ".", upper case unless
// CaseSensitive) replaced by Replacement. Text inside string literals is data and stays.
std::string ReplaceQualifier(const std::string& Text, const std::string& Needle, const std::string& Replacement,
                             bool CaseSensitive) {
    std::string result;
    std::size_t from = 0;
    bool quote = false;
    for (std::size_t at = 0; at < Text.size();) {
        const char ch = Text[at];
        if (quote || ch == '\'') {
            if (ch == '\'') quote = !quote;
            ++at;
            continue;
        }
        const std::string head = Text.substr(at, Needle.size());
        if ((at == 0 || !IsNameByte(Text[at - 1])) && (CaseSensitive ? head == Needle : UpperCase(head) == Needle)) {
            result += Text.substr(from, at - from) + Replacement;
            at += Needle.size();
            from = at;
            continue;
        }
        ++at;
    }
    return result + Text.substr(from);
}

}  // namespace

std::string TQBTableDefs::RenameQualifier(const std::string& Text, const std::string& OldKey,
                                          const std::string& NewAlias, bool QuoteNewAlias) const {
    if (IsBlankText(OldKey) || IsBlankText(NewAlias)) return Text;
    const bool caseSensitive = Parser && Parser->GetCaseSensitiveIdentifiers();
    const std::string replacement = (QuoteNewAlias ? QuoteName(NewAlias) : NewAlias) + ".";
    const auto needle = [caseSensitive](const std::string& key) {
        return caseSensitive ? key + "." : UpperCase(key + ".");
    };
    std::string result = ReplaceQualifier(Text, needle(OldKey), replacement, caseSensitive);
    // The old key may also be written quoted ("[Order Details].Quantity").
    if (const std::string quoted = QuoteName(OldKey); quoted != OldKey)
        result = ReplaceQualifier(result, needle(quoted), replacement, caseSensitive);
    return result;
}

void TQBTableDefs::EndUpdate() {
    TQBCollection::EndUpdate();
    FixDuplicateAliases();
}

void TQBTableDefs::AppendSelectList(std::string& Out, TQBWriteContext& Context) const {
    // The fields by select position, first holder of a position first, found in one pass.
    const int count = FieldCount();
    std::vector<const TQBFieldDef*>& bySelect = Context.BySelect;
    bySelect.assign(static_cast<std::size_t>(count), nullptr);
    for (int i = 0; i < Count(); ++i) {
        const TQBFieldDefs& fields = Items(i)->Fields();
        for (int j = 0; j < fields.Count(); ++j) {
            const TQBFieldDef* field = fields.Items(j);
            if (field->SelectIndex < 0 || field->SelectIndex >= count) continue;
            const TQBFieldDef*& slot = bySelect[static_cast<std::size_t>(field->SelectIndex)];
            if (!slot) slot = field;
        }
    }
    const std::size_t start = Out.size();
    for (const TQBFieldDef* field : bySelect) {
        if (!field || field->IsInputParam()) continue;
        const std::size_t mark = Out.size();
        Out += mark != start ? ",\r\n  " : "  ";
        const std::size_t text = Out.size();
        field->AppendSQL(Out);
        if (Out.size() == text) Out.resize(mark);  // a field without text is left out
    }
}

std::string TQBTableDefs::GetSQL() const {
    TQBWriteContext context;
    std::string sql;
    AppendSQL(sql, context);
    return sql;
}

void TQBTableDefs::AppendSQL(std::string& Out, TQBWriteContext& Context) const {
    const std::size_t start = Out.size();
    Out += "\r\n";
    AppendSelectList(Out, Context);
    const bool noSelect = Out.size() == start + 2;
    if (noSelect) Out.resize(start);
    const std::size_t fromAt = Out.size();
    AppendKeywordPhrase(Out, Parser, "\r\nFROM\r\n");
    const std::size_t fromText = Out.size();
    AppendFrom(Out, Context);
    if (Out.size() == fromText) {
        Out.resize(fromAt);
        return;
    }
    Out += "\r\n";
    // Without a select list every column is selected.
    if (noSelect) Out.insert(fromAt, 1, '*');
}
