// The FreeType font loader: our console font and Debian's Windows bitmap fonts (fonts-wine) checked pixel
// for pixel against the FNT resources the test reads itself, at every size a file offers and between them
// (the largest size not above the request, searched through every face); the built-in typeface's bitmap
// against its source; grey levels of a scalable font; the URLs a font opens through; what is not a font;
// and every stream the loader opens being closed again.
#include "graphics/FreeTypeFont.h"
#include "pixmap/Pixmap.h"
#include "runtime/EmbeddedFile.h"
#include "stream/EndianStream.h"
#include "stream/IncbinStream.h"
#include "stream/MemoryStream.h"
#include "support/StreamDoubles.h"
#include "support/WinFontFile.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <list>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace vanta::test {
namespace {

namespace fs = std::filesystem;

const fs::path WINE_FONTS = "/usr/share/wine/fonts";

std::vector<std::uint8_t> FileBytes(const fs::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Registers `bytes` under `name`; the bytes live as long as the process, as embedded files do.
void Embed(const std::string& name, const std::vector<std::uint8_t>& bytes)
{
    static std::list<std::vector<std::uint8_t>> kept;
    kept.push_back(bytes);
    EmbeddedFileAdd(String::FromCString(name.c_str()), kept.back().data(), static_cast<std::int32_t>(bytes.size()));
}

Ref<TFreeTypeFont> Load(const std::string& url, std::int32_t size, std::int32_t style = 0)
{
    return TFreeTypeFont::Load(String::FromCString(url.c_str()), size, style);
}

// The cells of a typeface source (graphics/fonts/*.txt): for each code its rows of '#' and '.'.
std::vector<std::vector<std::string>> TypefaceCells(const fs::path& path)
{
    std::vector<std::vector<std::string>> cells(256);
    std::ifstream in(path);
    std::string line;
    int code = -1;
    while (std::getline(in, line)) {
        if (line.rfind("char ", 0) == 0) {
            code = std::stoi(line.substr(5));
        } else if (code >= 0 && !line.empty() && (line[0] == '#' || line[0] == '.')) {
            cells[static_cast<std::size_t>(code)].push_back(line);
        }
    }
    return cells;
}

// Expects `font` to be the FNT resource `fnt`: its line metrics (a line is the font's rows and the leading
// it asks for), and each of its characters from 32 up as an alpha picture of 255 for ink and 0 for paper,
// at the pen position, advancing by the character's width; a character of width 0 has no picture.
void ExpectFontIs(const Ref<TFreeTypeFont>& font, const WinFont& fnt, const std::string& what)
{
    SCOPED_TRACE(what);
    ASSERT_FALSE(font.IsNull());
    EXPECT_EQ(font->Height(), fnt.pixelHeight + fnt.externalLeading);
    EXPECT_EQ(font->ascender, fnt.ascent);
    EXPECT_EQ(font->descender, fnt.ascent - fnt.pixelHeight);
    ASSERT_EQ(font->GlyphCount(), 224);
    EXPECT_EQ(font->FirstCode(), 32);
    for (int code = std::max(32, fnt.firstChar); code <= std::min(255, fnt.lastChar); ++code) {
        const WinFont::Glyph& expected = *fnt.GlyphOf(code);
        const Ref<TFreeTypeGlyph> glyph = Downcast<TFreeTypeGlyph>(font->Glyph(code - 32));
        ASSERT_FALSE(glyph.IsNull());
        EXPECT_EQ(glyph->Advance(), static_cast<float>(expected.width)) << "code " << code;
        std::int32_t x = -1, y = -1, width = -1, height = -1;
        glyph->GetRect(x, y, width, height);
        EXPECT_EQ(x, 0) << "code " << code;
        EXPECT_EQ(y, 0) << "code " << code;
        ASSERT_EQ(width, expected.width) << "code " << code;
        if (width == 0) {
            EXPECT_TRUE(glyph->Pixels().IsNull()) << "code " << code;
            continue;
        }
        ASSERT_EQ(height, fnt.pixelHeight) << "code " << code;
        const Ref<TPixmap> pixmap = Downcast<TPixmap>(glyph->Pixels());
        ASSERT_FALSE(pixmap.IsNull()) << "code " << code;
        ASSERT_EQ(pixmap->Format(), PF_A8);
        ASSERT_EQ(pixmap->Width(), width);
        ASSERT_EQ(pixmap->Height(), height);
        int wrong = 0;
        for (int row = 0; row < height; ++row) {
            for (int column = 0; column < width; ++column) {
                const int alpha = *PixmapPixelPtr(pixmap, column, row);
                if (alpha != (expected.rows[row][column] ? 255 : 0)) ++wrong;
            }
        }
        EXPECT_EQ(wrong, 0) << "pixels of code " << code << " differ from the file's bitmap";
    }
}

// The font of `fonts` that a request for `size` pixels gets: the first of those with the largest nominal size
// not above it; nullptr when every one is larger.
const WinFont* ExpectedFor(const std::vector<WinFont>& fonts, int size)
{
    const WinFont* best = nullptr;
    for (const WinFont& font : fonts) {
        const int nominal = font.NominalSize();
        if (nominal <= size && (best == nullptr || nominal > best->NominalSize())) best = &font;
    }
    return best;
}

std::vector<fs::path> WineBitmapFonts()
{
    std::vector<fs::path> files;
    if (!fs::is_directory(WINE_FONTS)) return files;
    for (const fs::directory_entry& entry : fs::directory_iterator(WINE_FONTS)) {
        if (entry.path().extension() == ".fon") files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

class FreeTypeFontTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        InitEndianStreams();
        InitIncbinStreams();
        InitFreeTypeFontModule();
        Embed("Vanta.fon", FileBytes(VANTA_CONSOLE_FONT_FILE));
    }

    static std::vector<WinFont> ConsoleFonts() { return ReadWinFontFile(VANTA_CONSOLE_FONT_FILE); }
};

TEST_F(FreeTypeFontTest, TheConsoleFontAtSize10IsItsCompactFixedPitchFace)
{
    const std::vector<WinFont> fonts = ConsoleFonts();
    ASSERT_EQ(fonts.size(), 2u);
    EXPECT_EQ(fonts[0].NominalSize(), 10);
    EXPECT_EQ(fonts[0].pixelWidth, 8);
    EXPECT_EQ(fonts[0].version, 0x300);
    EXPECT_EQ(fonts[1].version, 0x200);
    const Ref<TFreeTypeFont> font = Load("incbin::Vanta.fon", 10, 4);
    ExpectFontIs(font, fonts[0], "Vanta.fon at 10");
    ASSERT_FALSE(font.IsNull());
    EXPECT_EQ(font->Style(), 4);
    EXPECT_EQ(font->Height(), 12);
    // The console moves its cursor by the width of "A": every character it shows advances as far.
    for (int code = 32; code <= 126; ++code) {
        EXPECT_EQ(font->Glyph(code - 32)->Advance(), 8.0f) << "code " << code;
        if (code > 32) {
            EXPECT_FALSE(font->Glyph(code - 32)->Pixels().IsNull()) << "code " << code << " has ink";
        }
    }
}

TEST_F(FreeTypeFontTest, TheConsoleFontOffersItsLargerFaceAndTheLargestSizeNotAboveARequest)
{
    const std::vector<WinFont> fonts = ConsoleFonts();
    ASSERT_EQ(fonts.size(), 2u);
    EXPECT_EQ(fonts[1].NominalSize(), 12);
    ExpectFontIs(Load("incbin::Vanta.fon", 12), fonts[1], "size 12: the second face");
    ExpectFontIs(Load("incbin::Vanta.fon", 11), fonts[0], "size 11: the 10 of the first face");
    ExpectFontIs(Load("incbin::Vanta.fon", 300), fonts[1], "size 300: the largest face");
    EXPECT_TRUE(Load("incbin::Vanta.fon", 9).IsNull()) << "nothing as small as 9";
}

TEST_F(FreeTypeFontTest, TheFontFilesHoldOurTypefacesCellForCell)
{
    const std::vector<WinFont> fonts = ConsoleFonts();
    ASSERT_EQ(fonts.size(), 2u);
    const fs::path sources = FONT_SOURCES;
    const std::vector<std::vector<std::string>> compact = TypefaceCells(sources / "VantaConsole.txt");
    const std::vector<std::vector<std::string>> large = TypefaceCells(sources / "VantaFont.txt");
    for (int code = 32; code <= 127; ++code) {
        for (const auto& [font, cells] : {std::pair{&fonts[0], &compact}, std::pair{&fonts[1], &large}}) {
            const WinFont::Glyph* glyph = font->GlyphOf(code);
            ASSERT_NE(glyph, nullptr) << code;
            const std::vector<std::string>& rows = (*cells)[static_cast<std::size_t>(code)];
            ASSERT_EQ(rows.size(), static_cast<std::size_t>(font->pixelHeight)) << code;
            for (std::size_t y = 0; y < rows.size(); ++y) {
                std::string drawn;
                for (bool ink : glyph->rows[y])
                    drawn += ink ? '#' : '.';
                EXPECT_EQ(drawn, rows[y]) << "code " << code << " row " << y;
            }
        }
    }

    // The built-in bitmap: row r holds a byte per character, bit k the pixel in column k.
    InitFontModule();
    ASSERT_EQ(EmbeddedFileSize("vantafont.bin"_s), 1536);
    const auto* bits = static_cast<const std::uint8_t*>(EmbeddedFileData("vantafont.bin"_s));
    for (int code = 32; code <= 127; ++code) {
        for (int row = 0; row < 16; ++row) {
            std::string drawn;
            for (int column = 0; column < 8; ++column)
                drawn += (bits[row * 96 + code - 32] >> column & 1) != 0 ? '#' : '.';
            EXPECT_EQ(drawn, large[static_cast<std::size_t>(code)][static_cast<std::size_t>(row)])
                << "code " << code << " row " << row;
        }
    }
}

TEST_F(FreeTypeFontTest, EveryWineBitmapFontAtEverySizeItOffersAndBetween)
{
    const std::vector<fs::path> files = WineBitmapFonts();
    if (files.empty()) GTEST_SKIP() << "fonts-wine is not installed (package fonts-wine)";
    int sizesChecked = 0;
    for (const fs::path& file : files) {
        const std::vector<WinFont> fonts = ReadWinFontFile(file.string());
        ASSERT_FALSE(fonts.empty()) << file;
        int smallest = 1000;
        int largest = 0;
        for (const WinFont& font : fonts) {
            smallest = std::min(smallest, font.NominalSize());
            largest = std::max(largest, font.NominalSize());
        }
        for (int size = smallest - 1; size <= largest + 1; ++size) {
            const std::string what = file.filename().string() + " at " + std::to_string(size);
            const WinFont* expected = ExpectedFor(fonts, size);
            const Ref<TFreeTypeFont> font = Load(file.string(), size);
            if (expected == nullptr) {
                EXPECT_TRUE(font.IsNull()) << what << ": every size the file offers is larger";
            } else {
                ExpectFontIs(font, *expected, what);
                ++sizesChecked;
            }
            if (HasFatalFailure()) return;
        }
    }
    EXPECT_GT(sizesChecked, 50);
}

TEST_F(FreeTypeFontTest, ASizeBetweenTwoFacesOfAFileTakesTheSmaller)
{
    const fs::path file = WINE_FONTS / "sserife.fon";
    if (!fs::exists(file)) GTEST_SKIP() << "fonts-wine is not installed (package fonts-wine)";
    const std::vector<WinFont> fonts = ReadWinFontFile(file.string());
    ASSERT_EQ(fonts.size(), 3u);
    ASSERT_EQ(fonts[1].NominalSize(), 13);
    ASSERT_EQ(fonts[2].NominalSize(), 16);
    // Offered 13 and 16 (in faces of their own), a request for 14 gets 13.
    ExpectFontIs(Load(file.string(), 14), fonts[1], "sserife.fon at 14");
    // A one-bit glyph is fully opaque or fully clear, nothing between.
    const Ref<TPixmap> a = Downcast<TPixmap>(Load(file.string(), 14)->Glyph('A' - 32)->Pixels());
    ASSERT_FALSE(a.IsNull());
    bool seen[256] = {};
    for (int y = 0; y < a->Height(); ++y) {
        for (int x = 0; x < a->Width(); ++x)
            seen[*PixmapPixelPtr(a, x, y)] = true;
    }
    EXPECT_TRUE(seen[0] && seen[255]);
    EXPECT_EQ(std::count(std::begin(seen), std::end(seen), true), 2);
}

TEST_F(FreeTypeFontTest, AScalableFontIsRenderedInGreyLevelsBelowItsAscender)
{
    const fs::path file = WINE_FONTS / "tahoma.ttf";
    if (!fs::exists(file)) GTEST_SKIP() << "fonts-wine is not installed (package fonts-wine)";
    const Ref<TFreeTypeFont> font = Load(file.string(), 24);
    ASSERT_FALSE(font.IsNull());
    EXPECT_GE(font->Height(), 24);
    EXPECT_GT(font->ascender, 0);
    EXPECT_LT(font->descender, 0);
    const Ref<TFreeTypeGlyph> o = Downcast<TFreeTypeGlyph>(font->Glyph('O' - 32));
    const Ref<TPixmap> pixels = Downcast<TPixmap>(o->Pixels());
    ASSERT_FALSE(pixels.IsNull());
    EXPECT_GT(o->Advance(), 10.0f);
    // The pen is at the top of the line: a capital starts a little below it and ends on the baseline.
    EXPECT_GT(o->y, 0);
    EXPECT_NEAR(o->y + o->height, font->ascender, 1);
    int between = 0;
    for (int y = 0; y < pixels->Height(); ++y) {
        for (int x = 0; x < pixels->Width(); ++x) {
            const int alpha = *PixmapPixelPtr(pixels, x, y);
            between += alpha > 0 && alpha < 255;
        }
    }
    EXPECT_GT(between, 10) << "an outline's edges are partly covered pixels";
    // A space has an advance and no picture.
    EXPECT_TRUE(font->Glyph(0)->Pixels().IsNull());
    EXPECT_GT(font->Glyph(0)->Advance(), 0.0f);
}

TEST_F(FreeTypeFontTest, EveryKindOfUrlReadsTheSameFile)
{
    const std::vector<WinFont> fonts = ConsoleFonts();
    ASSERT_EQ(fonts.size(), 2u);
    for (const std::string& url :
         {std::string("incbin::Vanta.fon"), std::string("bigendian::incbin::Vanta.fon"),
          std::string(VANTA_CONSOLE_FONT_FILE), std::string("littleendian::") + VANTA_CONSOLE_FONT_FILE})
        ExpectFontIs(Load(url, 10), fonts[0], url);
}

TEST_F(FreeTypeFontTest, WhatIsNotAFontOrCannotBeOpenedIsNull)
{
    const std::vector<std::uint8_t> font = FileBytes(VANTA_CONSOLE_FONT_FILE);
    // Cut in its headers, in its resource table and in the bitmaps of either face.
    for (std::size_t length : {std::size_t{0}, std::size_t{40}, std::size_t{0x90}, std::size_t{0x120}, font.size() / 2,
                               font.size() - 700, font.size() - 20}) {
        const std::string name = "cut-" + std::to_string(length) + ".fon";
        Embed(name, std::vector<std::uint8_t>(font.begin(), font.begin() + static_cast<std::ptrdiff_t>(length)));
        const Ref<TFreeTypeFont> loaded = Load("incbin::" + name, 10);
        if (!loaded.IsNull()) {
            // Only a cut after the first face's resource leaves that face readable, and then it is whole.
            ExpectFontIs(loaded, ConsoleFonts()[0], name);
        }
    }
    EXPECT_TRUE(Load("incbin::cut-0.fon", 10).IsNull());

    // A character whose bitmap offset lies past the end of its font is empty; the others stay whole.
    std::vector<std::uint8_t> lying = font;
    const std::string mark = "Typeface made for VantaMax";
    // The copyright text opens every font's header: twice in the font directory, then in the first font.
    auto at = lying.begin();
    for (int seen = 0; seen < 3 && at != lying.end(); ++seen)
        at = std::search(seen == 0 ? at : at + 1, lying.end(), mark.begin(), mark.end());
    ASSERT_NE(at, lying.end());
    const std::size_t entryA = static_cast<std::size_t>(at - lying.begin()) - 6 + 148 + ('A' - 32) * 6;
    for (std::size_t i = 2; i < 6; ++i)
        lying[entryA + i] = 0x7F;
    Embed("lying.fon", lying);
    const Ref<TFreeTypeFont> liar = Load("incbin::lying.fon", 10);
    ASSERT_FALSE(liar.IsNull());
    EXPECT_TRUE(liar->Glyph('A' - 32)->Pixels().IsNull());
    EXPECT_EQ(liar->Glyph('A' - 32)->Advance(), 0.0f);
    EXPECT_FALSE(liar->Glyph('B' - 32)->Pixels().IsNull());
    EXPECT_TRUE(Load("incbin::cut-40.fon", 10).IsNull());

    EXPECT_TRUE(Load("incbin::NoSuch.fon", 10).IsNull());
    EXPECT_TRUE(Load("/nonexistent/Vanta.fon", 10).IsNull());
    EXPECT_TRUE(Load("nosuch::Vanta.fon", 10).IsNull());
    EXPECT_TRUE(Load("incbin::", 10).IsNull());
    EXPECT_TRUE(Load("", 10).IsNull());
    EXPECT_TRUE(Load(std::string(FONT_SOURCES) + "/VantaFont.txt", 10).IsNull()) << "a text file";
    EXPECT_TRUE(Load(std::string(PIXMAP_TEST_DATA) + "/png_rgba.png", 10).IsNull()) << "a picture";
    EXPECT_TRUE(Load("incbin::Vanta.fon", 0).IsNull());
    EXPECT_TRUE(Load("incbin::Vanta.fon", -10).IsNull());
    EXPECT_TRUE(TFreeTypeFont::Load(NewArray("i", 3), 10, 0).IsNull()) << "a url that is not a string";
}

TEST_F(FreeTypeFontTest, EveryStreamTheLoaderOpensIsClosedAgain)
{
    // "counted::name" opens the embedded file through a watched stream, kept here.
    static std::vector<Ref<test::TWatchedStream>> opened;
    New<test::TTestOpener>("counted", [](const Ref<String>& path, bool readable, bool writeable) -> Ref<TByteStream> {
        const Ref<TByteStream> inner = OpenStream("incbin::"_s + path, readable, writeable);
        if (inner.IsNull()) return Null;
        opened.push_back(test::TWatchedStream::Over(inner));
        return opened.back();
    });
    const auto closed = [] {
        return std::count_if(opened.begin(), opened.end(), [](const auto& stream) { return stream->closes > 0; });
    };
    const std::vector<std::uint8_t> font = FileBytes(VANTA_CONSOLE_FONT_FILE);
    Embed("counted-cut.fon", std::vector<std::uint8_t>(font.begin(), font.begin() + 300));
    struct Case
    {
        const char* url;
        std::int32_t size;
        bool loads;
    };
    for (const Case& c : {Case{"counted::Vanta.fon", 12, true}, Case{"counted::Vanta.fon", 10, true},
                          Case{"counted::Vanta.fon", 5, false}, Case{"counted::counted-cut.fon", 10, false},
                          Case{"bigendian::counted::Vanta.fon", 11, true}}) {
        opened.clear();
        EXPECT_EQ(Load(c.url, c.size).IsNull(), !c.loads) << c.url << " at " << c.size;
        EXPECT_GE(opened.size(), 1u) << c.url;
        EXPECT_EQ(closed(), std::ssize(opened)) << c.url << " at " << c.size;
    }
    opened.clear();
    EXPECT_EQ(DescribeFontFile("counted::Vanta.fon"_s).size(), 2u);
    EXPECT_EQ(closed(), std::ssize(opened));
    opened.clear();
}

TEST_F(FreeTypeFontTest, TheLoaderJoinsTheChainOnceAndTakesOnlyStrings)
{
    InitFreeTypeFontModule();
    int loaders = 0;
    for (Ref<TFontLoader> loader = FontLoaders(); !loader.IsNull(); loader = loader->next)
        loaders += !Downcast<TFreeTypeFontLoader>(loader).IsNull();
    EXPECT_EQ(loaders, 1);
    const Ref<TFont> font = LoadFont("incbin::Vanta.fon"_s, 10, 4);
    ASSERT_FALSE(Downcast<TFreeTypeFont>(font).IsNull());
    EXPECT_EQ(font->Style(), 4);
    EXPECT_EQ(font->Height(), 12);
    EXPECT_TRUE(LoadFont(OpenReadStream("incbin::Vanta.fon"_s), 10, 0).IsNull()) << "a stream is not a url it takes";
    EXPECT_TRUE(LoadFont(""_s, 10, 0).IsNull());
}

TEST_F(FreeTypeFontTest, DescribingAFileListsEveryFaceWithItsSizes)
{
    const std::vector<FontFaceInfo> faces = DescribeFontFile("incbin::Vanta.fon"_s);
    ASSERT_EQ(faces.size(), 2u);
    EXPECT_EQ(faces[0].family, "Vanta");
    EXPECT_EQ(faces[0].format, "Windows FNT");
    EXPECT_FALSE(faces[0].scalable);
    ASSERT_EQ(faces[0].sizes.size(), 1u);
    EXPECT_EQ(faces[0].sizes[0].size, 10);
    EXPECT_EQ(faces[0].sizes[0].height, 12);
    EXPECT_EQ(faces[0].sizes[0].ascender, 9);
    EXPECT_EQ(faces[0].sizes[0].descender, -3);
    ASSERT_EQ(faces[1].sizes.size(), 1u);
    EXPECT_EQ(faces[1].sizes[0].size, 12);
    EXPECT_EQ(faces[1].sizes[0].height, 16);
    EXPECT_TRUE(DescribeFontFile("incbin::NoSuch.fon"_s).empty());
    EXPECT_TRUE(DescribeFontFile(String::FromCString((std::string(FONT_SOURCES) + "/VantaFont.txt").c_str())).empty());
}

} // namespace
} // namespace vanta::test
