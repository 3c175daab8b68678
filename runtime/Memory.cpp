// Small-block allocator: 31 size classes carved from 4096-byte chunks, large blocks from malloc.
#include "runtime/Memory.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/asan_interface.h>
// Blocks on the free lists and the unused part of a chunk are poisoned, so AddressSanitizer reports a
// use of a freed object even though the block never goes back to the C library. A free block's link word
// stays readable: LeakSanitizer does not look into poisoned memory, and the links are what keep chunks
// of free blocks reachable.
#define VANTA_POISON_FREE(block, size)                                                                                 \
    ASAN_POISON_MEMORY_REGION(static_cast<char*>(static_cast<void*>(block)) + sizeof(FreeBlock),                       \
                              static_cast<std::size_t>(size) - sizeof(FreeBlock))
#define VANTA_POISON(block, size) ASAN_POISON_MEMORY_REGION(block, size)
#define VANTA_UNPOISON(block, size) ASAN_UNPOISON_MEMORY_REGION(block, size)
#else
#define VANTA_POISON_FREE(block, size) ((void)(block), (void)(size))
#define VANTA_POISON(block, size) ((void)(block), (void)(size))
#define VANTA_UNPOISON(block, size) ((void)(block), (void)(size))
#endif

namespace vanta {
namespace {

constexpr int SIZE_CLASSES = 31;

struct FreeBlock
{
    FreeBlock* next;
};

// Plain data only, so the allocator works before and after every static constructor and destructor.
struct AllocatorState
{
    FreeBlock* freeLists[SIZE_CLASSES + 1];
    char* chunk;
    std::ptrdiff_t chunkRemaining;
    std::int64_t inUse;
    std::int64_t reserved;
};

constinit AllocatorState state{};

void* SystemAlloc(std::ptrdiff_t size)
{
    void* block = std::malloc(static_cast<std::size_t>(size));
    if (block == nullptr) OutOfMemory(size);
    return block;
}

} // namespace

void OutOfMemory(std::ptrdiff_t size)
{
    std::fprintf(stderr, "VantaMax: out of memory (a request for %td bytes failed)\n", size);
    std::fflush(nullptr);
    std::_Exit(-1);
}

void* MemAlloc(std::ptrdiff_t size)
{
    if (size <= 0) return nullptr;
    if (size > MEM_SMALL_LIMIT) {
        void* block = SystemAlloc(size);
        state.inUse += size;
        state.reserved += size;
        return block;
    }

    const std::ptrdiff_t sizeClass = (size + 7) / 8;
    const std::ptrdiff_t blockSize = sizeClass * 8;
    state.inUse += size;

    if (FreeBlock* head = state.freeLists[sizeClass]) {
        VANTA_UNPOISON(head, blockSize);
        state.freeLists[sizeClass] = head->next;
        return head;
    }
    if (state.chunkRemaining < size) {
        // The tail of the old chunk becomes one free block of the largest class it can hold.
        if (state.chunkRemaining > 0) {
            VANTA_UNPOISON(state.chunk, sizeof(FreeBlock));
            auto* tail = reinterpret_cast<FreeBlock*>(state.chunk);
            const std::ptrdiff_t tailClass = state.chunkRemaining / 8;
            tail->next = state.freeLists[tailClass];
            state.freeLists[tailClass] = tail;
            VANTA_POISON_FREE(tail, state.chunkRemaining);
        }
        state.chunk = static_cast<char*>(SystemAlloc(MEM_CHUNK_SIZE));
        state.chunkRemaining = MEM_CHUNK_SIZE;
        state.reserved += MEM_CHUNK_SIZE;
        VANTA_POISON(state.chunk, MEM_CHUNK_SIZE);
    }
    void* block = state.chunk;
    state.chunk += blockSize;
    state.chunkRemaining -= blockSize;
    VANTA_UNPOISON(block, blockSize);
    return block;
}

void MemFree(void* block, std::ptrdiff_t size)
{
    // MemAlloc never hands out a block for a size of 0 or less, so there is nothing to take back.
    if (block == nullptr || size <= 0) return;
    if (size > MEM_SMALL_LIMIT) {
        std::free(block);
        state.inUse -= size;
        state.reserved -= size;
        return;
    }
    state.inUse -= size;
    auto* freed = static_cast<FreeBlock*>(block);
    const std::ptrdiff_t sizeClass = (size + 7) / 8;
    freed->next = state.freeLists[sizeClass];
    state.freeLists[sizeClass] = freed;
    VANTA_POISON_FREE(freed, sizeClass * 8);
}

void* MemExtend(void* block, std::ptrdiff_t oldSize, std::ptrdiff_t newSize)
{
    void* extended = MemAlloc(newSize);
    if (block != nullptr && oldSize > 0 && extended != nullptr) {
        std::memcpy(extended, block, static_cast<std::size_t>(oldSize < newSize ? oldSize : newSize));
    }
    MemFree(block, oldSize);
    return extended;
}

std::int64_t MemoryInUse()
{
    return state.inUse;
}

std::int64_t MemoryReserved()
{
    return state.reserved;
}

} // namespace vanta
