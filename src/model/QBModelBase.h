// Base classes of the query model. Every model object is tied to one TQBSelectParser,
// its only source of dialect services: identifier quoting, the letter case of keywords and
// function names, and the rule by which two names are equal. A missing parser means no
// dialect: names pass unchanged and compare with letter case.
#pragma once

#include "toolkit/TCollection.h"
#include "toolkit/TStringList.h"
#include "toolkit/TextCompare.h"

#include <string>
#include <string_view>

class TQBSelectParser;
class TQBCollection;

class TQBCollectionItem : public TCollectionItem {
public:
    // The item's own parser, else its collection's, else null.
    virtual TQBSelectParser* GetParser() const;
    virtual void SetParser(TQBSelectParser* P) { Parser = P; }
    // Name quoted by the collection's dialect; unchanged for a free item.
    virtual std::string QuoteName(const std::string& Name) const;
    // Name equality by the collection's rule; exact for a free item.
    virtual bool SameName(const std::string& A, const std::string& B) const;

    // Function name / keyword in the script format's letter case (unchanged without parser).
    std::string FormatFunctionName(const std::string& Name) const;
    std::string FormatKeyword(const std::string& Text) const;

    // Takes Source's parser; any source that is not a model item is refused.
    void Assign(const TCollectionItem& Source) override;

    // The owning collection when it is a model collection.
    TQBCollection* GetQBCollection() const {
        return GetCollection() == FCastFrom ? FCastTo : FindQBCollection();
    }

protected:
    TQBSelectParser* Parser = nullptr;
    void AfterInsertion() override;

private:
    friend class TQBCollection;
    // GetQBCollection for a collection other than the one asked about last.
    TQBCollection* FindQBCollection() const;
    // GetQBCollection's last answer and the collection it was found for.
    mutable const TCollection* FCastFrom = nullptr;
    mutable TQBCollection* FCastTo = nullptr;
    // Set by the model collection that has just taken the item in and filled the answer
    // above; AfterInsertion trusts it once instead of casting again.
    bool FAdopted = false;
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
    TQBCollection() = default;
    ~TQBCollection() override;
    TQBSelectParser* GetParser() const { return Parser; }
    // Binds the collection and, when the parser changes, every item in index order.
    virtual void SetParser(TQBSelectParser* P);
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
    // Tells the item it is in a model collection: no cast needed to find that out.
    void Adopt(TCollectionItem& Item) override;

    TQBSelectParser* Parser = nullptr;
};

// Inline, so that a call whose item class is known needs no trip out of line.
inline TQBSelectParser* TQBCollectionItem::GetParser() const {
    if (Parser) return Parser;
    const TQBCollection* collection = GetQBCollection();
    return collection ? collection->GetParser() : nullptr;
}

class TQBStringList : public TStringList {
public:
    explicit TQBStringList(TQBSelectParser* AParser) : Parser(AParser) {}
    virtual ~TQBStringList() = default;
    TQBSelectParser* GetParser() const { return Parser; }
    // Text through the scanner's QuoteName when the dialect quotes aliases; else unchanged.
    std::string FormatAlias(const std::string& Text) const;

protected:
    TQBSelectParser* Parser = nullptr;
};

// Alias formatting shared by the model: QuoteName when the parser's scanner quotes aliases.
std::string FormatAliasFor(const TQBSelectParser* Parser, const std::string& Text);
