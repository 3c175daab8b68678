// Gamepads through SDL's virtual controllers, which pass through the same controller events as a real
// pad: presses and releases, hits counted between polls, the dead zone, triggers, and pads plugged in and
// out while the program runs. Runs the desktop host driver's real pump (no display needed).
#include "platform/Platform.h"
#include "support/WaitForMessages.h"
#include "system/Gamepads.h"
#include "system/HostDriver.h"
#include "system/System.h"

#include <gtest/gtest.h>

namespace vanta {
namespace {

class GamepadsTest : public ::testing::Test
{
protected:
    static void TearDownTestSuite() { platform::StopGamepads(); }

    void SetUp() override
    {
        InitSystem();
        InitGamepads();
        ASSERT_TRUE(platform::StartGamepads()) << platform::WindowError();
        ASSERT_EQ(CountGamepads(), 0) << "a pad was left plugged in";
    }

    void TearDown() override
    {
        for (int id : plugged_)
            platform::DetachVirtualGamepad(id);
        test::WaitUntil([] { return CountGamepads() == 0; });
        ClearGamepads();
    }

    // Plugs in a virtual pad and waits until it is connected as `pad`.
    int PlugIn(std::int32_t pad)
    {
        const int id = platform::AttachVirtualGamepad();
        EXPECT_GE(id, 0) << platform::WindowError();
        plugged_.push_back(id);
        EXPECT_TRUE(test::WaitUntil([pad] { return GamepadConnected(pad) == 1; })) << "pad " << pad << " never came";
        return id;
    }

    void Unplug(int id)
    {
        EXPECT_TRUE(platform::DetachVirtualGamepad(id));
        std::erase(plugged_, id);
    }

    // Sets a button and lets SDL see it, without reading anything.
    static void Button(int id, std::int32_t button, bool down)
    {
        ASSERT_TRUE(platform::SetVirtualGamepadButton(id, button, down));
        platform::UpdateVirtualGamepads();
    }

    static void Axis(int id, int axis, int value)
    {
        ASSERT_TRUE(platform::SetVirtualGamepadAxis(id, axis, value));
        platform::UpdateVirtualGamepads();
    }

    std::vector<int> plugged_;
};

TEST_F(GamepadsTest, PressAndReleaseAreSeenAndHitsCountEveryPressBetweenPolls)
{
    const int id = PlugIn(0);
    EXPECT_EQ(CountGamepads(), 1);
    Button(id, PAD_A, true);
    EXPECT_TRUE(test::WaitUntil([] { return IsGamepadButtonDown(0, PAD_A) == 1; }));
    EXPECT_EQ(GamepadButtonHits(0, PAD_A), 1);
    EXPECT_EQ(GamepadButtonHits(0, PAD_A), 0) << "reading consumes the count";
    Button(id, PAD_A, false);
    EXPECT_TRUE(test::WaitUntil([] { return IsGamepadButtonDown(0, PAD_A) == 0; }));
    EXPECT_EQ(GamepadButtonHits(0, PAD_A), 0) << "a release is no hit";

    // Three presses with nothing read in between: all three are counted at the next poll.
    for (int i = 0; i < 3; ++i) {
        Button(id, PAD_START, true);
        Button(id, PAD_START, false);
    }
    EXPECT_EQ(GamepadButtonHits(0, PAD_START), 3);
    EXPECT_EQ(GamepadButtonHits(0, PAD_B), 0) << "other buttons are untouched";
    EXPECT_EQ(GamepadButtonHits(0, PAD_BUTTONS), 0) << "unknown button";
    EXPECT_EQ(GamepadButtonHits(MAX_GAMEPADS, PAD_A), 0) << "unknown pad";

    Button(id, PAD_B, true);
    Button(id, PAD_B, false);
    EXPECT_EQ(AnyGamepadButtonHits(PAD_B), 1);
}

TEST_F(GamepadsTest, SticksHaveADeadZoneAndTriggersReadFromZeroToOne)
{
    const int id = PlugIn(0);
    ASSERT_FLOAT_EQ(GamepadDeadZone(), PAD_DEAD_ZONE);
    Axis(id, PAD_LEFT_X, 6553); // a fifth of the way: inside the zone
    Axis(id, PAD_LEFT_Y, -32768);
    Axis(id, PAD_RIGHT_X, 20479); // 0.625: (0.625 - 0.25) / 0.75 = 0.5
    // A trigger's raw axis travels the whole range, which the controller layer reads as 0 ... 32767: the
    // middle of the range is half pulled.
    Axis(id, 4, 0);
    Axis(id, 5, 32767);
    EXPECT_TRUE(test::WaitUntil([] { return GamepadTrigger(0, PAD_RIGHT_TRIGGER) == 1.0f; }));
    EXPECT_EQ(GamepadAxis(0, PAD_LEFT_X), 0.0f);
    EXPECT_FLOAT_EQ(GamepadAxis(0, PAD_LEFT_Y), -1.0f);
    EXPECT_NEAR(GamepadAxis(0, PAD_RIGHT_X), 0.5f, 0.001f);
    EXPECT_EQ(GamepadAxis(0, PAD_RIGHT_Y), 0.0f);
    EXPECT_NEAR(GamepadTrigger(0, PAD_LEFT_TRIGGER), 0.5f, 0.001f);
    EXPECT_EQ(GamepadAxis(0, 4), 0.0f) << "triggers are not stick axes";
    EXPECT_EQ(GamepadTrigger(0, 2), 0.0f) << "unknown trigger";

    SetGamepadDeadZone(0.0f);
    EXPECT_NEAR(GamepadAxis(0, PAD_LEFT_X), 0.2f, 0.001f);
    SetGamepadDeadZone(PAD_DEAD_ZONE);
}

TEST_F(GamepadsTest, PadsPluggedInAndOutWhileRunningKeepTheirNumbersAndTheirUnreadHits)
{
    const int first = PlugIn(0);
    const int second = PlugIn(1);
    EXPECT_EQ(CountGamepads(), 2);
    Button(second, PAD_X, true);
    Button(first, PAD_Y, true);
    EXPECT_TRUE(test::WaitUntil([] { return IsGamepadButtonDown(0, PAD_Y) == 1; }));

    Unplug(first);
    EXPECT_TRUE(test::WaitUntil([] { return GamepadConnected(0) == 0; }));
    EXPECT_EQ(GamepadConnected(1), 1) << "the other pad keeps its number";
    EXPECT_EQ(CountGamepads(), 1);
    EXPECT_EQ(IsGamepadButtonDown(0, PAD_Y), 0) << "an unplugged pad holds nothing";
    EXPECT_EQ(GamepadButtonHits(0, PAD_Y), 1) << "its press is still there to read";
    EXPECT_EQ(GamepadButtonHits(1, PAD_X), 1);
    EXPECT_EQ(GamepadName(0)->Length(), 0);
    EXPECT_GT(GamepadName(1)->Length(), 0);

    PlugIn(0);
    EXPECT_EQ(CountGamepads(), 2) << "a new pad takes the lowest free number";
    EXPECT_EQ(IsGamepadButtonDown(0, PAD_Y), 0);
}

} // namespace
} // namespace vanta
