// 2D drawing through the GL 2D driver in a real window, read back: a tiled picture covers every pixel of
// the viewport exactly once, at whole and fractional offsets on either side of it. Built twice: under
// Xvfb (GLX) and on SDL's offscreen driver (EGL).
#include "graphics/Image.h"
#include "pixmap/Pixmap.h"
#include "support/GLDrawingWindow.h"

#include <cstdlib>
#include <vector>

namespace vanta {
namespace {

class DrawReadBackTest : public test::GLDrawingTest
{
protected:
    // The red channel of every pixel of the back buffer, rows top down, once the driver has sent what it holds.
    static std::vector<std::uint8_t> Reds()
    {
        CurrentFlat2DDriver()->Flush();
        glFinish();
        std::vector<std::uint8_t> rgba(static_cast<std::size_t>(width) * height * 4);
        glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
        std::vector<std::uint8_t> reds(static_cast<std::size_t>(width) * height);
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x)
                reds[static_cast<std::size_t>(y) * width + x] =
                    rgba[(static_cast<std::size_t>(height - 1 - y) * width + x) * 4];
        }
        return reds;
    }
};

// An opaque w x h picture of one dark red, unfiltered.
Ref<TImage> DarkRed(std::int32_t w, std::int32_t h)
{
    Ref<TPixmap> pixmap = CreatePixmap(w, h, PF_RGBA8888, 4);
    for (std::int32_t y = 0; y < h; ++y) {
        for (std::int32_t x = 0; x < w; ++x)
            pixmap->WritePixel(x, y, 0xFF500000u);
    }
    Ref<TImage> image = CreateImage(w, h, 1, 0);
    image->SetPixmap(0, pixmap);
    return image;
}

TEST_F(DrawReadBackTest, TilesAddedTogetherCoverEachViewportPixelOnceAtAnyOffset)
{
    // Added light: a pixel the tiles miss stays black, one they cover twice shows twice the red.
    struct Case
    {
        float x, y;
        std::int32_t viewX, viewY, viewWidth, viewHeight;
    };
    const Case cases[] = {
        {0.75f, 64.75f, 0, 0, width, height},  {0, 0, 0, 0, width, height},
        {10, -3, 0, 0, width, height},         {0.5f, 0.5f, 0, 0, width, height},
        {0.25f, -0.25f, 0, 0, width, height},  {-0.75f, -64.6f, 0, 0, width, height},
        {-127.5f, 33.9f, 0, 0, width, height}, {31.75f, 20.5f, 30, 20, 101, 77},
        {30.6f, 19.4f, 30, 20, 101, 77},       {-1000.7f, 999.8f, 7, 5, 150, 120},
    };
    const Ref<TImage> image = DarkRed(48, 40);
    constexpr int red = 0x50;
    for (const Case& c : cases) {
        SCOPED_TRACE(::testing::Message() << "tiled at (" << c.x << ", " << c.y << ")");
        SetViewport(0, 0, width, height);
        SetClearColor(0, 0, 0);
        ClearGraphics();
        SetViewport(c.viewX, c.viewY, c.viewWidth, c.viewHeight);
        SetBlendMode(BLEND_LIGHT);
        TileImage(image, c.x, c.y);
        const std::vector<std::uint8_t> reds = Reds();
        int wrong = 0;
        for (int y = 0; y < height; ++y) {
            for (int x = 0; x < width; ++x) {
                const bool inside =
                    x >= c.viewX && x < c.viewX + c.viewWidth && y >= c.viewY && y < c.viewY + c.viewHeight;
                const int got = reds[static_cast<std::size_t>(y) * width + x];
                const int expected = inside ? red : 0;
                if (std::abs(got - expected) > 2 && wrong++ < 4)
                    ADD_FAILURE() << "pixel (" << x << ", " << y << ") has red " << got << ", not " << expected;
            }
        }
        EXPECT_EQ(wrong, 0);
    }
}

} // namespace
} // namespace vanta
