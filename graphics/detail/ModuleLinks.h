// The few calls the graphics modules make into each other's state, which programs do not make: each
// module (graphics, drawing, images, fonts) keeps its own state record private to its source file, and a
// surface activation or release reaches the others only through these. Internal to graphics/.
#pragma once

#include "graphics/Flat2DDriver.h"

#include <cstdint>

namespace vanta::detail {

// Graphics module (graphics/Graphics.cpp): `surface` of width x height becomes the current surface and
// its driver the current 2D driver; `Null` leaves neither (and a size of 0 x 0).
void SetCurrentSurface(const Ref<TFlat2DSurface>& surface, std::int32_t width, std::int32_t height);
// The current 2D driver. Throws `TNullObjectError` when there is none.
TFlat2DDriver& Driver();

// Drawing (graphics/Draw.cpp): resets the drawing settings as a graphics activation does and sends them
// to the current driver.
void ResetDrawingState();

// Fonts (graphics/ImageFont.cpp): makes the default font on first call, and makes it current.
void UseDefaultFont();
// Fonts: no font is current (until the next activation).
void ForgetCurrentFont();

} // namespace vanta::detail
