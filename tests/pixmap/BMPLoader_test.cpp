// The BMP loader: files made by common tools against stb_image (1, 4, 8, 24 bits; 12-, 40-, 108- and
// 124-byte headers; top-down), and hand-made files for palettes, offsets, padding and refusals.
#include "pixmap/loaders/BMPLoader.h"
#include "support/LoaderTestSupport.h"

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
    EXPECT_TRUE(LoadBMP(Fixture("bmp8_rle.bmp")).IsNull()) << "run-length compressed";
    for (std::uint32_t bits : {0u, 2u, 16u, 32u, 64u}) {
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

} // namespace
} // namespace vanta::test
