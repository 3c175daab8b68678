// Pacing, the event queue, date and time text, and file filters.
#include "support/ScriptedHostDriver.h"
#include "system/DateTime.h"
#include "system/EventQueue.h"
#include "system/FileFilter.h"
#include "system/Pacer.h"

#include <regex>

#include <gtest/gtest.h>

namespace vanta {
namespace {

class SystemTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        driver = New<test::TScriptedHostDriver>();
        SetHostDriver(driver);
        InitEventQueue();
        while (!TakeQueuedEvent().IsNull()) {}
    }
    void TearDown() override { SetHostDriver(Null); }

    Ref<test::TScriptedHostDriver> driver;
};

TEST_F(SystemTest, APacerAtSixtyHertzHasASixteenMillisecondPeriod)
{
    driver->clock = 1000;
    Ref<TPacer> pacer = NewPacer(60.0f);
    EXPECT_EQ(pacer->period, 16);
    EXPECT_EQ(pacer->next, 1000);
    driver->clock = 1005;
    EXPECT_EQ(pacer->WaitTick(), 1);
    EXPECT_EQ(driver->sleeps, std::vector<std::int32_t>{11});
    EXPECT_EQ(pacer->next, 1016);
}

TEST_F(SystemTest, APacerThatFellBehindCountsThePeriodsWithoutWaiting)
{
    Ref<TPacer> pacer = NewPacer(50.0f);
    driver->clock = 65;
    EXPECT_EQ(pacer->WaitTick(), 3);
    EXPECT_TRUE(driver->sleeps.empty());
    EXPECT_EQ(pacer->next, 60);
}

TEST_F(SystemTest, APacerSurvivesTheClockWrapping)
{
    driver->clock = 0x7FFFFFF0;
    Ref<TPacer> pacer = NewPacer(100.0f);
    driver->clock = static_cast<std::int32_t>(0x80000010u);
    EXPECT_EQ(pacer->WaitTick(), 3);
}

TEST_F(SystemTest, PacerRatesOutsideTheUsefulRangeStayDefined)
{
    EXPECT_EQ(NewPacer(5000.0f)->period, 1);
    EXPECT_EQ(NewPacer(0.0f)->period, INT32_MAX);
    EXPECT_EQ(NewPacer(-3.0f)->period, INT32_MAX);
    EXPECT_EQ(NewPacer(std::numeric_limits<float>::quiet_NaN())->period, INT32_MAX);
}

TEST_F(SystemTest, EventsComeOutOldestFirstAndAFullQueueDropsTheRest)
{
    std::vector<Ref<Object>> made;
    for (int i = 0; i < 257; ++i) {
        made.push_back(String::FromInt(i));
        EXPECT_EQ(QueueEvent(made.back()), 0);
    }
    QueueEvent(Null);
    EXPECT_EQ(PeekQueuedEvent(), made[0]);
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(TakeQueuedEvent(), made[static_cast<std::size_t>(i)]) << i;
    const int pumps = driver->pumps;
    EXPECT_TRUE(TakeQueuedEvent().IsNull());
    EXPECT_EQ(driver->pumps, pumps + 1) << "an empty queue pumps once before answering Null";
}

TEST_F(SystemTest, DateAndTimeHaveTheirShapes)
{
    const std::string date = CurrentDate()->ToCString();
    const std::string time = CurrentTime()->ToCString();
    EXPECT_TRUE(std::regex_match(date, std::regex("[0-3][0-9] [A-Z][a-z][a-z] [0-9]{4}"))) << date;
    EXPECT_TRUE(std::regex_match(time, std::regex("[0-2][0-9]:[0-5][0-9]:[0-6][0-9]"))) << time;
}

std::vector<std::pair<std::u16string, std::u16string>> Filters(String* list)
{
    std::vector<std::pair<std::u16string, std::u16string>> pairs;
    for (const FileFilter& f : BuildFileFilters(list))
        pairs.emplace_back(f.description->View(), f.pattern->View());
    return pairs;
}

TEST(FileFilters, FollowTheExtensionListRules)
{
    using Pairs = std::vector<std::pair<std::u16string, std::u16string>>;
    EXPECT_EQ(Filters("Images:png,jpg;Text:txt"_s), (Pairs{{u"Images", u"*.png;*.jpg"}, {u"Text", u"*.txt"}}));
    EXPECT_EQ(Filters("png"_s), (Pairs{{u"Files", u"*.png"}}));
    EXPECT_EQ(Filters("png,bmp"_s), (Pairs{{u"Files", u"*.png;*.bmp"}}));
    EXPECT_TRUE(Filters(""_s).empty());
}

} // namespace
} // namespace vanta
