// Internal: translation of SDL keys to Windows virtual-key codes and PC/AT scan codes, and of SDL's
// UTF-8 text to UTF-16 units.
//
// Included only by platform/*.cpp and the platform tests. Takes SDL's numbers as plain integers so that
// it needs no SDL header.
#pragma once

#include <cstddef>
#include <cstdint>

namespace vanta::platform::detail {

// A key as Windows names it. `virtualKey` 0 means the key has no Windows code (it is not reported).
struct KeyCodes
{
    int virtualKey = 0;
    int scanCode = 0;      // PC/AT set-1 make code, 0-255
    bool extended = false; // the E0-prefixed keys: right Ctrl/Alt, arrows, keypad Enter and slash, ...
};

// Maps an SDL key (scancode, keycode, modifier state) to Windows codes. Letters follow the keyboard
// layout (the keycode); the digit row, punctuation and every other key follow the key's position (the
// scancode), as Windows does. With Num Lock off the keypad digits become the navigation keys.
KeyCodes MapKey(int sdlScancode, int sdlKeycode, unsigned sdlModifiers);

// Decodes at most `length` bytes of UTF-8 (stopping at a NUL) into UTF-16 units at `out`, which has
// room for `capacity` units, and answers how many were written. Characters beyond U+FFFF become
// surrogate pairs. Malformed input becomes U+FFFD: once per byte that cannot start a sequence (stray
// continuation bytes, 0xC0, 0xC1, 0xF5-0xFF) and once per sequence that starts well but proves bad
// (overlong forms, encoded surrogates, values above U+10FFFF, cut-off sequences). Stops early rather than split a pair
// when `out` is full.
std::size_t Utf8ToUtf16(const char* text, std::size_t length, char16_t* out, std::size_t capacity);

} // namespace vanta::platform::detail
