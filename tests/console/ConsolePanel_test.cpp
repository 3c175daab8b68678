// The console panel over the recording 2D driver and a scripted clock: what opening measures and loads,
// and the drawing calls of one frame, in order and in place.
#include "console/Console.h"
#include "console/detail/ConsoleState.h"
#include "graphics/Draw.h"
#include "graphics/Graphics.h"
#include "pixmap/Pixmap.h"
#include "pixmap/loaders/PNGLoader.h"
#include "platform/Messages.h"
#include "support/RecordingFlat2DDriver.h"
#include "support/ScriptedHostDriver.h"
#include "support/TempFolder.h"
#include "system/Keys.h"

#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace vanta {
namespace {

using ::testing::ElementsAre;

class ConsolePanelTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        InitConsole();
        host = New<test::TScriptedHostDriver>();
        host->clock = 10000;
        SetHostDriver(host);
        ClearInputKeyState();
        detail::ResetConsoleState();
        driver = New<test::TRecordingFlat2DDriver>();
        SelectGraphicsDriver(driver, 0);
        ASSERT_EQ(OpenGraphics(640, 480, 0, SYNC_NONE), 0);
    }
    void TearDown() override
    {
        detail::ResetConsoleState();
        CloseGraphics();
        SelectGraphicsDriver(Null, 0);
        ClearInputKeyState();
        SetHostDriver(Null);
    }

    detail::ConsoleState& Console() { return detail::Console(); }

    // One frame of the console, `milliseconds` after the previous one, with a fresh log.
    void Frame(std::int32_t milliseconds = 17)
    {
        host->Advance(milliseconds);
        driver->ClearCalls();
        UpdateConsole(VK_F1);
    }

    void Tap(std::int32_t key)
    {
        host->Post(platform::WM_KEYDOWN, static_cast<std::uintptr_t>(key));
        host->Post(platform::WM_KEYUP, static_cast<std::uintptr_t>(key));
    }

    // The frame's calls, each glyph run collapsed into one "Text" and the background's draw named.
    std::vector<std::string> Outline()
    {
        std::vector<std::string> outline;
        for (const test::DrawCall& call : driver->Log()) {
            std::string name = call.slot;
            if (name == "CreateFrameFromPixmap") continue; // frames are made on first use
            if (name == "FrameDraw") {
                const auto* frame = static_cast<const test::TRecordingFrame*>(call.object);
                name = PixmapWidth(frame->pixmap) == Console().width ? "Background" : "Text";
            }
            if (name == "Text" && !outline.empty() && outline.back() == "Text") continue;
            outline.push_back(name);
        }
        return outline;
    }

    // The rows (pen y) at which text was drawn in the frame, top first, one per run of glyphs.
    std::vector<double> TextRows()
    {
        std::vector<double> rows;
        bool inText = false;
        double lastY = 0;
        for (const test::DrawCall& call : driver->Log()) {
            if (call.slot == "CreateFrameFromPixmap") continue;
            const bool glyph =
                call.slot == "FrameDraw" &&
                PixmapWidth(static_cast<const test::TRecordingFrame*>(call.object)->pixmap) != Console().width;
            if (glyph && (!inText || call.args[5] != lastY)) rows.push_back(call.args[5]);
            if (glyph) lastY = call.args[5];
            inText = glyph;
        }
        return rows;
    }

    Ref<test::TScriptedHostDriver> host;
    Ref<test::TRecordingFlat2DDriver> driver;
};

TEST_F(ConsolePanelTest, OpeningMeasuresTheConsoleFontAndStretchesTheBackgroundToThePanel)
{
    EXPECT_EQ(OpenConsole("Dev"_s, 10, 256 + 10, -1, 300, 0.5f, ""_s), 0);
    EXPECT_EQ(Console().charWidth, 8);
    EXPECT_EQ(Console().charHeight, 12);
    EXPECT_EQ(Console().width, 640);
    EXPECT_EQ(Console().height, 120);
    EXPECT_EQ(Console().r, 10) << "components are taken modulo 256";
    EXPECT_EQ(Console().g, 255);
    EXPECT_EQ(Console().b, 44);
    EXPECT_EQ(GetTextFont(), Console().font) << "the console's font is made current";
    ASSERT_TRUE(Console().background);
    EXPECT_EQ(ImageWidth(Console().background), 640);
    EXPECT_EQ(ImageHeight(Console().background), 120);
    EXPECT_EQ(Console().y, 0);
}

TEST_F(ConsolePanelTest, APictureThatCannotBeReadGivesTheBuiltInOne)
{
    OpenConsole("Dev"_s, 10, 0, 0, 0, 1.0f, ""_s);
    const Ref<TPixmap> builtIn = Console().background->Lock(0, 1, 0);
    OpenConsole("Dev"_s, 10, 0, 0, 0, 1.0f, "no/such/picture.png"_s);
    ASSERT_TRUE(Console().background);
    const Ref<TPixmap> fallback = Console().background->Lock(0, 1, 0);
    for (const auto& [x, y] : std::vector<std::pair<int, int>>{{0, 0}, {320, 60}, {639, 119}, {100, 7}})
        EXPECT_EQ(ReadPixel(fallback, x, y), ReadPixel(builtIn, x, y)) << x << "," << y;
}

TEST_F(ConsolePanelTest, AGivenPictureIsStretchedToThePanel)
{
    const Ref<TPixmap> picture = CreatePixmap(4, 2, PF_RGB888);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 4; ++x)
            WritePixel(picture, x, y, 0xFF336699u);
    }
    const test::TempFolder folder;
    const std::string path = folder.Path("console_background.png");
    ASSERT_EQ(SavePixmapPNG(picture, String::FromCString(path.c_str()), 6), 1);
    OpenConsole("Dev"_s, 5, 0, 0, 0, 1.0f, String::FromCString(path.c_str()));
    ASSERT_TRUE(Console().background);
    EXPECT_EQ(ImageWidth(Console().background), 640);
    EXPECT_EQ(ImageHeight(Console().background), 60);
    EXPECT_EQ(ReadPixel(Console().background->Lock(0, 1, 0), 300, 30) & 0xFFFFFF, 0x336699u);
}

TEST_F(ConsolePanelTest, AFrameDrawsThePanelInItsOrderAndPlace)
{
    OpenConsole("Dev"_s, 10, 20, 40, 60, 0.75f, ""_s);
    Console().y = -121;
    Frame();
    // Hidden at rest: drawn wholly above the screen.
    EXPECT_THAT(Outline(), ElementsAre("SetAlpha", "SetBlend", "SetColor", "Background", "SetColor", "DrawRect",
                                       "SetColor", "DrawLine", "Plot", "SetColor", "Text", "SetAlpha", "SetColor",
                                       "DrawLine", "Plot", "DrawLine", "Plot", "DrawLine", "Plot", "DrawLine", "Plot",
                                       "DrawLine", "Plot", "SetViewport", "SetColor", "SetViewport", "SetBlend"));
    const auto calls = [&](const char* slot) { return driver->Calls(slot); };
    EXPECT_EQ(calls("SetAlpha")[0].args, (std::vector<double>{0.75}));
    EXPECT_EQ(calls("SetBlend")[0].args, (std::vector<double>{3}));
    EXPECT_EQ(calls("SetColor")[0].args, (std::vector<double>{20, 40, 60}));
    EXPECT_EQ(calls("SetColor")[3].args, (std::vector<double>{255, 255, 255})) << "the title";
    EXPECT_EQ(calls("SetAlpha")[1].args, (std::vector<double>{1.0}));
    EXPECT_EQ(calls("SetBlend")[1].args, (std::vector<double>{2}));
    EXPECT_EQ(calls("SetViewport")[0].args, (std::vector<double>{0, -121, 640, 120}));
    EXPECT_EQ(calls("SetViewport")[1].args, (std::vector<double>{0, 0, 640, 480}));

    Tap(VK_F1);
    for (int i = 0; i < 6; ++i)
        Frame();
    ASSERT_EQ(Console().y, 0);
    const std::vector<test::DrawCall> rects = calls("DrawRect");
    ASSERT_GE(rects.size(), 1u);
    EXPECT_EQ(rects[0].args, (std::vector<double>{0, 0, 640, 12, 0, 0})) << "the header bar";
    const std::vector<test::DrawCall> lines = calls("DrawLine");
    ASSERT_EQ(lines.size(), 6u);
    // Header rule, then left, top, right, bottom and the input separator; each line is drawn from its
    // start as (0, 0, dx, dy) moved to the start.
    const std::vector<std::vector<double>> expected = {{0, 0, 639, 0, 0, 12},  {0, 0, 0, 119, 0, 0},
                                                       {0, 0, 639, 0, 0, 0},   {0, 0, 0, 119, 639, 0},
                                                       {0, 0, 639, 0, 0, 120}, {0, 0, 639, 0, 0, 106}};
    for (std::size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(lines[i].args, expected[i]) << "line " << i;
    const std::vector<test::DrawCall> plots = calls("Plot");
    ASSERT_EQ(plots.size(), 6u);
    EXPECT_EQ(plots[4].args, (std::vector<double>{639, 120})) << "the bottom line's last pixel";
}

TEST_F(ConsolePanelTest, TheNewestLinesFillThePanelUpwardsAboveTheInputLine)
{
    OpenConsole("Dev"_s, 10, 20, 40, 60, 0.75f, ""_s);
    for (int i = 1; i <= 12; ++i)
        ConsoleAddLine(String::FromInt(i));
    Console().input = "typed"_s;
    Frame();
    const std::vector<double> rows = TextRows();
    // The title, eight lines (120 / 12 - 2) from row y + 96 upwards, the input line at y + 109.
    const double y = Console().y;
    ASSERT_EQ(rows.size(), 10u);
    EXPECT_EQ(rows[0], y + 2);
    for (int i = 0; i < 8; ++i)
        EXPECT_EQ(rows[1 + i], y + 96 - 12 * i) << "line " << 12 - i;
    EXPECT_EQ(rows[9], y + 109);
}

TEST_F(ConsolePanelTest, TheCursorBlockBlinksEveryBlinkPeriodAtTheCursorOffset)
{
    OpenConsole("Dev"_s, 10, 20, 40, 60, 0.75f, ""_s);
    Tap(VK_F1);
    for (int i = 0; i < 6; ++i)
        Frame();
    Console().cursorOffset = 24;
    std::vector<int> shown;
    for (int i = 0; i < 40; ++i) {
        Frame(10);
        const std::vector<test::DrawCall> rects = driver->Calls("DrawRect");
        shown.push_back(static_cast<int>(rects.size()) - 1);
        if (rects.size() == 2) {
            EXPECT_EQ(rects[1].args, (std::vector<double>{0, 0, 8, 11, 26, 108}));
        }
    }
    // The flag flips on the first frame more than 150 ms after the timer was last renewed: the timer ran
    // from the reset 102 ms before the loop, so the first flip comes 50 ms into it.
    std::vector<int> flips;
    for (std::size_t i = 1; i < shown.size(); ++i) {
        if (shown[i] != shown[i - 1]) flips.push_back(static_cast<int>(i));
    }
    EXPECT_EQ(shown[0], 0);
    EXPECT_THAT(flips, ElementsAre(4, 20, 36));
}

} // namespace
} // namespace vanta
