// Input events pushed into SDL's real event queue, for suites above the platform layer that may not
// include SDL themselves. The platform's pump takes them out and translates them like any device input.
//
// Builds on SDL's event queue; video must run on the calling thread (`platform::StartVideo`). Events
// carry no window, so they become messages for the thread. Each function answers whether SDL took the
// event.
#pragma once

namespace vanta::test {

// Modifier keys held, as the key events report them.
enum SdlModifier : unsigned
{
    SDL_INPUT_NO_MODIFIER = 0,
    SDL_INPUT_LEFT_SHIFT = 1,
    SDL_INPUT_RIGHT_SHIFT = 2,
    SDL_INPUT_LEFT_CTRL = 4,
    SDL_INPUT_RIGHT_CTRL = 8,
    SDL_INPUT_LEFT_ALT = 16,
    SDL_INPUT_RIGHT_ALT = 32
};

// A key pressed or released, named as SDL names keys ("A", "Space", "Left Shift", "Right Alt",
// "Escape"); `repeat` marks a press as the keyboard's auto-repeat. False for an unknown name.
bool PushSdlKey(bool down, const char* key, unsigned modifiers = SDL_INPUT_NO_MODIFIER, bool repeat = false);

// Typed text (UTF-8, at most 31 bytes).
bool PushSdlText(const char* utf8);

// The pointer moved to (x, y).
bool PushSdlMotion(int x, int y);

// A button pressed or released at (x, y): 1 left, 2 middle, 3 right (SDL's numbering).
bool PushSdlButton(bool down, int button, int x, int y);

// The wheel turned by `notches` whole notches (positive away from the user), or by `precise` notches when
// that is not 0 (a smooth-scrolling device).
bool PushSdlWheel(int notches, float precise = 0.0f);

} // namespace vanta::test
