// The TGA loader: files made by common tools against stb_image (24 and 32 bits, raw and run-length,
// both origins), hand-made files for 15 and 16 bits, packets across rows, size limits and refusals, and
// files of known pixels from the test writer for grey and colour-mapped pictures, every origin and the
// attribute bits.
#include "pixmap/loaders/TGALoader.h"
#include "support/LoaderTestSupport.h"
#include "support/TGAWriter.h"

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
    EXPECT_TRUE(LoadTGA(MakeTGA(3, 24, 1, 1, 0, pixel)).IsNull()) << "24-bit grey";
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

// A 7 x 4 picture of stored values `value(x, y)`, top row first, with stretches of equal pixels so that
// run-length packets form and cross row ends.
template <class Value>
std::vector<std::uint32_t> StoredPicture(Value value)
{
    std::vector<std::uint32_t> pixels;
    for (std::uint32_t y = 0; y < 4; ++y) {
        for (std::uint32_t x = 0; x < 7; ++x)
            pixels.push_back(value(x < 3 && y == 1 ? 0 : x, y >= 2 && x > 4 ? 2 : y));
    }
    return pixels;
}

// `file` loaded; every pixel must read as `expected(stored value)`.
template <class Expected>
void ExpectPixels(const TGAWriter& file, std::int32_t format, Expected expected, const std::string& what)
{
    const Ref<TPixmap> pixmap = LoadTGA(file.Build());
    ASSERT_FALSE(pixmap.IsNull()) << what;
    EXPECT_EQ(pixmap->Format(), format) << what;
    ASSERT_EQ(pixmap->Width(), file.width);
    for (std::int32_t y = 0; y < file.height; ++y) {
        for (std::int32_t x = 0; x < file.width; ++x)
            ASSERT_EQ(pixmap->ReadPixel(x, y), expected(file.pixels[std::size_t(y) * file.width + x]))
                << what << " at (" << x << ", " << y << ")";
    }
}

TEST(TGALoader, GreyPicturesOfBothDepths)
{
    InitLoadersForTest();
    for (std::uint8_t type : {3, 11}) {
        TGAWriter grey;
        grey.imageType = type;
        grey.depth = 8;
        grey.width = 7;
        grey.height = 4;
        grey.pixels = StoredPicture([](std::uint32_t x, std::uint32_t y) { return x * 37 + y * 11; });
        ExpectPixels(
            grey, PF_I8, [](std::uint32_t v) { return 0xFF000000u | v * 0x010101u; }, "8-bit grey");
        TGAWriter withAlpha = grey;
        withAlpha.depth = 16;
        withAlpha.descriptor = 8;
        withAlpha.pixels = StoredPicture([](std::uint32_t x, std::uint32_t y) { return x * 37 | (y * 60 + x) << 8; });
        ExpectPixels(
            withAlpha, PF_RGBA8888, [](std::uint32_t v) { return (v >> 8) << 24 | (v & 0xFF) * 0x010101u; },
            "16-bit grey");
        // Without attribute bits, an alpha of zero everywhere is no alpha.
        withAlpha.descriptor = 0;
        withAlpha.pixels = StoredPicture([](std::uint32_t x, std::uint32_t) { return x * 37; });
        ExpectPixels(
            withAlpha, PF_RGBA8888, [](std::uint32_t v) { return 0xFF000000u | v * 0x010101u; },
            "16-bit grey, alpha zero");
    }
}

TEST(TGALoader, ColourMappedPicturesOfEveryMapDepth)
{
    InitLoadersForTest();
    for (std::uint8_t type : {1, 9}) {
        TGAWriter file;
        file.imageType = type;
        file.depth = 8;
        file.width = 7;
        file.height = 4;
        file.pixels = StoredPicture([](std::uint32_t x, std::uint32_t y) { return x + 3 * y; });
        const std::string kind = type == 1 ? "raw, " : "run-length, ";

        file.mapDepth = 24;
        for (std::uint32_t i = 0; i < 16; ++i)
            file.map.push_back(i * 0x0F0000 | (15 - i) * 0x1100 | i * 3);
        const auto map24 = file.map;
        ExpectPixels(
            file, PF_RGB888, [&](std::uint32_t i) { return 0xFF000000u | map24[i]; }, kind + "24-bit map");

        file.mapDepth = 32;
        file.descriptor = 8;
        for (std::uint32_t& entry : file.map)
            entry |= (entry & 0xFF) * 17 << 24;
        const auto map32 = file.map;
        ExpectPixels(
            file, PF_RGBA8888, [&](std::uint32_t i) { return map32[i]; }, kind + "32-bit map");
        file.descriptor = 0;
        ExpectPixels(
            file, PF_RGBA8888, [&](std::uint32_t i) { return map32[i]; }, kind + "32-bit map, no attribute");
        file.map = map24;
        ExpectPixels(
            file, PF_RGBA8888, [&](std::uint32_t i) { return 0xFF000000u | map24[i]; },
            kind + "32-bit map, alpha zero everywhere");

        // 15- and 16-bit maps: five bits a channel, bit 15 the attribute bit.
        file.map.clear();
        for (std::uint32_t i = 0; i < 16; ++i)
            file.map.push_back(i << 10 | (31 - i) << 5 | i * 2 | (i % 2) << 15);
        const auto map16 = file.map;
        auto fiveBits = [&](std::uint32_t i) {
            const std::uint32_t v = map16[i];
            return (v >> 10 & 31) << 19 | (v >> 5 & 31) << 11 | (v & 31) << 3;
        };
        file.mapDepth = 15;
        ExpectPixels(
            file, PF_RGB888, [&](std::uint32_t i) { return 0xFF000000u | fiveBits(i); }, kind + "15-bit map");
        file.mapDepth = 16;
        file.descriptor = 1;
        ExpectPixels(
            file, PF_RGBA8888, [&](std::uint32_t i) { return (i % 2 == 1 ? 0xFF000000u : 0) | fiveBits(i); },
            kind + "16-bit map, bit 15 set is opaque");
    }
}

TEST(TGALoader, TheMapsFirstIndexAndIndicesItDoesNotCover)
{
    InitLoadersForTest();
    TGAWriter file;
    file.imageType = 1;
    file.depth = 8;
    file.width = 5;
    file.height = 1;
    file.mapDepth = 32;
    file.descriptor = 8;
    file.mapFirst = 3;
    file.map = {0x11223344, 0x55667788};
    file.pixels = {3, 4, 2, 5, 255};
    const Ref<TPixmap> pixmap = LoadTGA(file.Build());
    ASSERT_FALSE(pixmap.IsNull());
    EXPECT_EQ(pixmap->ReadPixel(0, 0), 0x11223344u);
    EXPECT_EQ(pixmap->ReadPixel(1, 0), 0x55667788u);
    for (std::int32_t x = 2; x < 5; ++x)
        EXPECT_EQ(pixmap->ReadPixel(x, 0), 0u) << x;
    // A map starting beyond the 8-bit indices, or longer than them, is read past and serves what it can.
    file.mapFirst = 300;
    EXPECT_EQ(LoadTGA(file.Build())->ReadPixel(0, 0), 0u);
    file.mapFirst = 0;
    file.map.assign(700, 0xFF000000);
    file.map[255] = 0xFFABCDEF;
    EXPECT_EQ(LoadTGA(file.Build())->ReadPixel(4, 0), 0xFFABCDEFu);
}

TEST(TGALoader, EveryOriginOfEveryKind)
{
    InitLoadersForTest();
    for (std::uint8_t origin : {0x00, 0x10, 0x20, 0x30}) {
        for (bool runLength : {false, true}) {
            const std::string what = "origin " + std::to_string(origin) + (runLength ? " run-length" : " raw");
            TGAWriter file;
            file.width = 7;
            file.height = 4;
            file.descriptor = origin;
            file.imageType = runLength ? 10 : 2;
            file.depth = 24;
            file.pixels = StoredPicture([](std::uint32_t x, std::uint32_t y) { return x * 0x230000 | y * 0x4100 | 9; });
            ExpectPixels(
                file, PF_RGB888, [](std::uint32_t v) { return 0xFF000000u | v; }, what + " 24");
            file.depth = 32;
            file.descriptor = origin | 8;
            file.pixels = StoredPicture([](std::uint32_t x, std::uint32_t y) { return x * 0x23000000 | y * 0x41 | 9; });
            ExpectPixels(
                file, PF_RGBA8888, [](std::uint32_t v) { return v; }, what + " 32");
            file.depth = 15;
            file.pixels = StoredPicture([](std::uint32_t x, std::uint32_t y) { return x << 10 | y << 5 | 1; });
            ExpectPixels(
                file, PF_RGB888,
                [](std::uint32_t v) { return 0xFF000000u | (v >> 10) << 19 | (v >> 5 & 31) << 11 | 8; }, what + " 15");
            file.imageType = runLength ? 11 : 3;
            file.depth = 8;
            file.pixels = StoredPicture([](std::uint32_t x, std::uint32_t y) { return x * 30 + y; });
            ExpectPixels(
                file, PF_I8, [](std::uint32_t v) { return 0xFF000000u | v * 0x010101u; }, what + " grey");
            file.imageType = runLength ? 9 : 1;
            file.mapDepth = 24;
            file.map = {0x102030, 0x405060, 0x708090, 0xA0B0C0, 0xD0E0F0,
                        0x123456, 0x654321, 0xABCDEF, 0xFEDCBA, 0x0F1E2D};
            file.pixels = StoredPicture([](std::uint32_t x, std::uint32_t y) { return x + y; });
            const auto map = file.map;
            ExpectPixels(
                file, PF_RGB888, [&](std::uint32_t i) { return 0xFF000000u | map[i]; }, what + " mapped");
        }
    }
}

TEST(TGALoader, AttributeBitsDecideWhetherAlphaIsReal)
{
    InitLoadersForTest();
    // 32 bits with no attribute bits and alpha zero everywhere: how writers without alpha leave it.
    const std::string zeroAlpha("\x10\x20\x30\x00\x40\x50\x60\x00", 8);
    EXPECT_EQ(LoadTGA(MakeTGA(2, 32, 2, 1, 0, zeroAlpha))->ReadPixel(1, 0), 0xFF605040u);
    EXPECT_EQ(LoadTGA(MakeTGA(2, 32, 2, 1, 8, zeroAlpha))->ReadPixel(1, 0), 0x00605040u) << "declared: real";
    EXPECT_EQ(LoadTGA(MakeTGA(10, 32, 2, 1, 0, std::string("\x81\x10\x20\x30\x00", 5)))->ReadPixel(0, 0), 0xFF302010u);
    // 16 bits: with an attribute bit declared, bit 15 set is opaque; without, it keeps reading as
    // transparent.
    const std::string shorts("\x00\x7C\xE0\x83", 4);
    const Ref<TPixmap> declared = LoadTGA(MakeTGA(2, 16, 2, 1, 1, shorts));
    EXPECT_EQ(declared->ReadPixel(0, 0), 0x00F80000u);
    EXPECT_EQ(declared->ReadPixel(1, 0), 0xFF00F800u);
    EXPECT_EQ(LoadTGA(MakeTGA(2, 16, 2, 1, 0, shorts))->ReadPixel(1, 0), 0x0000F800u);
}

TEST(TGALoader, DamagedNewKindsAreRefusedOrKeepWhatTheyHold)
{
    InitLoadersForTest();
    TGAWriter mapped;
    mapped.imageType = 9;
    mapped.depth = 8;
    mapped.width = 7;
    mapped.height = 4;
    mapped.mapDepth = 24;
    mapped.map = {0x102030, 0x405060, 0x708090, 0xA0B0C0, 0xD0E0F0, 0x123456, 0x654321};
    mapped.pixels = StoredPicture([](std::uint32_t x, std::uint32_t) { return x; });
    const std::string whole = mapped.Build();
    // Every prefix of the file loads or is refused (the sanitizer builds watch the reads); one cut inside
    // the map is refused.
    for (std::size_t size = 0; size < whole.size(); ++size)
        LoadTGA(whole.substr(0, size));
    EXPECT_TRUE(LoadTGA(whole.substr(0, 18 + 10)).IsNull()) << "the map cut short";
    auto variant = [&](auto change) {
        TGAWriter file = mapped;
        change(file);
        return LoadTGA(file.Build());
    };
    EXPECT_TRUE(variant([](TGAWriter& f) { f.mapDepth = 8; }).IsNull()) << "8-bit map entries";
    EXPECT_TRUE(variant([](TGAWriter& f) { f.map.clear(); }).IsNull()) << "an empty map";
    EXPECT_TRUE(variant([](TGAWriter& f) { f.depth = 16; }).IsNull()) << "16-bit indices";
    EXPECT_TRUE(variant([](TGAWriter& f) { f.mapDepth = 0; }).IsNull()) << "no map";
    EXPECT_TRUE(variant([](TGAWriter& f) { f.imageType = 3; }).IsNull()) << "a map on a grey picture";
    EXPECT_TRUE(variant([](TGAWriter& f) { f.imageType = 12; }).IsNull());
    EXPECT_TRUE(variant([](TGAWriter& f) {
                    f.imageType = 11;
                    f.mapDepth = 0;
                    f.depth = 24;
                }).IsNull())
        << "24-bit grey";
    EXPECT_TRUE(variant([](TGAWriter& f) { f.width = 4097; }).IsNull());
    const std::int64_t inUse = MemoryInUse();
    EXPECT_TRUE(variant([](TGAWriter& f) {
                    f.width = 4096;
                    f.height = 4096;
                    f.map.clear();
                }).IsNull())
        << "nothing allocated for an empty map";
    EXPECT_LT(MemoryInUse() - inUse, 4096);
}

} // namespace
} // namespace vanta::test
