// The game's own media as the game meets them: embedded by the build, registered, opened through
// "incbin::" and decoded by the runtime's loaders. Checks the sizes and formats the game relies on, the
// masking rule (exact black is transparent, nothing else is), strips that tile, the creature's six cells
// and music that loops without a click and without clipping.
#include "audio/AudioSample.h"
#include "audio/OggLoader.h"
#include "embedded/ConsoleMedia.h"
#include "embedded/GameMedia.h"
#include "game/LevelLayout.h"
#include "pixmap/Pixmap.h"
#include "pixmap/loaders/ImageLoaders.h"
#include "runtime/EmbeddedFile.h"
#include "runtime/String.h"
#include "stream/IncbinStream.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace vanta {
namespace {

enum class Kind
{
    Palette, // 8-bit palette PNG, loaded masked
    JPEG,
    RGBA,
    RGB,
};

struct ExpectedPicture
{
    const char* name;
    int width, height;
    Kind kind;
};

const ExpectedPicture pictures[] = {
    {"intro/logo-zelkor.jpg", 640, 480, Kind::JPEG},
    {"intro/introtitre.jpg", 640, 480, Kind::JPEG},
    {"intro/globeintro.png", 640, 400, Kind::Palette},
    {"DATAS/herbe0.png", 640, 4, Kind::Palette},
    {"DATAS/herbe1.png", 640, 6, Kind::Palette},
    {"DATAS/herbe2.png", 640, 14, Kind::Palette},
    {"DATAS/herbe3.png", 640, 14, Kind::Palette},
    {"DATAS/herbe4.png", 640, 22, Kind::Palette},
    {"DATAS/nuages0.png", 640, 42, Kind::Palette},
    {"DATAS/nuages1.png", 640, 80, Kind::Palette},
    {"DATAS/nuages2.png", 640, 38, Kind::Palette},
    {"DATAS/nuages3.png", 640, 18, Kind::Palette},
    {"DATAS/nuages4.png", 640, 12, Kind::Palette},
    {"DATAS/barriere.png", 640, 42, Kind::Palette},
    {"DATAS/montagnes.png", 640, 146, Kind::Palette},
    {"DATAS/fond.jpg", 640, 360, Kind::JPEG},
    {"DATAS/lune.png", 106, 106, Kind::Palette},
    {"DATAS/marcheur.png", 480, 104, Kind::RGBA},
    {"bakground.png", 256, 128, Kind::RGB},
};

class GameMedia : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        InitImageLoaders();
        InitOggLoader();
        InitIncbinStreams();
        for (const EmbeddedBlock& block : embedded::GameMedia())
            EmbeddedFileAdd(block);
        for (const EmbeddedBlock& block : embedded::ConsoleMedia())
            EmbeddedFileAdd(block);
    }

    static const EmbeddedBlock& Block(const std::string& name)
    {
        const EmbeddedBlock* block = FindEmbeddedBlock(embedded::GameMedia(), name);
        if (!block) block = FindEmbeddedBlock(embedded::ConsoleMedia(), name);
        if (!block) throw std::runtime_error("not embedded: " + name);
        return *block;
    }

    static Ref<TPixmap> Load(const std::string& name)
    {
        return LoadPixmap(String::FromCString(("incbin::" + name).c_str()));
    }
};

// Red, green, blue of a decoded picture's pixel, whatever its layout.
std::array<int, 3> Rgb(const Ref<TPixmap>& pixmap, int x, int y)
{
    const std::uint8_t* p = PixmapPixelPtr(pixmap, x, y);
    return {p[0], p[1], p[2]};
}

bool IsBlack(const Ref<TPixmap>& pixmap, int x, int y)
{
    const auto rgb = Rgb(pixmap, x, y);
    return rgb[0] == 0 && rgb[1] == 0 && rgb[2] == 0;
}

// Black pixels that no path of black pixels joins to the picture's border: holes the masked picture
// would show inside its figures. With `wraps`, the left and right edges join (a strip that tiles).
int EnclosedBlackPixels(const Ref<TPixmap>& pixmap, bool wraps)
{
    const int w = PixmapWidth(pixmap), h = PixmapHeight(pixmap);
    std::vector<char> reached(static_cast<std::size_t>(w) * h, 0);
    std::vector<std::pair<int, int>> pending;
    auto visit = [&](int x, int y) {
        if (wraps) x = (x + w) % w;
        if (x < 0 || y < 0 || x >= w || y >= h) return;
        char& seen = reached[static_cast<std::size_t>(y) * w + x];
        if (seen || !IsBlack(pixmap, x, y)) return;
        seen = 1;
        pending.emplace_back(x, y);
    };
    for (int x = 0; x < w; ++x) {
        visit(x, 0);
        visit(x, h - 1);
    }
    if (!wraps) {
        for (int y = 0; y < h; ++y) {
            visit(0, y);
            visit(w - 1, y);
        }
    }
    while (!pending.empty()) {
        const auto [x, y] = pending.back();
        pending.pop_back();
        visit(x + 1, y);
        visit(x - 1, y);
        visit(x, y + 1);
        visit(x, y - 1);
    }
    int enclosed = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x)
            enclosed += IsBlack(pixmap, x, y) && !reached[static_cast<std::size_t>(y) * w + x];
    }
    return enclosed;
}

// Mean difference of two columns over every row and channel.
double ColumnStep(const Ref<TPixmap>& pixmap, int a, int b)
{
    double sum = 0;
    for (int y = 0; y < PixmapHeight(pixmap); ++y) {
        const auto p = Rgb(pixmap, a, y), q = Rgb(pixmap, b, y);
        for (int c = 0; c < 3; ++c)
            sum += std::abs(p[static_cast<std::size_t>(c)] - q[static_cast<std::size_t>(c)]);
    }
    return sum / (PixmapHeight(pixmap) * 3);
}

TEST_F(GameMedia, TheBuildEmbedsEveryFileUnderItsRegisteredNameInTheGamesOrderWithinTheBudget)
{
    const char* const names[] = {
        "intro/logo-zelkor.jpg", "intro/intromusic.ogg", "intro/introtitre.jpg",   "intro/globeintro.png",
        "DATAS/herbe0.png",      "DATAS/herbe1.png",     "DATAS/herbe2.png",       "DATAS/herbe3.png",
        "DATAS/herbe4.png",      "DATAS/nuages0.png",    "DATAS/nuages1.png",      "DATAS/nuages2.png",
        "DATAS/nuages3.png",     "DATAS/nuages4.png",    "DATAS/barriere.png",     "DATAS/montagnes.png",
        "DATAS/fond.jpg",        "DATAS/lune.png",       "DATAS/music-level1.ogg", "DATAS/marcheur.png"};
    const auto game = embedded::GameMedia();
    ASSERT_EQ(game.size(), std::size(names));
    std::int64_t total = 0;
    for (std::size_t i = 0; i < game.size(); ++i) {
        EXPECT_STREQ(game[i].name, names[i]);
        EXPECT_GT(game[i].size, 0) << names[i];
        total += game[i].size;
    }
    ASSERT_EQ(embedded::ConsoleMedia().size(), 1u);
    EXPECT_STREQ(embedded::ConsoleMedia()[0].name, "bakground.png");
    total += embedded::ConsoleMedia()[0].size;
    EXPECT_LT(total, 8 * 1024 * 1024) << "embedded media total, bytes";
    EXPECT_EQ(EmbeddedFileSize("DATAS/fond.jpg"_s), Block("DATAS/fond.jpg").size);
}

TEST_F(GameMedia, EveryPictureDecodesToItsSizeInItsFileFormat)
{
    for (const ExpectedPicture& picture : pictures) {
        SCOPED_TRACE(picture.name);
        const EmbeddedBlock& block = Block(picture.name);
        const auto* bytes = static_cast<const std::uint8_t*>(block.data);
        if (picture.kind == Kind::JPEG) {
            // Baseline: a start-of-frame 0 marker with 8-bit samples and three components; no other frame type.
            ASSERT_TRUE(bytes[0] == 0xff && bytes[1] == 0xd8);
            int baselineFrames = 0, otherFrames = 0;
            for (std::int32_t at = 2; at + 9 < block.size;) {
                ASSERT_EQ(bytes[at], 0xff);
                const int marker = bytes[at + 1];
                const int length = bytes[at + 2] << 8 | bytes[at + 3];
                if (marker == 0xc0) {
                    ++baselineFrames;
                    EXPECT_EQ(bytes[at + 4], 8);
                    EXPECT_EQ(bytes[at + 9], 3);
                } else if (marker >= 0xc1 && marker <= 0xcf && marker != 0xc4 && marker != 0xc8 && marker != 0xcc) {
                    ++otherFrames;
                }
                if (marker == 0xda) break; // the entropy-coded data follows
                at += 2 + length;
            }
            EXPECT_EQ(baselineFrames, 1);
            EXPECT_EQ(otherFrames, 0);
        } else {
            // The PNG header: bit depth 8 and the colour type (3 palette, 6 RGBA, 2 RGB).
            ASSERT_GT(block.size, 26);
            ASSERT_EQ(std::string(reinterpret_cast<const char*>(bytes) + 12, 4), "IHDR");
            EXPECT_EQ(bytes[24], 8);
            EXPECT_EQ(bytes[25], picture.kind == Kind::Palette ? 3 : (picture.kind == Kind::RGBA ? 6 : 2));
        }
        const Ref<TPixmap> pixmap = Load(picture.name);
        ASSERT_TRUE(pixmap);
        EXPECT_EQ(PixmapWidth(pixmap), picture.width);
        EXPECT_EQ(PixmapHeight(pixmap), picture.height);
        EXPECT_EQ(PixmapFormat(pixmap), picture.kind == Kind::RGBA ? PF_RGBA8888 : PF_RGB888);
    }
}

TEST_F(GameMedia, MaskedPicturesAreExactBlackWhereTransparentAndClearlyNotBlackElsewhere)
{
    for (const ExpectedPicture& picture : pictures) {
        if (picture.kind != Kind::Palette) continue;
        SCOPED_TRACE(picture.name);
        const Ref<TPixmap> pixmap = Load(picture.name);
        ASSERT_TRUE(pixmap);
        std::set<std::uint32_t> colours;
        int black = 0, nearBlack = 0;
        for (int y = 0; y < picture.height; ++y) {
            for (int x = 0; x < picture.width; ++x) {
                const auto rgb = Rgb(pixmap, x, y);
                colours.insert(static_cast<std::uint32_t>(rgb[0] << 16 | rgb[1] << 8 | rgb[2]));
                const int brightest = std::max({rgb[0], rgb[1], rgb[2]});
                black += brightest == 0;
                // Anything this dark would show as a dark fringe or speck where the scene should show through.
                nearBlack += brightest > 0 && brightest < 8;
            }
        }
        EXPECT_LE(colours.size(), 256u);
        EXPECT_EQ(nearBlack, 0);
        EXPECT_GT(black, 0) << "every masked picture lets the scene show somewhere";
        EXPECT_LT(black, picture.width * picture.height) << "and shows something itself";
    }
    // The pictures the game draws unmasked-in-effect must hold no black at all: a hole in the sky or in
    // the console's panel would show what lies behind.
    for (const char* name : {"DATAS/fond.jpg", "bakground.png"}) {
        SCOPED_TRACE(name);
        const Ref<TPixmap> pixmap = Load(name);
        ASSERT_TRUE(pixmap);
        int black = 0;
        for (int y = 0; y < PixmapHeight(pixmap); ++y) {
            for (int x = 0; x < PixmapWidth(pixmap); ++x)
                black += IsBlack(pixmap, x, y);
        }
        EXPECT_EQ(black, 0);
    }
}

TEST_F(GameMedia, FiguresOfTheMaskedPicturesHaveNoHoles)
{
    for (const char* name : {"DATAS/nuages0.png", "DATAS/nuages1.png", "DATAS/nuages2.png", "DATAS/nuages3.png",
                             "DATAS/nuages4.png", "DATAS/montagnes.png"}) {
        SCOPED_TRACE(name);
        EXPECT_EQ(EnclosedBlackPixels(Load(name), true), 0);
    }
    EXPECT_EQ(EnclosedBlackPixels(Load("DATAS/lune.png"), false), 0);
    EXPECT_EQ(EnclosedBlackPixels(Load("intro/globeintro.png"), false), 0);
}

TEST_F(GameMedia, EachSceneLayerHasItsShape)
{
    // Grass grows from solid ground: the bottom row is opaque all along, the tips let the scene through.
    for (int i = 0; i < 5; ++i) {
        const std::string name = "DATAS/herbe" + std::to_string(i) + ".png";
        SCOPED_TRACE(name);
        const Ref<TPixmap> grass = Load(name);
        const int h = PixmapHeight(grass);
        int openTips = 0;
        for (int x = 0; x < 640; ++x) {
            EXPECT_FALSE(IsBlack(grass, x, h - 1)) << "x " << x;
            openTips += IsBlack(grass, x, 0);
        }
        EXPECT_GT(openTips, 64);
    }
    // Mountains: open sky above one crest line per column, solid rock below it down to the grass.
    const Ref<TPixmap> mountains = Load("DATAS/montagnes.png");
    for (int x = 0; x < 640; ++x) {
        EXPECT_TRUE(IsBlack(mountains, x, 0)) << "x " << x;
        int crossings = 0;
        for (int y = 1; y < 146; ++y)
            crossings += IsBlack(mountains, x, y - 1) != IsBlack(mountains, x, y);
        EXPECT_EQ(crossings, 1) << "x " << x;
    }
    // Fence: both rails run the whole width; between posts and rails the scene shows.
    const Ref<TPixmap> fence = Load("DATAS/barriere.png");
    for (int x = 0; x < 640; ++x) {
        EXPECT_FALSE(IsBlack(fence, x, 13)) << "x " << x;
        EXPECT_FALSE(IsBlack(fence, x, 27)) << "x " << x;
    }
    EXPECT_TRUE(IsBlack(fence, 0, 20));
    // Moon: a solid disc in a transparent square.
    const Ref<TPixmap> moon = Load("DATAS/lune.png");
    for (int y = 0; y < 106; ++y) {
        for (int x = 0; x < 106; ++x) {
            const int dx = x - 53, dy = y - 53;
            if (dx * dx + dy * dy < 44 * 44) {
                EXPECT_FALSE(IsBlack(moon, x, y)) << x << "," << y;
            } else if (dx * dx + dy * dy > 52 * 52) {
                EXPECT_TRUE(IsBlack(moon, x, y)) << x << "," << y;
            }
        }
    }
    // Clouds leave most of the sky open and still cover a fair part of it.
    for (int i = 0; i < 5; ++i) {
        const std::string name = "DATAS/nuages" + std::to_string(i) + ".png";
        SCOPED_TRACE(name);
        const Ref<TPixmap> clouds = Load(name);
        int black = 0;
        const int h = PixmapHeight(clouds);
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < 640; ++x)
                black += IsBlack(clouds, x, y);
        }
        EXPECT_GT(black, 640 * h * 4 / 10);
        EXPECT_LT(black, 640 * h * 9 / 10);
    }
}

TEST_F(GameMedia, StripsTileWithCopiesOfThemselvesAt640PixelSteps)
{
    for (const game::LevelLayer& layer : game::LEVEL_LAYERS) {
        const std::string name(layer.file);
        SCOPED_TRACE(name);
        const Ref<TPixmap> strip = Load(name);
        std::vector<double> steps;
        for (int x = 0; x + 1 < 640; ++x)
            steps.push_back(ColumnStep(strip, x, x + 1));
        std::sort(steps.begin(), steps.end());
        // The last column into the first is an ordinary step of the picture, not an edge: no larger than all
        // but the largest few of its own.
        EXPECT_LE(ColumnStep(strip, 639, 0), steps[steps.size() * 99 / 100]);
    }
}

TEST_F(GameMedia, TheCreaturesSixCellsEachHoldOneDistinctFigureOnATransparentBackground)
{
    const Ref<TPixmap> strip = Load("DATAS/marcheur.png");
    ASSERT_TRUE(strip);
    auto alpha = [&](int x, int y) { return PixmapPixelPtr(strip, x, y)[3]; };
    for (int cell = 0; cell < 6; ++cell) {
        SCOPED_TRACE(cell);
        const int left = cell * 80;
        // Nothing touches the cell's edges, so no cell bleeds into its neighbour when filtered.
        for (int i = 0; i < 80; ++i) {
            EXPECT_EQ(alpha(left + i, 0), 0);
            EXPECT_EQ(alpha(left + i, 103), 0);
        }
        for (int y = 0; y < 104; ++y) {
            EXPECT_EQ(alpha(left, y), 0);
            EXPECT_EQ(alpha(left + 79, y), 0);
        }
        // One figure: every covered pixel joins every other (8-connected).
        std::vector<char> seen(80 * 104, 0);
        int components = 0, covered = 0, soft = 0, opaque = 0;
        for (int y = 0; y < 104; ++y) {
            for (int x = 0; x < 80; ++x) {
                const int a = alpha(left + x, y);
                covered += a > 0;
                soft += a > 0 && a < 255;
                opaque += a == 255;
                if (a == 0 || seen[static_cast<std::size_t>(y * 80 + x)]) continue;
                ++components;
                std::vector<std::pair<int, int>> pending{{x, y}};
                seen[static_cast<std::size_t>(y * 80 + x)] = 1;
                while (!pending.empty()) {
                    const auto [px, py] = pending.back();
                    pending.pop_back();
                    for (int dy = -1; dy <= 1; ++dy) {
                        for (int dx = -1; dx <= 1; ++dx) {
                            const int nx = px + dx, ny = py + dy;
                            if (nx < 0 || ny < 0 || nx >= 80 || ny >= 104) continue;
                            char& s = seen[static_cast<std::size_t>(ny * 80 + nx)];
                            if (s || alpha(left + nx, ny) == 0) continue;
                            s = 1;
                            pending.emplace_back(nx, ny);
                        }
                    }
                }
            }
        }
        EXPECT_EQ(components, 1);
        EXPECT_GT(opaque, 80 * 104 / 6) << "a figure of some size";
        EXPECT_GT(soft, 100) << "soft anti-aliased edges";
        EXPECT_LT(covered, 80 * 104 * 3 / 4);
    }
    // Each cell is a different moment of the walk.
    for (int a = 0; a < 6; ++a) {
        for (int b = a + 1; b < 6; ++b) {
            int differing = 0;
            for (int y = 0; y < 104; ++y) {
                for (int x = 0; x < 80; ++x) {
                    const std::uint8_t* p = PixmapPixelPtr(strip, a * 80 + x, y);
                    const std::uint8_t* q = PixmapPixelPtr(strip, b * 80 + x, y);
                    differing += std::abs(p[3] - q[3]) > 64;
                }
            }
            EXPECT_GT(differing, 60) << "cells " << a << " and " << b;
        }
    }
}

struct ExpectedMusic
{
    const char* name;
    double shortest, longest; // seconds
};

TEST_F(GameMedia, MusicIsStereoAt44100HzLoopsWithoutAClickAndNeverClips)
{
    for (const ExpectedMusic& music :
         {ExpectedMusic{"intro/intromusic.ogg", 30, 60}, ExpectedMusic{"DATAS/music-level1.ogg", 45, 90}}) {
        SCOPED_TRACE(music.name);
        const Ref<TAudioSample> sample =
            LoadAudioSample(String::FromCString((std::string("incbin::") + music.name).c_str()));
        ASSERT_TRUE(sample);
        EXPECT_EQ(sample->format, SF_STEREO16LE);
        EXPECT_EQ(sample->hertz, 44100);
        const double seconds = sample->length / 44100.0;
        EXPECT_GE(seconds, music.shortest);
        EXPECT_LE(seconds, music.longest);
        const auto* data = reinterpret_cast<const std::int16_t*>(sample->samples);
        const std::size_t frames = static_cast<std::size_t>(sample->length);
        double squares = 0;
        int peak = 0, largestStep = 0;
        for (std::size_t i = 0; i < frames * 2; ++i) {
            squares += static_cast<double>(data[i]) * data[i];
            peak = std::max(peak, std::abs(static_cast<int>(data[i])));
            if (i >= 2) largestStep = std::max(largestStep, std::abs(data[i] - data[i - 2]));
        }
        const double rms = std::sqrt(squares / static_cast<double>(frames * 2)) / 32768;
        EXPECT_GT(rms, 0.05) << "well above silence (-26 dBFS)";
        EXPECT_LE(peak, 29204) << "peaks at most -1 dBFS";
        // The seam: the last frame into the first is no bigger a step than the music takes by itself ...
        for (int channel = 0; channel < 2; ++channel) {
            EXPECT_LE(std::abs(data[channel] - data[(frames - 1) * 2 + static_cast<std::size_t>(channel)]),
                      largestStep);
        }
        // ... and the music plays on through it rather than fading out and in.
        auto rmsOf = [&](std::size_t from, std::size_t count) {
            double sum = 0;
            for (std::size_t i = from * 2; i < (from + count) * 2; ++i)
                sum += static_cast<double>(data[i]) * data[i];
            return std::sqrt(sum / static_cast<double>(count * 2)) / 32768;
        };
        EXPECT_GT(rmsOf(0, 11025), rms / 4);
        EXPECT_GT(rmsOf(frames - 11025, 11025), rms / 4);
    }
}

} // namespace
} // namespace vanta
