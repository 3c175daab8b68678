// Input events pushed into SDL's event queue.
#include "SdlInput.h"

#include <cstring>

#include <SDL.h>

namespace vanta::test {
namespace {

Uint16 SdlModifiers(unsigned modifiers)
{
    Uint16 mod = KMOD_NONE;
    if ((modifiers & SDL_INPUT_LEFT_SHIFT) != 0) mod |= KMOD_LSHIFT;
    if ((modifiers & SDL_INPUT_RIGHT_SHIFT) != 0) mod |= KMOD_RSHIFT;
    if ((modifiers & SDL_INPUT_LEFT_CTRL) != 0) mod |= KMOD_LCTRL;
    if ((modifiers & SDL_INPUT_RIGHT_CTRL) != 0) mod |= KMOD_RCTRL;
    if ((modifiers & SDL_INPUT_LEFT_ALT) != 0) mod |= KMOD_LALT;
    if ((modifiers & SDL_INPUT_RIGHT_ALT) != 0) mod |= KMOD_RALT;
    return mod;
}

bool Push(SDL_Event& event)
{
    return SDL_PushEvent(&event) == 1;
}

} // namespace

bool PushSdlKey(bool down, const char* key, unsigned modifiers, bool repeat)
{
    const SDL_Scancode scancode = SDL_GetScancodeFromName(key);
    if (scancode == SDL_SCANCODE_UNKNOWN) return false;
    SDL_Event event{};
    event.type = down ? SDL_KEYDOWN : SDL_KEYUP;
    event.key.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.key.repeat = repeat ? 1 : 0;
    event.key.keysym.scancode = scancode;
    event.key.keysym.sym = SDL_GetKeyFromScancode(scancode);
    event.key.keysym.mod = SdlModifiers(modifiers);
    return Push(event);
}

bool PushSdlText(const char* utf8)
{
    SDL_Event event{};
    event.type = SDL_TEXTINPUT;
    std::strncpy(event.text.text, utf8, sizeof event.text.text - 1);
    return Push(event);
}

bool PushSdlMotion(int x, int y)
{
    SDL_Event event{};
    event.type = SDL_MOUSEMOTION;
    event.motion.x = x;
    event.motion.y = y;
    return Push(event);
}

bool PushSdlButton(bool down, int button, int x, int y)
{
    SDL_Event event{};
    event.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
    event.button.button = static_cast<Uint8>(button);
    event.button.state = down ? SDL_PRESSED : SDL_RELEASED;
    event.button.clicks = 1;
    event.button.x = x;
    event.button.y = y;
    return Push(event);
}

bool PushSdlWheel(int notches, float precise)
{
    SDL_Event event{};
    event.type = SDL_MOUSEWHEEL;
    event.wheel.y = notches;
    event.wheel.preciseY = precise;
    event.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
    return Push(event);
}

} // namespace vanta::test
