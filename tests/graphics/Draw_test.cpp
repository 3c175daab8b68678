// 2D drawing over the recording 2D driver: what each setting and drawing call sends (the matrix, the
// negated handle, the origin, the tiling grid, the line's end point, text placement).
#include "graphics/Draw.h"
#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "graphics/ImageFont.h"
#include "pixmap/Pixmap.h"
#include "runtime/Error.h"
#include "support/RecordingGraphicsTest.h"

#include <climits>
#include <cmath>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace vanta {
namespace {

using Args = std::vector<double>;

MATCHER_P(NearArgs, expected, "")
{
    if (arg.size() != expected.size()) return false;
    for (std::size_t i = 0; i < arg.size(); ++i) {
        if (std::fabs(arg[i] - expected[i]) > 1e-5) return false;
    }
    return true;
}

class DrawTest : public test::RecordingGraphicsTest
{
protected:
    // A w x h image of one frame, with the given handle.
    static Ref<TImage> Picture(std::int32_t w, std::int32_t h, float handleX = 0, float handleY = 0)
    {
        Ref<TImage> image = TImage::Load(CreatePixmap(w, h, PF_RGBA8888, 4), 0, 0, 0, 0);
        SetImageHandle(image, handleX, handleY);
        return image;
    }

    Args Only(const char* slot) const
    {
        const std::vector<test::DrawCall> calls = driver->Calls(slot);
        EXPECT_EQ(calls.size(), 1u) << slot;
        return calls.empty() ? Args{} : calls[0].args;
    }
};

TEST_F(DrawTest, RotationAndScaleSendTheMatrix)
{
    SetRotation(90);
    EXPECT_THAT(Only("SetTransform"), NearArgs(Args{0, -1, 1, 0}));
    driver->ClearCalls();
    SetRotationAndScale(0, 2, 3);
    EXPECT_THAT(Only("SetTransform"), NearArgs(Args{2, 0, 0, 3}));
    driver->ClearCalls();
    SetRotation(30);
    const double c = std::cos(M_PI / 6), s = std::sin(M_PI / 6);
    EXPECT_THAT(Only("SetTransform"), NearArgs(Args{c * 2, -s * 3, s * 2, c * 3}));
    driver->ClearCalls();
    SetScale(1, 1);
    EXPECT_THAT(Only("SetTransform"), NearArgs(Args{c, -s, s, c}));
    EXPECT_EQ(GetRotation(), 30.0f);
}

TEST_F(DrawTest, AlphaIsStoredUnclampedAndTheHandleNegated)
{
    SetAlpha(1.5f);
    EXPECT_EQ(GetAlpha(), 1.5f);
    SetAlpha(-1.0f);
    EXPECT_EQ(GetAlpha(), -1.0f);
    EXPECT_EQ(driver->Calls("SetAlpha")[1].args, Args{-1});
    SetHandle(10, 5);
    float hx, hy;
    GetHandle(hx, hy);
    EXPECT_EQ(hx, -10.0f);
    EXPECT_EQ(hy, -5.0f);
}

TEST_F(DrawTest, PrimitivesSendTheNegatedHandleAsTheLocalPartAndThePositionPlusOrigin)
{
    SetHandle(10, 5);
    SetOrigin(3, 4);
    DrawRect(100, 100, 50, 10);
    EXPECT_EQ(Only("DrawRect"), (Args{-10, -5, 40, 5, 103, 104}));
    DrawOval(100, 100, 50, 10);
    EXPECT_EQ(Only("DrawOval"), (Args{-10, -5, 40, 5, 103, 104}));
    DrawPoint(1, 2);
    EXPECT_EQ(Only("Plot"), (Args{4, 6})); // no handle
    Ref<Array> xy = NewArray("f", 6);
    DrawPoly(xy);
    EXPECT_EQ(Only("DrawPoly"), (Args{-10, -5, 3, 4}));
    EXPECT_EQ(driver->Calls("DrawPoly")[0].object, xy.Raw());
}

TEST_F(DrawTest, ALineWithItsLastPixelPlotsTheTransformedEnd)
{
    DrawLine(10, 10, 20, 30, 0);
    EXPECT_EQ(Only("DrawLine"), (Args{0, 0, 10, 20, 10, 10}));
    EXPECT_TRUE(driver->Calls("Plot").empty());

    driver->ClearCalls();
    SetHandle(1, 2);
    SetRotation(90);
    DrawLine(10, 10, 20, 30, 1);
    EXPECT_EQ(Only("DrawLine"), (Args{-1, -2, 9, 18, 10, 10}));
    // (9, 18) turned a quarter clockwise: (-18, 9).
    EXPECT_THAT(Only("Plot"), NearArgs(Args{10 - 18, 10 + 9}));
    EXPECT_EQ(driver->Slots().back(), "Plot");
}

TEST_F(DrawTest, ImagesUseTheirOwnHandleAndAreMadeOnFirstDraw)
{
    Ref<TImage> image = Picture(16, 8, 8, 4);
    SetHandle(100, 100); // not used by images
    SetOrigin(1, 2);
    DrawImage(image, 50, 60);
    EXPECT_EQ(driver->Calls("CreateFrameFromPixmap").size(), 1u);
    EXPECT_EQ(Only("FrameDraw"), (Args{-8, -4, 8, 4, 51, 62}));
    driver->ClearCalls();
    DrawImageRect(image, 50, 60, 32, 2);
    EXPECT_EQ(Only("FrameDraw"), (Args{-8, -4, 24, -2, 51, 62}));
    EXPECT_TRUE(driver->Calls("CreateFrameFromPixmap").empty());
}

TEST_F(DrawTest, TilingASixtyFourPixelImageFillsTheScreenFromMinusFiftyFour)
{
    Ref<TImage> image = Picture(64, 64);
    SetRotation(30);
    driver->ClearCalls();
    TileImage(image, 10, 0);

    const std::vector<test::DrawCall> draws = driver->Calls("FrameDraw");
    ASSERT_EQ(draws.size(), 11u * 8u);
    for (std::size_t i = 0; i < draws.size(); ++i) {
        const double column = static_cast<double>(i % 11), row = static_cast<double>(i / 11);
        ASSERT_EQ(draws[i].args, (Args{0, 0, 64, 64, -54 + 64 * column, 64 * row})) << i;
    }
    const std::vector<test::DrawCall> transforms = driver->Calls("SetTransform");
    ASSERT_EQ(transforms.size(), 2u);
    EXPECT_EQ(transforms[0].args, (Args{1, 0, 0, 1}));
    EXPECT_EQ(driver->Slots()[1], "SetTransform"); // after the frame is made, before the tiles
    const double c = std::cos(M_PI / 6), s = std::sin(M_PI / 6);
    EXPECT_THAT(transforms[1].args, NearArgs(Args{c, -s, s, c}));
    EXPECT_EQ(driver->Slots().back(), "SetTransform");
}

TEST_F(DrawTest, TilingKeepsTheFractionAndTheViewport)
{
    Ref<TImage> image = Picture(64, 64, 2, 0);
    SetViewport(100, 50, 100, 10);
    driver->ClearCalls();
    TileImage(image, 10.25f, 0.5f);
    const std::vector<test::DrawCall> draws = driver->Calls("FrameDraw");
    // px = 8.25: columns at 72.25 and 136.25 cover 100 ... 199; one row at 0.5 covers 50 ... 59.
    ASSERT_EQ(draws.size(), 2u);
    EXPECT_EQ(draws[0].args, (Args{0, 0, 64, 64, 72.25, 0.5}));
    EXPECT_EQ(draws[1].args, (Args{0, 0, 64, 64, 136.25, 0.5}));
}

TEST_F(DrawTest, TilingFromFarLeftOnAWholeNumberOfTilesLeavesNoGapAtTheEdge)
{
    // The grid through -127 has a tile at -63, which covers column 0.
    Ref<TImage> image = Picture(64, 64);
    TileImage(image, -127, 0);
    const std::vector<test::DrawCall> draws = driver->Calls("FrameDraw");
    ASSERT_FALSE(draws.empty());
    EXPECT_EQ(draws[0].args[4], -63);
    EXPECT_EQ(draws.size(), 11u * 8u);
    // And from far right or below, the same grid.
    driver->ClearCalls();
    TileImage(image, 64 * 100 + 10, 64 * 50);
    EXPECT_EQ(driver->Calls("FrameDraw")[0].args[4], -54);
    EXPECT_EQ(driver->Calls("FrameDraw")[0].args[5], 0);
    // However far away (no integer overflow); a position that is not a number draws nothing.
    driver->ClearCalls();
    TileImage(image, 1e30f, -1e30f);
    EXPECT_GE(driver->Calls("FrameDraw").size(), 10u * 7u);
    EXPECT_LE(driver->Calls("FrameDraw")[0].args[4], 0);
    driver->ClearCalls();
    TileImage(image, std::nanf(""), 0);
    EXPECT_TRUE(driver->Calls("FrameDraw").empty());
}

TEST_F(DrawTest, TilingCoversEveryViewportPixelExactlyOnceAtWholeAndFractionalOffsets)
{
    // A tile covers the pixels whose centres lie inside it. Counted with the centre on a tile's edge taken
    // by the tile after it and, separately, by the tile before it, so that neither rounding rule of a
    // rasteriser can leave a gap or a double at the viewport's edges.
    Ref<TImage> image = Picture(64, 48);
    const float offsets[] = {0,     0.25f,  0.5f,   0.75f, 1,      10,      10.6f,
                             63.9f, 64.75f, -0.25f, -0.5f, -0.75f, -64.75f, -127.3f};
    const std::int32_t views[][4] = {{0, 0, 640, 480}, {100, 50, 100, 10}, {-3, 7, 130, 1}};
    const auto coveredOnce = [](const std::vector<double>& starts, double size, std::int32_t from, std::int32_t count) {
        for (std::int32_t pixel = from; pixel < from + count; ++pixel) {
            const double centre = pixel + 0.5;
            int leftEdgeIn = 0, rightEdgeIn = 0;
            for (double start : starts) {
                leftEdgeIn += start <= centre && centre < start + size;
                rightEdgeIn += start < centre && centre <= start + size;
            }
            if (leftEdgeIn != 1 || rightEdgeIn != 1) return pixel;
        }
        return INT32_MIN;
    };
    for (const auto& view : views) {
        SetViewport(view[0], view[1], view[2], view[3]);
        for (float x : offsets) {
            for (float y : offsets) {
                SCOPED_TRACE(::testing::Message()
                             << "(" << x << ", " << y << ") in view " << view[0] << ", " << view[1]);
                driver->ClearCalls();
                TileImage(image, x, y);
                std::vector<double> columns, rows;
                for (const test::DrawCall& draw : driver->Calls("FrameDraw")) {
                    ASSERT_EQ(draw.args[2], 64);
                    if (rows.empty() || draw.args[5] != rows.back()) rows.push_back(draw.args[5]);
                    if (rows.size() == 1) columns.push_back(draw.args[4]);
                }
                ASSERT_EQ(driver->Calls("FrameDraw").size(), columns.size() * rows.size()) << "a grid of whole rows";
                EXPECT_EQ(coveredOnce(columns, 64, view[0], view[2]), INT32_MIN) << "column";
                EXPECT_EQ(coveredOnce(rows, 48, view[1], view[3]), INT32_MIN) << "row";
            }
        }
    }
    // The offset that showed the fault: column 0 and row 0 were left bare.
    SetViewport(0, 0, 640, 480);
    driver->ClearCalls();
    TileImage(Picture(64, 64), 0.75f, 64.75f);
    EXPECT_EQ(driver->Calls("FrameDraw")[0].args[4], -63.25);
    EXPECT_EQ(driver->Calls("FrameDraw")[0].args[5], -63.25);
}

TEST_F(DrawTest, TilingAnImageOfNoPixelsDrawsNothing)
{
    TileImage(TImage::Create(0, 10, 1, 0), 0, 0);
    EXPECT_TRUE(driver->Log().empty());
}

TEST_F(DrawTest, TextStartsAtTheHandleTurnedByTheMatrix)
{
    SetHandle(4, 2);
    SetOrigin(1, 1);
    SetRotation(90);
    driver->ClearCalls();
    DrawText("A"_s, 100, 50);
    // Handle (-4, -2) turned a quarter clockwise is (2, -4).
    EXPECT_THAT(Only("FrameDraw"), NearArgs(Args{0, 0, 8, 16, 103, 47}));
}

TEST_F(DrawTest, NullImagesPixmapsAndArraysRaiseBeforeReachingTheDriver)
{
    for (auto call : std::initializer_list<void (*)()>{
             [] { DrawImage(Null, 0, 0); },
             [] { DrawImageRect(Null, 0, 0, 1, 1); },
             [] { TileImage(Null, 0, 0); },
             [] { DrawPixmap(Null, 0, 0); },
             [] { DrawPoly(Null); },
             [] { DrawText(Null, 0, 0); },
         }) {
        try {
            call();
            ADD_FAILURE() << "no error";
        } catch (const Exception& e) {
            EXPECT_TRUE(e.Is<TNullObjectError>());
        }
    }
    EXPECT_TRUE(driver->Log().empty());
}

TEST_F(DrawTest, AFrameIndexOutsideTheImageRaisesTheBoundsError)
{
    Ref<TImage> image = Picture(8, 8);
    for (std::int32_t frame : {-1, 1}) {
        try {
            DrawImage(image, 0, 0, frame);
            ADD_FAILURE() << "no error";
        } catch (const Exception& e) {
            EXPECT_TRUE(e.Is<TArrayBoundsError>());
        }
        EXPECT_THROW(TileImage(image, 0, 0, frame), Exception);
    }
    EXPECT_TRUE(driver->Log().empty());
}

} // namespace
} // namespace vanta
