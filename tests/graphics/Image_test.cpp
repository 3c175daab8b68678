// Images: strips and their cells, masking, locking, lazily made driver frames across graphics openings,
// default flags and auto-centring, grabbing, and the checks on frame indexes.
#include "graphics/Draw.h"
#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "pixmap/Pixmap.h"
#include "runtime/Error.h"
#include "support/RecordingFlat2DDriver.h"

#include <cstdlib>
#include <vector>

#include <gtest/gtest.h>

namespace vanta {
namespace {

// A width x height RGBA picture whose pixel (x, y) encodes its own position: 0xFF000000 | x << 12 | y.
Ref<TPixmap> PositionPicture(std::int32_t width, std::int32_t height)
{
    Ref<TPixmap> pixmap = CreatePixmap(width, height, PF_RGBA8888, 4);
    for (std::int32_t y = 0; y < height; ++y) {
        for (std::int32_t x = 0; x < width; ++x) {
            pixmap->WritePixel(x, y, 0xFF000000u | static_cast<std::uint32_t>(x) << 12 | static_cast<std::uint32_t>(y));
        }
    }
    return pixmap;
}

std::uint32_t At(std::int32_t x, std::int32_t y)
{
    return 0xFF000000u | static_cast<std::uint32_t>(x) << 12 | static_cast<std::uint32_t>(y);
}

Ref<TPixmap> FramePixmap(const Ref<TImage>& image, std::int32_t frame)
{
    return Downcast<TPixmap>(image->pixmaps->ObjectAt(frame));
}

class ImageTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        InitGraphics();
        driver = New<test::TRecordingFlat2DDriver>();
        SelectGraphicsDriver(driver, 0);
    }
    void TearDown() override
    {
        CloseGraphics();
        SelectGraphicsDriver(Null, 0);
    }

    void Open()
    {
        OpenGraphics(640, 480, 0, SYNC_NONE);
        driver->ClearCalls();
    }

    Ref<test::TRecordingFlat2DDriver> driver;
};

// [SECTION] Strips

TEST_F(ImageTest, AStripTakesItsCellsLeftToRightThenTopToBottom)
{
    Ref<TImage> strip = TImage::LoadStrip(PositionPicture(480, 104), 80, 104, 0, 6, 0, 0, 0, 0);
    ASSERT_FALSE(strip.IsNull());
    EXPECT_EQ(strip->FrameCount(), 6);
    EXPECT_EQ(strip->width, 80);
    EXPECT_EQ(strip->height, 104);
    for (std::int32_t i = 0; i < 6; ++i) {
        Ref<TPixmap> cell = FramePixmap(strip, i);
        ASSERT_EQ(cell->Width(), 80);
        EXPECT_EQ(cell->ReadPixel(0, 0), At(80 * i, 0)) << i;
        EXPECT_EQ(cell->ReadPixel(79, 103), At(80 * i + 79, 103)) << i;
        EXPECT_GE(cell->Capacity(), 0) << "a copy, not a window on the picture";
    }
    EXPECT_TRUE(TImage::LoadStrip(PositionPicture(480, 104), 80, 104, 0, 7, 0, 0, 0, 0).IsNull());

    // Two rows of three 10 x 20 cells, starting from cell 2: cells 2, 3, 4.
    Ref<TImage> grid = TImage::LoadStrip(PositionPicture(30, 40), 10, 20, 2, 3, 0, 0, 0, 0);
    ASSERT_EQ(grid->FrameCount(), 3);
    EXPECT_EQ(FramePixmap(grid, 0)->ReadPixel(0, 0), At(20, 0));
    EXPECT_EQ(FramePixmap(grid, 1)->ReadPixel(0, 0), At(0, 20));
    EXPECT_EQ(FramePixmap(grid, 2)->ReadPixel(0, 0), At(10, 20));
    EXPECT_TRUE(TImage::LoadStrip(PositionPicture(30, 40), 10, 20, 2, 5, 0, 0, 0, 0).IsNull());
}

TEST_F(ImageTest, PartialCellsAtTheRightAndBottomAreNeverUsed)
{
    Ref<TImage> strip = TImage::LoadStrip(PositionPicture(500, 110), 80, 104, 0, 6, 0, 0, 0, 0);
    ASSERT_FALSE(strip.IsNull());
    EXPECT_EQ(FramePixmap(strip, 5)->ReadPixel(79, 103), At(479, 103));
    EXPECT_TRUE(TImage::LoadStrip(PositionPicture(500, 110), 80, 104, 0, 7, 0, 0, 0, 0).IsNull());
}

TEST_F(ImageTest, StripRequestsThatCannotBeCutAreNull)
{
    Ref<TPixmap> picture = PositionPicture(16, 16);
    EXPECT_TRUE(TImage::LoadStrip(picture, 0, 16, 0, 1, 0, 0, 0, 0).IsNull());
    EXPECT_TRUE(TImage::LoadStrip(picture, 16, -1, 0, 1, 0, 0, 0, 0).IsNull());
    EXPECT_TRUE(TImage::LoadStrip(picture, 8, 8, -1, 2, 0, 0, 0, 0).IsNull());
    EXPECT_TRUE(TImage::LoadStrip(picture, 8, 8, 0, -1, 0, 0, 0, 0).IsNull());
    EXPECT_TRUE(TImage::LoadStrip(picture, 8, 8, 0x7FFFFFFF, 2, 0, 0, 0, 0).IsNull());
    EXPECT_TRUE(TImage::LoadStrip(picture, 32, 32, 0, 1, 0, 0, 0, 0).IsNull());
}

TEST_F(ImageTest, AnUnreadableSourceGivesNull)
{
    EXPECT_TRUE(LoadImage("no/such/picture.png"_s, 0).IsNull());
    EXPECT_TRUE(LoadImageStrip("no/such/picture.png"_s, 8, 8, 0, 1, 0).IsNull());
}

// [SECTION] Masking

TEST_F(ImageTest, MaskingMakesTheMaskColourOfAPictureWithoutAlphaTransparent)
{
    Ref<TPixmap> rgb = CreatePixmap(2, 1, PF_RGB888, 4);
    rgb->WritePixel(0, 0, 0xFF000000u); // black
    rgb->WritePixel(1, 0, 0xFFFF0000u); // red

    Ref<TImage> masked = TImage::Load(rgb, 0, 0, 0, IMAGE_MASKED);
    Ref<TPixmap> pixels = FramePixmap(masked, 0);
    EXPECT_EQ(pixels->Format(), PF_RGBA8888);
    EXPECT_EQ(pixels->ReadPixel(0, 0), 0x00FF0000u); // transparent, coloured like its neighbour
    EXPECT_EQ(pixels->ReadPixel(1, 0), 0xFFFF0000u);

    // Another mask colour, and no masking without the flag.
    EXPECT_EQ(FramePixmap(TImage::Load(rgb, 255, 0, 0, IMAGE_MASKED), 0)->ReadPixel(1, 0) >> 24, 0u);
    EXPECT_EQ(FramePixmap(TImage::Load(rgb, 0, 0, 0, IMAGE_FILTERED), 0), rgb);
}

TEST_F(ImageTest, APictureWithAlphaKeepsItsOwnAlpha)
{
    Ref<TPixmap> rgba = CreatePixmap(2, 1, PF_RGBA8888, 4);
    rgba->WritePixel(0, 0, 0x80000000u);
    Ref<TImage> image = TImage::Load(rgba, 0, 0, 0, IMAGE_MASKED);
    EXPECT_EQ(FramePixmap(image, 0), rgba);
    EXPECT_EQ(FramePixmap(image, 0)->ReadPixel(0, 0), 0x80000000u);
}

TEST_F(ImageTest, LoadImageMasksWithTheCurrentMaskColour)
{
    Open();
    SetMaskColor(255, 0, 0);
    Ref<TPixmap> rgb = CreatePixmap(1, 1, PF_RGB888, 4);
    rgb->WritePixel(0, 0, 0xFFFF0000u);
    EXPECT_EQ(FramePixmap(LoadImage(rgb, IMAGE_MASKED), 0)->ReadPixel(0, 0) >> 24, 0u);
}

// [SECTION] Locking and driver frames

TEST_F(ImageTest, LockingMakesAMissingPixmapAndWritingDiscardsTheDriverFrame)
{
    Ref<TImage> masked = TImage::Create(4, 3, 2, IMAGE_MASKED);
    Ref<TPixmap> pixmap = LockImage(masked, 1, 1, 0);
    EXPECT_EQ(pixmap->Format(), PF_RGBA8888);
    EXPECT_EQ(pixmap->Width(), 4);
    EXPECT_EQ(LockImage(masked, 1), pixmap);
    EXPECT_EQ(LockImage(TImage::Create(4, 3, 1, 0), 0)->Format(), PF_RGB888);

    Open();
    DrawImage(masked, 0, 0, 1);
    DrawImage(masked, 0, 0, 1);
    EXPECT_EQ(driver->Calls("CreateFrameFromPixmap").size(), 1u);
    LockImage(masked, 1, 1, 0);
    DrawImage(masked, 0, 0, 1);
    EXPECT_EQ(driver->Calls("CreateFrameFromPixmap").size(), 1u);
    LockImage(masked, 1, 0, 1);
    DrawImage(masked, 0, 0, 1);
    EXPECT_EQ(driver->Calls("CreateFrameFromPixmap").size(), 2u);
    masked->SetPixmap(1, PositionPicture(4, 3));
    DrawImage(masked, 0, 0, 1);
    EXPECT_EQ(driver->Calls("CreateFrameFromPixmap").size(), 3u);
}

TEST_F(ImageTest, FramesAreRemadeFromTheSamePixmapAfterGraphicsAreReopened)
{
    Ref<TImage> image = TImage::Load(PositionPicture(8, 8), 0, 0, 0, IMAGE_FILTERED);
    Open();
    DrawImage(image, 0, 0);
    Ref<TImageFrame> first = image->Frame(0);
    DrawImage(image, 0, 0);
    CloseGraphics();
    Open();
    DrawImage(image, 0, 0);

    const std::vector<test::DrawCall> made = driver->Calls("CreateFrameFromPixmap");
    ASSERT_EQ(made.size(), 1u);
    EXPECT_EQ(made[0].object, FramePixmap(image, 0).Raw());
    EXPECT_EQ(made[0].args, std::vector<double>{IMAGE_FILTERED});
    EXPECT_NE(image->Frame(0), first);
    EXPECT_EQ(image->sequences->At<std::int32_t>(0), GraphicsSequence());
}

TEST_F(ImageTest, FrameIndexesOutsideTheImageRaiseTheBoundsError)
{
    Ref<TImage> image = TImage::Create(4, 4, 2, 0);
    Open();
    for (std::int32_t frame : {-1, 2}) {
        for (auto call : std::initializer_list<std::function<void()>>{
                 [&] { image->Frame(frame); },
                 [&] { LockImage(image, frame); },
                 [&] { image->SetPixmap(frame, Null); },
                 [&] { GrabImage(image, 0, 0, frame); },
             }) {
            try {
                call();
                ADD_FAILURE() << "no error for frame " << frame;
            } catch (const Exception& e) {
                EXPECT_TRUE(e.Is<TArrayBoundsError>());
            }
        }
    }
    EXPECT_TRUE(driver->Log().empty());
}

TEST_F(ImageTest, GrabbingReadsTheImageSizeAndMasksAMaskedImage)
{
    Open();
    SetMaskColor(0, 0, 0);
    driver->grabColor = 0xFF000000u;
    Ref<TImage> masked = CreateImage(5, 4, 2, IMAGE_MASKED);
    GrabImage(masked, 7, 8, 1);
    EXPECT_EQ(driver->Calls("GrabPixmap")[0].args, (std::vector<double>{7, 8, 5, 4}));
    EXPECT_EQ(LockImage(masked, 1)->ReadPixel(2, 2), 0u);

    Ref<TImage> plain = CreateImage(5, 4, 1, 0);
    GrabImage(plain, 0, 0);
    EXPECT_EQ(LockImage(plain, 0)->ReadPixel(2, 2), 0xFF000000u);
}

// [SECTION] Flags and handles

TEST_F(ImageTest, BeforeAnyGraphicsTheDefaultFlagsAreZero)
{
    // A fresh process: this one may have opened graphics already.
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            Ref<TImage> image = LoadImage(PositionPicture(2, 2), -1);
            std::exit(image->flags == 0 ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

TEST_F(ImageTest, TheActivationSetsTheDefaultFlagsAndMinusOneLeavesThem)
{
    Open();
    EXPECT_EQ(LoadImage(PositionPicture(2, 2), -1)->flags, IMAGE_MASKED | IMAGE_FILTERED);
    SetDefaultImageFlags(IMAGE_MIPMAPPED);
    SetDefaultImageFlags(-1);
    EXPECT_EQ(LoadImage(PositionPicture(2, 2))->flags, IMAGE_MIPMAPPED);
    EXPECT_EQ(LoadImageStrip(PositionPicture(4, 2), 2, 2, 0, 2)->flags, IMAGE_MIPMAPPED);
    EXPECT_EQ(CreateImage(2, 2)->flags, IMAGE_MIPMAPPED | IMAGE_DYNAMIC);
    EXPECT_EQ(CreateImage(2, 2, 1, 0)->flags, IMAGE_DYNAMIC);
    EXPECT_EQ(LoadImage(PositionPicture(2, 2), 0)->flags, 0);
}

TEST_F(ImageTest, AutoCentreCentresTheHandlesOfNewImages)
{
    Open();
    SetAutoCentre(1);
    Ref<TImage> loaded = LoadImage(PositionPicture(9, 4));
    EXPECT_EQ(loaded->handleX, 4.5f);
    EXPECT_EQ(loaded->handleY, 2.0f);
    EXPECT_EQ(LoadImageStrip(PositionPicture(20, 10), 10, 10, 0, 2)->handleX, 5.0f);
    EXPECT_EQ(CreateImage(6, 6)->handleY, 3.0f);
    SetAutoCentre(0);
    EXPECT_EQ(LoadImage(PositionPicture(9, 4))->handleX, 0.0f);
}

} // namespace
} // namespace vanta
