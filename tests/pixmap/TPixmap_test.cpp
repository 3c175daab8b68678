// The pixmap class: creation and its size limits, windows, copies, pastes, conversions, single pixels,
// and the bounds every coordinate is checked against.
#include "pixmap/Pixmap.h"
#include "runtime/Error.h"

#include <cstring>
#include <vector>

#include <gtest/gtest.h>

namespace vanta {
namespace {

constexpr std::int32_t ALL_FORMATS[] = {PF_I8, PF_A8, PF_BGR888, PF_RGB888, PF_BGRA8888, PF_RGBA8888};

// Fills every pixel byte (not the row padding) with a pattern that differs from pixel to pixel.
void Scribble(const Ref<TPixmap>& pixmap, std::uint32_t seed = 1)
{
    for (std::int32_t y = 0; y < pixmap->Height(); ++y) {
        std::uint8_t* row = pixmap->PixelPtr(0, y);
        for (std::int32_t i = 0; i < pixmap->Width() * pixmap->BytesPerPixel(); ++i) {
            seed = seed * 1103515245u + 12345u;
            row[i] = static_cast<std::uint8_t>(seed >> 16);
        }
    }
}

// True when the call throws a `TArrayBoundsError`.
template <class F>
bool ThrowsBounds(F&& call)
{
    try {
        call();
    } catch (const Exception& e) {
        return e.Is<TArrayBoundsError>();
    }
    return false;
}

TEST(CreatePixmap, PitchIsRoundedUpToTheAlignment)
{
    Ref<TPixmap> aligned = CreatePixmap(5, 2, PF_RGB888, 4);
    ASSERT_FALSE(aligned.IsNull());
    EXPECT_EQ(aligned->Pitch(), 16);
    EXPECT_EQ(aligned->Capacity(), 32);
    EXPECT_EQ(aligned->Width(), 5);
    EXPECT_EQ(aligned->Height(), 2);
    EXPECT_EQ(aligned->Format(), PF_RGB888);

    Ref<TPixmap> packed = CreatePixmap(5, 2, PF_RGB888, 1);
    EXPECT_EQ(packed->Pitch(), 15);
    EXPECT_EQ(packed->Capacity(), 30);
    EXPECT_EQ(CreatePixmap(3, 1, PF_I8, 64)->Pitch(), 64);
    EXPECT_EQ(CreatePixmap(3, 1, PF_I8)->Pitch(), 4) << "alignment 4 by default";
}

TEST(CreatePixmap, NewMemoryIsCleared)
{
    Ref<TPixmap> pixmap = CreatePixmap(7, 5, PF_BGRA8888, 8);
    const std::vector<std::uint8_t> zeros(static_cast<std::size_t>(pixmap->Capacity()), 0);
    EXPECT_EQ(std::memcmp(pixmap->Pixels(), zeros.data(), zeros.size()), 0);
}

TEST(CreatePixmap, HostileSizesGiveNull)
{
    EXPECT_TRUE(CreatePixmap(0, 5, PF_I8).IsNull());
    EXPECT_TRUE(CreatePixmap(5, 0, PF_I8).IsNull());
    EXPECT_TRUE(CreatePixmap(-1, 5, PF_I8).IsNull());
    EXPECT_TRUE(CreatePixmap(5, -7, PF_I8).IsNull());
    EXPECT_TRUE(CreatePixmap(16385, 1, PF_I8).IsNull());
    EXPECT_TRUE(CreatePixmap(1, 16385, PF_I8).IsNull());
    EXPECT_TRUE(CreatePixmap(INT32_MAX, INT32_MAX, PF_RGBA8888).IsNull());
    EXPECT_TRUE(CreatePixmap(INT32_MIN, 1, PF_RGBA8888).IsNull());
    EXPECT_TRUE(CreatePixmap(16384, 4097, PF_RGBA8888).IsNull()) << "just over 256 MiB";
    EXPECT_TRUE(CreatePixmap(2, 2, 0).IsNull()) << "unknown format";
    EXPECT_TRUE(CreatePixmap(2, 2, 7).IsNull()) << "unknown format";
    EXPECT_TRUE(CreatePixmap(2, 2, PF_I8, 0).IsNull()) << "alignment below 1";
    EXPECT_TRUE(CreatePixmap(2, 2, PF_I8, -4).IsNull());
    EXPECT_TRUE(CreatePixmap(1, 2, PF_I8, INT32_MAX).IsNull()) << "the pitch must not wrap round";
    EXPECT_FALSE(CreatePixmap(16384, 1, PF_RGBA8888).IsNull());
}

TEST(CreatePixmap, UnclearedPixmapsHaveTheSameShapeAndLimits)
{
    const Ref<TPixmap> cleared = CreatePixmap(7, 5, PF_RGB888, 8);
    const Ref<TPixmap> uncleared = TPixmap::CreateUncleared(7, 5, PF_RGB888, 8);
    ASSERT_FALSE(uncleared.IsNull());
    EXPECT_EQ(uncleared->Pitch(), cleared->Pitch());
    EXPECT_EQ(uncleared->Capacity(), cleared->Capacity());
    EXPECT_EQ(uncleared->Format(), PF_RGB888);
    EXPECT_TRUE(TPixmap::CreateUncleared(16385, 1, PF_I8, 4).IsNull());
    EXPECT_TRUE(TPixmap::CreateUncleared(16384, 4097, PF_RGBA8888, 4).IsNull());
    EXPECT_TRUE(TPixmap::CreateUncleared(2, 2, 7, 4).IsNull());
}

TEST(CreatePixmap, ExactlyTheMemoryLimitIsAccepted)
{
    Ref<TPixmap> pixmap = CreatePixmap(16384, 4096, PF_RGBA8888);
    ASSERT_FALSE(pixmap.IsNull());
    EXPECT_EQ(pixmap->Capacity(), 256 * 1024 * 1024);
    pixmap->WritePixel(16383, 4095, 0x12345678u);
    EXPECT_EQ(pixmap->ReadPixel(16383, 4095), 0x12345678u);
}

TEST(CreateStaticPixmap, WrapsForeignMemoryAndChecksItsShape)
{
    std::uint8_t memory[2 * 8] = {};
    Ref<TPixmap> pixmap = CreateStaticPixmap(memory, 2, 2, 8, PF_RGB888);
    ASSERT_FALSE(pixmap.IsNull());
    EXPECT_EQ(pixmap->Capacity(), -1);
    EXPECT_EQ(pixmap->Pixels(), memory);
    pixmap->WritePixel(1, 1, 0xFF102030u);
    EXPECT_EQ(memory[8 + 3], 0x10);
    EXPECT_EQ(memory[8 + 5], 0x30);

    EXPECT_TRUE(CreateStaticPixmap(nullptr, 2, 2, 8, PF_RGB888).IsNull());
    EXPECT_TRUE(CreateStaticPixmap(memory, 2, 2, 5, PF_RGB888).IsNull()) << "pitch below a row";
    EXPECT_TRUE(CreateStaticPixmap(memory, 2, 2, -8, PF_RGB888).IsNull());
    EXPECT_TRUE(CreateStaticPixmap(memory, 0, 2, 8, PF_RGB888).IsNull());
    EXPECT_TRUE(CreateStaticPixmap(memory, 2, 2, 8, 9).IsNull());
}

TEST(TPixmap, AnEmptyPixmapMakesNothingAndHasNoPixels)
{
    Ref<TPixmap> empty = New<TPixmap>();
    EXPECT_EQ(empty->Width(), 0);
    EXPECT_EQ(empty->Format(), 0);
    EXPECT_EQ(empty->Capacity(), 0);
    EXPECT_TRUE(empty->Copy().IsNull());
    EXPECT_TRUE(empty->Convert(PF_RGBA8888).IsNull());
    EXPECT_TRUE(XFlipPixmap(empty).IsNull());
    EXPECT_TRUE(YFlipPixmap(empty).IsNull());
    EXPECT_TRUE(MaskPixmap(empty, 0, 0, 0).IsNull());
    EXPECT_TRUE(ResizePixmap(empty, 4, 4).IsNull());
    EXPECT_TRUE(ThrowsBounds([&] { empty->PixelPtr(0, 0); }));
    EXPECT_TRUE(ThrowsBounds([&] { empty->ReadPixel(0, 0); }));
    EXPECT_TRUE(ThrowsBounds([&] { empty->Window(0, 0, 1, 1); }));
}

TEST(TPixmap, CoordinatesOutsideThePixmapThrowAndTouchNothing)
{
    Ref<TPixmap> pixmap = CreatePixmap(4, 3, PF_RGBA8888);
    Scribble(pixmap);
    Ref<TPixmap> before = pixmap->Copy();
    const std::int32_t outside[][2] = {{-1, 0}, {0, -1}, {4, 0}, {0, 3}, {INT32_MAX, 0}, {0, INT32_MIN}};
    for (const auto& [x, y] : outside) {
        EXPECT_TRUE(ThrowsBounds([&] { pixmap->PixelPtr(x, y); })) << x << "," << y;
        EXPECT_TRUE(ThrowsBounds([&] { pixmap->ReadPixel(x, y); })) << x << "," << y;
        EXPECT_TRUE(ThrowsBounds([&] { pixmap->WritePixel(x, y, 0xFFFFFFFFu); })) << x << "," << y;
        EXPECT_TRUE(ThrowsBounds([&] { PixmapPixelPtr(pixmap, x, y); }));
    }
    EXPECT_EQ(pixmap->PixelPtr(3, 2), pixmap->Pixels() + 2 * pixmap->Pitch() + 12);
    EXPECT_EQ(std::memcmp(pixmap->Pixels(), before->Pixels(), 48), 0);
}

TEST(TPixmap, NullPixmapsThrowTheNullObjectError)
{
    Ref<TPixmap> none;
    try {
        PixmapWidth(none);
        FAIL();
    } catch (const Exception& e) {
        EXPECT_TRUE(e.Is<TNullObjectError>());
    }
    Ref<TPixmap> pixmap = CreatePixmap(2, 2, PF_I8);
    try {
        pixmap->Paste(none, 0, 0);
        FAIL();
    } catch (const Exception& e) {
        EXPECT_TRUE(e.Is<TNullObjectError>());
    }
}

TEST(Window, SharesMemoryWithItsParentBothWays)
{
    Ref<TPixmap> parent = CreatePixmap(6, 5, PF_RGB888);
    Ref<TPixmap> window = PixmapWindow(parent, 2, 1, 3, 2);
    ASSERT_FALSE(window.IsNull());
    EXPECT_EQ(window->Width(), 3);
    EXPECT_EQ(window->Height(), 2);
    EXPECT_EQ(window->Pitch(), parent->Pitch());
    EXPECT_EQ(window->Capacity(), -1);
    EXPECT_EQ(window->Pixels(), parent->PixelPtr(2, 1));

    parent->WritePixel(3, 2, 0xFF112233u);
    EXPECT_EQ(window->ReadPixel(1, 1), 0xFF112233u);
    window->WritePixel(0, 0, 0xFF445566u);
    EXPECT_EQ(parent->ReadPixel(2, 1), 0xFF445566u);
}

TEST(Window, SizesBelowOneGiveNullAndRectanglesOutsideThrow)
{
    Ref<TPixmap> parent = CreatePixmap(6, 5, PF_I8);
    EXPECT_TRUE(parent->Window(0, 0, 0, 1).IsNull());
    EXPECT_TRUE(parent->Window(0, 0, 1, -1).IsNull());
    EXPECT_FALSE(parent->Window(0, 0, 6, 5).IsNull());
    EXPECT_TRUE(ThrowsBounds([&] { parent->Window(1, 0, 6, 5); }));
    EXPECT_TRUE(ThrowsBounds([&] { parent->Window(0, 4, 1, 2); }));
    EXPECT_TRUE(ThrowsBounds([&] { parent->Window(-1, 0, 2, 2); }));
    EXPECT_TRUE(ThrowsBounds([&] { parent->Window(INT32_MAX, 0, INT32_MAX, 1); }));

    Ref<TPixmap> window = parent->Window(1, 1, 2, 2);
    EXPECT_TRUE(ThrowsBounds([&] { window->ReadPixel(2, 0); })) << "a window's bounds are its own";
    EXPECT_TRUE(ThrowsBounds([&] { window->Window(1, 1, 2, 1); }));
}

TEST(Window, KeepsItsParentAlive)
{
    const int level = ReleaseStackLevel();
    Ref<TPixmap> window;
    {
        Ref<TPixmap> parent = CreatePixmap(4, 4, PF_RGBA8888);
        parent->WritePixel(3, 3, 0xA1B2C3D4u);
        window = parent->Window(2, 2, 2, 2);
    }
    FlushReleaseStack(level);
    EXPECT_EQ(window->ReadPixel(1, 1), 0xA1B2C3D4u);
    window->WritePixel(0, 0, 0x01020304u);
    EXPECT_EQ(window->ReadPixel(0, 0), 0x01020304u);
}

TEST(Copy, CopiesEveryRowIntoAlignedMemoryOfItsOwn)
{
    Ref<TPixmap> parent = CreatePixmap(9, 4, PF_RGB888, 1);
    Scribble(parent);
    Ref<TPixmap> source = parent->Window(1, 1, 5, 3);
    Ref<TPixmap> copy = CopyPixmap(source);
    EXPECT_EQ(copy->Format(), PF_RGB888);
    EXPECT_EQ(copy->Pitch(), 16) << "the copy is aligned to 4 whatever the source's pitch";
    EXPECT_GE(copy->Capacity(), 0);
    EXPECT_NE(copy->Pixels(), source->Pixels());
    for (std::int32_t y = 0; y < 3; ++y)
        EXPECT_EQ(std::memcmp(copy->PixelPtr(0, y), source->PixelPtr(0, y), 15), 0) << "row " << y;
}

TEST(Paste, ConvertsTheSourceIntoPlace)
{
    Ref<TPixmap> target = CreatePixmap(4, 3, PF_RGBA8888);
    Ref<TPixmap> source = CreatePixmap(2, 2, PF_I8);
    source->WritePixel(0, 0, 0xFF0A0A0Au);
    source->WritePixel(1, 1, 0xFF141414u);
    target->Paste(source, 2, 1);
    EXPECT_EQ(target->ReadPixel(2, 1), 0xFF0A0A0Au);
    EXPECT_EQ(target->ReadPixel(3, 2), 0xFF141414u);
    EXPECT_EQ(target->ReadPixel(1, 1), 0u) << "outside the pasted rectangle nothing changes";
}

TEST(Paste, ASourceThatDoesNotFitThrowsAndWritesNothing)
{
    Ref<TPixmap> target = CreatePixmap(4, 3, PF_RGB888);
    Ref<TPixmap> source = CreatePixmap(2, 2, PF_RGB888);
    Scribble(source);
    const std::int32_t places[][2] = {{3, 0}, {0, 2}, {-1, 0}, {0, -1}, {INT32_MAX, 0}, {0, INT32_MAX}};
    for (const auto& [x, y] : places)
        EXPECT_TRUE(ThrowsBounds([&] { target->Paste(source, x, y); })) << x << "," << y;
    for (std::int32_t y = 0; y < 3; ++y) {
        for (std::int32_t x = 0; x < 4; ++x)
            EXPECT_EQ(target->ReadPixel(x, y), 0xFF000000u);
    }
    target->Paste(source, 2, 1);
    EXPECT_EQ(target->ReadPixel(3, 2), source->ReadPixel(1, 1));
}

TEST(Paste, AnOverlappingWindowOfTheSamePixmapMovesLikeMemmove)
{
    // Each way the source can lie before or after the target in memory.
    const std::int32_t moves[][4] = {{0, 0, 1, 1}, {2, 2, 1, 1}, {0, 1, 1, 0},
                                     {1, 0, 0, 1}, {0, 0, 1, 0}, {1, 0, 0, 0}};
    for (const auto& [fromX, fromY, toX, toY] : moves) {
        Ref<TPixmap> pixmap = CreatePixmap(6, 6, PF_RGB888);
        Scribble(pixmap);
        Ref<TPixmap> expected = pixmap->Copy();
        expected->Paste(pixmap->Copy()->Window(fromX, fromY, 4, 4), toX, toY);
        pixmap->Paste(pixmap->Window(fromX, fromY, 4, 4), toX, toY);
        for (std::int32_t y = 0; y < 6; ++y) {
            for (std::int32_t x = 0; x < 6; ++x)
                EXPECT_EQ(pixmap->ReadPixel(x, y), expected->ReadPixel(x, y))
                    << "from " << fromX << "," << fromY << " to " << toX << "," << toY << " at " << x << "," << y;
        }
    }
}

TEST(Paste, PixmapsOfDifferentLayoutOverTheSameMemoryPasteFromASnapshot)
{
    // Two static pixmaps over one block, with every mix of start, pitch and format: whichever way the
    // rows interleave, the target must end up as if the source had been copied away first.
    std::vector<std::uint8_t> memory(600);
    for (std::size_t i = 0; i < memory.size(); ++i)
        memory[i] = static_cast<std::uint8_t>(i * 7 + 3);
    for (const std::int32_t sourceOffset : {0, 7, 30}) {
        for (const std::int32_t sourcePitch : {10, 24}) {
            for (const std::int32_t targetPitch : {10, 24, 40}) {
                for (const std::int32_t format : {PF_I8, PF_RGB888}) {
                    std::vector<std::uint8_t> bytes = memory;
                    Ref<TPixmap> source = CreateStaticPixmap(bytes.data() + sourceOffset, 2, 10, sourcePitch, PF_I8);
                    Ref<TPixmap> target = CreateStaticPixmap(bytes.data(), 3, 12, targetPitch, format);
                    Ref<TPixmap> expected = target->Copy();
                    expected->Paste(source->Copy(), 1, 1);
                    target->Paste(source, 1, 1);
                    for (std::int32_t y = 0; y < 12; ++y) {
                        for (std::int32_t x = 0; x < 3; ++x)
                            ASSERT_EQ(target->ReadPixel(x, y), expected->ReadPixel(x, y))
                                << "source at " << sourceOffset << " pitch " << sourcePitch << ", target pitch "
                                << targetPitch << " format " << format << ", pixel " << x << "," << y;
                    }
                }
            }
        }
    }
}

TEST(Convert, BGRToI8GoesThroughRGBA)
{
    Ref<TPixmap> bgr = CreatePixmap(2, 1, PF_BGR888);
    std::uint8_t* p = bgr->Pixels();
    const std::uint8_t bytes[] = {10, 20, 31, 255, 254, 0};
    std::memcpy(p, bytes, sizeof bytes);
    Ref<TPixmap> grey = ConvertPixmap(bgr, PF_I8);
    EXPECT_EQ(grey->Format(), PF_I8);
    EXPECT_EQ(grey->Pixels()[0], (31 + 20 + 10) / 3);
    EXPECT_EQ(grey->Pixels()[1], (0 + 254 + 255) / 3);
}

TEST(Convert, A8OfAnOpaquePictureIsAllOpaqueAndBackIsWhite)
{
    Ref<TPixmap> opaque = CreatePixmap(3, 2, PF_RGB888);
    Scribble(opaque);
    Ref<TPixmap> alpha = opaque->Convert(PF_A8);
    for (std::int32_t y = 0; y < 2; ++y) {
        for (std::int32_t x = 0; x < 3; ++x)
            EXPECT_EQ(*alpha->PixelPtr(x, y), 255);
    }
    *alpha->PixelPtr(1, 1) = 77;
    Ref<TPixmap> rgba = alpha->Convert(PF_RGBA8888);
    EXPECT_EQ(rgba->ReadPixel(0, 0), 0xFFFFFFFFu);
    const std::uint8_t* p = rgba->PixelPtr(1, 1);
    EXPECT_EQ(p[0], 255);
    EXPECT_EQ(p[1], 255);
    EXPECT_EQ(p[2], 255);
    EXPECT_EQ(p[3], 77);
}

TEST(Convert, UnknownFormatsGiveNull)
{
    Ref<TPixmap> pixmap = CreatePixmap(2, 2, PF_RGB888);
    EXPECT_TRUE(pixmap->Convert(0).IsNull());
    EXPECT_TRUE(pixmap->Convert(-3).IsNull());
    EXPECT_TRUE(pixmap->Convert(7).IsNull());
}

// What each format stores for the colour A=0x80 R=0x30 G=0x60 B=0x91, and what it reads back.
struct PixelCase
{
    std::int32_t format;
    std::vector<std::uint8_t> stored;
    std::uint32_t read;
};

TEST(ReadWritePixel, EachFormatStoresAndReadsItsOwnLayout)
{
    const std::uint32_t argb = 0x80306091u;
    const PixelCase cases[] = {
        {PF_I8, {(0x30 + 0x60 + 0x91) / 3}, 0xFF606060u},     {PF_A8, {0x80}, 0x80FFFFFFu},
        {PF_BGR888, {0x91, 0x60, 0x30}, 0xFF306091u},         {PF_RGB888, {0x30, 0x60, 0x91}, 0xFF306091u},
        {PF_BGRA8888, {0x91, 0x60, 0x30, 0x80}, 0x80306091u}, {PF_RGBA8888, {0x30, 0x60, 0x91, 0x80}, 0x80306091u},
    };
    for (const PixelCase& c : cases) {
        Ref<TPixmap> pixmap = CreatePixmap(3, 2, c.format);
        WritePixel(pixmap, 2, 1, argb);
        const std::uint8_t* p = pixmap->PixelPtr(2, 1);
        EXPECT_EQ(std::vector<std::uint8_t>(p, p + c.stored.size()), c.stored) << "format " << c.format;
        EXPECT_EQ(ReadPixel(pixmap, 2, 1), c.read) << "format " << c.format;
        EXPECT_EQ(ReadPixel(pixmap, 1, 1), ReadPixel(CreatePixmap(1, 1, c.format), 0, 0))
            << "a neighbour keeps its cleared value";
    }
}

TEST(ReadWritePixel, BGRAReadsAsTheLittleEndianWord)
{
    Ref<TPixmap> pixmap = CreatePixmap(1, 1, PF_BGRA8888);
    const std::uint8_t bytes[] = {0x01, 0x02, 0x03, 0x04};
    std::memcpy(pixmap->Pixels(), bytes, 4);
    EXPECT_EQ(pixmap->ReadPixel(0, 0), 0x04030201u);
}

TEST(FieldReads, ModuleFunctionsReportTheFields)
{
    for (const std::int32_t format : ALL_FORMATS) {
        Ref<TPixmap> pixmap = CreatePixmap(3, 7, format, 2);
        EXPECT_EQ(PixmapWidth(pixmap), 3);
        EXPECT_EQ(PixmapHeight(pixmap), 7);
        EXPECT_EQ(PixmapFormat(pixmap), format);
        EXPECT_EQ(PixmapPitch(pixmap), (3 * PixmapBytesPerPixel[format] + 1) / 2 * 2);
        EXPECT_EQ(pixmap->BytesPerPixel(), PixelFormatBytes(format));
    }
}

} // namespace
} // namespace vanta
