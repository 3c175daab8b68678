// Game controllers: SDL's controller events as thread messages, slots, and virtual pads for tests.
//
// Builds on SDL's game-controller and virtual-joystick functions and `PostMessage`. Window thread only.
#include "platform/Gamepads.h"

#include "platform/Messages.h"
#include "platform/Window.h"
#include "platform/detail/State.h"

#include <array>
#include <string>
#include <vector>

#include <SDL.h>

namespace vanta::platform {
namespace {

struct Slot
{
    SDL_GameController* controller = nullptr;
    SDL_JoystickID instance = -1;
};

struct VirtualPad
{
    int id = -1;
    SDL_Joystick* joystick = nullptr; // opened to drive it
};

std::array<Slot, MAX_GAMEPAD_SLOTS> slots;
std::vector<VirtualPad> virtualPads;
bool started = false;
int nextVirtualId = 1;

int SlotOf(SDL_JoystickID instance)
{
    for (int i = 0; i < MAX_GAMEPAD_SLOTS; ++i) {
        if (slots[i].controller != nullptr && slots[i].instance == instance) return i;
    }
    return -1;
}

void Post(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam)
{
    PostMessage(nullptr, message, wParam, lParam);
}

void Open(int deviceIndex)
{
    if (SDL_IsGameController(deviceIndex) == SDL_FALSE) return;
    // SDL reports the pads present at start-up and may report one twice.
    if (SlotOf(SDL_JoystickGetDeviceInstanceID(deviceIndex)) >= 0) return;
    int free = -1;
    for (int i = 0; i < MAX_GAMEPAD_SLOTS && free < 0; ++i) {
        if (slots[i].controller == nullptr) free = i;
    }
    if (free < 0) return; // every slot taken: the pad is ignored until one frees
    SDL_GameController* controller = SDL_GameControllerOpen(deviceIndex);
    if (controller == nullptr) return;
    slots[free] = Slot{controller, SDL_JoystickInstanceID(SDL_GameControllerGetJoystick(controller))};
    Post(WM_GAMEPADADDED, static_cast<std::uintptr_t>(free), 0);
}

void Close(int slot)
{
    SDL_GameControllerClose(slots[slot].controller);
    slots[slot] = Slot{};
    Post(WM_GAMEPADREMOVED, static_cast<std::uintptr_t>(slot), 0);
}

VirtualPad* FindVirtual(int id)
{
    for (VirtualPad& pad : virtualPads) {
        if (pad.id == id) return &pad;
    }
    return nullptr;
}

} // namespace

namespace detail {

bool TranslateGamepad(const SDL_Event& event)
{
    switch (event.type) {
    case SDL_CONTROLLERDEVICEADDED: Open(event.cdevice.which); return true;
    case SDL_CONTROLLERDEVICEREMOVED: {
        const int slot = SlotOf(event.cdevice.which);
        if (slot >= 0) Close(slot);
        return true;
    }
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP: {
        const int slot = SlotOf(event.cbutton.which);
        if (slot >= 0 && event.cbutton.button < GAMEPAD_BUTTON_COUNT)
            Post(event.type == SDL_CONTROLLERBUTTONDOWN ? WM_GAMEPADBUTTONDOWN : WM_GAMEPADBUTTONUP,
                 static_cast<std::uintptr_t>(slot), event.cbutton.button);
        return true;
    }
    case SDL_CONTROLLERAXISMOTION: {
        const int slot = SlotOf(event.caxis.which);
        if (slot >= 0 && event.caxis.axis < GAMEPAD_AXIS_COUNT)
            Post(WM_GAMEPADAXIS,
                 static_cast<std::uintptr_t>(slot) | (static_cast<std::uintptr_t>(event.caxis.axis) << 8),
                 event.caxis.value);
        return true;
    }
    default: return false;
    }
}

} // namespace detail

bool StartGamepads()
{
    if (started) return true;
    detail::PrepareSdl();
    if (!detail::StartEventQueue()) return false;
    // Pads are read whichever window has the focus, as the system's joystick functions read them.
    SDL_SetHint(SDL_HINT_JOYSTICK_ALLOW_BACKGROUND_EVENTS, "1");
    if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
        detail::SetWindowError(std::string("Cannot start game controllers: ") + SDL_GetError());
        return false;
    }
    started = true;
    return true;
}

void StopGamepads()
{
    if (!started) return;
    for (VirtualPad& pad : virtualPads)
        SDL_JoystickClose(pad.joystick);
    virtualPads.clear();
    for (int i = 0; i < MAX_GAMEPAD_SLOTS; ++i) {
        if (slots[i].controller != nullptr) Close(i);
    }
    SDL_QuitSubSystem(SDL_INIT_GAMECONTROLLER);
    started = false;
}

const char* GamepadName(int slot)
{
    if (slot < 0 || slot >= MAX_GAMEPAD_SLOTS || slots[slot].controller == nullptr) return "";
    const char* name = SDL_GameControllerName(slots[slot].controller);
    return name != nullptr ? name : "";
}

int AttachVirtualGamepad()
{
    if (!StartGamepads()) return -1;
    SDL_VirtualJoystickDesc desc{};
    desc.version = SDL_VIRTUAL_JOYSTICK_DESC_VERSION;
    desc.type = SDL_JOYSTICK_TYPE_GAMECONTROLLER;
    desc.naxes = GAMEPAD_AXIS_COUNT;
    desc.nbuttons = GAMEPAD_BUTTON_COUNT;
    desc.button_mask = (1u << GAMEPAD_BUTTON_COUNT) - 1;
    desc.axis_mask = (1u << GAMEPAD_AXIS_COUNT) - 1;
    desc.name = "VantaMax virtual pad";
    const int deviceIndex = SDL_JoystickAttachVirtualEx(&desc);
    if (deviceIndex < 0) {
        detail::SetWindowError(std::string("Cannot attach a virtual pad: ") + SDL_GetError());
        return -1;
    }
    SDL_Joystick* joystick = SDL_JoystickOpen(deviceIndex);
    if (joystick == nullptr) {
        detail::SetWindowError(std::string("Cannot open the virtual pad: ") + SDL_GetError());
        SDL_JoystickDetachVirtual(deviceIndex);
        return -1;
    }
    virtualPads.push_back(VirtualPad{nextVirtualId, joystick});
    return nextVirtualId++;
}

bool SetVirtualGamepadButton(int id, int button, bool down)
{
    const VirtualPad* pad = FindVirtual(id);
    if (pad == nullptr || button < 0 || button >= GAMEPAD_BUTTON_COUNT) return false;
    return SDL_JoystickSetVirtualButton(pad->joystick, button, down ? SDL_PRESSED : SDL_RELEASED) == 0;
}

bool SetVirtualGamepadAxis(int id, int axis, int value)
{
    const VirtualPad* pad = FindVirtual(id);
    if (pad == nullptr || axis < 0 || axis >= GAMEPAD_AXIS_COUNT) return false;
    return SDL_JoystickSetVirtualAxis(pad->joystick, axis, static_cast<Sint16>(value)) == 0;
}

void UpdateVirtualGamepads()
{
    if (started) SDL_JoystickUpdate();
}

bool DetachVirtualGamepad(int id)
{
    VirtualPad* pad = FindVirtual(id);
    if (pad == nullptr) return false;
    const SDL_JoystickID instance = SDL_JoystickInstanceID(pad->joystick);
    SDL_JoystickClose(pad->joystick);
    std::erase_if(virtualPads, [id](const VirtualPad& p) { return p.id == id; });
    // SDL detaches by device index, which moves as pads come and go.
    for (int i = 0; i < SDL_NumJoysticks(); ++i) {
        if (SDL_JoystickGetDeviceInstanceID(i) == instance) return SDL_JoystickDetachVirtual(i) == 0;
    }
    return false;
}

} // namespace vanta::platform
