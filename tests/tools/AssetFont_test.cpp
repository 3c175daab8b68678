// vanta-asset's font commands run as a program: `text` checked pixel by pixel against glyph bitmaps the
// test reads from the font files itself (the built-in bitmap, and the FNT resources of our Vanta.fon and of
// Debian's fonts-wine), never through FreeType; `info` on font files; the failures and usage errors.
#include "pixmap/Pixmap.h"
#include "pixmap/loaders/ImageLoaders.h"
#include "support/AssetTool.h"
#include "support/WinFontFile.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace vanta::test {
namespace {

namespace fs = std::filesystem;

class AssetFontTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        InitImageLoaders();
        folder_ = fs::temp_directory_path() / ("vanta_asset_font_test_" + std::to_string(::getpid()));
        fs::create_directories(folder_);
    }
    void TearDown() override { fs::remove_all(folder_); }

    std::string Out(const std::string& name) const { return (folder_ / name).string(); }

    // Runs `text` and loads the picture it wrote; `Null` (and a failed expectation) when it did not.
    Ref<TPixmap> Text(const std::string& font, int size, const std::string& text, const std::string& expectedOut)
    {
        const std::string out = Out("text.png");
        fs::remove(out);
        const ProcessResult result = RunAssetTool({"text", font, std::to_string(size), text, out});
        EXPECT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(result.out, expectedOut) << font << " at " << size;
        EXPECT_EQ(result.err, "");
        return LoadPixmap(String::FromCString(out.c_str()));
    }

private:
    fs::path folder_;
};

// Expects `picture` to be `expected` (rows of '#' for white ink and '.' for clear).
void ExpectPicture(const Ref<TPixmap>& picture, const std::vector<std::string>& expected, const std::string& what)
{
    SCOPED_TRACE(what);
    ASSERT_FALSE(picture.IsNull());
    ASSERT_EQ(picture->Height(), static_cast<std::int32_t>(expected.size()));
    ASSERT_EQ(picture->Width(), static_cast<std::int32_t>(expected[0].size()));
    int wrong = 0;
    for (std::int32_t y = 0; y < picture->Height(); ++y) {
        for (std::int32_t x = 0; x < picture->Width(); ++x) {
            const std::uint32_t want = expected[y][x] == '#' ? 0xFFFFFFFFu : 0u;
            const std::uint32_t got = ReadPixel(picture, x, y);
            // A clear pixel may keep any colour; a drawn one is opaque white.
            if (want != 0 ? got != want : (got >> 24) != 0) ++wrong;
        }
    }
    EXPECT_EQ(wrong, 0) << "pixels differ from the font file's bitmaps";
}

// The line of `text` in the built-in bitmap (16 rows of 96 bytes, bit k of a byte the pixel in column k);
// characters outside 32 ... 127 are skipped.
std::vector<std::string> DefaultFontLine(const std::string& text)
{
    std::ifstream in(VANTA_DEFAULT_FONT_FILE, std::ios::binary);
    const std::vector<std::uint8_t> bits{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    EXPECT_EQ(bits.size(), 1536u);
    std::vector<std::string> rows(16);
    for (unsigned char c : text) {
        if (c < 32 || c > 127) continue;
        for (int r = 0; r < 16; ++r) {
            for (int k = 0; k < 8; ++k)
                rows[r] += (bits[static_cast<std::size_t>(r * 96 + c - 32)] >> k & 1) != 0 ? '#' : '.';
        }
    }
    return rows;
}

// The line of `text` in an FNT resource: each character's bitmap at the pen, on top of a line of the font's
// rows and its leading.
std::vector<std::string> FntLine(const WinFont& font, const std::string& text)
{
    std::vector<std::string> rows(static_cast<std::size_t>(font.pixelHeight + font.externalLeading));
    for (unsigned char c : text) {
        const WinFont::Glyph* glyph = font.GlyphOf(c);
        if (glyph == nullptr) continue;
        for (std::size_t r = 0; r < rows.size(); ++r) {
            for (int x = 0; x < glyph->width; ++x)
                rows[r] += r < glyph->rows.size() && glyph->rows[r][static_cast<std::size_t>(x)] ? '#' : '.';
        }
    }
    return rows;
}

std::string Size(const std::vector<std::string>& rows)
{
    return "width " + std::to_string(rows[0].size()) + " height " + std::to_string(rows.size()) + "\n";
}

TEST_F(AssetFontTest, TheDefaultFontDrawsItsBitmapAndSkipsCodesItLacks)
{
    const std::vector<std::string> line = DefaultFontLine("V 0.1C");
    EXPECT_EQ(Size(line), "width 48 height 16\n");
    ExpectPicture(Text("default", 16, "V 0.1C", "width 48 height 16\n"), line, "V 0.1C");
    // The size means nothing to the built-in font.
    const std::string sample = "Touche ESCAPE pour quitter {~}";
    ExpectPicture(Text("default", 3, sample, Size(DefaultFontLine(sample))), DefaultFontLine(sample), sample);
    // A code above 127 has no glyph: it neither draws nor moves the pen.
    ExpectPicture(Text("default", 16,
                       "A\xC9"
                       "B",
                       "width 16 height 16\n"),
                  DefaultFontLine("AB"), "A, 201, B");
}

TEST_F(AssetFontTest, WindowsBitmapFontsDrawTheirFilesBitmapsAtEverySize)
{
    std::vector<std::string> files{VANTA_CONSOLE_FONT_FILE};
    for (const char* name : {"sserife.fon", "coure.fon", "smalle.fon", "vgasys.fon"}) {
        if (fs::exists(fs::path("/usr/share/wine/fonts") / name))
            files.push_back("/usr/share/wine/fonts/" + std::string(name));
    }
    const std::string text = "Vanta 0.1 {fps}: 60!";
    for (const std::string& file : files) {
        const std::vector<WinFont> fonts = ReadWinFontFile(file);
        ASSERT_FALSE(fonts.empty()) << file;
        for (const WinFont& font : fonts) {
            const std::vector<std::string> line = FntLine(font, text);
            const std::string what = file + " at " + std::to_string(font.NominalSize());
            ExpectPicture(Text(file, font.NominalSize(), text, Size(line)), line, what);
        }
    }
    // Between two sizes of a file, the smaller.
    const std::vector<WinFont> vanta = ReadWinFontFile(VANTA_CONSOLE_FONT_FILE);
    ASSERT_EQ(vanta.size(), 2u);
    ExpectPicture(Text(VANTA_CONSOLE_FONT_FILE, 11, "Between", Size(FntLine(vanta[0], "Between"))),
                  FntLine(vanta[0], "Between"), "Vanta.fon at 11");
}

TEST_F(AssetFontTest, AFontThatCannotBeLoadedAtTheSizeExitsWithOne)
{
    const std::string out = Out("never.png");
    for (const std::pair<std::string, std::string>& c :
         {std::pair{std::string(VANTA_CONSOLE_FONT_FILE), std::string("9")},
          std::pair{std::string("/nonexistent/font.fon"), std::string("10")},
          std::pair{std::string(VANTA_DEFAULT_FONT_FILE), std::string("10")}}) {
        const ProcessResult result = RunAssetTool({"text", c.first, c.second, "x", out});
        EXPECT_EQ(result.status, 1) << c.first;
        EXPECT_EQ(result.out, "");
        EXPECT_EQ(result.err, "cannot load font at size " + c.second + ": " + c.first + "\n");
        EXPECT_FALSE(fs::exists(out));
    }
    for (const std::vector<std::string>& arguments : {std::vector<std::string>{"text", "default", "0", "x", out},
                                                      {"text", "default", "ten", "x", out},
                                                      {"text", "default", "16", "x"}}) {
        const ProcessResult result = RunAssetTool(arguments);
        EXPECT_EQ(result.status, 2) << arguments[2];
        EXPECT_NE(result.err.find("usage: vanta-asset"), std::string::npos);
        EXPECT_FALSE(fs::exists(out));
    }
}

TEST_F(AssetFontTest, InfoDescribesEveryFaceOfAFontFile)
{
    const ProcessResult vanta = RunAssetTool({"info", "bigendian::" + std::string(VANTA_CONSOLE_FONT_FILE)});
    EXPECT_EQ(vanta.status, 0) << vanta.err;
    EXPECT_EQ(vanta.out, "kind: font\nformat: Windows FNT\nfaces: 2\n"
                         "face 0: Vanta Regular, 97 glyphs, size 10 (height 12, ascender 9, descender -3)\n"
                         "face 1: Vanta Regular, 97 glyphs, size 12 (height 16, ascender 13, descender -3)\n");
    const std::string sserife = "/usr/share/wine/fonts/sserife.fon";
    if (!fs::exists(sserife)) GTEST_SKIP() << "fonts-wine is not installed (package fonts-wine)";
    const ProcessResult wine = RunAssetTool({"info", sserife});
    EXPECT_EQ(wine.status, 0) << wine.err;
    EXPECT_EQ(wine.out, "kind: font\nformat: Windows FNT\nfaces: 3\n"
                        "face 0: MS Sans Serif Regular, 225 glyphs, size 11 (height 13, ascender 11, descender -2)\n"
                        "face 1: MS Sans Serif Regular, 225 glyphs, size 13 (height 16, ascender 13, descender -3)\n"
                        "face 2: MS Sans Serif Regular, 225 glyphs, size 16 (height 20, ascender 16, descender -4)\n");
}

} // namespace
} // namespace vanta::test
