// Recycled small memory blocks for the collections and their items. Parsing a statement
// empties the query model and builds it again: a few dozen objects of the same few sizes
// are freed and made anew each time. A per-thread free list per size hands them back in
// a few instructions, where the general allocator takes well over a hundred per pair.
// Blocks may be freed on another thread than the one that made them. Under the address
// sanitizer the pool passes everything to the general allocator, so that it still sees
// every use after free.
#pragma once

#include <cstddef>
#include <new>

namespace BlockPool {

// Blocks up to this size are recycled; larger ones go to the general allocator.
inline constexpr std::size_t MaxBlockSize = 512;

// A block of at least Size bytes, aligned for any ordinary type; throws std::bad_alloc.
void* Allocate(std::size_t Size);
// Gives back a block that Allocate made with the same Size; null is ignored.
void Release(void* Block, std::size_t Size) noexcept;
// Number of free blocks the calling thread holds (for checks).
std::size_t CachedBlocks() noexcept;
// False when the pool passes everything to the general allocator (sanitizer builds).
bool Recycles() noexcept;

}  // namespace BlockPool

// Class-level allocation through the pool. A class deriving from it needs a virtual
// destructor, so that delete through a base pointer passes the size of the whole object.
struct TPooled {
    static void* operator new(std::size_t Size) { return BlockPool::Allocate(Size); }
    static void operator delete(void* Block, std::size_t Size) noexcept {
        BlockPool::Release(Block, Size);
    }
};

// Standard allocator over the pool, for the item lists of the collections.
template <class T>
struct TPoolAllocator {
    using value_type = T;
    TPoolAllocator() noexcept = default;
    template <class U>
    TPoolAllocator(const TPoolAllocator<U>&) noexcept {}
    T* allocate(std::size_t Count) {
        if (Count > static_cast<std::size_t>(-1) / sizeof(T)) throw std::bad_array_new_length();
        return static_cast<T*>(BlockPool::Allocate(Count * sizeof(T)));
    }
    void deallocate(T* Block, std::size_t Count) noexcept { BlockPool::Release(Block, Count * sizeof(T)); }
    template <class U>
    bool operator==(const TPoolAllocator<U>&) const noexcept { return true; }
};
