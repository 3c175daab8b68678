// Small-block allocator of the object runtime.
//
// Every object, string, array and runtime table comes from here. Blocks of 1..248 bytes are carved from
// 4096-byte chunks into 31 size classes (8, 16, ..., 248 bytes) with one free list each, so creating and
// dropping temporaries never reaches the C library; larger blocks come from malloc. Two counters follow
// the allocator: `MemoryInUse` (bytes asked for by live allocations, not rounded) and `MemoryReserved`
// (4096 per chunk plus every live large block). Chunks are never returned to the C library.
//
// Main thread only: nothing here locks.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vanta {

// Largest request served from the size classes; bigger ones go to malloc.
inline constexpr std::ptrdiff_t MEM_SMALL_LIMIT = 248;
// Bytes obtained from the C library per chunk.
inline constexpr std::ptrdiff_t MEM_CHUNK_SIZE = 4096;

// A block of `size` bytes, 8-byte aligned and not cleared; nullptr for a size of 0 or less (nothing is
// counted then). When the C library has no memory left the process stops with a message and status -1.
void* MemAlloc(std::ptrdiff_t size);

// Returns a block; `size` must be the size given to `MemAlloc`. A null pointer is ignored.
void MemFree(void* block, std::ptrdiff_t size);

// A block of `newSize` bytes holding the first `oldSize` bytes of `block`, which is freed.
void* MemExtend(void* block, std::ptrdiff_t oldSize, std::ptrdiff_t newSize);

// Stops the process with a message on standard error and status -1: the C library could not supply
// `size` bytes, or a request was larger than anything the runtime can hold.
[[noreturn]] void OutOfMemory(std::ptrdiff_t size);

// Bytes currently handed out: the sum of the sizes asked for by live allocations.
std::int64_t MemoryInUse();

// Bytes obtained from the C library: 4096 per chunk plus the size of every live large block.
std::int64_t MemoryReserved();

} // namespace vanta
