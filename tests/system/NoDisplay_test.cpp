// The desktop host driver on a machine without a display: it initialises, pumps the thread's own
// messages, keeps time and sleeps; nothing fails because video cannot start.
#include "platform/Platform.h"
#include "system/EventQueue.h"
#include "system/HostDriver.h"
#include "system/System.h"

#include <cstdlib>

#include <gtest/gtest.h>

namespace vanta {
namespace {

class NoDisplayTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        ::unsetenv("DISPLAY");
        ::unsetenv("WAYLAND_DISPLAY");
        ::unsetenv("SDL_VIDEODRIVER");
        InitSystem();
    }
    void TearDown() override { ClearKeys(); }
};

TEST_F(NoDisplayTest, PumpingDrainsTheThreadQueue)
{
    PumpMessages();
    PumpMessages();
    EXPECT_EQ(KeyHits('K'), 0);
    ASSERT_TRUE(platform::PostMessage(nullptr, platform::WM_KEYDOWN, 'K', 0x00250001));
    ASSERT_TRUE(platform::PostMessage(nullptr, platform::WM_CHAR, 'k', 1));
    EXPECT_EQ(KeyHits('K'), 1);
    EXPECT_EQ(NextTypedChar(), 'k');
    platform::Message left;
    EXPECT_FALSE(platform::PeekMessage(left)) << "every message was taken";
}

TEST_F(NoDisplayTest, StartingVideoFailsWithoutHarmingTheDriver)
{
    EXPECT_FALSE(platform::StartVideo());
    ASSERT_TRUE(platform::PostMessage(nullptr, platform::WM_MOUSEWHEEL, 240u << 16, 0));
    const std::int32_t wheel = WheelPosition();
    EXPECT_EQ(wheel, 2);
    MovePointer(10, 10); // no window: nothing happens
    EXPECT_EQ(PointerX(), 0);
}

TEST_F(NoDisplayTest, WaitingReturnsOnceAMessageIsThere)
{
    ASSERT_TRUE(platform::PostMessage(nullptr, platform::WM_KEYDOWN, 'W', 0x00110001));
    WaitForMessages();
    EXPECT_EQ(KeyHits('W'), 1);
}

TEST_F(NoDisplayTest, ClockAndSleep)
{
    const std::int32_t start = ReadClock();
    SleepFor(20);
    EXPECT_GE(ReadClock() - start, 19);
}

TEST_F(NoDisplayTest, TheEventQueueWasCreated)
{
    EXPECT_TRUE(PeekQueuedEvent().IsNull());
    const Ref<Object> event = "tick"_s;
    QueueEvent(event);
    EXPECT_EQ(TakeQueuedEvent(), event);
    EXPECT_TRUE(TakeQueuedEvent().IsNull());
}

} // namespace
} // namespace vanta
