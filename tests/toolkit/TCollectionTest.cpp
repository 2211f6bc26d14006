// The toolkit collection: ownership, indices, the clean-up hook and copies.
#include "toolkit/Exceptions.h"
#include "toolkit/TCollection.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

std::vector<std::string> gLog;

class TNamedItem : public TCollectionItem {
public:
    std::string Name;
    void Assign(const TCollectionItem& Source) override {
        if (auto* s = dynamic_cast<const TNamedItem*>(&Source)) Name = s->Name;
        else TCollectionItem::Assign(Source);
    }

protected:
    void BeforeDestruction() override {
        // The item is still in its collection and at its index while it cleans up.
        gLog.push_back(Name + "@" + std::to_string(GetIndex()));
    }
};

class TNamedItems : public TCollection {
public:
    ~TNamedItems() override { Clear(); }
    TNamedItem* AddNamed(const std::string& Name) {
        auto* item = static_cast<TNamedItem*>(Add());
        item->Name = Name;
        return item;
    }
    std::string Names() const {
        std::string s;
        for (int i = 0; i < Count(); ++i) s += ItemAs<TNamedItem>(*this, i)->Name;
        return s;
    }
    bool IndicesConsistent() const {
        for (int i = 0; i < Count(); ++i)
            if (GetItem(i)->GetIndex() != i || GetItem(i)->GetCollection() != this) return false;
        return true;
    }

protected:
    std::unique_ptr<TCollectionItem> CreateItem() override { return std::make_unique<TNamedItem>(); }
};

struct EditCase {
    const char* name;
    void (*edit)(TNamedItems&);
    const char* expected;
};

class CollectionEdits : public ::testing::TestWithParam<EditCase> {};

TEST_P(CollectionEdits, KeepOrderAndIndices) {
    TNamedItems items;
    for (const char* n : {"a", "b", "c", "d"}) items.AddNamed(n);
    GetParam().edit(items);
    EXPECT_EQ(items.Names(), GetParam().expected);
    EXPECT_TRUE(items.IndicesConsistent());
}

INSTANTIATE_TEST_SUITE_P(
    Toolkit, CollectionEdits,
    ::testing::Values(
        EditCase{"insert_front", [](TNamedItems& c) { static_cast<TNamedItem*>(c.Insert(0))->Name = "x"; }, "xabcd"},
        EditCase{"insert_past_end_clamps", [](TNamedItems& c) { static_cast<TNamedItem*>(c.Insert(99))->Name = "x"; }, "abcdx"},
        EditCase{"delete_middle", [](TNamedItems& c) { c.Delete(1); }, "acd"},
        EditCase{"delete_out_of_range_ignored", [](TNamedItems& c) { c.Delete(7); c.Delete(-1); }, "abcd"},
        EditCase{"move_forward", [](TNamedItems& c) { c.Move(0, 2); }, "bcad"},
        EditCase{"move_backward", [](TNamedItems& c) { c.Move(3, 0); }, "dabc"},
        EditCase{"set_index", [](TNamedItems& c) { c.GetItem(1)->SetIndex(3); }, "acdb"},
        EditCase{"clear", [](TNamedItems& c) { c.Clear(); }, ""},
        EditCase{"extract_and_reinsert", [](TNamedItems& c) { c.InsertItem(0, c.Extract(2)); }, "cabd"},
        EditCase{"reinsert_past_end_clamps", [](TNamedItems& c) { c.InsertItem(99, c.Extract(0)); }, "bcda"},
        EditCase{"extract_out_of_range_is_null",
                 [](TNamedItems& c) { EXPECT_EQ(c.Extract(4), nullptr); EXPECT_EQ(c.InsertItem(0, nullptr), nullptr); },
                 "abcd"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Collection, ClearFreesLastFirstWhileItemsAreStillIndexed) {
    gLog.clear();
    {
        TNamedItems items;
        for (const char* n : {"a", "b", "c"}) items.AddNamed(n);
        items.Delete(0);
        EXPECT_EQ(gLog, (std::vector<std::string>{"a@0"}));
        items.Clear();
    }
    EXPECT_EQ(gLog, (std::vector<std::string>{"a@0", "c@1", "b@0"}));
}

TEST(Collection, AssignCopiesItemsAndRefusesForeignItems) {
    TNamedItems source, target;
    source.AddNamed("p");
    source.AddNamed("q");
    target.AddNamed("z");
    target.Assign(source);
    EXPECT_EQ(target.Names(), "pq");
    EXPECT_NE(target.GetItem(0), source.GetItem(0));
    TCollectionItem plain;
    EXPECT_THROW(target.GetItem(0)->Assign(plain), EQBException);
}

TEST(Collection, ExtractedItemIsFreeAndSkipsItsCleanUp) {
    gLog.clear();
    TNamedItems items, other;
    for (const char* n : {"a", "b"}) items.AddNamed(n);
    std::unique_ptr<TCollectionItem> taken = items.Extract(0);
    ASSERT_NE(taken, nullptr);
    EXPECT_EQ(taken->GetCollection(), nullptr);
    EXPECT_EQ(taken->GetIndex(), -1);
    EXPECT_TRUE(gLog.empty());  // moved out, not destroyed
    TCollectionItem* moved = other.InsertItem(0, std::move(taken));
    EXPECT_EQ(moved->GetCollection(), &other);
    EXPECT_EQ(other.Names(), "a");
    EXPECT_EQ(items.Names(), "b");
    EXPECT_TRUE(items.IndicesConsistent());
}

TEST(Collection, OutOfRangeAccessThrows) {
    TNamedItems items;
    EXPECT_THROW(items.GetItem(0), EQBException);
    items.AddNamed("a");
    EXPECT_THROW(items.GetItem(1), EQBException);
    EXPECT_EQ(items.GetItem(0)->GetIndex(), 0);
}

}  // namespace
