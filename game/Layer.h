// The level's parallax strips: one `TLayer` per strip, kept in the game's layer list in drawing order.
//
// Builds on the object runtime, the linked list and the 2D drawing calls. A layer holds its image as a
// handle, moves by its speed on each update and is drawn three times side by side so that a 640-pixel
// strip covers the screen wherever it stands.
//
// Main thread only.
#pragma once

#include "runtime/LinkedList.h"

#include <cstdint>

namespace vanta::game {

class TLayer : public Object
{
    VANTA_CLASS(TLayer, Object)
public:
    TLayer() = default;

    // Moves the strip by its speed; once it has gone more than 639 pixels either way it starts again at 0.
    virtual void Update();
    // Draws the strip's image at x, x + 640 and x - 640 (frame 0).
    virtual void Draw();

    std::int32_t image = 0; // handle of the strip's image
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t speed = 0; // pixels added to x at each update
};

// A new layer with these fields, appended to the game's layer list; returns it. Throws
// `TNullObjectError` when the layer list has not been made yet.
Ref<TLayer> NewLayer(std::int32_t image, std::int32_t x, std::int32_t y, std::int32_t speed);

// Updates every layer in list order when the frame gate opens (once per call: the gate counts frames).
void UpdateLayers();

// Draws every layer in list order. Elements of the list that are not layers are skipped by both walks.
void DrawLayers();

} // namespace vanta::game
