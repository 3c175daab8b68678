// The console demo program driven like a user drives it: real X11 keys through xdotool on a virtual
// display, and what its window shows read back from the X server.
#include "support/VirtualDisplay.h"
#include "support/X11Tools.h"

#include <chrono>
#include <csignal>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

namespace vanta {
namespace {

constexpr const char* TITLE = "VantaMax console demo";

// The panel: 640 wide, 14 lines of 12 pixels; the newest line's row starts 24 pixels above its bottom.
constexpr int PANEL_HEIGHT = 14 * 12;
constexpr int NEWEST_ROW = PANEL_HEIGHT - 24;

bool Xdotool(const std::vector<std::string>& arguments)
{
    std::vector<std::string> command{"xdotool"};
    command.insert(command.end(), arguments.begin(), arguments.end());
    return test::RunProgram(command) == 0;
}

bool PollFor(const std::function<bool()>& done, int seconds = 10)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (std::chrono::steady_clock::now() < deadline) {
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return done();
}

struct Screen
{
    int width = 0;
    int height = 0;
    std::vector<unsigned long> pixels;

    unsigned long At(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
};

bool Differs(unsigned long a, unsigned long b)
{
    for (int shift = 0; shift < 24; shift += 8) {
        const int ca = static_cast<int>((a >> shift) & 0xFF);
        const int cb = static_cast<int>((b >> shift) & 0xFF);
        if (ca - cb > 24 || cb - ca > 24) return true;
    }
    return false;
}

// The number of pixels of rows top .. bottom - 1, columns 2 .. 401, that differ between two screens.
int ChangedPixels(const Screen& a, const Screen& b, int top, int bottom)
{
    int changed = 0;
    for (int y = top; y < bottom; ++y) {
        for (int x = 2; x < 402; ++x)
            changed += Differs(a.At(x, y), b.At(x, y)) ? 1 : 0;
    }
    return changed;
}

class ConsoleDemoTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        VANTA_REQUIRE_DISPLAY();
        if (test::FindProgram("xdotool").empty()) GTEST_SKIP() << "xdotool is not installed (package xdotool)";
        demo_ = test::StartProgram({VANTA_CONSOLE_DEMO, "--still"});
        ASSERT_GT(demo_, 0);
        ASSERT_TRUE(PollFor([this] {
            window_ = test::FindWindowByTitle(TITLE);
            return window_ != 0 && test::IsWindowViewable(window_);
        })) << "the demo's window never appeared";
    }
    void TearDown() override
    {
        if (demo_ > 0) {
            ::kill(demo_, SIGTERM);
            test::WaitForProgram(demo_);
        }
    }

    Screen Capture()
    {
        Screen screen;
        EXPECT_TRUE(test::CaptureWindow(window_, screen.width, screen.height, screen.pixels));
        return screen;
    }
    // Captures until two captures 100 ms apart agree on the panel's rows (the slide has ended).
    Screen Settled()
    {
        Screen last = Capture();
        PollFor([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            Screen next = Capture();
            const bool still = ChangedPixels(last, next, 0, NEWEST_ROW + 12) == 0;
            last = std::move(next);
            return still;
        });
        return last;
    }

    pid_t demo_ = -1;
    unsigned long window_ = 0;
};

TEST_F(ConsoleDemoTest, F1ShowsTheConsoleTypedCommandsRunAndF1HidesItAgain)
{
    const Screen hidden = Settled();
    ASSERT_EQ(hidden.width, 640);
    ASSERT_EQ(hidden.height, 480);

    ASSERT_TRUE(Xdotool({"key", "F1"}));
    ASSERT_TRUE(PollFor([&] { return ChangedPixels(hidden, Capture(), 0, PANEL_HEIGHT) > 2000; }))
        << "the panel never came down";
    const Screen welcome = Settled();

    // Typed at xdotool's pace (one key every 12 ms, far faster than the console's 50 ms period). "$cls"
    // takes the two welcome lines away.
    ASSERT_TRUE(Xdotool({"type", "--delay", "12", "$cls"}));
    ASSERT_TRUE(Xdotool({"key", "Return"}));
    ASSERT_TRUE(PollFor([&] {
        const Screen now = Capture();
        return ChangedPixels(welcome, now, NEWEST_ROW + 1, NEWEST_ROW + 11) > 40 &&
               ChangedPixels(welcome, now, NEWEST_ROW - 11, NEWEST_ROW - 1) > 40;
    })) << "$cls never cleared the welcome lines";
    const Screen cleared = Settled();

    ASSERT_TRUE(Xdotool({"type", "--delay", "12", "$version"}));
    ASSERT_TRUE(Xdotool({"key", "Return"}));
    // "$version" runs only if every character arrived: then the entered line and the banner fill the two
    // newest rows, and the row above them stays empty.
    ASSERT_TRUE(PollFor([&] {
        const Screen now = Capture();
        return ChangedPixels(cleared, now, NEWEST_ROW + 1, NEWEST_ROW + 11) > 40 &&
               ChangedPixels(cleared, now, NEWEST_ROW - 11, NEWEST_ROW - 1) > 40;
    })) << "the version banner never showed";
    const Screen answered = Settled();
    EXPECT_EQ(ChangedPixels(cleared, answered, NEWEST_ROW - 23, NEWEST_ROW - 13), 0) << "only two lines were added";

    ASSERT_TRUE(Xdotool({"key", "F1"}));
    EXPECT_TRUE(PollFor([&] { return ChangedPixels(hidden, Capture(), 0, PANEL_HEIGHT) < 20; }))
        << "the panel never went away";

    ASSERT_TRUE(Xdotool({"key", "Escape"}));
    EXPECT_EQ(test::WaitForProgram(demo_), 0);
    demo_ = -1;
}

} // namespace
} // namespace vanta
