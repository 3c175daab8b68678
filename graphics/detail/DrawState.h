// The module state the graphics, drawing, image and font modules share: the drawing settings, the
// current fonts and the current 2D driver. Internal to graphics/.
#pragma once

#include "graphics/Flat2DDriver.h"
#include "graphics/ImageFont.h"

#include <cstdint>

namespace vanta::detail {

struct DrawState
{
    // Graphics module (graphics/Graphics.h).
    Ref<TFlat2DSurface> currentSurface;
    Ref<TFlat2DDriver> driver; // the current 2D driver
    std::int32_t width = 0;    // size of the current surface
    std::int32_t height = 0;
    std::uint32_t sequence = 1;

    // Drawing settings (graphics/Draw.h).
    std::int32_t colorR = 255, colorG = 255, colorB = 255;
    float alpha = 1.0f;
    std::int32_t blend = 1;
    std::int32_t clearR = 0, clearG = 0, clearB = 0;
    float lineWidth = 0.0f;
    std::int32_t maskR = 0, maskG = 0, maskB = 0;
    std::int32_t viewX = 0, viewY = 0, viewWidth = 0, viewHeight = 0;
    float originX = 0.0f, originY = 0.0f;
    float handleX = 0.0f, handleY = 0.0f; // stored negated
    float rotation = 0.0f;
    float scaleX = 1.0f, scaleY = 1.0f;
    float ix = 1.0f, iy = 0.0f, jx = 0.0f, jy = 1.0f;

    // Images (graphics/Image.h).
    std::int32_t autoCentre = 0;
    std::int32_t defaultImageFlags = 0;

    // Fonts (graphics/ImageFont.h).
    Ref<TImageFont> currentFont;
    Ref<TImageFont> defaultFont;
};

// The one state record.
DrawState& State();

// The current 2D driver; throws `TNullObjectError` when there is none.
inline TFlat2DDriver& Driver()
{
    return *State().driver;
}

// Resets the drawing settings as a graphics activation does and sends them to the current driver.
void ResetDrawingState();

// Makes the default font on first call; makes it current.
void UseDefaultFont();

} // namespace vanta::detail
