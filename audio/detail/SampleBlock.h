// What the sample loaders share: reading as much as a stream holds, and a block of sample memory that grows
// as decoded data arrives and then becomes a `TAudioSample`.
//
// Loaders never trust a length a file announces for their allocation: a hostile header may claim gigabytes.
// They reserve what the announcement and the stream make plausible, grow while data keeps coming, and keep
// only whole frames that were actually read, so a sample never holds bytes that no decoder wrote.
#pragma once

#include "audio/AudioSample.h"
#include "stream/Stream.h"

#include <cstdint>

namespace vanta::detail {

// Largest sample data a loader makes: a sample counts its bytes in 32 bits.
inline constexpr std::int64_t SAMPLE_BYTES_LIMIT = INT32_MAX;

// Largest block reserved before any data has arrived for a sound of known length; longer sounds grow the
// block as they decode.
inline constexpr std::int64_t SAMPLE_FIRST_RESERVE = std::int64_t{64} << 20;

// The first block for a sound whose length nothing vouches for.
inline constexpr std::int64_t SAMPLE_UNKNOWN_RESERVE = std::int64_t{1} << 20;

// Reads up to `count` bytes as `ReadBytes` does (calling `Read` until they are in or the stream is at its
// end) but returns how many arrived. Throws `TStreamReadError` when `Read` moves nothing before the end.
std::int32_t ReadAvailable(TByteStream& stream, void* buffer, std::int32_t count);

// Owned sample memory on the runtime's allocator, filled from the front.
class SampleBlock
{
public:
    // A block for frames of `bytesPerFrame` bytes (1 to 4).
    explicit SampleBlock(std::int32_t bytesPerFrame) noexcept : bytesPerFrame_(bytesPerFrame) {}
    ~SampleBlock() { MemFree(data_, capacity_); }

    SampleBlock(const SampleBlock&) = delete;
    SampleBlock& operator=(const SampleBlock&) = delete;

    // Makes room for at least `bytes` more bytes after those used, growing to at least twice the present
    // size when that stays within `ceiling` (the most the caller expects to fill); false, changing nothing,
    // when the room would pass `SAMPLE_BYTES_LIMIT`.
    bool Reserve(std::int64_t bytes, std::int64_t ceiling = SAMPLE_BYTES_LIMIT);

    // The first free byte and the number of free bytes.
    std::uint8_t* Free() const noexcept { return data_ + used_; }
    std::int64_t FreeBytes() const noexcept { return capacity_ - used_; }

    // Marks `bytes` more bytes as filled.
    void Use(std::int64_t bytes) noexcept { used_ += bytes; }

    std::int64_t Used() const noexcept { return used_; }

    // A sample of the whole frames filled so far, which takes over the memory (trimmed when much of it went
    // unused); the block is empty afterwards.
    Ref<TAudioSample> Finish(std::int32_t hertz, std::int32_t format);

private:
    std::uint8_t* data_ = nullptr;
    std::int64_t capacity_ = 0;
    std::int64_t used_ = 0;
    std::int32_t bytesPerFrame_;
};

} // namespace vanta::detail
