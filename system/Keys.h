// Key codes for games and the console: the Windows virtual-key codes the input queries take.
//
// `KeyHits`, `IsKeyDown` and the other queries of system/HostDriver.h are indexed by these codes
// (`VK_ESCAPE`, `VK_LEFT`, 'A' ... 'Z', '0' ... '9', the mouse buttons `VK_LBUTTON` 1, `VK_RBUTTON` 2,
// `VK_MBUTTON` 4). The codes are defined once, where the platform layer makes them from the keyboard
// (platform/VirtualKeys.h); this header publishes that family, and only that family, in `vanta`.
#pragma once

#include "platform/VirtualKeys.h"

namespace vanta {

using namespace platform::keys;

} // namespace vanta
