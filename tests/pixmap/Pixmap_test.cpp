// The pixmap module: the pixel converter against a per-pixel reference, masking, flips, resizing and the
// loader registry.
#include "pixmap/Pixmap.h"
#include "runtime/Error.h"

#include <array>
#include <cmath>
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

namespace vanta {
namespace {

constexpr std::int32_t ALL_FORMATS[] = {PF_I8, PF_A8, PF_BGR888, PF_RGB888, PF_BGRA8888, PF_RGBA8888};

std::vector<std::uint8_t> NoiseBytes(std::size_t count, std::uint32_t seed)
{
    std::vector<std::uint8_t> bytes(count);
    for (std::uint8_t& b : bytes) {
        seed = seed * 1664525u + 1013904223u;
        b = static_cast<std::uint8_t>(seed >> 24);
    }
    return bytes;
}

void Scribble(const Ref<TPixmap>& pixmap, std::uint32_t seed = 7)
{
    const std::int32_t rowBytes = pixmap->Width() * pixmap->BytesPerPixel();
    for (std::int32_t y = 0; y < pixmap->Height(); ++y) {
        const std::vector<std::uint8_t> noise = NoiseBytes(static_cast<std::size_t>(rowBytes), seed + y);
        std::memcpy(pixmap->PixelPtr(0, y), noise.data(), noise.size());
    }
}

// The conversion tables read one pixel at a time: source bytes to R, G, B, A ...
std::array<int, 4> ReferenceToRGBA(const std::uint8_t* s, std::int32_t format)
{
    switch (format) {
    case PF_I8: return {s[0], s[0], s[0], 255};
    case PF_A8: return {255, 255, 255, s[0]};
    case PF_BGR888: return {s[2], s[1], s[0], 255};
    case PF_RGB888: return {s[0], s[1], s[2], 255};
    case PF_BGRA8888: return {s[2], s[1], s[0], s[3]};
    default: return {s[0], s[1], s[2], s[3]};
    }
}

// ... and R, G, B, A to the destination's bytes.
std::vector<std::uint8_t> ReferenceFromRGBA(const std::array<int, 4>& c, std::int32_t format)
{
    const auto r = static_cast<std::uint8_t>(c[0]), g = static_cast<std::uint8_t>(c[1]),
               b = static_cast<std::uint8_t>(c[2]), a = static_cast<std::uint8_t>(c[3]);
    switch (format) {
    case PF_I8: return {static_cast<std::uint8_t>((c[0] + c[1] + c[2]) / 3)};
    case PF_A8: return {a};
    case PF_BGR888: return {b, g, r};
    case PF_RGB888: return {r, g, b};
    case PF_BGRA8888: return {b, g, r, a};
    default: return {r, g, b, a};
    }
}

TEST(ConvertPixels, EveryFormatPairMatchesThePerPixelTables)
{
    // 3000 pixels make the converter allocate its RGBA row; the guard bytes catch writes past the end.
    for (const std::int32_t count : {1, 5, 3000}) {
        for (const std::int32_t from : ALL_FORMATS) {
            for (const std::int32_t to : ALL_FORMATS) {
                const std::size_t fromBytes = static_cast<std::size_t>(PixelFormatBytes(from));
                const std::size_t toBytes = static_cast<std::size_t>(PixelFormatBytes(to));
                const std::vector<std::uint8_t> source = NoiseBytes(count * fromBytes, from * 10 + to);
                std::vector<std::uint8_t> expected(count * toBytes + 8, 0xAB);
                for (std::int32_t i = 0; i < count; ++i) {
                    const std::vector<std::uint8_t> pixel =
                        from == to ? std::vector<std::uint8_t>(&source[i * fromBytes], &source[(i + 1) * fromBytes])
                                   : ReferenceFromRGBA(ReferenceToRGBA(&source[i * fromBytes], from), to);
                    std::copy(pixel.begin(), pixel.end(), expected.begin() + static_cast<std::ptrdiff_t>(i * toBytes));
                }
                std::vector<std::uint8_t> actual(count * toBytes + 8, 0xAB);
                ConvertPixels(source.data(), from, actual.data(), to, count);
                EXPECT_EQ(actual, expected) << "from " << from << " to " << to << ", " << count << " pixels";
            }
        }
    }
}

TEST(ConvertPixels, UnknownFormatsAndEmptyRunsLeaveTheDestinationAlone)
{
    const std::vector<std::uint8_t> source = NoiseBytes(64, 3);
    for (const std::int32_t format : ALL_FORMATS) {
        for (const std::int32_t unknown : {0, 7, -1, 255}) {
            std::vector<std::uint8_t> destination(64, 0x5A);
            ConvertPixels(source.data(), unknown, destination.data(), format, 8);
            ConvertPixels(source.data(), format, destination.data(), unknown, 8);
            ConvertPixels(source.data(), unknown, destination.data(), unknown, 8);
            CopyPixels(source.data(), destination.data(), unknown, 8);
            EXPECT_EQ(destination, std::vector<std::uint8_t>(64, 0x5A));
        }
        std::vector<std::uint8_t> destination(64, 0x5A);
        ConvertPixels(source.data(), format, destination.data(), PF_RGBA8888, 0);
        ConvertPixels(source.data(), format, destination.data(), PF_I8, -5);
        CopyPixels(source.data(), destination.data(), format, -1);
        EXPECT_EQ(destination, std::vector<std::uint8_t>(64, 0x5A));
    }
}

TEST(ConvertPixels, ConvertsInPlaceBetweenTheFourByteFormats)
{
    std::uint8_t pixels[] = {1, 2, 3, 4, 5, 6, 7, 8};
    ConvertPixels(pixels, PF_BGRA8888, pixels, PF_RGBA8888, 2);
    EXPECT_EQ(std::vector<std::uint8_t>(pixels, pixels + 8), (std::vector<std::uint8_t>{3, 2, 1, 4, 7, 6, 5, 8}));
    ConvertPixels(pixels, PF_RGBA8888, pixels, PF_BGRA8888, 2);
    EXPECT_EQ(std::vector<std::uint8_t>(pixels, pixels + 8), (std::vector<std::uint8_t>{1, 2, 3, 4, 5, 6, 7, 8}));
}

TEST(PixmapBytesPerPixel, TableAndLookUp)
{
    EXPECT_EQ(std::vector<std::int32_t>(std::begin(PixmapBytesPerPixel), std::end(PixmapBytesPerPixel)),
              (std::vector<std::int32_t>{0, 1, 1, 3, 3, 4, 4}));
    EXPECT_EQ(PixelFormatBytes(0), 0);
    EXPECT_EQ(PixelFormatBytes(7), 0);
    EXPECT_EQ(PixelFormatBytes(-1), 0);
    EXPECT_EQ(PixelFormatBytes(PF_BGR888), 3);
}

// A pixmap of RGB colours given row by row (0xRRGGBB).
Ref<TPixmap> RGBPicture(std::int32_t width, std::int32_t height, std::initializer_list<std::uint32_t> colours)
{
    Ref<TPixmap> pixmap = CreatePixmap(width, height, PF_RGB888);
    std::int32_t i = 0;
    for (const std::uint32_t colour : colours) {
        pixmap->WritePixel(i % width, i / width, 0xFF000000u | colour);
        ++i;
    }
    return pixmap;
}

TEST(MaskPixmap, AllMaskColourBecomesTransparentBlack)
{
    Ref<TPixmap> picture = RGBPicture(3, 2, {0xFF00FF, 0xFF00FF, 0xFF00FF, 0xFF00FF, 0xFF00FF, 0xFF00FF});
    Ref<TPixmap> masked = MaskPixmap(picture, 255, 0, 255);
    EXPECT_EQ(masked->Format(), PF_RGBA8888);
    for (std::int32_t y = 0; y < 2; ++y) {
        for (std::int32_t x = 0; x < 3; ++x)
            EXPECT_EQ(masked->ReadPixel(x, y), 0u);
    }
    EXPECT_EQ(MaskPixmap(RGBPicture(1, 1, {0x000000}), 0, 0, 0)->ReadPixel(0, 0), 0u) << "one pixel";
}

TEST(MaskPixmap, MaskPixelsTakeTheirVisibleNeighboursColour)
{
    const std::uint32_t M = 0xFF00FF;
    Ref<TPixmap> picture = RGBPicture(4, 3,
                                      {M, 0xFF0000, M, M, //
                                       M, M, M, M,        //
                                       M, M, M, M});
    Ref<TPixmap> masked = MaskPixmap(picture, 255, 0, 255);
    EXPECT_EQ(masked->ReadPixel(1, 0), 0xFFFF0000u) << "the red pixel stays, opaque";
    for (const auto& [x, y] : {std::pair{0, 0}, {2, 0}, {0, 1}, {1, 1}, {2, 1}})
        EXPECT_EQ(masked->ReadPixel(x, y), 0x00FF0000u) << "red neighbour only at " << x << "," << y;
    for (const auto& [x, y] : {std::pair{3, 0}, {3, 1}, {0, 2}, {3, 2}})
        EXPECT_EQ(masked->ReadPixel(x, y), 0u) << "no visible neighbour at " << x << "," << y;
}

TEST(MaskPixmap, NeighbourColoursAreAveragedWithIntegerDivision)
{
    Ref<TPixmap> picture = RGBPicture(3, 1, {0x0A0102, 0x000000, 0x150203});
    Ref<TPixmap> masked = MaskPixmap(picture, 0, 0, 0);
    const std::uint8_t* p = masked->PixelPtr(1, 0);
    EXPECT_EQ(p[0], (10 + 21) / 2);
    EXPECT_EQ(p[1], (1 + 2) / 2);
    EXPECT_EQ(p[2], (2 + 3) / 2);
    EXPECT_EQ(p[3], 0);
}

TEST(MaskPixmap, VisiblePixelsBecomeOpaqueWhateverTheirAlpha)
{
    Ref<TPixmap> picture = CreatePixmap(2, 1, PF_RGBA8888);
    picture->WritePixel(0, 0, 0x07123456u);
    picture->WritePixel(1, 0, 0x00FFFFFFu);
    Ref<TPixmap> masked = MaskPixmap(picture, 255, 255, 255);
    EXPECT_EQ(masked->ReadPixel(0, 0), 0xFF123456u);
    EXPECT_EQ(masked->ReadPixel(1, 0), 0x00123456u);
    EXPECT_NE(masked.Raw(), picture.Raw()) << "an RGBA source gives a new pixmap all the same";
}

TEST(Flips, ReverseColumnsOrRowsInEveryFormat)
{
    for (const std::int32_t format : ALL_FORMATS) {
        Ref<TPixmap> parent = CreatePixmap(7, 5, format, 1);
        Scribble(parent, static_cast<std::uint32_t>(format));
        // A window, so that the source's pitch is wider than its rows.
        Ref<TPixmap> source = parent->Window(1, 1, 5, 3);
        Ref<TPixmap> x = XFlipPixmap(source);
        Ref<TPixmap> y = YFlipPixmap(source);
        ASSERT_EQ(x->Format(), format);
        ASSERT_EQ(y->Width(), 5);
        for (std::int32_t row = 0; row < 3; ++row) {
            for (std::int32_t col = 0; col < 5; ++col) {
                EXPECT_EQ(x->ReadPixel(col, row), source->ReadPixel(4 - col, row));
                EXPECT_EQ(y->ReadPixel(col, row), source->ReadPixel(col, 2 - row));
            }
        }
    }
}

TEST(Flips, OnePixelAndOneLinePixmapsFlipToThemselves)
{
    Ref<TPixmap> dot = CreatePixmap(1, 1, PF_BGR888);
    dot->WritePixel(0, 0, 0xFF123456u);
    EXPECT_EQ(XFlipPixmap(dot)->ReadPixel(0, 0), 0xFF123456u);
    EXPECT_EQ(YFlipPixmap(dot)->ReadPixel(0, 0), 0xFF123456u);
    Ref<TPixmap> line = CreatePixmap(1, 3, PF_A8);
    Scribble(line);
    Ref<TPixmap> flipped = XFlipPixmap(line);
    for (std::int32_t i = 0; i < 3; ++i)
        EXPECT_EQ(flipped->ReadPixel(0, i), line->ReadPixel(0, i));
}

// The resampling rule written out per pixel, in single precision, on an RGBA source.
std::array<int, 4> ReferenceResample(const Ref<TPixmap>& rgba, std::int32_t x, std::int32_t y, std::int32_t newWidth,
                                     std::int32_t newHeight)
{
    auto axis = [](std::int32_t i, std::int32_t size, std::int32_t newSize, std::int32_t& i0, std::int32_t& i1,
                   float& f) {
        const float s =
            (static_cast<float>(i) + 0.5f) * (static_cast<float>(size) / static_cast<float>(newSize)) - 0.5f;
        i0 = static_cast<std::int32_t>(std::floor(s));
        f = s - static_cast<float>(i0);
        i1 = i0 + 1;
        if (i0 < 0) {
            i0 = i1 = 0;
            f = 0;
        } else if (i0 >= size - 1) {
            i0 = i1 = size - 1;
            f = 0;
        }
    };
    std::int32_t x0, x1, y0, y1;
    float fx, fy;
    axis(x, rgba->Width(), newWidth, x0, x1, fx);
    axis(y, rgba->Height(), newHeight, y0, y1, fy);
    std::array<int, 4> out{};
    for (int c = 0; c < 4; ++c) {
        const int a = rgba->PixelPtr(x0, y0)[c], b = rgba->PixelPtr(x1, y0)[c];
        const int d = rgba->PixelPtr(x0, y1)[c], e = rgba->PixelPtr(x1, y1)[c];
        const float top = static_cast<float>(a) + static_cast<float>(b - a) * fx;
        const float bottom = static_cast<float>(d) + static_cast<float>(e - d) * fx;
        const float value = (bottom - top) * fy;
        out[c] = static_cast<int>(value + top);
    }
    return out;
}

TEST(ResizePixmap, MatchesTheSinglePrecisionRuleAtOddRatios)
{
    const std::int32_t sizes[][4] = {{5, 3, 7, 11}, {7, 11, 5, 3}, {13, 1, 4, 4}, {1, 9, 6, 2}, {640, 3, 37, 5}};
    for (const auto& [w, h, newW, newH] : sizes) {
        Ref<TPixmap> source = CreatePixmap(w, h, PF_RGBA8888);
        Scribble(source, static_cast<std::uint32_t>(w * h));
        Ref<TPixmap> resized = ResizePixmap(source, newW, newH);
        ASSERT_EQ(resized->Width(), newW);
        ASSERT_EQ(resized->Height(), newH);
        for (std::int32_t y = 0; y < newH; ++y) {
            for (std::int32_t x = 0; x < newW; ++x) {
                const std::uint8_t* p = resized->PixelPtr(x, y);
                EXPECT_EQ((std::array<int, 4>{p[0], p[1], p[2], p[3]}), ReferenceResample(source, x, y, newW, newH))
                    << w << "x" << h << " -> " << newW << "x" << newH << " at " << x << "," << y;
            }
        }
    }
}

TEST(ResizePixmap, TheSameSizeReproducesTheSourceInEveryFormat)
{
    for (const std::int32_t format : ALL_FORMATS) {
        Ref<TPixmap> source = CreatePixmap(9, 4, format);
        Scribble(source, static_cast<std::uint32_t>(format) + 40);
        Ref<TPixmap> resized = ResizePixmap(source, 9, 4);
        ASSERT_EQ(resized->Format(), format) << "the result keeps the source's format";
        for (std::int32_t y = 0; y < 4; ++y)
            EXPECT_EQ(std::memcmp(resized->PixelPtr(0, y), source->PixelPtr(0, y), 9 * PixelFormatBytes(format)), 0)
                << "format " << format << " row " << y;
    }
}

TEST(ResizePixmap, DoublingCopiesTheEdgesAndBlendsOnlyInside)
{
    Ref<TPixmap> source = CreatePixmap(2, 1, PF_RGBA8888);
    source->WritePixel(0, 0, 0xFF000000u);
    source->WritePixel(1, 0, 0xFFC8FF00u);
    Ref<TPixmap> doubled = ResizePixmap(source, 4, 2);
    for (std::int32_t y = 0; y < 2; ++y) {
        EXPECT_EQ(doubled->ReadPixel(0, y), 0xFF000000u) << "left edge copied, not blended with outside";
        EXPECT_EQ(doubled->ReadPixel(1, y), 0xFF323F00u) << "a quarter of the way: 50, 63.75 truncated";
        EXPECT_EQ(doubled->ReadPixel(2, y), 0xFF96BF00u) << "three quarters: 150, 191.25 truncated";
        EXPECT_EQ(doubled->ReadPixel(3, y), 0xFFC8FF00u) << "right edge copied";
    }
}

TEST(ResizePixmap, HalvingAveragesPairs)
{
    Ref<TPixmap> source = CreatePixmap(4, 2, PF_I8);
    const std::uint8_t row0[] = {10, 20, 30, 41};
    const std::uint8_t row1[] = {30, 40, 50, 61};
    std::memcpy(source->PixelPtr(0, 0), row0, 4);
    std::memcpy(source->PixelPtr(0, 1), row1, 4);
    Ref<TPixmap> half = ResizePixmap(source, 2, 1);
    EXPECT_EQ(half->PixelPtr(0, 0)[0], 25);
    EXPECT_EQ(half->PixelPtr(1, 0)[0], 45) << "45.5 truncated";
}

TEST(ResizePixmap, OnePixelSpreadsAndSizesOutOfRangeGiveNull)
{
    Ref<TPixmap> dot = CreatePixmap(1, 1, PF_BGRA8888);
    dot->WritePixel(0, 0, 0x80402010u);
    Ref<TPixmap> big = ResizePixmap(dot, 5, 3);
    for (std::int32_t y = 0; y < 3; ++y) {
        for (std::int32_t x = 0; x < 5; ++x)
            EXPECT_EQ(big->ReadPixel(x, y), 0x80402010u);
    }
    EXPECT_EQ(ResizePixmap(big, 1, 1)->ReadPixel(0, 0), 0x80402010u);
    EXPECT_TRUE(ResizePixmap(dot, 0, 3).IsNull());
    EXPECT_TRUE(ResizePixmap(dot, 3, -1).IsNull());
    EXPECT_TRUE(ResizePixmap(dot, 16385, 1).IsNull());
    EXPECT_TRUE(ResizePixmap(dot, INT32_MAX, INT32_MAX).IsNull());
    EXPECT_TRUE(ResizePixmap(dot, 16384, 16384).IsNull()) << "1 GiB of RGBA";
}

TEST(ResizePixmap, LeavesTheSourceAsItWas)
{
    Ref<TPixmap> source = CreatePixmap(3, 3, PF_RGB888);
    Scribble(source);
    Ref<TPixmap> before = source->Copy();
    ResizePixmap(source, 7, 2);
    MaskPixmap(source, 0, 0, 0);
    XFlipPixmap(source);
    for (std::int32_t y = 0; y < 3; ++y)
        EXPECT_EQ(std::memcmp(source->PixelPtr(0, y), before->PixelPtr(0, y), 9), 0);
}

class CountingLoader : public TPixmapLoader
{
    VANTA_CLASS(CountingLoader, TPixmapLoader)
public:
    explicit CountingLoader(int id) : id(id) {}
    Ref<TPixmap> LoadPixmap(const Ref<TByteStream>&) override { return CreatePixmap(id, 1, PF_I8); }
    int id;
};

TEST(PixmapLoaders, EachNewLoaderJoinsAtTheHead)
{
    InitPixmaps();
    const Ref<TPixmapLoader> before = PixmapLoaders();
    Ref<CountingLoader> first = New<CountingLoader>(1);
    Ref<CountingLoader> second = New<CountingLoader>(2);
    EXPECT_EQ(PixmapLoaders().Raw(), second.Raw());
    EXPECT_EQ(second->next.Raw(), first.Raw());
    EXPECT_EQ(first->next.Raw(), before.Raw());
    EXPECT_EQ(PixmapLoaders()->LoadPixmap(Null)->Width(), 2);
}

TEST(PixmapLoaders, TheBaseLoaderIsAbstract)
{
    Ref<TPixmapLoader> loader = New<TPixmapLoader>();
    EXPECT_EQ(PixmapLoaders().Raw(), loader.Raw());
    try {
        loader->LoadPixmap(Null);
        FAIL();
    } catch (const Exception& e) {
        EXPECT_TRUE(e.Is<TAbstractMethodError>());
    }
}

} // namespace
} // namespace vanta
