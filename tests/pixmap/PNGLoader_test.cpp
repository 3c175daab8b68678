// The PNG loader and writer: every colour type against stb_image, the format each becomes, damaged files,
// the stream left closed and `PNGStream` cleared, and writer round trips for the six pixel formats.
#include "pixmap/loaders/PNGLoader.h"
#include "runtime/Error.h"
#include "stream/MemoryBlock.h"
#include "support/LoaderTestSupport.h"
#include "support/TempFolder.h"

#include <filesystem>

namespace vanta::test {
namespace {

struct PNGCase
{
    const char* file;
    std::int32_t format;
};

class PNGFixtures : public ::testing::TestWithParam<PNGCase>
{};

TEST_P(PNGFixtures, AgreeWithAnIndependentDecoder)
{
    InitLoadersForTest();
    const std::string bytes = Fixture(GetParam().file);
    const Ref<TPixmap> pixmap = Registered<TPNGLoader>()->LoadPixmap(MemoryOver(bytes));
    ASSERT_FALSE(pixmap.IsNull());
    EXPECT_EQ(pixmap->Format(), GetParam().format);
    const RGBAPicture reference = StbDecode(bytes);
    ASSERT_EQ(reference.width, 37);
    EXPECT_EQ(LargestDifference(PixmapRGBA(pixmap), reference), 0);
    EXPECT_TRUE(PNGStream().IsNull());
}

INSTANTIATE_TEST_SUITE_P(Files, PNGFixtures,
                         ::testing::Values(PNGCase{"png_grey.png", PF_I8}, PNGCase{"png_grey1.png", PF_I8},
                                           PNGCase{"png_grey_trns.png", PF_RGBA8888},
                                           PNGCase{"png_grey_alpha.png", PF_RGBA8888},
                                           PNGCase{"png_palette.png", PF_RGB888},
                                           PNGCase{"png_palette_trns.png", PF_RGBA8888},
                                           PNGCase{"png_rgb.png", PF_RGB888}, PNGCase{"png_rgba.png", PF_RGBA8888},
                                           PNGCase{"png_rgb16.png", PF_RGB888}, PNGCase{"png_rgba16.png", PF_RGBA8888},
                                           PNGCase{"png_interlaced.png", PF_RGBA8888}),
                         [](const auto& info) {
                             std::string name = info.param.file;
                             return name.substr(0, name.find('.'));
                         });

TEST(PNGLoader, GreyWithAlphaHasEqualRedGreenAndBlue)
{
    InitLoadersForTest();
    const Ref<TPixmap> pixmap = LoadBytes(Fixture("png_grey_alpha.png"));
    ASSERT_FALSE(pixmap.IsNull());
    for (std::int32_t x = 0; x < pixmap->Width(); ++x) {
        const std::uint8_t* p = pixmap->PixelPtr(x, 10);
        EXPECT_EQ(p[0], p[1]);
        EXPECT_EQ(p[1], p[2]);
    }
}

TEST(PNGLoader, SixteenBitSamplesKeepTheirHighByte)
{
    InitLoadersForTest();
    const RGBAPicture wide = PixmapRGBA(LoadBytes(Fixture("png_rgba16.png")));
    const RGBAPicture narrow = PixmapRGBA(LoadBytes(Fixture("png_rgba.png")));
    EXPECT_EQ(LargestDifference(wide, narrow), 0);
}

TEST(PNGLoader, AWrongSignatureIsLeftToTheOtherLoadersFromTheStart)
{
    InitLoadersForTest();
    std::string bytes = Fixture("png_rgb.png");
    bytes[1] = 'Q';
    EXPECT_TRUE(Registered<TPNGLoader>()->LoadPixmap(MemoryOver(bytes)).IsNull());
    EXPECT_TRUE(LoadBytes(bytes).IsNull());
    // A BMP is read by the last loader although three others read its first bytes before it.
    EXPECT_EQ(LoaderOf(Fixture("bmp24.bmp")), "TBMPLoader");
}

TEST(PNGLoader, ADamagedFileGivesNullAndLeavesNothingOpen)
{
    InitLoadersForTest();
    std::string bytes = Fixture("png_rgba.png");
    // A flipped bit inside the compressed data: the chunk's checksum no longer matches.
    bytes[bytes.size() / 2] = char(bytes[bytes.size() / 2] ^ 0x10);
    const Ref<TMemoryStream> stream = MemoryOver(bytes);
    EXPECT_TRUE(Registered<TPNGLoader>()->LoadPixmap(stream).IsNull());
    EXPECT_TRUE(PNGStream().IsNull());
    // The caller's stream stays usable: only the loader's wrapper was closed.
    EXPECT_EQ(stream->Seek(0), 0);
    EXPECT_EQ(ReadByte(stream), 0x89);
}

TEST(PNGLoader, HeadersBeyondThePixmapLimitsAreRefusedBeforeDecoding)
{
    InitLoadersForTest();
    std::string bytes = Fixture("png_rgba.png");
    // IHDR width and height (big-endian at offsets 16 and 20); the checksum is not fixed, so libpng
    // would complain anyway; with the right checksum the size check must refuse it.
    auto setSize = [&bytes](std::uint32_t w, std::uint32_t h) {
        for (int i = 0; i < 4; ++i) {
            bytes[16 + i] = char(w >> (24 - 8 * i));
            bytes[20 + i] = char(h >> (24 - 8 * i));
        }
        // CRC-32 of "IHDR" and its 13 data bytes.
        std::uint32_t crc = 0xFFFFFFFFu;
        for (int i = 12; i < 29; ++i) {
            crc ^= std::uint8_t(bytes[i]);
            for (int k = 0; k < 8; ++k)
                crc = crc & 1 ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
        }
        crc ^= 0xFFFFFFFFu;
        for (int i = 0; i < 4; ++i)
            bytes[29 + i] = char(crc >> (24 - 8 * i));
    };
    setSize(16384, 16384);
    EXPECT_TRUE(LoadBytes(bytes).IsNull()) << "1 GiB of RGBA";
    setSize(20000, 1);
    EXPECT_TRUE(LoadBytes(bytes).IsNull());
    setSize(37, 21);
    EXPECT_FALSE(LoadBytes(bytes).IsNull()) << "the checksum helper is right";
}

// A pixmap of 5 by 3 in `format` whose pixels all differ.
Ref<TPixmap> Pattern(std::int32_t format)
{
    Ref<TPixmap> pixmap = CreatePixmap(5, 3, format, 8);
    for (std::int32_t y = 0; y < 3; ++y)
        for (std::int32_t x = 0; x < 5; ++x)
            pixmap->WritePixel(x, y,
                               std::uint32_t(0x20 + x * 40) << 24 | (x * 50u) << 16 | (y * 90u) << 8 | (x + y) * 20u);
    return pixmap;
}

class PNGRoundTrip : public ::testing::TestWithParam<std::int32_t>
{};

TEST_P(PNGRoundTrip, EveryFormatComesBackWithItsColours)
{
    InitLoadersForTest();
    const std::int32_t format = GetParam();
    const Ref<TPixmap> source = Pattern(format);
    const Ref<TMemoryBlock> block = CreateMemoryBlock(0);
    ASSERT_EQ(SavePixmapPNG(source, block, 6), 1);
    EXPECT_TRUE(PNGStream().IsNull());
    const std::string bytes(reinterpret_cast<const char*>(block->Buf()), std::size_t(block->Size()));
    const Ref<TPixmap> loaded = LoadBytes(bytes);
    ASSERT_FALSE(loaded.IsNull());
    const std::int32_t expected = format == PF_I8                              ? PF_I8
                                  : format == PF_BGR888 || format == PF_RGB888 ? PF_RGB888
                                                                               : PF_RGBA8888;
    EXPECT_EQ(loaded->Format(), expected);
    EXPECT_EQ(LargestDifference(PixmapRGBA(loaded), PixmapRGBA(source)), 0);
    EXPECT_EQ(LargestDifference(StbDecode(bytes), PixmapRGBA(source)), 0) << "another decoder reads it the same";
}

INSTANTIATE_TEST_SUITE_P(Formats, PNGRoundTrip,
                         ::testing::Values(PF_I8, PF_A8, PF_BGR888, PF_RGB888, PF_BGRA8888, PF_RGBA8888));

TEST(SavePixmapPNG, BGRAIsWrittenInPNGOrder)
{
    InitLoadersForTest();
    const Ref<TPixmap> source = CreatePixmap(1, 1, PF_BGRA8888);
    source->WritePixel(0, 0, 0x80FF2010u);
    const Ref<TMemoryBlock> block = CreateMemoryBlock(0);
    ASSERT_EQ(SavePixmapPNG(source, block, 9), 1);
    const RGBAPicture picture =
        StbDecode(std::string(reinterpret_cast<const char*>(block->Buf()), std::size_t(block->Size())));
    ASSERT_EQ(picture.width, 1);
    EXPECT_EQ(picture.At(0, 0)[0], 0xFF);
    EXPECT_EQ(picture.At(0, 0)[1], 0x20);
    EXPECT_EQ(picture.At(0, 0)[2], 0x10);
    EXPECT_EQ(picture.At(0, 0)[3], 0x80);
}

TEST(SavePixmapPNG, HonoursThePitchOfAWindow)
{
    InitLoadersForTest();
    const Ref<TPixmap> parent = Pattern(PF_RGB888);
    const Ref<TPixmap> window = parent->Window(1, 1, 3, 2);
    const Ref<TMemoryBlock> block = CreateMemoryBlock(0);
    ASSERT_EQ(SavePixmapPNG(window, block, 1), 1);
    const Ref<TPixmap> loaded =
        LoadBytes(std::string(reinterpret_cast<const char*>(block->Buf()), std::size_t(block->Size())));
    ASSERT_FALSE(loaded.IsNull());
    EXPECT_EQ(LargestDifference(PixmapRGBA(loaded), PixmapRGBA(window)), 0);
}

TEST(SavePixmapPNG, ToAFileThenBackThroughItsPath)
{
    InitLoadersForTest();
    const test::TempFolder folder;
    const Ref<String> url = String::FromCString(folder.Path("saved.png").c_str());
    ASSERT_EQ(SavePixmapPNG(Pattern(PF_RGBA8888), url, -1), 1);
    const Ref<TPixmap> loaded = LoadPixmap(url);
    ASSERT_FALSE(loaded.IsNull());
    EXPECT_EQ(LargestDifference(PixmapRGBA(loaded), PixmapRGBA(Pattern(PF_RGBA8888))), 0);
}

TEST(SavePixmapPNG, FailuresAnswerZeroAndLeaveNothingOpen)
{
    InitLoadersForTest();
    EXPECT_EQ(SavePixmapPNG(Pattern(PF_RGB888), "/nonexistent-folder/picture.png"_s, 6), 0);
    EXPECT_EQ(SavePixmapPNG(Pattern(PF_RGB888), CreateMemoryBlock(0), 42), 0) << "libpng refuses the level";
    EXPECT_TRUE(PNGStream().IsNull());
    // A destination that fills up: the stream's write error is the save's failure.
    char room[40];
    EXPECT_EQ(SavePixmapPNG(Pattern(PF_RGB888), CreateMemoryStream(room, sizeof room, false, true), 6), 0);
    EXPECT_TRUE(PNGStream().IsNull());
    EXPECT_EQ(SavePixmapPNG(New<TPixmap>(), CreateMemoryBlock(0), 6), 0) << "an empty pixmap";
    EXPECT_THROW(SavePixmapPNG(Null, CreateMemoryBlock(0), 6), Exception);
}

} // namespace
} // namespace vanta::test

namespace vanta {
namespace {

TEST(SavePixmapPNGFullDisk, AFileThatCannotBeWrittenOutAnswersZero)
{
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
    InitPNGLoader();
    Ref<TPixmap> pixmap = CreatePixmap(4, 4, PF_RGB888);
    EXPECT_EQ(SavePixmapPNG(pixmap, "/dev/full"_s, 6), 0);
}

} // namespace
} // namespace vanta
