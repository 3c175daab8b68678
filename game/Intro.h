// The intro: the studio logo for 100 frames, then the title picture with its scrolling message and the
// looping intro music until Escape is hit.
//
// Builds on the 2D drawing calls, images, sounds, polled input and the game's embedded files. The intro
// music is left playing: the main sequence stops it just before the level music starts.
//
// Main thread only.
#pragma once

#include "runtime/String.h"

#include <cstdint>

namespace vanta::game {

// Shows the logo for exactly 100 frames. Reads no input, so it cannot be skipped and pumps no messages.
void ShowLogo();

// Starts the intro music and shows the title screen until Escape is hit (checked before every frame);
// leaves the music playing and its channel's handle in the globals.
void ShowTitle();

// The message that scrolls along the bottom of the title screen: one line of 566 characters.
Ref<String> ScrollerText();

// Moves the scroller 2 pixels left; past -4500 it starts again at 800. Returns the new x.
std::int32_t StepScroller();

} // namespace vanta::game
