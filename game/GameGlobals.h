// The demo game's globals: media handles, counters and the layer list, in one place.
//
// The game keeps its images, sounds and channels only as integer handles (runtime/Handle.h) and turns
// them back into objects at each use. The four values that are computed the first time the code reaches
// them (the layer list, the frame gate's first clock reading, the level music channel and the loading
// picture) each have a once-only bit here.
//
// Main thread only.
#pragma once

#include "runtime/LinkedList.h"

#include <cstdint>

namespace vanta::game {

struct GameGlobals
{
    // Main sequence.
    bool started = false;         // the run-once flag of GameMain
    std::int32_t releaseMark = 0; // the release-stack depth GameMain flushes back to
    Ref<TLinkedList> layers;      // the parallax layers, in drawing order
    bool layersCreated = false;   // once-only bit of the layer list

    // Intro.
    std::int32_t logoFrame = 1;   // logo frames shown so far, plus one
    std::int32_t scrollerX = 800; // left edge of the scrolling text
    std::int32_t logoImage = 0;
    std::int32_t titleImage = 0;
    std::int32_t introMusic = 0;
    std::int32_t introChannel = 0; // stopped by GameMain before the level music starts

    // Level media.
    std::int32_t loadingImage = 0;
    bool loadingImageLoaded = false;   // once-only bit of the loading picture
    std::int32_t stripImages[12] = {}; // herbe0-4, nuages0-4, barriere, montagnes
    std::int32_t skyImage = 0;
    std::int32_t moonImage = 0;
    std::int32_t creatureImage = 0;
    std::int32_t levelMusic = 0;
    std::int32_t levelChannel = 0;
    bool levelChannelStarted = false; // once-only bit of the level music channel

    // Creature animation.
    std::int32_t creatureTick = 0;
    std::int32_t creatureFrame = 0;

    // Frames-per-second read-out.
    std::int32_t fpsWindowStart = 0;
    std::int32_t fpsFrames = 0;
    std::int32_t fpsShown = 0;

    // Frame gate.
    std::int32_t gateFrames = 0; // frames since the gate last opened
    std::int32_t gateLastClock = 0;
    bool gateClockRead = false; // once-only bit of the first clock reading
    float gateElapsed = 1.0f;
    float gateRate = 1000.0f;
    float gateThreshold = 0.0f;
};

// The game's globals.
GameGlobals& Globals();

// Puts every global back to its start value (the objects it held are released). For tests: the game
// itself runs each stage once per process.
void ResetGlobals();

} // namespace vanta::game
