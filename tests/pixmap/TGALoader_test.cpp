// The TGA loader: files made by common tools against stb_image (24 and 32 bits, raw and run-length,
// both origins) and hand-made files for 15 and 16 bits, packets across rows, size limits and refusals.
#include "pixmap/loaders/TGALoader.h"
#include "support/LoaderTestSupport.h"

namespace vanta::test {
namespace {

Ref<TPixmap> LoadTGA(const std::string& bytes)
{
    return Registered<TTGALoader>()->LoadPixmap(MemoryOver(bytes));
}

struct TGACase
{
    const char* file;
    std::int32_t format;
};

class TGAFixtures : public ::testing::TestWithParam<TGACase>
{};

TEST_P(TGAFixtures, AgreeWithAnIndependentDecoder)
{
    InitLoadersForTest();
    const std::string bytes = Fixture(GetParam().file);
    const Ref<TPixmap> pixmap = LoadTGA(bytes);
    ASSERT_FALSE(pixmap.IsNull());
    EXPECT_EQ(pixmap->Format(), GetParam().format);
    const RGBAPicture reference = StbDecode(bytes);
    ASSERT_EQ(reference.width, 37);
    EXPECT_EQ(LargestDifference(PixmapRGBA(pixmap), reference), 0);
    EXPECT_EQ(LoaderOf(bytes), "TTGALoader");
}

INSTANTIATE_TEST_SUITE_P(Files, TGAFixtures,
                         ::testing::Values(TGACase{"tga24.tga", PF_RGB888}, TGACase{"tga24_rle.tga", PF_RGB888},
                                           TGACase{"tga32.tga", PF_RGBA8888}, TGACase{"tga32_rle.tga", PF_RGBA8888},
                                           TGACase{"tga32_topdown.tga", PF_RGBA8888},
                                           TGACase{"tga32_rle_topdown.tga", PF_RGBA8888}),
                         [](const auto& info) {
                             std::string name = info.param.file;
                             return name.substr(0, name.find('.'));
                         });

TEST(TGALoader, FifteenAndSixteenBitPixels)
{
    InitLoadersForTest();
    // Two pixels: 0x7C00 (red, bit 15 clear) and 0x83E0 (green, bit 15 set).
    const std::string payload("\x00\x7C\xE0\x83", 4);
    const Ref<TPixmap> sixteen = LoadTGA(MakeTGA(2, 16, 2, 1, 0, payload));
    ASSERT_FALSE(sixteen.IsNull());
    EXPECT_EQ(sixteen->Format(), PF_RGBA8888);
    EXPECT_EQ(sixteen->ReadPixel(0, 0), 0xFFF80000u);
    EXPECT_EQ(sixteen->ReadPixel(1, 0), 0x0000F800u) << "bit 15 set: alpha 0";
    const Ref<TPixmap> fifteen = LoadTGA(MakeTGA(2, 15, 2, 1, 0, payload));
    ASSERT_FALSE(fifteen.IsNull());
    EXPECT_EQ(fifteen->Format(), PF_RGB888);
    EXPECT_EQ(fifteen->ReadPixel(0, 0), 0xFFF80000u);
    EXPECT_EQ(fifteen->ReadPixel(1, 0), 0xFF00F800u);
}

TEST(TGALoader, RunLengthPacketsContinueOnTheNextRowAndStopAtThePicture)
{
    InitLoadersForTest();
    // 3 x 2, bottom-up: one run of 4 blue pixels (3 on the bottom row, 1 above), then a raw packet of 2
    // (red, green) that ends the top row, then a run of 128 that lies wholly past the picture.
    std::string payload("\x83\xFF\x00\x00"
                        "\x01\x00\x00\xFF\x00\xFF\x00"
                        "\xFF\x11\x22\x33",
                        15);
    const Ref<TPixmap> pixmap = LoadTGA(MakeTGA(10, 24, 3, 2, 0, payload));
    ASSERT_FALSE(pixmap.IsNull());
    for (std::int32_t x = 0; x < 3; ++x)
        EXPECT_EQ(pixmap->ReadPixel(x, 1), 0xFF0000FFu);
    EXPECT_EQ(pixmap->ReadPixel(0, 0), 0xFF0000FFu);
    EXPECT_EQ(pixmap->ReadPixel(1, 0), 0xFFFF0000u);
    EXPECT_EQ(pixmap->ReadPixel(2, 0), 0xFF00FF00u);
    // A run longer than the whole picture fills it and goes no further.
    const Ref<TPixmap> flood = LoadTGA(MakeTGA(10, 32, 2, 2, 0x20, std::string("\xFF\x01\x02\x03\x04", 5)));
    ASSERT_FALSE(flood.IsNull());
    EXPECT_EQ(flood->ReadPixel(1, 1), 0x04030201u);
}

TEST(TGALoader, TheIdFieldIsSkipped)
{
    InitLoadersForTest();
    const Ref<TPixmap> pixmap = LoadTGA(MakeTGA(2, 24, 1, 1, 0, std::string("\x01\x02\x03", 3), 7));
    ASSERT_FALSE(pixmap.IsNull());
    EXPECT_EQ(pixmap->ReadPixel(0, 0), 0xFF030201u);
}

TEST(TGALoader, SizesUpTo4096AreAccepted)
{
    InitLoadersForTest();
    const Ref<TPixmap> wide = LoadTGA(MakeTGA(2, 24, 4096, 1, 0, std::string(4096 * 3, '\x40')));
    ASSERT_FALSE(wide.IsNull());
    EXPECT_EQ(wide->Width(), 4096);
    EXPECT_TRUE(LoadTGA(MakeTGA(2, 24, 4097, 1, 0, std::string(4097 * 3, '\x40'))).IsNull());
    EXPECT_TRUE(LoadTGA(MakeTGA(2, 24, 1, 4097, 0, std::string(4097 * 3, '\x40'))).IsNull());
    EXPECT_TRUE(LoadTGA(MakeTGA(2, 24, 0, 1, 0, "abc")).IsNull());
    EXPECT_TRUE(LoadTGA(MakeTGA(2, 24, 1, 0, 0, "abc")).IsNull());
}

TEST(TGALoader, UnsupportedFilesAreRefused)
{
    InitLoadersForTest();
    const std::string pixel("\x01\x02\x03\x04", 4);
    EXPECT_TRUE(LoadTGA(MakeTGA(1, 8, 1, 1, 0, pixel, 0, 1)).IsNull()) << "colour-mapped";
    EXPECT_TRUE(LoadTGA(MakeTGA(1, 8, 1, 1, 0, pixel)).IsNull()) << "type 1 without a map";
    EXPECT_TRUE(LoadTGA(MakeTGA(2, 24, 1, 1, 0, pixel, 0, 1)).IsNull()) << "a colour map on a true-colour file";
    EXPECT_TRUE(LoadTGA(MakeTGA(3, 8, 1, 1, 0, pixel)).IsNull()) << "grey";
    EXPECT_TRUE(LoadTGA(MakeTGA(2, 8, 1, 1, 0, pixel)).IsNull()) << "8 bits";
    EXPECT_TRUE(LoadTGA(std::string(17, '\0')).IsNull()) << "shorter than a header";
}

TEST(TGALoader, ATruncatedFileKeepsTheRowsItHolds)
{
    InitLoadersForTest();
    for (const char* name : {"tga24.tga", "tga32_rle.tga"}) {
        const std::string bytes = Fixture(name);
        const Ref<TPixmap> whole = LoadTGA(bytes);
        const Ref<TPixmap> part = LoadTGA(bytes.substr(0, bytes.size() / 2));
        ASSERT_FALSE(part.IsNull()) << name;
        EXPECT_EQ(std::memcmp(part->PixelPtr(0, 20), whole->PixelPtr(0, 20), std::size_t(37 * part->BytesPerPixel())),
                  0)
            << name << ": the bottom row, stored first, is intact";
        EXPECT_EQ(part->ReadPixel(3, 0) & 0xFFFFFF, 0u) << name << ": the top row was never read";
        EXPECT_TRUE(LoadTGA(bytes.substr(0, 20)).IsNull()) << name;
    }
}

} // namespace
} // namespace vanta::test
