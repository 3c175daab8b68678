// Windows virtual-key codes: the one vocabulary for keys and mouse buttons.
//
// The platform layer translates SDL's keys into these codes, the input tables of system/ are indexed by
// them, and games and the console name them through system/Keys.h. They sit in an inline namespace so
// that system/Keys.h can publish exactly this family and nothing else of the platform layer.
//
// Letters have no names of their own: a letter key's code is its upper-case ASCII code ('A' 65 ... 'Z'
// 90), and the digit row's are '0' 48 ... '9' 57, as on Windows. Runs that are only partly named count
// on from their first code: F2 is `VK_F1 + 1`, keypad 5 is `VK_NUMPAD0 + 5`. Codes run from 1 to 255; 0
// is never a key.
#pragma once

namespace vanta::platform {
inline namespace keys {

inline constexpr int VK_LBUTTON = 0x01;          // left mouse button
inline constexpr int VK_RBUTTON = 0x02;          // right mouse button
inline constexpr int VK_MBUTTON = 0x04;          // middle mouse button (mouse button 3 of `ButtonHits`)
inline constexpr int VK_XBUTTON1 = 0x05;         // first extra mouse button; the input tables do not record it
inline constexpr int VK_XBUTTON2 = 0x06;         // second extra mouse button; the input tables do not record it
inline constexpr int VK_BACK = 0x08;             // Backspace
inline constexpr int VK_TAB = 0x09;              // Tab
inline constexpr int VK_CLEAR = 0x0C;            // keypad 5 with Num Lock off
inline constexpr int VK_RETURN = 0x0D;           // Return, and Enter on the keypad
inline constexpr int VK_SHIFT = 0x10;            // either Shift (also sets `VK_LSHIFT` or `VK_RSHIFT`)
inline constexpr int VK_CONTROL = 0x11;          // either Ctrl (also sets `VK_LCONTROL` or `VK_RCONTROL`)
inline constexpr int VK_MENU = 0x12;             // either Alt (also sets `VK_LMENU` or `VK_RMENU`)
inline constexpr int VK_PAUSE = 0x13;            // Pause
inline constexpr int VK_CAPITAL = 0x14;          // Caps Lock
inline constexpr int VK_ESCAPE = 0x1B;           // Escape
inline constexpr int VK_SPACE = 0x20;            // space bar
inline constexpr int VK_PRIOR = 0x21;            // Page Up
inline constexpr int VK_NEXT = 0x22;             // Page Down
inline constexpr int VK_END = 0x23;              // End
inline constexpr int VK_HOME = 0x24;             // Home
inline constexpr int VK_LEFT = 0x25;             // left arrow
inline constexpr int VK_UP = 0x26;               // up arrow
inline constexpr int VK_RIGHT = 0x27;            // right arrow
inline constexpr int VK_DOWN = 0x28;             // down arrow
inline constexpr int VK_SNAPSHOT = 0x2C;         // Print Screen
inline constexpr int VK_INSERT = 0x2D;           // Insert
inline constexpr int VK_DELETE = 0x2E;           // Delete
inline constexpr int VK_LWIN = 0x5B;             // left Windows (Super) key
inline constexpr int VK_RWIN = 0x5C;             // right Windows (Super) key
inline constexpr int VK_APPS = 0x5D;             // Menu (application) key
inline constexpr int VK_NUMPAD0 = 0x60;          // keypad 0 with Num Lock on; keypad 1 ... 9 follow (`VK_NUMPAD0 + n`)
inline constexpr int VK_MULTIPLY = 0x6A;         // keypad *
inline constexpr int VK_ADD = 0x6B;              // keypad +
inline constexpr int VK_SUBTRACT = 0x6D;         // keypad -
inline constexpr int VK_DECIMAL = 0x6E;          // keypad point (with Num Lock on)
inline constexpr int VK_DIVIDE = 0x6F;           // keypad /
inline constexpr int VK_F1 = 0x70;               // F1; F2 ... F24 follow (`VK_F1 + n - 1` is Fn)
inline constexpr int VK_F10 = 0x79;              // F10 (`VK_F1 + 9`)
inline constexpr int VK_F12 = 0x7B;              // F12 (`VK_F1 + 11`)
inline constexpr int VK_F24 = 0x87;              // F24 (`VK_F1 + 23`), the last function key
inline constexpr int VK_NUMLOCK = 0x90;          // Num Lock
inline constexpr int VK_SCROLL = 0x91;           // Scroll Lock
inline constexpr int VK_LSHIFT = 0xA0;           // left Shift, set together with `VK_SHIFT`
inline constexpr int VK_RSHIFT = 0xA1;           // right Shift, set together with `VK_SHIFT`
inline constexpr int VK_LCONTROL = 0xA2;         // left Ctrl, set together with `VK_CONTROL`
inline constexpr int VK_RCONTROL = 0xA3;         // right Ctrl, set together with `VK_CONTROL`
inline constexpr int VK_LMENU = 0xA4;            // left Alt, set together with `VK_MENU`
inline constexpr int VK_RMENU = 0xA5;            // right Alt (AltGr), set together with `VK_MENU`
inline constexpr int VK_VOLUME_MUTE = 0xAD;      // Mute
inline constexpr int VK_VOLUME_DOWN = 0xAE;      // Volume Down
inline constexpr int VK_VOLUME_UP = 0xAF;        // Volume Up
inline constexpr int VK_MEDIA_NEXT_TRACK = 0xB0; // Next Track
inline constexpr int VK_MEDIA_PREV_TRACK = 0xB1; // Previous Track
inline constexpr int VK_MEDIA_STOP = 0xB2;       // Stop (media)
inline constexpr int VK_MEDIA_PLAY_PAUSE = 0xB3; // Play/Pause
inline constexpr int VK_OEM_1 = 0xBA;            // ;:
inline constexpr int VK_OEM_PLUS = 0xBB;         // =+
inline constexpr int VK_OEM_COMMA = 0xBC;        // ,<
inline constexpr int VK_OEM_MINUS = 0xBD;        // -_
inline constexpr int VK_OEM_PERIOD = 0xBE;       // .>
inline constexpr int VK_OEM_2 = 0xBF;            // /?
inline constexpr int VK_OEM_3 = 0xC0;            // `~
inline constexpr int VK_OEM_4 = 0xDB;            // [{
inline constexpr int VK_OEM_5 = 0xDC;            // \|
inline constexpr int VK_OEM_6 = 0xDD;            // ]}
inline constexpr int VK_OEM_7 = 0xDE;            // '"
inline constexpr int VK_OEM_102 = 0xE2;          // the extra key beside left Shift on ISO keyboards

} // namespace keys
} // namespace vanta::platform
