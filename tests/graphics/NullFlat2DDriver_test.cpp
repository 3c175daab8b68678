// The null 2D driver: graphics open and every drawing call is accepted without a display, images get
// frames that draw nothing, read-backs are transparent black of the asked size, and what the contract
// says throws still throws.
#include "graphics/Draw.h"
#include "graphics/Graphics.h"
#include "graphics/ImageFont.h"
#include "graphics/null/NullFlat2DDriver.h"
#include "pixmap/Pixmap.h"
#include "runtime/Error.h"
#include "support/TestFontBitmap.h"

#include <gtest/gtest.h>

namespace vanta {
namespace {

class NullFlat2DDriverTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        InitNullFlat2DDriver();
        test::RegisterTestFontBitmap();
        SelectGraphicsDriver(NullFlat2DDriver(), 0);
    }
    void TearDown() override
    {
        CloseGraphics();
        SelectGraphicsDriver(Null, 0);
    }
};

TEST_F(NullFlat2DDriverTest, GraphicsOpenWithTheAskedSizeAndEveryDrawingCallIsAccepted)
{
    OpenGraphics(320, 200, 0, SYNC_NONE);
    EXPECT_EQ(GraphicsWidth(), 320);
    EXPECT_EQ(GraphicsHeight(), 200);
    EXPECT_EQ(CurrentFlat2DDriver(), NullFlat2DDriver());
    EXPECT_FALSE(GetTextFont().IsNull());

    const Ref<TImage> image = CreateImage(16, 8, 2);
    SetBlendMode(BLEND_ALPHA);
    SetColor(10, 20, 30);
    SetAlpha(0.5f);
    SetRotation(30);
    SetViewport(10, 10, 100, 100);
    SetLineWidth(2);
    DrawRect(0, 0, 10, 10);
    DrawOval(0, 0, 10, 10);
    DrawLine(0, 0, 10, 10);
    DrawPoint(3, 3);
    Ref<Array> triangle = NewArray("f", 6);
    DrawPoly(triangle);
    DrawImage(image, 5, 5, 1);
    DrawImageRect(image, 5, 5, 40, 40);
    TileImage(image);
    DrawText("Null"_s, 1, 1);
    DrawPixmap(CreatePixmap(4, 4, PF_RGB888), 0, 0);
    ClearGraphics();
    FlipGraphics();
    EXPECT_FALSE(Downcast<TNullImageFrame>(image->Frame(1)).IsNull());
}

TEST_F(NullFlat2DDriverTest, AReadBackIsTransparentBlackOfTheAskedSize)
{
    OpenGraphics(64, 48, 0, SYNC_NONE);
    SetClearColor(255, 255, 255);
    ClearGraphics();
    const Ref<TPixmap> grabbed = GrabPixmap(-10, 40, 30, 20);
    ASSERT_FALSE(grabbed.IsNull());
    EXPECT_EQ(grabbed->Width(), 30);
    EXPECT_EQ(grabbed->Height(), 20);
    EXPECT_EQ(grabbed->Format(), PF_RGBA8888);
    EXPECT_EQ(grabbed->ReadPixel(15, 5), 0u);
    EXPECT_TRUE(GrabPixmap(0, 0, 0, 4).IsNull());
    EXPECT_TRUE(GrabPixmap(0, 0, 4, -1).IsNull());
}

TEST_F(NullFlat2DDriverTest, NullArgumentsThrowAndAFullScreenModeDoesNotExist)
{
    OpenGraphics(64, 48, 0, SYNC_NONE);
    EXPECT_THROW(DrawPoly(Null), Exception);
    EXPECT_THROW(DrawPixmap(Null, 0, 0), Exception);
    EXPECT_THROW(NullFlat2DDriver()->CreateFrameFromPixmap(Null, 0), Exception);
    EXPECT_EQ(CountDisplayModes(), 0);
    EXPECT_THROW(OpenGraphics(640, 480, 32, 60), Exception);
}

} // namespace
} // namespace vanta
