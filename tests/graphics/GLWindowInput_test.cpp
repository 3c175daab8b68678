// The game's window made by `GLContextCreate` on a real X server, driven with real X11 input from
// xdotool and read back through the system module's input functions: keys with auto-repeat, Shift,
// typed characters, the wheel, a click, the pointer, and the close request the window must survive.
#include "graphics/gl/GLContext.h"
#include "platform/Platform.h"
#include "support/GLWindowSuite.h"
#include "support/VirtualDisplay.h"
#include "support/WaitForMessages.h"
#include "support/X11Tools.h"
#include "system/HostDriver.h"
#include "system/System.h"

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace vanta {
namespace {

using test::Xdotool;

using test::RunProgram;

constexpr const char* title = "VantaMax Application";

// Polls until `done` holds or 10 s have passed; every input query pumps messages itself.
bool PollUntil(const std::function<bool()>& done)
{
    return test::WaitUntil(done);
}

class GLWindowInputTest : public test::GLWindowSuite
{
protected:
    void SetUp() override
    {
        if (test::FindProgram("xdotool").empty()) GTEST_SKIP() << "xdotool is not installed (package xdotool)";
        GLWindowSuite::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        context_ = GLContextCreate(640, 480, 0, 0, GFX_BACKBUFFER);
        ASSERT_NE(context_, nullptr) << GLContextError();
        ASSERT_TRUE(PollUntil([this] {
            PumpMessages();
            return platform::GetFocus() == context_->window;
        })) << "the window never got the focus";
        windowId_ = std::to_string(test::FindWindowByTitle(title));
        ASSERT_NE(windowId_, "0");
        ClearKeys();
    }

    void TearDown() override
    {
        platform::DestroyWindow(other_);
        GLContextDestroy(context_);
        ClearKeys();
    }

    VTGLContext* context_ = nullptr;
    std::string windowId_;
    platform::Window* other_ = nullptr; // a second window a test makes, destroyed with the game window
};

TEST_F(GLWindowInputTest, AHeldKeyIsOneHitAndTypesRepeatedCharacters)
{
    ASSERT_TRUE(Xdotool({"keydown", "a", "sleep", "1.2", "keyup", "a"}));
    int hits = 0;
    std::u16string typed;
    ASSERT_TRUE(PollUntil([&] {
        hits += KeyHits('A');
        while (const std::int32_t c = NextTypedChar())
            typed += static_cast<char16_t>(c);
        return typed.size() >= 2 && IsKeyDown('A') == 0;
    })) << "typed "
        << typed.size();
    EXPECT_EQ(hits, 1) << "auto-repeats are not hits";
    EXPECT_EQ(typed, std::u16string(typed.size(), u'a')) << "each repeat types one character";
}

TEST_F(GLWindowInputTest, ShiftIsTheLeftShiftAndTypesCapitals)
{
    ASSERT_TRUE(Xdotool({"keydown", "Shift_L", "key", "b", "keyup", "Shift_L"}));
    std::int32_t typed = 0;
    ASSERT_TRUE(PollUntil([&] {
        if (typed == 0) typed = NextTypedChar();
        return typed != 0 && IsKeyDown(16) == 0;
    }));
    EXPECT_EQ(typed, 'B');
    EXPECT_EQ(KeyHits(16), 1);
    EXPECT_EQ(KeyHits(160), 1);
    EXPECT_EQ(KeyHits(161), 0);
    EXPECT_EQ(KeyHits('B'), 1);
    EXPECT_EQ(IsKeyDown(160), 0);
}

TEST_F(GLWindowInputTest, WheelClickAndPointerPosition)
{
    const std::int32_t wheel = WheelPosition();
    ASSERT_TRUE(Xdotool(
        {"mousemove", "--window", windowId_, "10", "20", "click", "4", "click", "4", "click", "5", "click", "1"}));
    int clicks = 0;
    ASSERT_TRUE(PollUntil([&] {
        clicks += ButtonHits(1);
        return clicks > 0 && IsButtonDown(1) == 0;
    }));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(WheelPosition() - wheel, 1) << "two notches up, one down";
    EXPECT_EQ(PointerX(), 10);
    EXPECT_EQ(PointerY(), 20);
    EXPECT_EQ(ButtonHits(2), 0);
}

TEST_F(GLWindowInputTest, DraggingLeftOfAndAboveTheWindowGivesNegativePositions)
{
    // The client area sits at (32, 32) on the desktop; a held button keeps the pointer reported outside it.
    // Separate runs: chained after "mousemove --window", xdotool aims the later actions at that window
    // instead of acting where the pointer is, and the press never arrives as a hand's press would.
    ASSERT_TRUE(Xdotool({"mousemove", "--window", windowId_, "10", "10"}));
    ASSERT_TRUE(Xdotool({"mousedown", "1"}));
    ASSERT_TRUE(Xdotool({"mousemove", "12", "20"}));
    ASSERT_TRUE(PollUntil([] { return PointerX() < 0; })) << PointerX() << ", " << PointerY();
    EXPECT_EQ(PointerX(), 12 - 32);
    EXPECT_EQ(PointerY(), 20 - 32);
    EXPECT_EQ(IsButtonDown(1), 1);
    ASSERT_TRUE(Xdotool({"mouseup", "1"}));
    EXPECT_TRUE(PollUntil([] { return IsButtonDown(1) == 0; })) << "the release outside reaches the window";
}

TEST_F(GLWindowInputTest, TheClickThatGivesTheWindowTheFocusIsAHit)
{
    other_ = platform::CreateWindow(0, "vanta other", platform::WS_VISIBLE | platform::WS_CAPTION, 700, 600, 64, 48,
                                    nullptr);
    platform::Window* other = other_;
    ASSERT_NE(other, nullptr) << platform::WindowError();
    ASSERT_TRUE(PollUntil([other] {
        PumpMessages();
        return platform::GetFocus() == other;
    }));
    ASSERT_TRUE(Xdotool({"mousemove", "--window", windowId_, "10", "10"}));
    // Nothing is pumped until the focus change and the click both wait in the queue, as when the user
    // clicks an inactive window and the desktop activates it.
    ASSERT_TRUE(platform::SetFocus(context_->window));
    ASSERT_TRUE(Xdotool({"click", "1"}));
    int clicks = 0;
    EXPECT_TRUE(PollUntil([&] {
        clicks += ButtonHits(1);
        return clicks > 0 && IsButtonDown(1) == 0;
    }));
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(platform::GetFocus(), context_->window);
}

TEST_F(GLWindowInputTest, MovingThePointerUsesClientCoordinatesOfTheActiveWindow)
{
    MovePointer(100, 50);
    EXPECT_TRUE(PollUntil([] { return PointerX() == 100 && PointerY() == 50; })) << PointerX() << ", " << PointerY();
}

TEST_F(GLWindowInputTest, TheWindowSurvivesTheCloseRequestAndKeepsReceivingInput)
{
    ASSERT_TRUE(test::RequestWindowClose(title));
    // Events arrive in order: once the key is read, the close request has been through the procedure.
    ASSERT_TRUE(Xdotool({"key", "z"}));
    ASSERT_TRUE(PollUntil([] { return KeyHits('Z') == 1; }));
    EXPECT_TRUE(platform::IsWindow(context_->window));
    std::int32_t width = 0;
    std::int32_t height = 0;
    GLContextSize(context_, width, height);
    EXPECT_EQ(width, 640);
    EXPECT_EQ(height, 480);
}

} // namespace
} // namespace vanta
