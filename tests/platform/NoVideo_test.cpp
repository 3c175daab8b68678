// What the platform reports when there is no display: a status and a reason, never a crash or an exit; and
// how often it asks a local X server that drops its connections (as one does while it resets).
#include "platform/Platform.h"
#include "support/RefusingXServer.h"

#include <algorithm>
#include <chrono>
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

// The number of lines of `text` that contain `part`.
int LinesWith(const std::string& text, const std::string& part)
{
    int count = 0;
    for (std::size_t start = 0; start < text.size();) {
        const std::size_t end = std::min(text.find('\n', start), text.size());
        if (text.substr(start, end - start).find(part) != std::string::npos) ++count;
        start = end + 1;
    }
    return count;
}

TEST_F(NoVideoTest, AnXServerThatDropsEveryConnectionIsAskedEightTimesInAboutThreeSecondsEachTryReported)
{
    test::RefusingXServer server;
    ASSERT_TRUE(server.Ready());
    ::setenv("DISPLAY", server.Name().c_str(), 1);
    ::testing::internal::CaptureStderr();
    const auto start = std::chrono::steady_clock::now();
    const bool started = StartVideo();
    const auto took = std::chrono::steady_clock::now() - start;
    const std::string said = ::testing::internal::GetCapturedStderr();
    ::unsetenv("DISPLAY");

    EXPECT_FALSE(started);
    EXPECT_EQ(GetVideoStatus(), VideoStatus::Unavailable);
    const std::string reason = VideoError();
    EXPECT_NE(reason.find("no display"), std::string::npos) << reason;
    EXPECT_NE(reason.find("(8 tries)"), std::string::npos) << reason;
    // Seven retries, each on a line of its own that names the display; waits of 25 ms doubling to 1.6 s.
    EXPECT_EQ(LinesWith(said, "trying again"), 7) << said;
    EXPECT_EQ(LinesWith(said, "\"" + server.Name() + "\" did not take the connection"), 7) << said;
    EXPECT_EQ(LinesWith(said, "(try 8 of 8)"), 1) << said;
    EXPECT_GE(server.Connections(), 8);
    EXPECT_GE(took, std::chrono::milliseconds(3175));
    EXPECT_LT(took, std::chrono::seconds(30));
}

TEST_F(NoVideoTest, AnXDisplayWithoutAServerIsNotAskedAgain)
{
    // The display of a server that went away: no socket, so nothing is there to finish a reset.
    std::string name;
    {
        const test::RefusingXServer gone;
        ASSERT_TRUE(gone.Ready());
        name = gone.Name();
    }
    ::setenv("DISPLAY", name.c_str(), 1);
    ::testing::internal::CaptureStderr();
    const bool started = StartVideo();
    const std::string said = ::testing::internal::GetCapturedStderr();
    ::unsetenv("DISPLAY");

    EXPECT_FALSE(started);
    EXPECT_EQ(LinesWith(said, "trying again"), 0) << said;
    const std::string reason = VideoError();
    EXPECT_NE(reason.find("no display"), std::string::npos) << reason;
    EXPECT_EQ(reason.find("tries"), std::string::npos) << reason;
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
