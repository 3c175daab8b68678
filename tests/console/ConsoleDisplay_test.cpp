// The console panel drawn by the GL 2D driver on a virtual display, with the real console font and the
// built-in background picture, spot pixels read back from the back buffer.
#include "console/Console.h"
#include "console/detail/ConsoleState.h"
#include "graphics/Draw.h"
#include "graphics/ImageFont.h"
#include "pixmap/Pixmap.h"
#include "platform/Messages.h"
#include "support/GLDrawingWindow.h"
#include "support/ScriptedHostDriver.h"
#include "system/Keys.h"

#include <functional>

#include <gtest/gtest.h>

namespace vanta {
namespace {

// The tint: green, so the white title, the black screen and the tinted picture all tell apart.
constexpr int R = 0;
constexpr int G = 255;
constexpr int B = 0;

class ConsoleDisplayTest : public test::GLDrawingTest
{
protected:
    void SetUp() override
    {
        test::GLDrawingTest::SetUp();
        if (IsSkipped() || HasFatalFailure()) return;
        InitConsole();
        realHost_ = CurrentHostDriver();
        host = New<test::TScriptedHostDriver>();
        host->clock = 10000;
        SetHostDriver(host);
        ClearInputKeyState();
        detail::ResetConsoleState();
        OpenConsole("T"_s, 10, R, G, B, 1.0f, ""_s);
        ASSERT_TRUE(Console().background);
        picture_ = Console().background->Lock(0, 1, 0);
    }
    void TearDown() override
    {
        if (realHost_) {
            detail::ResetConsoleState();
            ClearInputKeyState();
            SetHostDriver(realHost_);
        }
        test::GLDrawingTest::TearDown();
    }

    detail::ConsoleState& Console() { return detail::Console(); }

    // One console frame on a cleared screen, the cursor block shown or not.
    void Frame(bool cursor = false)
    {
        host->Advance(17);
        Console().blink = cursor ? 1 : 0;
        Console().blinkTimer = TConsoleTimer::StartTimer(detail::CONSOLE_BLINK_PERIOD);
        ClearGraphics();
        UpdateConsole(VK_F1);
    }
    void ShowAndSettle()
    {
        host->Post(platform::WM_KEYDOWN, VK_F1);
        host->Post(platform::WM_KEYUP, VK_F1);
        for (int i = 0; i < 7; ++i)
            Frame();
        ASSERT_EQ(Console().y, 0);
    }

    // The tinted picture at panel pixel (x, y): black where the picture is black (masked away).
    void ExpectPicture(int x, int y)
    {
        const std::uint32_t argb = ReadPixel(picture_, x, y - Console().y);
        const int r = static_cast<int>((argb >> 16) & 0xFF);
        const int g = static_cast<int>((argb >> 8) & 0xFF);
        const int b = static_cast<int>(argb & 0xFF);
        if (r == 0 && g == 0 && b == 0) {
            ExpectAt(x, y, 0, 0, 0);
        } else {
            ExpectAt(x, y, r * R / 255, g * G / 255, b * B / 255);
        }
    }

    // The screen's pixels in x0 .. x1 - 1, y0 .. y1 - 1.
    std::vector<test::Pixel> Region(int x0, int y0, int x1, int y1)
    {
        std::vector<test::Pixel> pixels;
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x)
                pixels.push_back(At(x, y));
        }
        return pixels;
    }
    static int Count(const std::vector<test::Pixel>& pixels, const std::function<bool(const test::Pixel&)>& which)
    {
        int count = 0;
        for (const test::Pixel& pixel : pixels)
            count += which(pixel) ? 1 : 0;
        return count;
    }
    static int Changed(const std::vector<test::Pixel>& a, const std::vector<test::Pixel>& b)
    {
        int count = 0;
        for (std::size_t i = 0; i < a.size(); ++i)
            count += a[i] != b[i] ? 1 : 0;
        return count;
    }

    Ref<test::TScriptedHostDriver> host;

private:
    Ref<THostDriver> realHost_;
    Ref<TPixmap> picture_;
};

TEST_F(ConsoleDisplayTest, TheShownPanelHasItsHeaderFrameAndPictureInPlace)
{
    ShowAndSettle();
    Frame();
    ExpectAt(150, 6, R, G, B);   // header bar
    ExpectAt(150, 12, R, G, B);  // header rule
    ExpectAt(100, 0, R, G, B);   // top
    ExpectAt(0, 60, R, G, B);    // left
    ExpectAt(199, 60, R, G, B);  // right
    ExpectAt(100, 120, R, G, B); // bottom, at y + height
    ExpectAt(150, 106, R, G, B); // input separator
    ExpectAt(100, 121, 0, 0, 0); // below the panel: the cleared screen
    ExpectAt(100, 150, 0, 0, 0);
    for (const auto& [x, y] : {std::pair{150, 60}, std::pair{50, 80}, std::pair{120, 30}, std::pair{180, 100}}) {
        SCOPED_TRACE(::testing::Message() << "picture at " << x << ", " << y);
        ExpectPicture(x, y);
    }

    // The title, in white on the header bar, starts 2 pixels in: "T / 1 FPS" is nine characters of 8.
    const auto white = [](const test::Pixel& p) { return p[0] > 200 && p[1] > 200 && p[2] > 200; };
    EXPECT_GT(Count(Region(2, 2, 2 + 9 * 8, 12), white), 15);
    EXPECT_EQ(Count(Region(2 + 9 * 8 + 2, 1, 199, 12), white), 0);
    EXPECT_EQ(Count(Region(1, 13, 199, 106), white), 0);
}

TEST_F(ConsoleDisplayTest, TheCursorBlockBlinksAtTheStartOfTheInputLine)
{
    ShowAndSettle();
    Frame(true);
    for (const auto& [x, y] : {std::pair{2, 108}, std::pair{9, 108}, std::pair{2, 118}, std::pair{9, 118}}) {
        SCOPED_TRACE("cursor block");
        ExpectAt(x, y, R, G, B);
    }
    const std::vector<test::Pixel> on = Region(1, 107, 40, 120);
    Frame(false);
    const std::vector<test::Pixel> off = Region(1, 107, 40, 120);
    ExpectPicture(5, 112);
    // Only the block's 8 x 11 pixels changed (less any the picture already had in the tint).
    EXPECT_LE(Changed(on, off), 8 * 11);
    EXPECT_GT(Changed(on, off), 8 * 11 / 2);
}

TEST_F(ConsoleDisplayTest, LinesAndTheInputTextLandOnTheirRows)
{
    // Where the console font puts ink for the newest line at (2, 96) and the input at (2, 109), drawn
    // directly on a cleared screen.
    ClearGraphics();
    SetBlendMode(BLEND_ALPHA);
    SetAlpha(1.0f);
    SetColor(255, 255, 255);
    SetTextFont(Console().font);
    DrawText("HELLO WORLD"_s, 2.0f, 96.0f);
    DrawText("abc"_s, 2.0f, 109.0f);
    const std::vector<test::Pixel> ink = Region(0, 0, 200, 121);
    const auto isInk = [&](int x, int y) { return ink[static_cast<std::size_t>(y * 200 + x)][1] > 128; };

    ShowAndSettle();
    Frame();
    const std::vector<test::Pixel> empty = Region(0, 0, 200, 121);
    ConsoleAddLine("HELLO WORLD"_s);
    Console().input = "abc"_s;
    Frame();
    const std::vector<test::Pixel> written = Region(0, 0, 200, 121);
    int inked = 0;
    int stray = 0;
    for (int y = 13; y < 120; ++y) {
        for (int x = 1; x < 199; ++x) {
            const std::size_t i = static_cast<std::size_t>(y * 200 + x);
            if (isInk(x, y)) {
                ++inked;
                EXPECT_NEAR(written[i][1], G, 2) << "ink at " << x << ", " << y;
                EXPECT_NEAR(written[i][0], R, 2) << "ink at " << x << ", " << y;
            } else if (empty[i] != written[i]) {
                ++stray;
            }
        }
    }
    EXPECT_GT(inked, 60);
    EXPECT_EQ(stray, 0) << "pixels changed outside the text's ink";
}

TEST_F(ConsoleDisplayTest, AHiddenPanelDrawsNothingAndAHalfwayOneShowsItsLowerPart)
{
    Console().y = -121;
    Frame();
    for (const auto& [x, y] : {std::pair{0, 0}, std::pair{100, 0}, std::pair{199, 0}, std::pair{100, 5}})
        ExpectAt(x, y, 0, 0, 0);

    host->Post(platform::WM_KEYDOWN, VK_F1);
    host->Post(platform::WM_KEYUP, VK_F1);
    for (int i = 0; i < 3; ++i)
        Frame();
    ASSERT_EQ(Console().y, -55);
    ExpectAt(100, 65, R, G, B); // the bottom line, at y + height
    ExpectAt(150, 51, R, G, B); // the input separator, at y + height - 14
    ExpectAt(100, 66, 0, 0, 0);
    ExpectPicture(150, 30);
}

} // namespace
} // namespace vanta
