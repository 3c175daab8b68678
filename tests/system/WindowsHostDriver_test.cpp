// The desktop host driver's pump with the real platform underneath: input events go into SDL's real
// queue (or are posted as platform messages), come out of the platform's translation and reach the input
// tables through `TWindowsHostDriver::PumpMessages`, read back with the module functions. Runs on SDL's
// offscreen video driver, so no display is needed.
#include "SdlInput.h"
#include "platform/Platform.h"
#include "system/HostDriver.h"
#include "system/System.h"
#include "system/desktop/WindowsHostDriver.h"

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

namespace vanta {
namespace {

using namespace vanta::test;

// What a window procedure saw, and whether the input tables had already taken the message in.
struct Seen
{
    std::uint32_t message;
    std::uintptr_t wParam;
    std::int32_t keyDownWhenDispatched;
};
std::vector<Seen> seen;

std::intptr_t RecordingProc(platform::Window*, std::uint32_t message, std::uintptr_t wParam, std::intptr_t)
{
    const std::int32_t key = wParam <= 255 ? static_cast<std::int32_t>(wParam) : 0;
    seen.push_back({message, wParam, CurrentHostDriver()->KeyState(key)});
    return 0;
}

class WindowsHostDriverTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        ::setenv("SDL_VIDEODRIVER", "offscreen", 1);
        InitSystem();
        ASSERT_TRUE(platform::StartVideo()) << platform::VideoError();
    }
    static void TearDownTestSuite() { platform::StopVideo(); }

    void SetUp() override
    {
        ClearKeys();
        seen.clear();
        wheelAtStart = WheelPosition();
    }
    void TearDown() override
    {
        if (window != nullptr) platform::DestroyWindow(window);
        ClearKeys();
    }

    platform::Window* MakeWindow()
    {
        window = platform::CreateWindow(0, "driver", platform::WS_VISIBLE | platform::WS_CAPTION, 0, 0, 32, 32,
                                        RecordingProc);
        EXPECT_NE(window, nullptr) << platform::WindowError();
        PumpMessages();
        seen.clear();
        return window;
    }

    platform::Window* window = nullptr;
    std::int32_t wheelAtStart = 0;
};

TEST_F(WindowsHostDriverTest, InitialisationInstallsTheDesktopDriver)
{
    EXPECT_FALSE(Downcast<TWindowsHostDriver>(CurrentHostDriver()).IsNull());
    // A copy, not a reference: the comparison is with the driver as it was.
    const Ref<THostDriver> before = CurrentHostDriver(); // NOLINT(performance-unnecessary-copy-initialization)
    InitSystem();
    EXPECT_EQ(CurrentHostDriver(), before) << "a second initialisation changes nothing";
}

TEST_F(WindowsHostDriverTest, AutoRepeatedPressCountsOnceAndAReleaseAllowsTheNext)
{
    ASSERT_TRUE(PushSdlKey(true, "A"));
    for (int i = 0; i < 5; ++i)
        ASSERT_TRUE(PushSdlKey(true, "A", SDL_INPUT_NO_MODIFIER, true));
    EXPECT_EQ(KeyHits('A'), 1);
    EXPECT_EQ(KeyHits('A'), 0) << "reading consumes the count";
    EXPECT_EQ(IsKeyDown('A'), 1);

    ASSERT_TRUE(PushSdlKey(false, "A"));
    ASSERT_TRUE(PushSdlKey(true, "A"));
    ASSERT_TRUE(PushSdlKey(true, "A", SDL_INPUT_NO_MODIFIER, true));
    ASSERT_TRUE(PushSdlKey(false, "A"));
    ASSERT_TRUE(PushSdlKey(true, "A"));
    EXPECT_EQ(KeyHits('A'), 2) << "two presses since the last read";
    ASSERT_TRUE(PushSdlKey(false, "A"));
    EXPECT_EQ(IsKeyDown('A'), 0);
}

TEST_F(WindowsHostDriverTest, ShiftAndAltSidesHaveTheirOwnCodes)
{
    ASSERT_TRUE(PushSdlKey(true, "Left Shift", SDL_INPUT_LEFT_SHIFT));
    EXPECT_EQ(IsKeyDown(16), 1);
    EXPECT_EQ(IsKeyDown(160), 1);
    EXPECT_EQ(IsKeyDown(161), 0);
    ASSERT_TRUE(PushSdlKey(true, "Right Shift", SDL_INPUT_LEFT_SHIFT | SDL_INPUT_RIGHT_SHIFT));
    EXPECT_EQ(IsKeyDown(161), 1);
    EXPECT_EQ(KeyHits(16), 1) << "the generic code was already down";
    EXPECT_EQ(KeyHits(160), 1);
    EXPECT_EQ(KeyHits(161), 1);

    ASSERT_TRUE(PushSdlKey(false, "Right Shift", SDL_INPUT_LEFT_SHIFT));
    EXPECT_EQ(IsKeyDown(161), 0);
    EXPECT_EQ(IsKeyDown(160), 1);
    EXPECT_EQ(IsKeyDown(16), 0) << "any Shift release clears the generic code";
    ASSERT_TRUE(PushSdlKey(false, "Left Shift"));
    EXPECT_EQ(IsKeyDown(160), 0);

    ASSERT_TRUE(PushSdlKey(true, "Right Alt", SDL_INPUT_RIGHT_ALT));
    EXPECT_EQ(IsKeyDown(18), 1);
    EXPECT_EQ(IsKeyDown(165), 1);
    EXPECT_EQ(IsKeyDown(164), 0);
    ASSERT_TRUE(PushSdlKey(false, "Right Alt"));
    EXPECT_EQ(IsKeyDown(18), 0);
    EXPECT_EQ(IsKeyDown(165), 0);
    ASSERT_TRUE(PushSdlKey(true, "Right Ctrl", SDL_INPUT_RIGHT_CTRL));
    EXPECT_EQ(KeyHits(163), 1);
    EXPECT_EQ(KeyHits(162), 0);
    ASSERT_TRUE(PushSdlKey(false, "Right Ctrl"));
}

TEST_F(WindowsHostDriverTest, WheelCountsWholeNotchesOnly)
{
    ASSERT_TRUE(PushSdlWheel(2));
    EXPECT_EQ(WheelPosition() - wheelAtStart, 2);
    ASSERT_TRUE(PushSdlWheel(-1));
    EXPECT_EQ(WheelPosition() - wheelAtStart, 1);
    ASSERT_TRUE(PushSdlWheel(0, 0.5f)); // a delta of 60: less than a notch
    EXPECT_EQ(WheelPosition() - wheelAtStart, 1);
}

TEST_F(WindowsHostDriverTest, TypedTextAndTranslatedKeysQueueCharactersOldestFirst)
{
    ASSERT_TRUE(PushSdlText("h\xC3\xA9"));
    ASSERT_TRUE(PushSdlKey(true, "Escape"));
    ASSERT_TRUE(PushSdlKey(false, "Escape"));
    EXPECT_EQ(NextTypedChar(), 'h');
    EXPECT_EQ(NextTypedChar(), 0xE9);
    EXPECT_EQ(NextTypedChar(), 27) << "the pump translates Escape into a character";
    EXPECT_EQ(NextTypedChar(), 0);
}

TEST_F(WindowsHostDriverTest, AFullCharacterRingDropsTheRest)
{
    const std::string thirty(30, 'x');
    for (int i = 0; i < 9; ++i)
        ASSERT_TRUE(PushSdlText(thirty.c_str()));
    ASSERT_TRUE(PushSdlText("abcdefghijklmnopqrstuvwxyz0123")); // characters 271-300
    PumpMessages();
    int taken = 0;
    std::int32_t typed = 0;
    while ((typed = NextTypedChar()) == 'x')
        ++taken;
    // 270 x were typed; the ring kept the first 256 and dropped the rest, letters included.
    EXPECT_EQ(taken, 256);
    EXPECT_EQ(typed, 0);
}

TEST_F(WindowsHostDriverTest, ButtonsAndPointer)
{
    ASSERT_TRUE(PushSdlMotion(-5, -7));
    EXPECT_EQ(PointerX(), -5) << "positions left of and above the client area are negative";
    EXPECT_EQ(PointerY(), -7);
    ASSERT_TRUE(PushSdlButton(true, 1, 3, 4)); // left
    ASSERT_TRUE(PushSdlButton(true, 3, 3, 4)); // right
    ASSERT_TRUE(PushSdlButton(true, 2, 3, 4)); // middle
    EXPECT_EQ(IsButtonDown(1), 1);
    EXPECT_EQ(ButtonHits(1), 1);
    EXPECT_EQ(ButtonHits(2), 1);
    EXPECT_EQ(KeyHits(4), 1) << "the middle button is key code 4";
    ASSERT_TRUE(PushSdlButton(false, 2, 3, 4));
    ASSERT_TRUE(PushSdlButton(true, 2, 3, 4));
    EXPECT_EQ(ButtonHits(3), 1) << "button 3 reads key code 4";
    EXPECT_EQ(ButtonHits(4), 0);
    EXPECT_EQ(IsButtonDown(0), 0);
    for (int button : {1, 3, 2})
        ASSERT_TRUE(PushSdlButton(false, button, 3, 4));
    EXPECT_EQ(IsButtonDown(1), 0);
    EXPECT_EQ(IsButtonDown(3), 0);
}

TEST_F(WindowsHostDriverTest, OutOfRangeKeysAndAxesAnswerZero)
{
    ASSERT_TRUE(PushSdlKey(true, "A"));
    PumpMessages();
    const Ref<THostDriver>& driver = CurrentHostDriver();
    for (std::int32_t key : {0, -1, -65, 256, 321}) {
        EXPECT_EQ(KeyHits(key), 0) << key;
        EXPECT_EQ(IsKeyDown(key), 0) << key;
        EXPECT_EQ(driver->TakeKeyHits(key), 0) << key;
    }
    EXPECT_EQ(driver->PointerAxis(3), 0);
    EXPECT_EQ(driver->PointerAxis(-1), 0);
    ASSERT_TRUE(PushSdlKey(false, "A"));
}

TEST_F(WindowsHostDriverTest, TheInputTablesSeeAMessageBeforeItsWindowProcedure)
{
    ASSERT_NE(MakeWindow(), nullptr);
    ASSERT_TRUE(platform::PostMessage(window, platform::WM_KEYDOWN, 'Q', 0x00100001));
    ASSERT_TRUE(platform::PostMessage(window, platform::WM_KEYDOWN, platform::VK_RETURN, 0x001C0001));
    PumpMessages();
    ASSERT_GE(seen.size(), 3u);
    EXPECT_EQ(seen[0].message, platform::WM_KEYDOWN);
    EXPECT_EQ(seen[0].wParam, static_cast<std::uintptr_t>('Q'));
    EXPECT_EQ(seen[0].keyDownWhenDispatched, 1) << "the hook ran first";
    // Translation put the Enter key's character right behind it, for the procedure and for the tables.
    EXPECT_EQ(seen[1].message, platform::WM_KEYDOWN);
    EXPECT_EQ(seen[2].message, platform::WM_CHAR);
    EXPECT_EQ(seen[2].wParam, 13u);
    EXPECT_EQ(NextTypedChar(), 13);
}

TEST_F(WindowsHostDriverTest, WaitForKeyBlocksUntilAKeyIsPressed)
{
    ASSERT_NE(MakeWindow(), nullptr);
    platform::Window* target = window;
    std::thread presser([target] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        platform::PostMessage(target, platform::WM_KEYDOWN, 'K', 0x00250001);
    });
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(WaitForKey(), 'K');
    presser.join();
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(90));
}

TEST_F(WindowsHostDriverTest, ClockFollowsSleeping)
{
    const std::int32_t start = ReadClock();
    SleepFor(30);
    const std::int32_t elapsed = ReadClock() - start;
    EXPECT_GE(elapsed, 29);
    EXPECT_LT(elapsed, 5000);
    const std::int32_t before = ReadClock();
    SleepFor(0);
    SleepFor(-5);
    EXPECT_LT(ReadClock() - before, 1000) << "0 and less only yield";
}

TEST_F(WindowsHostDriverTest, MovingThePointerWithoutAnActiveWindowDoesNothing)
{
    ASSERT_EQ(platform::GetActiveWindow(), nullptr);
    ASSERT_TRUE(PushSdlMotion(7, 9));
    PumpMessages();
    MovePointer(100, 100);
    EXPECT_EQ(PointerX(), 7);
    EXPECT_EQ(PointerY(), 9);
}

} // namespace
} // namespace vanta
