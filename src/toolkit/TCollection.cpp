// Owned, ordered collections: insertion, removal with clean-up hooks, moves and copies.
#include "toolkit/TCollection.h"

#include "resources/QBResource.h"
#include "toolkit/Exceptions.h"

#include <algorithm>

int TCollectionItem::GetIndex() const { return FCollection ? FIndex : -1; }

void TCollectionItem::SetIndex(int Index) {
    if (FCollection && Index != FIndex) FCollection->Move(FIndex, Index);
}

void TCollectionItem::Assign(const TCollectionItem&) {
    throw EQBException(QBResource::SCannotAssign);
}

TCollection::~TCollection() {
    // Items freed here see only this base part of the collection.
    Clear();
}

void TCollection::ThrowIndexError(int Index) {
    throw EQBException(FormatMessage(QBResource::SListIndexError, std::to_string(Index)));
}

TCollectionItem* TCollection::Add() { return Insert(Count()); }

TCollectionItem* TCollection::Insert(int Index) { return InsertItem(Index, CreateItem()); }

std::unique_ptr<TCollectionItem> TCollection::Extract(int Index) {
    if (Index < 0 || Index >= Count()) return nullptr;
    return Release(Index);
}

std::unique_ptr<TCollectionItem> TCollection::Release(int Index) {
    std::unique_ptr<TCollectionItem> owned;
    if (Index == Count() - 1) {
        // The last item: nothing behind it to move or renumber.
        owned = std::move(FItems.back());
        FItems.pop_back();
    } else {
        owned = std::move(FItems[static_cast<std::size_t>(Index)]);
        FItems.erase(FItems.begin() + Index);
        Renumber(Index);
    }
    owned->FCollection = nullptr;
    owned->FIndex = -1;
    return owned;
}

TCollectionItem* TCollection::InsertItem(int Index, std::unique_ptr<TCollectionItem> Item) {
    if (!Item) return nullptr;
    Index = std::clamp(Index, 0, Count());
    TCollectionItem* raw = Item.get();
    raw->FCollection = this;
    // Most lists hold a few items: start with room for four instead of growing 1, 2, 4.
    if (FItems.capacity() == 0) FItems.reserve(4);
    if (Index == Count()) {
        FItems.push_back(std::move(Item));
        raw->FIndex = Index;
    } else {
        FItems.insert(FItems.begin() + Index, std::move(Item));
        Renumber(Index);
    }
    Adopt(*raw);
    raw->AfterInsertion();
    return raw;
}

void TCollection::Delete(int Index) {
    if (Index < 0 || Index >= Count()) return;
    TCollectionItem* item = FItems[static_cast<std::size_t>(Index)].get();
    item->BeforeDestruction();
    // The clean-up may have deleted or moved other items: look the item up again.
    const int at = IndexOf(item);
    if (at >= 0) Release(at);
}

void TCollection::Clear() {
    if (FItems.empty()) return;
    BeginUpdate();
    // Delete(Count() - 1) over and over, without its index checks when the clean-up left
    // the last item where it was (the usual case).
    while (!FItems.empty()) {
        TCollectionItem* item = FItems.back().get();
        item->BeforeDestruction();
        if (!FItems.empty() && FItems.back().get() == item) {
            const std::unique_ptr<TCollectionItem> owned = std::move(FItems.back());
            FItems.pop_back();
            owned->FCollection = nullptr;
            owned->FIndex = -1;
        } else if (const int at = IndexOf(item); at >= 0) {
            Release(at);
        }
    }
    EndUpdate();
}

int TCollection::IndexOf(const TCollectionItem* Item) const {
    if (!Item || Item->FCollection != this) return -1;
    const int index = Item->FIndex;
    if (index >= 0 && index < Count() && FItems[static_cast<std::size_t>(index)].get() == Item)
        return index;
    return -1;
}

void TCollection::Move(int FromIndex, int ToIndex) {
    if (FromIndex < 0 || FromIndex >= Count()) return;
    ToIndex = std::clamp(ToIndex, 0, Count() - 1);
    if (FromIndex == ToIndex) return;
    std::unique_ptr<TCollectionItem> item = std::move(FItems[static_cast<std::size_t>(FromIndex)]);
    FItems.erase(FItems.begin() + FromIndex);
    FItems.insert(FItems.begin() + ToIndex, std::move(item));
    Renumber(std::min(FromIndex, ToIndex));
}

void TCollection::Assign(const TCollection& Source) {
    if (&Source == this) return;
    BeginUpdate();
    try {
        Clear();
        for (const auto& item : Source.FItems) Add()->Assign(*item);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TCollection::Renumber(int From) {
    for (int i = std::max(From, 0); i < Count(); ++i) FItems[static_cast<std::size_t>(i)]->FIndex = i;
}
