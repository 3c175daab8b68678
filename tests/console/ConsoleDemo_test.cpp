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

using test::Xdotool;

constexpr const char* TITLE = "VantaMax console demo";

// The panel: 640 wide, 14 lines of 12 pixels; the newest line's row starts 24 pixels above its bottom.
constexpr int PANEL_HEIGHT = 14 * 12;
constexpr int NEWEST_ROW = PANEL_HEIGHT - 24;

// What the demo paints (examples/console-demo/ConsoleDemo.cpp), as 0xRRGGBB: eight sky bands of 60 rows,
// band b in (20 + 6b, 30 + 10b, 70 + 12b), and the panel in (60, 140, 230), its frame lines opaque.
constexpr unsigned long SKY_BAND_0 = 0x141E46; // rows 0-59
constexpr unsigned long SKY_BAND_2 = 0x20325E; // rows 120-179
constexpr unsigned long PANEL_FRAME = 0x3C8CE6;
// A column of the compared rows that no text reaches.
constexpr int PROBE_X = 600;

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
    // Captures until the window shows the panel at rest where `atRest` says it must be, and two captures
    // 100 ms apart agree on the panel's rows; false when that did not happen within 10 s. A still picture
    // alone proves nothing: the window is black for its first frames, and a slow frame mid-slide looks still.
    bool Settled(Screen& settled, const std::function<bool(const Screen&)>& atRest)
    {
        Screen last = Capture();
        return PollFor([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
            Screen next = Capture();
            const bool still = !next.pixels.empty() && atRest(next) && atRest(last) &&
                               ChangedPixels(last, next, 0, NEWEST_ROW + 12) == 0;
            last = std::move(next);
            if (still) settled = last;
            return still;
        });
    }
    // The scene with the panel all the way up: the sky's own colours at the top row and just below where the
    // panel's bottom would be. The panel slides by 22 rows a step and is drawn down to row y + 168, so any
    // step short of the top still covers row 10.
    static bool PanelHidden(const Screen& screen)
    {
        return !Differs(screen.At(PROBE_X, 10), SKY_BAND_0) && !Differs(screen.At(PROBE_X, PANEL_HEIGHT), SKY_BAND_2);
    }
    // The panel all the way down: its bottom frame line on row 168, which no step of the slide passes through
    // (they put it on rows 21, 43, ... 153); the line may fall on the row above, depending on how the driver
    // rounds a line's position.
    static bool PanelShown(const Screen& screen)
    {
        return !Differs(screen.At(PROBE_X, PANEL_HEIGHT), PANEL_FRAME) ||
               !Differs(screen.At(PROBE_X, PANEL_HEIGHT - 1), PANEL_FRAME);
    }

    pid_t demo_ = -1;
    unsigned long window_ = 0;
};

TEST_F(ConsoleDemoTest, F1ShowsTheConsoleTypedCommandsRunAndF1HidesItAgain)
{
    Screen hidden;
    ASSERT_TRUE(Settled(hidden, PanelHidden)) << "the scene never showed with the panel hidden";
    ASSERT_EQ(hidden.width, 640);
    ASSERT_EQ(hidden.height, 480);

    ASSERT_TRUE(Xdotool({"key", "F1"}));
    ASSERT_TRUE(PollFor([&] { return ChangedPixels(hidden, Capture(), 0, PANEL_HEIGHT) > 2000; }))
        << "the panel never came down";
    Screen welcome;
    ASSERT_TRUE(Settled(welcome, PanelShown)) << "the panel never came to rest at the bottom of its slide";

    // Typed at xdotool's pace (one key every 12 ms, far faster than the console's 50 ms period). "$cls"
    // takes the two welcome lines away.
    ASSERT_TRUE(Xdotool({"type", "--delay", "12", "$cls"}));
    ASSERT_TRUE(Xdotool({"key", "Return"}));
    ASSERT_TRUE(PollFor([&] {
        const Screen now = Capture();
        return ChangedPixels(welcome, now, NEWEST_ROW + 1, NEWEST_ROW + 11) > 40 &&
               ChangedPixels(welcome, now, NEWEST_ROW - 11, NEWEST_ROW - 1) > 40;
    })) << "$cls never cleared the welcome lines";
    Screen cleared;
    ASSERT_TRUE(Settled(cleared, PanelShown));

    ASSERT_TRUE(Xdotool({"type", "--delay", "12", "$version"}));
    ASSERT_TRUE(Xdotool({"key", "Return"}));
    // "$version" runs only if every character arrived: then the entered line and the banner fill the two
    // newest rows, and the row above them stays empty.
    ASSERT_TRUE(PollFor([&] {
        const Screen now = Capture();
        return ChangedPixels(cleared, now, NEWEST_ROW + 1, NEWEST_ROW + 11) > 40 &&
               ChangedPixels(cleared, now, NEWEST_ROW - 11, NEWEST_ROW - 1) > 40;
    })) << "the version banner never showed";
    Screen answered;
    ASSERT_TRUE(Settled(answered, PanelShown));
    EXPECT_EQ(ChangedPixels(cleared, answered, NEWEST_ROW - 23, NEWEST_ROW - 13), 0) << "only two lines were added";

    ASSERT_TRUE(Xdotool({"key", "F1"}));
    EXPECT_TRUE(PollFor([&] {
        const Screen now = Capture();
        return PanelHidden(now) && ChangedPixels(hidden, now, 0, PANEL_HEIGHT) < 20;
    })) << "the panel never went away";

    ASSERT_TRUE(Xdotool({"key", "Escape"}));
    EXPECT_EQ(test::WaitForProgram(demo_), 0);
    demo_ = -1;
}

} // namespace
} // namespace vanta
