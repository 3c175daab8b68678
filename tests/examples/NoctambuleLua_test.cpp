// The Lua demo (examples/noctambule-lua) is the same game as the C++ one: played by vanta-play's player
// with the GL 2D driver on SDL's offscreen driver (Mesa), the game's embedded media and the clock
// scripted as in the C++ game's golden-frame test, its first title frame and its 70th level frame match
// the C++ game's reference pictures (tests/game/golden/) within 2/255 per channel.
#include "GamePlayer.h"
#include "embedded/GameMedia.h"
#include "graphics/Graphics.h"
#include "runtime/EmbeddedFile.h"
#include "startup/ModuleSequence.h"
#include "support/CapturingGLDriver.h"
#include "support/GoldenFrames.h"
#include "support/ScriptedHostDriver.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace vanta {
namespace {

constexpr int LEVEL_FRAME = 70;
constexpr int TOLERANCE = 2;

std::string Bytes(const Ref<String>& text)
{
    std::string bytes;
    for (char16_t unit : text->View())
        bytes += static_cast<char>(unit & 0xFF);
    return bytes;
}

TEST(NoctambuleLua, TheFirstTitleFrameAndALevelFrameMatchTheCppGamesReferences)
{
    RunModuleInitialisers();
    for (const EmbeddedBlock& block : embedded::GameMedia())
        EmbeddedFileAdd(block);
    Ref<test::TScriptedHostDriver> clock = New<test::TScriptedHostDriver>();
    clock->clock = 100000;
    const Ref<THostDriver> previous = CurrentHostDriver();
    SetHostDriver(clock);
    Ref<test::TCapturingGLDriver> driver = New<test::TCapturingGLDriver>();
    SelectGraphicsDriver(driver, GFX_BACKBUFFER);

    play::PlayOptions options;
    options.game = VANTA_LUA_DEMO;
    options.watch = false;
    play::GamePlayer player(options);

    auto pressEscape = [&clock] {
        clock->Post(256, 27);
        clock->Post(257, 27, std::intptr_t{3} << 30);
    };
    Ref<TPixmap> title;
    Ref<TPixmap> level;
    driver->beforeFlip = [&] {
        // The game's own state tells which frame this is (the graphics' sync test flips before it loads).
        std::vector<Ref<String>> state;
        if (player.Engine().Evaluate("game and game.scene, game and game.scrollerX, game and game.levelFrames"_s,
                                     state) == 0 ||
            state.size() != 3)
            return;
        const std::string scene = Bytes(state[0]);
        if (scene == "title" && Bytes(state[1]) == "798" && title.IsNull()) {
            // The title's first frame: drawn with the scroller at 800, which then moved on.
            title = test::OpaqueCopy(driver->GrabPixmap(0, 0, 640, 480));
            pressEscape();
        } else if (scene == "level" && Bytes(state[2]) == std::to_string(LEVEL_FRAME) && level.IsNull()) {
            level = test::OpaqueCopy(driver->GrabPixmap(0, 0, 640, 480));
            pressEscape();
        }
    };

    EXPECT_EQ(player.Run(), play::PLAY_ENDED);
    driver->beforeFlip = nullptr;
    SetHostDriver(previous);

    test::ExpectMatchesGolden(title, "title-first-frame", VANTA_GOLDEN_DIR, VANTA_GOLDEN_OUTPUT_DIR, TOLERANCE, false);
    test::ExpectMatchesGolden(level, "level-frame-70", VANTA_GOLDEN_DIR, VANTA_GOLDEN_OUTPUT_DIR, TOLERANCE, false);
}

} // namespace
} // namespace vanta
