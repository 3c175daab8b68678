// The GL window and context layer on a real X server (a private Xvfb) with Mesa's
// software renderer: window geometry, drawing read back with glReadPixels, textures uploaded through the
// shared context, attached windows, full-screen modes and focus, the pointer, display modes, and the
// driver and surface classes over the layer. Messages are pumped by the real desktop host driver.
#include "graphics/gl/GLContext.h"
#include "graphics/gl/GLContextDriver.h"
#include "platform/Platform.h"
#include "runtime/Startup.h"
#include "support/GLReadback.h"
#include "support/GLWindowSuite.h"
#include "support/Subprocess.h"
#include "support/VirtualDisplay.h"
#include "support/WaitForMessages.h"
#include "support/X11Tools.h"
#include "system/HostDriver.h"
#include "system/System.h"

#include <array>
#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace vanta {
namespace {

using test::ExpectColour;
using test::Pixel;
using test::PixelProjection;
using test::Quad;
using test::ReadPixel;

// The platform's pointer display counter, read without changing it.
int PointerCounter()
{
    const int counter = platform::ShowCursor(true) - 1;
    platform::ShowCursor(false);
    return counter;
}

// Pumps through the host driver until `done` holds or 10 s have passed.
bool PumpUntil(const std::function<bool()>& done)
{
    return test::WaitUntil(done, [] { PumpMessages(); });
}

class GLContextTest : public test::GLWindowSuite
{
protected:
    void SetUp() override
    {
        GLWindowSuite::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        InitGLContextDriver();
        ASSERT_TRUE(platform::GetDesktopDisplayMode(desktop_));
    }

    void TearDown() override
    {
        for (VTGLContext* context : contexts_)
            GLContextDestroy(context);
        for (platform::Window* window : windows_)
            platform::DestroyWindow(window);
        PumpMessages();
        EXPECT_EQ(FullScreenState(), 0);
        EXPECT_EQ(PointerCounter(), 0) << "the pointer is visible after every test";
    }

    VTGLContext* Create(std::int32_t width, std::int32_t height, std::int32_t depth = 0, std::int32_t rate = 0,
                        std::int32_t flags = GFX_BACKBUFFER)
    {
        VTGLContext* context = GLContextCreate(width, height, depth, rate, flags);
        EXPECT_NE(context, nullptr) << GLContextError();
        if (context != nullptr) contexts_.push_back(context);
        return context;
    }

    void Destroy(VTGLContext* context)
    {
        std::erase(contexts_, context);
        GLContextDestroy(context);
    }

    platform::Window* PlainWindow(const char* title, const platform::PixelFormat* format)
    {
        platform::Window* window = platform::CreateWindow(0, title, platform::WS_VISIBLE | platform::WS_CAPTION, 100,
                                                          100, 48, 32, nullptr, format);
        EXPECT_NE(window, nullptr) << platform::WindowError();
        if (window != nullptr) windows_.push_back(window);
        return window;
    }

    platform::DisplayMode desktop_;
    std::vector<VTGLContext*> contexts_;
    std::vector<platform::Window*> windows_;
};

TEST_F(GLContextTest, WindowedContextHasTheGameWindowsGeometry)
{
    VTGLContext* context = Create(640, 480);
    ASSERT_NE(context, nullptr);
    EXPECT_EQ(context->width, 640);
    EXPECT_EQ(context->height, 480);
    EXPECT_EQ(context->ownsWindow, 1);
    EXPECT_EQ(FullScreenState(), 0);
    int width = 0;
    int height = 0;
    platform::GetClientSize(context->window, width, height);
    EXPECT_EQ(width, 640);
    EXPECT_EQ(height, 480);
    int x = 0;
    int y = 0;
    platform::GetWindowPosition(context->window, x, y);
    EXPECT_EQ(x, 32);
    EXPECT_EQ(y, 32);
    const std::uint32_t style = platform::GetWindowStyle(context->window);
    EXPECT_EQ(style & platform::WS_CAPTION, platform::WS_CAPTION);
    EXPECT_EQ(style & platform::WS_THICKFRAME, 0u) << "no sizing border";
    EXPECT_EQ(style & platform::WS_VISIBLE, platform::WS_VISIBLE);
    EXPECT_EQ(platform::GetWindowExStyle(context->window), platform::WS_EX_TOPMOST);
    EXPECT_STREQ(platform::GetWindowTitle(context->window), "VantaMax Application");
    std::int32_t w = 0;
    std::int32_t h = 0;
    GLContextSize(context, w, h);
    EXPECT_EQ(w, 640);
    EXPECT_EQ(h, 480);
}

TEST_F(GLContextTest, TheTitleIsTheProgramTitleAsEightBitText)
{
    // A copy, not a reference: the title itself changes below.
    const Ref<String> saved = ProgramTitle(); // NOLINT(performance-unnecessary-copy-initialization)
    SetProgramTitle(String::FromCString("Jeu d'\xE9t\xE9"));
    VTGLContext* context = Create(64, 48);
    SetProgramTitle(saved);
    ASSERT_NE(context, nullptr);
    EXPECT_STREQ(platform::GetWindowTitle(context->window), "Jeu d'\xC3\xA9t\xC3\xA9");
}

TEST_F(GLContextTest, DrawingIsReadBackAndTheSharedContextScopeRestoresTheWindowEvenAfterAFlip)
{
    VTGLContext* context = Create(64, 48);
    ASSERT_NE(context, nullptr);
    GLContextSetCurrent(context);
    ASSERT_EQ(platform::CurrentGLContext(), context->context);
    PixelProjection(64, 48);
    glClearColor(0.0f, 0.0f, 1.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glColor3ub(255, 128, 0);
    Quad(16, 12, 48, 36);
    glFinish();
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    ExpectColour(ReadPixel(32, 24), 255, 128, 0);
    ExpectColour(ReadPixel(2, 2), 0, 0, 255);
    // The flip forgets the drawing context; the window's context stays current, and an upload made now
    // must not leave the hidden context current for the drawing that follows.
    GLContextFlip(context);
    {
        const GLSharedContextScope shared;
        EXPECT_EQ(platform::CurrentGLContext(), GLSharedContext()->context);
    }
    EXPECT_EQ(platform::CurrentGLContext(), context->context);
    {
        const GLSharedContextScope outer;
        const GLSharedContextScope inner; // already on the shared context: changes nothing
        EXPECT_EQ(platform::CurrentGLContext(), GLSharedContext()->context);
    }
    EXPECT_EQ(platform::CurrentGLContext(), context->context);
}

TEST_F(GLContextTest, ATextureUploadedInTheSharedContextScopeIsUsableInTheDrawingContext)
{
    VTGLContext* context = Create(32, 32);
    ASSERT_NE(context, nullptr);
    GLContextSetCurrent(context);
    GLuint texture = 0;
    {
        const GLSharedContextScope shared = GLContextDriver()->UseSharedContext();
        ASSERT_EQ(platform::CurrentGLContext(), GLSharedContext()->context);
        texture = test::GreenTexture();
    }
    ASSERT_EQ(platform::CurrentGLContext(), context->context);

    EXPECT_EQ(glIsTexture(texture), static_cast<GLboolean>(GL_TRUE));
    test::DrawTextureOver(texture, 32);
    ExpectColour(ReadPixel(16, 16), 0, 255, 0);
    glDeleteTextures(1, &texture);
}

TEST_F(GLContextTest, TheCurrentContextIsWhatThePlatformSaysEvenWhenChangedBehindTheLayersBack)
{
    VTGLContext* first = Create(32, 32);
    VTGLContext* second = Create(32, 32);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    GLContextSetCurrent(first);
    ASSERT_TRUE(platform::MakeCurrent(second->context));
    GLContextSetCurrent(first);
    EXPECT_EQ(platform::CurrentGLContext(), first->context) << "a cached current context would skip this";
}

TEST_F(GLContextTest, AWindowDestroyedBehindTheLayersBackLeavesItsRecordWindowless)
{
    VTGLContext* context = Create(40, 24);
    ASSERT_NE(context, nullptr);
    GLContextSetCurrent(context);
    platform::DestroyWindow(context->window);
    std::int32_t width = -1;
    std::int32_t height = -1;
    GLContextSize(context, width, height);
    EXPECT_EQ(width, 0);
    EXPECT_EQ(height, 0);
    GLContextFlip(context); // nothing to present
    // A later window may take the old address; destroying the record must leave that one alone.
    platform::Window* later = PlainWindow("vanta later", nullptr);
    ASSERT_NE(later, nullptr);
    Destroy(context);
    EXPECT_TRUE(platform::IsWindow(later));
}

TEST_F(GLContextTest, BufferFlagsAreMinimums)
{
    VTGLContext* context = Create(16, 16, 0, 0, GFX_BACKBUFFER | GFX_ALPHABUFFER | GFX_DEPTHBUFFER | GFX_STENCILBUFFER);
    ASSERT_NE(context, nullptr);
    GLContextSetCurrent(context);
    platform::PixelFormatInfo info;
    ASSERT_TRUE(platform::DescribeCurrentPixelFormat(info));
    EXPECT_TRUE(info.doubleBuffer);
    EXPECT_GE(info.redBits, 1);
    EXPECT_GE(info.alphaBits, 1);
    EXPECT_GE(info.depthBits, 1);
    EXPECT_GE(info.stencilBits, 1);
}

TEST_F(GLContextTest, AContextAttachedToAnotherWindowLeavesTheWindowAlone)
{
    platform::PixelFormat format;
    format.flags = platform::PFD_DOUBLEBUFFER;
    format.colorBits = 1;
    platform::Window* window = PlainWindow("vanta attached", &format);
    ASSERT_NE(window, nullptr);
    VTGLContext* context = GLContextAttach(window, GFX_BACKBUFFER);
    ASSERT_NE(context, nullptr) << GLContextError();
    EXPECT_EQ(context->ownsWindow, 0);
    EXPECT_EQ(context->width, 48);
    EXPECT_EQ(context->height, 32);
    GLContextSetCurrent(context);
    glClearColor(1.0f, 0.0f, 0.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glFinish();
    ExpectColour(ReadPixel(4, 4), 255, 0, 0);
    GLContextDestroy(context);
    EXPECT_TRUE(platform::IsWindow(window));

    platform::Window* plain = PlainWindow("vanta plain", nullptr);
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(GLContextAttach(plain, 0), nullptr);
    EXPECT_NE(std::string(GLContextError()), "");
    EXPECT_EQ(GLContextAttach(nullptr, 0), nullptr);
}

TEST_F(GLContextTest, AnAttachedContextWhoseWindowWentIsNotTakenForAWindowMadeLater)
{
    platform::PixelFormat format;
    format.flags = platform::PFD_DOUBLEBUFFER;
    format.colorBits = 1;
    platform::Window* gone = platform::CreateWindow(0, "vanta gone", platform::WS_VISIBLE | platform::WS_CAPTION, 100,
                                                    100, 40, 24, nullptr, &format);
    ASSERT_NE(gone, nullptr) << platform::WindowError();
    VTGLContext* context = GLContextAttach(gone, GFX_BACKBUFFER);
    ASSERT_NE(context, nullptr) << GLContextError();
    // The window goes behind the layer's back (its procedure is not the layer's), and a new one is made,
    // which the allocator is free to place at the same address.
    platform::DestroyWindow(gone);
    platform::Window* later = PlainWindow("vanta later", &format);
    ASSERT_NE(later, nullptr);
    std::int32_t width = -1;
    std::int32_t height = -1;
    GLContextSize(context, width, height);
    EXPECT_EQ(width, 0) << (later == gone ? "the new window sits at the old address" : "");
    EXPECT_EQ(height, 0);
    GLContextDestroy(context);
    EXPECT_TRUE(platform::IsWindow(later));
}

TEST_F(GLContextTest, AFullScreenContextSharesWithNothingAndTheNextWindowedOneMakesANewSharedContext)
{
    VTGLContext* windowed = Create(64, 48);
    ASSERT_NE(windowed, nullptr);
    EXPECT_NE(test::FindWindowByTitle("VantaGL Application"), 0u) << "the hidden shared window";
    VTGLContext* full = Create(desktop_.width, desktop_.height, desktop_.bitsPerPixel);
    ASSERT_NE(full, nullptr);
    EXPECT_EQ(test::FindWindowByTitle("VantaGL Application"), 0u) << "the shared context went";
    Destroy(full);
    VTGLContext* again = Create(64, 48);
    ASSERT_NE(again, nullptr);
    EXPECT_NE(test::FindWindowByTitle("VantaGL Application"), 0u);
}

TEST_F(GLContextTest, AnUnofferedRefreshRateFallsBackToTheDefaultRate)
{
    VTGLContext* context = Create(desktop_.width, desktop_.height, desktop_.bitsPerPixel, 1234);
    ASSERT_NE(context, nullptr);
    EXPECT_EQ(FullScreenState(), 2) << "the mode is switched before creation returns";
    EXPECT_TRUE(platform::IsFullScreen(context->window));
    EXPECT_EQ(platform::GetWindowStyle(context->window) & platform::WS_CAPTION, 0u);
    // Windowed-only operations do nothing now.
    GLContextSetCurrent(context);
    {
        const GLSharedContextScope shared;
        EXPECT_EQ(platform::CurrentGLContext(), context->context);
    }
    GLSetSwapInterval(0);
    PumpMessages(); // the posted focus message finds the mode switched already
    EXPECT_EQ(FullScreenState(), 2);

    platform::Window* window = context->window;
    Destroy(context);
    EXPECT_EQ(FullScreenState(), 0);
    EXPECT_FALSE(platform::IsWindow(window));
}

TEST_F(GLContextTest, AModeTheDisplayDoesNotOfferKeepsTheWindowUpUnswitched)
{
    VTGLContext* context = Create(desktop_.width + 16, desktop_.height, desktop_.bitsPerPixel, 0);
    ASSERT_NE(context, nullptr);
    EXPECT_EQ(FullScreenState(), 1);
    EXPECT_FALSE(platform::IsFullScreen(context->window));
    EXPECT_TRUE(platform::IsWindow(context->window));
    Destroy(context);
    EXPECT_EQ(FullScreenState(), 0);
}

TEST_F(GLContextTest, LosingTheFocusRestoresTheDesktopModeAndRegainingItSwitchesBack)
{
    VTGLContext* context = Create(desktop_.width, desktop_.height, desktop_.bitsPerPixel, 0);
    ASSERT_NE(context, nullptr);
    ASSERT_EQ(FullScreenState(), 2);
    ASSERT_TRUE(PumpUntil([context] { return platform::GetFocus() == context->window; }));

    test::IconifyWatcher watcher;
    platform::Window* other = PlainWindow("vanta other", nullptr);
    ASSERT_NE(other, nullptr);
    ASSERT_TRUE(PumpUntil([] { return FullScreenState() == 1; })) << "no WM_KILLFOCUS reached the window";
    EXPECT_FALSE(platform::IsFullScreen(context->window)) << "the desktop mode is back";
    // Minimising is a request to the window manager; a bare X server has none to honour it.
    EXPECT_TRUE(watcher.SawRequestFor(test::FindWindowByTitle("VantaMax Application"), 5000))
        << "the window did not ask to be minimised";

    ASSERT_TRUE(platform::SetFocus(context->window));
    ASSERT_TRUE(PumpUntil([] { return FullScreenState() == 2; })) << "no WM_SETFOCUS reached the window";
    EXPECT_TRUE(platform::IsFullScreen(context->window));
}

TEST_F(GLContextTest, OnlyTheFullScreenWindowsDestructionGivesTheDesktopModeBack)
{
    VTGLContext* full = Create(desktop_.width, desktop_.height, desktop_.bitsPerPixel, 0);
    ASSERT_NE(full, nullptr);
    ASSERT_EQ(FullScreenState(), 2);
    // A windowed context made meanwhile (with a new shared context) is not the full-screen one.
    VTGLContext* windowed = Create(64, 48);
    ASSERT_NE(windowed, nullptr);
    Destroy(windowed);
    GLContextDestroy(GLSharedContext());
    EXPECT_EQ(FullScreenState(), 2);
    EXPECT_TRUE(platform::IsFullScreen(full->window));
    Destroy(full);
    EXPECT_EQ(FullScreenState(), 0);
}

TEST_F(GLContextTest, AProgramThatExitsWithItsFullScreenContextOpenEndsCleanly)
{
    const auto probe = std::filesystem::canonical("/proc/self/exe").parent_path() / "graphics_full_screen_exit_probe";
    for (const char* how : {"open", "stopped"}) {
        const test::ProcessResult result = test::RunProcess({probe.string(), how}, ".");
        EXPECT_EQ(result.status, 0) << how << ": " << result.err;
        EXPECT_EQ(result.out, std::string(how) == "open" ? "state=2\n" : "state=0\n") << how;
    }
}

TEST_F(GLContextTest, ThePointerIsOnlyHiddenInFullScreenAndItsCounterStaysAtZeroOrMinusOne)
{
    VTGLContext* windowed = Create(64, 48);
    ASSERT_NE(windowed, nullptr);
    GLShowCursor(0);
    EXPECT_EQ(PointerCounter(), 0) << "windowed: ignored";
    Destroy(windowed);

    VTGLContext* full = Create(desktop_.width, desktop_.height, desktop_.bitsPerPixel, 0);
    ASSERT_NE(full, nullptr);
    GLShowCursor(0);
    GLShowCursor(0);
    EXPECT_EQ(PointerCounter(), -1);
    GLShowCursor(1);
    EXPECT_EQ(PointerCounter(), 0) << "hidden twice, shown once: visible";
    GLShowCursor(1);
    EXPECT_EQ(PointerCounter(), 0);
    GLShowCursor(0);
    Destroy(full);
    EXPECT_EQ(PointerCounter(), 0) << "destroying the full-screen window shows the pointer";
}

TEST_F(GLContextTest, DisplayModesAreListedWithTheDesktopsAmongThem)
{
    constexpr std::size_t capacity = 64;
    std::vector<std::int32_t> buffer(4 * capacity);
    const std::int32_t count = GLEnumDisplayModes(buffer.data(), capacity);
    ASSERT_GE(count, 1);
    bool desktopListed = false;
    for (std::size_t i = 0; i < static_cast<std::size_t>(count); ++i) {
        const std::int32_t* mode = &buffer[4 * i];
        EXPECT_GE(mode[2], 16);
        desktopListed = desktopListed || (mode[0] == desktop_.width && mode[1] == desktop_.height);
    }
    EXPECT_TRUE(desktopListed);
    EXPECT_EQ(GLEnumDisplayModes(buffer.data(), 1), 1) << "capacity limits the count";
    EXPECT_EQ(GLEnumDisplayModes(buffer.data(), 0), 0);
    EXPECT_EQ(GLEnumDisplayModes(nullptr, 8), 0);

    const Ref<Array> modes = GLContextDriver()->DisplayModes();
    ASSERT_EQ(modes->Length(), count);
    EXPECT_STREQ(modes->Type(), ":TDisplayMode");
    const Ref<TDisplayMode> first = Downcast<TDisplayMode>(modes->ObjectAt(0));
    ASSERT_FALSE(first.IsNull());
    EXPECT_EQ(first->width, buffer[0]);
    EXPECT_EQ(first->height, buffer[1]);
    EXPECT_EQ(first->depth, buffer[2]);
    EXPECT_EQ(first->rate, buffer[3]);
}

TEST_F(GLContextTest, TheDriverMakesSurfacesThatActivateFlipMeasureAndClose)
{
    const Ref<TGLContextDriver>& driver = GLContextDriver();
    ASSERT_FALSE(driver.IsNull());
    const Ref<TGraphicsSurface> surface = driver->CreateGraphics(320, 240, 0, 0, GFX_BACKBUFFER);
    const Ref<TGLSurface> glSurface = Downcast<TGLSurface>(surface);
    ASSERT_FALSE(glSurface.IsNull()) << GLContextError();
    VTGLContext* context = glSurface->Context();
    ASSERT_NE(context, nullptr);
    surface->Activate();
    EXPECT_EQ(platform::CurrentGLContext(), context->context);
    std::int32_t width = 0;
    std::int32_t height = 0;
    surface->GetSize(width, height);
    EXPECT_EQ(width, 320);
    EXPECT_EQ(height, 240);
    surface->Flip();
    driver->SetPointerVisible(0);
    EXPECT_EQ(PointerCounter(), 0) << "windowed: the pointer stays";
    driver->SetSwapInterval(1);

    platform::Window* window = context->window;
    surface->Close();
    EXPECT_EQ(glSurface->Context(), nullptr);
    EXPECT_FALSE(platform::IsWindow(window));
    surface->GetSize(width, height);
    EXPECT_EQ(width, 0);
    EXPECT_EQ(height, 0);
    surface->Close();
    surface->Activate();
    surface->Flip();

    platform::Window* plain = PlainWindow("vanta plain", nullptr);
    EXPECT_TRUE(driver->AttachGraphics(plain, 0).IsNull());
}

TEST_F(GLContextTest, ASurfaceDroppedWithoutClosingTakesItsWindowAlong)
{
    const int level = ReleaseStackLevel();
    platform::Window* window = nullptr;
    {
        Ref<TGraphicsSurface> surface = GLContextDriver()->CreateGraphics(64, 48, 0, 0, GFX_BACKBUFFER);
        const Ref<TGLSurface> glSurface = Downcast<TGLSurface>(surface);
        ASSERT_FALSE(glSurface.IsNull());
        window = glSurface->Context()->window;
    }
    EXPECT_TRUE(platform::IsWindow(window));
    FlushReleaseStack(level);
    EXPECT_FALSE(platform::IsWindow(window));
}

} // namespace
} // namespace vanta
