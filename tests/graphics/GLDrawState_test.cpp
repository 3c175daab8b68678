// The GL 2D driver's batches, read back from a real window: whatever is held back is drawn in the order
// it was asked for, across textures, rectangles, blits, blend and viewport changes, read-backs, deleted
// textures and batches longer than the buffer; colour and alpha ride in the vertices without breaking a
// batch. Built twice: under Xvfb (GLX) and on SDL's offscreen driver (EGL).
#include "graphics/Image.h"
#include "graphics/gl/GLDrawState.h"
#include "pixmap/Pixmap.h"
#include "runtime/Object.h"
#include "support/GLDrawingWindow.h"

namespace vanta {
namespace {

class GLDrawStateTest : public test::GLDrawingTest
{
protected:
    void SetUp() override
    {
        GLDrawingTest::SetUp();
        SetClearColor(0, 0, 0);
        ClearGraphics();
        SetBlendMode(BLEND_SOLID);
    }

    // The batches sent to GL so far.
    static std::int32_t Draws() { return TheGLDrawState().Counters().batchDraws; }

    // The pixel at (x, y) as 0xAARRGGBB, read through the driver.
    static std::uint32_t Grabbed(std::int32_t x, std::int32_t y) { return GrabPixmap(x, y, 1, 1)->ReadPixel(0, 0); }
};

Ref<TImage> Plain(std::int32_t w, std::int32_t h, std::uint32_t argb)
{
    Ref<TImage> image = CreateImage(w, h, 1, 0);
    Ref<TPixmap> pixmap = LockImage(image, 0, 1, 1);
    for (std::int32_t y = 0; y < h; ++y) {
        for (std::int32_t x = 0; x < w; ++x)
            pixmap->WritePixel(x, y, argb);
    }
    return image;
}

TEST_F(GLDrawStateTest, InterleavedTexturesOverlapInTheOrderTheyWereDrawn)
{
    const Ref<TImage> red = Plain(8, 8, 0xFFFF0000u);
    const Ref<TImage> green = Plain(8, 8, 0xFF00FF00u);
    red->Frame(0);
    green->Frame(0);
    const std::int32_t before = Draws();
    DrawImage(red, 0, 0);
    DrawImage(green, 4, 0);
    DrawImage(red, 8, 0);
    DrawImage(green, 12, 0);
    ExpectAt(2, 2, 255, 0, 0);
    ExpectAt(6, 2, 0, 255, 0);
    ExpectAt(10, 2, 255, 0, 0);
    ExpectAt(14, 2, 0, 255, 0);
    ExpectAt(18, 2, 0, 255, 0);
    EXPECT_EQ(Draws() - before, 4) << "one batch per run of one texture";
}

TEST_F(GLDrawStateTest, ARectangleBetweenTwoImagesCoversTheFirstAndIsCoveredByTheSecond)
{
    const Ref<TImage> red = Plain(16, 16, 0xFFFF0000u);
    DrawImage(red, 0, 0);
    SetColor(0, 0, 255);
    DrawRect(8, 0, 16, 16);
    SetColor(255, 255, 255);
    DrawImage(red, 16, 0);
    ExpectAt(4, 4, 255, 0, 0);
    ExpectAt(12, 4, 0, 0, 255);
    ExpectAt(20, 4, 255, 0, 0);
    ExpectAt(28, 4, 255, 0, 0);

    // Lines, points and a blit between images keep their places too.
    DrawImage(red, 40, 0);
    SetColor(0, 255, 0);
    DrawLine(40, 4, 60, 4, 0);
    DrawPoint(42, 8);
    SetColor(255, 255, 255);
    DrawImage(red, 50, 0);
    DrawPixmap(LockImage(Plain(4, 4, 0xFF0000FFu), 0, 1, 0), 52, 10);
    ExpectAt(44, 4, 0, 255, 0);
    ExpectAt(42, 8, 0, 255, 0);
    ExpectAt(55, 4, 255, 0, 0);
    ExpectAt(53, 11, 0, 0, 255);
    ExpectAt(60, 11, 255, 0, 0);
}

TEST_F(GLDrawStateTest, AGrabInTheMiddleOfABatchSeesEverythingDrawnBeforeItAndNothingAfter)
{
    const Ref<TImage> red = Plain(4, 4, 0xFFFF0000u);
    DrawImage(red, 0, 0);
    DrawImage(red, 10, 0);
    EXPECT_EQ(Grabbed(1, 1), 0xFFFF0000u);
    EXPECT_EQ(Grabbed(11, 1), 0xFFFF0000u);
    EXPECT_EQ(Grabbed(21, 1), 0xFF000000u);
    DrawImage(red, 20, 0);
    const Ref<TImage> grabbed = CreateImage(4, 4, 1, 0);
    GrabImage(grabbed, 20, 0);
    EXPECT_EQ(LockImage(grabbed, 0, 1, 0)->ReadPixel(1, 1), 0xFFFF0000u);
}

TEST_F(GLDrawStateTest, ABlendChangeInARunOfOneTextureAppliesOnlyToWhatFollows)
{
    SetClearColor(50, 50, 50);
    ClearGraphics();
    const Ref<TImage> grey = Plain(8, 8, 0xFF646464u);
    DrawImage(grey, 0, 0);
    DrawImage(grey, 8, 0);
    SetBlendMode(BLEND_LIGHT);
    DrawImage(grey, 4, 0); // over both: light adds to what is there
    DrawImage(grey, 20, 0);
    ExpectAt(2, 2, 100, 100, 100);
    ExpectAt(6, 2, 200, 200, 200);
    ExpectAt(10, 2, 200, 200, 200);
    ExpectAt(14, 2, 100, 100, 100);
    ExpectAt(22, 2, 150, 150, 150);
}

TEST_F(GLDrawStateTest, ColourAndAlphaChangesTintEachImageWithoutBreakingTheBatch)
{
    const Ref<TImage> white = Plain(8, 8, 0xFFFFFFFFu);
    white->Frame(0);
    SetBlendMode(BLEND_ALPHA);
    GrabPixmap(0, 0, 1, 1); // sends anything held so far
    const std::int32_t before = Draws();
    SetColor(255, 0, 0);
    DrawImage(white, 0, 0);
    SetColor(0, 255, 0);
    DrawImage(white, 10, 0);
    SetColor(0, 0, 255);
    SetAlpha(0.5f);
    DrawImage(white, 20, 0);
    SetRotation(90);
    SetAlpha(1.0f);
    DrawImage(white, 38, 0); // turned about its handle: covers x 30 ... 38
    ExpectAt(4, 4, 255, 0, 0);
    ExpectAt(14, 4, 0, 255, 0);
    ExpectAt(24, 4, 0, 0, 127);
    ExpectAt(34, 4, 0, 0, 255);
    ExpectAt(39, 4, 0, 0, 0);
    EXPECT_EQ(Draws() - before, 1);
}

// A batch of one colour is drawn in GL's current colour, set for it; a batch of several colours carries
// them in its vertices and leaves GL's current colour undefined (Mesa happens to keep it).
TEST_F(GLDrawStateTest, ABatchOfOneColourAfterABatchOfSeveralIsDrawnInItsOwnColour)
{
    const Ref<TImage> white = Plain(8, 8, 0xFFFFFFFFu);
    const Ref<TImage> other = Plain(8, 8, 0xFFFFFFFFu);
    SetColor(255, 0, 0);
    DrawImage(white, 0, 0);
    DrawImage(other, 10, 0); // another texture: the red batch is sent
    SetColor(0, 255, 0);
    DrawImage(other, 20, 0); // a batch of red and green
    SetColor(255, 0, 0);
    DrawImage(white, 30, 0); // red alone again
    ExpectAt(4, 4, 255, 0, 0);
    ExpectAt(14, 4, 255, 0, 0);
    ExpectAt(24, 4, 0, 255, 0);
    ExpectAt(34, 4, 255, 0, 0);
}

TEST_F(GLDrawStateTest, ImagesHeldBeforeAViewportChangeOrAClearAreNotCutOrWipedByIt)
{
    const Ref<TImage> red = Plain(16, 16, 0xFFFF0000u);
    DrawImage(red, 0, 0);
    SetViewport(100, 100, 10, 10);
    DrawImage(red, 100, 100);
    ExpectAt(4, 4, 255, 0, 0);
    ExpectAt(104, 104, 255, 0, 0);
    ExpectAt(112, 112, 0, 0, 0);
    SetViewport(0, 0, width, height);

    DrawImage(red, 40, 0);
    SetClearColor(0, 0, 255);
    ClearGraphics();
    DrawImage(red, 60, 0);
    ExpectAt(44, 4, 0, 0, 255);
    ExpectAt(64, 4, 255, 0, 0);
}

TEST_F(GLDrawStateTest, QuadsHeldForATextureAreDrawnBeforeTheTextureIsDeleted)
{
    const int level = ReleaseStackLevel();
    {
        const Ref<TImage> red = Plain(8, 8, 0xFFFF0000u);
        DrawImage(red, 0, 0);
    }
    FlushReleaseStack(level);
    const Ref<TImage> green = Plain(8, 8, 0xFF00FF00u);
    DrawImage(green, 10, 0); // made after the deletion: may get the red texture's name
    ExpectAt(4, 4, 255, 0, 0);
    ExpectAt(14, 4, 0, 255, 0);
}

// More quads than the buffer holds, in two passes over the same pixels: the later pass must win
// everywhere, also where a pass crosses the end of the buffer.
TEST_F(GLDrawStateTest, ABatchLongerThanTheBufferIsSentAsItFillsAndKeepsItsOrder)
{
    const Ref<TImage> white = Plain(1, 1, 0xFFFFFFFFu);
    white->Frame(0);
    GrabPixmap(0, 0, 1, 1);
    const std::int32_t before = Draws();
    constexpr std::int32_t pixels = 5000;
    constexpr std::int32_t quads = 2 * pixels;
    static_assert(quads * 4 > 2 * GL_BATCH_VERTICES, "the run wraps the buffer at least twice");
    for (std::int32_t k = 0; k < quads; ++k) {
        const std::int32_t p = k % pixels;
        SetColor(k & 0xFF, k >> 8, 77);
        DrawImage(white, static_cast<float>(p % width), static_cast<float>(p / width));
    }
    const Ref<TPixmap> shot = GrabPixmap(0, 0, width, height);
    EXPECT_EQ(Draws() - before, (quads * 4 + GL_BATCH_VERTICES - 1) / GL_BATCH_VERTICES);
    std::int32_t wrong = 0;
    for (std::int32_t p = 0; p < pixels; ++p) {
        const std::int32_t k = p + pixels;
        const std::uint32_t expected = 0xFF000000u | static_cast<std::uint32_t>((k & 0xFF) << 16 | (k >> 8) << 8 | 77);
        if (shot->ReadPixel(p % width, p / width) != expected && ++wrong < 5)
            ADD_FAILURE() << "pixel " << p << ": " << std::hex << shot->ReadPixel(p % width, p / width);
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(shot->ReadPixel(0, pixels / width + 1), 0xFF000000u);
}

} // namespace
} // namespace vanta
