// vanta-play's player in process, with the recording 2D driver and a scripted clock and keyboard: a frame
// that never ends is stopped by Escape held down and shows the error screen, a saved main.lua reloads
// the game, and the error screen wraps what it shows to the screen's width.
#include "GamePlayer.h"
#include "graphics/Graphics.h"
#include "startup/ModuleSequence.h"
#include "support/RecordingFlat2DDriver.h"
#include "support/ScriptedHostDriver.h"
#include "support/TempFolder.h"
#include "system/Input.h"

#include <chrono>
#include <string>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace vanta::play {
namespace {

using ::testing::HasSubstr;

class GamePlayerTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        RunModuleInitialisers();
        previousHost = CurrentHostDriver();
        host = New<test::TScriptedHostDriver>();
        host->clock = 50000;
        SetHostDriver(host);
        ClearInputKeyState();
        driver = New<test::TRecordingFlat2DDriver>();
        SelectGraphicsDriver(driver, 0);
        options.game = folder.Path("");
        options.rate = 60 | SYNC_TIMED;
        options.frames = 600; // a safety net: no test needs that many
    }
    void TearDown() override
    {
        ClearInputKeyState();
        SetHostDriver(previousHost);
    }

    test::TempFolder folder;
    PlayOptions options;
    Ref<test::TScriptedHostDriver> host;
    Ref<test::TRecordingFlat2DDriver> driver;
    Ref<THostDriver> previousHost;
};

TEST_F(GamePlayerTest, EscapeHeldForASecondStopsAFrameThatNeverEndsAndShowsTheErrorScreen)
{
    folder.Write("main.lua", "function frame(n) if n == 2 then while true do end end end");
    host->Post(256, 27); // Escape goes down and stays down
    GamePlayer player(options);
    testing::internal::CaptureStderr();
    const auto started = std::chrono::steady_clock::now();
    const int status = player.Run();
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(status, PLAY_FAILED) << "the error screen was left with Escape";
    EXPECT_THAT(err, HasSubstr("ScriptEngine: Script interrupted"));
    // A second of running before the check looks at keys, and a second of Escape held.
    const auto took = std::chrono::steady_clock::now() - started;
    EXPECT_GE(took, std::chrono::milliseconds(1900));
    EXPECT_LT(took, std::chrono::seconds(10));
}

TEST_F(GamePlayerTest, SavingMainLuaReloadsTheGameInAFreshState)
{
    folder.Write("main.lua", "loaded = (loaded or 0) + 1 function frame(n) end");
    int flips = 0;
    driver->onFlip = [&] {
        // Some frames into the run, the game is saved again: the new one ends at once.
        if (++flips == 130) folder.Write("main.lua", "function frame(n) return loaded ~= nil end -- saved");
    };
    GamePlayer player(options);
    EXPECT_EQ(player.Run(), PLAY_ENDED);
    // The watcher looks every 250 ms of the clock: about 15 frames at 60 Hz (the first 100 flips are the
    // graphics' sync test).
    EXPECT_GT(flips, 130);
    EXPECT_LT(flips, 130 + 30) << "the reload came late, or not at all (the frame limit ended the run)";
}

TEST_F(GamePlayerTest, TheFirstFrameIsDrawnOnTheClearColourMainLuaChose)
{
    folder.Write("main.lua", "SetClearColor(0, 0, 64) function frame(n) DrawRect(1, 1, 2, 2) return n < 2 end");
    GamePlayer player(options);
    EXPECT_EQ(player.Run(), PLAY_ENDED);
    // Replays the log: the colour the driver clears with when the first rectangle is drawn.
    std::vector<double> colour, clearedWith;
    for (const test::DrawCall& call : driver->Log()) {
        if (call.slot == "SetClearColor") colour = call.args;
        if (call.slot == "Clear") clearedWith = colour;
        if (call.slot == "DrawRect") break;
    }
    EXPECT_EQ(clearedWith, (std::vector<double>{0, 0, 64}));
}

TEST_F(GamePlayerTest, AGameWithoutMainLuaIsNoGame)
{
    GamePlayer player(options);
    testing::internal::CaptureStderr();
    EXPECT_EQ(player.Run(), PLAY_NO_GAME);
    EXPECT_THAT(testing::internal::GetCapturedStderr(), HasSubstr("no game at"));
}

TEST(ErrorScreen, LinesWrapToTheWidthAndTabsAndOddBytesAreReadable)
{
    ErrorScreen screen;
    screen.Show("main.lua:3: " + std::string(30, 'x') + "\xE9", "stack traceback:\n\tmain.lua:3: in main chunk");
    const std::vector<std::string> lines = screen.Lines(20);
    ASSERT_GE(lines.size(), 8u);
    EXPECT_EQ(lines[0], "LUA ERROR");
    EXPECT_EQ(lines[2], "main.lua:3: xxxxxxxx");
    EXPECT_EQ(lines[3], "xxxxxxxxxxxxxxxxxxxx");
    EXPECT_EQ(lines[4], "xx?");
    EXPECT_EQ(lines[6], "stack traceback:");
    EXPECT_EQ(lines[7], "  main.lua:3: in mai");
    EXPECT_EQ(lines[8], "n chunk");
    for (const std::string& line : lines)
        EXPECT_LE(line.size(), 20u) << line;
}

} // namespace
} // namespace vanta::play
