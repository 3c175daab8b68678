// The level's counters with a scripted clock: the frame gate, the frames-per-second read-out and the
// creature's walk cycle.
#include "game/GameGlobals.h"
#include "game/Level.h"
#include "support/ScriptedHostDriver.h"

#include <cmath>
#include <limits>

#include <gtest/gtest.h>

namespace vanta::game {
namespace {

class LevelCounters : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ResetGlobals();
        previous = CurrentHostDriver();
        clock = New<test::TScriptedHostDriver>();
        SetHostDriver(clock);
    }
    void TearDown() override
    {
        SetHostDriver(previous);
        ResetGlobals();
    }

    // Runs `frames` frames at `rate` frames per second from the present clock (frame n at
    // start + n * 1000 / rate, in whole milliseconds) and answers what the read-out showed at each.
    std::vector<std::int32_t> ReadOut(int frames, int rate)
    {
        const std::int32_t start = clock->clock;
        std::vector<std::int32_t> shown;
        for (int n = 0; n < frames; ++n) {
            clock->clock = static_cast<std::int32_t>(static_cast<std::uint32_t>(start) +
                                                     static_cast<std::uint32_t>(n * 1000 / rate));
            shown.push_back(CountFps());
        }
        return shown;
    }

    Ref<THostDriver> previous;
    Ref<test::TScriptedHostDriver> clock;
};

TEST_F(LevelCounters, TheGateOpensOnEveryFrameEvenForTwoFramesInOneMillisecond)
{
    clock->clock = 2000;
    Globals().gateLastClock = 2000;
    for (std::int32_t step : {16, 17, 16, 0, 0, 33, 1}) {
        clock->Advance(step);
        EXPECT_EQ(FrameGate(), 1) << "after " << step << " ms";
        EXPECT_EQ(Globals().gateElapsed, static_cast<float>(step));
        EXPECT_EQ(Globals().gateLastClock, clock->clock);
        EXPECT_EQ(Globals().gateFrames, 0);
    }
    EXPECT_EQ(Globals().gateRate, 1000.0f);
    clock->Advance(0);
    EXPECT_EQ(FrameGate(), 1);
    EXPECT_TRUE(std::isinf(Globals().gateRate)) << "elapsed 0 gives an infinite rate";
}

TEST_F(LevelCounters, TheReadOutShowsZeroForTheFirstSecondThen59AtASteady60FramesPerSecond)
{
    clock->clock = 5000;
    const std::vector<std::int32_t> shown = ReadOut(600, 60);
    for (int n = 0; n < 60; ++n)
        ASSERT_EQ(shown[n], 0) << "frame " << n << " is in the first second";
    // The frame that closes a window (at 1000 ms) is counted in neither window.
    for (int n = 60; n < 600; ++n)
        ASSERT_EQ(shown[n], 59) << "frame " << n;
}

TEST_F(LevelCounters, TheReadOutFollowsTheRateAcrossTheClockWrap)
{
    // Half a second before the 32-bit clock turns negative.
    clock->clock = std::numeric_limits<std::int32_t>::max() - 500;
    std::vector<std::int32_t> shown = ReadOut(300, 60);
    EXPECT_EQ(shown.back(), 59);
    ASSERT_LT(clock->clock, 0) << "the clock has wrapped";
    // A slower rate after the wrap must show, not a frozen read-out.
    clock->Advance(1000 / 30);
    shown = ReadOut(120, 30);
    EXPECT_EQ(shown.back(), 29);
}

TEST_F(LevelCounters, TheCreatureShowsEachOfItsSixCellsForSixFrames)
{
    for (int frame = 0; frame < 3 * 36; ++frame) {
        ASSERT_EQ(Globals().creatureFrame, frame / 6 % 6) << "frame " << frame;
        AdvanceCreature();
    }
    EXPECT_EQ(Globals().creatureFrame, 0);
    EXPECT_EQ(Globals().creatureTick, 0);
}

} // namespace
} // namespace vanta::game
