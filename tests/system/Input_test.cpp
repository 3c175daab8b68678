// Polled input: key hits and down flags, modifier sides, characters, pointer and wheel, and the module
// functions over a driver whose messages go through the real input hook.
#include "platform/Messages.h"
#include "runtime/Error.h"
#include "support/ScriptedHostDriver.h"
#include "system/HostDriver.h"
#include "system/Input.h"
#include "system/Keys.h"

#include <utility>

#include <gtest/gtest.h>

namespace vanta {
namespace {

constexpr std::intptr_t REPEAT = platform::KEYDATA_PREVIOUS_DOWN;
constexpr std::intptr_t EXTENDED = platform::KEYDATA_EXTENDED;

std::intptr_t Scan(std::uint32_t code)
{
    return static_cast<std::intptr_t>(code) << 16;
}

class InputTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        driver = New<test::TScriptedHostDriver>();
        SetHostDriver(driver);
        ClearInputKeyState();
    }
    void TearDown() override
    {
        ClearInputKeyState();
        SetHostDriver(Null);
    }

    Ref<test::TScriptedHostDriver> driver;
};

TEST_F(InputTest, AutoRepeatDoesNotAddHits)
{
    driver->Post(platform::WM_KEYDOWN, 'A', Scan(30));
    for (int i = 0; i < 10; ++i)
        driver->Post(platform::WM_KEYDOWN, 'A', Scan(30) | REPEAT);
    EXPECT_EQ(KeyHits('A'), 1);
    EXPECT_EQ(KeyHits('A'), 0) << "reading consumes the count";
    EXPECT_EQ(IsKeyDown('A'), 1);
    driver->Post(platform::WM_KEYUP, 'A', Scan(30));
    driver->Post(platform::WM_KEYDOWN, 'A', Scan(30));
    driver->Post(platform::WM_KEYUP, 'A', Scan(30));
    driver->Post(platform::WM_KEYDOWN, 'A', Scan(30));
    EXPECT_EQ(KeyHits('A'), 2);
}

TEST_F(InputTest, APressWithoutReleaseCountsOnce)
{
    driver->Post(platform::WM_KEYDOWN, 'B', 0);
    driver->Post(platform::WM_KEYDOWN, 'B', 0);
    EXPECT_EQ(KeyHits('B'), 1) << "a key already flagged down is not hit again";
}

TEST_F(InputTest, HitCountsWrapAt256)
{
    for (int i = 0; i < 257; ++i) {
        HandleInputMessage(0, platform::WM_KEYDOWN, 'C', 0);
        HandleInputMessage(0, platform::WM_KEYUP, 'C', 0);
    }
    EXPECT_EQ(TakeInputKeyHits('C'), 1);
}

TEST_F(InputTest, ModifiersSetTheirGenericAndSideCodes)
{
    driver->Post(platform::WM_KEYDOWN, 16, Scan(42));
    EXPECT_EQ(IsKeyDown(16), 1);
    EXPECT_EQ(IsKeyDown(160), 1);
    EXPECT_EQ(IsKeyDown(161), 0);
    driver->Post(platform::WM_KEYUP, 16, Scan(42));
    EXPECT_EQ(IsKeyDown(16), 0);
    EXPECT_EQ(IsKeyDown(160), 0);

    driver->Post(platform::WM_KEYDOWN, 16, Scan(54));
    EXPECT_EQ(IsKeyDown(161), 1) << "right Shift";
    driver->Post(platform::WM_SYSKEYDOWN, 18, Scan(56) | EXTENDED);
    EXPECT_EQ(IsKeyDown(18), 1);
    EXPECT_EQ(IsKeyDown(165), 1) << "right Alt is extended";
    EXPECT_EQ(IsKeyDown(164), 0);
    driver->Post(platform::WM_KEYDOWN, 17, Scan(29));
    EXPECT_EQ(IsKeyDown(162), 1) << "left Ctrl";
    driver->Post(platform::WM_KEYDOWN, 17, Scan(29) | EXTENDED);
    EXPECT_EQ(IsKeyDown(163), 1) << "right Ctrl, even while the generic code is already down";
    EXPECT_EQ(KeyHits(17), 1);
    driver->Post(platform::WM_SYSKEYUP, 18, Scan(56) | EXTENDED);
    EXPECT_EQ(IsKeyDown(165), 0);
}

TEST_F(InputTest, OutOfRangeCodesAndAxesAnswerZero)
{
    for (std::int32_t key : {0, -1, 256, 1000}) {
        EXPECT_EQ(KeyHits(key), 0) << key;
        EXPECT_EQ(IsKeyDown(key), 0) << key;
    }
    EXPECT_EQ(driver->PointerAxis(3), 0);
    EXPECT_EQ(driver->PointerAxis(-1), 0);
}

TEST_F(InputTest, CharactersComeOldestFirstAndAFullRingDropsTheRest)
{
    for (int i = 0; i < 257; ++i)
        driver->Post(platform::WM_CHAR, static_cast<std::uintptr_t>(0x10000 + 'a' + i % 26));
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(NextTypedChar(), 'a' + i % 26) << i;
    EXPECT_EQ(NextTypedChar(), 0) << "the 257th was dropped";
    driver->Post(platform::WM_SYSCHAR, 0x20AC);
    EXPECT_EQ(NextTypedChar(), 0x20AC);
}

TEST_F(InputTest, KeystrokesKeepKeyPressesAndCharactersInTheirOrderWithoutTheDesktopsRepeats)
{
    using Stroke = std::pair<std::int32_t, std::int32_t>; // key, character
    const auto next = [] {
        const KeyStroke stroke = NextKeyStroke();
        return Stroke(stroke.key, stroke.character);
    };
    driver->Type(u"ab");
    driver->Press(VK_LEFT);
    driver->Repeat(VK_LEFT);
    driver->Release(VK_LEFT);
    driver->Tap(VK_BACK, 8);
    driver->Post(platform::WM_LBUTTONDOWN, 0);
    EXPECT_EQ(next(), Stroke(0, 'a'));
    EXPECT_EQ(next(), Stroke(0, 'b'));
    EXPECT_EQ(next(), Stroke(VK_LEFT, 0)) << "once, however long it was held";
    EXPECT_EQ(next(), Stroke(VK_BACK, 0));
    EXPECT_EQ(next(), Stroke(0, 8));
    EXPECT_EQ(next(), Stroke(0, 0)) << "buttons are no keystrokes";
    EXPECT_EQ(NextTypedChar(), 'a') << "the character ring is read apart";

    driver->Type(u"x");
    ClearKeys();
    EXPECT_EQ(next(), Stroke(0, 0)) << "cleared with the key state";
    for (int i = 0; i < 257; ++i)
        driver->Press(VK_END);
    for (int i = 0; i < 256; ++i)
        ASSERT_EQ(next(), Stroke(VK_END, 0)) << i;
    EXPECT_EQ(next(), Stroke(0, 0)) << "the 257th was dropped";
}

TEST_F(InputTest, PointerCoordinatesAreSignedSixteenBitHalves)
{
    driver->Post(platform::WM_MOUSEMOVE, 0, (std::intptr_t{0xFFFE} << 16) | 0xFFF6);
    EXPECT_EQ(PointerX(), -10);
    EXPECT_EQ(PointerY(), -2);
    driver->Post(platform::WM_MOUSEMOVE, 0, (std::intptr_t{480} << 16) | 640);
    EXPECT_EQ(PointerX(), 640);
    EXPECT_EQ(PointerY(), 480);
}

TEST_F(InputTest, WheelNotchesTruncateTowardsZero)
{
    const std::int32_t start = WheelPosition();
    auto wheel = [&](int delta) {
        driver->Post(platform::WM_MOUSEWHEEL, static_cast<std::uintptr_t>(static_cast<std::uint16_t>(delta)) << 16);
    };
    wheel(240);
    EXPECT_EQ(WheelPosition(), start + 2);
    wheel(-120);
    EXPECT_EQ(WheelPosition(), start + 1);
    wheel(60);
    wheel(-60);
    wheel(119);
    EXPECT_EQ(WheelPosition(), start + 1);
    wheel(-240);
    EXPECT_EQ(WheelPosition(), start - 1);
}

TEST_F(InputTest, ButtonsReadTheirKeyCodes)
{
    driver->Post(platform::WM_LBUTTONDOWN, 0);
    driver->Post(platform::WM_MBUTTONDOWN, 0);
    driver->Post(platform::WM_RBUTTONDOWN, 0);
    driver->Post(platform::WM_RBUTTONUP, 0);
    EXPECT_EQ(IsButtonDown(1), 1);
    EXPECT_EQ(IsButtonDown(2), 0);
    EXPECT_EQ(IsButtonDown(3), 1);
    EXPECT_EQ(ButtonHits(3), 1) << "button 3 reads key code 4";
    EXPECT_EQ(ButtonHits(2), 1);
    EXPECT_EQ(ButtonHits(4), 0);
    EXPECT_EQ(ButtonHits(0), 0);
    EXPECT_EQ(KeyHits(1), 1);
    driver->Post(platform::WM_LBUTTONDOWN, 0);
    ClearButtons();
    EXPECT_EQ(ButtonHits(1), 0);
}

TEST_F(InputTest, ClearKeysEmptiesKeysButtonsAndCharacters)
{
    driver->Post(platform::WM_KEYDOWN, 'Q', 0);
    driver->Post(platform::WM_LBUTTONDOWN, 0);
    driver->Post(platform::WM_CHAR, 'q');
    ClearKeys();
    EXPECT_EQ(IsKeyDown('Q'), 0);
    EXPECT_EQ(IsButtonDown(1), 0);
    EXPECT_EQ(NextTypedChar(), 0);
}

TEST_F(InputTest, QueriesPumpFirstOnlyWhileAutomaticPollingIsOn)
{
    const int pumps = driver->pumps;
    KeyHits('A');
    PointerX();
    EXPECT_EQ(driver->pumps, pumps + 2);
    MovePointer(1, 2);
    EXPECT_EQ(driver->pumps, pumps + 2) << "moving the pointer does not poll";
    SetAutoPoll(0);
    driver->Post(platform::WM_KEYDOWN, 'Z', 0);
    EXPECT_EQ(KeyHits('Z'), 0);
    SetAutoPoll(1);
    EXPECT_EQ(KeyHits('Z'), 1);
}

TEST_F(InputTest, WaitingReturnsTheFirstKeyCharOrButton)
{
    driver->Post(platform::WM_KEYDOWN, 'X', 0);
    driver->later = {{platform::WM_KEYDOWN, 'K', 0}};
    EXPECT_EQ(WaitForKey(), 'K') << "earlier presses are cleared first";
    driver->later = {{platform::WM_CHAR, 0, 0}, {platform::WM_CHAR, 'w', 0}};
    EXPECT_EQ(WaitForChar(), 'w');
    driver->later = {{platform::WM_KEYDOWN, 'M', 0}, {platform::WM_RBUTTONDOWN, 0, 0}};
    EXPECT_EQ(WaitForButton(), 2);
}

TEST_F(InputTest, WithoutADriverQueriesRaiseTheNullObjectError)
{
    SetHostDriver(Null);
    EXPECT_THROW(KeyHits('A'), Exception);
    EXPECT_THROW(ReadClock(), Exception);
}

TEST_F(InputTest, TheBaseDriverIsAbstract)
{
    Ref<THostDriver> base = New<THostDriver>();
    try {
        base->PumpMessages();
        FAIL();
    } catch (const Exception& e) {
        EXPECT_STREQ(e.what(), "Attempt to call abstract method");
    }
    EXPECT_THROW(base->ReadClock(), Exception);
}

} // namespace
} // namespace vanta
