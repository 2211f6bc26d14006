// Owned, ordered collections of items that know their collection and their index.
// The query model, the operator table and the diagram's lists are built on these two classes.
// A collection owns its items through std::unique_ptr; an item keeps a raw back-link only.
// Both are made from recycled blocks: a model is emptied and built again for every parse.
#pragma once

#include "toolkit/TBlockPool.h"

#include <memory>
#include <span>
#include <vector>

class TCollection;

class TCollectionItem : public TPooled {
public:
    TCollectionItem() = default;
    TCollectionItem(const TCollectionItem&) = delete;
    TCollectionItem& operator=(const TCollectionItem&) = delete;
    virtual ~TCollectionItem() = default;

    // The owning collection, or null for a free item.
    TCollection* GetCollection() const { return FCollection; }
    // Position in the owning collection; -1 for a free item.
    int GetIndex() const;
    // Moves the item to Index inside its collection (clamped); nothing for a free item.
    void SetIndex(int Index);

    // Copies the state of Source; the base refuses every source with EQBException.
    virtual void Assign(const TCollectionItem& Source);

protected:
    // Called while the item is still in its collection, right before the collection frees
    // it: the place for clean-up that needs the item's neighbours.
    virtual void BeforeDestruction() {}
    // Called right after the item has been added to or inserted into a collection.
    virtual void AfterInsertion() {}

private:
    friend class TCollection;
    TCollection* FCollection = nullptr;
    int FIndex = -1;
};

// The Assign of an item class T from any item: a Source that is a T goes to T's own typed
// Assign, any other to the Assign of T's base TBase (which refuses what it cannot take).
template <typename T, typename TBase>
void AssignTyped(T& Self, const TCollectionItem& Source) {
    if (const auto* source = dynamic_cast<const T*>(&Source))
        Self.Assign(*source);
    else
        Self.TBase::Assign(Source);
}

class TCollection : public TPooled {
public:
    TCollection() = default;
    TCollection(const TCollection&) = delete;
    TCollection& operator=(const TCollection&) = delete;
    // Derived collections whose items' clean-up calls back into them must Clear first.
    virtual ~TCollection();

    int Count() const { return static_cast<int>(FItems.size()); }
    // The item at Index; throws EQBException when Index is out of range.
    TCollectionItem* GetItem(int Index) const {
        if (Index < 0 || Index >= Count()) ThrowIndexError(Index);
        return FItems[static_cast<std::size_t>(Index)].get();
    }
    // The items in order, for scans that run over them all; valid until the next change.
    std::span<const std::unique_ptr<TCollectionItem>> ItemList() const { return FItems; }
    // Appends a new item of the collection's item class and returns it.
    TCollectionItem* Add();
    // Inserts a new item at Index (clamped to 0..Count) and returns it.
    TCollectionItem* Insert(int Index);
    // Frees the item at Index after its clean-up has run; out of range is ignored.
    void Delete(int Index);
    // Takes the item at Index out of the collection without freeing it or running its
    // clean-up; null when out of range. The item is free afterwards.
    std::unique_ptr<TCollectionItem> Extract(int Index);
    // Inserts a free Item of the collection's item class at Index (clamped) as if it had
    // been made there; returns it.
    TCollectionItem* InsertItem(int Index, std::unique_ptr<TCollectionItem> Item);
    // Frees every item, last first, inside an update bracket.
    void Clear();
    // Position of Item, or -1.
    int IndexOf(const TCollectionItem* Item) const;
    // Moves the item at FromIndex to ToIndex.
    void Move(int FromIndex, int ToIndex);

    virtual void BeginUpdate() { ++FUpdateCount; }
    virtual void EndUpdate() { if (FUpdateCount > 0) --FUpdateCount; }
    int UpdateCount() const { return FUpdateCount; }

    // Replaces the content by copies of Source's items (BeginUpdate, Clear, Add + Assign
    // for each, EndUpdate).
    virtual void Assign(const TCollection& Source);

protected:
    // Makes a free item of the collection's item class.
    virtual std::unique_ptr<TCollectionItem> CreateItem() = 0;
    // Called for an item that has just joined, before its AfterInsertion: lets a derived
    // collection tell the item what it is without the item having to find out.
    virtual void Adopt(TCollectionItem& /*Item*/) {}

private:
    void Renumber(int From);
    // Takes the item at Index out of the list and gives it up to the caller, free.
    std::unique_ptr<TCollectionItem> Release(int Index);
    [[noreturn]] static void ThrowIndexError(int Index);

    std::vector<std::unique_ptr<TCollectionItem>, TPoolAllocator<std::unique_ptr<TCollectionItem>>> FItems;
    int FUpdateCount = 0;
};

// Typed access for a collection whose items are all of class T.
template <class T>
T* ItemAs(const TCollection& Collection, int Index) {
    return static_cast<T*>(Collection.GetItem(Index));
}
