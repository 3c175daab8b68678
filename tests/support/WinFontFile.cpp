// Reading a .FON file: the DOS header leads to the NE header, whose resource table lists the FNT resources
// (type 0x8008); each FNT holds a header, a character table and the bitmaps, stored byte column by byte
// column (8 pixels to a byte, the most significant bit leftmost), each column top to bottom.
#include "support/WinFontFile.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include <gtest/gtest.h>

namespace vanta::test {
namespace {

class Reader
{
public:
    explicit Reader(const std::vector<std::uint8_t>& bytes) : bytes_(bytes) {}

    bool Has(std::size_t at, std::size_t count) const { return at <= bytes_.size() && count <= bytes_.size() - at; }
    unsigned U8(std::size_t at) const { return Has(at, 1) ? bytes_[at] : 0; }
    unsigned U16(std::size_t at) const { return U8(at) | U8(at + 1) << 8; }
    std::uint32_t U32(std::size_t at) const { return U16(at) | static_cast<std::uint32_t>(U16(at + 2)) << 16; }

private:
    const std::vector<std::uint8_t>& bytes_;
};

bool ReadFnt(const std::vector<std::uint8_t>& file, std::size_t start, std::size_t length, WinFont& font)
{
    const std::vector<std::uint8_t> fnt(file.begin() + static_cast<std::ptrdiff_t>(start),
                                        file.begin() + static_cast<std::ptrdiff_t>(start + length));
    const Reader r(fnt);
    font.version = static_cast<int>(r.U16(0));
    if (font.version != 0x200 && font.version != 0x300) return false;
    font.points = static_cast<int>(r.U16(68));
    font.verticalResolution = static_cast<int>(r.U16(70));
    font.ascent = static_cast<int>(r.U16(74));
    font.externalLeading = static_cast<int>(r.U16(78));
    font.pixelWidth = static_cast<int>(r.U16(86));
    font.pixelHeight = static_cast<int>(r.U16(88));
    font.firstChar = static_cast<int>(r.U8(95));
    font.lastChar = static_cast<int>(r.U8(96));
    for (std::size_t at = r.U32(105); r.Has(at, 1) && r.U8(at) != 0; ++at)
        font.faceName += static_cast<char>(r.U8(at));
    const bool v3 = font.version == 0x300;
    const std::size_t table = v3 ? 148 : 118;
    const std::size_t entry = v3 ? 6 : 4;
    for (int code = font.firstChar; code <= font.lastChar; ++code) {
        const std::size_t at = table + static_cast<std::size_t>(code - font.firstChar) * entry;
        WinFont::Glyph glyph;
        glyph.width = static_cast<int>(r.U16(at));
        const std::size_t bits = v3 ? r.U32(at + 2) : r.U16(at + 2);
        const std::size_t columns = static_cast<std::size_t>(glyph.width + 7) / 8;
        if (!r.Has(at, entry) || !r.Has(bits, columns * static_cast<std::size_t>(font.pixelHeight))) return false;
        for (int y = 0; y < font.pixelHeight; ++y) {
            std::vector<bool> row;
            for (int x = 0; x < glyph.width; ++x) {
                const unsigned byte = r.U8(bits + static_cast<std::size_t>(x / 8) * font.pixelHeight + y);
                row.push_back((byte & (0x80u >> (x % 8))) != 0);
            }
            glyph.rows.push_back(row);
        }
        font.glyphs.push_back(glyph);
    }
    return true;
}

} // namespace

int WinFont::NominalSize() const
{
    const int dpi = verticalResolution != 0 ? verticalResolution : 72;
    // In 1/64 pixels, rounded, then rounded to whole pixels.
    const int ppem64 = (points * 64 * dpi + 36) / 72;
    return std::min((ppem64 + 32) / 64, pixelHeight);
}

const WinFont::Glyph* WinFont::GlyphOf(int code) const
{
    if (code < firstChar || code > lastChar) return nullptr;
    return &glyphs[static_cast<std::size_t>(code - firstChar)];
}

std::vector<WinFont> ReadWinFontFile(const std::string& path)
{
    std::vector<WinFont> fonts;
    std::ifstream in(path, std::ios::binary);
    if (!in) return fonts;
    const std::vector<std::uint8_t> file{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    const Reader r(file);
    if (r.U16(0) != 0x5A4D) {
        ADD_FAILURE() << path << ": no MZ header";
        return fonts;
    }
    const std::size_t ne = r.U32(0x3C);
    if (r.U16(ne) != 0x454E) {
        ADD_FAILURE() << path << ": no NE header";
        return fonts;
    }
    std::size_t at = ne + r.U16(ne + 0x24);
    const unsigned shift = r.U16(at);
    at += 2;
    for (unsigned type = r.U16(at); type != 0 && r.Has(at, 8); type = r.U16(at)) {
        const unsigned count = r.U16(at + 2);
        at += 8;
        for (unsigned i = 0; i < count; ++i, at += 12) {
            if (type != 0x8008) continue;
            const std::size_t start = static_cast<std::size_t>(r.U16(at)) << shift;
            // The last resource's length is rounded up to the alignment and may reach past the file's end.
            std::size_t length = static_cast<std::size_t>(r.U16(at + 2)) << shift;
            if (start <= file.size()) length = std::min(length, file.size() - start);
            WinFont font;
            if (!r.Has(start, length) || !ReadFnt(file, start, length, font)) {
                ADD_FAILURE() << path << ": FNT resource " << i << " is malformed";
                return fonts;
            }
            fonts.push_back(font);
        }
    }
    return fonts;
}

} // namespace vanta::test
