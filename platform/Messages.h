// Message queues of the platform layer: Windows message numbers, key-message bits and the pump calls.
//
// Builds on SDL's event queue (drained in Messages.cpp), the window registry of Window.cpp and the
// virtual-key codes of VirtualKeys.h. The numbers and bit layouts below are the Windows ones, so code written against
// Win32 reads the same here.
#pragma once

#include "platform/VirtualKeys.h"

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
