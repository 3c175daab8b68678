// The BMP loader: files made by common tools against stb_image (1, 4, 8, 24 bits; 12-, 40-, 108- and
// 124-byte headers; top-down), hand-made files for palettes, offsets, padding and refusals, and files of
// known pixels from the test writer for 2-bit palettes, 16- and 32-bit bit fields and run-length codes.
#include "pixmap/loaders/BMPLoader.h"
#include "support/BMPWriter.h"
#include "support/LoaderTestSupport.h"

#include <bit>
#include <cmath>
#include <tuple>

namespace vanta::test {
namespace {

Ref<TPixmap> LoadBMP(const std::string& bytes)
{
    return Registered<TBMPLoader>()->LoadPixmap(MemoryOver(bytes));
}

class BMPFixtures : public ::testing::TestWithParam<const char*>
{};

TEST_P(BMPFixtures, AgreeWithAnIndependentDecoder)
{
    InitLoadersForTest();
    const std::string bytes = Fixture(GetParam());
    const Ref<TPixmap> pixmap = LoadBMP(bytes);
    ASSERT_FALSE(pixmap.IsNull());
    EXPECT_EQ(pixmap->Format(), PF_RGB888);
    const RGBAPicture reference = StbDecode(bytes);
    ASSERT_EQ(reference.width, 37);
    EXPECT_EQ(LargestDifference(PixmapRGBA(pixmap), reference), 0);
    EXPECT_EQ(LoaderOf(bytes), "TBMPLoader");
}

INSTANTIATE_TEST_SUITE_P(Files, BMPFixtures,
                         ::testing::Values("bmp1.bmp", "bmp4.bmp", "bmp8.bmp", "bmp8_topdown.bmp", "bmp24.bmp",
                                           "bmp24_topdown.bmp", "bmp24_os2.bmp", "bmp24_v4.bmp", "bmp24_v5.bmp"),
                         [](const auto& info) {
                             std::string name = info.param;
                             return name.substr(0, name.find('.'));
                         });

TEST(BMPLoader, TopDownFilesMatchTheirBottomUpTwins)
{
    InitLoadersForTest();
    EXPECT_EQ(
        LargestDifference(PixmapRGBA(LoadBMP(Fixture("bmp24_topdown.bmp"))), PixmapRGBA(LoadBMP(Fixture("bmp24.bmp")))),
        0);
}

TEST(BMPLoader, OneBitTakesEntryOneWhereBitsAreSet)
{
    InitLoadersForTest();
    BMPFile file;
    file.width = 10;
    file.height = 1;
    file.bitCount = 1;
    file.palette = {0x000000, 0xFF0000};
    file.pixels = std::string("\xA0\x40\0\0", 4); // 1010 0000 0100 0000
    const Ref<TPixmap> pixmap = LoadBMP(file.Build());
    ASSERT_FALSE(pixmap.IsNull());
    for (std::int32_t x = 0; x < 10; ++x)
        EXPECT_EQ(pixmap->ReadPixel(x, 0), x == 0 || x == 2 || x == 9 ? 0xFFFF0000u : 0xFF000000u) << x;
}

TEST(BMPLoader, TwentyFourBitRowsArePaddedToWholeWords)
{
    InitLoadersForTest();
    BMPFile file;
    file.width = 3;
    file.height = 2;
    // Bottom row blue, green, red; top row white, black, grey; each row 9 bytes and 3 of padding.
    file.pixels = std::string("\xFF\0\0\0\xFF\0\0\0\xFF"
                              "PAD"
                              "\xFF\xFF\xFF\0\0\0\x80\x80\x80"
                              "PAD",
                              24);
    const Ref<TPixmap> pixmap = LoadBMP(file.Build());
    ASSERT_FALSE(pixmap.IsNull());
    EXPECT_EQ(pixmap->ReadPixel(0, 1), 0xFF0000FFu);
    EXPECT_EQ(pixmap->ReadPixel(1, 1), 0xFF00FF00u);
    EXPECT_EQ(pixmap->ReadPixel(2, 1), 0xFFFF0000u);
    EXPECT_EQ(pixmap->ReadPixel(0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(pixmap->ReadPixel(1, 0), 0xFF000000u);
    EXPECT_EQ(pixmap->ReadPixel(2, 0), 0xFF808080u);
}

TEST(BMPLoader, IndicesBeyondThePaletteReadAsBlack)
{
    InitLoadersForTest();
    BMPFile file;
    file.width = 4;
    file.height = 1;
    file.bitCount = 8;
    file.coloursUsed = 2;
    file.palette = {0x112233, 0x445566};
    file.pixels = std::string("\x01\x00\xC8\xFF", 4);
    const Ref<TPixmap> pixmap = LoadBMP(file.Build());
    ASSERT_FALSE(pixmap.IsNull());
    EXPECT_EQ(pixmap->ReadPixel(0, 0), 0xFF445566u);
    EXPECT_EQ(pixmap->ReadPixel(1, 0), 0xFF112233u);
    EXPECT_EQ(pixmap->ReadPixel(2, 0), 0xFF000000u);
    EXPECT_EQ(pixmap->ReadPixel(3, 0), 0xFF000000u);
}

TEST(BMPLoader, ColoursUsedBeyondTheTableIsClamped)
{
    InitLoadersForTest();
    BMPFile file;
    file.width = 2;
    file.height = 1;
    file.bitCount = 4;
    file.coloursUsed = 100000;
    file.palette.assign(16, 0x010203);
    file.palette[15] = 0xABCDEF;
    file.pixels = std::string("\xF0\0\0\0", 4);
    const Ref<TPixmap> pixmap = LoadBMP(file.Build());
    ASSERT_FALSE(pixmap.IsNull());
    EXPECT_EQ(pixmap->ReadPixel(0, 0), 0xFFABCDEFu);
    EXPECT_EQ(pixmap->ReadPixel(1, 0), 0xFF010203u);
}

TEST(BMPLoader, ThePixelDataOffsetIsHonoured)
{
    InitLoadersForTest();
    BMPFile file;
    file.width = 1;
    file.height = 1;
    file.gap = "junk between the headers and the pixels";
    file.pixels = std::string("\x10\x20\x30\0", 4);
    EXPECT_EQ(LoadBMP(file.Build())->ReadPixel(0, 0), 0xFF302010u);
    // A palette shorter than colours-used says: the offset tells where it really ends.
    BMPFile shortPalette;
    shortPalette.width = 2;
    shortPalette.height = 1;
    shortPalette.bitCount = 8;
    shortPalette.palette = {0x0000FF, 0x00FF00};
    shortPalette.pixels = std::string("\x00\x01\0\0", 4);
    const Ref<TPixmap> pixmap = LoadBMP(shortPalette.Build());
    ASSERT_FALSE(pixmap.IsNull());
    EXPECT_EQ(pixmap->ReadPixel(0, 0), 0xFF0000FFu);
    EXPECT_EQ(pixmap->ReadPixel(1, 0), 0xFF00FF00u);
}

TEST(BMPLoader, UnsupportedFilesAreRefused)
{
    InitLoadersForTest();
    for (std::uint32_t bits : {0u, 3u, 48u, 64u}) {
        BMPFile file;
        file.bitCount = bits;
        file.pixels = std::string(8, '\x7F');
        EXPECT_TRUE(LoadBMP(file.Build()).IsNull()) << bits << " bits";
    }
    BMPFile oddHeader;
    oddHeader.headerSize = 20;
    oddHeader.pixels = std::string(4, '\0');
    EXPECT_TRUE(LoadBMP(oddHeader.Build()).IsNull());
    EXPECT_TRUE(LoadBMP("BM").IsNull());
    EXPECT_TRUE(LoadBMP("MB and more bytes than a header holds, but not a bitmap").IsNull());
}

TEST(BMPLoader, AbsurdSizesAreRefusedBeforeAnyAllocation)
{
    InitLoadersForTest();
    const std::int64_t inUse = MemoryInUse();
    for (auto [w, h] : {std::pair{0, 1},
                        {1, 0},
                        {16385, 1},
                        {1, -16385},
                        {-5, 5},
                        {16384, 16384},
                        {0x7FFFFFFF, 1},
                        {1, static_cast<std::int32_t>(0x80000000u)}}) {
        BMPFile file;
        file.width = w;
        file.height = h;
        file.pixels = std::string(16, '\0');
        EXPECT_TRUE(LoadBMP(file.Build()).IsNull()) << w << " x " << h;
    }
    EXPECT_LT(MemoryInUse() - inUse, 4096);
}

TEST(BMPLoader, ATruncatedFileKeepsTheRowsItHolds)
{
    InitLoadersForTest();
    const std::string bytes = Fixture("bmp24.bmp");
    const Ref<TPixmap> whole = LoadBMP(bytes);
    // 54 bytes of headers and 21 rows of 112 bytes: keep the bottom 10 rows and half of the 11th.
    const Ref<TPixmap> part = LoadBMP(bytes.substr(0, 54 + 10 * 112 + 50));
    ASSERT_FALSE(part.IsNull());
    for (std::int32_t y = 0; y < 21; ++y) {
        if (y >= 11) {
            EXPECT_EQ(std::memcmp(part->PixelPtr(0, y), whole->PixelPtr(0, y), 37 * 3), 0) << y;
        } else {
            EXPECT_EQ(part->ReadPixel(5, y), 0xFF000000u) << y;
        }
    }
    EXPECT_TRUE(LoadBMP(bytes.substr(0, 54 + 50)).IsNull()) << "not one whole row";
}

// The 8-bit value a field of `bits` bits holding `value` widens to, worked out in floating point.
std::uint32_t Widened(std::uint32_t value, std::uint32_t mask)
{
    const double largest = double(mask >> std::countr_zero(mask));
    return static_cast<std::uint32_t>(std::lround(value * 255.0 / largest));
}

struct BitFieldCase
{
    const char* name;
    std::uint32_t bitCount;
    std::uint32_t compression;
    std::uint32_t headerSize;
    std::array<std::uint32_t, 4> masks; // as the pixels are packed
    bool alphaIsReal;                   // false: the loader must ignore what the alpha mask holds
};

class BMPBitFields : public ::testing::TestWithParam<std::tuple<BitFieldCase, bool>>
{};

// Every pixel of a 64 x 3 picture holds field values that sweep each channel's range; what loads must
// be each value widened with rounding.
TEST_P(BMPBitFields, EveryChannelIsWidenedWithRounding)
{
    InitLoadersForTest();
    const auto& [c, topDown] = GetParam();
    BMPWriter file;
    file.width = 64;
    file.height = 3;
    file.bitCount = c.bitCount;
    file.compression = c.compression;
    file.headerSize = c.headerSize;
    file.masks = c.masks;
    file.topDown = topDown;
    std::vector<std::uint32_t> expected;
    for (std::uint32_t y = 0; y < 3; ++y) {
        for (std::uint32_t x = 0; x < 64; ++x) {
            std::uint32_t values[4];
            for (std::size_t i = 0; i < 4; ++i) {
                const std::uint32_t largest = c.masks[i] == 0 ? 0 : c.masks[i] >> std::countr_zero(c.masks[i]);
                // Channels sweep at different speeds, and rows differ, so no channel can stand in for another.
                values[i] = largest == 0 ? 0 : (x * (2 * i + 1) + y * 7 + i) % (largest + 1);
            }
            if (x == 0) values[0] = c.masks[0] >> std::countr_zero(c.masks[0]); // the largest red
            file.pixels.push_back(BMPWriter::Pack(c.masks, values[0], values[1], values[2], values[3]));
            const std::uint32_t alpha = c.alphaIsReal ? Widened(values[3], c.masks[3]) : 255;
            expected.push_back(alpha << 24 | Widened(values[0], c.masks[0]) << 16 |
                               Widened(values[1], c.masks[1]) << 8 | Widened(values[2], c.masks[2]));
        }
    }
    const Ref<TPixmap> pixmap = LoadBMP(file.Build());
    ASSERT_FALSE(pixmap.IsNull());
    EXPECT_EQ(pixmap->Format(), c.alphaIsReal ? PF_RGBA8888 : PF_RGB888);
    int wrong = 0;
    for (std::int32_t y = 0; y < 3; ++y) {
        for (std::int32_t x = 0; x < 64; ++x) {
            const std::uint32_t want = expected[std::size_t(y) * 64 + x];
            if (pixmap->ReadPixel(x, y) != want && ++wrong < 5)
                ADD_FAILURE() << std::hex << "(" << x << ", " << y << "): 0x" << pixmap->ReadPixel(x, y) << ", not 0x"
                              << want;
        }
    }
    EXPECT_EQ(pixmap->ReadPixel(0, 0) >> 16 & 0xFF, 255u) << "the largest red of any width is 255";
}

constexpr std::array<std::uint32_t, 4> RGB555{0x7C00, 0x03E0, 0x001F, 0};
constexpr std::array<std::uint32_t, 4> RGB565{0xF800, 0x07E0, 0x001F, 0};
INSTANTIATE_TEST_SUITE_P(
    Layouts, BMPBitFields,
    ::testing::Combine(
        ::testing::Values(
            BitFieldCase{"Plain16", 16, 0, 40, RGB555, false}, BitFieldCase{"Masks565", 16, 3, 40, RGB565, false},
            BitFieldCase{"Masks565InV4Header", 16, 3, 108, RGB565, false},
            BitFieldCase{"Alpha1555InV5Header", 16, 3, 124, {0x7C00, 0x03E0, 0x001F, 0x8000}, true},
            BitFieldCase{"Alpha4444InV3Header", 16, 3, 56, {0x0F00, 0x00F0, 0x000F, 0xF000}, true},
            BitFieldCase{"Plain32FourthByteIsNotAlpha", 32, 0, 40, {0xFF0000, 0xFF00, 0xFF, 0xFF000000}, false},
            BitFieldCase{"Masks32InV2Header", 32, 3, 52, {0xFF0000, 0xFF00, 0xFF, 0}, false},
            BitFieldCase{"Alpha32InV5Header", 32, 3, 124, {0xFF0000, 0xFF00, 0xFF, 0xFF000000}, true},
            BitFieldCase{"Alpha32ByV5HeaderWithoutMasks", 32, 0, 124, {0xFF0000, 0xFF00, 0xFF, 0xFF000000}, true},
            BitFieldCase{"AlphaMasksAfterTheHeaderInAnyOrder", 32, 6, 40, {0xFF, 0xFF000000, 0xFF00, 0xFF0000}, true},
            BitFieldCase{"TenBitChannels", 32, 3, 124, {0x3FF00000, 0xFFC00, 0x3FF, 0xC0000000}, true}),
        ::testing::Bool()),
    [](const auto& info) {
        return std::string(std::get<0>(info.param).name) + (std::get<1>(info.param) ? "TopDown" : "");
    });

TEST(BMPLoader, AnAlphaMaskThatIsZeroEverywhereMeansOpaque)
{
    InitLoadersForTest();
    BMPWriter file;
    file.width = 3;
    file.height = 2;
    file.bitCount = 32;
    file.compression = 3;
    file.headerSize = 124;
    file.masks = {0xFF0000, 0xFF00, 0xFF, 0xFF000000};
    file.pixels = {0x102030, 0x405060, 0x708090, 0xA0B0C0, 0xD0E0F0, 0x000000};
    const Ref<TPixmap> opaque = LoadBMP(file.Build());
    ASSERT_FALSE(opaque.IsNull());
    EXPECT_EQ(opaque->ReadPixel(0, 0), 0xFF102030u);
    EXPECT_EQ(opaque->ReadPixel(2, 1), 0xFF000000u);
    // One pixel with alpha makes the mask real for all.
    file.pixels[4] |= 0x01000000;
    const Ref<TPixmap> real = LoadBMP(file.Build());
    EXPECT_EQ(real->ReadPixel(0, 0), 0x00102030u);
    EXPECT_EQ(real->ReadPixel(1, 1), 0x01D0E0F0u);
}

TEST(BMPLoader, TwoBitPalettesInBothRowOrders)
{
    InitLoadersForTest();
    for (bool topDown : {false, true}) {
        BMPWriter file;
        file.width = 7;
        file.height = 2;
        file.bitCount = 2;
        file.topDown = topDown;
        file.palette = {0x000000, 0xFF0000, 0x00FF00, 0x0000FF};
        file.pixels = {0, 1, 2, 3, 3, 2, 1, /**/ 2, 2, 0, 1, 3, 0, 1};
        const Ref<TPixmap> pixmap = LoadBMP(file.Build());
        ASSERT_FALSE(pixmap.IsNull());
        EXPECT_EQ(pixmap->Format(), PF_RGB888);
        for (std::int32_t i = 0; i < 14; ++i)
            EXPECT_EQ(pixmap->ReadPixel(i % 7, i / 7), 0xFF000000u | file.palette[file.pixels[std::size_t(i)]])
                << i << (topDown ? " top-down" : "");
    }
}

// A picture of palette indices with long runs, short stretches and lone pixels, `width` wide.
std::vector<std::uint32_t> IndexPicture(std::int32_t width, std::int32_t height, std::uint32_t colours)
{
    std::vector<std::uint32_t> indices;
    for (std::int32_t y = 0; y < height; ++y) {
        for (std::int32_t x = 0; x < width; ++x)
            indices.push_back(x < 9 ? std::uint32_t(y) % colours : (x < 14 ? std::uint32_t(x * 5 + y) % colours : 3));
    }
    return indices;
}

std::vector<std::uint32_t> SixteenColours()
{
    std::vector<std::uint32_t> palette;
    for (std::uint32_t i = 0; i < 16; ++i)
        palette.push_back(i * 0x0F0000 | (15 - i) * 0x1100 | (i * 7 % 16) * 0x10);
    return palette;
}

TEST(BMPLoader, RunLengthPicturesMatchWhatWasWritten)
{
    InitLoadersForTest();
    for (bool fourBit : {false, true}) {
        for (bool topDown : {false, true}) {
            const std::vector<std::uint32_t> indices = IndexPicture(17, 4, 16);
            BMPWriter file;
            file.width = 17;
            file.height = 4;
            file.bitCount = fourBit ? 4 : 8;
            file.compression = fourBit ? 2 : 1;
            file.topDown = topDown;
            file.palette = SixteenColours();
            file.codes = BMPWriter::RunLengthCodes(indices, 17, 4, fourBit, topDown);
            const Ref<TPixmap> pixmap = LoadBMP(file.Build());
            ASSERT_FALSE(pixmap.IsNull());
            EXPECT_EQ(pixmap->Format(), PF_RGBA8888);
            for (std::int32_t i = 0; i < 17 * 4; ++i)
                ASSERT_EQ(pixmap->ReadPixel(i % 17, i / 17), 0xFF000000u | file.palette[indices[std::size_t(i)]])
                    << (fourBit ? "RLE4 " : "RLE8 ") << (topDown ? "top-down " : "") << i;
        }
    }
}

TEST(BMPLoader, ARunLengthFileFromACommonToolMatchesItsUncompressedTwin)
{
    InitLoadersForTest();
    const RGBAPicture compressed = PixmapRGBA(LoadBMP(Fixture("bmp8_rle.bmp")));
    const RGBAPicture plain = PixmapRGBA(LoadBMP(Fixture("bmp8.bmp")));
    EXPECT_EQ(LargestDifference(compressed, plain), 0);
}

// A 6 x 3 RLE8 picture of the palette below made of `codes`, loaded.
Ref<TPixmap> LoadCodes(const std::string& codes, std::uint32_t compression = 1)
{
    BMPWriter file;
    file.width = 6;
    file.height = 3;
    file.bitCount = compression == 1 ? 8 : 4;
    file.compression = compression;
    file.palette = {0x000000, 0x0000FF, 0x00FF00, 0xFF0000};
    file.codes = codes;
    return LoadBMP(file.Build());
}

// The loaded picture as text, top row first: '.' transparent, 'K' black, 'B', 'G', 'R', '?' for others.
std::string Letters(const Ref<TPixmap>& pixmap)
{
    std::string text;
    for (std::int32_t y = 0; y < pixmap->Height(); ++y) {
        for (std::int32_t x = 0; x < pixmap->Width(); ++x) {
            switch (pixmap->ReadPixel(x, y)) {
            case 0x00000000: text += '.'; break;
            case 0xFF000000: text += 'K'; break;
            case 0xFF0000FF: text += 'B'; break;
            case 0xFF00FF00: text += 'G'; break;
            case 0xFFFF0000: text += 'R'; break;
            default: text += '?';
            }
        }
        text += '/';
    }
    return text;
}

TEST(BMPLoader, RunLengthEscapesAndWhatNoCodeReaches)
{
    InitLoadersForTest();
    using namespace std::string_literals;
    // Bottom row: 2 blue, then a delta of 1 right and 1 up; 1 green; end of line; 3 red; end of picture.
    EXPECT_EQ(Letters(LoadCodes("\x02\x01\0\x02\x01\x01\x01\x02\0\0\x03\x03\0\x01"s)), "RRR.../...G../BB..../");
    // A literal stretch of 3 with its pad byte, then a run cut at the row's end that does not wrap.
    EXPECT_EQ(Letters(LoadCodes("\0\x03\x01\x02\x03\0\x09\x01\0\0\x01\x02"s)), "....../G...../BGRBBB/");
    // A literal stretch that runs past the row is cut there too; the next code still lines up.
    EXPECT_EQ(Letters(LoadCodes("\x04\x02\0\x04\x01\x01\x01\x01\0\0\x01\x03\0\x01"s)), "....../R...../GGGGBB/");
    // A delta past the last row ends the picture; so does the end of the data, wherever it comes.
    EXPECT_EQ(Letters(LoadCodes("\x01\x01\0\x02\x00\x09\x06\x02"s)), "....../....../B...../");
    EXPECT_EQ(Letters(LoadCodes("\x06\x03\0\0\x06\x02\0"s)), "....../GGGGGG/RRRRRR/");
    EXPECT_EQ(Letters(LoadCodes("\0\x05\x01\x02"s)), "....../....../....../") << "a literal stretch cut short";
    // Indices past the palette are black; RLE4 takes a run's two indices in turn.
    EXPECT_EQ(Letters(LoadCodes("\x02\xC8\x02\xFF\0\x01"s)), "....../....../KKKK../");
    EXPECT_EQ(Letters(LoadCodes("\x05\x12\0\0\0\x03\x31\x20\0\x01"s, 2)), "....../RBG.../BGBGB./");
    EXPECT_TRUE(LoadCodes("").IsNull()) << "no pixel data at all";
}

TEST(BMPLoader, DamagedMasksAndLayoutsAreRefused)
{
    InitLoadersForTest();
    auto withMasks = [](std::uint32_t bitCount, std::array<std::uint32_t, 4> masks, std::uint32_t headerSize = 124) {
        BMPWriter file;
        file.width = 2;
        file.height = 2;
        file.bitCount = bitCount;
        file.compression = 3;
        file.headerSize = headerSize;
        file.masks = masks;
        file.pixels = {1, 2, 3, 4};
        return LoadBMP(file.Build());
    };
    EXPECT_FALSE(withMasks(16, RGB565).IsNull());
    EXPECT_TRUE(withMasks(16, {0xF800, 0x0FE0, 0x001F, 0}).IsNull()) << "red and green overlap";
    EXPECT_TRUE(withMasks(16, {0xF800, 0x07E0, 0x001F, 0x0001}).IsNull()) << "alpha overlaps blue";
    EXPECT_TRUE(withMasks(16, {0x1F0000, 0x07E0, 0x001F, 0}).IsNull()) << "red beyond 16 bits";
    EXPECT_TRUE(withMasks(16, {0xF800, 0, 0x001F, 0}).IsNull()) << "no green";
    EXPECT_TRUE(withMasks(32, {0, 0, 0, 0}).IsNull()) << "no masks at all";
    EXPECT_TRUE(withMasks(32, {0xF0F000, 0xF00, 0xF, 0}).IsNull()) << "red in two pieces";
    EXPECT_TRUE(withMasks(24, {0xFF0000, 0xFF00, 0xFF, 0}).IsNull()) << "bit fields of 24 bits";
    EXPECT_TRUE(withMasks(8, {0xE0, 0x1C, 0x03, 0}).IsNull()) << "bit fields of 8 bits";
    EXPECT_TRUE(withMasks(16, RGB565, 64).IsNull()) << "OS/2 Huffman coding";
    for (auto [bits, compression] : {std::pair{4u, 1u}, {8u, 2u}, {24u, 1u}, {8u, 4u}, {24u, 5u}, {32u, 7u}}) {
        BMPWriter file;
        file.bitCount = bits;
        file.compression = compression;
        file.codes = std::string("\x01\x01\0\x01", 4);
        file.pixels = {1};
        EXPECT_TRUE(LoadBMP(file.Build()).IsNull()) << bits << " bits, compression " << compression;
    }
    // Masks cut off by the end of the file.
    BMPWriter cut;
    cut.bitCount = 16;
    cut.compression = 3;
    cut.masks = RGB565;
    EXPECT_TRUE(LoadBMP(cut.Build().substr(0, 14 + 40 + 6)).IsNull());
}

TEST(BMPLoader, DamagedNewKindsNeverReadPastTheirData)
{
    InitLoadersForTest();
    // Every prefix of a file of each new kind loads or is refused; the sanitizer builds watch the reads.
    std::vector<std::string> files;
    BMPWriter rle;
    rle.width = 17;
    rle.height = 4;
    rle.bitCount = 4;
    rle.compression = 2;
    rle.palette = SixteenColours();
    rle.codes = BMPWriter::RunLengthCodes(IndexPicture(17, 4, 16), 17, 4, true);
    files.push_back(rle.Build());
    BMPWriter fields;
    fields.width = 5;
    fields.height = 3;
    fields.bitCount = 32;
    fields.compression = 6;
    fields.masks = {0xFF0000, 0xFF00, 0xFF, 0xFF000000};
    fields.pixels.assign(15, 0x80402010);
    files.push_back(fields.Build());
    BMPWriter twoBit;
    twoBit.width = 9;
    twoBit.height = 2;
    twoBit.bitCount = 2;
    twoBit.palette = {1, 2, 3, 4};
    twoBit.pixels.assign(18, 3);
    files.push_back(twoBit.Build());
    for (const std::string& whole : files) {
        for (std::size_t size = 0; size < whole.size(); ++size) {
            const Ref<TPixmap> pixmap = LoadBMP(whole.substr(0, size));
            if (!pixmap.IsNull()) {
                EXPECT_GE(size, 14u + 40u) << "a picture from its headers alone";
            }
        }
    }
    // Huge sizes are refused before anything is allocated, compressed or not.
    const std::int64_t inUse = MemoryInUse();
    for (std::uint32_t compression : {1u, 3u}) {
        BMPWriter huge;
        huge.width = 16384;
        huge.height = 16384;
        huge.bitCount = compression == 1 ? 8 : 32;
        huge.compression = compression;
        huge.masks = {0xFF0000, 0xFF00, 0xFF, 0};
        huge.codes = std::string("\x02\x01\0\x01", 4);
        EXPECT_TRUE(LoadBMP(huge.Build()).IsNull()) << compression;
    }
    EXPECT_LT(MemoryInUse() - inUse, 4096);
}

} // namespace
} // namespace vanta::test
