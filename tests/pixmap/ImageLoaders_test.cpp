// The four loaders together: the trial order, the loader each fixture lands on, URLs through the stream
// layer, and hostile data (every fixture cut at many lengths, bytes flipped) refused without a crash.
#include "pixmap/loaders/BMPLoader.h"
#include "pixmap/loaders/JPEGLoader.h"
#include "pixmap/loaders/PNGLoader.h"
#include "pixmap/loaders/TGALoader.h"
#include "runtime/Error.h"
#include "support/LoaderTestSupport.h"
#include "support/StreamDoubles.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

namespace vanta::test {
namespace {

const char* const FIXTURES[] = {
    "png_grey.png",
    "png_grey1.png",
    "png_grey_trns.png",
    "png_grey_alpha.png",
    "png_palette.png",
    "png_palette_trns.png",
    "png_rgb.png",
    "png_rgba.png",
    "png_rgb16.png",
    "png_rgba16.png",
    "png_interlaced.png",
    "jpeg_grey.jpg",
    "jpeg_rgb.jpg",
    "jpeg_progressive.jpg",
    "jpeg_cmyk.jpg",
    "bmp1.bmp",
    "bmp4.bmp",
    "bmp8.bmp",
    "bmp8_topdown.bmp",
    "bmp8_rle.bmp",
    "bmp24.bmp",
    "bmp24_topdown.bmp",
    "bmp24_os2.bmp",
    "bmp24_v4.bmp",
    "bmp24_v5.bmp",
    "tga24.tga",
    "tga24_rle.tga",
    "tga32.tga",
    "tga32_rle.tga",
    "tga32_topdown.tga",
    "tga32_rle_topdown.tga",
};

TEST(ImageLoaders, TheTrialOrderIsPNGJPEGTGABMP)
{
    InitLoadersForTest();
    Ref<TPixmapLoader> loader = PixmapLoaders();
    EXPECT_TRUE(Downcast<TPNGLoader>(loader));
    EXPECT_TRUE(Downcast<TJPEGLoader>(loader = loader->next));
    EXPECT_TRUE(Downcast<TTGALoader>(loader = loader->next));
    EXPECT_TRUE(Downcast<TBMPLoader>(loader = loader->next));
    EXPECT_TRUE(loader->next.IsNull());
    InitImageLoaders();
    EXPECT_TRUE(Downcast<TPNGLoader>(PixmapLoaders())) << "a second run registers nothing";
}

TEST(ImageLoaders, EachFixtureLandsOnItsOwnLoader)
{
    InitLoadersForTest();
    for (const char* name : FIXTURES) {
        const std::string file = name;
        const std::string expected = file.starts_with("png")    ? "TPNGLoader"
                                     : file.starts_with("jpeg") ? "TJPEGLoader"
                                     : file.starts_with("tga")  ? "TTGALoader"
                                                                : "TBMPLoader";
        const bool refused = file == "jpeg_cmyk.jpg";
        EXPECT_EQ(LoaderOf(Fixture(name)), refused ? "" : expected) << name;
    }
}

TEST(ImageLoaders, URLsOpenThroughTheStreamLayer)
{
    InitLoadersForTest();
    const std::string path = std::string(PIXMAP_TEST_DATA) + "/png_rgba.png";
    const Ref<TPixmap> byPath = LoadPixmap(String::FromCString(path.c_str()));
    ASSERT_FALSE(byPath.IsNull());
    EXPECT_EQ(byPath->Width(), 37);
    // The big-endian wrapper changes nothing for bytes, and the TGA and BMP loaders read bytes only.
    for (const char* name : {"png_rgba.png", "bmp24.bmp", "tga32_rle.tga"}) {
        const std::string url = std::string("bigendian::") + PIXMAP_TEST_DATA + "/" + name;
        const Ref<TPixmap> wrapped = LoadPixmap(String::FromCString(url.c_str()));
        ASSERT_FALSE(wrapped.IsNull()) << name;
        EXPECT_EQ(LargestDifference(PixmapRGBA(wrapped), PixmapRGBA(LoadBytes(Fixture(name)))), 0) << name;
    }
    EXPECT_TRUE(LoadPixmap("/nonexistent-folder/picture.png"_s).IsNull());
    EXPECT_TRUE(LoadPixmap(Null).IsNull());
}

TEST(ImageLoaders, AStreamPassedInIsReadFromItsPositionAndLeftOpen)
{
    InitLoadersForTest();
    const std::string bytes = "prefix" + Fixture("tga24_rle.tga");
    const Ref<TMemoryStream> stream = MemoryOver(bytes);
    stream->Seek(6);
    const Ref<TPixmap> pixmap = LoadPixmap(stream);
    ASSERT_FALSE(pixmap.IsNull());
    EXPECT_EQ(pixmap->Width(), 37);
    EXPECT_EQ(stream->Seek(0), 0) << "still open";
    EXPECT_EQ(ReadByte(stream), 'p');
}

// A read error inside libpng's or libjpeg's callbacks unwinds through the C glue and comes out as the
// stream error again: the loader alone throws it, `LoadPixmap` counts it as a rejection.
TEST(ImageLoaders, AReadErrorInsideALoaderIsItsRejection)
{
    InitLoadersForTest();
    for (const char* name : {"png_rgba.png", "jpeg_progressive.jpg", "tga32_rle.tga", "bmp8.bmp"}) {
        const std::string bytes = Fixture(name);
        const std::int32_t failAt = std::int32_t(bytes.size()) / 2;
        EXPECT_TRUE(LoadPixmap(TWatchedStream::FailingFrom(MemoryOver(bytes), failAt)).IsNull()) << name;
        EXPECT_TRUE(PNGStream().IsNull());
        const Ref<TPixmapLoader> loader = [&bytes]() -> Ref<TPixmapLoader> {
            Ref<TPixmapLoader> found;
            LoadPixmapWithLoader(MemoryOver(bytes), found);
            return found;
        }();
        ASSERT_FALSE(loader.IsNull()) << name;
        try {
            loader->LoadPixmap(TWatchedStream::FailingFrom(MemoryOver(bytes), failAt));
            ADD_FAILURE() << name << ": the read error was swallowed";
        } catch (const Exception& e) {
            EXPECT_TRUE(e.Is<TStreamReadError>()) << name;
        }
        EXPECT_TRUE(PNGStream().IsNull());
    }
}

// Every fixture cut at every length up to 300 bytes and at a hundred more points: each answer is `Null`
// or a pixmap of the whole picture's size, and nothing reads outside its buffers (the sanitizer build
// checks that).
TEST(HostileImages, TruncationsOfEveryFixture)
{
    InitLoadersForTest();
    for (const char* name : FIXTURES) {
        const std::string bytes = Fixture(name);
        const Ref<TPixmap> whole = LoadBytes(bytes);
        const int level = ReleaseStackLevel();
        for (std::size_t length = 0; length < bytes.size(); length += length < 300 ? 1 : bytes.size() / 100 + 1) {
            // A copy of exactly `length` bytes, so reading past it is a fault the sanitizer sees.
            const std::string cut = bytes.substr(0, length);
            const Ref<TPixmap> pixmap = LoadBytes(cut);
            if (!pixmap.IsNull()) {
                ASSERT_FALSE(whole.IsNull()) << name;
                EXPECT_EQ(pixmap->Width(), whole->Width()) << name << " cut at " << length;
                EXPECT_EQ(pixmap->Height(), whole->Height()) << name << " cut at " << length;
            }
            FlushReleaseStack(level);
        }
        EXPECT_TRUE(PNGStream().IsNull());
    }
}

// Every fixture with one byte at a time in its first 64 (the headers) replaced by hostile values.
TEST(HostileImages, DamagedHeadersOfEveryFixture)
{
    InitLoadersForTest();
    for (const char* name : FIXTURES) {
        const std::string bytes = Fixture(name);
        const int level = ReleaseStackLevel();
        for (std::size_t at = 0; at < std::min<std::size_t>(64, bytes.size()); ++at) {
            for (const unsigned char value : {0x00, 0x01, 0x7F, 0x80, 0xFF}) {
                std::string damaged = bytes;
                damaged[at] = char(value);
                const Ref<TPixmap> pixmap = LoadBytes(damaged);
                if (!pixmap.IsNull()) {
                    EXPECT_GE(pixmap->Width(), 1);
                    EXPECT_GE(pixmap->Pitch(), pixmap->Width() * pixmap->BytesPerPixel());
                }
                FlushReleaseStack(level);
            }
        }
    }
}

// The loaders fill pixmaps whose memory was not cleared first: rows they do not reach and the padding
// after each row must still be zero, never what the heap held before.
TEST(HostileImages, LoadedPixmapsShowNoStaleMemory)
{
    InitLoadersForTest();
    for (const char* name : {"bmp24.bmp", "bmp4.bmp", "tga24.tga", "tga32_rle.tga", "png_rgb.png", "jpeg_rgb.jpg"}) {
        const std::string bytes = Fixture(name);
        const Ref<TPixmap> whole = LoadBytes(bytes);
        ASSERT_FALSE(whole.IsNull()) << name;
        for (const std::size_t length : {bytes.size(), bytes.size() / 2}) {
            // Memory of the pixmap's size, dirtied and given back, is what the next allocation gets.
            void* dirty = MemAlloc(whole->Capacity());
            std::memset(dirty, 0xAB, std::size_t(whole->Capacity()));
            MemFree(dirty, whole->Capacity());
            const Ref<TPixmap> pixmap = LoadBytes(bytes.substr(0, length));
            if (pixmap.IsNull()) continue;
            const std::int32_t used = pixmap->Width() * pixmap->BytesPerPixel();
            for (std::int32_t y = 0; y < pixmap->Height(); ++y) {
                const std::uint8_t* row = pixmap->PixelPtr(0, y);
                for (std::int32_t i = used; i < pixmap->Pitch(); ++i)
                    ASSERT_EQ(row[i], 0) << name << " padding of row " << y;
                if (length == bytes.size()) {
                    ASSERT_EQ(std::memcmp(row, whole->PixelPtr(0, y), std::size_t(used)), 0) << name << " row " << y;
                }
            }
            if (length < bytes.size() && !std::string(name).starts_with("png") &&
                !std::string(name).starts_with("jpeg")) {
                // Half a bottom-up file: the top row was never reached.
                EXPECT_EQ(std::count(pixmap->PixelPtr(0, 0), pixmap->PixelPtr(0, 0) + used, 0), used) << name;
            }
        }
    }
}

TEST(HostileImages, EmptyAndTinyInputs)
{
    InitLoadersForTest();
    for (const std::string& bytes : {std::string(), std::string(1, '\0'), std::string("BM"), std::string("\x89PNG", 4),
                                     std::string("\xFF\xD8\xFF", 3), std::string(18, '\0')})
        EXPECT_TRUE(LoadBytes(bytes).IsNull());
}

} // namespace
} // namespace vanta::test
