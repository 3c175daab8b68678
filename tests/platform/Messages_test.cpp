// Translation of SDL events into Windows messages: events go in through SDL's real queue and come out of
// the platform's pump. Runs on SDL's offscreen video driver.
#include "platform/Platform.h"
#include "platform/detail/State.h"
#include "support/RecordingProc.h"

#include <atomic>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include <SDL.h>
#include <gtest/gtest.h>

namespace vanta::platform {
namespace {

std::vector<Message> Pump()
{
    std::vector<Message> taken;
    Message message;
    while (PeekMessage(message))
        taken.push_back(message);
    return taken;
}

// Pumps as a Windows message loop does: take, translate, keep.
std::vector<Message> PumpTranslated()
{
    std::vector<Message> taken;
    Message message;
    while (PeekMessage(message)) {
        taken.push_back(message);
        TranslateMessage(message);
    }
    return taken;
}

void PushKey(bool down, SDL_Scancode scancode, SDL_Keycode keycode, Uint16 modifiers = KMOD_NUM, Uint8 repeat = 0,
             Uint32 windowId = 0)
{
    SDL_Event event{};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.repeat = repeat;
    event.key.windowID = windowId;
    event.key.keysym.scancode = scancode;
    event.key.keysym.sym = keycode;
    event.key.keysym.mod = modifiers;
    ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
}

void PushText(const char* utf8, Uint32 windowId = 0)
{
    SDL_Event event{};
    event.type = SDL_TEXTINPUT;
    event.text.windowID = windowId;
    std::strncpy(event.text.text, utf8, sizeof event.text.text - 1);
    ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
}

void PushMotion(int x, int y, Uint32 state = 0, Uint32 windowId = 0)
{
    SDL_Event event{};
    event.type = SDL_MOUSEMOTION;
    event.motion.windowID = windowId;
    event.motion.x = x;
    event.motion.y = y;
    event.motion.state = state;
    ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
}

void PushButton(bool down, Uint8 button, int x, int y)
{
    SDL_Event event{};
    event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    event.button.button = button;
    event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.button.clicks = 1;
    event.button.x = x;
    event.button.y = y;
    ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
}

void PushWheel(int x, int y, float preciseX, float preciseY, Uint32 direction = SDL_MOUSEWHEEL_NORMAL)
{
    SDL_Event event{};
    event.type = SDL_MOUSEWHEEL;
    event.wheel.x = x;
    event.wheel.y = y;
    event.wheel.preciseX = preciseX;
    event.wheel.preciseY = preciseY;
    event.wheel.direction = direction;
    ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
}

void PushWindowEvent(Uint32 windowId, Uint8 what)
{
    SDL_Event event{};
    event.type = SDL_WINDOWEVENT;
    event.window.windowID = windowId;
    event.window.event = what;
    ASSERT_EQ(SDL_PushEvent(&event), 1) << SDL_GetError();
}

int ScanCode(const Message& message)
{
    return static_cast<int>((message.lParam >> KEYDATA_SCANCODE_SHIFT) & 0xFF);
}

bool Has(const Message& message, std::intptr_t bit)
{
    return (message.lParam & bit) != 0;
}

using test::RecordingProc;
using test::Seen;
using test::seen;

class MessagesTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(StartVideo()) << VideoError(); }
    static void TearDownTestSuite() { StopVideo(); }

    void SetUp() override
    {
        Pump();
        seen.clear();
    }
    void TearDown() override
    {
        for (Window* window : windows_)
            DestroyWindow(window);
        // Leave no modifier or button behind for the next test.
        PushKey(false, SDL_SCANCODE_LCTRL, SDLK_LCTRL, 0);
        PumpTranslated();
    }

    Window* MakeWindow(WindowProc proc = RecordingProc)
    {
        Window* window = CreateWindow(0, "messages", WS_VISIBLE | WS_CAPTION, 32, 32, 64, 48, proc);
        EXPECT_NE(window, nullptr) << WindowError();
        windows_.push_back(window);
        Pump();
        seen.clear();
        return window;
    }

    // The SDL id behind a window, which events must carry to reach it.
    static Uint32 IdOf(Window* window) { return window->id; }

private:
    std::vector<Window*> windows_;
};

TEST_F(MessagesTest, KeyDownAndUpCarryVirtualKeyScanCodeAndTransitionBits)
{
    PushKey(true, SDL_SCANCODE_A, SDLK_a);
    PushKey(false, SDL_SCANCODE_A, SDLK_a);
    const auto messages = Pump();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].message, WM_KEYDOWN);
    EXPECT_EQ(messages[0].wParam, 'A');
    EXPECT_EQ(messages[0].lParam, 0x001E0001);
    EXPECT_EQ(messages[1].message, WM_KEYUP);
    EXPECT_EQ(messages[1].wParam, 'A');
    EXPECT_EQ(messages[1].lParam, 0xC01E0001);
    EXPECT_EQ(messages[0].window, nullptr) << "an event for no window is a thread message";
}

TEST_F(MessagesTest, AutoRepeatSetsBit30AndKeepsRepeatCountOne)
{
    PushKey(true, SDL_SCANCODE_SPACE, SDLK_SPACE);
    PushKey(true, SDL_SCANCODE_SPACE, SDLK_SPACE, KMOD_NUM, 1);
    PushKey(true, SDL_SCANCODE_SPACE, SDLK_SPACE, KMOD_NUM, 1);
    const auto messages = Pump();
    ASSERT_EQ(messages.size(), 3u);
    EXPECT_FALSE(Has(messages[0], KEYDATA_PREVIOUS_DOWN));
    for (std::size_t i = 1; i < 3; ++i) {
        EXPECT_EQ(messages[i].message, WM_KEYDOWN);
        EXPECT_EQ(messages[i].wParam, static_cast<std::uintptr_t>(VK_SPACE));
        EXPECT_TRUE(Has(messages[i], KEYDATA_PREVIOUS_DOWN));
        EXPECT_FALSE(Has(messages[i], KEYDATA_TRANSITION_UP));
        EXPECT_EQ(messages[i].lParam & KEYDATA_REPEAT_MASK, 1);
        EXPECT_EQ(ScanCode(messages[i]), 0x39);
    }
}

TEST_F(MessagesTest, ShiftKeysAreTellApartByScanCode)
{
    PushKey(true, SDL_SCANCODE_LSHIFT, SDLK_LSHIFT, KMOD_LSHIFT);
    PushKey(true, SDL_SCANCODE_RSHIFT, SDLK_RSHIFT, KMOD_LSHIFT | KMOD_RSHIFT);
    PushKey(false, SDL_SCANCODE_RSHIFT, SDLK_RSHIFT, KMOD_LSHIFT);
    PushKey(false, SDL_SCANCODE_LSHIFT, SDLK_LSHIFT, 0);
    const auto messages = Pump();
    ASSERT_EQ(messages.size(), 4u);
    for (const Message& message : messages) {
        EXPECT_EQ(message.wParam, static_cast<std::uintptr_t>(VK_SHIFT));
        EXPECT_FALSE(Has(message, KEYDATA_EXTENDED)) << "neither Shift is an extended key";
    }
    EXPECT_EQ(ScanCode(messages[0]), 42);
    EXPECT_EQ(ScanCode(messages[1]), 54);
    EXPECT_EQ(ScanCode(messages[2]), 54);
    EXPECT_EQ(ScanCode(messages[3]), 42);
    EXPECT_EQ(messages[3].message, WM_KEYUP);
}

TEST_F(MessagesTest, RightCtrlAndRightAltAreExtendedKeys)
{
    PushKey(true, SDL_SCANCODE_LCTRL, SDLK_LCTRL, KMOD_LCTRL);
    PushKey(false, SDL_SCANCODE_LCTRL, SDLK_LCTRL, 0);
    PushKey(true, SDL_SCANCODE_RCTRL, SDLK_RCTRL, KMOD_RCTRL);
    PushKey(false, SDL_SCANCODE_RCTRL, SDLK_RCTRL, 0);
    PushKey(true, SDL_SCANCODE_LALT, SDLK_LALT, KMOD_LALT);
    PushKey(false, SDL_SCANCODE_LALT, SDLK_LALT, 0);
    PushKey(true, SDL_SCANCODE_RALT, SDLK_RALT, KMOD_RALT);
    PushKey(false, SDL_SCANCODE_RALT, SDLK_RALT, 0);
    const auto messages = PumpTranslated();
    ASSERT_EQ(messages.size(), 8u);
    for (std::size_t i = 0; i < 4; ++i) {
        EXPECT_EQ(messages[i].wParam, static_cast<std::uintptr_t>(VK_CONTROL));
        EXPECT_EQ(ScanCode(messages[i]), 29);
        EXPECT_EQ(Has(messages[i], KEYDATA_EXTENDED), i >= 2) << i;
    }
    for (std::size_t i = 4; i < 8; ++i) {
        EXPECT_EQ(messages[i].wParam, static_cast<std::uintptr_t>(VK_MENU));
        EXPECT_EQ(ScanCode(messages[i]), 56);
        EXPECT_EQ(Has(messages[i], KEYDATA_EXTENDED), i >= 6) << i;
    }
}

TEST_F(MessagesTest, AltMakesSystemKeyMessages)
{
    PushKey(true, SDL_SCANCODE_LALT, SDLK_LALT, KMOD_LALT);
    PushKey(true, SDL_SCANCODE_X, SDLK_x, KMOD_LALT);
    PushKey(false, SDL_SCANCODE_X, SDLK_x, KMOD_LALT);
    PushKey(false, SDL_SCANCODE_LALT, SDLK_LALT, 0);
    PushKey(true, SDL_SCANCODE_F10, SDLK_F10, 0);
    PushKey(true, SDL_SCANCODE_X, SDLK_x, KMOD_LALT | KMOD_LCTRL);
    const auto messages = Pump();
    ASSERT_EQ(messages.size(), 6u);
    EXPECT_EQ(messages[0].message, WM_SYSKEYDOWN);
    EXPECT_EQ(messages[0].lParam, 0x20380001) << "Alt down: context bit 29 set";
    EXPECT_EQ(messages[1].message, WM_SYSKEYDOWN);
    EXPECT_EQ(messages[1].wParam, 'X');
    EXPECT_TRUE(Has(messages[1], KEYDATA_ALT_DOWN));
    EXPECT_EQ(messages[2].message, WM_SYSKEYUP);
    EXPECT_EQ(messages[3].message, WM_SYSKEYUP);
    EXPECT_EQ(messages[3].lParam, 0xC0380001) << "Alt up: no context bit, bits 30 and 31 set";
    EXPECT_EQ(messages[4].message, WM_SYSKEYDOWN) << "F10 is a system key";
    EXPECT_EQ(messages[5].message, WM_KEYDOWN) << "Ctrl+Alt is not a system combination";
}

TEST_F(MessagesTest, KeysMapToWindowsVirtualKeysAndScanCodes)
{
    struct Case
    {
        SDL_Scancode scancode;
        SDL_Keycode keycode;
        Uint16 modifiers;
        int virtualKey;
        int scanCode;
        bool extended;
    };
    const Case cases[] = {
        {SDL_SCANCODE_ESCAPE, SDLK_ESCAPE, KMOD_NUM, VK_ESCAPE, 0x01, false},
        {SDL_SCANCODE_RETURN, SDLK_RETURN, KMOD_NUM, VK_RETURN, 0x1C, false},
        {SDL_SCANCODE_KP_ENTER, SDLK_KP_ENTER, KMOD_NUM, VK_RETURN, 0x1C, true},
        {SDL_SCANCODE_BACKSPACE, SDLK_BACKSPACE, KMOD_NUM, VK_BACK, 0x0E, false},
        {SDL_SCANCODE_TAB, SDLK_TAB, KMOD_NUM, VK_TAB, 0x0F, false},
        {SDL_SCANCODE_1, SDLK_1, KMOD_NUM, '1', 0x02, false},
        {SDL_SCANCODE_0, SDLK_0, KMOD_NUM, '0', 0x0B, false},
        // An AZERTY digit row types "&" but is still the digit key.
        {SDL_SCANCODE_1, SDLK_AMPERSAND, KMOD_NUM, '1', 0x02, false},
        {SDL_SCANCODE_F1, SDLK_F1, KMOD_NUM, VK_F1, 0x3B, false},
        {SDL_SCANCODE_F12, SDLK_F12, KMOD_NUM, VK_F12, 0x58, false},
        {SDL_SCANCODE_LEFT, SDLK_LEFT, KMOD_NUM, VK_LEFT, 0x4B, true},
        {SDL_SCANCODE_UP, SDLK_UP, KMOD_NUM, VK_UP, 0x48, true},
        {SDL_SCANCODE_DELETE, SDLK_DELETE, KMOD_NUM, VK_DELETE, 0x53, true},
        {SDL_SCANCODE_KP_7, SDLK_KP_7, KMOD_NUM, VK_NUMPAD0 + 7, 0x47, false},
        {SDL_SCANCODE_KP_7, SDLK_KP_7, KMOD_NONE, VK_HOME, 0x47, false},
        {SDL_SCANCODE_KP_PERIOD, SDLK_KP_PERIOD, KMOD_NONE, VK_DELETE, 0x53, false},
        {SDL_SCANCODE_KP_DIVIDE, SDLK_KP_DIVIDE, KMOD_NUM, VK_DIVIDE, 0x35, true},
        {SDL_SCANCODE_KP_MULTIPLY, SDLK_KP_MULTIPLY, KMOD_NUM, VK_MULTIPLY, 0x37, false},
        {SDL_SCANCODE_MINUS, SDLK_MINUS, KMOD_NUM, VK_OEM_MINUS, 0x0C, false},
        {SDL_SCANCODE_EQUALS, SDLK_EQUALS, KMOD_NUM, VK_OEM_PLUS, 0x0D, false},
        {SDL_SCANCODE_SEMICOLON, SDLK_SEMICOLON, KMOD_NUM, VK_OEM_1, 0x27, false},
        {SDL_SCANCODE_APOSTROPHE, SDLK_QUOTE, KMOD_NUM, VK_OEM_7, 0x28, false},
        {SDL_SCANCODE_GRAVE, SDLK_BACKQUOTE, KMOD_NUM, VK_OEM_3, 0x29, false},
        {SDL_SCANCODE_SLASH, SDLK_SLASH, KMOD_NUM, VK_OEM_2, 0x35, false},
        {SDL_SCANCODE_BACKSLASH, SDLK_BACKSLASH, KMOD_NUM, VK_OEM_5, 0x2B, false},
        {SDL_SCANCODE_NONUSBACKSLASH, SDLK_LESS, KMOD_NUM, VK_OEM_102, 0x56, false},
        {SDL_SCANCODE_PAUSE, SDLK_PAUSE, KMOD_NUM, VK_PAUSE, 0x45, false},
        {SDL_SCANCODE_NUMLOCKCLEAR, SDLK_NUMLOCKCLEAR, KMOD_NUM, VK_NUMLOCK, 0x45, true},
        {SDL_SCANCODE_LGUI, SDLK_LGUI, KMOD_NUM, VK_LWIN, 0x5B, true},
        // Letters follow the layout: the AZERTY key in the Q position types "a".
        {SDL_SCANCODE_Q, SDLK_a, KMOD_NUM, 'A', 0x10, false},
        // A Dvorak apostrophe in the Q position is the apostrophe key.
        {SDL_SCANCODE_Q, SDLK_QUOTE, KMOD_NUM, VK_OEM_7, 0x10, false},
        // A Cyrillic letter has no Latin code: the key's position names it.
        {SDL_SCANCODE_F, 0x0430, KMOD_NUM, 'F', 0x21, false},
    };
    for (const Case& c : cases)
        PushKey(true, c.scancode, c.keycode, c.modifiers);
    const auto messages = Pump();
    ASSERT_EQ(messages.size(), std::size(cases));
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE("case " + std::to_string(i) + ": " + SDL_GetScancodeName(cases[i].scancode));
        EXPECT_EQ(messages[i].wParam, static_cast<std::uintptr_t>(cases[i].virtualKey));
        EXPECT_EQ(ScanCode(messages[i]), cases[i].scanCode);
        EXPECT_EQ(Has(messages[i], KEYDATA_EXTENDED), cases[i].extended);
    }
}

TEST_F(MessagesTest, KeysWithoutAWindowsCodeAreNotReported)
{
    PushKey(true, SDL_SCANCODE_KP_EQUALSAS400, SDLK_KP_EQUALSAS400);
    PushKey(true, SDL_SCANCODE_UNKNOWN, SDLK_UNKNOWN);
    EXPECT_TRUE(Pump().empty());
}

TEST_F(MessagesTest, TypedTextBecomesOneCharacterMessagePerUtf16Unit)
{
    PushText("a");
    PushText("\xC3\xA9");         // é
    PushText("\xE2\x82\xAC");     // €
    PushText("\xF0\x9D\x84\x9E"); // U+1D11E, outside the basic plane
    PushText("ok");
    const auto messages = Pump();
    std::vector<std::uintptr_t> units;
    for (const Message& message : messages) {
        EXPECT_EQ(message.message, WM_CHAR);
        EXPECT_EQ(message.lParam & KEYDATA_REPEAT_MASK, 1);
        units.push_back(message.wParam);
    }
    const std::vector<std::uintptr_t> expected{'a', 0xE9, 0x20AC, 0xD834, 0xDD1E, 'o', 'k'};
    EXPECT_EQ(units, expected);
}

TEST_F(MessagesTest, MalformedTextBecomesReplacementCharacters)
{
    PushText("\xFF");             // never valid
    PushText("\xC0\xAF");         // overlong "/"
    PushText("\xED\xA0\x80");     // an encoded surrogate
    PushText("\xE2\x82");         // cut off
    PushText("\x80x");            // continuation without a lead
    PushText("\xF4\x90\x80\x80"); // above U+10FFFF
    std::vector<std::uintptr_t> units;
    for (const Message& message : Pump())
        units.push_back(message.wParam);
    // A byte that cannot start any sequence (0xFF, 0xC0, a stray continuation) is replaced on its own; a
    // sequence that starts well and then proves bad is replaced as a whole.
    const std::vector<std::uintptr_t> expected{0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD, 0xFFFD, 'x', 0xFFFD};
    EXPECT_EQ(units, expected);
}

TEST_F(MessagesTest, TextFillingTheWholeEventIsReadWithoutOverrun)
{
    SDL_Event event{};
    event.type = SDL_TEXTINPUT;
    std::memset(event.text.text, 'z', sizeof event.text.text); // no terminating NUL at all
    ASSERT_EQ(SDL_PushEvent(&event), 1);
    const auto messages = Pump();
    EXPECT_EQ(messages.size(), sizeof event.text.text);
}

TEST_F(MessagesTest, TranslateMessageMakesTheControlCharactersOfSpecialKeys)
{
    PushKey(true, SDL_SCANCODE_BACKSPACE, SDLK_BACKSPACE);
    PushKey(true, SDL_SCANCODE_TAB, SDLK_TAB);
    PushKey(true, SDL_SCANCODE_RETURN, SDLK_RETURN);
    PushKey(true, SDL_SCANCODE_ESCAPE, SDLK_ESCAPE);
    PushKey(true, SDL_SCANCODE_A, SDLK_a);
    PushText("a");
    const auto messages = PumpTranslated();
    std::vector<std::pair<std::uint32_t, std::uintptr_t>> got;
    for (const Message& message : messages)
        got.emplace_back(message.message, message.wParam);
    const std::vector<std::pair<std::uint32_t, std::uintptr_t>> expected{
        {WM_KEYDOWN, VK_BACK},   {WM_CHAR, 8},  {WM_KEYDOWN, VK_TAB},    {WM_CHAR, 9},
        {WM_KEYDOWN, VK_RETURN}, {WM_CHAR, 13}, {WM_KEYDOWN, VK_ESCAPE}, {WM_CHAR, 27},
        {WM_KEYDOWN, 'A'},       {WM_CHAR, 'a'}};
    EXPECT_EQ(got, expected);
    EXPECT_EQ(messages[1].lParam, messages[0].lParam) << "the character keeps the key's lParam";
}

TEST_F(MessagesTest, TranslateMessageFollowsCtrlAsTheTakenMessagesLeftIt)
{
    PushKey(true, SDL_SCANCODE_LCTRL, SDLK_LCTRL, KMOD_LCTRL);
    PushKey(true, SDL_SCANCODE_C, SDLK_c, KMOD_LCTRL);
    PushKey(true, SDL_SCANCODE_RETURN, SDLK_RETURN, KMOD_LCTRL);
    PushKey(true, SDL_SCANCODE_BACKSPACE, SDLK_BACKSPACE, KMOD_LCTRL);
    PushKey(true, SDL_SCANCODE_TAB, SDLK_TAB, KMOD_LCTRL);
    PushKey(false, SDL_SCANCODE_LCTRL, SDLK_LCTRL, 0);
    PushKey(true, SDL_SCANCODE_C, SDLK_c, 0);
    std::vector<std::uintptr_t> characters;
    for (const Message& message : PumpTranslated()) {
        if (message.message == WM_CHAR) characters.push_back(message.wParam);
    }
    const std::vector<std::uintptr_t> expected{3, 10, 127};
    EXPECT_EQ(characters, expected);
}

TEST_F(MessagesTest, AltMakesSystemCharacters)
{
    PushKey(true, SDL_SCANCODE_LALT, SDLK_LALT, KMOD_LALT);
    PushKey(true, SDL_SCANCODE_RETURN, SDLK_RETURN, KMOD_LALT);
    PushKey(true, SDL_SCANCODE_X, SDLK_x, KMOD_LALT);
    PushText("x");
    PushKey(false, SDL_SCANCODE_LALT, SDLK_LALT, 0);
    const auto messages = PumpTranslated();
    ASSERT_EQ(messages.size(), 6u);
    EXPECT_EQ(messages[2].message, WM_SYSCHAR);
    EXPECT_EQ(messages[2].wParam, 13u);
    EXPECT_EQ(messages[4].message, WM_SYSCHAR);
    EXPECT_EQ(messages[4].wParam, static_cast<std::uintptr_t>('x'));
}

TEST_F(MessagesTest, MouseMovePacksSignedClientCoordinates)
{
    PushMotion(300, 200);
    PushMotion(-5, -7, SDL_BUTTON_LMASK);
    const auto messages = Pump();
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].message, WM_MOUSEMOVE);
    EXPECT_EQ(messages[0].lParam, (200 << 16) | 300);
    EXPECT_EQ(LowWord(static_cast<std::uintptr_t>(messages[1].lParam)), 0xFFFBu);
    EXPECT_EQ(HighWord(static_cast<std::uintptr_t>(messages[1].lParam)), 0xFFF9u);
    EXPECT_EQ(XFromLParam(messages[1].lParam), -5);
    EXPECT_EQ(YFromLParam(messages[1].lParam), -7);
    EXPECT_EQ(messages[1].wParam & MK_LBUTTON, MK_LBUTTON);
    PushMotion(0, 0);
    Pump();
}

TEST_F(MessagesTest, ButtonsBecomeTheirWindowsMessages)
{
    PushButton(true, SDL_BUTTON_LEFT, 1, 2);
    PushButton(false, SDL_BUTTON_LEFT, 1, 2);
    PushButton(true, SDL_BUTTON_RIGHT, 3, 4);
    PushButton(false, SDL_BUTTON_RIGHT, 3, 4);
    PushButton(true, SDL_BUTTON_MIDDLE, 5, 6);
    PushButton(false, SDL_BUTTON_MIDDLE, 5, 6);
    PushButton(true, SDL_BUTTON_X2, 7, 8);
    PushButton(false, SDL_BUTTON_X2, 7, 8);
    const auto messages = Pump();
    ASSERT_EQ(messages.size(), 8u);
    const std::uint32_t expected[] = {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_RBUTTONDOWN, WM_RBUTTONUP,
                                      WM_MBUTTONDOWN, WM_MBUTTONUP, WM_XBUTTONDOWN, WM_XBUTTONUP};
    for (std::size_t i = 0; i < 8; ++i)
        EXPECT_EQ(messages[i].message, expected[i]) << i;
    EXPECT_EQ(messages[0].wParam, MK_LBUTTON) << "held while it goes down";
    EXPECT_EQ(messages[1].wParam, 0u) << "released on the way up";
    EXPECT_EQ(messages[2].wParam, MK_RBUTTON);
    EXPECT_EQ(messages[4].wParam, MK_MBUTTON);
    EXPECT_EQ(HighWord(messages[6].wParam), XBUTTON2);
    EXPECT_EQ(messages[2].lParam, MakeLParam(3, 4));
}

TEST_F(MessagesTest, WheelDeltaTravelsSignedInTheHighWordOfWParam)
{
    PushWheel(0, 1, 0.0f, 1.0f);
    PushWheel(0, -2, 0.0f, -2.0f);
    PushWheel(0, 0, 0.0f, 0.5f); // a high-resolution wheel's half notch
    PushWheel(0, 1, 0.0f, 1.0f, SDL_MOUSEWHEEL_FLIPPED);
    PushWheel(0, 3, 0.0f, 0.0f); // an event with whole notches only
    PushWheel(0, 1000, 0.0f, 1000.0f);
    PushWheel(-1, 0, -1.0f, 0.0f);
    const auto messages = Pump();
    ASSERT_EQ(messages.size(), 7u);
    const int expected[] = {120, -240, 60, -120, 360, 32767, -120};
    for (std::size_t i = 0; i < 7; ++i)
        EXPECT_EQ(WheelDeltaFromWParam(messages[i].wParam), expected[i]) << i;
    EXPECT_EQ(messages[0].message, WM_MOUSEWHEEL);
    EXPECT_EQ(messages[6].message, WM_MOUSEHWHEEL);
}

TEST_F(MessagesTest, FocusCloseAndPaintReachTheWindowProcedure)
{
    Window* window = MakeWindow();
    const Uint32 id = IdOf(window);
    ASSERT_NE(id, 0u);
    PushWindowEvent(id, SDL_WINDOWEVENT_FOCUS_GAINED);
    PushWindowEvent(id, SDL_WINDOWEVENT_EXPOSED);
    PushWindowEvent(id, SDL_WINDOWEVENT_FOCUS_LOST);
    PushWindowEvent(id, SDL_WINDOWEVENT_CLOSE);
    PushKey(true, SDL_SCANCODE_A, SDLK_a, KMOD_NUM, 0, id);
    Message message;
    while (PeekMessage(message)) {
        EXPECT_EQ(message.window, window);
        TranslateMessage(message);
        DispatchMessage(message);
    }
    std::vector<std::uint32_t> received;
    for (const Seen& s : seen)
        received.push_back(s.message);
    const std::vector<std::uint32_t> expected{WM_SETFOCUS, WM_PAINT, WM_KILLFOCUS, WM_CLOSE, WM_KEYDOWN};
    EXPECT_EQ(received, expected);
    EXPECT_TRUE(IsWindow(window)) << "a procedure that ignores WM_CLOSE keeps its window";
}

TEST_F(MessagesTest, TheDefaultProcedureLeavesTheWindowOpenOnClose)
{
    Window* window = MakeWindow(nullptr);
    PushWindowEvent(IdOf(window), SDL_WINDOWEVENT_CLOSE);
    Message message;
    ASSERT_TRUE(PeekMessage(message));
    ASSERT_EQ(message.message, WM_CLOSE);
    EXPECT_EQ(DispatchMessage(message), 0);
    EXPECT_TRUE(IsWindow(window));
    EXPECT_EQ(DefWindowProc(window, WM_CLOSE, 0, 0), 0);
}

TEST_F(MessagesTest, DestroyingAWindowSendsDestroyAndDropsItsMessages)
{
    Window* window = CreateWindow(0, "doomed", WS_POPUP, 0, 0, 8, 8, RecordingProc);
    ASSERT_NE(window, nullptr);
    Pump();
    seen.clear();
    const Uint32 id = IdOf(window);
    ASSERT_TRUE(PostMessage(window, WM_USER, 1, 2));
    PushWindowEvent(id, SDL_WINDOWEVENT_CLOSE);
    ASSERT_TRUE(PostMessage(nullptr, WM_APP, 3, 4));
    DestroyWindow(window);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].message, WM_DESTROY);
    EXPECT_EQ(seen[0].window, window);
    EXPECT_FALSE(IsWindow(window));
    const auto left = Pump();
    ASSERT_EQ(left.size(), 1u) << "only the thread message stays";
    EXPECT_EQ(left[0].message, WM_APP);
    EXPECT_FALSE(PostMessage(window, WM_USER, 0, 0));
    EXPECT_EQ(DispatchMessage(Message{window, WM_USER, 0, 0}), 0);
    EXPECT_EQ(seen.size(), 1u);

    // The stale pointer is never read (AddressSanitizer would report a use of freed memory).
    DestroyWindow(window);
    int width = -1;
    int height = -1;
    GetClientSize(window, width, height);
    EXPECT_EQ(width, 0);
    EXPECT_EQ(height, 0);
    SetWindowUserData(window, &width);
    EXPECT_EQ(WindowUserData(window), nullptr);
    EXPECT_EQ(GetWindowStyle(window), 0u);
}

TEST_F(MessagesTest, EventsForWindowsThatAreNotOursAreDropped)
{
    PushKey(true, SDL_SCANCODE_A, SDLK_a, KMOD_NUM, 0, 9999);
    PushWindowEvent(9999, SDL_WINDOWEVENT_CLOSE);
    EXPECT_TRUE(Pump().empty());
}

TEST_F(MessagesTest, PeekWithoutRemovingLeavesTheMessageFirst)
{
    PostMessage(nullptr, WM_USER, 1, 0);
    PostMessage(nullptr, WM_USER, 2, 0);
    Message message;
    ASSERT_TRUE(PeekMessage(message, PM_NOREMOVE));
    EXPECT_EQ(message.wParam, 1u);
    ASSERT_TRUE(PeekMessage(message));
    EXPECT_EQ(message.wParam, 1u);
    ASSERT_TRUE(PeekMessage(message));
    EXPECT_EQ(message.wParam, 2u);
    EXPECT_FALSE(PeekMessage(message));
}

TEST_F(MessagesTest, WaitMessageTimesOutOnAnEmptyQueue)
{
    const std::uint32_t start = TimeGetTime();
    EXPECT_FALSE(WaitMessage(30));
    EXPECT_GE(TimeGetTime() - start, 20u);
}

TEST_F(MessagesTest, APostFromAnotherThreadWakesTheWaitingWindowThread)
{
    Window* window = MakeWindow();
    std::thread poster([window] {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
        PostMessage(window, WM_USER + 7, 42, 0);
    });
    EXPECT_TRUE(WaitMessage());
    poster.join();
    Message message;
    ASSERT_TRUE(PeekMessage(message));
    EXPECT_EQ(message.window, window);
    EXPECT_EQ(message.message, WM_USER + 7);
    EXPECT_EQ(DispatchMessage(message), 0);
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].wParam, 42u);
}

TEST_F(MessagesTest, OtherThreadsHaveQueuesOfTheirOwn)
{
    PostMessage(nullptr, WM_USER, 1, 0);
    std::atomic<bool> ok{false};
    std::thread worker([&ok] {
        Message message;
        const bool emptyAtFirst = !PeekMessage(message);
        PostMessage(nullptr, WM_USER, 2, 0);
        const bool waited = WaitMessage(1000);
        const bool got = PeekMessage(message) && message.wParam == 2;
        const bool timedOut = !WaitMessage(10);
        ok = emptyAtFirst && waited && got && timedOut;
    });
    worker.join();
    EXPECT_TRUE(ok);
    const auto mine = Pump();
    ASSERT_EQ(mine.size(), 1u);
    EXPECT_EQ(mine[0].wParam, 1u);
}

TEST_F(MessagesTest, CallsThatFailOnAnotherThreadKeepTheirReasonsToThemselves)
{
    std::atomic<bool> refused{true};
    std::thread other([&refused] {
        for (int i = 0; i < 200; ++i) {
            if (CreateWindow(0, "elsewhere", WS_POPUP, 0, 0, 8, 8, nullptr) != nullptr) refused = false;
            if (WindowError()[0] == '\0') refused = false;
        }
    });
    // Meanwhile the window thread makes and drops windows, which sets and clears its own reason.
    for (int i = 0; i < 20; ++i) {
        Window* window = CreateWindow(0, "here", WS_POPUP, 0, 0, 8, 8, nullptr);
        ASSERT_NE(window, nullptr) << WindowError();
        EXPECT_STREQ(WindowError(), "");
        DestroyWindow(window);
    }
    other.join();
    EXPECT_TRUE(refused) << "a window cannot be made off the window thread, and the reason says why";
}

TEST_F(MessagesTest, ShowCursorKeepsWindowsDisplayCounter)
{
    EXPECT_EQ(ShowCursor(false), -1);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE);
    EXPECT_EQ(ShowCursor(false), -2);
    EXPECT_EQ(ShowCursor(true), -1);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_DISABLE) << "still hidden below 0";
    EXPECT_EQ(ShowCursor(true), 0);
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
}

TEST_F(MessagesTest, DroppedFileEventsAreReleased)
{
    SDL_Event event{};
    event.type = SDL_DROPFILE;
    event.drop.file = SDL_strdup("/tmp/some file");
    ASSERT_EQ(SDL_PushEvent(&event), 1);
    EXPECT_TRUE(Pump().empty()); // LeakSanitizer reports the text if the pump forgets it
}

} // namespace
} // namespace vanta::platform
