// The graphics module over the recording 2D driver and a scripted clock: opening and closing with their
// errors, the drawing-state reset, display modes, releasing a surface, and frame pacing (the
// vertical-sync test, the timed schedule, late frames, long runs and the clock's wrap).
#include "graphics/Draw.h"
#include "graphics/Graphics.h"
#include "graphics/ImageFont.h"
#include "runtime/Error.h"
#include "support/RecordingFlat2DDriver.h"
#include "support/ScriptedHostDriver.h"

#include <cstdint>
#include <limits>
#include <numeric>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace vanta {
namespace {

using Args = std::vector<double>;

class GraphicsTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        InitGraphics();
        host = New<test::TScriptedHostDriver>();
        SetHostDriver(host);
        driver = New<test::TRecordingFlat2DDriver>();
        SelectGraphicsDriver(driver, 0);
    }
    void TearDown() override
    {
        CloseGraphics();
        SelectGraphicsDriver(Null, 0);
        SetHostDriver(Null);
    }

    // Every flip of the surfaces made from now on takes the next duration of `durations` (then `rest`).
    void FlipsTake(std::vector<std::int32_t> durations, std::int32_t rest)
    {
        auto remaining = std::make_shared<std::vector<std::int32_t>>(durations.rbegin(), durations.rend());
        driver->onFlip = [host = host.Get(), remaining, rest] {
            std::int32_t duration = rest;
            if (!remaining->empty()) {
                duration = remaining->back();
                remaining->pop_back();
            }
            host->Advance(duration);
        };
    }

    std::int32_t Flips() const { return driver->surfaces.back()->flips; }

    std::vector<double> SwapIntervals() const
    {
        std::vector<double> intervals;
        for (const test::DrawCall& call : driver->Calls("SetSwapInterval"))
            intervals.push_back(call.args[0]);
        return intervals;
    }

    // Flips `count` frames and answers the fake time they took.
    std::int64_t FlipFrames(std::int64_t count)
    {
        const std::uint32_t start = static_cast<std::uint32_t>(host->clock);
        std::int64_t elapsed = 0;
        std::uint32_t last = start;
        for (std::int64_t i = 0; i < count; ++i) {
            FlipGraphics();
            const std::uint32_t now = static_cast<std::uint32_t>(host->clock);
            elapsed += static_cast<std::int32_t>(now - last);
            last = now;
        }
        return elapsed;
    }

    static std::string ErrorText(const Exception& e) { return e.what(); }

    Ref<test::TScriptedHostDriver> host;
    Ref<test::TRecordingFlat2DDriver> driver;
};

// [SECTION] Opening and closing

TEST_F(GraphicsTest, OpeningActivatesTheSurfaceResetsTheStateAndShowsTwoBlankFrames)
{
    SelectGraphicsDriver(driver, GFX_BACKBUFFER);
    EXPECT_EQ(OpenGraphics(640, 480, 0, SYNC_NONE | 60), 0);

    EXPECT_EQ(driver->Calls("CreateGraphics")[0].args, (Args{640, 480, 0, 60, GFX_BACKBUFFER}));
    EXPECT_EQ(GraphicsWidth(), 640);
    EXPECT_EQ(GraphicsHeight(), 480);
    EXPECT_EQ(CurrentFlat2DDriver(), driver);
    EXPECT_EQ(CurrentGraphicsSurface()->surface.Raw(), driver->surfaces.back().Raw());
    const std::vector<std::string> expected = {"CreateGraphics", "SetSurface", "SetBlend",       "SetColor",
                                               "SetClearColor",  "SetAlpha",   "SetViewport",    "SetTransform",
                                               "Clear",          "Clear",      "SetSwapInterval"};
    EXPECT_EQ(driver->Slots(), expected);
    EXPECT_EQ(driver->Calls("SetSurface")[0].args, (Args{640, 480}));
    EXPECT_EQ(driver->Calls("SetSurface")[0].object, driver->surfaces.back().Raw());
    EXPECT_EQ(driver->Calls("SetBlend")[0].args, Args{BLEND_MASK});
    EXPECT_EQ(driver->Calls("SetColor")[0].args, (Args{255, 255, 255}));
    EXPECT_EQ(driver->Calls("SetClearColor")[0].args, (Args{0, 0, 0}));
    EXPECT_EQ(driver->Calls("SetAlpha")[0].args, Args{1});
    EXPECT_EQ(driver->Calls("SetViewport")[0].args, (Args{0, 0, 640, 480}));
    EXPECT_EQ(driver->Calls("SetTransform")[0].args, (Args{1, 0, 0, 1}));
    EXPECT_EQ(Flips(), 2);
    EXPECT_EQ(driver->surfaces.back()->activations, 3); // the activation, then once after each flip
    EXPECT_EQ(SwapIntervals(), Args{0});
    EXPECT_FALSE(GetTextFont().IsNull());

    std::int32_t w = 0, h = 0, d = -1, r = 0;
    GetGraphicsInfo(w, h, d, r);
    EXPECT_EQ(std::vector<std::int32_t>({w, h, d, r}), std::vector<std::int32_t>({640, 480, 0, 60}));
}

TEST_F(GraphicsTest, TheActivationUndoesEverySettingChangedBefore)
{
    OpenGraphics(320, 200, 0, SYNC_NONE);
    SetColor(1, 2, 3);
    SetMaskColor(4, 5, 6);
    SetViewport(1, 1, 10, 10);
    SetHandle(3, 3);
    SetRotationAndScale(45, 2, 2);
    OpenGraphics(320, 200, 0, SYNC_NONE);

    std::int32_t r, g, b, x, y, w, h;
    float hx, hy, sx, sy;
    GetColor(r, g, b);
    EXPECT_EQ(r + g + b, 3 * 255);
    GetMaskColor(r, g, b);
    EXPECT_EQ(r + g + b, 0);
    GetViewport(x, y, w, h);
    EXPECT_EQ(std::vector<std::int32_t>({x, y, w, h}), std::vector<std::int32_t>({0, 0, 320, 200}));
    GetHandle(hx, hy);
    GetScale(sx, sy);
    EXPECT_EQ(std::vector<float>({hx, hy, GetRotation(), sx, sy}), std::vector<float>({0, 0, 0, 1, 1}));
}

TEST_F(GraphicsTest, WindowedWithoutARateOpensAtEightyFiveHertz)
{
    OpenGraphics(640, 480, 0, SYNC_NONE);
    EXPECT_EQ(driver->Calls("CreateGraphics")[0].args, (Args{640, 480, 0, 85, 0}));
    std::int32_t w, h, d, r;
    GetGraphicsInfo(w, h, d, r);
    EXPECT_EQ(r, 85);
}

TEST_F(GraphicsTest, AFullScreenSizeTheDriverDoesNotOfferFailsBeforeAnyWindowIsMade)
{
    driver->modes = {{800, 600, 32, 60}, {1024, 768, 32, 75}};
    try {
        OpenGraphics(640, 480, 32, SYNC_NONE | 60);
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(ErrorText(e), "Graphics mode does not exist");
    }
    EXPECT_TRUE(driver->Calls("CreateGraphics").empty());

    // Only width and height are compared: another depth and rate still open.
    OpenGraphics(1024, 768, 16, SYNC_NONE | 60);
    EXPECT_EQ(driver->Calls("CreateGraphics")[0].args, (Args{1024, 768, 16, 60, 0}));
}

TEST_F(GraphicsTest, ADriverThatMakesNoSurfaceOrAPlainOneIsReported)
{
    driver->failCreate = true;
    try {
        OpenGraphics(640, 480, 0, 60);
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(ErrorText(e), "Unable to create graphics");
    }

    driver->failCreate = false;
    driver->plainSurfaces = true;
    try {
        OpenGraphics(640, 480, 0, 60);
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(ErrorText(e), "Current graphics driver is not a Flat2D driver");
    }
    EXPECT_EQ(driver->surfaces.back()->closes, 1);
    EXPECT_EQ(driver->Calls("SetSurface").size(), 0u);
}

TEST_F(GraphicsTest, EachOpenAndCloseAdvancesTheSequenceAndClosingTwiceDoesNothing)
{
    const std::int32_t before = GraphicsSequence();
    OpenGraphics(640, 480, 0, SYNC_NONE);
    EXPECT_EQ(GraphicsSequence(), before + 1);
    Ref<test::TRecordingSurface> first = driver->surfaces.back();
    OpenGraphics(640, 480, 0, SYNC_NONE); // closes the first
    EXPECT_EQ(GraphicsSequence(), before + 3);
    EXPECT_EQ(first->closes, 1);
    CloseGraphics();
    CloseGraphics();
    EXPECT_EQ(GraphicsSequence(), before + 4);
    EXPECT_EQ(driver->surfaces.back()->closes, 1);
    // The current 2D driver stays, and a flip with nothing open does nothing.
    EXPECT_EQ(CurrentFlat2DDriver(), driver);
    const std::int32_t flips = Flips();
    FlipGraphics();
    EXPECT_EQ(Flips(), flips);
}

// A driver may hold drawing back; the module has it sent before the frame is presented, before another
// surface's context takes over, and before the opened surface closes.
TEST_F(GraphicsTest, TheDriverSendsWhatItHoldsBeforeEachFlipActivationAndClose)
{
    OpenGraphics(640, 480, 0, SYNC_NONE);
    std::vector<int> flushedByFlip;
    driver->surfaces.back()->onFlip = [&] { flushedByFlip.push_back(driver->flushes); };
    const int before = driver->flushes;
    FlipGraphics();
    EXPECT_EQ(flushedByFlip, std::vector<int>{before + 1}) << "flushed before the inner surface flipped";

    Ref<test::TRecordingFlat2DDriver> other = New<test::TRecordingFlat2DDriver>();
    const Ref<TFlat2DSurface> second = Downcast<TFlat2DSurface>(other->CreateGraphics(100, 80, 0, 60, 0));
    ASSERT_FALSE(second.IsNull());
    second->Activate();
    EXPECT_EQ(driver->flushes, before + 2) << "the driver current until then";
    EXPECT_EQ(other->flushes, 0);
    EXPECT_EQ(CurrentFlat2DDriver(), other);

    CloseGraphics();
    EXPECT_EQ(other->flushes, 1) << "the current driver, before the opened surface closes";
}

TEST_F(GraphicsTest, ClosingASurfaceTwiceClosesTheWindowOnce)
{
    OpenGraphics(640, 480, 0, SYNC_NONE);
    Ref<TFlat2DSurface> surface = CurrentGraphicsSurface();
    surface->Close();
    surface->Close();
    EXPECT_EQ(driver->surfaces.back()->closes, 1);
    std::int32_t w = -1, h = -1;
    surface->GetSize(w, h);
    EXPECT_EQ(w + h, 0);
}

TEST_F(GraphicsTest, AReleasedSurfaceLeavesNoDriverAndDrawingRaisesInsteadOfCrashing)
{
    OpenGraphics(640, 480, 0, SYNC_NONE);
    CurrentGraphicsSurface()->Flip();
    EXPECT_EQ(driver->Slots().back(), "ReleaseSurface");
    EXPECT_TRUE(CurrentFlat2DDriver().IsNull());
    EXPECT_TRUE(CurrentGraphicsSurface().IsNull());
    EXPECT_TRUE(GetTextFont().IsNull());
    EXPECT_EQ(GraphicsWidth(), 0);

    driver->ClearCalls();
    EXPECT_THROW(ClearGraphics(), Exception);
    EXPECT_THROW(HidePointer(), Exception);
    EXPECT_THROW(FlipGraphics(), Exception);
    EXPECT_THROW(DrawRect(0, 0, 1, 1), Exception);
    EXPECT_THROW(DrawText("A"_s, 0, 0), Exception);
    EXPECT_THROW(TextWidth("A"_s), Exception);
    try {
        SetColor(1, 2, 3);
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_TRUE(e.Is<TNullObjectError>());
    }
    EXPECT_TRUE(driver->Log().empty());
}

// [SECTION] Display modes

TEST_F(GraphicsTest, DisplayModesAreCachedAndMatchedOnTheArgumentsThatAreNotZero)
{
    // A driver that reports none is asked again each time.
    EXPECT_EQ(DisplayModeExists(0, 0, 0, 0), 0);
    EXPECT_EQ(CountDisplayModes(), 0);
    EXPECT_EQ(driver->displayModeQueries, 2);

    driver->modes = {{640, 480, 16, 60}, {800, 600, 32, 75}};
    EXPECT_EQ(CountDisplayModes(), 2);
    EXPECT_EQ(DisplayModeExists(0, 0, 0, 0), 1);
    EXPECT_EQ(DisplayModeExists(800, 600, 0, 0), 1);
    EXPECT_EQ(DisplayModeExists(800, 600, 32, 60), 0);
    EXPECT_EQ(DisplayModeExists(0, 0, 16, 60), 1);
    std::int32_t w, h, d, r;
    GetDisplayMode(1, w, h, d, r);
    EXPECT_EQ(std::vector<std::int32_t>({w, h, d, r}), std::vector<std::int32_t>({800, 600, 32, 75}));
    EXPECT_EQ(driver->displayModeQueries, 3);
    EXPECT_THROW(GetDisplayMode(2, w, h, d, r), Exception);
    EXPECT_THROW(GetDisplayMode(-1, w, h, d, r), Exception);

    // Selecting a driver empties the cache.
    driver->modes.push_back({1024, 768, 32, 60});
    SelectGraphicsDriver(driver, 0);
    EXPECT_EQ(CountDisplayModes(), 3);
    EXPECT_EQ(driver->displayModeQueries, 4);
}

// [SECTION] Frame pacing

TEST_F(GraphicsTest, ThreeConsecutiveFlipsOfOnePeriodPassTheVerticalSyncTest)
{
    // Two blank frames, then the test: hit, hit, miss, hit, hit, hit.
    FlipsTake({0, 0, 16, 17, 30, 15, 16, 17}, 0);
    OpenGraphics(640, 480, 0, 60);
    EXPECT_EQ(Flips(), 8);
    EXPECT_EQ(SwapIntervals(), (Args{0, 1}));

    const std::int32_t before = host->clock;
    FlipGraphics();
    EXPECT_TRUE(host->sleeps.empty());
    EXPECT_EQ(host->clock, before); // the display does the waiting
}

TEST_F(GraphicsTest, ASwapThatDoesNotWaitFallsBackToTimedPacing)
{
    FlipsTake({}, 0);
    OpenGraphics(640, 480, 0, 60);
    EXPECT_EQ(Flips(), 2 + 100);
    EXPECT_EQ(SwapIntervals(), (Args{0, 1, 0}));

    FlipFrames(6);
    EXPECT_EQ(host->sleeps, (std::vector<std::int32_t>{16, 17, 17, 16, 17, 17}));
}

TEST_F(GraphicsTest, StrictPacingRaisesWhenTheDisplayDoesNotWait)
{
    FlipsTake({}, 0);
    try {
        OpenGraphics(640, 480, 0, SYNC_STRICT | 60);
        FAIL() << "no error";
    } catch (const Exception& e) {
        EXPECT_EQ(ErrorText(e), "Unable to synchronize to refresh rate");
    }
    EXPECT_EQ(Flips(), 2 + 100);
}

TEST_F(GraphicsTest, NoPacingAndTimedPacingSkipTheTest)
{
    OpenGraphics(640, 480, 0, SYNC_NONE | 60);
    EXPECT_EQ(Flips(), 2);
    EXPECT_EQ(SwapIntervals(), Args{0});
    FlipFrames(3);
    EXPECT_TRUE(host->sleeps.empty());

    driver->ClearCalls();
    OpenGraphics(640, 480, 0, SYNC_TIMED | 60);
    EXPECT_EQ(Flips(), 2);
    EXPECT_EQ(SwapIntervals(), Args{0});
    FlipFrames(3);
    EXPECT_EQ(host->sleeps, (std::vector<std::int32_t>{16, 17, 17}));
}

TEST_F(GraphicsTest, ALateFrameMovesTheScheduleWithoutABurstOfCatchUpFrames)
{
    OpenGraphics(640, 480, 0, SYNC_TIMED | 60);
    FlipFrames(1);
    host->Advance(100); // a frame that takes six slots
    FlipFrames(1);
    EXPECT_EQ(host->sleeps, std::vector<std::int32_t>{16});
    FlipFrames(4);
    EXPECT_EQ(host->sleeps, (std::vector<std::int32_t>{16, 16, 17, 17, 16}));
}

TEST_F(GraphicsTest, TenThousandTimedFramesAtSixtyHertzTakeTheirExactTime)
{
    host->clock = 123456;
    OpenGraphics(640, 480, 0, SYNC_TIMED | 60);
    EXPECT_NEAR(FlipFrames(10000), 166666, 1);
    for (std::int32_t sleep : host->sleeps)
        ASSERT_TRUE(sleep == 16 || sleep == 17) << sleep;
}

TEST_F(GraphicsTest, TheScheduleHoldsPastTheFrameCountWhereAnIntAccumulatorOverflowed)
{
    // 1000 per frame overflows 32 bits after 2 147 483 frames.
    OpenGraphics(640, 480, 0, SYNC_TIMED | 60);
    constexpr std::int64_t frames = 2'200'000;
    EXPECT_EQ(FlipFrames(frames), frames * 1000 / 60);
    EXPECT_EQ(host->sleeps.size(), static_cast<std::size_t>(frames));
    for (std::int32_t sleep : host->sleeps)
        ASSERT_TRUE(sleep == 16 || sleep == 17) << sleep;
}

TEST_F(GraphicsTest, TheScheduleHoldsAcrossBothWrapsOfTheMillisecondClock)
{
    for (std::int32_t start : {std::numeric_limits<std::int32_t>::max() - 500, -500}) {
        host->clock = start;
        host->sleeps.clear();
        OpenGraphics(640, 480, 0, SYNC_TIMED | 60);
        EXPECT_EQ(FlipFrames(600), 10000) << start;
        for (std::int32_t sleep : host->sleeps)
            ASSERT_TRUE(sleep == 16 || sleep == 17) << start << ": " << sleep;
    }
}

TEST_F(GraphicsTest, TheVerticalSyncTestMeasuresAcrossTheClocksWrap)
{
    host->clock = std::numeric_limits<std::int32_t>::max() - 20;
    FlipsTake({0, 0}, 16);
    OpenGraphics(640, 480, 0, 60);
    EXPECT_EQ(Flips(), 2 + 3);
    EXPECT_EQ(SwapIntervals(), (Args{0, 1}));
}

TEST_F(GraphicsTest, ReopeningStartsAFreshSchedule)
{
    OpenGraphics(640, 480, 0, SYNC_TIMED | 60);
    FlipFrames(30);
    host->Advance(5000);
    host->sleeps.clear();
    OpenGraphics(640, 480, 0, SYNC_TIMED | 60);
    EXPECT_TRUE(host->sleeps.empty()); // the blank frames are not paced against the old schedule
    FlipFrames(3);
    EXPECT_EQ(host->sleeps, (std::vector<std::int32_t>{16, 17, 17}));
}

} // namespace
} // namespace vanta
