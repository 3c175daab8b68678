// The JPEG loader: grey, colour and progressive files decoded exactly as bare libjpeg decodes them and
// close to what stb_image makes of them; CMYK refused; truncated data decoded as far as it goes; a read
// error inside libjpeg unwinds cleanly.
#include "pixmap/loaders/JPEGLoader.h"
#include "runtime/Error.h"
#include "support/LibjpegDecode.h"
#include "support/LoaderTestSupport.h"

namespace vanta::test {
namespace {

struct JPEGCase
{
    const char* file;
    std::int32_t format;
};

class JPEGFixtures : public ::testing::TestWithParam<JPEGCase>
{};

TEST_P(JPEGFixtures, AgreeWithLibjpegExactlyAndWithAnIndependentDecoderClosely)
{
    InitLoadersForTest();
    const std::string bytes = Fixture(GetParam().file);
    const Ref<TPixmap> pixmap = Registered<TJPEGLoader>()->LoadPixmap(MemoryOver(bytes));
    ASSERT_FALSE(pixmap.IsNull());
    EXPECT_EQ(pixmap->Format(), GetParam().format);
    const RGBAPicture loaded = PixmapRGBA(pixmap);
    EXPECT_EQ(LargestDifference(loaded, LibjpegReference(bytes)), 0);
    // Two decoders differ in their rounding and chroma upsampling by a few levels, never by a picture.
    EXPECT_LE(LargestDifference(loaded, StbDecode(bytes)), 24);
}

INSTANTIATE_TEST_SUITE_P(Files, JPEGFixtures,
                         ::testing::Values(JPEGCase{"jpeg_grey.jpg", PF_I8}, JPEGCase{"jpeg_rgb.jpg", PF_RGB888},
                                           JPEGCase{"jpeg_progressive.jpg", PF_RGB888}),
                         [](const auto& info) {
                             std::string name = info.param.file;
                             return name.substr(0, name.find('.'));
                         });

TEST(JPEGLoader, CMYKFilesAreRefused)
{
    InitLoadersForTest();
    EXPECT_TRUE(LoadBytes(Fixture("jpeg_cmyk.jpg")).IsNull());
}

TEST(JPEGLoader, TruncatedDataDecodesAsFarAsItGoes)
{
    InitLoadersForTest();
    const std::string bytes = Fixture("jpeg_rgb.jpg");
    const Ref<TPixmap> whole = LoadBytes(bytes);
    const Ref<TPixmap> part = LoadBytes(bytes.substr(0, bytes.size() * 3 / 4));
    ASSERT_FALSE(part.IsNull());
    EXPECT_EQ(part->Width(), whole->Width());
    EXPECT_EQ(part->Height(), whole->Height());
    EXPECT_TRUE(LoadBytes("").IsNull());
}

TEST(DecodeJPEG, AnswersTheBufferAndItsSize)
{
    InitLoadersForTest();
    const std::string bytes = Fixture("jpeg_grey.jpg");
    std::int32_t width = 0, height = 0, components = 0;
    std::uint8_t* pixels = nullptr;
    const JPEGReadFunction read = [](void* buffer, int size, int count, void* stream) -> int {
        return static_cast<TByteStream*>(stream)->Read(buffer, size * count) / size;
    };
    ASSERT_EQ(DecodeJPEG(MemoryOver(bytes), read, width, height, components, pixels), 0);
    EXPECT_EQ(width, 37);
    EXPECT_EQ(height, 21);
    EXPECT_EQ(components, 1);
    ASSERT_NE(pixels, nullptr);
    std::free(pixels);
    pixels = nullptr;
    EXPECT_EQ(DecodeJPEG(MemoryOver("not a JPEG at all"), read, width, height, components, pixels), -1);
    EXPECT_EQ(pixels, nullptr);
}

TEST(JPEGLoader, HeadersBeyondThePixmapLimitsAreRefused)
{
    InitLoadersForTest();
    std::string bytes = Fixture("jpeg_rgb.jpg");
    // The frame header (SOF0, FF C0): height and width, big-endian, 3 and 5 bytes after the length.
    const std::size_t sof = bytes.find("\xFF\xC0");
    ASSERT_NE(sof, std::string::npos);
    bytes[sof + 5] = char(0xFF);
    bytes[sof + 6] = char(0xF0);
    bytes[sof + 7] = char(0xFF);
    bytes[sof + 8] = char(0xF0);
    EXPECT_TRUE(LoadBytes(bytes).IsNull());
}

} // namespace
} // namespace vanta::test
