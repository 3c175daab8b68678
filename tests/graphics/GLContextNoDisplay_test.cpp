// The GL window and context layer on a machine without a display: creation answers null with the
// platform's reason, the driver answers Null (writing that reason to standard error) and no modes, and
// nothing crashes or ends the process.
#include "graphics/gl/GLContext.h"
#include "graphics/gl/GLContextDriver.h"
#include "platform/Platform.h"

#include <cstdlib>
#include <string>

#include <gtest/gtest.h>

namespace vanta {
namespace {

class GLContextNoDisplayTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        ::unsetenv("DISPLAY");
        ::unsetenv("WAYLAND_DISPLAY");
        ::unsetenv("SDL_VIDEODRIVER");
        InitGLContextDriver();
    }
};

TEST_F(GLContextNoDisplayTest, CreationAnswersNullAndSaysWhy)
{
    EXPECT_EQ(GLContextCreate(640, 480, 0, 60, GFX_BACKBUFFER), nullptr);
    const std::string reason = GLContextError();
    EXPECT_NE(reason.find("no display"), std::string::npos) << reason;
    EXPECT_EQ(GLSharedContext(), nullptr);
    EXPECT_EQ(GLContextAttach(nullptr, 0), nullptr);
}

TEST_F(GLContextNoDisplayTest, AFailedFullScreenRequestLeavesNoFullScreenState)
{
    EXPECT_EQ(GLContextCreate(640, 480, 32, 60, GFX_BACKBUFFER), nullptr);
    EXPECT_EQ(FullScreenState(), 0);
    EXPECT_NE(std::string(GLContextError()), "");
}

TEST_F(GLContextNoDisplayTest, TheDriverAnswersNullWithThePlatformsReasonOnStandardErrorAndNoModes)
{
    const Ref<TGLContextDriver>& driver = GLContextDriver();
    ASSERT_FALSE(driver.IsNull());
    ::testing::internal::CaptureStderr();
    EXPECT_TRUE(driver->CreateGraphics(640, 480, 0, 0, GFX_BACKBUFFER).IsNull());
    const std::string said = ::testing::internal::GetCapturedStderr();
    // The whole reason, down to the platform's, so that a user can report it.
    EXPECT_NE(said.find(std::string("VantaMax: ") + GLContextError() + "\n"), std::string::npos) << said;
    EXPECT_NE(said.find("Video cannot start: no display"), std::string::npos) << said;
    ::testing::internal::CaptureStderr();
    EXPECT_TRUE(driver->AttachGraphics(nullptr, 0).IsNull());
    EXPECT_NE(::testing::internal::GetCapturedStderr().find("VantaMax: "), std::string::npos);
    EXPECT_EQ(driver->DisplayModes()->Length(), 0);
    std::int32_t buffer[8] = {};
    EXPECT_EQ(GLEnumDisplayModes(buffer, 2), 0);
}

TEST_F(GLContextNoDisplayTest, OperationsOnNothingDoNothing)
{
    GLContextDestroy(nullptr);
    GLContextSetCurrent(nullptr);
    GLContextFlip(nullptr);
    std::int32_t width = 7;
    std::int32_t height = 7;
    GLContextSize(nullptr, width, height);
    EXPECT_EQ(width, 0);
    EXPECT_EQ(height, 0);
    {
        const GLSharedContextScope shared;
    }
    GLSetSwapInterval(1);
    GLShowCursor(0);
    EXPECT_EQ(platform::ShowCursor(true), 1) << "windowed: the pointer counter was left alone";
    platform::ShowCursor(false);
    const Ref<TGLSurface> surface = TGLSurface::Create(nullptr);
    surface->Activate();
    surface->Flip();
    surface->GetSize(width, height);
    surface->Close();
    EXPECT_EQ(width, 0);
}

} // namespace
} // namespace vanta
