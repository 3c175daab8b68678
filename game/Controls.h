// The game's one control: leaving the title and the level.
//
// Builds on polled input (system/HostDriver.h) and gamepads (system/Gamepads.h). Main thread only.
#pragma once

#include <cstdint>

namespace vanta::game {

// The presses of Escape and of Start or B on any pad since the last call (each read consumes its count);
// 0 when there were none. Pumps messages first, as every input query does.
std::int32_t EscapeHits();

} // namespace vanta::game
