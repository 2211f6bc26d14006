// The per-thread free lists behind BlockPool: one list per 16-byte size step, each holding
// a bounded number of blocks, emptied when the thread ends.
#include "toolkit/TBlockPool.h"

#if defined(__SANITIZE_ADDRESS__)
#define KORVEL_POOL_OFF 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define KORVEL_POOL_OFF 1
#endif
#endif

#ifndef KORVEL_POOL_OFF
namespace {

constexpr std::size_t Step = 16;
constexpr std::size_t BinCount = BlockPool::MaxBlockSize / Step;
// Far more than the model of a long statement needs; beyond it blocks go back at once.
constexpr std::size_t MaxCachedPerBin = 1024;

struct TFreeBlock {
    TFreeBlock* Next;
};

// Plain data, so that it stays readable while the thread's other objects are destroyed.
struct TBins {
    TFreeBlock* Head[BinCount];
    std::size_t Count[BinCount];
    bool Open;    // the drain below is set up and the thread is not ending: blocks are kept
    bool Closed;  // the thread is ending: blocks go straight back
};

thread_local TBins bins{};

// Bin of a block size; BinCount or more for sizes that are not recycled (and for 0).
std::size_t BinOf(std::size_t Size) { return (Size - 1) / Step; }

// Frees the thread's cached blocks when the thread ends. Objects made before it was set up
// are destroyed after it and find the pool closed.
struct TDrain {
    ~TDrain() {
        bins.Open = false;
        bins.Closed = true;
        for (std::size_t bin = 0; bin < BinCount; ++bin) {
            while (TFreeBlock* block = bins.Head[bin]) {
                bins.Head[bin] = block->Next;
                ::operator delete(block);
            }
            bins.Count[bin] = 0;
        }
    }
};

void Push(void* Block, std::size_t Bin) {
    auto* block = static_cast<TFreeBlock*>(Block);
    block->Next = bins.Head[Bin];
    bins.Head[Bin] = block;
    ++bins.Count[Bin];
}

// Release's rare cases, out of line so that the common one stays short: the thread's first
// kept block, a full bin, a large block, the thread's end.
[[gnu::noinline]] void ReleaseSlowly(void* Block, std::size_t Size) noexcept {
    if (!Block) return;
    const std::size_t bin = BinOf(Size);
    if (bin < BinCount && !bins.Closed && bins.Count[bin] < MaxCachedPerBin) {
        static thread_local TDrain drain;
        (void)drain;
        bins.Open = true;
        Push(Block, bin);
        return;
    }
    ::operator delete(Block);
}

}  // namespace
#endif

void* BlockPool::Allocate(std::size_t Size) {
#ifndef KORVEL_POOL_OFF
    const std::size_t bin = BinOf(Size);
    if (bin < BinCount) {
        if (TFreeBlock* block = bins.Head[bin]) {
            bins.Head[bin] = block->Next;
            --bins.Count[bin];
            return block;
        }
        // The whole step, so that the block can serve any size of its bin later.
        return ::operator new((bin + 1) * Step);
    }
#endif
    return ::operator new(Size);
}

void BlockPool::Release(void* Block, std::size_t Size) noexcept {
#ifndef KORVEL_POOL_OFF
    const std::size_t bin = BinOf(Size);
    if (Block && bin < BinCount && bins.Open && bins.Count[bin] < MaxCachedPerBin)
        Push(Block, bin);
    else
        ReleaseSlowly(Block, Size);
#else
    (void)Size;
    ::operator delete(Block);
#endif
}

std::size_t BlockPool::CachedBlocks() noexcept {
    std::size_t total = 0;
#ifndef KORVEL_POOL_OFF
    for (std::size_t bin = 0; bin < BinCount; ++bin) total += bins.Count[bin];
#endif
    return total;
}

bool BlockPool::Recycles() noexcept {
#ifndef KORVEL_POOL_OFF
    return true;
#else
    return false;
#endif
}
