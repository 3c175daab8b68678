// Polled keyboard and mouse state, filled from window messages.
//
// The state lives in module-level tables indexed by Windows virtual-key codes: a hit count (up-to-down
// transitions since it was last read, wrapping from 255 to 0) and a down flag per code, a ring of 256
// typed characters, a ring of 256 keystrokes (key presses and typed characters in the order they came),
// and the pointer position and wheel notches. Mouse buttons share the key tables under
// the codes 1 (left), 2 (right) and 4 (middle); the left and right modifier keys get their own codes
// 160-165 besides the generic 16, 17 and 18.
//
// `HandleInputMessage` is called by the host driver for every message it pumps, before dispatching it;
// it takes the platform layer's message numbers and lParam layout (platform/Messages.h). Key codes are
// named through system/Keys.h.
//
// Main thread only: the tables change only while messages are pumped and when they are read.
#pragma once

#include <cstdint>

namespace vanta {

// Updates the input tables from one window message (key, character, pointer, button and wheel messages,
// numbered as in platform/Messages.h); every other message leaves them alone.
void HandleInputMessage(std::uintptr_t window, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);

// The key's hit count, which reading resets to 0; 0 for codes outside 1-255.
std::int32_t TakeInputKeyHits(std::int32_t key);

// 1 while the key is held, else 0; 0 for codes outside 1-255.
std::int32_t InputKeyState(std::int32_t key);

// The oldest typed character, or 0 when none is waiting.
std::int32_t TakeInputChar();

// One keystroke: a key going down (`key`, its code; `character` 0) or a typed character (`character`;
// `key` 0). Both are 0 when no keystroke is waiting.
struct KeyStroke
{
    std::int32_t key = 0;       // the key code of a key going down, or 0
    std::int32_t character = 0; // the character typed, or 0
};

// The oldest keystroke, or an empty one when none is waiting. Auto-repeated key downs are not keystrokes;
// the characters they type are.
KeyStroke TakeInputStroke();

// Clears every hit count and down flag (mouse buttons included) and empties the character and keystroke rings.
void ClearInputKeyState();

// Pointer x (axis 0), pointer y (1) or wheel notches (2); 0 for any other axis.
std::int32_t InputPointerAxis(std::int32_t axis);

} // namespace vanta
