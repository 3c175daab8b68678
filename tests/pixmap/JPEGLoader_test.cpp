// The JPEG loader: grey, colour and progressive files decoded exactly as bare libjpeg decodes them and
// close to what stb_image makes of them; CMYK refused; truncated data decoded as far as it goes; a read
// error inside libjpeg unwinds cleanly.
#include "pixmap/loaders/JPEGLoader.h"
#include "runtime/Error.h"
#include "support/LoaderTestSupport.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>

namespace vanta::test {
namespace {

// The picture bare libjpeg decodes from the bytes with its default settings, as RGBA (empty on error).
// Plain C use of the library: nothing with a destructor lives while libjpeg may jump back.
struct BareError
{
    jpeg_error_mgr base;
    std::jmp_buf recovery;
};

void BareDecode(const std::string& bytes, std::vector<std::uint8_t>& out, int& width, int& height, int& components)
{
    jpeg_decompress_struct cinfo;
    BareError error;
    cinfo.err = jpeg_std_error(&error.base);
    error.base.error_exit = [](j_common_ptr c) { std::longjmp(reinterpret_cast<BareError*>(c->err)->recovery, 1); };
    error.base.output_message = [](j_common_ptr) {};
    if (setjmp(error.recovery)) {
        jpeg_destroy_decompress(&cinfo);
        width = 0;
        return;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    jpeg_read_header(&cinfo, TRUE);
    jpeg_start_decompress(&cinfo);
    width = int(cinfo.output_width);
    height = int(cinfo.output_height);
    components = cinfo.output_components;
    out.resize(std::size_t(width) * height * components);
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = out.data() + std::size_t(cinfo.output_scanline) * width * components;
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
}

RGBAPicture LibjpegReference(const std::string& bytes)
{
    std::vector<std::uint8_t> raw;
    int width = 0, height = 0, components = 0;
    BareDecode(bytes, raw, width, height, components);
    RGBAPicture picture{width, height, {}};
    for (std::size_t i = 0; i < std::size_t(width) * height; ++i) {
        const std::uint8_t* p = &raw[i * components];
        picture.pixels.insert(picture.pixels.end(),
                              {p[0], p[components == 3 ? 1 : 0], p[components == 3 ? 2 : 0], 255});
    }
    return picture;
}

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
