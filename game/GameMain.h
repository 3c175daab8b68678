// The game's main sequence: module start-up, the window, the intro, the level and its loop until Escape.
//
// Builds on the runtime's module sequence (startup/ModuleSequence.h), the intro (game/Intro.h), the level
// (game/Level.h, game/Layer.h), graphics, sounds and polled input.
//
// Main thread only.
#pragma once

#include <cstdint>

namespace vanta::game {

// The largest window scale `--scale` may ask for.
inline constexpr std::int32_t MAX_WINDOW_SCALE = 8;

// How many times larger than its picture the game's window opens: the number after "--scale" on the
// command line, kept within 1 ... `MAX_WINDOW_SCALE`; 1 without it.
std::int32_t WindowScaleArgument();

// Runs the whole game and returns 0 when Escape ends the level. A second call returns 0 at once.
std::int32_t GameMain();

// One pass of the level loop: the frame's contents, the flip, the clear, then the release of everything
// the frame made (down to the release mark `GameMain` took).
void RunLevelFrame();

// The game module's own initialiser (step 2 of the module sequence): makes sure the runtime core is
// initialised.
void InitGameModule();

// The last game-side initialiser (step 31): makes sure the runtime core and the pixmap module are
// initialised.
void InitGameModuleLast();

// The runtime's module sequence with the game's own two steps.
void RunGameModuleInitialisers();

// The process entry's game function: the game module's initialiser, then `GameMain`.
void RunGame();

} // namespace vanta::game
