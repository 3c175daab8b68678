// The main sequence from start to Escape on a recording driver with a scripted clock and keyboard:
// what is drawn in which order and where, how the keys end each stage, and the music hand-over.
#include "audio/Sound.h"
#include "game/GameGlobals.h"
#include "game/GameMain.h"
#include "game/LevelLayout.h"
#include "runtime/Handle.h"
#include "support/GameStage.h"

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace vanta::game {
namespace {

class MainSequence : public ::testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(stage.ok); }

    // Runs the game; `onLevelFlip` is called after each level frame's flip with its number (from 1).
    std::int32_t Play(std::function<void(int)> onLevelFlip)
    {
        stage.driver->onFlip = [this, onLevelFlip] {
            if (Globals().levelChannelStarted) onLevelFlip(++levelFrames);
        };
        return GameMain();
    }

    // The draws of level frame `n` (from 1): each level frame is the run of draws that begins with the sky.
    std::vector<test::StageDraw> LevelFrame(int n) const
    {
        const std::vector<test::StageDraw> draws = stage.Draws();
        std::vector<std::size_t> starts;
        for (std::size_t i = 0; i < draws.size(); ++i) {
            if (draws[i].what == "DATAS/fond.jpg") starts.push_back(i);
        }
        if (static_cast<int>(starts.size()) < n) return {};
        const std::size_t begin = starts[n - 1];
        const std::size_t end = static_cast<std::size_t>(n) < starts.size() ? starts[n] : draws.size();
        return {draws.begin() + static_cast<std::ptrdiff_t>(begin), draws.begin() + static_cast<std::ptrdiff_t>(end)};
    }

    test::GameStage stage;
    int levelFrames = 0;
};

void ExpectGlyphs(const std::vector<test::StageDraw>& draws, std::size_t& at, std::size_t count, float x, float y,
                  const char* text)
{
    for (std::size_t i = 0; i < count; ++i, ++at) {
        ASSERT_LT(at, draws.size()) << text;
        EXPECT_EQ(draws[at].what, "glyph") << text << " character " << i;
        EXPECT_EQ(draws[at].tx, x + 8.0f * static_cast<float>(i)) << text << " character " << i;
        EXPECT_EQ(draws[at].ty, y) << text;
    }
}

TEST_F(MainSequence, OneLevelFrameIsTheNineStepsInOrderAtTheirPlaces)
{
    stage.PressEscape(); // during the logo: ends the title at its first check
    ASSERT_EQ(Play([this](int frame) {
                  if (frame == 2) stage.PressEscape();
              }),
              0);
    ASSERT_EQ(levelFrames, 2) << "the second Escape ends the level before its third frame";

    for (int n = 1; n <= 2; ++n) {
        SCOPED_TRACE("level frame " + std::to_string(n));
        const std::vector<test::StageDraw> frame = LevelFrame(n);
        ASSERT_EQ(frame.size(), 2u + 36u + 6u + 7u + 26u + 1u);
        std::size_t at = 0;
        for (const LevelPicture& picture : {LEVEL_SKY, LEVEL_MOON}) {
            EXPECT_EQ(frame[at].what, picture.file);
            EXPECT_EQ(frame[at].tx, static_cast<float>(picture.x));
            EXPECT_EQ(frame[at++].ty, static_cast<float>(picture.y));
        }
        // The gate opens on every frame, so the layers have moved n times before they are drawn.
        for (const LevelLayer& strip : LEVEL_LAYERS) {
            const float x = static_cast<float>(strip.speed * n);
            for (float copy : {x, x + 640.0f, x - 640.0f}) {
                EXPECT_EQ(frame[at].what, strip.file);
                EXPECT_EQ(frame[at].tx, copy) << strip.file;
                EXPECT_EQ(frame[at++].ty, static_cast<float>(strip.y)) << strip.file;
            }
        }
        ExpectGlyphs(frame, at, 6, 10, 30, "V 0.1C");
        ExpectGlyphs(frame, at, 7, 560, 30, "FPS = 0");
        ExpectGlyphs(frame, at, 26, 10, 450, "TOUCHE ESCAPE POUR QUITTER");
        EXPECT_EQ(frame[at].what, std::string(LEVEL_CREATURE.file) + "#0");
        EXPECT_EQ(std::vector<float>({frame[at].x1, frame[at].y1, frame[at].tx, frame[at].ty}),
                  std::vector<float>(
                      {LEVEL_CREATURE.cellWidth, LEVEL_CREATURE.cellHeight, LEVEL_CREATURE.x, LEVEL_CREATURE.y}));
    }
}

TEST_F(MainSequence, RunsTheStagesInOrderAndHandsTheMusicOver)
{
    stage.PressEscape();
    ASSERT_EQ(Play([this](int frame) {
                  if (frame == 3) stage.PressEscape();
              }),
              0);

    const auto created = stage.driver->Calls("CreateGraphics");
    ASSERT_EQ(created.size(), 1u);
    EXPECT_EQ(created[0].args, (std::vector<double>{640, 480, 0, 60, 0}));
    const auto pointer = stage.driver->Calls("SetPointerVisible");
    ASSERT_EQ(pointer.size(), 1u);
    EXPECT_EQ(pointer[0].args[0], 0.0) << "the pointer is hidden";

    // The logo's 100 frames, no title frame, the loading screen, then the level's frames.
    const std::vector<test::StageDraw> draws = stage.Draws();
    std::size_t at = 0;
    while (at < draws.size() && draws[at].what == "intro/logo-zelkor.jpg")
        ++at;
    EXPECT_EQ(at, 100u);
    ASSERT_LT(at, draws.size());
    EXPECT_EQ(draws[at].what, "intro/globeintro.png");
    EXPECT_EQ(draws[at].tx, 0.0f);
    EXPECT_EQ(draws[at++].ty, 40.0f);
    ExpectGlyphs(draws, at, 7, 290, 20, "LEVEL 1");
    ExpectGlyphs(draws, at, 23, 240, 456, "Chargement en cours ...");
    EXPECT_EQ(draws[at].what, "DATAS/fond.jpg") << "the level follows the loading screen";
    EXPECT_EQ(levelFrames, 3);
    EXPECT_FALSE(LevelFrame(3).empty());
    EXPECT_TRUE(LevelFrame(4).empty());

    // The moon is masked but not filtered; everything else has the default flags.
    for (const Object* made : stage.driver->frames) {
        const auto* frame = static_cast<const test::TRecordingFrame*>(made);
        const std::string what = test::StandInNameOf(frame->pixmap);
        EXPECT_EQ(frame->flags, what == "DATAS/lune.png" ? 1 : (what == "glyph" ? 0 : 3)) << what;
    }

    // The intro music was stopped; the level music plays on.
    EXPECT_EQ(ChannelPlaying(HandleToObject<TChannel>(Globals().introChannel)), 0);
    // SDL's dummy audio driver (this suite's CMake list) always opens a device, so the channel really plays.
    ASSERT_NE(CurrentAudioDriver()->Class(), &classRecordOf<TAudioDriver>) << "no sound device opened";
    EXPECT_EQ(ChannelPlaying(HandleToObject<TChannel>(Globals().levelChannel)), 1);
    EXPECT_EQ(ReleaseStackLevel(), Globals().releaseMark) << "the frames' temporaries were released";
}

TEST_F(MainSequence, AHeldEscapeEndsTheTitleOnlyOnce)
{
    // Escape goes down during the logo and stays down: its auto-repeats reach the level, which goes on
    // until Escape is released and pressed again.
    stage.host->Press(VK_ESCAPE);
    ASSERT_EQ(Play([this](int frame) {
                  if (frame < 5) {
                      stage.host->Repeat(VK_ESCAPE);
                  } else if (frame == 5) {
                      stage.host->Release(VK_ESCAPE);
                      stage.host->Press(VK_ESCAPE);
                  }
              }),
              0);
    EXPECT_EQ(levelFrames, 5);
}

TEST_F(MainSequence, ASecondCallReturnsAtOnce)
{
    stage.PressEscape();
    ASSERT_EQ(Play([this](int) { stage.PressEscape(); }), 0);
    stage.driver->ClearCalls();
    const std::int32_t clock = stage.host->clock;
    stage.PressEscape();
    EXPECT_EQ(GameMain(), 0);
    EXPECT_TRUE(stage.driver->Log().empty());
    EXPECT_EQ(stage.host->clock, clock);
    EXPECT_EQ(stage.host->messages.size(), 2u) << "not even input is read";
}

} // namespace
} // namespace vanta::game
