// Join definitions: their condition text, binding to table definitions and lookup.
#include "model/QBJoinDefs.h"

#include "model/QBSQLText.h"
#include "model/QBTableDefs.h"
#include "resources/QBResource.h"
#include "toolkit/Exceptions.h"
#include "toolkit/TextCompare.h"

void TQBJoinDef::AppendSide(std::string& Out, const TQBTableDef* Def, const std::string& Table,
                            const std::string& Field, bool IsColumn) const {
    // A literal, a call or an expression is written as it stands.
    if (!IsColumn) {
        Out += Field;
        return;
    }
    const TQBSQLScanner* names = CollectionScanner(*this);
    const std::size_t start = Out.size();
    if (Def)
        AppendQuotedName(Out, names,
                         Def->GetAlias().empty() ? Def->GetTableName() : Def->GetAlias());
    else if (!IsBlankText(Table))
        AppendQuotedName(Out, names, Table);
    if (Out.size() != start) Out += '.';
    AppendQuotedName(Out, names, Field);
}

std::string TQBJoinDef::GetSQL() const {
    std::string sql;
    AppendSQL(sql);
    return sql;
}

void TQBJoinDef::AppendSQL(std::string& Out) const {
    Out += '(';
    AppendSide(Out, LeftTableDef, LeftTable, LeftField, LeftIsColumn());
    Out += Operator;
    AppendSide(Out, RightTableDef, RightTable, RightField, RightIsColumn());
    Out += ')';
}

void TQBJoinDef::AppendMirroredSQL(std::string& Out) const {
    Out += '(';
    AppendSide(Out, RightTableDef, RightTable, RightField, RightIsColumn());
    Out += MirrorComparison(Operator);
    AppendSide(Out, LeftTableDef, LeftTable, LeftField, LeftIsColumn());
    Out += ')';
}

std::string MirrorComparison(const std::string& Op) {
    if (Op == "<") return ">";
    if (Op == ">") return "<";
    if (Op == "<=") return ">=";
    if (Op == ">=") return "<=";
    if (Op == "!<") return "!>";
    if (Op == "!>") return "!<";
    return Op;
}

void TQBJoinDef::Assign(const TCollectionItem& Source) { AssignTyped<TQBJoinDef, TQBCollectionItem>(*this, Source); }

void TQBJoinDef::Assign(const TQBJoinDef& Source) {
    AssignParser(Source);
    if (&Source == this) return;
    JoinType = Source.JoinType;
    LeftField = Source.LeftField;
    RightField = Source.RightField;
    LeftTable = Source.LeftTable;
    RightTable = Source.RightTable;
    Operator = Source.Operator;
    LeftKind = Source.LeftKind;
    RightKind = Source.RightKind;
}

void TQBJoinDef::Bind() {
    const TQBStatementRoot* parser = GetParser();
    const TQBTableDefs* tables = parser ? parser->GetTableDefs() : nullptr;
    // The preferred table is mostly one of the sides: the same text finds the same table,
    // so the last name looked up and its answer are kept.
    const std::string* lastName = nullptr;
    TQBTableDef* lastTable = nullptr;
    const auto bind = [&](const std::string& name, TQBTableDef*& target, const char* message) {
        if (name.empty()) return;
        if (!lastName || *lastName != name) {
            lastTable = tables ? tables->FindByAlias(name) : nullptr;
            lastName = &name;
        }
        target = lastTable;
        if (!target) throw EQBException(message);
    };
    bind(LeftTable, LeftTableDef, QBResource::SCantBindLeftTable);
    bind(RightTable, RightTableDef, QBResource::SCantBindRightTable);
    bind(PreferredTable, PreferredTableDef, QBResource::SCantBindPreferredTable);
}

void TQBJoinDef::Unbind(const TQBTableDef* Table) {
    if (LeftTableDef == Table) LeftTableDef = nullptr;
    if (RightTableDef == Table) RightTableDef = nullptr;
    if (PreferredTableDef == Table) PreferredTableDef = nullptr;
}

TQBJoinDefs::~TQBJoinDefs() { Clear(); }

std::unique_ptr<TCollectionItem> TQBJoinDefs::CreateItem() { return std::make_unique<TQBJoinDef>(); }

void TQBJoinDefs::BindAll() {
    for (int i = 0; i < Count(); ++i) Items(i)->Bind();
}

TQBJoinDef* TQBJoinDefs::FindJoin(const std::string& LeftTable, const std::string& LeftField,
                                  const std::string& RightTable, const std::string& RightField) const {
    for (int i = 0; i < Count(); ++i) {
        TQBJoinDef* join = Items(i);
        if (SameName(join->LeftTable, LeftTable) && SameName(join->LeftField, LeftField) &&
            SameName(join->RightTable, RightTable) && SameName(join->RightField, RightField))
            return join;
    }
    return nullptr;
}
