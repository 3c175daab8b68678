// vanta-scripted-scene run as a program on a real X server: what its scripts draw is read back from the
// screenshot it saves of its last frame, Escape typed with xdotool ends it, and script errors and bad
// command lines end it with their status and message.
#include "pixmap/Pixmap.h"
#include "pixmap/loaders/ImageLoaders.h"
#include "runtime/String.h"
#include "support/Subprocess.h"
#include "support/TempFolder.h"
#include "support/VirtualDisplay.h"
#include "support/X11Tools.h"

#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

namespace vanta {
namespace {

using test::ProcessResult;
using test::RunProcess;
using test::TempFolder;

constexpr const char* title = "VantaMax Scripted Scene";

std::uint32_t Rgb(std::uint32_t argb)
{
    return argb & 0xFFFFFF;
}

class ScriptedSceneTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        VANTA_REQUIRE_DISPLAY();
        InitImageLoaders();
        // The module sequence opens the sound device: SDL's dummy driver stands in for one.
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        unsetenv("VANTA_SCENE_FRAMES");
    }

    // Runs the program with `arguments` after the program path.
    ProcessResult Run(const std::vector<std::string>& arguments)
    {
        std::vector<std::string> argv{SCENE_PROGRAM};
        argv.insert(argv.end(), arguments.begin(), arguments.end());
        return RunProcess(argv, folder_.Path(""));
    }

    // Runs `script` (Lua text) with a screenshot and the extra options, expecting success; the screenshot.
    Ref<TPixmap> Draw(const std::string& script, const std::vector<std::string>& options = {})
    {
        std::vector<std::string> arguments{"--screenshot", folder_.Path("shot.png")};
        arguments.insert(arguments.end(), options.begin(), options.end());
        arguments.push_back(folder_.Write("scene.lua", script));
        const ProcessResult result = Run(arguments);
        EXPECT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(result.err, "");
        return LoadPixmap(String::FromCString(folder_.Path("shot.png").c_str()));
    }

    TempFolder folder_;
};

TEST_F(ScriptedSceneTest, EachFrameShowsWhatTheScriptDrewOnAClearedBufferUntilFrameAnswersFalse)
{
    const Ref<TPixmap> shot = Draw(R"(
        local sky = LoadImage("incbin::DATAS/fond.jpg")
        assert(ImageWidth(sky) == 640 and ImageHeight(sky) == 360)
        assert(TextWidth("SCENE") == 40 and TextHeight() == 16)
        SetClearColor(10, 20, 30)
        function frame(n)
          SetBlend(BLEND_SOLID)
          SetColor(255, 255, 255)
          DrawImage(sky, 0, 100)
          SetColor(200, 40, 60)
          DrawRect(10 * n, 10, 20, 20)
          SetBlend(BLEND_ALPHA)
          SetColor(255, 255, 0)
          DrawText("SCENE", 300, 40)
          return n < 7
        end)",
                                   {"--frames", "100"});
    ASSERT_FALSE(shot.IsNull());
    ASSERT_EQ(shot->Width(), 640);
    ASSERT_EQ(shot->Height(), 480);

    // The seventh frame's square, and nothing left of the sixth's: the buffer is cleared between frames.
    EXPECT_EQ(Rgb(shot->ReadPixel(70, 10)), 0xC8283Cu);
    EXPECT_EQ(Rgb(shot->ReadPixel(89, 29)), 0xC8283Cu);
    EXPECT_EQ(Rgb(shot->ReadPixel(69, 10)), 0x0A141Eu);
    EXPECT_EQ(Rgb(shot->ReadPixel(90, 29)), 0x0A141Eu);
    EXPECT_EQ(Rgb(shot->ReadPixel(0, 99)), 0x0A141Eu);
    EXPECT_EQ(Rgb(shot->ReadPixel(639, 479)), 0x0A141Eu);

    // The text in its colour, inside the 40 x 16 box it takes.
    int inked = 0;
    for (std::int32_t y = 38; y < 58; ++y) {
        for (std::int32_t x = 296; x < 344; ++x) {
            const std::uint32_t c = Rgb(shot->ReadPixel(x, y));
            const bool inside = x >= 300 && x < 340 && y >= 40 && y < 56;
            if (c != 0x0A141Eu) {
                ASSERT_TRUE(inside) << "ink at " << x << ", " << y;
                ASSERT_EQ(c, 0xFFFF00u) << "at " << x << ", " << y;
                ++inked;
            }
        }
    }
    EXPECT_GT(inked, 60);

    // The game's sky picture, pixel for pixel where the script put it.
    const Ref<TPixmap> sky = LoadPixmap(String::FromCString(MEDIA_DIR "/DATAS/fond.jpg"));
    ASSERT_FALSE(sky.IsNull());
    int wrong = 0;
    for (std::int32_t y = 0; y < 360; y += 7) {
        for (std::int32_t x = 0; x < 640; x += 5)
            wrong += Rgb(shot->ReadPixel(x, 100 + y)) != Rgb(sky->ReadPixel(x, y));
    }
    EXPECT_EQ(wrong, 0);
}

TEST_F(ScriptedSceneTest, TheShippedSceneAnimatesTheGameMediaForTheFramesAsked)
{
    const std::string shotAt40 = folder_.Path("at40.png");
    ProcessResult result = Run({"--frames", "40", "--screenshot", shotAt40, SCENE_SCRIPT});
    ASSERT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
    setenv("VANTA_SCENE_FRAMES", "90", 1);
    const std::string shotAt90 = folder_.Path("at90.png");
    result = Run({"--screenshot", shotAt90, SCENE_SCRIPT});
    unsetenv("VANTA_SCENE_FRAMES");
    ASSERT_EQ(result.status, 0) << result.err;

    const Ref<TPixmap> early = LoadPixmap(String::FromCString(shotAt40.c_str()));
    const Ref<TPixmap> late = LoadPixmap(String::FromCString(shotAt90.c_str()));
    ASSERT_FALSE(early.IsNull());
    ASSERT_FALSE(late.IsNull());

    // The ground below the grass is the scene's own colour (the clear colour is black).
    for (std::int32_t x = 0; x < 640; x += 8)
        ASSERT_EQ(Rgb(late->ReadPixel(x, 478)), 0x0C1612u) << "at x " << x;
    // The full moon: many more near-white pixels in the top right quarter of the sky, where the script
    // puts it, than in the starry top left quarter.
    const auto brightPixels = [](const Ref<TPixmap>& shot, std::int32_t left) {
        int count = 0;
        for (std::int32_t y = 20; y < 200; ++y) {
            for (std::int32_t x = left; x < left + 320; ++x) {
                const std::uint32_t c = shot->ReadPixel(x, y);
                count += ((c >> 16) & 0xFF) > 200 && ((c >> 8) & 0xFF) > 200 && (c & 0xFF) > 190;
            }
        }
        return count;
    };
    for (const Ref<TPixmap>& shot : {early, late}) {
        EXPECT_GT(brightPixels(shot, 320), 400);
        EXPECT_GT(brightPixels(shot, 320), 5 * brightPixels(shot, 0));
    }
    // The creature walked and the strips scrolled between frames 40 and 90: the ground band differs.
    int changed = 0;
    for (std::int32_t y = 300; y < 440; y += 2) {
        for (std::int32_t x = 0; x < 640; x += 2)
            changed += early->ReadPixel(x, y) != late->ReadPixel(x, y);
    }
    EXPECT_GT(changed, 5000);
}

TEST_F(ScriptedSceneTest, EscapeTypedIntoTheWindowEndsTheScene)
{
    if (test::FindProgram("xdotool").empty()) GTEST_SKIP() << "xdotool is not installed (package xdotool)";
    // Without Escape the scene would run for about a minute.
    const std::string script = folder_.Write("scene.lua", "function frame(n) DrawRect(n % 600, 10, 40, 40) end");
    const auto started = std::chrono::steady_clock::now();
    pid_t program = test::StartProgram({SCENE_PROGRAM, "--frames", "3600", script});
    ASSERT_GT(program, 0);
    // Ends the program if the test stops early.
    struct Reaper
    {
        pid_t& program;
        ~Reaper()
        {
            if (program > 0) {
                kill(program, SIGKILL);
                test::WaitForProgram(program);
            }
        }
    } reaper{program};

    unsigned long window = 0;
    for (int tries = 0; tries < 200 && (window == 0 || !test::IsWindowViewable(window)); ++tries) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        window = test::FindWindowByTitle(title);
    }
    ASSERT_NE(window, 0u) << "no window titled " << title;
    EXPECT_EQ(test::RunProgram({"xdotool", "windowfocus", "--sync", std::to_string(window), "key", "Escape"}), 0);
    EXPECT_EQ(test::WaitForProgram(std::exchange(program, 0)), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(20)) << "it ran to its frame limit";
}

TEST_F(ScriptedSceneTest, ScriptErrorsEndTheSceneWithTheEnginesCodeAndMessage)
{
    struct Case
    {
        const char* script;
        const char* error; // the start of the line on standard error
    };
    const Case cases[] = {
        {"function frame(n) DrawImage(99, 0, 0) end", "error 2: Scene: No image has the handle 99\n"},
        {"function frame(n) if n == 3 then DrawRect(0, 0, 'wide', 4) end end",
         "error 2: scene.lua:1: bad argument #3 to 'DrawRect' (number expected, got string)\n"},
        {"function frame(n) DrawImage(LoadImage('incbin::DATAS/none.png'), 0, 0) end",
         "error 2: Scene: No image has the handle 0\n"},
        {"local moon = LoadImage('incbin::DATAS/lune.png') FreeImage(moon) function frame(n) DrawImage(moon, 0, 0) end",
         "error 2: Scene: No image has the handle "},
        {"local x = 1", "error 2: attempt to call a nil value\n"},
        {"function frame(n) end end", "error 3: "},
        {"error('no pictures here')", "error 2: scene.lua:1: no pictures here\n"},
    };
    for (const Case& c : cases) {
        const std::string script = folder_.Write("scene.lua", c.script);
        const ProcessResult result = Run({"--frames", "5", "scene.lua"});
        EXPECT_EQ(result.status, 1) << c.script;
        EXPECT_EQ(result.err.substr(0, std::string(c.error).size()), c.error) << c.script;
    }
}

TEST_F(ScriptedSceneTest, BadCommandLinesAreUsageErrors)
{
    const std::string script = folder_.Write("scene.lua", "function frame(n) return false end");
    EXPECT_EQ(Run({}).status, 2);
    EXPECT_EQ(Run({"--frames", "0", script}).status, 2);
    EXPECT_EQ(Run({"--frames", "3x", script}).status, 2);
    EXPECT_EQ(Run({"--screenshot"}).status, 2);
    EXPECT_EQ(Run({script, script}).status, 2);
    EXPECT_EQ(Run({"--fast", script}).status, 2);
    setenv("VANTA_SCENE_FRAMES", "many", 1);
    const ProcessResult result = Run({script});
    unsetenv("VANTA_SCENE_FRAMES");
    EXPECT_EQ(result.status, 2);
    EXPECT_NE(result.err.find("usage: vanta-scripted-scene"), std::string::npos) << result.err;

    EXPECT_EQ(Run({script}).status, 0) << "the same script runs";
    const ProcessResult unwritable = Run({"--screenshot", folder_.Path("no/such/folder/shot.png"), script});
    EXPECT_EQ(unwritable.status, 1);
    EXPECT_NE(unwritable.err.find("cannot write the screenshot"), std::string::npos) << unwritable.err;
}

} // namespace
} // namespace vanta
