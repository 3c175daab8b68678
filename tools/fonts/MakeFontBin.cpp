// vanta_make_font_bin SOURCE OUT: turns the built-in 8 x 16 typeface's source into the runtime's
// 1536-byte font bitmap "vantafont.bin".
//
// The bitmap is 16 rows of 96 bytes: row r holds one byte for each character 32 ... 127 in code order,
// and bit k of a byte (bit 0 the least significant) is the pixel in column k (0 the leftmost) of that
// character's row r.
#include "tools/fonts/FontSource.h"

#include <cstdio>

int main(int argc, char** argv)
{
    using namespace vanta::fonts;
    if (argc != 3) {
        std::fputs("usage: vanta_make_font_bin SOURCE.txt OUT.bin\n", stderr);
        return 2;
    }
    Typeface face;
    std::string fault = ReadTypeface(argv[1], face);
    if (fault.empty() && (face.width != 8 || face.height != 16)) fault = "the built-in typeface has 8 x 16 cells";
    if (fault.empty()) fault = CheckCovers(face, 32, 127);
    if (!fault.empty()) {
        std::fprintf(stderr, "vanta_make_font_bin: %s: %s\n", argv[1], fault.c_str());
        return 1;
    }
    constexpr int FIRST = 32;
    constexpr int COUNT = 96;
    std::vector<std::uint8_t> bytes(16 * COUNT, 0);
    for (int row = 0; row < 16; ++row) {
        for (int c = 0; c < COUNT; ++c) {
            const std::vector<bool>& cells = face.glyphs.at(FIRST + c)[row];
            std::uint8_t byte = 0;
            for (int column = 0; column < 8; ++column) {
                if (cells[column]) byte |= static_cast<std::uint8_t>(1u << column);
            }
            bytes[row * COUNT + c] = byte;
        }
    }
    if (!WriteFile(argv[2], bytes)) {
        std::fprintf(stderr, "vanta_make_font_bin: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
