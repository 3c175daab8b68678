// Message queues of the platform layer: Windows message numbers, virtual-key codes and the pump calls.
//
// Builds on SDL's event queue (drained in Messages.cpp) and the window registry of Window.cpp. The
// numbers, codes and bit layouts below are the Windows ones, so code written against Win32 reads the
// same here.
#pragma once

#include <cstdint>

namespace vanta::platform {

struct Window;

// One queued message. `window` is null for messages posted to a thread.
struct Message
{
    Window* window = nullptr;
    std::uint32_t message = 0;
    std::uintptr_t wParam = 0;
    std::intptr_t lParam = 0;
};

// Message numbers.
constexpr std::uint32_t WM_NULL = 0x0000;
constexpr std::uint32_t WM_DESTROY = 0x0002;
constexpr std::uint32_t WM_SIZE = 0x0005;
constexpr std::uint32_t WM_SETFOCUS = 0x0007;
constexpr std::uint32_t WM_KILLFOCUS = 0x0008;
constexpr std::uint32_t WM_PAINT = 0x000F;
constexpr std::uint32_t WM_CLOSE = 0x0010;
constexpr std::uint32_t WM_KEYDOWN = 0x0100;
constexpr std::uint32_t WM_KEYUP = 0x0101;
constexpr std::uint32_t WM_CHAR = 0x0102;
constexpr std::uint32_t WM_SYSKEYDOWN = 0x0104;
constexpr std::uint32_t WM_SYSKEYUP = 0x0105;
constexpr std::uint32_t WM_SYSCHAR = 0x0106;
constexpr std::uint32_t WM_MOUSEMOVE = 0x0200;
constexpr std::uint32_t WM_LBUTTONDOWN = 0x0201;
constexpr std::uint32_t WM_LBUTTONUP = 0x0202;
constexpr std::uint32_t WM_RBUTTONDOWN = 0x0204;
constexpr std::uint32_t WM_RBUTTONUP = 0x0205;
constexpr std::uint32_t WM_MBUTTONDOWN = 0x0207;
constexpr std::uint32_t WM_MBUTTONUP = 0x0208;
constexpr std::uint32_t WM_MOUSEWHEEL = 0x020A;
constexpr std::uint32_t WM_XBUTTONDOWN = 0x020B;
constexpr std::uint32_t WM_XBUTTONUP = 0x020C;
constexpr std::uint32_t WM_MOUSEHWHEEL = 0x020E;
constexpr std::uint32_t WM_USER = 0x0400;
constexpr std::uint32_t WM_APP = 0x8000;

// wParam of WM_SIZE.
constexpr std::uintptr_t SIZE_RESTORED = 0;
constexpr std::uintptr_t SIZE_MINIMIZED = 1;
constexpr std::uintptr_t SIZE_MAXIMIZED = 2;

// Low word of the wParam of mouse messages: buttons and modifiers held.
constexpr std::uintptr_t MK_LBUTTON = 0x0001;
constexpr std::uintptr_t MK_RBUTTON = 0x0002;
constexpr std::uintptr_t MK_SHIFT = 0x0004;
constexpr std::uintptr_t MK_CONTROL = 0x0008;
constexpr std::uintptr_t MK_MBUTTON = 0x0010;
constexpr std::uintptr_t MK_XBUTTON1 = 0x0020;
constexpr std::uintptr_t MK_XBUTTON2 = 0x0040;

// High word of the wParam of WM_XBUTTONDOWN / WM_XBUTTONUP.
constexpr std::uintptr_t XBUTTON1 = 1;
constexpr std::uintptr_t XBUTTON2 = 2;

// One wheel notch, in the high word of the wParam of WM_MOUSEWHEEL.
constexpr int WHEEL_DELTA = 120;

// lParam of key and character messages.
constexpr std::intptr_t KEYDATA_REPEAT_MASK = 0x0000FFFF;     // repeat count (always 1 here)
constexpr int KEYDATA_SCANCODE_SHIFT = 16;                    // PC/AT set-1 scan code, bits 16-23
constexpr std::intptr_t KEYDATA_EXTENDED = 0x01000000;        // right Ctrl/Alt, arrows, keypad Enter, ...
constexpr std::intptr_t KEYDATA_ALT_DOWN = 0x20000000;        // the "context code": Alt is held
constexpr std::intptr_t KEYDATA_PREVIOUS_DOWN = 0x40000000;   // auto-repeat on key down; always on key up
constexpr std::intptr_t KEYDATA_TRANSITION_UP = 0x80000000LL; // key up

// Virtual-key codes. Letters are their upper-case ASCII codes ('A' 65 ... 'Z' 90) and the digit row is
// '0' 48 ... '9' 57, as on Windows.
constexpr int VK_LBUTTON = 0x01;
constexpr int VK_RBUTTON = 0x02;
constexpr int VK_MBUTTON = 0x04;
constexpr int VK_XBUTTON1 = 0x05;
constexpr int VK_XBUTTON2 = 0x06;
constexpr int VK_BACK = 0x08;
constexpr int VK_TAB = 0x09;
constexpr int VK_CLEAR = 0x0C;
constexpr int VK_RETURN = 0x0D;
constexpr int VK_SHIFT = 0x10;
constexpr int VK_CONTROL = 0x11;
constexpr int VK_MENU = 0x12;
constexpr int VK_PAUSE = 0x13;
constexpr int VK_CAPITAL = 0x14;
constexpr int VK_ESCAPE = 0x1B;
constexpr int VK_SPACE = 0x20;
constexpr int VK_PRIOR = 0x21;
constexpr int VK_NEXT = 0x22;
constexpr int VK_END = 0x23;
constexpr int VK_HOME = 0x24;
constexpr int VK_LEFT = 0x25;
constexpr int VK_UP = 0x26;
constexpr int VK_RIGHT = 0x27;
constexpr int VK_DOWN = 0x28;
constexpr int VK_SNAPSHOT = 0x2C;
constexpr int VK_INSERT = 0x2D;
constexpr int VK_DELETE = 0x2E;
constexpr int VK_LWIN = 0x5B;
constexpr int VK_RWIN = 0x5C;
constexpr int VK_APPS = 0x5D;
constexpr int VK_NUMPAD0 = 0x60; // VK_NUMPAD1 ... VK_NUMPAD9 follow
constexpr int VK_MULTIPLY = 0x6A;
constexpr int VK_ADD = 0x6B;
constexpr int VK_SUBTRACT = 0x6D;
constexpr int VK_DECIMAL = 0x6E;
constexpr int VK_DIVIDE = 0x6F;
constexpr int VK_F1 = 0x70; // VK_F2 ... VK_F24 follow
constexpr int VK_F10 = 0x79;
constexpr int VK_F12 = 0x7B;
constexpr int VK_F24 = 0x87;
constexpr int VK_NUMLOCK = 0x90;
constexpr int VK_SCROLL = 0x91;
constexpr int VK_LSHIFT = 0xA0;
constexpr int VK_RSHIFT = 0xA1;
constexpr int VK_LCONTROL = 0xA2;
constexpr int VK_RCONTROL = 0xA3;
constexpr int VK_LMENU = 0xA4;
constexpr int VK_RMENU = 0xA5;
constexpr int VK_VOLUME_MUTE = 0xAD;
constexpr int VK_VOLUME_DOWN = 0xAE;
constexpr int VK_VOLUME_UP = 0xAF;
constexpr int VK_MEDIA_NEXT_TRACK = 0xB0;
constexpr int VK_MEDIA_PREV_TRACK = 0xB1;
constexpr int VK_MEDIA_STOP = 0xB2;
constexpr int VK_MEDIA_PLAY_PAUSE = 0xB3;
constexpr int VK_OEM_1 = 0xBA;      // ;:
constexpr int VK_OEM_PLUS = 0xBB;   // =+
constexpr int VK_OEM_COMMA = 0xBC;  // ,<
constexpr int VK_OEM_MINUS = 0xBD;  // -_
constexpr int VK_OEM_PERIOD = 0xBE; // .>
constexpr int VK_OEM_2 = 0xBF;      // /?
constexpr int VK_OEM_3 = 0xC0;      // `~
constexpr int VK_OEM_4 = 0xDB;      // [{
constexpr int VK_OEM_5 = 0xDC;      // \|
constexpr int VK_OEM_6 = 0xDD;      // ]}
constexpr int VK_OEM_7 = 0xDE;      // '"
constexpr int VK_OEM_102 = 0xE2;    // the extra key beside left Shift on ISO keyboards

// `PeekMessage` flags.
constexpr std::uint32_t PM_NOREMOVE = 0;
constexpr std::uint32_t PM_REMOVE = 1;

// Packing helpers, as the Windows macros of the same meaning.
constexpr std::uint32_t LowWord(std::uintptr_t value)
{
    return static_cast<std::uint32_t>(value & 0xFFFFu);
}
constexpr std::uint32_t HighWord(std::uintptr_t value)
{
    return static_cast<std::uint32_t>((value >> 16) & 0xFFFFu);
}
// The signed x of a mouse message's lParam (GET_X_LPARAM).
constexpr int XFromLParam(std::intptr_t lParam)
{
    return static_cast<std::int16_t>(static_cast<std::uint16_t>(lParam & 0xFFFF));
}
// The signed y of a mouse message's lParam (GET_Y_LPARAM).
constexpr int YFromLParam(std::intptr_t lParam)
{
    return static_cast<std::int16_t>(static_cast<std::uint16_t>((lParam >> 16) & 0xFFFF));
}
// The signed wheel delta of a WM_MOUSEWHEEL wParam (GET_WHEEL_DELTA_WPARAM).
constexpr int WheelDeltaFromWParam(std::uintptr_t wParam)
{
    return static_cast<std::int16_t>(static_cast<std::uint16_t>((wParam >> 16) & 0xFFFF));
}
// Two 16-bit values packed as Windows packs them into an lParam (MAKELPARAM): low, then high.
constexpr std::intptr_t MakeLParam(int low, int high)
{
    return static_cast<std::intptr_t>((static_cast<std::uint32_t>(low) & 0xFFFFu) |
                                      ((static_cast<std::uint32_t>(high) & 0xFFFFu) << 16));
}

// Takes the oldest message of the calling thread's queue into `message`; with PM_NOREMOVE it stays
// queued. On the window thread an empty queue is first refilled from SDL's events. Answers false (and
// leaves `message` alone) when no message is waiting. Never blocks.
bool PeekMessage(Message& message, std::uint32_t flags = PM_REMOVE);

// Blocks until the calling thread's queue holds a message (answering at once if it already does), or
// until `timeoutMilliseconds` have passed (a negative timeout waits for ever). Answers whether a message
// is waiting. Nothing is removed.
bool WaitMessage(int timeoutMilliseconds = -1);

// Appends a message for `window` to the window thread's queue, or, with a null window, to the calling
// thread's queue. Any thread. Answers false when the window no longer exists.
bool PostMessage(Window* window, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);

// Makes the character message Windows' TranslateMessage makes for a key-down message: 8 for Backspace
// (127 with Ctrl), 9 for Tab (none with Ctrl), 13 for Enter (10 with Ctrl), 27 for Escape and 1-26 for
// Ctrl+A-Z (Alt not held). It is queued in front, so the next `PeekMessage` takes it: WM_CHAR after
// WM_KEYDOWN, WM_SYSCHAR after WM_SYSKEYDOWN. Ctrl is read from the key messages already taken from
// the queue, as Windows reads its synchronous key state. Answers whether a character was queued. Typed
// text needs no translation: it is queued as WM_CHAR / WM_SYSCHAR when SDL reports it.
bool TranslateMessage(const Message& message);

// Calls the procedure of the message's window and answers its result; 0 for a thread message or a
// window that no longer exists.
std::intptr_t DispatchMessage(const Message& message);

// Calls `window`'s procedure at once (window thread only). Answers its result, 0 for a null window.
std::intptr_t SendMessage(Window* window, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);

} // namespace vanta::platform
