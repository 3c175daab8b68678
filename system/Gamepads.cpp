// Gamepad tables and the queries over them.
#include "system/Gamepads.h"

#include "platform/Gamepads.h"
#include "system/HostDriver.h"
#include "system/System.h"

#include <algorithm>
#include <cstring>

namespace vanta {
namespace {

static_assert(MAX_GAMEPADS == platform::MAX_GAMEPAD_SLOTS && PAD_BUTTONS == platform::GAMEPAD_BUTTON_COUNT);

constexpr std::int32_t PAD_AXES = 6;
constexpr std::int32_t FIRST_TRIGGER_AXIS = 4;

struct Pad
{
    bool connected;
    std::uint8_t hits[PAD_BUTTONS];
    std::uint8_t down[PAD_BUTTONS];
    std::int16_t axes[PAD_AXES];
};

struct PadState
{
    Pad pads[MAX_GAMEPADS];
    float deadZone;
};

constinit PadState state{{}, PAD_DEAD_ZONE};

void Poll()
{
    if (AutoPoll() != 0) PumpMessages();
}

bool IsPad(std::int32_t pad)
{
    return pad >= 0 && pad < MAX_GAMEPADS;
}

bool IsButton(std::int32_t button)
{
    return button >= 0 && button < PAD_BUTTONS;
}

// A raw axis value as -1 ... 1 (the negative end is one step longer).
float Unit(std::int16_t value)
{
    return value < 0 ? static_cast<float>(value) / 32768.0f : static_cast<float>(value) / 32767.0f;
}

} // namespace

void InitGamepads()
{
    static bool initialised = false;
    if (initialised) return;
    initialised = true;
    InitSystem();
    platform::StartGamepads();
}

void HandleGamepadMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam)
{
    const auto slot = static_cast<std::int32_t>(wParam & 0xFF);
    if (!IsPad(slot)) return;
    Pad& pad = state.pads[slot];
    switch (message) {
    case platform::WM_GAMEPADADDED:
        pad.connected = true;
        std::memset(pad.down, 0, sizeof pad.down);
        std::memset(pad.axes, 0, sizeof pad.axes);
        return;
    case platform::WM_GAMEPADREMOVED:
        // Hits stay until read: a press just before the pad went is not lost.
        pad.connected = false;
        std::memset(pad.down, 0, sizeof pad.down);
        std::memset(pad.axes, 0, sizeof pad.axes);
        return;
    case platform::WM_GAMEPADBUTTONDOWN:
        if (IsButton(static_cast<std::int32_t>(lParam)) && pad.down[lParam] == 0) {
            ++pad.hits[lParam];
            pad.down[lParam] = 1;
        }
        return;
    case platform::WM_GAMEPADBUTTONUP:
        if (IsButton(static_cast<std::int32_t>(lParam))) pad.down[lParam] = 0;
        return;
    case platform::WM_GAMEPADAXIS: {
        const auto axis = static_cast<std::int32_t>((wParam >> 8) & 0xFF);
        if (axis < PAD_AXES)
            pad.axes[axis] = static_cast<std::int16_t>(std::clamp<std::intptr_t>(lParam, -32768, 32767));
        return;
    }
    default: return;
    }
}

std::int32_t CountGamepads()
{
    Poll();
    return static_cast<std::int32_t>(
        std::count_if(std::begin(state.pads), std::end(state.pads), [](const Pad& pad) { return pad.connected; }));
}

std::int32_t GamepadConnected(std::int32_t pad)
{
    Poll();
    return IsPad(pad) && state.pads[pad].connected ? 1 : 0;
}

std::int32_t GamepadButtonHits(std::int32_t pad, std::int32_t button)
{
    Poll();
    if (!IsPad(pad) || !IsButton(button)) return 0;
    const std::int32_t hits = state.pads[pad].hits[button];
    state.pads[pad].hits[button] = 0;
    return hits;
}

std::int32_t AnyGamepadButtonHits(std::int32_t button)
{
    Poll();
    if (!IsButton(button)) return 0;
    std::int32_t hits = 0;
    for (Pad& pad : state.pads) {
        hits += pad.hits[button];
        pad.hits[button] = 0;
    }
    return hits;
}

Ref<String> GamepadName(std::int32_t pad)
{
    if (GamepadConnected(pad) == 0) return EmptyString();
    return String::FromCString(platform::GamepadName(pad));
}

std::int32_t IsGamepadButtonDown(std::int32_t pad, std::int32_t button)
{
    Poll();
    return IsPad(pad) && IsButton(button) ? state.pads[pad].down[button] : 0;
}

float GamepadAxis(std::int32_t pad, std::int32_t axis)
{
    Poll();
    if (!IsPad(pad) || axis < 0 || axis >= FIRST_TRIGGER_AXIS) return 0.0f;
    const float value = Unit(state.pads[pad].axes[axis]);
    const float magnitude = value < 0.0f ? -value : value;
    if (magnitude <= state.deadZone) return 0.0f;
    const float scaled = std::min((magnitude - state.deadZone) / (1.0f - state.deadZone), 1.0f);
    return value < 0.0f ? -scaled : scaled;
}

float GamepadTrigger(std::int32_t pad, std::int32_t trigger)
{
    Poll();
    if (!IsPad(pad) || (trigger != PAD_LEFT_TRIGGER && trigger != PAD_RIGHT_TRIGGER)) return 0.0f;
    return std::clamp(Unit(state.pads[pad].axes[FIRST_TRIGGER_AXIS + trigger]), 0.0f, 1.0f);
}

void SetGamepadDeadZone(float deadZone)
{
    // Written so that NaN counts as 0.
    state.deadZone = deadZone > 0.0f ? std::min(deadZone, 0.99f) : 0.0f;
}

float GamepadDeadZone()
{
    return state.deadZone;
}

void ClearGamepads()
{
    Poll();
    for (Pad& pad : state.pads) {
        std::memset(pad.hits, 0, sizeof pad.hits);
        std::memset(pad.down, 0, sizeof pad.down);
    }
}

} // namespace vanta
