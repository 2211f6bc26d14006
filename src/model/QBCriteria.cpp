// Criteria, criterion groups and the operator table: the SQL of WHERE and HAVING.
#include "model/QBCriteria.h"

#include "lexer/QBScanner.h"
#include "lexer/QBUtils.h"
#include "model/QBOrderItems.h"
#include "model/QBSQLText.h"
#include "resources/QBResource.h"
#include "toolkit/Exceptions.h"
#include "toolkit/TextCompare.h"

const char* GroupKindCaption(int Kind) {
    switch (Kind) {
    case gkAll: return QBResource::SGroupAll;
    case gkAny: return QBResource::SGroupAny;
    case gkNone: return QBResource::SGroupNone;
    case gkNotAll: return QBResource::SGroupNotAll;
    case gkNot: return QBResource::SGroupNot;
    default: return "";
    }
}

// --- TQBCriterion ---

TQBCriterion::TQBCriterion() = default;

TQBCriterion::~TQBCriterion() = default;

TQBCriterions& TQBCriterion::SubCriteria() {
    if (!FSubCriteria) {
        FSubCriteria = std::make_unique<TQBCriterions>(this);
        // The group takes the criterion's own parser, as SetParser would have given it.
        FSubCriteria->SetParser(Parser);
    }
    return *FSubCriteria;
}

const TQBCriterions& TQBCriterion::SubCriteria() const {
    static const TQBCriterions none;
    return FSubCriteria ? *FSubCriteria : none;
}

int TQBCriterion::SubCriteriaCount() const { return FSubCriteria ? FSubCriteria->Count() : 0; }

void TQBCriterion::SetParser(TQBStatementRoot* P) {
    TQBCollectionItem::SetParser(P);
    FExpression.SetParser(P);
    FOperands.SetParser(P);
    if (FSubCriteria) FSubCriteria->SetParser(P);
    const TQBOperators* operators = P ? P->GetOperators() : nullptr;
    if (operators && operators->Count() > 0 && !operators->FindByCaption(OperatorCaption))
        OperatorCaption = operators->Items(0)->Caption;
}

void TQBCriterion::Assign(const TCollectionItem& Source) { AssignTyped<TQBCriterion, TQBCollectionItem>(*this, Source); }

void TQBCriterion::Assign(const TQBCriterion& Source) {
    AssignParser(Source);
    if (&Source == this) return;
    FExpression.Assign(Source.FExpression);
    OperatorCaption = Source.OperatorCaption;
    FOperands.Assign(Source.FOperands);
    if (Source.FSubCriteria)
        SubCriteria().Assign(*Source.FSubCriteria);
    else if (FSubCriteria)
        FSubCriteria->Clear();
    ParseMark = Source.ParseMark;
}

std::string TQBCriterion::QuoteName(const std::string& Text) const {
    std::string quoted;
    AppendQuoted(quoted, Text);
    return quoted;
}

void TQBCriterion::AppendQuoted(std::string& Out, const std::string& Text) const {
    const TQBSQLScanner* names = CollectionScanner(*this);
    const TQBDialect* parser = GetParser();
    // Without a point there is no qualifier: the name is quoted whole either way.
    if (!parser || !parser->GetScanner() || Text.find('.') == std::string::npos) {
        AppendQuotedName(Out, names, Text);
        return;
    }
    const char open = parser->GetScanner()->IdentQuoteChar();
    const char close = parser->GetScanner()->ClosingQuote(open);
    const TQBNameParts parts = SplitQualifiedName(Text, open, close);
    const bool hasQualifier = !IsBlankText(parts.Qualifier);
    const bool hasLast = !IsBlankText(parts.Last);
    if (hasQualifier && hasLast) {
        AppendQuotedName(Out, names, parts.Qualifier);
        Out += '.';
        AppendQuotedName(Out, names, parts.Last);
    } else {
        AppendQuotedName(Out, names, hasQualifier ? parts.Qualifier : hasLast ? parts.Last : Text);
    }
}

void TQBCriterion::AppendOperand(std::string& Out, const TQBFunctionDef& Operand) const {
    if (Operand.Kind == fkField && Operand.ArgumentCount() == 0)
        AppendQuoted(Out, Operand.Name);
    else
        Operand.AppendSQL(Out);
}

std::string TQBCriterion::GetSQL() const {
    std::string sql;
    AppendSQL(sql);
    return sql;
}

void TQBCriterion::AppendSQL(std::string& Out) const {
    if (SubCriteriaCount() > 0) {
        FSubCriteria->AppendSQL(Out);
        return;
    }
    const TQBCollection* group = GetGroup();
    const TQBDialect* parser = group ? group->GetParser() : nullptr;
    const TQBOperators* operators = parser ? parser->GetOperators() : nullptr;
    const TQBOperator* op = operators ? operators->FindByCaption(OperatorCaption) : nullptr;
    const TQBDialect* format = GetParser();

    AppendOperand(Out, FExpression);
    const std::size_t afterLeft = Out.size();
    Out += ' ';
    static const std::string none;
    AppendKeyword(Out, format, !operators ? none : op ? op->Name : OperatorCaption);
    const std::size_t afterOperator = Out.size();
    Out += ' ';
    const std::size_t operands = Out.size();
    if (!operators) {
        FOperands.AppendSQL(Out);
    } else if (op) {
        const int count = FOperands.Count();
        if (!op->Prefix.empty()) Out += op->Prefix;
        if (op->CommaList) {
            for (int i = 0; i < count; ++i) {
                if (i > 0) Out += ',';
                AppendOperand(Out, *FOperands.Items(i));
            }
        } else {
            for (int i = 0; i < op->Count; ++i) {
                if (i < count)
                    AppendOperand(Out, *FOperands.Items(i));
                else
                    Out += ' ';
                if (i < count - 1) {
                    Out += ' ';
                    AppendKeyword(Out, format, op->Relate);
                    Out += ' ';
                }
            }
        }
        if (!op->Postfix.empty()) Out += op->Postfix;
    }
    // Blank operands are left out; a one-operand operator then goes too.
    if (IsBlankText(std::string_view(Out).substr(operands)))
        Out.resize(op && op->Count == 1 ? afterLeft : afterOperator);
}

// --- TQBCriterions ---

TQBCriterions::~TQBCriterions() { Clear(); }

std::unique_ptr<TCollectionItem> TQBCriterions::CreateItem() { return std::make_unique<TQBCriterion>(); }

void TQBCriterions::Assign(const TCollection& Source) {
    if (const auto* source = dynamic_cast<const TQBCriterions*>(&Source))
        Assign(*source);
    else
        TQBCollection::Assign(Source);
}

void TQBCriterions::Assign(const TQBCriterions& Source) {
    if (&Source == this) return;
    GroupKind = Source.GroupKind;
    CopyList(*this, Source);
}

std::string TQBCriterions::GetSQL() const {
    std::string sql;
    AppendSQL(sql);
    return sql;
}

void TQBCriterions::AppendSQL(std::string& Out) const {
    const bool bracketAll = !Parser || Parser->GetScriptFormat().AlwaysBracketConditions;
    const bool orGroup = GroupKind == gkAny || GroupKind == gkNone;
    const std::string_view joinPhrase = orGroup ? " OR \r\n  " : " AND \r\n  ";
    const std::size_t start = Out.size();
    for (int i = 0; i < Count(); ++i) {
        const TQBCriterion* item = Items(i);
        const std::size_t mark = Out.size();
        if (mark != start) AppendKeywordPhrase(Out, Parser, joinPhrase);
        const bool bracket = bracketAll || (item->SubCriteriaCount() >= 2 &&
                                            item->SubCriteria().GroupKind == gkAny);
        if (bracket) Out += '(';
        const std::size_t text = Out.size();
        item->AppendSQL(Out);
        if (Out.size() == text) {
            Out.resize(mark);  // an item without text is left out
            continue;
        }
        if (bracket) Out += ')';
    }
    if (Out.size() == start) return;
    if (GroupKind == gkNone || GroupKind == gkNotAll || GroupKind == gkNot) {
        std::string prefix;
        AppendKeyword(prefix, Parser, "NOT");
        prefix += Count() < 2 ? " " : " (";
        Out.insert(start, prefix);
        if (Count() >= 2) Out += ')';
    }
    if (!OwnerCriterion) Out += "\r\n";
}

void TQBCriterions::AppendClause(std::string& Out, const char* Keyword) const {
    const std::size_t start = Out.size();
    AppendKeyword(Out, Parser, Keyword);
    Out += "\r\n  ";
    const std::size_t text = Out.size();
    TQBCriterions::AppendSQL(Out);
    if (Out.size() == text) Out.resize(start);
}

void TQBWhereItems::AppendSQL(std::string& Out) const { AppendClause(Out, "WHERE"); }

void TQBHavingItems::AppendSQL(std::string& Out) const {
    if (!Parser || !Parser->GetGroupByItems() || Parser->GetGroupByItems()->Count() == 0) return;
    AppendClause(Out, "HAVING");
}

// --- TQBOperator, TQBOperators ---

void TQBOperator::Assign(const TCollectionItem& Source) { AssignTyped<TQBOperator, TCollectionItem>(*this, Source); }

void TQBOperator::Assign(const TQBOperator& Source) {
    Count = Source.Count;
    Prefix = Source.Prefix;
    Relate = Source.Relate;
    Caption = Source.Caption;
    Name = Source.Name;
    Postfix = Source.Postfix;
    CommaList = Source.CommaList;
}

std::unique_ptr<TCollectionItem> TQBOperators::CreateItem() { return std::make_unique<TQBOperator>(); }

TQBOperator* TQBOperators::AddOperator(const std::string& Text, int Count, const std::string& Relate,
                                       const std::string& Prefix, const std::string& Postfix,
                                       bool CommaList) {
    TQBOperator* op = Add();
    op->Caption = Text;
    op->Name = Text;
    op->Count = Count;
    op->Relate = Relate;
    op->Prefix = Prefix;
    op->Postfix = Postfix;
    op->CommaList = CommaList;
    return op;
}

TQBOperator* TQBOperators::FindByCaption(const std::string& Text) const {
    // Asked for every new criterion: lengths first, most captions differ in length.
    for (const auto& item : ItemList()) {
        auto* op = static_cast<TQBOperator*>(item.get());
        if (op->Caption.size() == Text.size() && SameText(op->Caption, Text)) return op;
    }
    return nullptr;
}

TQBOperator* TQBOperators::FindByName(const std::string& Text) const {
    for (int i = 0; i < Count(); ++i)
        if (SameText(Items(i)->Name, Text)) return Items(i);
    return nullptr;
}

TQBOperator* TQBOperators::FindStartingWith(const std::string& Text, bool& Partial) const {
    Partial = false;
    if (Text.empty()) return nullptr;
    const auto startsWith = [&Text](const std::string& name) {
        return name.size() >= Text.size() && SameText(std::string_view(name).substr(0, Text.size()), Text);
    };
    TQBOperator* first = nullptr;
    for (int i = 0; i < Count(); ++i) {
        TQBOperator* op = Items(i);
        if (!startsWith(op->Name)) continue;
        if (SameText(op->Name, Text)) return op;
        if (!first) first = op;
    }
    if (first) Partial = !SameText(Text, first->Caption);
    return first;
}
