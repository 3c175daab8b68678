// What the platform reports when there is no display: a status and a reason, never a crash or an exit.
#include "platform/Platform.h"

#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

namespace vanta::platform {
namespace {

class NoVideoTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        ::unsetenv("DISPLAY");
        ::unsetenv("WAYLAND_DISPLAY");
        ::unsetenv("SDL_VIDEODRIVER");
    }
};

TEST_F(NoVideoTest, StartingVideoWithoutADisplayReportsWhy)
{
    EXPECT_EQ(GetVideoStatus(), VideoStatus::NotStarted);
    EXPECT_STREQ(VideoError(), "");
    EXPECT_FALSE(StartVideo());
    EXPECT_EQ(GetVideoStatus(), VideoStatus::Unavailable);
    const std::string reason = VideoError();
    EXPECT_NE(reason.find("no display"), std::string::npos) << reason;
    EXPECT_NE(reason.find("DISPLAY"), std::string::npos) << reason;
    EXPECT_STREQ(VideoDriverName(), "");
}

TEST_F(NoVideoTest, WindowsAndContextsFailQuietly)
{
    EXPECT_EQ(CreateWindow(0, "none", WS_VISIBLE | WS_CAPTION, 0, 0, 64, 64, nullptr), nullptr);
    EXPECT_NE(std::string(WindowError()), "");
    EXPECT_EQ(CreateGLContext(nullptr), nullptr);
    EXPECT_FALSE(MakeCurrent(nullptr));
    EXPECT_FALSE(SwapBuffers(nullptr));
    DisplayMode mode;
    EXPECT_FALSE(EnumDisplaySettings(0, mode));
    EXPECT_EQ(GetFocus(), nullptr);
    EXPECT_FALSE(WarpPointer(nullptr, 1, 1));
    EXPECT_EQ(ShowCursor(false), -1);
    EXPECT_EQ(ShowCursor(true), 0);
}

TEST_F(NoVideoTest, TheMessageQueueStillWorks)
{
    EXPECT_TRUE(PostMessage(nullptr, WM_USER, 5, 6));
    Message message;
    ASSERT_TRUE(PeekMessage(message));
    EXPECT_EQ(message.wParam, 5u);
    EXPECT_FALSE(WaitMessage(10));
}

TEST_F(NoVideoTest, AMessageBoxAnswersZeroAndSaysWhy)
{
    EXPECT_EQ(MessageBox(nullptr, "text", "caption", MB_OKCANCEL | MB_ICONEXCLAMATION), 0);
    EXPECT_NE(std::string(MessageBoxError()), "");
}

TEST_F(NoVideoTest, AskingForTheOffscreenDriverStartsVideoAfterAFailure)
{
    ::setenv("SDL_VIDEODRIVER", "offscreen", 1);
    ASSERT_TRUE(StartVideo()) << VideoError();
    EXPECT_EQ(GetVideoStatus(), VideoStatus::Running);
    EXPECT_STREQ(VideoDriverName(), "offscreen");
    EXPECT_STREQ(VideoError(), "");
    StopVideo();
    EXPECT_EQ(GetVideoStatus(), VideoStatus::NotStarted);
}

} // namespace
} // namespace vanta::platform
