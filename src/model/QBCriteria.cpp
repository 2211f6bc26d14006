// Criteria, criterion groups and the operator table: the SQL of WHERE and HAVING.
#include "model/QBCriteria.h"
#include "model/QBModelCast.h"

#include "lexer/QBScanner.h"
#include "lexer/QBUtils.h"
#include "model/QBOrderItems.h"
#include "parser/QBParser.h"
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

TQBCriterion::TQBCriterion() : FOperands(std::make_unique<TQBFunctionDefs>(this)) {}

TQBCriterion::~TQBCriterion() = default;

void TQBCriterion::MakeSubCriteria() const {
    FSubCriteria = std::make_unique<TQBCriterions>(const_cast<TQBCriterion*>(this));
    // The group takes the criterion's own parser, as SetParser would have given it.
    FSubCriteria->SetParser(Parser);
}

int TQBCriterion::SubCriteriaCount() const { return FSubCriteria ? FSubCriteria->Count() : 0; }

void TQBCriterion::SetParser(TQBSelectParser* P) {
    TQBCollectionItem::SetParser(P);
    FExpression.SetParser(P);
    FOperands->SetParser(P);
    if (FSubCriteria) FSubCriteria->SetParser(P);
    const TQBOperators* operators = P ? P->GetOperators() : nullptr;
    if (operators && operators->Count() > 0 && !operators->FindByCaption(OperatorCaption))
        OperatorCaption = operators->Items(0)->Caption;
}

void TQBCriterion::Assign(const TCollectionItem& Source) {
    TQBCollectionItem::Assign(Source);
    const auto* source = ModelCast<const TQBCriterion>(&Source);
    if (!source || source == this) return;
    FExpression.Assign(source->FExpression);
    OperatorCaption = source->OperatorCaption;
    FOperands->Assign(*source->FOperands);
    if (source->FSubCriteria)
        SubCriteria().Assign(*source->FSubCriteria);
    else if (FSubCriteria)
        FSubCriteria->Clear();
    ParseMark = source->ParseMark;
}

std::string TQBCriterion::QuoteName(const std::string& Text) const {
    const TQBSelectParser* parser = GetParser();
    if (!parser || !parser->GetScanner()) return TQBCollectionItem::QuoteName(Text);
    const char open = parser->GetScanner()->IdentQuoteChar();
    const char close = parser->GetScanner()->ClosingQuote(open);
    const std::string qualifier = ExtractQualifier(Text, open, close);
    const std::string last = ExtractLastName(Text, open, close);
    const bool hasQualifier = !Trim(qualifier).empty();
    const bool hasLast = !Trim(last).empty();
    if (hasQualifier && hasLast)
        return TQBCollectionItem::QuoteName(qualifier) + "." + TQBCollectionItem::QuoteName(last);
    if (hasQualifier) return TQBCollectionItem::QuoteName(qualifier);
    if (hasLast) return TQBCollectionItem::QuoteName(last);
    return TQBCollectionItem::QuoteName(Text);
}

std::string TQBCriterion::OperandSQL(const TQBFunctionDef& Operand) const {
    if (Operand.Kind == fkField && Operand.ArgumentCount() == 0) return QuoteName(Operand.Name);
    return Operand.GetSQL();
}

std::string TQBCriterion::GetSQL() const {
    const TQBCollection* group = GetQBCollection();
    const TQBSelectParser* parser = group ? group->GetParser() : nullptr;
    const TQBOperators* operators = parser ? parser->GetOperators() : nullptr;
    const TQBOperator* op = nullptr;
    std::string operands;
    std::string operatorText;
    if (!operators) {
        operands = FOperands->GetSQL();
    } else if (op = operators->FindByCaption(OperatorCaption); !op) {
        operatorText = OperatorCaption;
    } else {
        operatorText = op->Name;
        const int count = FOperands->Count();
        std::string text;
        if (op->CommaList) {
            for (int i = 0; i < count; ++i) {
                if (i > 0) text += ",";
                text += OperandSQL(*FOperands->Items(i));
            }
        } else {
            for (int i = 0; i < op->Count; ++i) {
                text += i < count ? OperandSQL(*FOperands->Items(i)) : std::string(" ");
                if (i < count - 1) text += " " + FormatKeyword(op->Relate) + " ";
            }
        }
        operands = op->Prefix + text + op->Postfix;
    }
    if (SubCriteriaCount() > 0) return FSubCriteria->GetSQL();
    const std::string left = FExpression.Kind == fkField && FExpression.ArgumentCount() == 0
                                 ? QuoteName(FExpression.Name)
                                 : FExpression.GetSQL();
    if (!Trim(operands).empty()) return left + " " + FormatKeyword(operatorText) + " " + operands;
    if (op && op->Count == 1) return left;
    return left + " " + FormatKeyword(operatorText);
}

// --- TQBCriterions ---

TQBCriterions::~TQBCriterions() { Clear(); }

std::unique_ptr<TCollectionItem> TQBCriterions::CreateItem() { return std::make_unique<TQBCriterion>(); }

void TQBCriterions::Assign(const TCollection& Source) {
    if (&Source == this) return;
    if (const auto* source = ModelCast<const TQBCriterions>(&Source)) GroupKind = source->GroupKind;
    TQBCollection::Assign(Source);
}

std::string TQBCriterions::GetSQL() const {
    const bool bracketAll = !Parser || Parser->GetScriptFormat().AlwaysBracketConditions;
    const char* joinWord = GroupKind == gkAny || GroupKind == gkNone ? "OR" : "AND";
    std::string result;
    for (int i = 0; i < Count(); ++i) {
        const TQBCriterion* item = Items(i);
        const std::string sql = item->GetSQL();
        if (sql.empty()) continue;
        if (!result.empty()) result += " " + FormatKeyword(joinWord) + " \r\n  ";
        const bool anyGroup =
            item->SubCriteriaCount() >= 2 && item->SubCriteria().GroupKind == gkAny;
        result += bracketAll || anyGroup ? "(" + sql + ")" : sql;
    }
    if (!result.empty() && (GroupKind == gkNone || GroupKind == gkNotAll || GroupKind == gkNot)) {
        const std::string prefix = FormatKeyword("NOT");
        result = Count() < 2 ? prefix + " " + result : prefix + " (" + result + ")";
    }
    if (!result.empty() && !OwnerCriterion) result += "\r\n";
    return result;
}

std::string TQBWhereItems::GetSQL() const {
    const std::string text = TQBCriterions::GetSQL();
    return text.empty() ? text : FormatKeyword("WHERE") + "\r\n  " + text;
}

std::string TQBHavingItems::GetSQL() const {
    if (!Parser || !Parser->GetGroupByItems() || Parser->GetGroupByItems()->Count() == 0) return {};
    const std::string text = TQBCriterions::GetSQL();
    return text.empty() ? text : FormatKeyword("HAVING") + "\r\n  " + text;
}

// --- TQBOperator, TQBOperators ---

void TQBOperator::Assign(const TCollectionItem& Source) {
    const auto* source = ModelCast<const TQBOperator>(&Source);
    if (!source) return TCollectionItem::Assign(Source);
    Count = source->Count;
    Prefix = source->Prefix;
    Relate = source->Relate;
    Caption = source->Caption;
    Name = source->Name;
    Postfix = source->Postfix;
    CommaList = source->CommaList;
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
    for (int i = 0; i < Count(); ++i)
        if (SameText(Items(i)->Caption, Text)) return Items(i);
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
