// Game controllers of the platform layer: SDL's game-controller layer (standard button and axis names,
// the controller database SDL ships) turned into thread messages, pads plugged in or out included, and
// virtual pads for tests.
//
// Builds on SDL's game controllers and virtual joysticks (Gamepads.cpp) and the message queue of
// Messages.h. Pads are numbered by slot, 0 ... `MAX_GAMEPAD_SLOTS` - 1: a pad keeps its slot until it is
// unplugged, and the next pad plugged in takes the lowest free one. Window thread only.
#pragma once

#include <cstdint>

namespace vanta::platform {

// The number of pad slots.
constexpr int MAX_GAMEPAD_SLOTS = 16;

// Thread messages (no window) for pads: numbers of our own, in a block that Windows leaves unused.
constexpr std::uint32_t WM_GAMEPADADDED = 0x0380;      // wParam: slot
constexpr std::uint32_t WM_GAMEPADREMOVED = 0x0381;    // wParam: slot
constexpr std::uint32_t WM_GAMEPADBUTTONDOWN = 0x0382; // wParam: slot; lParam: button (SDL's order, 0-14)
constexpr std::uint32_t WM_GAMEPADBUTTONUP = 0x0383;   // wParam: slot; lParam: button
constexpr std::uint32_t WM_GAMEPADAXIS = 0x0384;       // wParam: slot | axis << 8; lParam: -32768 ... 32767

// Button and axis numbers, in SDL's controller order.
constexpr int GAMEPAD_BUTTON_COUNT = 15;
constexpr int GAMEPAD_AXIS_COUNT = 6; // left x, left y, right x, right y, left trigger, right trigger

// Opens the controllers plugged in now and from now on: each arrives as WM_GAMEPADADDED at the next pump,
// its input as the messages above. Starts the thread's message queue if video has not (so the calling
// thread becomes the window thread). Answers false when SDL's controller layer cannot start; later calls
// answer true at once.
bool StartGamepads();

// Closes every controller (each gives WM_GAMEPADREMOVED) and stops SDL's controller layer.
void StopGamepads();

// The name of the controller in `slot` (UTF-8), or an empty text.
const char* GamepadName(int slot);

// For tests: plugs in a virtual controller with every standard button and axis, which passes through
// the same events as a real one. Answers its id, or -1 (`WindowError` says why).
int AttachVirtualGamepad();
// Presses or releases a button of a virtual controller; false for an unknown id or button.
bool SetVirtualGamepadButton(int id, int button, bool down);
// Moves an axis of a virtual controller to `value` (-32768 ... 32767); false for an unknown id or axis.
bool SetVirtualGamepadAxis(int id, int axis, int value);
// Lets SDL see what the virtual controllers did since the last look, queueing its events without
// pumping any message: presses made between two updates that cancel out are not seen (as on a real pad,
// whose state SDL samples).
void UpdateVirtualGamepads();
// Unplugs a virtual controller; false for an unknown id.
bool DetachVirtualGamepad(int id);

} // namespace vanta::platform
