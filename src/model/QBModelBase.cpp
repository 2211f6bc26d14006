// The parser link of the model's base classes and the dialect services built on it.
#include "model/QBModelBase.h"
#include "model/QBModelCast.h"

#include "lexer/QBScanner.h"
#include "parser/QBParser.h"
#include "resources/QBResource.h"
#include "toolkit/Exceptions.h"
#include "toolkit/TextCompare.h"

std::string FormatAliasFor(const TQBSelectParser* Parser, const std::string& Text) {
    if (Parser && Parser->GetScanner() && Parser->GetScanner()->QuoteAliases())
        return Parser->GetScanner()->QuoteName(Text);
    return Text;
}

// --- TQBCollectionItem ---

TQBCollection* TQBCollectionItem::FindQBCollection() const {
    // An item stays in one collection from its insertion to its deletion: the cast is done
    // once per collection. The collection's destructor drops the answer for what is left.
    const TCollection* collection = GetCollection();
    FCastTo = ModelCast<TQBCollection>(const_cast<TCollection*>(collection));
    FCastFrom = collection;
    return FCastTo;
}

std::string TQBCollectionItem::QuoteName(const std::string& Name) const {
    if (const TQBCollection* collection = GetQBCollection()) return collection->QuoteName(Name);
    return Name;
}

bool TQBCollectionItem::SameName(const std::string& A, const std::string& B) const {
    if (const TQBCollection* collection = GetQBCollection()) return collection->SameName(A, B);
    return A == B;
}

std::string TQBCollectionItem::FormatFunctionName(const std::string& Name) const {
    const TQBSelectParser* parser = GetParser();
    return parser ? parser->FormatFunctionName(Name) : Name;
}

std::string TQBCollectionItem::FormatKeyword(const std::string& Text) const {
    const TQBSelectParser* parser = GetParser();
    return parser ? parser->FormatKeyword(Text) : Text;
}

void TQBCollectionItem::Assign(const TCollectionItem& Source) {
    const auto* source = ModelCast<const TQBCollectionItem>(&Source);
    if (!source) throw EQBException(QBResource::SCannotAssign);
    Parser = source->GetParser();
}

void TQBCollectionItem::AfterInsertion() {
    // Unless the collection said what it is, found afresh: a collection freed since the last
    // answer may have left its address to the one the item has just joined.
    const TQBCollection* collection = FAdopted ? FCastTo : FindQBCollection();
    FAdopted = false;
    if (collection) SetParser(collection->GetParser());
}

// --- TQBCollection ---

TQBCollection::~TQBCollection() {
    // The items still held are freed by the base part, which is no model collection.
    for (int i = 0; i < Count(); ++i)
        if (auto* item = dynamic_cast<TQBCollectionItem*>(GetItem(i))) {
            item->FCastFrom = this;
            item->FCastTo = nullptr;
        }
}

void TQBCollection::Adopt(TCollectionItem& Item) {
    // A model collection holds model items only (SetParser relies on it too).
    auto& item = static_cast<TQBCollectionItem&>(Item);
    item.FCastFrom = this;
    item.FCastTo = this;
    item.FAdopted = true;
}

void TQBCollection::SetParser(TQBSelectParser* P) {
    if (P == Parser) return;
    Parser = P;
    for (int i = 0; i < Count(); ++i) static_cast<TQBCollectionItem*>(GetItem(i))->SetParser(P);
}

bool TQBCollection::SameName(const std::string& A, const std::string& B) const {
    return NameRule().Same(A, B);
}

TQBNameRule TQBCollection::NameRule() const {
    return TQBNameRule(Parser && !Parser->GetCaseSensitiveIdentifiers());
}

std::string TQBCollection::QuoteName(const std::string& Name) const {
    if (Parser && Parser->GetScanner()) return Parser->GetScanner()->QuoteName(Name);
    return Name;
}

std::string TQBCollection::FormatFunctionName(const std::string& Name) const {
    return Parser ? Parser->FormatFunctionName(Name) : Name;
}

std::string TQBCollection::FormatKeyword(const std::string& Text) const {
    return Parser ? Parser->FormatKeyword(Text) : Text;
}

void TQBCollection::Assign(const TCollection& Source) {
    if (&Source == this) return;
    if (const auto* source = ModelCast<const TQBCollection>(&Source)) Parser = source->Parser;
    TCollection::Assign(Source);
}

// --- TQBStringList ---

std::string TQBStringList::FormatAlias(const std::string& Text) const {
    return FormatAliasFor(Parser, Text);
}
