// Reads the fonts of a Windows bitmap font file (.FON) by itself, for tests that check what FreeType or
// the runtime made of one: every FNT resource of the NE executable, with its header values and each
// character's bitmap. Written from the file formats alone, sharing no code with the runtime or FreeType.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vanta::test {

struct WinFont
{
    int version = 0; // 0x200 or 0x300
    int points = 0;
    int verticalResolution = 0;
    int ascent = 0;
    int pixelHeight = 0;
    int externalLeading = 0; // blank rows the font asks for between lines
    int pixelWidth = 0;      // 0 for a font of variable pitch
    int firstChar = 0;
    int lastChar = 0;
    std::string faceName;
    // For each character first ... last: its width and its rows, top first, one flag per pixel.
    struct Glyph
    {
        int width = 0;
        std::vector<std::vector<bool>> rows;
    };
    std::vector<Glyph> glyphs;

    // The pixel size that selects this font: its nominal point size at its resolution (points x dpi / 72,
    // rounded), at most its pixel height.
    int NominalSize() const;
    // The glyph of `code`, or nullptr outside first ... last.
    const Glyph* GlyphOf(int code) const;
};

// Every font of the .FON file at `path`, in the order of its resource table. Empty when the file cannot be
// read; a malformed file fails the calling test (gtest ADD_FAILURE) and gives what was read before the fault.
std::vector<WinFont> ReadWinFontFile(const std::string& path);

} // namespace vanta::test
