// Golden frames: the game's first title frame and its 70th level frame, drawn by the GL 2D driver on SDL's
// offscreen driver (Mesa) with the game's own media and a scripted clock, compared with the reference
// pictures in tests/game/golden/ within 2/255 per channel.
//
// When the media, the font or the scenes change on purpose, make the references again with
//     VANTA_UPDATE_GOLDEN=1 ctest --test-dir build -R game_frames_test
// (the run fails, saying which pictures it wrote instead of comparing) and look at the new pictures before
// committing them. A failing comparison writes the frame it got (<name>.actual.png) and the differences,
// eight times amplified (<name>.diff.png), to build/tests/golden/.
//
// The references were captured from this code, so they only guard against change. What the frames must
// show is also checked against expectations made without it: the title picture and the level's sky and moon
// as libjpeg and stb_image decode the game's media files, and the FPS read-out's glyphs as the font's source
// (graphics/fonts/VantaFont.txt) draws them, each at the place the game's layout gives.
#include "game/GameGlobals.h"
#include "game/GameMain.h"
#include "game/LevelLayout.h"
#include "graphics/Graphics.h"
#include "runtime/String.h"
#include "support/CapturingGLDriver.h"
#include "support/GoldenFrames.h"
#include "support/LibjpegDecode.h"
#include "support/LoaderTestSupport.h"
#include "support/ScriptedHostDriver.h"

#include <array>
#include <fstream>
#include <iterator>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace vanta::game {
namespace {

constexpr int LEVEL_FRAME = 70; // past the first second: the read-out shows 59
constexpr int TOLERANCE = 2;

void ExpectMatchesReference(const Ref<TPixmap>& frame, const std::string& name)
{
    test::ExpectMatchesGolden(frame, name, VANTA_GOLDEN_DIR, VANTA_GOLDEN_OUTPUT_DIR, TOLERANCE, true);
}

using test::RGBAPicture;
using Colour = std::array<int, 3>;

// One of the game's media files (build/media/), decoded by a decoder of its own: bare libjpeg for JPEG (the
// loader must match it exactly), stb_image for PNG.
RGBAPicture Media(const std::string& name)
{
    std::ifstream file(std::string(VANTA_MEDIA_DIR) + "/" + name, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    EXPECT_FALSE(bytes.empty()) << "cannot read " << name;
    return name.ends_with(".jpg") ? test::LibjpegReference(bytes) : test::StbDecode(bytes);
}

Colour At(const RGBAPicture& picture, int x, int y)
{
    const std::uint8_t* p = picture.At(x, y);
    return {p[0], p[1], p[2]};
}

// Whether a picture pixel is drawn over what lies below: the game draws with blend mode 1, where pixels of
// alpha below one half are left out, and its pictures load masked, so the pure black of a picture without
// alpha is left out too.
bool Drawn(const RGBAPicture& picture, bool hasAlpha, int x, int y)
{
    const std::uint8_t* p = picture.At(x, y);
    return hasAlpha ? p[3] >= 128 : (p[0] | p[1] | p[2]) != 0;
}

bool HasAlpha(const RGBAPicture& picture)
{
    for (std::size_t i = 3; i < picture.pixels.size(); i += 4) {
        if (picture.pixels[i] != 255) return true;
    }
    return false;
}

// The rows of the window where no strip of the level draws anything, wherever it has scrolled to: every
// strip that crosses the row is left out across its whole width there.
std::vector<bool> RowsNoStripDraws()
{
    std::vector<bool> bare(480, true);
    for (const LevelLayer& layer : LEVEL_LAYERS) {
        const RGBAPicture strip = Media(std::string(layer.file));
        const bool alpha = HasAlpha(strip);
        for (int y = 0; y < strip.height; ++y) {
            for (int x = 0; x < strip.width && bare[static_cast<std::size_t>(layer.y + y)]; ++x) {
                if (Drawn(strip, alpha, x, y)) bare[static_cast<std::size_t>(layer.y + y)] = false;
            }
        }
    }
    return bare;
}

// The game's built-in 8 x 16 font as its source describes it: for each character, 16 rows of 8 cells, '#'
// for ink.
std::map<char, std::vector<std::string>> FontCells()
{
    std::ifstream file(VANTA_FONT_SOURCE);
    EXPECT_TRUE(file.good()) << "cannot read " << VANTA_FONT_SOURCE;
    std::map<char, std::vector<std::string>> cells;
    std::string line;
    std::vector<std::string>* current = nullptr;
    while (std::getline(file, line)) {
        if (line.rfind("char ", 0) == 0) {
            current = &cells[static_cast<char>(std::stoi(line.substr(5)))];
        } else if (current != nullptr && line.size() == 8 && line.find_first_not_of("#.") == std::string::npos &&
                   current->size() < 16) {
            current->push_back(line);
        }
    }
    return cells;
}

Colour FramePixel(const Ref<TPixmap>& frame, int x, int y)
{
    const std::uint32_t value = frame->ReadPixel(x, y);
    return {static_cast<int>(value >> 16 & 0xFF), static_cast<int>(value >> 8 & 0xFF), static_cast<int>(value & 0xFF)};
}

std::string Text(const Colour& colour)
{
    std::ostringstream text;
    text << "(" << colour[0] << ", " << colour[1] << ", " << colour[2] << ")";
    return text.str();
}

// The title's first frame is its picture, whole: the scroller starts right of the window.
void ExpectTheTitlePicture(const Ref<TPixmap>& frame)
{
    const RGBAPicture picture = Media("intro/introtitre.jpg");
    ASSERT_EQ(picture.width, 640);
    ASSERT_EQ(picture.height, 480);
    int wrong = 0;
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x) {
            if (FramePixel(frame, x, y) != At(picture, x, y) && ++wrong <= 5)
                ADD_FAILURE() << "title (" << x << ", " << y << "): " << Text(FramePixel(frame, x, y))
                              << ", the picture has " << Text(At(picture, x, y));
        }
    }
    EXPECT_EQ(wrong, 0) << "pixels of the title frame that are not the picture's";
}

// The level's sky and moon where no strip, text or creature lies over them: the sky picture's own pixels,
// and the moon's where its picture draws, with the sky showing through its left-out edge.
void ExpectTheSkyAndTheMoon(const Ref<TPixmap>& frame)
{
    const RGBAPicture sky = Media(std::string(LEVEL_SKY.file));
    const RGBAPicture moon = Media(std::string(LEVEL_MOON.file));
    ASSERT_GT(sky.width, 0);
    ASSERT_GT(moon.width, 0);
    const bool moonAlpha = HasAlpha(moon);
    const std::vector<bool> bare = RowsNoStripDraws();
    const auto underCreature = [](int x, int y) {
        return x >= LEVEL_CREATURE.x && x < LEVEL_CREATURE.x + LEVEL_CREATURE.cellWidth && y >= LEVEL_CREATURE.y &&
               y < LEVEL_CREATURE.y + LEVEL_CREATURE.cellHeight;
    };
    int skyChecked = 0;
    int moonChecked = 0;
    int edgesChecked = 0;
    int wrong = 0;
    for (int y = LEVEL_SKY.y; y < LEVEL_SKY.y + sky.height; ++y) {
        if (!bare[static_cast<std::size_t>(y)]) continue;
        for (int x = 0; x < sky.width; ++x) {
            if (underCreature(x, y)) continue;
            const int mx = x - LEVEL_MOON.x;
            const int my = y - LEVEL_MOON.y;
            const bool onMoon = mx >= 0 && mx < moon.width && my >= 0 && my < moon.height;
            const bool moonDraws = onMoon && Drawn(moon, moonAlpha, mx, my);
            const Colour expected = moonDraws ? At(moon, mx, my) : At(sky, x, y - LEVEL_SKY.y);
            if (FramePixel(frame, x, y) != expected && ++wrong <= 5)
                ADD_FAILURE() << (moonDraws ? "moon" : "sky") << " at (" << x << ", " << y
                              << "): " << Text(FramePixel(frame, x, y)) << ", the picture has " << Text(expected);
            ++(moonDraws ? moonChecked : skyChecked);
            // The mask's edge: a left-out moon pixel next to one that is drawn.
            if (onMoon && mx + 1 < moon.width && moonDraws != Drawn(moon, moonAlpha, mx + 1, my)) ++edgesChecked;
        }
    }
    EXPECT_EQ(wrong, 0) << "pixels of the sky and the moon that are not the pictures'";
    // Without bare rows over the sky and the moon this would check nothing.
    EXPECT_GT(skyChecked, 640);
    EXPECT_GT(moonChecked, 100);
    EXPECT_GT(edgesChecked, 4);
}

// "FPS = 59" at (560, 30) over the cleared black: each character's 8 x 16 cell, 8 pixels right of the last,
// white where the font's source has ink and black elsewhere. 59 frames: the first second's window, paced to
// 60 a second on the scripted clock, counts every frame but the one that closes it.
void ExpectTheFpsReadOut(const Ref<TPixmap>& frame)
{
    const std::map<char, std::vector<std::string>> font = FontCells();
    const std::string text = "FPS = 59";
    int wrong = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto cell = font.find(text[i]);
        ASSERT_NE(cell, font.end()) << "no character " << text[i] << " in the font's source";
        ASSERT_EQ(cell->second.size(), 16u);
        for (int row = 0; row < 16; ++row) {
            for (int column = 0; column < 8; ++column) {
                const int x = 560 + 8 * static_cast<int>(i) + column;
                const int y = 30 + row;
                const bool ink = cell->second[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] == '#';
                if (FramePixel(frame, x, y) != (ink ? Colour{255, 255, 255} : Colour{0, 0, 0}) && ++wrong <= 5)
                    ADD_FAILURE() << "'" << text[i] << "' row " << row << " column " << column << " at (" << x << ", "
                                  << y << ") is " << Text(FramePixel(frame, x, y)) << ", the font has "
                                  << (ink ? "ink" : "paper");
            }
        }
    }
    // Nothing after the read-out.
    for (int x = 560 + 8 * static_cast<int>(text.size()); x < 640; ++x) {
        for (int y = 30; y < 46; ++y) {
            if (FramePixel(frame, x, y) != Colour{0, 0, 0} && ++wrong <= 5)
                ADD_FAILURE() << "(" << x << ", " << y << ") after the read-out is " << Text(FramePixel(frame, x, y));
        }
    }
    EXPECT_EQ(wrong, 0) << "pixels of the read-out that are not the font's";
}

TEST(GameFrames, TheFirstTitleFrameAndALevelFrameMatchTheirReferencesAndShowTheMedia)
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
    ASSERT_FALSE(title.IsNull());
    ASSERT_FALSE(level.IsNull());
    {
        SCOPED_TRACE("the title picture");
        ExpectTheTitlePicture(title);
    }
    {
        SCOPED_TRACE("the sky and the moon");
        ExpectTheSkyAndTheMoon(level);
    }
    {
        SCOPED_TRACE("the FPS read-out");
        ExpectTheFpsReadOut(level);
    }
}

} // namespace
} // namespace vanta::game
