// GL image frames in a real window, read back: the padded power-of-two texture and its coordinates, the
// edge a filtered magnification shows, a picture scaled down to the largest texture, mipmaps, frames made
// again from the same pixmaps after graphics are reopened, and drawing after a frame's texture is
// deleted. Built twice: under Xvfb (GLX) and on SDL's offscreen driver (EGL).
#include "graphics/Image.h"
#include "graphics/gl/GLImageFrame.h"
#include "graphics/gl/GLTexture.h"
#include "pixmap/Pixmap.h"
#include "support/GLDrawingWindow.h"

#include <vector>

namespace vanta {
namespace {

class GLImageFrameTest : public test::GLDrawingTest
{
protected:
    void TearDown() override
    {
        SetGLTextureProxy(nullptr);
        GLDrawingTest::TearDown();
    }
};

// A one-colour opaque image of width x height, its last column and row in their own colours.
Ref<TImage> EdgedImage(std::int32_t w, std::int32_t h, std::int32_t flags)
{
    Ref<TPixmap> pixmap = CreatePixmap(w, h, PF_RGBA8888, 4);
    for (std::int32_t y = 0; y < h; ++y) {
        for (std::int32_t x = 0; x < w; ++x) {
            std::uint32_t colour = 0xFFFF0000u; // red
            if (x == w - 1) colour = 0xFF00FF00u;
            if (y == h - 1) colour = 0xFF0000FFu;
            pixmap->WritePixel(x, y, colour);
        }
    }
    Ref<TImage> image = CreateImage(w, h, 1, flags);
    image->SetPixmap(0, pixmap);
    return image;
}

Ref<TImage> PlainImage(std::int32_t w, std::int32_t h, std::uint32_t argb, std::int32_t flags,
                       std::int32_t format = PF_RGBA8888)
{
    Ref<TPixmap> pixmap = CreatePixmap(w, h, format, 4);
    for (std::int32_t y = 0; y < h; ++y) {
        for (std::int32_t x = 0; x < w; ++x)
            pixmap->WritePixel(x, y, argb);
    }
    Ref<TImage> image = CreateImage(w, h, 1, flags);
    image->SetPixmap(0, pixmap);
    return image;
}

Ref<TGLImageFrame> FrameOf(const Ref<TImage>& image)
{
    return Downcast<TGLImageFrame>(image->Frame(0));
}

// Level 0 of the frame's texture, as RGBA bytes, rows top down.
std::vector<std::uint8_t> TextureBytes(const Ref<TGLImageFrame>& frame, GLint& w, GLint& h)
{
    glBindTexture(GL_TEXTURE_2D, frame->texture);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_WIDTH, &w);
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 0, GL_TEXTURE_HEIGHT, &h);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(w) * h * 4);
    glGetTexImage(GL_TEXTURE_2D, 0, GL_RGBA, GL_UNSIGNED_BYTE, bytes.data());
    return bytes;
}

TEST_F(GLImageFrameTest, AnEightyByHundredFourFrameSitsInA128TextureWithItsEdgesRepeatedOnce)
{
    const Ref<TImage> image = EdgedImage(80, 104, IMAGE_FILTERED);
    const Ref<TGLImageFrame> frame = FrameOf(image);
    ASSERT_FALSE(frame.IsNull());
    EXPECT_FLOAT_EQ(frame->uMin, 0.0f);
    EXPECT_FLOAT_EQ(frame->vMin, 0.0f);
    EXPECT_FLOAT_EQ(frame->uMax, 0.625f);
    EXPECT_FLOAT_EQ(frame->vMax, 0.8125f);
    EXPECT_EQ(frame->sequence, GraphicsSequence());

    GLint w = 0;
    GLint h = 0;
    const std::vector<std::uint8_t> texels = TextureBytes(frame, w, h);
    ASSERT_EQ(w, 128);
    ASSERT_EQ(h, 128);
    const auto texel = [&](int x, int y) {
        const std::uint8_t* p = &texels[(static_cast<std::size_t>(y) * 128 + x) * 4];
        return std::array<int, 4>{p[0], p[1], p[2], p[3]};
    };
    using T = std::array<int, 4>;
    EXPECT_EQ(texel(10, 10), (T{255, 0, 0, 255}));
    EXPECT_EQ(texel(80, 10), texel(79, 10)) << "column 80 repeats the last column";
    EXPECT_EQ(texel(10, 104), texel(10, 103)) << "row 104 repeats the last row";
    EXPECT_EQ(texel(80, 104), texel(79, 103)) << "and the corner pixel";
    EXPECT_EQ(texel(81, 10), (T{0, 0, 0, 0})) << "only one column is filled";
    EXPECT_EQ(texel(10, 105), (T{0, 0, 0, 0}));

    // Magnified three times with filtering, the last screen column and row show the picture's edge
    // colours, with nothing of the empty texels beyond.
    SetClearColor(255, 255, 255);
    ClearGraphics();
    SetBlendMode(BLEND_SOLID);
    SetScale(3, 3);
    DrawImage(image, -60, -180); // covers x -60 ... 180, y -180 ... 132
    ExpectAt(179, 60, 0, 255, 0);
    ExpectAt(60, 131, 0, 0, 255);
    ExpectAt(170, 60, 255, 0, 0);
    ExpectAt(180, 60, 255, 255, 255);
    ExpectAt(60, 132, 255, 255, 255);
}

TEST_F(GLImageFrameTest, APictureLargerThanTheLargestTextureIsScaledDownIntoIt)
{
    SetGLTextureProxy([](std::int32_t w, std::int32_t h) { return w <= 512 && h <= 512; });
    const Ref<TImage> image = PlainImage(640, 480, 0xFF00FF00u, 0);
    const Ref<TGLImageFrame> frame = FrameOf(image);
    EXPECT_FLOAT_EQ(frame->uMax, 1.0f);
    EXPECT_FLOAT_EQ(frame->vMax, 1.0f);
    GLint w = 0;
    GLint h = 0;
    TextureBytes(frame, w, h);
    EXPECT_EQ(w, 512);
    EXPECT_EQ(h, 256);
    SetBlendMode(BLEND_SOLID);
    DrawImage(image, -300, -200);
    ExpectAt(0, 0, 0, 255, 0);
    ExpectAt(width - 1, height - 1, 0, 255, 0);
}

TEST_F(GLImageFrameTest, APictureWithoutAlphaIsConvertedAndAMaskedOneDropsItsTransparentPixels)
{
    SetClearColor(0, 0, 0);
    ClearGraphics();
    const Ref<TImage> rgb = PlainImage(64, 32, 0xFF336699u, 0, PF_RGB888);
    DrawImage(rgb, 0, 0);
    ExpectAt(10, 10, 0x33, 0x66, 0x99);

    const Ref<TImage> holes = PlainImage(16, 16, 0x00FFFFFFu, IMAGE_MASKED);
    holes->Lock(0, 1, 1)->WritePixel(3, 3, 0xFFFFFF00u);
    DrawImage(holes, 100, 100); // mask mode (the reset's)
    ExpectAt(103, 103, 255, 255, 0);
    ExpectAt(108, 108, 0, 0, 0);
}

TEST_F(GLImageFrameTest, AMipmappedFrameHasEveryLevelAndMinifiesThroughThem)
{
    // Stripes of black and white one texel wide average to grey in the smaller levels.
    Ref<TPixmap> stripes = CreatePixmap(64, 64, PF_RGBA8888, 4);
    for (std::int32_t y = 0; y < 64; ++y) {
        for (std::int32_t x = 0; x < 64; ++x)
            stripes->WritePixel(x, y, x % 2 == 0 ? 0xFFFFFFFFu : 0xFF000000u);
    }
    Ref<TImage> image = CreateImage(64, 64, 1, IMAGE_MIPMAPPED);
    image->SetPixmap(0, stripes);
    const Ref<TGLImageFrame> frame = FrameOf(image);
    glBindTexture(GL_TEXTURE_2D, frame->texture);
    GLint side = 0;
    glGetTexLevelParameteriv(GL_TEXTURE_2D, 6, GL_TEXTURE_WIDTH, &side);
    EXPECT_EQ(side, 1);
    GLint minification = 0;
    glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minification);
    EXPECT_EQ(minification, GL_LINEAR_MIPMAP_LINEAR);

    SetBlendMode(BLEND_SOLID);
    SetScale(0.25f, 0.25f);
    DrawImage(image, 0, 0);
    const test::Pixel grey = At(8, 8);
    EXPECT_NEAR(grey[0], 128, 16);
}

TEST_F(GLImageFrameTest, ReopeningGraphicsMakesNewFramesFromTheSamePixmaps)
{
    const Ref<TImage> image = PlainImage(8, 8, 0xFF0080FFu, 0);
    SetBlendMode(BLEND_SOLID);
    DrawImage(image, 0, 0);
    const Ref<TImageFrame> first = image->Frame(0);
    const Ref<Object> pixmap = image->pixmaps->ObjectAt(0);

    CloseGraphics();
    Open();
    SetClearColor(0, 0, 0);
    ClearGraphics();
    SetBlendMode(BLEND_SOLID);
    DrawImage(image, 20, 20);
    const Ref<TImageFrame> second = image->Frame(0);
    EXPECT_NE(second.Raw(), first.Raw());
    EXPECT_EQ(Downcast<TGLImageFrame>(second)->sequence, GraphicsSequence());
    EXPECT_EQ(image->pixmaps->ObjectAt(0).Raw(), pixmap.Raw());
    ExpectAt(24, 24, 0, 0x80, 0xFF);
}

TEST_F(GLImageFrameTest, AFrameDrawnAfterAnotherFramesTextureWasDeletedShowsItsOwnPicture)
{
    SetClearColor(0, 0, 0);
    ClearGraphics();
    SetBlendMode(BLEND_SOLID);
    const int level = ReleaseStackLevel();
    {
        Ref<TImage> red = PlainImage(8, 8, 0xFFFF0000u, 0);
        DrawImage(red, 0, 0);
        ExpectAt(4, 4, 255, 0, 0);
    }
    FlushReleaseStack(level); // the red frame's texture is deleted; GL may give its name out again
    const Ref<TImage> green = PlainImage(8, 8, 0xFF00FF00u, 0);
    DrawImage(green, 0, 0);
    ExpectAt(4, 4, 0, 255, 0);
}

#ifndef VANTA_GL_OFFSCREEN
// A full-screen context shares with nothing: frames are made in the drawing context itself, where making
// one binds its texture.
TEST_F(GLImageFrameTest, InFullScreenMakingAFrameDoesNotChangeWhatTheNextDrawShows)
{
    CloseGraphics();
    platform::DisplayMode desktop;
    ASSERT_TRUE(platform::GetDesktopDisplayMode(desktop));
    OpenGraphics(desktop.width, desktop.height, desktop.bitsPerPixel, SYNC_NONE | 60);
    SetBlendMode(BLEND_SOLID);
    const Ref<TImage> red = PlainImage(8, 8, 0xFFFF0000u, 0);
    const Ref<TImage> green = PlainImage(8, 8, 0xFF00FF00u, 0);
    DrawImage(red, 0, 0);
    green->Frame(0);
    DrawImage(red, 20, 0);
    EXPECT_EQ(GrabPixmap(24, 4, 1, 1)->ReadPixel(0, 0), 0xFFFF0000u);
    CloseGraphics();
    Open();
}
#endif

} // namespace
} // namespace vanta
