// The console's input line driven with real X11 keys (xdotool) in a window on the virtual display, read
// through the desktop host driver: keys typed faster than the console reads keep their order, a press of
// an ordinary length acts once, and a held key repeats after the repeat delay.
#include "console/Console.h"
#include "console/detail/ConsoleState.h"
#include "platform/Window.h"
#include "support/GLDrawingWindow.h"
#include "support/VirtualDisplay.h"
#include "support/WaitForMessages.h"

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace vanta {
namespace {

using test::Xdotool;

class ConsoleInputTest : public test::GLDrawingTest
{
protected:
    void SetUp() override
    {
        if (test::FindProgram("xdotool").empty()) GTEST_SKIP() << "xdotool is not installed (package xdotool)";
        test::GLDrawingTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        ASSERT_TRUE(test::WaitUntil([] { return platform::GetFocus() != nullptr; }, [] { PumpMessages(); }))
            << "the window never got the focus";
        InitConsole();
        detail::ResetConsoleState();
        detail::ConsoleState& console = detail::Console();
        console.shown = 1;
        console.width = width;
        console.charWidth = 8;
        console.charHeight = 12;
        ClearKeys();
    }
    void TearDown() override
    {
        detail::ResetConsoleState();
        ClearKeys();
        test::GLDrawingTest::TearDown();
    }

    static std::string Input() { return detail::Console().input->ToCString(); }

    // Runs console input frames about every 10 ms for `milliseconds`; answers the clock times at which
    // the cursor moved.
    static std::vector<std::int32_t> RunFor(std::int32_t milliseconds)
    {
        std::vector<std::int32_t> moves;
        const std::int32_t start = ReadClock();
        std::int32_t index = detail::Console().cursorIndex;
        while (static_cast<std::int32_t>(ClockDistance(start, ReadClock())) < milliseconds) {
            detail::HandleConsoleInput();
            if (detail::Console().cursorIndex != index) moves.push_back(ReadClock());
            index = detail::Console().cursorIndex;
            platform::WaitMessage(10);
        }
        return moves;
    }

    // Runs console input frames until `done` holds (10 s at most).
    static bool InputUntil(const std::function<bool()>& done)
    {
        return test::WaitUntil(done, [] { detail::HandleConsoleInput(); });
    }
};

TEST_F(ConsoleInputTest, KeysTypedFasterThanTheConsoleReadsKeepTheirOrder)
{
    ASSERT_TRUE(Xdotool({"key", "--delay", "5", "a", "b", "Left", "X"}));
    EXPECT_TRUE(InputUntil([] { return Input().size() == 3; }));
    EXPECT_TRUE(InputUntil([] { return detail::Console().cursorIndex == 2; }));
    EXPECT_EQ(Input(), "aXb");

    ASSERT_TRUE(
        Xdotool({"key", "--delay", "5", "Return", "x", "y", "z", "Home", "w", "End", "BackSpace", "Left", "Delete"}));
    EXPECT_TRUE(InputUntil([] { return Input() == "wx"; })) << Input();
    EXPECT_EQ(detail::Console().enteredCount, 1);
}

TEST_F(ConsoleInputTest, AnOrdinaryPressActsOnceAndAHeldKeyRepeatsAfterTheDelay)
{
    ASSERT_TRUE(Xdotool({"key", "--delay", "5", "a", "b", "c", "d", "e", "f", "g", "h", "i",
                         "j",   "k",       "l", "m", "n", "o", "p", "q", "r", "s", "t"}));
    ASSERT_TRUE(InputUntil([] { return Input().size() == 20; }));

    // Backspace down for 85 ms while the console runs its frames.
    pid_t keys = test::StartProgram({"xdotool", "keydown", "BackSpace", "sleep", "0.085", "keyup", "BackSpace"});
    ASSERT_GT(keys, 0);
    RunFor(1000);
    EXPECT_EQ(test::WaitForProgram(keys), 0);
    EXPECT_EQ(Input().size(), 19u) << "one character deleted";

    // Left held for 1.5 s: the press, then a repeat each key-repeat period from the repeat delay on.
    keys = test::StartProgram({"xdotool", "keydown", "Left", "sleep", "1.5", "keyup", "Left"});
    ASSERT_GT(keys, 0);
    const std::vector<std::int32_t> moves = RunFor(2500);
    EXPECT_EQ(test::WaitForProgram(keys), 0);
    ASSERT_GE(moves.size(), 3u) << "the press and at least two repeats";
    EXPECT_GE(static_cast<std::int32_t>(ClockDistance(moves[0], moves[1])), detail::CONSOLE_REPEAT_DELAY);
    EXPECT_LE(moves.size(), 1u + (1500 - detail::CONSOLE_REPEAT_DELAY) / detail::CONSOLE_KEY_REPEAT_PERIOD + 1);
    for (std::size_t i = 2; i < moves.size(); ++i)
        EXPECT_GT(static_cast<std::int32_t>(ClockDistance(moves[i - 1], moves[i])), detail::CONSOLE_KEY_REPEAT_PERIOD);
}

} // namespace
} // namespace vanta
