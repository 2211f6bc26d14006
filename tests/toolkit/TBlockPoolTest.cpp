// The recycled block pool: blocks come back by size step, large blocks and other threads'
// blocks are handled, and the pooled classes allocate through it.
#include "toolkit/TBlockPool.h"
#include "toolkit/TCollection.h"

#include <gtest/gtest.h>

#include <cstring>
#include <thread>
#include <vector>

namespace {

TEST(BlockPool, AFreedBlockServesTheNextRequestOfItsSizeStep) {
    if (!BlockPool::Recycles()) GTEST_SKIP() << "the pool stands aside under the address sanitizer";
    void* first = BlockPool::Allocate(40);
    BlockPool::Release(first, 40);
    // 33..48 bytes share one step.
    void* again = BlockPool::Allocate(48);
    EXPECT_EQ(again, first);
    BlockPool::Release(again, 48);
}

TEST(BlockPool, BlocksAreUsableToTheirFullSizeAndApart) {
    struct Case { std::size_t size; };
    for (const Case c : {Case{1}, Case{16}, Case{17}, Case{255}, Case{512}, Case{513}, Case{4096}}) {
        SCOPED_TRACE(c.size);
        std::vector<void*> blocks;
        for (int i = 0; i < 8; ++i) {
            void* block = BlockPool::Allocate(c.size);
            ASSERT_NE(block, nullptr);
            std::memset(block, i, c.size);
            blocks.push_back(block);
        }
        for (std::size_t i = 0; i < blocks.size(); ++i)
            EXPECT_EQ(static_cast<unsigned char*>(blocks[i])[c.size - 1], i);
        for (void* block : blocks) BlockPool::Release(block, c.size);
    }
}

TEST(BlockPool, LargeBlocksAreNotKept) {
    const std::size_t before = BlockPool::CachedBlocks();
    void* block = BlockPool::Allocate(BlockPool::MaxBlockSize + 1);
    BlockPool::Release(block, BlockPool::MaxBlockSize + 1);
    BlockPool::Release(nullptr, 8);
    EXPECT_EQ(BlockPool::CachedBlocks(), before);
}

TEST(BlockPool, TheCacheOfAThreadIsBounded) {
    std::thread worker([] {
        std::vector<void*> blocks;
        for (int i = 0; i < 5000; ++i) blocks.push_back(BlockPool::Allocate(64));
        for (void* block : blocks) BlockPool::Release(block, 64);
        EXPECT_EQ(BlockPool::CachedBlocks() > 0, BlockPool::Recycles());
        EXPECT_LT(BlockPool::CachedBlocks(), 5000u);
    });
    worker.join();
}

TEST(BlockPool, ABlockMayBeFreedOnAnotherThread) {
    void* block = BlockPool::Allocate(96);
    std::thread other([block] { BlockPool::Release(block, 96); });
    other.join();
    // Whatever thread made it, the block is memory of its step: the next one still works.
    void* next = BlockPool::Allocate(96);
    std::memset(next, 0, 96);
    BlockPool::Release(next, 96);
}

class TPlainItem : public TCollectionItem {};
class TPlainItems : public TCollection {
protected:
    std::unique_ptr<TCollectionItem> CreateItem() override { return std::make_unique<TPlainItem>(); }
};

TEST(BlockPool, CollectionItemsComeBackAfterAClear) {
    if (!BlockPool::Recycles()) GTEST_SKIP() << "the pool stands aside under the address sanitizer";
    TPlainItems items;
    std::vector<const void*> first;
    for (int i = 0; i < 3; ++i) first.push_back(items.Add());
    items.Clear();
    // Freed last first, so the first new item takes the first item's block.
    EXPECT_EQ(static_cast<const void*>(items.Add()), first.front());
}

}  // namespace
