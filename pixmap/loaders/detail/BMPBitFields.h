// Bit-field pixels of 16- and 32-bit BMP files: the four channel masks checked, and each channel widened
// to 8 bits with rounding (a 5-bit 31 is 255, a 6-bit 32 is 130).
#pragma once

#include <array>
#include <bit>
#include <cstdint>

namespace vanta::detail {

// One channel of a bit-field pixel: where its bits lie and the 8-bit value of each of their values.
class BitFieldChannel
{
public:
    // The channel of `mask`; an empty mask makes an absent channel.
    explicit BitFieldChannel(std::uint32_t mask = 0) noexcept : mask_(mask)
    {
        if (mask == 0) return;
        shift_ = static_cast<std::uint32_t>(std::countr_zero(mask));
        const std::uint64_t largest = mask >> shift_;
        if (largest > 255) return; // wider than 8 bits: widened arithmetically
        for (std::uint32_t value = 0; value <= largest; ++value)
            table_[value] = Scale(value, largest);
    }

    // True when the mask is one run of set bits.
    bool Contiguous() const noexcept
    {
        const std::uint64_t field = mask_ >> shift_;
        return mask_ != 0 && (field & (field + 1)) == 0;
    }

    // False for an absent channel (an empty mask).
    bool Present() const noexcept { return mask_ != 0; }
    // The mask as the file gives it.
    std::uint32_t Mask() const noexcept { return mask_; }

    // The channel's 8-bit value in `pixel` (0 for an absent channel).
    std::uint8_t Widen(std::uint32_t pixel) const noexcept
    {
        const std::uint32_t value = (pixel & mask_) >> shift_;
        const std::uint64_t largest = mask_ >> shift_;
        return largest <= 255 ? table_[value & 255] : Scale(value, largest);
    }

private:
    // value * 255 / largest, to the nearest whole number.
    static std::uint8_t Scale(std::uint64_t value, std::uint64_t largest) noexcept
    {
        return static_cast<std::uint8_t>((value * 255 + largest / 2) / largest);
    }

    std::uint32_t mask_ = 0;
    std::uint32_t shift_ = 0;
    std::array<std::uint8_t, 256> table_{};
};

// The red, green, blue and alpha channels of a bit-field pixel of `bitCount` (16 or 32) bits.
struct BitFieldPixel
{
    BitFieldChannel red, green, blue, alpha;

    // True when red, green and blue are present, every present mask is one run of bits inside the pixel's
    // bit count and no two masks share a bit. Anything else cannot be a picture and is refused.
    bool Valid(std::uint32_t bitCount) const noexcept
    {
        const std::uint64_t room = (std::uint64_t{1} << bitCount) - 1;
        std::uint64_t seen = 0;
        for (const BitFieldChannel* channel : {&red, &green, &blue, &alpha}) {
            if (!channel->Present()) {
                if (channel != &alpha) return false;
                continue;
            }
            if (!channel->Contiguous() || (channel->Mask() & ~room) != 0 || (channel->Mask() & seen) != 0) return false;
            seen |= channel->Mask();
        }
        return true;
    }
};

} // namespace vanta::detail
