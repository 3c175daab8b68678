// Polled gamepads, in the keyboard's style: per-pad button hit counts and down flags, sticks as -1 ... 1
// with a dead zone, triggers as 0 ... 1, the number of pads and whether each is connected.
//
// Builds on the platform's game controllers (platform/Gamepads.h), whose thread messages the input hook
// of system/Input.h hands to `HandleGamepadMessage` while messages are pumped, so nothing pressed between
// two polls is lost. Pads are numbered 0 ... `MAX_GAMEPADS` - 1; a pad keeps its number until it is
// unplugged, and the next pad plugged in takes the lowest free number. Each query pumps messages first
// while automatic polling is on (system/HostDriver.h).
//
// Main thread only.
#pragma once

#include "runtime/String.h"

#include <cstdint>

namespace vanta {

// The number of pad numbers.
inline constexpr std::int32_t MAX_GAMEPADS = 16;

// Buttons (the standard controller names; positions as on an Xbox pad).
inline constexpr std::int32_t PAD_A = 0;               // bottom face button
inline constexpr std::int32_t PAD_B = 1;               // right face button
inline constexpr std::int32_t PAD_X = 2;               // left face button
inline constexpr std::int32_t PAD_Y = 3;               // top face button
inline constexpr std::int32_t PAD_BACK = 4;            // back (select)
inline constexpr std::int32_t PAD_GUIDE = 5;           // guide (home)
inline constexpr std::int32_t PAD_START = 6;           // start
inline constexpr std::int32_t PAD_LEFT_STICK = 7;      // left stick pressed
inline constexpr std::int32_t PAD_RIGHT_STICK = 8;     // right stick pressed
inline constexpr std::int32_t PAD_LEFT_SHOULDER = 9;   // left shoulder
inline constexpr std::int32_t PAD_RIGHT_SHOULDER = 10; // right shoulder
inline constexpr std::int32_t PAD_UP = 11;             // pad up
inline constexpr std::int32_t PAD_DOWN = 12;           // pad down
inline constexpr std::int32_t PAD_LEFT = 13;           // pad left
inline constexpr std::int32_t PAD_RIGHT = 14;          // pad right
inline constexpr std::int32_t PAD_BUTTONS = 15;        // the number of buttons

// Stick axes (x to the right, y downwards) and triggers.
inline constexpr std::int32_t PAD_LEFT_X = 0;        // left stick, across
inline constexpr std::int32_t PAD_LEFT_Y = 1;        // left stick, down
inline constexpr std::int32_t PAD_RIGHT_X = 2;       // right stick, across
inline constexpr std::int32_t PAD_RIGHT_Y = 3;       // right stick, down
inline constexpr std::int32_t PAD_LEFT_TRIGGER = 0;  // left trigger
inline constexpr std::int32_t PAD_RIGHT_TRIGGER = 1; // right trigger

// The dead zone sticks start with: a quarter of the way out reads 0.
inline constexpr float PAD_DEAD_ZONE = 0.25f;

// The gamepad module's initialiser: initialises the system module and opens the controllers plugged in
// now and later (nothing happens, and every pad reads as absent, when the controller layer cannot start).
// Later calls do nothing.
void InitGamepads();

// The number of pads connected now.
std::int32_t CountGamepads();
// 1 while pad `pad` is connected, else 0 (also for numbers outside 0 ... `MAX_GAMEPADS` - 1).
std::int32_t GamepadConnected(std::int32_t pad);
// The button's presses since it was last read, which reading resets to 0 (kept when the pad is
// unplugged until read; wraps from 255 to 0); 0 for unknown pads or buttons.
std::int32_t GamepadButtonHits(std::int32_t pad, std::int32_t button);
// The button's presses on every pad together since they were last read, which reading resets (one poll
// for all pads); 0 for unknown buttons.
std::int32_t AnyGamepadButtonHits(std::int32_t button);
// 1 while the button is held, else 0; 0 for unknown pads or buttons.
std::int32_t IsGamepadButtonDown(std::int32_t pad, std::int32_t button);
// A stick axis as -1 ... 1: 0 inside the dead zone, rising from there to 1 at the end of its travel; 0
// for unknown pads or axes.
float GamepadAxis(std::int32_t pad, std::int32_t axis);
// A trigger as 0 (released) ... 1 (fully pulled); 0 for unknown pads or triggers.
float GamepadTrigger(std::int32_t pad, std::int32_t trigger);
// The pad's name as its driver gives it (its bytes, one character each), or the empty string when it is not connected.
Ref<String> GamepadName(std::int32_t pad);
// Sets the sticks' dead zone, kept within 0 ... 0.99.
void SetGamepadDeadZone(float deadZone);
float GamepadDeadZone();
// Clears every pad's hit counts and down flags.
void ClearGamepads();

// The input hook's part for pads: updates the tables from one pad message (platform/Gamepads.h); other
// messages leave them alone.
void HandleGamepadMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);

} // namespace vanta
