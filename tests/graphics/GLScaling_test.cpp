// Scaled windows under Xvfb: the program draws at its own size, the window is opened larger or resized
// with xdotool, and what the X server shows is read back against the frame read at the program's size;
// pointer motion from xdotool arrives in the program's coordinates.
#include "graphics/Draw.h"
#include "graphics/Graphics.h"
#include "graphics/gl/GLContextDriver.h"
#include "graphics/gl/GLFlat2DDriver.h"
#include "platform/Platform.h"
#include "runtime/Startup.h"
#include "support/VirtualDisplay.h"
#include "support/WaitForMessages.h"
#include "support/X11Tools.h"
#include "system/HostDriver.h"
#include "system/Keys.h"
#include "system/System.h"

#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace vanta {
namespace {

using test::Xdotool;

constexpr const char* title = "VantaMax scaling test";
constexpr std::int32_t pictureWidth = 64;
constexpr std::int32_t pictureHeight = 48;

unsigned long Rgb(const Ref<TPixmap>& pixmap, int x, int y)
{
    const std::uint8_t* p = pixmap->PixelPtr(x, y);
    return (static_cast<unsigned long>(p[0]) << 16) | (static_cast<unsigned long>(p[1]) << 8) | p[2];
}

class GLScalingTest : public ::testing::Test
{
protected:
    static void TearDownTestSuite()
    {
        SetGraphicsScaling(SCALE_NONE);
        SelectGraphicsDriver(Null, 0);
        platform::StopVideo();
    }

    void SetUp() override
    {
        VANTA_REQUIRE_DISPLAY();
        if (test::FindProgram("xdotool").empty()) GTEST_SKIP() << "xdotool is not installed (package xdotool)";
        InitSystem();
        InitGLFlat2DDriver();
        ASSERT_TRUE(platform::StartVideo()) << platform::VideoError();
        SetProgramTitle(String::FromCString(title));
        SelectGraphicsDriver(GLFlat2DDriver(), GFX_BACKBUFFER);
    }

    void TearDown() override
    {
        CloseGraphics();
        SetGraphicsScaling(SCALE_NONE);
        SetProgramTitle(String::FromCString("VantaMax Application"));
    }

    // Opens the picture in `mode`, the window `windowScale` times as large.
    void Open(std::int32_t mode, std::int32_t windowScale)
    {
        ASSERT_EQ(SetGraphicsScaling(mode, windowScale), 1);
        OpenGraphics(pictureWidth, pictureHeight, 0, SYNC_NONE | 60);
        const Ref<TGLSurface> inner = Downcast<TGLSurface>(CurrentGraphicsSurface()->surface);
        ASSERT_FALSE(inner.IsNull());
        window_ = inner->Context()->window;
        windowId_ = std::to_string(test::FindWindowByTitle(title));
        ASSERT_NE(windowId_, "0");
    }

    // Four flat quarters with single pixels of their own at (5, 7) and the last corner: any slip of one
    // picture pixel shows.
    static Ref<TPixmap> DrawFrame()
    {
        SetClearColor(20, 40, 60);
        ClearGraphics();
        SetColor(255, 0, 0);
        DrawRect(0, 0, 32, 24);
        SetColor(0, 255, 0);
        DrawRect(32, 0, 32, 24);
        SetColor(0, 0, 255);
        DrawRect(0, 24, 32, 24);
        SetColor(255, 255, 255);
        DrawPoint(5, 7);
        SetColor(255, 255, 0);
        DrawPoint(63, 47);
        return GrabPixmap(0, 0, pictureWidth, pictureHeight);
    }

    void ResizeTo(int width, int height)
    {
        ASSERT_TRUE(Xdotool({"windowsize", windowId_, std::to_string(width), std::to_string(height)}));
        ASSERT_TRUE(test::WaitUntil(
            [&] {
                int w = 0;
                int h = 0;
                platform::GetClientSize(window_, w, h);
                return w == width && h == height;
            },
            [] { PumpMessages(); }))
            << "the window never took the size " << width << " x " << height;
    }

    // Flips until the X server shows a `width` x `height` window; answers its pixels.
    std::vector<unsigned long> CaptureShown(int width, int height)
    {
        std::vector<unsigned long> pixels;
        const unsigned long id = std::stoul(windowId_);
        test::WaitUntil([&] {
            DrawFrame();
            FlipGraphics();
            int w = 0;
            int h = 0;
            return test::CaptureWindow(id, w, h, pixels) && w == width && h == height;
        });
        return pixels;
    }

    platform::Window* window_ = nullptr;
    std::string windowId_;
};

TEST_F(GLScalingTest, AWindowOpenedLargerShowsEveryPicturePixelAsAWholeBlock)
{
    Open(SCALE_WHOLE, 3);
    int width = 0;
    int height = 0;
    platform::GetClientSize(window_, width, height);
    EXPECT_EQ(width, pictureWidth * 3);
    EXPECT_EQ(height, pictureHeight * 3);
    EXPECT_EQ(GraphicsWidth(), pictureWidth);
    EXPECT_EQ(GraphicsHeight(), pictureHeight);

    const Ref<TPixmap> frame = DrawFrame();
    // Independent of any capture: the colours the frame was drawn with, at the program's size.
    ASSERT_EQ(frame->Width(), pictureWidth);
    ASSERT_EQ(frame->Height(), pictureHeight);
    EXPECT_EQ(Rgb(frame, 5, 7), 0xFFFFFFu);
    EXPECT_EQ(Rgb(frame, 6, 7), 0xFF0000u);
    EXPECT_EQ(Rgb(frame, 63, 47), 0xFFFF00u);
    EXPECT_EQ(Rgb(frame, 40, 30), 0x14283Cu);

    const std::vector<unsigned long> shown = CaptureShown(width, height);
    ASSERT_EQ(shown.size(), static_cast<std::size_t>(width * height));
    int wrong = 0;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            if (shown[y * width + x] != Rgb(frame, x / 3, y / 3) && ++wrong <= 5)
                ADD_FAILURE() << "window pixel (" << x << ", " << y << ")";
        }
    }
    EXPECT_EQ(wrong, 0);
}

TEST_F(GLScalingTest, AResizedWindowShowsWholeMultiplesCentredBetweenBlackBars)
{
    Open(SCALE_WHOLE, 1);
    ResizeTo(200, 150); // 3 x 64 = 192 and 3 x 48 = 144 fit: bars of 4 columns and 3 rows each side
    const Ref<TPixmap> frame = DrawFrame();
    const std::vector<unsigned long> shown = CaptureShown(200, 150);
    ASSERT_EQ(shown.size(), 200u * 150u);
    int wrong = 0;
    for (int y = 0; y < 150; ++y) {
        for (int x = 0; x < 200; ++x) {
            const bool inside = x >= 4 && x < 196 && y >= 3 && y < 147;
            const unsigned long expected = inside ? Rgb(frame, (x - 4) / 3, (y - 3) / 3) : 0;
            if (shown[y * 200 + x] != expected && ++wrong <= 5)
                ADD_FAILURE() << "window pixel (" << x << ", " << y << ")" << (inside ? "" : " in a bar");
        }
    }
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(GraphicsWidth(), pictureWidth) << "the program keeps its own size";

    // A grab is the program's pixels at the program's size, whatever the window's.
    const Ref<TPixmap> grabbed = GrabPixmap(0, 0, pictureWidth, pictureHeight);
    ASSERT_EQ(grabbed->Width(), pictureWidth);
    ASSERT_EQ(grabbed->Height(), pictureHeight);
    EXPECT_EQ(Rgb(grabbed, 5, 7), 0xFFFFFFu);
    EXPECT_EQ(Rgb(grabbed, 63, 47), 0xFFFF00u);
}

TEST_F(GLScalingTest, AnySizeFillsTheWindowsWidthFilteredWithinATolerance)
{
    Open(SCALE_ANY, 1);
    ResizeTo(160, 200); // the width decides: 160 x 120, centred with bars of 40 rows above and below
    DrawFrame();
    const std::vector<unsigned long> shown = CaptureShown(160, 200);
    ASSERT_EQ(shown.size(), 160u * 200u);
    const auto near = [&](int x, int y, unsigned long expected) {
        const unsigned long got = shown[y * 160 + x];
        for (int shift : {16, 8, 0}) {
            const int a = static_cast<int>((got >> shift) & 0xFF);
            const int b = static_cast<int>((expected >> shift) & 0xFF);
            if (std::abs(a - b) > 6) return false;
        }
        return true;
    };
    EXPECT_TRUE(near(20, 60, 0xFF0000)) << "red quarter";
    EXPECT_TRUE(near(140, 60, 0x00FF00)) << "green quarter";
    EXPECT_TRUE(near(20, 140, 0x0000FF)) << "blue quarter";
    EXPECT_TRUE(near(140, 140, 0x14283C)) << "cleared quarter";
    for (int x = 0; x < 160; x += 7) {
        EXPECT_EQ(shown[0 * 160 + x], 0u) << "top bar";
        EXPECT_EQ(shown[39 * 160 + x], 0u) << "top bar's last row";
        EXPECT_EQ(shown[160 * 160 + x], 0u) << "bottom bar's first row";
        EXPECT_EQ(shown[199 * 160 + x], 0u) << "bottom bar";
    }
    EXPECT_FALSE(near(80, 40, 0)) << "the picture starts right below the bar";
}

TEST_F(GLScalingTest, PointerMotionArrivesInTheProgramsCoordinatesClampedToThePicture)
{
    Open(SCALE_WHOLE, 1);
    ResizeTo(200, 150);
    DrawFrame();
    FlipGraphics();
    const auto moveAndRead = [&](int x, int y, int wantX, int wantY) {
        ASSERT_TRUE(Xdotool({"mousemove", "--window", windowId_, std::to_string(x), std::to_string(y)}));
        EXPECT_TRUE(test::WaitUntil([&] { return PointerX() == wantX && PointerY() == wantY; }))
            << "window (" << x << ", " << y << ") read as (" << PointerX() << ", " << PointerY() << "), not (" << wantX
            << ", " << wantY << ")";
    };
    moveAndRead(4 + 3 * 10 + 1, 3 + 3 * 20 + 2, 10, 20);
    moveAndRead(4 + 3 * 63 + 2, 3 + 3 * 47, 63, 47);
    moveAndRead(1, 1, 0, 0);       // in the bars: the picture's edge
    moveAndRead(199, 149, 63, 47); // the far corner's bars
    moveAndRead(100, 1, 32, 0);    // above the picture
}

TEST_F(GLScalingTest, ViewportsScissorInTheProgramsCoordinates)
{
    Open(SCALE_WHOLE, 2);
    SetClearColor(0, 0, 0);
    ClearGraphics();
    SetViewport(10, 20, 8, 4);
    SetClearColor(255, 0, 255);
    ClearGraphics();
    SetViewport(0, 0, pictureWidth, pictureHeight);
    const Ref<TPixmap> grabbed = GrabPixmap(0, 0, pictureWidth, pictureHeight);
    EXPECT_EQ(Rgb(grabbed, 10, 20), 0xFF00FFu);
    EXPECT_EQ(Rgb(grabbed, 17, 23), 0xFF00FFu);
    EXPECT_EQ(Rgb(grabbed, 9, 20), 0u);
    EXPECT_EQ(Rgb(grabbed, 18, 23), 0u);
    EXPECT_EQ(Rgb(grabbed, 10, 24), 0u);
    EXPECT_EQ(Rgb(grabbed, 10, 19), 0u);
}

TEST_F(GLScalingTest, GoingBackToNoScalingGivesTheWindowThePicturesSizeAgain)
{
    Open(SCALE_WHOLE, 2);
    ASSERT_EQ(SetGraphicsScaling(SCALE_NONE), 1);
    int width = 0;
    int height = 0;
    ASSERT_TRUE(test::WaitUntil(
        [&] {
            platform::GetClientSize(window_, width, height);
            return width == pictureWidth && height == pictureHeight;
        },
        [] { PumpMessages(); }));
    EXPECT_EQ(platform::GetWindowStyle(window_) & platform::WS_THICKFRAME, 0u);
    SetClearColor(0, 255, 0);
    ClearGraphics();
    const Ref<TPixmap> grabbed = GrabPixmap(0, 0, pictureWidth, pictureHeight);
    EXPECT_EQ(Rgb(grabbed, 63, 47), 0x00FF00u);
}

TEST_F(GLScalingTest, AltEnterGoesDesktopFullScreenAndBackToTheSameSizeAndPlace)
{
    Open(SCALE_WHOLE, 2);
    ASSERT_TRUE(test::WaitUntil([&] { return platform::GetFocus() == window_; }, [] { PumpMessages(); }))
        << "the window never got the focus";
    platform::DisplayMode desktop;
    ASSERT_TRUE(platform::GetDesktopDisplayMode(desktop));
    int x = 0;
    int y = 0;
    platform::GetWindowPosition(window_, x, y);
    const auto sizeIs = [&](int width, int height) {
        int w = 0;
        int h = 0;
        platform::GetClientSize(window_, w, h);
        return w == width && h == height;
    };

    ASSERT_TRUE(Xdotool({"key", "alt+Return"}));
    EXPECT_TRUE(test::WaitUntil([&] { return GraphicsFullScreen() == 1 && sizeIs(desktop.width, desktop.height); },
                                [] { PumpMessages(); }))
        << "no desktop full screen after Alt+Enter";
    EXPECT_EQ(GraphicsWidth(), pictureWidth) << "the picture keeps its size in full screen";
    // The picture fills the screen in whole multiples. The request goes to the window manager, and a bare
    // X server has none to honour it: the pixels are checked where the server's window did grow.
    int w = 0;
    int h = 0;
    const unsigned long id = std::stoul(windowId_);
    if (test::GetWindowSize(id, w, h) && w == desktop.width && h == desktop.height) {
        const std::vector<unsigned long> shown = CaptureShown(desktop.width, desktop.height);
        ASSERT_EQ(shown.size(), static_cast<std::size_t>(desktop.width) * desktop.height);
        const platform::PixelRect rect =
            platform::FitLogicalSize(desktop.width, desktop.height, pictureWidth, pictureHeight, true);
        const int scale = rect.width / pictureWidth;
        EXPECT_EQ(shown[(rect.y + 7 * scale) * desktop.width + rect.x + 5 * scale], 0xFFFFFFu);
        EXPECT_EQ(shown[(rect.y + 7 * scale) * desktop.width + rect.x + 6 * scale], 0xFF0000u);
        EXPECT_EQ(shown[0], 0u) << "a bar";
    }

    ASSERT_TRUE(Xdotool({"key", "alt+Return"}));
    EXPECT_TRUE(test::WaitUntil(
        [&] {
            int nowX = 0;
            int nowY = 0;
            platform::GetWindowPosition(window_, nowX, nowY);
            return GraphicsFullScreen() == 0 && sizeIs(pictureWidth * 2, pictureHeight * 2) && nowX == x && nowY == y;
        },
        [] { PumpMessages(); }))
        << "the window did not come back to its size and place";
    platform::GetClientSize(window_, w, h);
    EXPECT_EQ(w, pictureWidth * 2);
    EXPECT_EQ(h, pictureHeight * 2);

    // The program's own call does the same.
    EXPECT_EQ(SetGraphicsFullScreen(1), 1);
    EXPECT_TRUE(test::WaitUntil([&] { return sizeIs(desktop.width, desktop.height); }, [] { PumpMessages(); }));
    EXPECT_EQ(SetGraphicsFullScreen(0), 1);
    EXPECT_TRUE(test::WaitUntil([&] { return sizeIs(pictureWidth * 2, pictureHeight * 2); }, [] { PumpMessages(); }));
}

TEST_F(GLScalingTest, LosingTheFocusInDesktopFullScreenMinimisesTheWindowWhichStaysFullScreen)
{
    Open(SCALE_WHOLE, 1);
    ASSERT_TRUE(test::WaitUntil([&] { return platform::GetFocus() == window_; }, [] { PumpMessages(); }));
    ASSERT_EQ(SetGraphicsFullScreen(1), 1);

    test::IconifyWatcher watcher;
    platform::Window* other = platform::CreateWindow(0, "vanta other", platform::WS_VISIBLE | platform::WS_CAPTION, 100,
                                                     100, 48, 32, nullptr);
    ASSERT_NE(other, nullptr) << platform::WindowError();
    EXPECT_TRUE(test::WaitUntil([&] { return platform::GetFocus() == other; }, [] { PumpMessages(); }));
    // Minimising is a request to the window manager; a bare X server has none to honour it.
    EXPECT_TRUE(watcher.SawRequestFor(std::stoul(windowId_), 5000)) << "the window did not ask to be minimised";
    EXPECT_EQ(GraphicsFullScreen(), 1) << "activated again, it comes back full screen";
    platform::DestroyWindow(other);
}

TEST_F(GLScalingTest, AWindowThatIsNotScaledStaysPutOnAltEnter)
{
    Open(SCALE_NONE, 1);
    ASSERT_TRUE(test::WaitUntil([&] { return platform::GetFocus() == window_; }, [] { PumpMessages(); }));
    ClearKeys();
    ASSERT_TRUE(Xdotool({"key", "alt+Return"}));
    // The key itself arrives (its hit is counted) and nothing else happens.
    EXPECT_TRUE(test::WaitUntil([] { return KeyHits(VK_RETURN) == 1; }));
    EXPECT_EQ(GraphicsFullScreen(), 0);
    EXPECT_EQ(SetGraphicsFullScreen(1), 0);
    int w = 0;
    int h = 0;
    platform::GetClientSize(window_, w, h);
    EXPECT_EQ(w, pictureWidth);
    EXPECT_EQ(h, pictureHeight);
}

} // namespace
} // namespace vanta
