// The first level: loading screen, assets, and one frame of the scene (sky, moon, twelve parallax strips,
// the walking creature and the head-up texts).
//
// Builds on the 2D drawing calls, images, sounds, the millisecond clock and the game's layers
// (game/Layer.h). Positions are pixels of the 640 x 480 window, origin top-left.
//
// Main thread only.
#pragma once

#include <cstdint>

namespace vanta::game {

// Shows the loading screen, registers and loads every level picture, the level music and the creature's
// walk cycle, then clears the back buffer (the loading screen stays visible until the next flip).
// Returns 0. A file that cannot be loaded leaves a 0 handle.
std::int32_t LoadLevel();

// Appends the twelve parallax layers to the layer list, in drawing order: five strips of grass, five of
// clouds, the fence and the mountains, each at x 0 with its y and speed.
void NewLevelLayers();

// Draws one level frame: sky, moon, layer update and drawing, version text, frames-per-second read-out,
// the quit line and the creature, then advances the creature's animation.
void DrawLevelFrame();

// 1 when the layers should move this frame, else 0. Counts the frame and times it; called once a frame.
std::int32_t FrameGate();

// The frames-per-second value to show: the frames counted in the last whole second (0 in the first).
std::int32_t CountFps();

// Advances the creature's walk: each of its 6 cells is shown for 6 frames.
void AdvanceCreature();

} // namespace vanta::game
