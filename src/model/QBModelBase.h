// Base classes of the query model. Every model object is tied to one statement root (the
// parser, as the model sees it), its only source of dialect services: identifier quoting,
// the letter case of keywords and function names, and the rule by which two names are
// equal. A missing link means no dialect: names pass unchanged and compare with letter case.
//
// Model items are made by model collections and only ever inserted into them, so an item's
// collection is a TQBCollection (and a table's a TQBTableDefs, and so on): the typed
// accessors below rely on that instead of testing types at run time.
#pragma once

#include "model/QBStatementRoot.h"
#include "toolkit/TCollection.h"
#include "toolkit/TextCompare.h"

#include <string>
#include <string_view>

class TQBCollection;

class TQBCollectionItem : public TCollectionItem {
public:
    // The item's own parser, else its collection's, else null.
    virtual TQBStatementRoot* GetParser() const;
    virtual void SetParser(TQBStatementRoot* P) { Parser = P; }
    // Name quoted by the collection's dialect; unchanged for a free item.
    virtual std::string QuoteName(const std::string& Name) const;
    // Name equality by the collection's rule; exact for a free item.
    virtual bool SameName(const std::string& A, const std::string& B) const;

    // Function name / keyword in the script format's letter case (unchanged without parser).
    std::string FormatFunctionName(const std::string& Name) const;
    std::string FormatKeyword(const std::string& Text) const;

    // Takes Source's parser; any source that is not a model item is refused.
    void Assign(const TCollectionItem& Source) override;

    // The owning collection, or null for a free item.
    TQBCollection* GetQBCollection() const;

protected:
    // What Assign copies of every model item: the source's parser.
    void AssignParser(const TQBCollectionItem& Source) { Parser = Source.GetParser(); }
    void AfterInsertion() override;

    TQBStatementRoot* Parser = nullptr;
};

// The rule by which a collection finds two names equal, taken once for a run of comparisons
// so that a search does not ask the parser again for every item.
class TQBNameRule {
public:
    explicit TQBNameRule(bool IgnoreCase) : FIgnoreCase(IgnoreCase) {}
    // Equal with letter case, or ignoring it (ASCII letters); names of other lengths never are.
    bool Same(std::string_view A, std::string_view B) const {
        if (A.size() != B.size()) return false;
        if (A.empty()) return true;
        // Bytes equal but for letter case differ at most in bit 0x20: a cheap first test.
        if (((A[0] ^ B[0]) & ~0x20) != 0) return false;
        return FIgnoreCase ? SameText(A, B) : A == B;
    }

private:
    bool FIgnoreCase;
};

class TQBCollection : public TCollection {
public:
    TQBStatementRoot* GetParser() const { return Parser; }
    // Binds the collection and, when the parser changes, every item in index order.
    virtual void SetParser(TQBStatementRoot* P);
    // Equal with letter case when there is no parser or it is case sensitive; else ignoring it.
    virtual bool SameName(const std::string& A, const std::string& B) const;
    // The rule of the base SameName as it stands now.
    TQBNameRule NameRule() const;
    // The parser scanner's quoting of a possibly dotted name; unchanged without a parser.
    std::string QuoteName(const std::string& Name) const;
    std::string FormatFunctionName(const std::string& Name) const;
    std::string FormatKeyword(const std::string& Text) const;

    // Takes Source's parser when Source is a model collection, then copies its items.
    void Assign(const TCollection& Source) override;

protected:
    // The copy of Assign between two collections of one class: Source's parser, then a copy
    // of each item made by the typed Assign of the item class.
    template <class TList>
    static void CopyList(TList& Target, const TList& Source);

    TQBStatementRoot* Parser = nullptr;
};

inline TQBCollection* TQBCollectionItem::GetQBCollection() const {
    return static_cast<TQBCollection*>(GetCollection());
}

inline TQBStatementRoot* TQBCollectionItem::GetParser() const {
    if (Parser) return Parser;
    const TQBCollection* collection = GetQBCollection();
    return collection ? collection->GetParser() : nullptr;
}

template <class TList>
void TQBCollection::CopyList(TList& Target, const TList& Source) {
    if (&Source == &Target) return;
    Target.Parser = Source.Parser;
    Target.BeginUpdate();
    try {
        Target.Clear();
        for (int i = 0; i < Source.Count(); ++i) Target.Add()->Assign(*Source.Items(i));
    } catch (...) {
        Target.EndUpdate();
        throw;
    }
    Target.EndUpdate();
}

// Alias formatting shared by the model: QuoteName when the dialect's scanner quotes aliases.
std::string FormatAliasFor(const TQBDialect* Dialect, const std::string& Text);
