// Line reading for the stream classes: collecting a line's bytes and turning bytes into a string fast.
//
// Short lines stay in a fixed buffer on the stack; a longer line spills into a heap string, so a line of
// any length costs one conversion to a `String` at the end.
#pragma once

#include "runtime/String.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace vanta::detail {

// A string of `count` bytes, each zero-extended (what `String::FromBytes` gives), widened 16 at a time.
inline Ref<String> BytesToString(const std::uint8_t* bytes, std::size_t count)
{
    Ref<String> text = NewString(static_cast<std::int32_t>(count));
    char16_t* out = text->MutableUnits();
    std::size_t i = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    auto widen16 = [&](std::size_t at) {
        const __m128i in = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + at));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + at), _mm_unpacklo_epi8(in, zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + at + 8), _mm_unpackhi_epi8(in, zero));
    };
    if (count >= 16) {
        for (; i + 16 <= count; i += 16)
            widen16(i);
        // The last partial run is widened as the 16 bytes ending at `count`, overlapping what is done.
        if (i < count) widen16(count - 16);
        return text;
    }
#endif
    for (; i < count; ++i)
        out[i] = bytes[i];
    return text;
}

inline bool IsLineByte(std::uint8_t byte)
{
    return byte == '\n' || byte == '\r' || byte == 0;
}

// The first byte in [begin, end) that is LF, CR or zero, or `end` when there is none.
inline const std::uint8_t* FindLineByte(const std::uint8_t* begin, const std::uint8_t* end)
{
    const std::uint8_t* at = begin;
#if defined(__SSE2__)
    // All three bytes are at most 13, so one unsigned minimum finds the candidates 32 bytes at a time;
    // the few other small bytes (tabs) are stepped over one by one.
    const __m128i thirteen = _mm_set1_epi8(13);
    while (end - at >= 32) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at + 16));
        const auto maskA = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_min_epu8(a, thirteen), a)));
        const auto maskB = static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(_mm_min_epu8(b, thirteen), b)));
        unsigned mask = maskA | (maskB << 16);
        if (mask == 0) {
            at += 32;
            continue;
        }
        while (mask != 0) {
            const std::uint8_t* candidate = at + __builtin_ctz(mask);
            if (IsLineByte(*candidate)) return candidate;
            mask &= mask - 1;
        }
        at += 32;
    }
#endif
    for (; at < end; ++at) {
        if (IsLineByte(*at)) return at;
    }
    return end;
}

// Where a line in [begin, end) stops: at the first LF or zero byte, or at `end` when there is none.
// `carriageReturns` tells whether the line holds a CR.
inline const std::uint8_t* FindLineEnd(const std::uint8_t* begin, const std::uint8_t* end, bool& carriageReturns)
{
    carriageReturns = false;
    const std::uint8_t* at = FindLineByte(begin, end);
    while (at < end && *at == '\r') {
        carriageReturns = true;
        at = FindLineByte(at + 1, end);
    }
    return at;
}

class LineBuffer
{
public:
    bool Empty() const noexcept { return count_ == 0 && spill_.empty(); }

    void Append(std::uint8_t byte)
    {
        if (count_ == CAPACITY) Spill();
        bytes_[count_++] = byte;
    }

    void Append(const std::uint8_t* bytes, std::size_t count)
    {
        if (count_ + count > CAPACITY) {
            Spill();
            if (count > CAPACITY) {
                spill_.append(reinterpret_cast<const char*>(bytes), count);
                return;
            }
        }
        std::memcpy(bytes_ + count_, bytes, count);
        count_ += count;
    }

    // Appends [begin, end) without its CRs.
    void AppendWithoutCarriageReturns(const std::uint8_t* begin, const std::uint8_t* end)
    {
        while (begin < end) {
            const void* found = std::memchr(begin, '\r', static_cast<std::size_t>(end - begin));
            const auto* stop = found != nullptr ? static_cast<const std::uint8_t*>(found) : end;
            Append(begin, static_cast<std::size_t>(stop - begin));
            begin = stop == end ? end : stop + 1;
        }
    }

    // The collected bytes as 8-bit text.
    Ref<String> Finish()
    {
        if (spill_.empty()) return BytesToString(bytes_, count_);
        Spill();
        return BytesToString(reinterpret_cast<const std::uint8_t*>(spill_.data()), spill_.size());
    }

private:
    static constexpr std::size_t CAPACITY = 1024;

    void Spill()
    {
        spill_.append(reinterpret_cast<const char*>(bytes_), count_);
        count_ = 0;
    }

    std::uint8_t bytes_[CAPACITY];
    std::size_t count_ = 0;
    std::string spill_;
};

} // namespace vanta::detail
