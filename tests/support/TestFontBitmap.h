// A stand-in for the default font's embedded bitmap "vantafont.bin", for suites that draw text without
// the real typeface: 16 rows of 96 bytes with a different pattern in every character and row, so a test
// can tell any two glyphs and rows apart. Register it before graphics are first opened.
#pragma once

#include "runtime/EmbeddedFile.h"

#include <array>
#include <cstdint>

namespace vanta::test {

// The bitmap: byte r * 96 + c holds row r of character 32 + c, bit k the pixel in column k.
inline const std::array<std::uint8_t, 1536>& TestFontBitmap()
{
    static const std::array<std::uint8_t, 1536> bits = [] {
        std::array<std::uint8_t, 1536> made{};
        for (std::uint32_t r = 0; r < 16; ++r) {
            for (std::uint32_t c = 0; c < 96; ++c)
                made[r * 96 + c] = static_cast<std::uint8_t>(c * 37 + r * 11 + 1);
        }
        return made;
    }();
    return bits;
}

// Registers the bitmap as "vantafont.bin" (the first registration of the name wins).
inline void RegisterTestFontBitmap()
{
    EmbeddedFileAdd("vantafont.bin"_s, TestFontBitmap().data(), static_cast<std::int32_t>(TestFontBitmap().size()));
}

} // namespace vanta::test
