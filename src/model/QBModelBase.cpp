// The parser link of the model's base classes and the dialect services built on it.
#include "model/QBModelBase.h"

#include "lexer/QBScanner.h"
#include "resources/QBResource.h"
#include "toolkit/Exceptions.h"

std::string FormatAliasFor(const TQBDialect* Dialect, const std::string& Text) {
    if (Dialect && Dialect->QuotesAliases()) return Dialect->GetScanner()->QuoteName(Text);
    return Text;
}

// --- TQBCollectionItem ---

std::string TQBCollectionItem::QuoteName(const std::string& Name) const {
    if (const TQBCollection* collection = GetQBCollection()) return collection->QuoteName(Name);
    return Name;
}

bool TQBCollectionItem::SameName(const std::string& A, const std::string& B) const {
    if (const TQBCollection* collection = GetQBCollection()) return collection->SameName(A, B);
    return A == B;
}

std::string TQBCollectionItem::FormatFunctionName(const std::string& Name) const {
    const TQBDialect* parser = GetParser();
    return parser ? parser->FormatFunctionName(Name) : Name;
}

std::string TQBCollectionItem::FormatKeyword(const std::string& Text) const {
    const TQBDialect* parser = GetParser();
    return parser ? parser->FormatKeyword(Text) : Text;
}

void TQBCollectionItem::Assign(const TCollectionItem& Source) {
    const auto* source = dynamic_cast<const TQBCollectionItem*>(&Source);
    if (!source) throw EQBException(QBResource::SCannotAssign);
    AssignParser(*source);
}

void TQBCollectionItem::AfterInsertion() { SetParser(GetQBCollection()->GetParser()); }

// --- TQBCollection ---

void TQBCollection::SetParser(TQBStatementRoot* P) {
    if (P == Parser) return;
    Parser = P;
    for (const auto& item : ItemList()) static_cast<TQBCollectionItem*>(item.get())->SetParser(P);
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
    if (const auto* source = dynamic_cast<const TQBCollection*>(&Source)) Parser = source->Parser;
    TCollection::Assign(Source);
}
