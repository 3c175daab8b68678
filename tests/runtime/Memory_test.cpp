// Allocator: size classes, chunk carving and the two counters.
#include "runtime/Memory.h"

#include <cstdint>
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

namespace vanta {
namespace {

TEST(MemAlloc, SizesOfZeroOrLessGiveNullAndCountNothing)
{
    const std::int64_t inUse = MemoryInUse();
    const std::int64_t reserved = MemoryReserved();
    EXPECT_EQ(MemAlloc(0), nullptr);
    EXPECT_EQ(MemAlloc(-5), nullptr);
    MemFree(nullptr, 16);
    EXPECT_EQ(MemoryInUse(), inUse);
    EXPECT_EQ(MemoryReserved(), reserved);
}

TEST(MemAlloc, LargeBlocksCountTheirExactSizeInBothCounters)
{
    const std::int64_t inUse = MemoryInUse();
    const std::int64_t reserved = MemoryReserved();
    void* block = MemAlloc(249);
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(MemoryInUse(), inUse + 249);
    EXPECT_EQ(MemoryReserved(), reserved + 249);
    MemFree(block, 249);
    EXPECT_EQ(MemoryInUse(), inUse);
    EXPECT_EQ(MemoryReserved(), reserved);
}

TEST(MemAlloc, SmallBlocksCountTheSizeAskedForNotTheClass)
{
    const std::int64_t inUse = MemoryInUse();
    void* block = MemAlloc(13);
    EXPECT_EQ(MemoryInUse(), inUse + 13);
    MemFree(block, 13);
    EXPECT_EQ(MemoryInUse(), inUse);
}

TEST(MemAlloc, FreedBlocksAreReusedByTheirClass)
{
    void* first = MemAlloc(20);
    MemFree(first, 20);
    // 17..24 bytes share one class, so the block just freed comes straight back.
    void* second = MemAlloc(24);
    EXPECT_EQ(first, second);
    MemFree(second, 24);
}

// Takes blocks of `size` until one comes from a new chunk, leaving that class's free list empty.
std::vector<void*> DrainUntilNewChunk(std::ptrdiff_t size)
{
    std::vector<void*> taken;
    const std::int64_t reserved = MemoryReserved();
    while (MemoryReserved() == reserved)
        taken.push_back(MemAlloc(size));
    return taken;
}

TEST(MemAlloc, ChunkTailTooSmallForARequestGoesToItsOwnFreeList)
{
    std::vector<std::pair<void*, std::ptrdiff_t>> taken;
    for (void* p : DrainUntilNewChunk(16))
        taken.emplace_back(p, 16);
    for (void* p : DrainUntilNewChunk(8))
        taken.emplace_back(p, 8);
    // A fresh chunk with 8 bytes used and both free lists empty: fill it to 8 bytes short of its end.
    char* last = nullptr;
    for (int i = 0; i < (4096 - 8 - 8) / 8; ++i) {
        last = static_cast<char*>(MemAlloc(8));
        taken.emplace_back(last, 8);
    }

    const std::int64_t reserved = MemoryReserved();
    void* sixteen = MemAlloc(16);
    taken.emplace_back(sixteen, 16);
    EXPECT_EQ(MemoryReserved(), reserved + 4096) << "a 16-byte request does not fit 8 remaining bytes";

    void* tail = MemAlloc(8);
    taken.emplace_back(tail, 8);
    EXPECT_EQ(tail, last + 8) << "the old chunk's last 8 bytes were put on the 8-byte free list";

    for (auto [p, size] : taken)
        MemFree(p, size);
}

TEST(MemExtend, CopiesTheOldBytesAndFreesTheOldBlock)
{
    const std::int64_t inUse = MemoryInUse();
    auto* block = static_cast<char*>(MemAlloc(10));
    std::memcpy(block, "abcdefghij", 10);
    auto* grown = static_cast<char*>(MemExtend(block, 10, 300));
    EXPECT_EQ(std::memcmp(grown, "abcdefghij", 10), 0);
    EXPECT_EQ(MemoryInUse(), inUse + 300);
    MemFree(grown, 300);
    EXPECT_EQ(MemoryInUse(), inUse);
}

TEST(MemAlloc, BlocksAreEightByteAligned)
{
    for (std::ptrdiff_t size : {1, 7, 9, 100, 248, 1000}) {
        void* block = MemAlloc(size);
        EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block) % 8, 0u) << size;
        MemFree(block, size);
    }
}

} // namespace
} // namespace vanta

#if defined(__SANITIZE_ADDRESS__)
namespace vanta {
namespace {

TEST(MemAllocDeathTest, AFreedBlockIsPoisonedForAddressSanitizer)
{
    auto* block = static_cast<std::int64_t*>(MemAlloc(32));
    MemFree(block, 32);
    EXPECT_DEATH(block[2] = 1, "use-after-poison");
}

} // namespace
} // namespace vanta
#endif
