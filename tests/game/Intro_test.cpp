// The intro's scroller: its path across the title screen and the form of its message.
#include "game/GameGlobals.h"
#include "game/Intro.h"
#include "platform/Gamepads.h"
#include "support/GameStage.h"
#include "system/Gamepads.h"

#include <algorithm>
#include <regex>
#include <string>

#include <gtest/gtest.h>

namespace vanta::game {
namespace {

std::string Text(const Ref<String>& s)
{
    return s->ToCString();
}

TEST(Intro, TheScrollerIsDrawnAtEveryEvenXFrom800DownToMinus4500ThenAt800Again)
{
    ResetGlobals();
    std::int32_t drawnAt = Globals().scrollerX;
    EXPECT_EQ(drawnAt, 800);
    int frames = 0;
    do {
        ASSERT_EQ(drawnAt, 800 - 2 * frames) << "frame " << frames;
        drawnAt = StepScroller();
        ++frames;
    } while (drawnAt != 800 && frames < 5000);
    EXPECT_EQ(frames, 2651) << "one pass, -4500 included";
    EXPECT_EQ(StepScroller(), 798);
    ResetGlobals();
}

TEST(Intro, TheMessageIsOneLineOf566CapitalsInFiveSectionsEndingWithTheCallToPlay)
{
    const std::string text = Text(ScrollerText());
    EXPECT_EQ(text.size(), 566u);
    EXPECT_EQ(text.find('\n'), std::string::npos);
    for (char c : text)
        ASSERT_TRUE(c >= 32 && c < 127) << "the default font draws codes 32-126 only: " << int(c);

    // Sections apart by runs of 12 to 29 spaces; no other run of spaces is that long.
    std::vector<std::string> sections;
    std::size_t start = 0;
    const std::regex gap(" {12,}");
    for (auto it = std::sregex_iterator(text.begin(), text.end(), gap); it != std::sregex_iterator(); ++it) {
        EXPECT_LE(it->length(), 29);
        sections.push_back(text.substr(start, static_cast<std::size_t>(it->position()) - start));
        start = static_cast<std::size_t>(it->position() + it->length());
    }
    sections.push_back(text.substr(start));
    ASSERT_EQ(sections.size(), 5u);
    EXPECT_TRUE(std::regex_match(sections[0], std::regex(R"(\*+ .+ \*+)"))) << "a title framed by asterisks";
    EXPECT_EQ(sections[4], "**** APPUYER SUR ECHAP POUR LANCER LE JEU ****");
    EXPECT_NE(sections[3].find("www."), std::string::npos) << "the invitation names our web site";

    // Capitals everywhere but in the web address.
    const std::string withoutAddress = std::regex_replace(text, std::regex(R"(www\.[a-z.]+)"), "");
    EXPECT_TRUE(
        std::none_of(withoutAddress.begin(), withoutAddress.end(), [](char c) { return c >= 'a' && c <= 'z'; }));
}

} // namespace
} // namespace vanta::game

namespace vanta::game {
namespace {

class IntroScreens : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(stage.ok);
        stage.Open();
    }
    test::GameStage stage;
};

TEST_F(IntroScreens, TheLogoLastsExactly100FramesWhateverKeysArePressed)
{
    stage.PressEscape();
    stage.host->Press(VK_SPACE);
    stage.driver->surfaces.back()->onFlip = [this] { stage.PressEscape(); };
    const int flips = stage.Flips();
    const int pumps = stage.host->pumps;

    ShowLogo();

    EXPECT_EQ(stage.Flips() - flips, 100);
    EXPECT_EQ(stage.host->pumps, pumps) << "the logo reads no input, so it pumps no messages";
    const std::vector<test::StageDraw> draws = stage.Draws();
    ASSERT_EQ(draws.size(), 100u);
    for (const test::StageDraw& d : draws) {
        EXPECT_EQ(d.what, "intro/logo-zelkor.jpg");
        EXPECT_EQ(std::vector<float>({d.x0, d.y0, d.x1, d.y1, d.tx, d.ty}), std::vector<float>({0, 0, 640, 480, 0, 0}));
    }
    // Each frame is drawn, flipped, then cleared.
    EXPECT_EQ(stage.driver->Calls("Clear").size(), 100u);
    EXPECT_EQ(stage.driver->Calls("CreateFrameFromPixmap")[0].args[0], 3.0) << "the default image flags";
}

TEST_F(IntroScreens, AnEscapeHitDuringTheLogoEndsTheTitleAtItsFirstCheck)
{
    stage.PressEscape();
    ShowLogo();
    stage.driver->ClearCalls();
    const int flips = stage.Flips();

    ShowTitle();

    EXPECT_TRUE(stage.Draws().empty()) << "no title frame is drawn";
    EXPECT_EQ(stage.Flips(), flips);
    EXPECT_NE(Globals().introChannel, 0) << "the music was started and its channel kept";
}

TEST_F(IntroScreens, TheTitleDrawsItsPictureAndTheScrollerEveryFrameUntilEscape)
{
    ShowLogo();
    stage.driver->ClearCalls();
    int titleFrames = 0;
    stage.driver->surfaces.back()->onFlip = [this, &titleFrames] {
        if (++titleFrames == 3) stage.PressEscape();
    };

    ShowTitle();

    ASSERT_EQ(titleFrames, 3);
    const std::vector<test::StageDraw> draws = stage.Draws();
    const std::size_t perFrame = 1 + 566; // the picture, then one glyph per character
    ASSERT_EQ(draws.size(), 3 * perFrame);
    for (int frame = 0; frame < 3; ++frame) {
        const test::StageDraw& picture = draws[frame * perFrame];
        EXPECT_EQ(picture.what, "intro/introtitre.jpg");
        EXPECT_EQ(picture.tx, 0.0f);
        EXPECT_EQ(picture.ty, 0.0f);
        for (std::size_t i = 0; i < 566; ++i) {
            const test::StageDraw& glyph = draws[frame * perFrame + 1 + i];
            ASSERT_EQ(glyph.what, "glyph");
            ASSERT_EQ(glyph.tx, static_cast<float>(800 - 2 * frame + 8 * static_cast<int>(i)));
            ASSERT_EQ(glyph.ty, 446.0f);
        }
    }
    EXPECT_EQ(Globals().scrollerX, 794);
}

TEST_F(IntroScreens, APadsStartOrBLeavesTheTitleAsEscapeDoes)
{
    ShowLogo();
    for (const std::int32_t button : {PAD_START, PAD_B}) {
        SCOPED_TRACE(button == PAD_START ? "Start" : "B");
        int titleFrames = 0;
        stage.driver->surfaces.back()->onFlip = [this, &titleFrames, button] {
            if (++titleFrames != 2) return;
            stage.host->Post(platform::WM_GAMEPADADDED, 3);
            stage.host->Post(platform::WM_GAMEPADBUTTONDOWN, 3, button);
        };
        ShowTitle();
        EXPECT_EQ(titleFrames, 2);
        stage.host->Post(platform::WM_GAMEPADREMOVED, 3);
    }
}

} // namespace
} // namespace vanta::game
