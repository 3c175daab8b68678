// Golden frames: the game's first title frame and its 70th level frame, drawn by the GL 2D driver on SDL's
// offscreen driver (Mesa) with the game's own media and a scripted clock, compared with the reference
// pictures in tests/game/golden/ within 2/255 per channel.
//
// When the media, the font or the scenes change on purpose, make the references again with
//     VANTA_UPDATE_GOLDEN=1 ctest --test-dir build -R game_frames_test
// and look at the new pictures before committing them. A failing comparison writes the frame it got
// (<name>.actual.png) and the differences, eight times amplified (<name>.diff.png), to build/tests/golden/.
#include "game/GameGlobals.h"
#include "game/GameMain.h"
#include "graphics/Graphics.h"
#include "runtime/String.h"
#include "support/CapturingGLDriver.h"
#include "support/GoldenFrames.h"
#include "support/ScriptedHostDriver.h"

#include <string>

#include <gtest/gtest.h>

namespace vanta::game {
namespace {

constexpr int LEVEL_FRAME = 70; // past the first second: the read-out shows 59
constexpr int TOLERANCE = 2;

void ExpectMatchesReference(const Ref<TPixmap>& frame, const std::string& name)
{
    test::ExpectMatchesGolden(frame, name, VANTA_GOLDEN_DIR, VANTA_GOLDEN_OUTPUT_DIR, TOLERANCE, true);
}

TEST(GameFrames, TheFirstTitleFrameAndALevelFrameMatchTheirReferences)
{
    RunGameModuleInitialisers();
    ResetGlobals();
    Ref<test::TScriptedHostDriver> clock = New<test::TScriptedHostDriver>();
    clock->clock = 100000;
    const Ref<THostDriver> previous = CurrentHostDriver();
    SetHostDriver(clock);
    Ref<test::TCapturingGLDriver> driver = New<test::TCapturingGLDriver>();
    SelectGraphicsDriver(driver, GFX_BACKBUFFER);

    auto pressEscape = [&clock] { clock->Tap(VK_ESCAPE); };
    Ref<TPixmap> title;
    Ref<TPixmap> level;
    int levelFrames = 0;
    driver->beforeFlip = [&] {
        const GameGlobals& g = Globals();
        if (g.levelChannelStarted) {
            if (++levelFrames == LEVEL_FRAME) {
                level = test::OpaqueCopy(driver->GrabPixmap(0, 0, 640, 480));
                pressEscape();
            }
        } else if (g.logoFrame > 100 && g.scrollerX == 798 && title.IsNull()) {
            // The title's first frame: drawn with the scroller at 800, which then moved on.
            title = test::OpaqueCopy(driver->GrabPixmap(0, 0, 640, 480));
            pressEscape();
        }
    };

    EXPECT_EQ(GameMain(), 0);
    driver->beforeFlip = nullptr;
    CloseGraphics();
    SetHostDriver(previous);

    ExpectMatchesReference(title, "title-first-frame");
    ExpectMatchesReference(level, "level-frame-70");
}

} // namespace
} // namespace vanta::game
