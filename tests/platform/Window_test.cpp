// Real windows on a real X server (a private Xvfb), driven with real X11 input from
// xdotool: placement and styles, keys with auto-repeat, Shift and Alt, the mouse, the close request,
// focus, display modes and message boxes.
#include "platform/Platform.h"
#include "support/RecordingProc.h"
#include "support/VirtualDisplay.h"
#include "support/WaitForMessages.h"
#include "support/X11Tools.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace vanta::platform {
namespace {

using test::Xdotool;

using test::RunProgram;

using test::RecordingProc;
using test::Seen;
using test::seen;

// Pumps, translates and dispatches until `done` holds or 10 s have passed (the X server and xdotool may
// be slow on a loaded machine). Answers whether `done` was reached.
bool PumpUntil(const std::function<bool()>& done)
{
    return test::WaitUntil(done, [] {
        Message message;
        while (PeekMessage(message)) {
            TranslateMessage(message);
            DispatchMessage(message);
        }
    });
}

bool Saw(std::uint32_t message, std::uintptr_t wParam)
{
    for (const Seen& s : seen) {
        if (s.message == message && s.wParam == wParam) return true;
    }
    return false;
}

std::vector<Seen> Only(std::initializer_list<std::uint32_t> messages)
{
    std::vector<Seen> kept;
    for (const Seen& s : seen) {
        for (std::uint32_t m : messages) {
            if (s.message == m) kept.push_back(s);
        }
    }
    return kept;
}

int ScanCode(const Seen& s)
{
    return static_cast<int>((s.lParam >> KEYDATA_SCANCODE_SHIFT) & 0xFF);
}

class WindowTest : public ::testing::Test
{
protected:
    static void TearDownTestSuite() { StopVideo(); }

    void SetUp() override
    {
        VANTA_REQUIRE_DISPLAY();
        if (test::FindProgram("xdotool").empty()) GTEST_SKIP() << "xdotool is not installed (package xdotool)";
        ASSERT_TRUE(StartVideo()) << VideoError();
        seen.clear();
    }

    void TearDown() override
    {
        for (Window* window : windows_)
            DestroyWindow(window);
        Message message;
        while (PeekMessage(message)) {}
    }

    // A visible 640 x 480 client area at (32, 32) with a caption, topmost, as the game's window is.
    Window* OpenFocusedWindow(const std::string& title)
    {
        Window* window =
            CreateWindow(WS_EX_TOPMOST, title.c_str(), WS_VISIBLE | WS_CAPTION, 32, 32, 640, 480, RecordingProc);
        EXPECT_NE(window, nullptr) << WindowError();
        if (window == nullptr) return nullptr;
        windows_.push_back(window);
        EXPECT_TRUE(PumpUntil([window] { return GetFocus() == window && Saw(WM_SETFOCUS, 0); }))
            << "the new window never got the focus";
        seen.clear();
        return window;
    }

    std::vector<Window*> windows_;
};

TEST_F(WindowTest, WindowedPlacementStylesAndTitle)
{
    Window* window = OpenFocusedWindow("VantaMax Application");
    ASSERT_NE(window, nullptr);
    int width = 0;
    int height = 0;
    GetClientSize(window, width, height);
    EXPECT_EQ(width, 640);
    EXPECT_EQ(height, 480);
    int x = 0;
    int y = 0;
    GetWindowPosition(window, x, y);
    EXPECT_EQ(x, 32);
    EXPECT_EQ(y, 32);
    const std::uint32_t style = GetWindowStyle(window);
    EXPECT_EQ(style & WS_CAPTION, WS_CAPTION);
    EXPECT_EQ(style & WS_VISIBLE, WS_VISIBLE);
    EXPECT_EQ(style & WS_THICKFRAME, 0u) << "no sizing border";
    EXPECT_EQ(GetWindowExStyle(window), WS_EX_TOPMOST);
    EXPECT_STREQ(GetWindowTitle(window), "VantaMax Application");
    EXPECT_EQ(GetActiveWindow(), window);
    int sx = 10;
    int sy = 20;
    ClientToScreen(window, sx, sy);
    EXPECT_EQ(sx, 42);
    EXPECT_EQ(sy, 52);
}

TEST_F(WindowTest, HiddenPopupWindowStaysHidden)
{
    Window* window = CreateWindow(WS_EX_TOPMOST, "VantaGL Application", WS_POPUP, 0, 0, 1, 1, nullptr);
    ASSERT_NE(window, nullptr) << WindowError();
    windows_.push_back(window);
    EXPECT_EQ(GetWindowStyle(window), WS_POPUP);
    int width = 0;
    int height = 0;
    GetClientSize(window, width, height);
    EXPECT_EQ(width, 1);
    EXPECT_EQ(height, 1);
}

TEST_F(WindowTest, HeldKeyRepeatsWithBit30AndTypesCharacters)
{
    Window* window = OpenFocusedWindow("vanta keys");
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(Xdotool({"keydown", "a", "sleep", "1.2", "keyup", "a"}));
    ASSERT_TRUE(PumpUntil([] { return Saw(WM_KEYUP, 'A'); }));
    const auto keys = Only({WM_KEYDOWN, WM_KEYUP});
    ASSERT_GE(keys.size(), 3u) << "one press, at least one auto-repeat, one release";
    EXPECT_EQ(keys.front().message, WM_KEYDOWN);
    EXPECT_EQ(keys.front().wParam, static_cast<std::uintptr_t>('A'));
    EXPECT_EQ(keys.front().lParam, 0x001E0001);
    for (std::size_t i = 1; i + 1 < keys.size(); ++i) {
        EXPECT_EQ(keys[i].message, WM_KEYDOWN);
        EXPECT_EQ(keys[i].lParam, 0x401E0001) << "auto-repeat sets bit 30";
    }
    EXPECT_EQ(keys.back().lParam, 0xC01E0001);
    EXPECT_EQ(keys.back().window, window);
    const auto characters = Only({WM_CHAR});
    EXPECT_EQ(characters.size(), keys.size() - 1) << "one 'a' per press and repeat";
    for (const Seen& c : characters)
        EXPECT_EQ(c.wParam, static_cast<std::uintptr_t>('a'));
}

TEST_F(WindowTest, ShiftGivesItsScanCodeAndCapitals)
{
    Window* window = OpenFocusedWindow("vanta shift");
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(Xdotool({"keydown", "Shift_L", "key", "b", "keyup", "Shift_L"}));
    ASSERT_TRUE(PumpUntil([] { return Saw(WM_KEYUP, VK_SHIFT); }));
    const auto keys = Only({WM_KEYDOWN, WM_KEYUP});
    ASSERT_EQ(keys.size(), 4u);
    EXPECT_EQ(keys[0].wParam, static_cast<std::uintptr_t>(VK_SHIFT));
    EXPECT_EQ(ScanCode(keys[0]), 42);
    EXPECT_EQ(keys[1].wParam, static_cast<std::uintptr_t>('B'));
    EXPECT_EQ(keys[3].message, WM_KEYUP);
    EXPECT_EQ(ScanCode(keys[3]), 42);
    EXPECT_TRUE(Saw(WM_CHAR, 'B'));
}

TEST_F(WindowTest, AltKeysAreSystemKeysAndSpecialKeysTranslateToCharacters)
{
    Window* window = OpenFocusedWindow("vanta alt");
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(Xdotool({"key", "alt+x", "Return", "Escape", "BackSpace", "Tab"}));
    ASSERT_TRUE(PumpUntil([] { return Saw(WM_CHAR, 9); }));
    EXPECT_TRUE(Saw(WM_SYSKEYDOWN, VK_MENU));
    EXPECT_TRUE(Saw(WM_SYSKEYDOWN, 'X'));
    EXPECT_TRUE(Saw(WM_SYSCHAR, 'x'));
    EXPECT_TRUE(Saw(WM_CHAR, 13));
    EXPECT_TRUE(Saw(WM_CHAR, 27));
    EXPECT_TRUE(Saw(WM_CHAR, 8));
}

TEST_F(WindowTest, MouseMoveClickAndWheelNotch)
{
    Window* window = OpenFocusedWindow("vanta mouse");
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(Xdotool({"search", "--name", "^vanta mouse$", "mousemove", "--window", "%1", "10", "20", "click", "1",
                         "click", "4", "click", "5", "click", "3"}));
    ASSERT_TRUE(PumpUntil([] { return Saw(WM_RBUTTONUP, 0); }));
    const auto moves = Only({WM_MOUSEMOVE});
    ASSERT_FALSE(moves.empty());
    EXPECT_EQ(XFromLParam(moves.back().lParam), 10);
    EXPECT_EQ(YFromLParam(moves.back().lParam), 20);
    const auto buttons = Only({WM_LBUTTONDOWN, WM_LBUTTONUP, WM_MOUSEWHEEL, WM_RBUTTONDOWN, WM_RBUTTONUP});
    ASSERT_EQ(buttons.size(), 6u);
    EXPECT_EQ(buttons[0].message, WM_LBUTTONDOWN);
    EXPECT_EQ(buttons[0].lParam, MakeLParam(10, 20));
    EXPECT_EQ(buttons[1].message, WM_LBUTTONUP);
    EXPECT_EQ(buttons[2].message, WM_MOUSEWHEEL);
    EXPECT_EQ(WheelDeltaFromWParam(buttons[2].wParam), WHEEL_DELTA);
    EXPECT_EQ(XFromLParam(buttons[2].lParam), 42) << "wheel positions are desktop positions";
    EXPECT_EQ(WheelDeltaFromWParam(buttons[3].wParam), -WHEEL_DELTA);
    EXPECT_EQ(buttons[4].message, WM_RBUTTONDOWN);
    EXPECT_EQ(buttons[5].message, WM_RBUTTONUP);
}

TEST_F(WindowTest, CloseRequestReachesTheProcedureAndTheWindowStays)
{
    Window* window = OpenFocusedWindow("vanta close");
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(test::RequestWindowClose("vanta close"));
    ASSERT_TRUE(PumpUntil([] { return Saw(WM_CLOSE, 0); }));
    EXPECT_TRUE(IsWindow(window));
    // Still a working window: it keeps receiving input.
    ASSERT_TRUE(Xdotool({"key", "z"}));
    EXPECT_TRUE(PumpUntil([] { return Saw(WM_KEYUP, 'Z'); }));
}

TEST_F(WindowTest, FocusMovesToANewWindowAndWarpingMovesThePointer)
{
    Window* first = OpenFocusedWindow("vanta first");
    ASSERT_NE(first, nullptr);
    Window* second = OpenFocusedWindow("vanta second");
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(GetFocus(), second);
    EXPECT_TRUE(SetFocus(first));
    ASSERT_TRUE(PumpUntil([first] { return GetFocus() == first; }));
    bool firstGained = false;
    bool secondLost = false;
    for (const Seen& s : seen) {
        firstGained = firstGained || (s.window == first && s.message == WM_SETFOCUS);
        secondLost = secondLost || (s.window == second && s.message == WM_KILLFOCUS);
    }
    EXPECT_TRUE(firstGained);
    EXPECT_TRUE(secondLost);

    seen.clear();
    ASSERT_TRUE(WarpPointer(first, 100, 50));
    ASSERT_TRUE(PumpUntil([first] {
        for (const Seen& s : seen) {
            if (s.window == first && s.message == WM_MOUSEMOVE && s.lParam == MakeLParam(100, 50)) return true;
        }
        return false;
    }));
}

TEST_F(WindowTest, CaptureNeedsTheFocusAndIsReleased)
{
    Window* window = OpenFocusedWindow("vanta capture");
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(SetCapture(window)) << WindowError();
    ReleaseCapture();
    EXPECT_FALSE(SetCapture(nullptr));
}

TEST_F(WindowTest, DisplayModesAreListedAndFullScreenSwitchesAndReturns)
{
    DisplayMode desktop;
    ASSERT_TRUE(GetDesktopDisplayMode(desktop));
    std::vector<DisplayMode> modes;
    DisplayMode mode;
    for (int i = 0; EnumDisplaySettings(i, mode); ++i)
        modes.push_back(mode);
    ASSERT_FALSE(modes.empty());
    EXPECT_FALSE(EnumDisplaySettings(static_cast<int>(modes.size()), mode));
    EXPECT_FALSE(EnumDisplaySettings(-1, mode));
    bool desktopListed = false;
    for (const DisplayMode& m : modes) {
        EXPECT_GE(m.bitsPerPixel, 16);
        desktopListed = desktopListed || (m.width == desktop.width && m.height == desktop.height);
    }
    EXPECT_TRUE(desktopListed);

    Window* window = CreateWindow(WS_EX_TOPMOST, "vanta full screen", WS_POPUP | WS_VISIBLE, 0, 0, desktop.width,
                                  desktop.height, RecordingProc);
    ASSERT_NE(window, nullptr) << WindowError();
    windows_.push_back(window);
    // An unlisted refresh rate is refused, and the same mode without a rate is then taken.
    EXPECT_FALSE(ChangeDisplayMode(window, {desktop.width, desktop.height, desktop.bitsPerPixel, 1234}));
    EXPECT_FALSE(IsFullScreen(window));
    EXPECT_FALSE(ChangeDisplayMode(window, {desktop.width + 1, desktop.height, 0, 0}));
    EXPECT_NE(std::string(WindowError()), "");
    ASSERT_TRUE(ChangeDisplayMode(window, {desktop.width, desktop.height, desktop.bitsPerPixel, 0})) << WindowError();
    EXPECT_TRUE(IsFullScreen(window));
    EXPECT_TRUE(RestoreDisplayMode(window)) << WindowError();
    EXPECT_FALSE(IsFullScreen(window));
    EXPECT_FALSE(RestoreDisplayMode(window)) << "not full screen any more";
}

TEST_F(WindowTest, MessageBoxesAnswerWithWindowsButtonIds)
{
    Window* window = OpenFocusedWindow("vanta owner");
    ASSERT_NE(window, nullptr);
    // A helper process answers each box once it is on screen (Enter picks the first button, Escape
    // cancels). Not a thread: SDL shows the box in a forked child, which a thread of this program holding
    // an allocator lock at that moment would leave stuck.
    const auto helper = std::filesystem::canonical("/proc/self/exe").parent_path() / "vanta_answer_window";
    const auto answer = [&helper](const std::string& caption, const std::string& key) {
        return test::StartProgram({helper.string(), caption, "key", key});
    };
    const pid_t yes = answer("vanta question", "Return");
    EXPECT_EQ(MessageBox(window, "Save?", "vanta question", MB_YESNOCANCEL | MB_ICONEXCLAMATION | MB_TOPMOST), IDYES)
        << MessageBoxError();
    EXPECT_EQ(test::WaitForProgram(yes), 0);
    const pid_t cancel = answer("vanta cancel", "Escape");
    EXPECT_EQ(MessageBox(window, "Go on?", "vanta cancel", MB_OKCANCEL | MB_ICONINFORMATION), IDCANCEL)
        << MessageBoxError();
    EXPECT_EQ(test::WaitForProgram(cancel), 0);
    const pid_t ok = answer("vanta notice", "Escape");
    EXPECT_EQ(MessageBox(nullptr, "Done.", "vanta notice", MB_OK), IDOK) << MessageBoxError();
    EXPECT_EQ(test::WaitForProgram(ok), 0);
}

} // namespace
} // namespace vanta::platform
