// Input tables and the message hook that fills them.
#include "system/Input.h"

#include "platform/Messages.h"
#include "system/Gamepads.h"
#include "system/Keys.h"

#include <cstring>

namespace vanta {
namespace {

constexpr std::uint32_t CHAR_RING = 256;
constexpr std::uint32_t STROKE_RING = 256;
constexpr std::uint32_t LEFT_SHIFT_SCAN_CODE = 42;

struct InputState
{
    std::uint8_t hits[256];
    std::uint8_t down[256];
    std::uint16_t chars[CHAR_RING];
    // Free-running counters: the slot is the counter modulo 256, the ring is full when they differ by 256.
    std::uint32_t charPut;
    std::uint32_t charGet;
    KeyStroke strokes[STROKE_RING];
    std::uint32_t strokePut;
    std::uint32_t strokeGet;
    std::int32_t mouseX;
    std::int32_t mouseY;
    std::int32_t mouseZ;
};

constinit InputState state{};

void Press(std::int32_t code)
{
    if (state.down[code] == 0) {
        ++state.hits[code];
        state.down[code] = 1;
    }
}

std::uint32_t ScanCode(std::intptr_t lParam)
{
    return static_cast<std::uint32_t>(lParam >> platform::KEYDATA_SCANCODE_SHIFT) & 0x7F;
}

bool IsExtended(std::intptr_t lParam)
{
    return (lParam & platform::KEYDATA_EXTENDED) != 0;
}

// The left or right code of a modifier key, from the scan code (Shift) or the extended bit (Ctrl, Alt).
std::int32_t SideCode(std::uintptr_t key, std::intptr_t lParam)
{
    switch (key) {
    case VK_SHIFT: return ScanCode(lParam) == LEFT_SHIFT_SCAN_CODE ? VK_LSHIFT : VK_RSHIFT;
    case VK_CONTROL: return IsExtended(lParam) ? VK_RCONTROL : VK_LCONTROL;
    case VK_MENU: return IsExtended(lParam) ? VK_RMENU : VK_LMENU;
    default: return 0;
    }
}

// Adds a keystroke; a full ring drops it, as the character ring drops characters.
void PutStroke(KeyStroke stroke)
{
    if (state.strokePut - state.strokeGet > STROKE_RING - 1) return;
    state.strokes[state.strokePut % STROKE_RING] = stroke;
    ++state.strokePut;
}

bool IsKeyCode(std::int32_t key)
{
    return key >= 1 && key <= 255;
}

} // namespace

void HandleInputMessage(std::uintptr_t, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam)
{
    switch (message) {
    case platform::WM_KEYDOWN:
    case platform::WM_SYSKEYDOWN: {
        // The key was already down, so this is an auto-repeat.
        if ((lParam & platform::KEYDATA_PREVIOUS_DOWN) != 0) return;
        if (wParam >= 1 && wParam <= 255) {
            Press(static_cast<std::int32_t>(wParam));
            PutStroke({static_cast<std::int32_t>(wParam), 0});
        }
        if (const std::int32_t side = SideCode(wParam, lParam)) Press(side);
        return;
    }
    case platform::WM_KEYUP:
    case platform::WM_SYSKEYUP:
        if (wParam <= 255) state.down[wParam] = 0;
        if (const std::int32_t side = SideCode(wParam, lParam)) state.down[side] = 0;
        return;
    case platform::WM_CHAR:
    case platform::WM_SYSCHAR:
        if (state.charPut - state.charGet > CHAR_RING - 1) return;
        state.chars[state.charPut % CHAR_RING] = static_cast<std::uint16_t>(wParam & 0xFFFF);
        ++state.charPut;
        PutStroke({0, static_cast<std::int32_t>(wParam & 0xFFFF)});
        return;
    case platform::WM_MOUSEMOVE:
        state.mouseX = platform::XFromLParam(lParam);
        state.mouseY = platform::YFromLParam(lParam);
        return;
    case platform::WM_LBUTTONDOWN: Press(VK_LBUTTON); return;
    case platform::WM_RBUTTONDOWN: Press(VK_RBUTTON); return;
    case platform::WM_MBUTTONDOWN: Press(VK_MBUTTON); return;
    case platform::WM_LBUTTONUP: state.down[VK_LBUTTON] = 0; return;
    case platform::WM_RBUTTONUP: state.down[VK_RBUTTON] = 0; return;
    case platform::WM_MBUTTONUP: state.down[VK_MBUTTON] = 0; return;
    case platform::WM_MOUSEWHEEL:
        // Whole notches only: a delta smaller than one notch is lost (division truncates toward zero).
        state.mouseZ += platform::WheelDeltaFromWParam(wParam) / platform::WHEEL_DELTA;
        return;
    default: HandleGamepadMessage(message, wParam, lParam); return;
    }
}

std::int32_t TakeInputKeyHits(std::int32_t key)
{
    if (!IsKeyCode(key)) return 0;
    const std::int32_t hits = state.hits[key];
    state.hits[key] = 0;
    return hits;
}

std::int32_t InputKeyState(std::int32_t key)
{
    return IsKeyCode(key) ? state.down[key] : 0;
}

std::int32_t TakeInputChar()
{
    if (state.charGet == state.charPut) return 0;
    return state.chars[state.charGet++ % CHAR_RING];
}

KeyStroke TakeInputStroke()
{
    if (state.strokeGet == state.strokePut) return {};
    return state.strokes[state.strokeGet++ % STROKE_RING];
}

void ClearInputKeyState()
{
    std::memset(state.hits, 0, sizeof state.hits);
    std::memset(state.down, 0, sizeof state.down);
    state.charPut = 0;
    state.charGet = 0;
    state.strokePut = 0;
    state.strokeGet = 0;
}

std::int32_t InputPointerAxis(std::int32_t axis)
{
    switch (axis) {
    case 0: return state.mouseX;
    case 1: return state.mouseY;
    case 2: return state.mouseZ;
    default: return 0;
    }
}

} // namespace vanta
