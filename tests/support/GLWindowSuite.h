// A GoogleTest fixture for suites that open GL windows on the private virtual display: each test starts
// the system module and the platform's video, and the hidden shared context and the video go once, when
// the suite ends (making them again for every test would cost a GL context start each time).
//
// Builds on VirtualDisplay and the GL context layer; header only.
#pragma once

#include "graphics/gl/GLContext.h"
#include "platform/Platform.h"
#include "support/VirtualDisplay.h"
#include "system/System.h"

#include <gtest/gtest.h>

namespace vanta::test {

class GLWindowSuite : public ::testing::Test
{
protected:
    static void TearDownTestSuite()
    {
        if (platform::GetVideoStatus() == platform::VideoStatus::Running) GLContextDestroy(GLSharedContext());
        platform::StopVideo();
    }

    // Skips the test where Xvfb is not installed, fails it where the display or the video cannot start.
    void SetUp() override
    {
        VANTA_REQUIRE_DISPLAY();
        InitSystem();
        ASSERT_TRUE(platform::StartVideo()) << platform::VideoError();
    }
};

} // namespace vanta::test
