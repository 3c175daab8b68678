// The intro's scroller: its path across the title screen and the form of its message.
#include "game/GameGlobals.h"
#include "game/Intro.h"

#include <algorithm>
#include <gtest/gtest.h>
#include <regex>
#include <string>

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
    EXPECT_TRUE(std::none_of(withoutAddress.begin(), withoutAddress.end(), [](char c) { return c >= 'a' && c <= 'z'; }));
}

} // namespace
} // namespace vanta::game
