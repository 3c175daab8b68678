// The media generator's encoders and synthesiser, checked through the runtime's own loaders: the palette
// writer keeps the masking rule, `Flatten` turns soft edges into it, the Ogg writer keeps a loop's exact
// length, and the loop renderer carries what sounds past the end into the start.
#include "audio/AudioSample.h"
#include "audio/OggLoader.h"
#include "pixmap/Pixmap.h"
#include "pixmap/loaders/ImageLoaders.h"
#include "runtime/String.h"
#include "tools/media/Encoders.h"
#include "tools/media/Synth.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>
#include <unistd.h>

#include <gtest/gtest.h>

namespace vanta::media {
namespace {

namespace fs = std::filesystem;

class MediaEncoders : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        InitImageLoaders();
        InitOggLoader();
    }
    void SetUp() override { fs::create_directories(folder_); }
    void TearDown() override { fs::remove_all(folder_); }

    std::string File(const std::string& name) const { return (folder_ / name).string(); }

    const fs::path folder_ = fs::temp_directory_path() / ("vanta_media_encoders_" + std::to_string(::getpid()));
};

TEST_F(MediaEncoders, APalettePNGKeepsExactBlackAloneAndQuantisesEverythingElseAwayFromBlack)
{
    // 64 x 64 colours of a smooth field, darkest in one corner, with a band of exact black across it.
    Raster picture(64, 64);
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            std::uint8_t* p = picture.At(x, y);
            p[0] = static_cast<std::uint8_t>(x * 4);
            p[1] = static_cast<std::uint8_t>(y * 4);
            p[2] = static_cast<std::uint8_t>((x + y) * 2);
            p[3] = 255;
            if (y >= 30 && y < 34) p[0] = p[1] = p[2] = 0;
        }
    }
    WritePalettePNG(File("field.png"), picture);
    const Ref<TPixmap> loaded = LoadPixmap(String::FromCString(File("field.png").c_str()));
    ASSERT_TRUE(loaded);
    ASSERT_EQ(PixmapFormat(loaded), PF_RGB888);
    std::set<std::uint32_t> colours;
    double error = 0;
    for (int y = 0; y < 64; ++y) {
        for (int x = 0; x < 64; ++x) {
            const std::uint8_t* p = PixmapPixelPtr(loaded, x, y);
            const std::uint8_t* q = picture.At(x, y);
            colours.insert(static_cast<std::uint32_t>(p[0] << 16 | p[1] << 8 | p[2]));
            const bool wasBlack = q[0] == 0 && q[1] == 0 && q[2] == 0;
            const int brightest = std::max({p[0], p[1], p[2]});
            if (wasBlack) {
                EXPECT_EQ(brightest, 0) << x << "," << y;
            } else {
                // (0, 0, 0) itself and its neighbours (0, 4, 0) ... come out lifted, never as black.
                EXPECT_GE(brightest, MIN_OPAQUE_LEVEL) << x << "," << y;
                for (int c = 0; c < 3; ++c)
                    error += std::abs(p[c] - q[c]);
            }
        }
    }
    EXPECT_LE(colours.size(), 256u);
    EXPECT_LT(error / (60 * 64 * 3), 4.0) << "mean error per channel";
}

TEST_F(MediaEncoders, FlattenTurnsSoftEdgesIntoTheMaskRule)
{
    Raster drawn(4, 2);
    const std::uint8_t pixels[8][4] = {{200, 100, 50, 0}, {200, 100, 50, 127}, {200, 100, 50, 128}, {200, 100, 50, 255},
                                       {0, 0, 0, 255},    {1, 2, 3, 255},      {0, 0, 0, 0},        {9, 0, 0, 200}};
    for (int i = 0; i < 8; ++i)
        std::copy_n(pixels[i], 4, drawn.At(i % 4, i / 4));
    const Raster flat = Flatten(drawn, Colour{0.0, 0.0, 1.0});
    auto rgb = [&](int i) {
        const std::uint8_t* p = flat.At(i % 4, i / 4);
        return std::array<int, 3>{p[0], p[1], p[2]};
    };
    EXPECT_EQ(rgb(0), (std::array<int, 3>{0, 0, 0})) << "uncovered: transparent";
    EXPECT_EQ(rgb(1), (std::array<int, 3>{0, 0, 0})) << "less than half covered: transparent";
    EXPECT_EQ(rgb(2), (std::array<int, 3>{100, 50, 152})) << "half covered: laid over the fringe colour";
    EXPECT_EQ(rgb(3), (std::array<int, 3>{200, 100, 50})) << "covered: its own colour";
    EXPECT_EQ(std::max({rgb(4)[0], rgb(4)[1], rgb(4)[2]}), MIN_OPAQUE_LEVEL) << "drawn black stays opaque";
    EXPECT_EQ(rgb(5), (std::array<int, 3>{3, 6, 8})) << "near-black is lifted keeping its hue";
    EXPECT_EQ(rgb(6), (std::array<int, 3>{0, 0, 0}));
    for (std::size_t i = 3; i < flat.rgba.size(); i += 4)
        EXPECT_EQ(flat.rgba[i], 255);
}

TEST_F(MediaEncoders, TheOggWriterKeepsTheExactLengthAndLevelOfWhatItIsGiven)
{
    // 1.5 s of a 441-Hz tone, left and right a quarter-period apart, at -6 dBFS.
    const std::size_t frames = 66150;
    std::vector<float> stereo(frames * 2);
    for (std::size_t i = 0; i < frames; ++i) {
        stereo[i * 2] = static_cast<float>(0.5 * std::sin(2 * 3.14159265358979 * 441 * i / 44100.0));
        stereo[i * 2 + 1] = static_cast<float>(0.5 * std::cos(2 * 3.14159265358979 * 441 * i / 44100.0));
    }
    WriteOggVorbis(File("tone.ogg"), stereo, 44100, 0.3f, 7);
    const Ref<TAudioSample> sample = LoadAudioSample(String::FromCString(File("tone.ogg").c_str()));
    ASSERT_TRUE(sample);
    EXPECT_EQ(sample->format, SF_STEREO16LE);
    EXPECT_EQ(sample->hertz, 44100);
    EXPECT_EQ(sample->length, static_cast<std::int32_t>(frames)) << "a loop must come back exactly as long";
    const auto* data = reinterpret_cast<const std::int16_t*>(sample->samples);
    double squares = 0;
    for (std::size_t i = 0; i < frames * 2; ++i)
        squares += static_cast<double>(data[i]) * data[i];
    EXPECT_NEAR(std::sqrt(squares / (frames * 2)) / 32768, 0.5 / std::sqrt(2.0), 0.02);
}

TEST_F(MediaEncoders, ALoopCarriesWhatSoundsPastItsEndIntoItsStartAndPeaksWhereAsked)
{
    // One pad note held to the very end of a 2-second loop: its release and the reverb must sound at the
    // start, where no note begins, and the last frame must flow into the first.
    Track pad{Voice::Pad, 1.0, 0.0, 0.0, 0.5, {}};
    pad.notes.push_back({1.0, 1.0, 57, 0.8});
    const std::size_t frames = 2 * SAMPLE_RATE;
    const std::vector<float> loop = RenderLoop({pad}, frames, 0.25, 0.7);
    ASSERT_EQ(loop.size(), frames * 2);
    float largest = 0, largestStep = 0;
    for (std::size_t i = 0; i < loop.size(); ++i) {
        largest = std::max(largest, std::abs(loop[i]));
        if (i >= 2) largestStep = std::max(largestStep, std::abs(loop[i] - loop[i - 2]));
    }
    EXPECT_NEAR(largest, 0.7f, 1e-6);
    double startEnergy = 0;
    for (std::size_t i = 0; i < SAMPLE_RATE / 10 * 2; ++i)
        startEnergy += loop[i] * loop[i];
    EXPECT_GT(std::sqrt(startEnergy / (SAMPLE_RATE / 10 * 2)), 0.02) << "the tail sounds at the start";
    for (std::size_t channel = 0; channel < 2; ++channel) {
        EXPECT_LE(std::abs(loop[channel] - loop[(frames - 1) * 2 + channel]), largestStep);
    }
}

TEST(MediaSynth, ParsesNoteNamesToMidiPitches)
{
    EXPECT_EQ(ParsePitch("A4"), 69);
    EXPECT_EQ(ParsePitch("C4"), 60);
    EXPECT_EQ(ParsePitch("C#5"), 73);
    EXPECT_EQ(ParsePitch("Bb3"), 58);
    EXPECT_EQ(ParsePitch("B0"), 23);
    for (const char* junk : {"", "H4", "A", "A#", "a4", "A44", "C9", "Cx4"})
        EXPECT_EQ(ParsePitch(junk), -1) << junk;
}

} // namespace
} // namespace vanta::media
