// The millisecond clock and sleeping: generous bounds only, the machine may be busy.
#include "platform/Platform.h"

#include <chrono>

#include <gtest/gtest.h>

namespace vanta::platform {
namespace {

TEST(ClockTest, NeverRunsBackwards)
{
    std::uint32_t previous = TimeGetTime();
    for (int i = 0; i < 10000; ++i) {
        const std::uint32_t now = TimeGetTime();
        // Differences are taken modulo 2^32, as callers of a wrapping clock do.
        EXPECT_LT(now - previous, 1000u);
        previous = now;
    }
}

TEST(ClockTest, FollowsTheSystemClock)
{
    const auto before = std::chrono::steady_clock::now();
    const std::uint32_t start = TimeGetTime();
    Sleep(50);
    const std::uint32_t elapsed = TimeGetTime() - start;
    const auto real = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - before);
    EXPECT_GE(elapsed, 45u);
    EXPECT_LE(elapsed, static_cast<std::uint32_t>(real.count()) + 2);
}

TEST(ClockTest, SleepWaitsAtLeastRoughlyTheTimeAsked)
{
    const auto before = std::chrono::steady_clock::now();
    Sleep(30);
    const auto slept = std::chrono::steady_clock::now() - before;
    EXPECT_GE(slept, std::chrono::milliseconds(29));
    EXPECT_LT(slept, std::chrono::seconds(10));
}

TEST(ClockTest, ZeroAndNegativeSleepsOnlyYield)
{
    const auto before = std::chrono::steady_clock::now();
    Sleep(0);
    Sleep(-1);
    Sleep(-100000);
    EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(5));
}

} // namespace
} // namespace vanta::platform
