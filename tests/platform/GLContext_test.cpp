// GL contexts: OpenGL 1.1 immediate-mode drawing read back with glReadPixels, textures shared through the
// hidden context, pixel-format requests and the current-context rules. Built twice: under Xvfb (GLX with
// Mesa's software renderer) and, with VANTA_GL_OFFSCREEN, on SDL's offscreen driver (EGL).
#include "platform/Platform.h"
#include "support/GLReadback.h"
#include "support/VirtualDisplay.h"

#include <array>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

#include <gtest/gtest.h>

namespace vanta::platform {
namespace {

using test::ExpectColour;
using test::Pixel;
using test::PixelProjection;
using test::ReadPixel;

PixelFormat DoubleBuffered()
{
    PixelFormat format;
    format.flags = PFD_DOUBLEBUFFER;
    format.colorBits = 1;
    return format;
}

class GLContextTest : public ::testing::Test
{
protected:
    static void TearDownTestSuite() { StopVideo(); }

    void SetUp() override
    {
        VANTA_REQUIRE_GL_SURFACE();
        ASSERT_TRUE(StartVideo()) << VideoError();
    }

    void TearDown() override
    {
        MakeCurrent(nullptr);
        for (GLContext* context : contexts_)
            DeleteGLContext(context);
        for (Window* window : windows_)
            DestroyWindow(window);
    }

    Window* Open(int width, int height, const PixelFormat& format, std::uint32_t style = WS_VISIBLE | WS_CAPTION)
    {
        Window* window = CreateWindow(0, "vanta gl", style, 32, 32, width, height, nullptr, &format);
        EXPECT_NE(window, nullptr) << WindowError();
        if (window != nullptr) windows_.push_back(window);
        return window;
    }

    GLContext* Context(Window* window, GLContext* shareWith = nullptr)
    {
        GLContext* context = CreateGLContext(window, shareWith);
        EXPECT_NE(context, nullptr) << GLError();
        if (context != nullptr) contexts_.push_back(context);
        return context;
    }

    std::vector<Window*> windows_;
    std::vector<GLContext*> contexts_;
};

TEST_F(GLContextTest, ImmediateModeQuadIsReadBack)
{
    Window* window = Open(64, 48, DoubleBuffered());
    ASSERT_NE(window, nullptr);
    GLContext* context = Context(window);
    ASSERT_NE(context, nullptr);
    ASSERT_TRUE(MakeCurrent(context)) << GLError();
    EXPECT_EQ(CurrentGLContext(), context);
    EXPECT_EQ(GLContextWindow(context), window);

    PixelProjection(64, 48);
    glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glColor3ub(255, 128, 0);
    glBegin(GL_QUADS);
    glVertex2f(16, 12);
    glVertex2f(48, 12);
    glVertex2f(48, 36);
    glVertex2f(16, 36);
    glEnd();
    glFinish();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));

    ExpectColour(ReadPixel(32, 24), 255, 128, 0); // inside the quad
    ExpectColour(ReadPixel(2, 2), 0, 0, 255);     // the cleared border
    ExpectColour(ReadPixel(60, 45), 0, 0, 255);
    EXPECT_TRUE(SwapBuffers(window)) << GLError();
}

TEST_F(GLContextTest, AContextThatOutlivedItsVideoIsDeletedSafelyOnceVideoRunsAgain)
{
    Window* old = Open(32, 32, DoubleBuffered());
    ASSERT_NE(old, nullptr);
    GLContext* stale = CreateGLContext(old);
    ASSERT_NE(stale, nullptr) << GLError();
    ASSERT_TRUE(MakeCurrent(stale)) << GLError();
    StopVideo();
    windows_.clear();
    ASSERT_TRUE(StartVideo()) << VideoError();

    Window* window = Open(32, 32, DoubleBuffered());
    ASSERT_NE(window, nullptr);
    GLContext* context = Context(window);
    ASSERT_NE(context, nullptr);
    EXPECT_EQ(GLContextWindow(stale), nullptr);
    EXPECT_EQ(CurrentGLContext(), nullptr);
    EXPECT_FALSE(MakeCurrent(stale));
    DeleteGLContext(stale);

    ASSERT_TRUE(MakeCurrent(context)) << GLError();
    glClearColor(0.0f, 1.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glFinish();
    ExpectColour(ReadPixel(4, 4), 0, 255, 0);
}

TEST_F(GLContextTest, TextureMadeInTheHiddenSharedContextIsUsableInAWindowContext)
{
    // The hidden 1 x 1 window and its single-buffered context come first, as the GL layer makes them.
    Window* hidden = Open(1, 1, PixelFormat{}, WS_POPUP);
    ASSERT_NE(hidden, nullptr);
    GLContext* shared = Context(hidden);
    ASSERT_NE(shared, nullptr);
    ASSERT_TRUE(MakeCurrent(shared)) << GLError();
    const GLuint texture = test::GreenTexture();

    Window* window = Open(32, 32, DoubleBuffered());
    ASSERT_NE(window, nullptr);
    GLContext* context = Context(window, shared);
    ASSERT_NE(context, nullptr);
    EXPECT_EQ(CurrentGLContext(), shared) << "creating a context leaves the current one alone";

    ASSERT_TRUE(MakeCurrent(context)) << GLError();
    EXPECT_EQ(glIsTexture(texture), static_cast<GLboolean>(GL_TRUE));
    test::DrawTextureOver(texture, 32);
    ExpectColour(ReadPixel(16, 16), 0, 255, 0);
    glDeleteTextures(1, &texture);
}

TEST_F(GLContextTest, PixelFormatRequestsAreMinimums)
{
    PixelFormat format = DoubleBuffered();
    format.alphaBits = 1;
    format.depthBits = 1;
    format.stencilBits = 1;
    Window* window = Open(16, 16, format);
    ASSERT_NE(window, nullptr);
    GLContext* context = Context(window);
    ASSERT_NE(context, nullptr);
    ASSERT_TRUE(MakeCurrent(context));
    PixelFormatInfo info;
    ASSERT_TRUE(DescribeCurrentPixelFormat(info));
    EXPECT_GE(info.redBits, 1);
    EXPECT_GE(info.alphaBits, 1);
    EXPECT_GE(info.depthBits, 1);
    EXPECT_GE(info.stencilBits, 1);
}

TEST_F(GLContextTest, AnUnofferedFormatFallsBackToTheClosestOne)
{
    PixelFormat format = DoubleBuffered();
    format.accumBits = 64; // more accumulation than any software renderer offers
    format.stencilBits = 8;
    Window* window = Open(16, 16, format);
    ASSERT_NE(window, nullptr);
    GLContext* context = Context(window);
    ASSERT_NE(context, nullptr);
    ASSERT_TRUE(MakeCurrent(context));
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    ExpectColour(ReadPixel(8, 8), 255, 0, 0);
}

TEST_F(GLContextTest, AWindowWithoutAPixelFormatHasNoContext)
{
    Window* window = CreateWindow(0, "vanta plain", WS_POPUP, 0, 0, 8, 8, nullptr);
    ASSERT_NE(window, nullptr) << WindowError();
    windows_.push_back(window);
    EXPECT_EQ(CreateGLContext(window), nullptr);
    EXPECT_NE(std::string(GLError()), "");
}

TEST_F(GLContextTest, SwappingAnotherWindowKeepsTheCurrentContext)
{
    Window* first = Open(16, 16, DoubleBuffered());
    Window* second = Open(16, 16, DoubleBuffered());
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    GLContext* firstContext = Context(first);
    GLContext* secondContext = Context(second);
    ASSERT_NE(firstContext, nullptr);
    ASSERT_NE(secondContext, nullptr);
    ASSERT_TRUE(MakeCurrent(firstContext));
    EXPECT_TRUE(SwapBuffers(second)) << GLError();
    EXPECT_EQ(CurrentGLContext(), firstContext);
    EXPECT_TRUE(SetSwapInterval(0) || std::string(GLError()).find("swap interval") != std::string::npos);
}

TEST_F(GLContextTest, AContextWhoseWindowIsGoneCannotBeMadeCurrent)
{
    PixelFormat format = DoubleBuffered();
    Window* doomed = CreateWindow(0, "vanta doomed", WS_POPUP, 0, 0, 8, 8, nullptr, &format);
    ASSERT_NE(doomed, nullptr) << WindowError();
    GLContext* context = CreateGLContext(doomed);
    ASSERT_NE(context, nullptr) << GLError();
    ASSERT_TRUE(MakeCurrent(context));
    DestroyWindow(doomed);
    EXPECT_EQ(GLContextWindow(context), nullptr);
    EXPECT_FALSE(MakeCurrent(context));
    EXPECT_FALSE(SwapBuffers(doomed));
    DeleteGLContext(context);
    EXPECT_EQ(CurrentGLContext(), nullptr);
}

TEST_F(GLContextTest, NothingCurrentMeansNoSwapIntervalAndNoDescription)
{
    ASSERT_TRUE(MakeCurrent(nullptr));
    EXPECT_EQ(CurrentGLContext(), nullptr);
    EXPECT_FALSE(SetSwapInterval(1));
    PixelFormatInfo info;
    EXPECT_FALSE(DescribeCurrentPixelFormat(info));
    EXPECT_EQ(GetGLProcAddress(nullptr), nullptr);
}

TEST_F(GLContextTest, GLFunctionsAreFoundByNameWhileAGLWindowExists)
{
    Window* window = Open(8, 8, DoubleBuffered(), WS_POPUP);
    ASSERT_NE(window, nullptr);
    EXPECT_NE(GetGLProcAddress("glClear"), nullptr);
}

#ifdef VANTA_GL_OFFSCREEN
// The process's resident size in MiB.
double ResidentMiB()
{
    long pages = 0;
    long resident = 0;
    if (std::FILE* statm = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(statm, "%ld %ld", &pages, &resident) != 2) resident = 0;
        std::fclose(statm);
    }
    return static_cast<double>(resident) * static_cast<double>(::sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

// An offscreen window has no display to wait for: unless its swap waits for the frame to be drawn, a loop
// that never reads pixels back queues frames in the GL driver and the process grows by gigabytes.
//
// A generous guard, not a memory target: 64 MiB of growth over 1500 frames is far above what the driver's
// own caches add and far below what the fault piles up, so neither machine speed nor the driver decides
// it. The figure itself, the resident size's drift over a long unpaced run, is measured by the benchmark
// bench/game/Level_bench.cpp.
TEST_F(GLContextTest, UnpacedOffscreenFramesDoNotPileUpInTheDriver)
{
#ifdef __SANITIZE_ADDRESS__
    GTEST_SKIP() << "AddressSanitizer holds freed memory back, so the resident size says nothing here";
#endif
    Window* window = Open(640, 480, DoubleBuffered());
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(MakeCurrent(Context(window))) << GLError();
    PixelProjection(640, 480);
    const auto frame = [&](int n) {
        glClear(GL_COLOR_BUFFER_BIT);
        for (int i = 0; i < 200; ++i) {
            const auto x = static_cast<float>(i * 3);
            glColor3ub(static_cast<GLubyte>(i), static_cast<GLubyte>(n), 90);
            glBegin(GL_QUADS);
            glVertex2f(x, 8);
            glVertex2f(x + 8, 8);
            glVertex2f(x + 8, 16);
            glVertex2f(x, 16);
            glEnd();
        }
        ASSERT_TRUE(SwapBuffers(window)) << GLError();
    };
    for (int n = 0; n < 50; ++n)
        frame(n);
    const double settled = ResidentMiB();
    for (int n = 0; n < 1500; ++n)
        frame(n);
    EXPECT_LT(ResidentMiB() - settled, 64.0) << "resident size grew from " << settled << " MiB";
}
#endif

} // namespace
} // namespace vanta::platform
