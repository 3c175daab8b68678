// Input tables and the message hook that fills them.
#include "system/Input.h"

#include <cstring>

namespace vanta {
namespace {

constexpr std::uint32_t CHAR_RING = 256;
constexpr std::int32_t KEY_SHIFT = 16;
constexpr std::int32_t KEY_CONTROL = 17;
constexpr std::int32_t KEY_ALT = 18;
constexpr std::int32_t KEY_LSHIFT = 160;
constexpr std::int32_t KEY_RSHIFT = 161;
constexpr std::int32_t KEY_LCONTROL = 162;
constexpr std::int32_t KEY_RCONTROL = 163;
constexpr std::int32_t KEY_LALT = 164;
constexpr std::int32_t KEY_RALT = 165;
constexpr std::uint32_t LEFT_SHIFT_SCAN_CODE = 42;

struct InputState
{
    std::uint8_t hits[256];
    std::uint8_t down[256];
    std::uint16_t chars[CHAR_RING];
    // Free-running counters: the slot is the counter modulo 256, the ring is full when they differ by 256.
    std::uint32_t charPut;
    std::uint32_t charGet;
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
    return static_cast<std::uint32_t>(lParam >> 16) & 0x7F;
}

bool IsExtended(std::intptr_t lParam)
{
    return ((lParam >> 24) & 1) != 0;
}

// The left or right code of a modifier key, from the scan code (Shift) or the extended bit (Ctrl, Alt).
std::int32_t SideCode(std::uintptr_t key, std::intptr_t lParam)
{
    switch (key) {
    case KEY_SHIFT: return ScanCode(lParam) == LEFT_SHIFT_SCAN_CODE ? KEY_LSHIFT : KEY_RSHIFT;
    case KEY_CONTROL: return IsExtended(lParam) ? KEY_RCONTROL : KEY_LCONTROL;
    case KEY_ALT: return IsExtended(lParam) ? KEY_RALT : KEY_LALT;
    default: return 0;
    }
}

bool IsKeyCode(std::int32_t key)
{
    return key >= 1 && key <= 255;
}

} // namespace

void HandleInputMessage(std::uintptr_t, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam)
{
    switch (message) {
    case MSG_KEYDOWN:
    case MSG_SYSKEYDOWN: {
        // Bit 30: the key was already down, so this is an auto-repeat.
        if (((lParam >> 30) & 1) != 0) return;
        if (wParam >= 1 && wParam <= 255) Press(static_cast<std::int32_t>(wParam));
        if (const std::int32_t side = SideCode(wParam, lParam)) Press(side);
        return;
    }
    case MSG_KEYUP:
    case MSG_SYSKEYUP:
        if (wParam <= 255) state.down[wParam] = 0;
        if (const std::int32_t side = SideCode(wParam, lParam)) state.down[side] = 0;
        return;
    case MSG_CHAR:
    case MSG_SYSCHAR:
        if (state.charPut - state.charGet > CHAR_RING - 1) return;
        state.chars[state.charPut % CHAR_RING] = static_cast<std::uint16_t>(wParam & 0xFFFF);
        ++state.charPut;
        return;
    case MSG_MOUSEMOVE:
        state.mouseX = static_cast<std::int16_t>(lParam & 0xFFFF);
        state.mouseY = static_cast<std::int16_t>((lParam >> 16) & 0xFFFF);
        return;
    case MSG_LBUTTONDOWN: Press(1); return;
    case MSG_RBUTTONDOWN: Press(2); return;
    case MSG_MBUTTONDOWN: Press(4); return;
    case MSG_LBUTTONUP: state.down[1] = 0; return;
    case MSG_RBUTTONUP: state.down[2] = 0; return;
    case MSG_MBUTTONUP: state.down[4] = 0; return;
    case MSG_MOUSEWHEEL:
        // Whole notches only: a delta smaller than one notch is lost (division truncates toward zero).
        state.mouseZ += static_cast<std::int16_t>((wParam >> 16) & 0xFFFF) / 120;
        return;
    default: return;
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

void ClearInputKeyState()
{
    std::memset(state.hits, 0, sizeof state.hits);
    std::memset(state.down, 0, sizeof state.down);
    state.charPut = 0;
    state.charGet = 0;
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
