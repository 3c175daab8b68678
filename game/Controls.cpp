// The game's one control: Escape, or a pad's Start or B.
#include "game/Controls.h"

#include "system/Gamepads.h"
#include "system/HostDriver.h"
#include "system/Keys.h"

namespace vanta::game {

std::int32_t EscapeHits()
{
    // Every count is read, so a press of one does not linger to end the next screen at once.
    const std::int32_t keys = KeyHits(VK_ESCAPE);
    return keys + AnyGamepadButtonHits(PAD_START) + AnyGamepadButtonHits(PAD_B);
}

} // namespace vanta::game
