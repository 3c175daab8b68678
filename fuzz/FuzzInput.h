// Reading a fuzzer's bytes as the values a target needs, and the check that turns a broken promise into
// a crash the fuzzer (or the replay test) reports.
//
// Values come from the front of the input; once it runs out every read answers 0, so any prefix of an
// input is itself a valid input.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>

namespace vanta::fuzz {

class FuzzInput
{
public:
    FuzzInput(const std::uint8_t* data, std::size_t size) noexcept : data_(data), size_(size) {}

    bool Empty() const noexcept { return position_ >= size_; }

    std::uint8_t Byte() noexcept { return Empty() ? 0 : data_[position_++]; }

    std::uint32_t Word() noexcept
    {
        std::uint32_t word = 0;
        for (int i = 0; i < 4; ++i)
            word = word << 8 | Byte();
        return word;
    }

    // A small number from `low` to `low + span - 1` most of the time, and one of the hostile values
    // now and then (about one read in sixteen).
    std::int32_t Small(std::int32_t low, std::int32_t span, std::initializer_list<std::int32_t> hostile) noexcept
    {
        const std::uint8_t b = Byte();
        if (b >= 0xF0 && hostile.size() > 0) return hostile.begin()[(b - 0xF0) % hostile.size()];
        return low + b % span;
    }

    // Copies up to `count` input bytes into `out` (cycling when the input holds fewer), so a target can
    // fill pixels without consuming the rest of its input.
    void Fill(std::uint8_t* out, std::size_t count) noexcept
    {
        const std::size_t left = size_ - position_;
        for (std::size_t i = 0; i < count; ++i)
            out[i] = left == 0 ? static_cast<std::uint8_t>(i * 31) : data_[position_ + i % left];
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t position_ = 0;
};

// Stops the process with a message when `condition` is false: a target's own property failed.
inline void FuzzCheck(bool condition, const char* what)
{
    if (condition) return;
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
}

} // namespace vanta::fuzz
