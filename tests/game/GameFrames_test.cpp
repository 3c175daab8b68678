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
#include "game/ModuleSequence.h"
#include "graphics/Graphics.h"
#include "pixmap/Pixmap.h"
#include "pixmap/TPixmap.h"
#include "pixmap/loaders/PNGLoader.h"
#include "runtime/String.h"
#include "support/CapturingGLDriver.h"
#include "support/ScriptedHostDriver.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>

#include <gtest/gtest.h>

namespace vanta::game {
namespace {

constexpr int LEVEL_FRAME = 70; // past the first second: the read-out shows 59
constexpr int TOLERANCE = 2;

Ref<String> PathString(const std::filesystem::path& path)
{
    return String::FromCString(path.c_str());
}

// The pixmap's colours without alpha (the back buffer's alpha means nothing on screen).
Ref<TPixmap> Opaque(const Ref<TPixmap>& pixmap)
{
    Ref<TPixmap> opaque = CreatePixmap(pixmap->Width(), pixmap->Height(), PF_RGB888, 4);
    for (std::int32_t y = 0; y < pixmap->Height(); ++y) {
        for (std::int32_t x = 0; x < pixmap->Width(); ++x)
            opaque->WritePixel(x, y, pixmap->ReadPixel(x, y) | 0xFF000000u);
    }
    return opaque;
}

// Compares `frame` with the reference `name`.png (or writes the reference when asked to).
void ExpectMatchesReference(const Ref<TPixmap>& frame, const std::string& name)
{
    ASSERT_FALSE(frame.IsNull()) << name << ": no frame was captured";
    const std::filesystem::path reference = std::filesystem::path(VANTA_GOLDEN_DIR) / (name + ".png");
    if (const char* update = std::getenv("VANTA_UPDATE_GOLDEN"); update != nullptr && update[0] == '1') {
        std::filesystem::create_directories(reference.parent_path());
        ASSERT_EQ(SavePixmapPNG(frame, PathString(reference), 9), 1) << "cannot write " << reference;
        std::printf("wrote %s\n", reference.c_str());
        return;
    }
    const Ref<TPixmap> expected = LoadPixmap(PathString(reference));
    ASSERT_FALSE(expected.IsNull()) << "no reference " << reference << " (see the top of this file)";
    ASSERT_EQ(expected->Width(), frame->Width());
    ASSERT_EQ(expected->Height(), frame->Height());

    Ref<TPixmap> diff = CreatePixmap(frame->Width(), frame->Height(), PF_RGB888, 4);
    int worst = 0;
    int wrongPixels = 0;
    for (std::int32_t y = 0; y < frame->Height(); ++y) {
        for (std::int32_t x = 0; x < frame->Width(); ++x) {
            const std::uint32_t a = frame->ReadPixel(x, y);
            const std::uint32_t b = expected->ReadPixel(x, y);
            std::uint32_t d = 0xFF000000u;
            int pixelWorst = 0;
            for (int shift = 0; shift < 24; shift += 8) {
                const int delta =
                    std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF));
                pixelWorst = std::max(pixelWorst, delta);
                d |= static_cast<std::uint32_t>(std::min(255, delta * 8)) << shift;
            }
            diff->WritePixel(x, y, d);
            worst = std::max(worst, pixelWorst);
            if (pixelWorst > TOLERANCE) ++wrongPixels;
        }
    }
    if (worst <= TOLERANCE) return;
    const std::filesystem::path out = std::filesystem::path(VANTA_GOLDEN_OUTPUT_DIR);
    std::filesystem::create_directories(out);
    SavePixmapPNG(frame, PathString(out / (name + ".actual.png")), 6);
    SavePixmapPNG(diff, PathString(out / (name + ".diff.png")), 6);
    ADD_FAILURE() << name << ": " << wrongPixels << " pixels differ by more than " << TOLERANCE << "/255 (at most "
                  << worst << "); see " << (out / (name + ".actual.png")) << " and " << (out / (name + ".diff.png"));
}

TEST(GameFrames, TheFirstTitleFrameAndALevelFrameMatchTheirReferences)
{
    RunModuleInitialisers();
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
                level = Opaque(driver->GrabPixmap(0, 0, 640, 480));
                pressEscape();
            }
        } else if (g.logoFrame > 100 && g.scrollerX == 798 && title.IsNull()) {
            // The title's first frame: drawn with the scroller at 800, which then moved on.
            title = Opaque(driver->GrabPixmap(0, 0, 640, 480));
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
