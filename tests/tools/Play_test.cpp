// vanta-play run as a user runs it, on a private X display with real keys from xdotool: a small game
// draws and answers keys, an error shows the error screen and Escape then quits with status 1, saving
// main.lua changes the picture within a second, and the console evaluates Lua in the game's state and
// runs the game's own commands.
#include "support/Subprocess.h"
#include "support/TempFolder.h"
#include "support/VirtualDisplay.h"
#include "support/X11Tools.h"

#include <chrono>
#include <csignal>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace vanta {
namespace {

using ::testing::HasSubstr;
using Clock = std::chrono::steady_clock;

constexpr const char* TITLE = "vanta-play";

bool PollFor(const std::function<bool()>& done, int milliseconds = 15000)
{
    const auto deadline = Clock::now() + std::chrono::milliseconds(milliseconds);
    while (Clock::now() < deadline) {
        if (done()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return done();
}

bool Near(unsigned long pixel, unsigned long rgb)
{
    for (int shift = 0; shift < 24; shift += 8) {
        const int a = static_cast<int>((pixel >> shift) & 0xFF);
        const int b = static_cast<int>((rgb >> shift) & 0xFF);
        if (a - b > 3 || b - a > 3) return false;
    }
    return true;
}

class PlayTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        VANTA_REQUIRE_DISPLAY();
        if (test::FindProgram("xdotool").empty()) GTEST_SKIP() << "xdotool is not installed (package xdotool)";
        setenv("SDL_AUDIODRIVER", "dummy", 1);
    }
    void TearDown() override
    {
        // A program the test did not end is ended here, so its thread can be joined.
        if (runner_.joinable()) {
            if (window_ != 0) test::RunProgram({"xdotool", "key", "--window", std::to_string(window_), "q"});
            runner_.join();
        }
    }

    // Starts vanta-play on `game` (with `options` before it) in a thread of its own and waits for its
    // window.
    void Start(const std::string& game, std::vector<std::string> options = {})
    {
        std::vector<std::string> argv{VANTA_PLAY};
        argv.insert(argv.end(), options.begin(), options.end());
        argv.push_back(game);
        runner_ = std::thread([this, argv] { result_ = test::RunProcess(argv, folder_.Path("")); });
        ASSERT_TRUE(PollFor([this] {
            window_ = test::FindWindowByTitle(TITLE);
            return window_ != 0 && test::IsWindowViewable(window_);
        })) << "no window titled "
            << TITLE;
    }

    // Waits for the program to end and answers how it ended.
    test::ProcessResult Finish()
    {
        runner_.join();
        window_ = 0;
        return result_;
    }

    bool Key(const std::string& key, const char* action = "key")
    {
        return test::RunProgram({"xdotool", "windowfocus", "--sync", std::to_string(window_), action, key}) == 0;
    }

    // The window's pixel at (x, y), or 0xFFFFFFFF when it cannot be read.
    unsigned long Pixel(int x, int y)
    {
        int width = 0, height = 0;
        std::vector<unsigned long> pixels;
        if (!test::CaptureWindow(window_, width, height, pixels) || x >= width || y >= height) return 0xFFFFFFFFul;
        return pixels[static_cast<std::size_t>(y * width + x)];
    }

    test::TempFolder folder_;
    std::thread runner_;
    test::ProcessResult result_;
    unsigned long window_ = 0;
};

TEST_F(PlayTest, ASmallGameDrawsAndAnswersKeysUntilItsFrameAnswersFalse)
{
    folder_.Write("main.lua", R"(
        local r, g, b = 200, 30, 30
        SetClearColor(0, 0, 64)
        function frame(n)
          if KeyHits(VK_SPACE) > 0 then r, g, b = 30, 200, 30 end
          if KeyHits(VK_Q) > 0 then return false end
          SetColor(r, g, b)
          DrawRect(100, 100, 200, 150)
        end)");
    Start(folder_.Path(""));
    EXPECT_TRUE(PollFor([&] { return Near(Pixel(200, 175), 0xC81E1E); })) << std::hex << Pixel(200, 175);
    EXPECT_TRUE(Near(Pixel(10, 10), 0x000040)) << "the clear colour around it";
    ASSERT_TRUE(Key("space"));
    EXPECT_TRUE(PollFor([&] { return Near(Pixel(200, 175), 0x1EC81E); })) << "Space was not answered";
    ASSERT_TRUE(Key("q"));
    const test::ProcessResult result = Finish();
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.err, "");
}

TEST_F(PlayTest, AnErrorShowsTheErrorScreenAndEscapeQuitsWithStatusOne)
{
    folder_.Write("main.lua", "local player\nfunction frame(n)\n  if n == 5 then player.x = 1 end\nend\n");
    Start(folder_.Path(""));
    // The error screen's colour all over, and the white text of the message at its top left.
    ASSERT_TRUE(PollFor([&] { return Near(Pixel(620, 460), 0x601018); })) << std::hex << Pixel(620, 460);
    int ink = 0;
    for (int y = 8; y < 60; ++y) {
        for (int x = 8; x < 300; x += 1)
            ink += Near(Pixel(x, y), 0xFFFFFF) ? 1 : 0;
        if (ink > 100) break;
    }
    EXPECT_GT(ink, 100) << "no message drawn";
    ASSERT_TRUE(Key("Escape"));
    const test::ProcessResult result = Finish();
    EXPECT_EQ(result.status, 1);
    EXPECT_THAT(result.err, HasSubstr("main.lua:3: attempt to index upvalue 'player' (a nil value)"));
    EXPECT_THAT(result.err, HasSubstr("stack traceback:"));
    EXPECT_THAT(result.err, HasSubstr("in function <"));
}

TEST_F(PlayTest, SavingMainLuaChangesWhatIsDrawnWithinASecond)
{
    const auto game = [](const char* colour) {
        return std::string("function frame(n) if KeyHits(VK_Q) > 0 then return false end SetColor(") + colour +
               ") DrawRect(0, 0, 640, 480) end";
    };
    folder_.Write("main.lua", game("255, 0, 0"));
    Start(folder_.Path(""));
    ASSERT_TRUE(PollFor([&] { return Near(Pixel(320, 240), 0xFF0000); }));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const auto saved = Clock::now();
    folder_.Write("main.lua", game("0, 0, 255"));
    ASSERT_TRUE(PollFor([&] { return Near(Pixel(320, 240), 0x0000FF); }, 5000)) << "never reloaded";
    const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - saved);
    EXPECT_LT(took.count(), 1000) << "the reload took " << took.count() << " ms";
    ASSERT_TRUE(Key("q"));
    EXPECT_EQ(Finish().status, 0);
}

TEST_F(PlayTest, TheConsoleEvaluatesLuaInTheGamesOwnState)
{
    folder_.Write("main.lua", R"(
        answer = 40
        RegisterConsoleCommand("$keep", function(text) kept = text end)
        function frame(n)
          if not ConsoleShown() and KeyHits(VK_Q) > 0 then return false end
        end)");
    Start(folder_.Path(""), {"--console-key", "F2"});
    ASSERT_TRUE(Key("F2"));
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    // The player's console takes every printable character Lua needs (+ and = among them).
    for (const char* line :
         {"$lua 1+2", "$lua answer = answer * 2", "$lua answer", "$lua nosuch()", "$keep a_b", "$lua kept"}) {
        ASSERT_TRUE(test::RunProgram({"xdotool", "type", "--delay", "60", line}) == 0);
        ASSERT_TRUE(Key("Return"));
        // The console takes one typed character per 50 ms: the line must be in before the next one.
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
    }
    ASSERT_TRUE(Key("F2"));
    std::this_thread::sleep_for(std::chrono::milliseconds(500));
    ASSERT_TRUE(Key("q"));
    const test::ProcessResult result = Finish();
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "3\n80\nerror: console:1: attempt to call global 'nosuch' (a nil value)\na_b\n");
}

TEST_F(PlayTest, AMissingGameOrABadCommandLineIsAUsageError)
{
    EXPECT_EQ(test::RunProcess({VANTA_PLAY, folder_.Path("nothing")}, folder_.Path("")).status, 2);
    EXPECT_EQ(test::RunProcess({VANTA_PLAY, folder_.Path("")}, folder_.Path("")).status, 2) << "no main.lua";
    EXPECT_EQ(test::RunProcess({VANTA_PLAY}, folder_.Path("")).status, 2);
    EXPECT_EQ(test::RunProcess({VANTA_PLAY, "--console-key", "F99", "x"}, folder_.Path("")).status, 2);
    EXPECT_EQ(test::RunProcess({VANTA_PLAY, "--frames", "0", "x"}, folder_.Path("")).status, 2);
}

} // namespace
} // namespace vanta
