// The GL 2D driver drawing into a real window, read back from the back buffer: the blend modes on known
// colours, the transform, the scissoring viewport, lines, points, ovals and polygons, pixmap blits and
// read-back (also partly off the surface), pictures crossing the surface's edges, and the caches that keep repeated
// state from GL. Built twice: under Xvfb (GLX) and on SDL's offscreen driver (EGL).
#include "graphics/Image.h"
#include "graphics/gl/GLDrawState.h"
#include "pixmap/Pixmap.h"
#include "support/GLDrawingWindow.h"

#include <cmath>
#include <limits>

namespace vanta {
namespace {

class GLFlat2DDriverTest : public test::GLDrawingTest
{
protected:
    // The surface cleared to a known background.
    void Background(int r, int g, int b)
    {
        SetClearColor(r, g, b);
        ClearGraphics();
    }
};

// Background (100, 50, 200); each mode draws one rectangle.
TEST_F(GLFlat2DDriverTest, EachBlendModeCombinesKnownColoursAsSpecified)
{
    Background(100, 50, 200);

    // Mask: the alpha test passes at one half and above (alpha 0.45 is dropped, 0.55 drawn unblended).
    SetBlendMode(BLEND_MASK);
    SetColor(255, 255, 255);
    SetAlpha(0.45f);
    DrawRect(0, 0, 20, 20);
    SetAlpha(0.55f);
    DrawRect(20, 0, 20, 20);
    ExpectAt(10, 10, 100, 50, 200);
    ExpectAt(30, 10, 255, 255, 255);

    // Solid: an opaque copy whatever the alpha.
    SetBlendMode(BLEND_SOLID);
    SetColor(200, 100, 0);
    SetAlpha(0.25f);
    DrawRect(40, 0, 20, 20);
    ExpectAt(50, 10, 200, 100, 0);

    // Alpha 0.5 (127 / 255): source x a + destination x (1 - a).
    SetBlendMode(BLEND_ALPHA);
    SetColor(255, 255, 255);
    SetAlpha(0.5f);
    DrawRect(60, 0, 20, 20);
    ExpectAt(70, 10, 177, 152, 227);

    // Light: source x a + destination.
    SetBlendMode(BLEND_LIGHT);
    SetColor(100, 100, 100);
    DrawRect(80, 0, 20, 20);
    ExpectAt(90, 10, 150, 100, 250);

    // Shade: source x destination.
    SetBlendMode(BLEND_SHADE);
    SetColor(128, 255, 64);
    DrawRect(100, 0, 20, 20);
    ExpectAt(110, 10, 50, 50, 50);

    // Any other mode copies like solid.
    SetBlendMode(9);
    SetColor(1, 2, 3);
    SetAlpha(0.0f);
    DrawRect(120, 0, 20, 20);
    ExpectAt(130, 10, 1, 2, 3);
}

TEST_F(GLFlat2DDriverTest, AlphaIsClampedAndColoursKeepTheirLowByte)
{
    Background(0, 0, 0);
    SetBlendMode(BLEND_ALPHA);
    SetColor(255 + 256, 0x1FF80, -256 + 64); // low bytes 255, 128, 64
    SetAlpha(1.5f);
    DrawRect(0, 0, 20, 20);
    ExpectAt(10, 10, 255, 128, 64);
    SetAlpha(-1.0f);
    SetColor(255, 255, 255);
    DrawRect(0, 0, 20, 20);
    ExpectAt(10, 10, 255, 128, 64);
    SetAlpha(std::numeric_limits<float>::quiet_NaN());
    DrawRect(0, 0, 20, 20);
    ExpectAt(10, 10, 255, 128, 64);
    EXPECT_TRUE(std::isnan(GetAlpha())) << "the stored value is not clamped";
}

TEST_F(GLFlat2DDriverTest, RotatedNinetyDegreesARectangleTurnsClockwiseAboutItsPosition)
{
    Background(0, 0, 0);
    SetColor(0, 255, 0);
    SetRotation(90);
    DrawRect(100, 100, 50, 10); // covers x 90 ... 100, y 100 ... 150
    ExpectAt(90, 100, 0, 255, 0);
    ExpectAt(99, 149, 0, 255, 0);
    ExpectAt(95, 125, 0, 255, 0);
    ExpectAt(89, 125, 0, 0, 0);
    ExpectAt(100, 125, 0, 0, 0);
    ExpectAt(95, 99, 0, 0, 0);
    ExpectAt(95, 150, 0, 0, 0);
}

TEST_F(GLFlat2DDriverTest, TheViewportScissorsDrawingAndClearingAndTheWholeSurfaceTurnsItOff)
{
    Background(0, 0, 0);
    SetViewport(20, 10, 30, 40);
    SetClearColor(0, 0, 255);
    ClearGraphics();
    SetColor(255, 0, 0);
    DrawRect(0, 0, 35, 200);
    ExpectAt(20, 10, 255, 0, 0);
    ExpectAt(34, 49, 255, 0, 0);
    ExpectAt(40, 49, 0, 0, 255); // cleared, not drawn
    ExpectAt(19, 30, 0, 0, 0);
    ExpectAt(30, 9, 0, 0, 0);
    ExpectAt(30, 50, 0, 0, 0);
    ExpectAt(50, 30, 0, 0, 0);

    SetViewport(0, 0, width, height);
    EXPECT_EQ(glIsEnabled(GL_SCISSOR_TEST), GL_FALSE);
    DrawRect(0, 0, 200, 200);
    ExpectAt(width - 1, height - 1, 255, 0, 0);

    // A negative size shows nothing rather than leaving the last rectangle in force.
    SetViewport(0, 0, -5, 20);
    SetColor(0, 255, 0);
    DrawRect(0, 0, 200, 200);
    ExpectAt(2, 2, 255, 0, 0);
}

TEST_F(GLFlat2DDriverTest, LinesPointsAndPolygonsLandOnTheirPixels)
{
    Background(0, 0, 0);
    SetColor(255, 255, 255);
    DrawLine(10, 20, 50, 20, 0);
    ExpectAt(10, 20, 255, 255, 255);
    ExpectAt(30, 20, 255, 255, 255);
    ExpectAt(30, 21, 0, 0, 0);
    ExpectAt(30, 19, 0, 0, 0);
    DrawPoint(5, 7);
    ExpectAt(5, 7, 255, 255, 255);
    ExpectAt(6, 7, 0, 0, 0);

    Ref<Array> triangle = NewArray("f", 6);
    const float corners[] = {100, 100, 140, 100, 100, 140};
    std::copy(std::begin(corners), std::end(corners), triangle->DataAs<float>());
    SetColor(0, 0, 255);
    DrawPoly(triangle);
    ExpectAt(105, 105, 0, 0, 255);
    ExpectAt(135, 135, 0, 0, 0);

    Ref<Array> odd = NewArray("f", 7);
    SetColor(255, 0, 0);
    DrawPoly(odd); // an odd count draws nothing (all points at 0, 0 anyway)
    Ref<Array> two = NewArray("f", 4);
    DrawPoly(two);
    ExpectAt(0, 0, 0, 0, 0);
}

// Sprites reaching past the edges of the surface show exactly their inside part, pixel for pixel.
TEST_F(GLFlat2DDriverTest, APictureCrossingTheSurfaceEdgesShowsExactlyItsInsidePart)
{
    Ref<TPixmap> pixels = CreatePixmap(32, 32, PF_RGBA8888, 4);
    for (std::int32_t y = 0; y < 32; ++y) {
        for (std::int32_t x = 0; x < 32; ++x)
            pixels->WritePixel(
                x, y, 0xFF000000u | static_cast<std::uint32_t>(x * 8) << 16 | static_cast<std::uint32_t>(y * 8));
    }
    Ref<TImage> image = CreateImage(32, 32, 1, 0);
    image->SetPixmap(0, pixels);
    SetBlendMode(BLEND_SOLID);
    const struct
    {
        std::int32_t x, y;
    } places[] = {{-16, -8}, {width - 16, height - 8}, {-31, height - 1}};
    for (const auto& place : places) {
        SCOPED_TRACE(::testing::Message() << "at (" << place.x << ", " << place.y << ")");
        Background(0, 0, 0);
        DrawImage(image, static_cast<float>(place.x), static_cast<float>(place.y));
        const Ref<TPixmap> shown = GrabPixmap(0, 0, width, height);
        for (std::int32_t y = 0; y < 32; ++y) {
            for (std::int32_t x = 0; x < 32; ++x) {
                const std::int32_t sx = place.x + x;
                const std::int32_t sy = place.y + y;
                if (sx < 0 || sy < 0 || sx >= width || sy >= height) continue;
                ASSERT_EQ(shown->ReadPixel(sx, sy) | 0xFF000000u, pixels->ReadPixel(x, y))
                    << "picture pixel " << x << ", " << y;
            }
        }
    }
}

TEST_F(GLFlat2DDriverTest, OvalsHaveASegmentCountBetweenTwelveAndACap)
{
    EXPECT_EQ(GLOvalSegments(2, 2), 12);
    EXPECT_EQ(GLOvalSegments(50, 30), 80);
    EXPECT_EQ(GLOvalSegments(-50, 31), 80) << "rounded down to a multiple of 4";
    EXPECT_EQ(GLOvalSegments(1e9f, 1e9f), GL_OVAL_MAX_SEGMENTS);
    EXPECT_EQ(GLOvalSegments(std::numeric_limits<float>::infinity(), 0), GL_OVAL_MAX_SEGMENTS);
    EXPECT_EQ(GLOvalSegments(std::numeric_limits<float>::quiet_NaN(), 3), 12);

    Background(0, 0, 0);
    SetColor(255, 255, 0);
    DrawOval(20, 20, 40, 40);
    ExpectAt(40, 40, 255, 255, 0);
    ExpectAt(22, 22, 0, 0, 0); // the corner of the bounding box is outside the oval
    ExpectAt(21, 40, 255, 255, 0);

    // An oval far larger than the surface still fills it, with the capped segment count.
    SetColor(0, 255, 255);
    DrawOval(-1e6f, -1e6f, 2e6f, 2e6f);
    ExpectAt(width / 2, height / 2, 0, 255, 255);
    DrawOval(0, 0, std::numeric_limits<float>::infinity(), 10);
}

Ref<TPixmap> Pattern(std::int32_t w, std::int32_t h, std::int32_t format)
{
    Ref<TPixmap> pixmap = CreatePixmap(w, h, format, 4);
    for (std::int32_t y = 0; y < h; ++y) {
        for (std::int32_t x = 0; x < w; ++x)
            pixmap->WritePixel(x, y,
                               0xFF000000u | static_cast<std::uint32_t>((x * 37) << 16 | (y * 51) << 8 | (x + y)));
    }
    return pixmap;
}

TEST_F(GLFlat2DDriverTest, ADrawnPixmapIsGrabbedBackExactly)
{
    Background(9, 9, 9);
    SetRotation(45); // blits ignore the transform
    SetOrigin(30, 30);
    const Ref<TPixmap> picture = Pattern(7, 5, PF_RGBA8888);
    DrawPixmap(picture, 13, 21);
    const Ref<TPixmap> grabbed = GrabPixmap(13, 21, 7, 5);
    ASSERT_FALSE(grabbed.IsNull());
    EXPECT_EQ(grabbed->Format(), PF_RGBA8888);
    ASSERT_EQ(grabbed->Width(), 7);
    ASSERT_EQ(grabbed->Height(), 5);
    for (std::int32_t y = 0; y < 5; ++y) {
        for (std::int32_t x = 0; x < 7; ++x)
            EXPECT_EQ(grabbed->ReadPixel(x, y), picture->ReadPixel(x, y)) << x << ", " << y;
    }
    ExpectAt(12, 21, 9, 9, 9);
    ExpectAt(13, 26, 9, 9, 9);

    // Another format is converted; a blit reaching over the edges is clipped.
    const Ref<TPixmap> rgb = Pattern(6, 6, PF_RGB888);
    DrawPixmap(rgb, width - 3, -2);
    EXPECT_EQ(GrabPixmap(width - 3, 0, 3, 4)->ReadPixel(2, 3), rgb->ReadPixel(2, 5));
}

TEST_F(GLFlat2DDriverTest, AGrabReachingOffTheSurfaceIsClearedThere)
{
    Background(255, 0, 0);
    const Ref<TPixmap> corner = GrabPixmap(-2, -3, 6, 6);
    ASSERT_FALSE(corner.IsNull());
    for (std::int32_t y = 0; y < 6; ++y) {
        for (std::int32_t x = 0; x < 6; ++x) {
            const bool on = x >= 2 && y >= 3;
            EXPECT_EQ(corner->ReadPixel(x, y), on ? 0xFFFF0000u : 0u) << x << ", " << y;
        }
    }
    const Ref<TPixmap> far = GrabPixmap(width - 1, height - 2, 4, 4);
    EXPECT_EQ(far->ReadPixel(0, 0), 0xFFFF0000u);
    EXPECT_EQ(far->ReadPixel(0, 1), 0xFFFF0000u);
    EXPECT_EQ(far->ReadPixel(1, 0), 0u);
    EXPECT_EQ(far->ReadPixel(0, 2), 0u);
    const Ref<TPixmap> outside = GrabPixmap(-100, 5000, 3, 3);
    EXPECT_EQ(outside->ReadPixel(1, 1), 0u);
    // GrabImage reads through the same slot.
    const Ref<TImage> image = CreateImage(4, 4, 1, 0);
    GrabImage(image, width - 2, -1);
    const Ref<TPixmap> grabbed = LockImage(image, 0, 1, 0);
    EXPECT_EQ(grabbed->ReadPixel(1, 1), 0xFFFF0000u);
    EXPECT_EQ(grabbed->ReadPixel(1, 0), 0u);
    EXPECT_EQ(grabbed->ReadPixel(2, 1), 0u);
    EXPECT_TRUE(GrabPixmap(0, 0, 0, 5).IsNull());
    EXPECT_TRUE(GrabPixmap(0, 0, 5, -1).IsNull());
}

TEST_F(GLFlat2DDriverTest, ARepeatedBlendModeOrTextureReachesGLOnce)
{
    GLDrawState& state = TheGLDrawState();
    SetBlendMode(BLEND_ALPHA);
    const GLStateCounters before = state.Counters();
    SetBlendMode(BLEND_ALPHA);
    EXPECT_EQ(state.Counters().blendChanges, before.blendChanges);
    // Proof on GL's side: a change made behind the driver's back is not undone by the repeat.
    glDisable(GL_BLEND);
    SetBlendMode(BLEND_ALPHA);
    EXPECT_EQ(glIsEnabled(GL_BLEND), GL_FALSE);
    SetBlendMode(BLEND_LIGHT);
    EXPECT_EQ(glIsEnabled(GL_BLEND), GL_TRUE);
    EXPECT_EQ(state.Counters().blendChanges, before.blendChanges + 1);

    Ref<TImage> image = CreateImage(4, 4, 1, 0);
    DrawImage(image, 0, 0);
    const GLStateCounters drawn = state.Counters();
    DrawImage(image, 10, 0);
    DrawImage(image, 20, 0);
    EXPECT_EQ(state.Counters().textureBinds, drawn.textureBinds);
    EXPECT_EQ(state.Counters().texturingSwitches, drawn.texturingSwitches);
    DrawRect(0, 0, 1, 1);
    DrawImage(image, 20, 0);
    EXPECT_EQ(state.Counters().textureBinds, drawn.textureBinds) << "the same texture stays bound";
    EXPECT_EQ(state.Counters().texturingSwitches, drawn.texturingSwitches + 2) << "off for the rectangle, on again";

    // Activating a surface forgets the caches: the reset's mask mode reaches GL even though a mask mode
    // was applied last time.
    SetBlendMode(BLEND_MASK);
    CloseGraphics();
    Open();
    EXPECT_GT(state.Counters().blendChanges, drawn.blendChanges + 1);
    EXPECT_EQ(glIsEnabled(GL_ALPHA_TEST), GL_TRUE);
}

} // namespace
} // namespace vanta
