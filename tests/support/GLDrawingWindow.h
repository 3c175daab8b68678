// A graphics window opened through the GL 2D driver, for tests that draw with it and read pixels back.
//
// The suite runs on the virtual X display (GLX with Mesa's software renderer) or, when built with
// VANTA_GL_OFFSCREEN, on SDL's offscreen video driver (EGL). The window is opened with the program's own
// calls (`SelectGraphicsDriver` with the GL 2D driver and `GFX_BACKBUFFER`, then `OpenGraphics` without
// pacing) and closed after each test; video stops when the suite ends. Reads are from the back buffer
// that the drawing went to, in the 2D layer's coordinates (top-left origin, y downwards).
//
//     class MyTest : public test::GLDrawingTest {};
//     TEST_F(MyTest, RedFills) { SetColor(255, 0, 0); DrawRect(0, 0, 64, 48); ExpectAt(5, 5, 255, 0, 0); }
#pragma once

#include "graphics/Draw.h"
#include "graphics/Graphics.h"
#include "graphics/gl/GLFlat2DDriver.h"
#include "platform/Platform.h"
#include "startup/ModuleSequence.h"
#include "support/GLReadback.h"
#include "support/VirtualDisplay.h"
#include "system/System.h"

#include <cstdlib>

#include <GL/gl.h>
#include <gtest/gtest.h>

namespace vanta::test {

class GLDrawingTest : public ::testing::Test
{
protected:
    static constexpr std::int32_t width = 200;
    static constexpr std::int32_t height = 160;

    static void TearDownTestSuite()
    {
        SelectGraphicsDriver(Null, 0);
        platform::StopVideo();
    }

    void SetUp() override
    {
        VANTA_REQUIRE_GL_SURFACE();
        RunModuleInitialisers(MODULES_GRAPHICS);
        ASSERT_TRUE(platform::StartVideo()) << platform::VideoError();
        SelectGraphicsDriver(GLFlat2DDriver(), GFX_BACKBUFFER);
        Open();
    }

    void TearDown() override { CloseGraphics(); }

    // Opens (again) the window of `width` x `height`, unpaced, with the drawing state reset.
    static void Open() { OpenGraphics(width, height, 0, SYNC_NONE | 60); }

    // The back buffer's pixel at (x, y), top-left origin, once the driver has sent what it holds.
    static Pixel At(int x, int y)
    {
        CurrentFlat2DDriver()->Flush();
        glFinish();
        return ReadPixel(x, height - 1 - y);
    }

    static void ExpectAt(int x, int y, int red, int green, int blue)
    {
        SCOPED_TRACE(::testing::Message() << "pixel (" << x << ", " << y << ")");
        ExpectColour(At(x, y), red, green, blue);
    }
};

} // namespace vanta::test
