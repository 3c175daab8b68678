// GL image frames in a real window, read back: the padded power-of-two texture and its coordinates, the
// edge a filtered magnification shows, a picture scaled down to the largest texture, mipmaps, frames made
// again from the same pixmaps after graphics are reopened, and drawing after a frame's texture is
// deleted; small pictures sharing an atlas page (drawn as a texture of their own would draw them, a cell
// freed and used again, the page's texture going with its last frame, pages of an earlier opening, a second
// surface, a line of text in one draw). Built twice: under Xvfb (GLX) and on SDL's offscreen driver (EGL).
#include "graphics/Draw.h"
#include "graphics/Image.h"
#include "graphics/ImageFont.h"
#include "graphics/gl/GLDrawState.h"
#include "graphics/gl/GLImageFrame.h"
#include "graphics/gl/GLTexture.h"
#include "graphics/gl/GLTextureAtlas.h"
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

// A picture loaded the way glyphs and the game's pictures are (not made by `CreateImage`), so that a small
// one goes in an atlas page: one colour, its last column green and last row blue when `edged`.
Ref<TImage> LoadedImage(std::int32_t w, std::int32_t h, std::uint32_t argb, std::int32_t flags, bool edged = false)
{
    Ref<TPixmap> pixmap = CreatePixmap(w, h, PF_RGBA8888, 4);
    for (std::int32_t y = 0; y < h; ++y) {
        for (std::int32_t x = 0; x < w; ++x) {
            std::uint32_t colour = argb;
            if (edged && x == w - 1) colour = 0xFF00FF00u;
            if (edged && y == h - 1) colour = 0xFF0000FFu;
            pixmap->WritePixel(x, y, colour);
        }
    }
    return TImage::Load(pixmap, 0, 0, 0, flags);
}

// The back buffer's pixels of the rectangle, once the driver has sent what it holds.
std::vector<std::uint32_t> Grabbed(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h)
{
    const Ref<TPixmap> pixels = GrabPixmap(x, y, w, h);
    std::vector<std::uint32_t> values;
    for (std::int32_t row = 0; row < h; ++row) {
        for (std::int32_t column = 0; column < w; ++column)
            values.push_back(pixels->ReadPixel(column, row) | 0xFF000000u);
    }
    return values;
}

TEST_F(GLImageFrameTest, SmallLoadedPicturesShareAnAtlasPageEachInsideARingOfItsOwnEdges)
{
    const Ref<TImage> red = LoadedImage(7, 13, 0xFFFF0000u, 0, true);
    const Ref<TImage> white = LoadedImage(8, 16, 0xFFFFFFFFu, 0);
    const Ref<TGLImageFrame> redFrame = FrameOf(red);
    const Ref<TGLImageFrame> whiteFrame = FrameOf(white);
    ASSERT_TRUE(redFrame->cell);
    EXPECT_EQ(redFrame->texture, whiteFrame->texture);
    EXPECT_EQ(redFrame->sequence, GraphicsSequence());

    GLint w = 0;
    GLint h = 0;
    const std::vector<std::uint8_t> texels = TextureBytes(redFrame, w, h);
    EXPECT_EQ(w, GL_ATLAS_PAGE_SIDE);
    EXPECT_EQ(h, GL_ATLAS_PAGE_SIDE);
    // The coordinates span exactly the picture's texels.
    const float left = redFrame->uMin * static_cast<float>(w);
    const float top = redFrame->vMin * static_cast<float>(h);
    EXPECT_FLOAT_EQ(redFrame->uMax * static_cast<float>(w) - left, 7.0f);
    EXPECT_FLOAT_EQ(redFrame->vMax * static_cast<float>(h) - top, 13.0f);
    const auto texel = [&](int x, int y) {
        const std::uint8_t* p =
            &texels[(static_cast<std::size_t>(top + y) * w + static_cast<std::size_t>(left + x)) * 4];
        return std::array<int, 4>{p[0], p[1], p[2], p[3]};
    };
    using T = std::array<int, 4>;
    EXPECT_EQ(texel(0, 0), (T{255, 0, 0, 255}));
    EXPECT_EQ(texel(6, 0), (T{0, 255, 0, 255}));
    EXPECT_EQ(texel(0, 12), (T{0, 0, 255, 255}));
    EXPECT_EQ(texel(-1, 5), texel(0, 5)) << "the ring repeats the first column";
    EXPECT_EQ(texel(7, 5), texel(6, 5)) << "and the last column";
    EXPECT_EQ(texel(3, -1), texel(3, 0)) << "the first row";
    EXPECT_EQ(texel(3, 13), texel(3, 12)) << "the last row";
    EXPECT_EQ(texel(-1, -1), texel(0, 0)) << "and the corners";
    EXPECT_EQ(texel(7, 13), texel(6, 12));
}

TEST_F(GLImageFrameTest, AnAtlasPictureDrawsAsATextureOfItsOwnDoesEvenFilteredScaledAndTurned)
{
    // The same edged picture in an atlas page between two yellow neighbours, and made by `CreateImage` (a
    // texture of its own); drawn alike, the pixels must be the same.
    const Ref<TImage> before = LoadedImage(10, 10, 0xFFFFFF00u, IMAGE_FILTERED);
    const Ref<TImage> atlas = LoadedImage(10, 10, 0xFFFF0000u, IMAGE_FILTERED, true);
    const Ref<TImage> after = LoadedImage(10, 10, 0xFFFFFF00u, IMAGE_FILTERED);
    FrameOf(before);
    ASSERT_TRUE(FrameOf(atlas)->cell);
    FrameOf(after);
    const Ref<TImage> own = EdgedImage(10, 10, IMAGE_FILTERED);
    ASSERT_FALSE(FrameOf(own)->cell);

    SetBlendMode(BLEND_SOLID);
    SetClearColor(255, 255, 255);
    const struct
    {
        float rotation, scale, x, y;
    } placements[] = {{0.0f, 1.0f, 20.0f, 20.0f}, {0.0f, 3.0f, 10.5f, 10.25f}, {30.0f, 2.5f, 40.0f, 20.0f}};
    for (const auto& place : placements) {
        SCOPED_TRACE(::testing::Message() << "rotation " << place.rotation << ", scale " << place.scale);
        SetRotationAndScale(place.rotation, place.scale, place.scale);
        ClearGraphics();
        DrawImage(atlas, place.x, place.y);
        const std::vector<std::uint32_t> fromAtlas = Grabbed(0, 0, 100, 80);
        ClearGraphics();
        DrawImage(own, place.x, place.y);
        const std::vector<std::uint32_t> fromOwn = Grabbed(0, 0, 100, 80);
        EXPECT_EQ(fromAtlas, fromOwn);
    }
    // Magnified three times, the last column and row show the picture's edge colours and nothing of its
    // neighbours or the page beyond.
    SetRotationAndScale(0.0f, 3.0f, 3.0f);
    ClearGraphics();
    DrawImage(atlas, 0, 0); // x and y 0 ... 30
    ExpectAt(29, 10, 0, 255, 0);
    ExpectAt(10, 29, 0, 0, 255);
    ExpectAt(0, 0, 255, 0, 0);
    ExpectAt(30, 10, 255, 255, 255);
}

TEST_F(GLImageFrameTest, AFreedAtlasFrameLeavesItsNeighboursDrawingAndItsCellIsUsedAgain)
{
    SetClearColor(0, 0, 0);
    ClearGraphics();
    SetBlendMode(BLEND_SOLID);
    const Ref<TImage> green = LoadedImage(8, 8, 0xFF00FF00u, 0);
    const int level = ReleaseStackLevel();
    float u = 0.0f;
    float v = 0.0f;
    {
        Ref<TImage> red = LoadedImage(8, 8, 0xFFFF0000u, 0);
        DrawImage(red, 0, 0);
        DrawImage(green, 20, 0);
        u = FrameOf(red)->uMin;
        v = FrameOf(red)->vMin;
    }
    // The red frame gives its cell back while its quad may still be held.
    FlushReleaseStack(level);
    const Ref<TImage> blue = LoadedImage(8, 8, 0xFF0000FFu, 0);
    DrawImage(blue, 40, 0);
    EXPECT_FLOAT_EQ(FrameOf(blue)->uMin, u) << "the freed cell is used again";
    EXPECT_FLOAT_EQ(FrameOf(blue)->vMin, v);
    DrawImage(green, 60, 0);
    ExpectAt(4, 4, 255, 0, 0);
    ExpectAt(24, 4, 0, 255, 0);
    ExpectAt(44, 4, 0, 0, 255);
    ExpectAt(64, 4, 0, 255, 0);
}

TEST_F(GLImageFrameTest, TheLastFrameOfAnAtlasPageTakesItsTextureWithIt)
{
    SetClearColor(0, 0, 0);
    ClearGraphics();
    SetBlendMode(BLEND_SOLID);
    const std::int32_t pages = GLAtlasPageCount();
    const int level = ReleaseStackLevel();
    GLuint name = 0;
    {
        Ref<TImage> first = LoadedImage(16, 16, 0xFFFF0000u, IMAGE_MASKED);
        Ref<TImage> second = LoadedImage(16, 16, 0xFF00FF00u, IMAGE_MASKED);
        DrawImage(first, 0, 0);
        DrawImage(second, 20, 0);
        EXPECT_EQ(GLAtlasPageCount(), pages + 1);
        name = FrameOf(first)->texture;
        EXPECT_EQ(FrameOf(second)->texture, name);
    }
    // Both quads are still held when the page goes; they are drawn first.
    FlushReleaseStack(level);
    EXPECT_EQ(GLAtlasPageCount(), pages);
    EXPECT_EQ(glIsTexture(name), GL_FALSE);
    ExpectAt(4, 4, 255, 0, 0);
    ExpectAt(24, 4, 0, 255, 0);
}

TEST_F(GLImageFrameTest, AtlasFramesOfAnEarlierOpeningLeaveTheNewPagesAlone)
{
    const Ref<TImage> kept = LoadedImage(8, 8, 0xFF00FF00u, 0);
    const int level = ReleaseStackLevel();
    {
        Ref<TImage> old = LoadedImage(8, 8, 0xFFFF0000u, 0);
        DrawImage(old, 0, 0);
        DrawImage(kept, 10, 0);
        CloseGraphics();
        Open();
        SetClearColor(0, 0, 0);
        ClearGraphics();
        SetBlendMode(BLEND_SOLID);
        DrawImage(kept, 20, 20);
        EXPECT_EQ(FrameOf(kept)->sequence, GraphicsSequence());
    }
    // The red frame and its page belong to the closed opening: their going deletes nothing of this one.
    FlushReleaseStack(level);
    DrawImage(kept, 40, 40);
    const Ref<TImage> blue = LoadedImage(8, 8, 0xFF0000FFu, 0);
    DrawImage(blue, 60, 40);
    ExpectAt(24, 24, 0, 255, 0);
    ExpectAt(44, 44, 0, 255, 0);
    ExpectAt(64, 44, 0, 0, 255);
}

TEST_F(GLImageFrameTest, AtlasFramesDrawInEverySurfaceOfTheDriverWhicheverWasCurrentWhenTheyWereMade)
{
    const Ref<TFlat2DSurface> first = CurrentGraphicsSurface();
    const Ref<TImage> red = LoadedImage(8, 8, 0xFFFF0000u, 0);
    SetBlendMode(BLEND_SOLID);
    DrawImage(red, 0, 0);
    const Ref<TFlat2DSurface> second =
        Downcast<TFlat2DSurface>(GLFlat2DDriver()->CreateGraphics(width, height, 0, 60, 0));
    ASSERT_FALSE(second.IsNull());
    second->Activate();
    SetClearColor(0, 0, 0);
    ClearGraphics();
    SetBlendMode(BLEND_SOLID);
    const Ref<TImage> green = LoadedImage(8, 8, 0xFF00FF00u, 0);
    DrawImage(red, 0, 0);
    DrawImage(green, 20, 0);
    EXPECT_EQ(FrameOf(green)->texture, FrameOf(red)->texture);
    ExpectAt(4, 4, 255, 0, 0);
    ExpectAt(24, 4, 0, 255, 0);

    first->Activate();
    SetBlendMode(BLEND_SOLID);
    DrawImage(green, 40, 0);
    ExpectAt(4, 4, 255, 0, 0);
    ExpectAt(44, 4, 0, 255, 0);
    second->Close();
}

TEST_F(GLImageFrameTest, ALineOfTextIsOneDraw)
{
    // A font of glyph images as fonts load them, one colour per letter.
    Ref<TImageFont> font = New<TImageFont>();
    font->height = 16;
    font->firstCode = 'A';
    font->glyphs = NewArray(":TImageGlyph", 26);
    for (std::int32_t i = 0; i < 26; ++i) {
        Ref<TImageGlyph> glyph = New<TImageGlyph>();
        glyph->advance = 8.0f;
        glyph->width = 8;
        glyph->height = 16;
        glyph->image = LoadedImage(8, 16, 0xFF000000u | static_cast<std::uint32_t>(i * 9 + 10) << 16, 0);
        font->glyphs->ObjectAt(i) = glyph;
    }
    SetTextFont(font);
    SetBlendMode(BLEND_SOLID);
    DrawText("VANTAMAXQUIT"_s, 0, 0); // makes the glyph frames
    GrabPixmap(0, 0, 1, 1);
    const GLStateCounters before = TheGLDrawState().Counters();
    DrawText("VANTAMAXQUIT"_s, 0, 20);
    GrabPixmap(0, 0, 1, 1);
    EXPECT_EQ(TheGLDrawState().Counters().batchDraws - before.batchDraws, 1);
    EXPECT_LE(TheGLDrawState().Counters().textureBinds - before.textureBinds, 1);
    ExpectAt(4, 24, ('V' - 'A') * 9 + 10, 0, 0);
    ExpectAt(92, 24, ('T' - 'A') * 9 + 10, 0, 0);
    SetTextFont(Null);
}

TEST_F(GLImageFrameTest, MipmappedAndCreatedPicturesKeepTexturesOfTheirOwn)
{
    EXPECT_FALSE(FrameOf(LoadedImage(8, 8, 0xFF00FF00u, IMAGE_MIPMAPPED))->cell);
    EXPECT_FALSE(FrameOf(PlainImage(8, 8, 0xFF00FF00u, 0))->cell);
    EXPECT_FALSE(FrameOf(LoadedImage(GL_ATLAS_MAX_SIDE + 1, 8, 0xFF00FF00u, 0))->cell);
    EXPECT_TRUE(FrameOf(LoadedImage(GL_ATLAS_MAX_SIDE, GL_ATLAS_MAX_SIDE, 0xFF00FF00u, 0))->cell);
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
