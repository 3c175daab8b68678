// Where a logical picture goes in a drawable: whole multiples, any size, bars, and the degenerate sizes.
#include "platform/LogicalSize.h"

#include <gtest/gtest.h>

namespace vanta::platform {
namespace {

void ExpectRect(const PixelRect& rect, int x, int y, int width, int height)
{
    EXPECT_EQ(rect.x, x);
    EXPECT_EQ(rect.y, y);
    EXPECT_EQ(rect.width, width);
    EXPECT_EQ(rect.height, height);
}

TEST(FitLogicalSize, WholeMultiplesTakeTheLargestScaleThatFitsBothWaysAndCentre)
{
    ExpectRect(FitLogicalSize(640, 480, 640, 480, true), 0, 0, 640, 480);
    ExpectRect(FitLogicalSize(1920, 1080, 640, 480, true), 320, 60, 1280, 960);
    ExpectRect(FitLogicalSize(3840, 2160, 640, 480, true), 640, 120, 2560, 1920);
    // One pixel short of 2x in one direction keeps 1x.
    ExpectRect(FitLogicalSize(1279, 1000, 640, 480, true), 319, 260, 640, 480);
}

TEST(FitLogicalSize, AnySizeFillsOneDirectionAndRoundsTheOther)
{
    ExpectRect(FitLogicalSize(1920, 1080, 640, 480, false), 240, 0, 1440, 1080);
    ExpectRect(FitLogicalSize(800, 1000, 640, 480, false), 0, 200, 800, 600);
    // 100 / 64 x 48 = 75 exactly; 101 gives 75.75, rounded to 76.
    ExpectRect(FitLogicalSize(100, 100, 64, 48, false), 0, 12, 100, 75);
    ExpectRect(FitLogicalSize(101, 100, 64, 48, false), 0, 12, 101, 76);
}

TEST(FitLogicalSize, ADrawableSmallerThanThePictureShrinksItEvenInWholeMultiples)
{
    ExpectRect(FitLogicalSize(320, 480, 640, 480, true), 0, 120, 320, 240);
    ExpectRect(FitLogicalSize(1, 1, 640, 480, true), 0, 0, 1, 1);
}

TEST(FitLogicalSize, EmptySizesGiveAnEmptyRectangle)
{
    ExpectRect(FitLogicalSize(0, 480, 640, 480, true), 0, 0, 0, 0);
    ExpectRect(FitLogicalSize(640, 480, 0, 480, false), 0, 0, 0, 0);
    ExpectRect(FitLogicalSize(640, -3, 640, 480, false), 0, 0, 0, 0);
}

} // namespace
} // namespace vanta::platform
