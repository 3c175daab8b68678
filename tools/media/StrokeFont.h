// The generator's lettering: a monospaced stroke font of our own, drawn as Cairo paths, for the logo, the
// title and the contact sheet's labels.
//
// Glyphs are polylines on a grid 4 units wide; capitals and digits are 6 units tall from the top line to
// the baseline, lower case has its x-height at 2 and descenders to 8. Characters the font lacks advance
// like a space.
#pragma once

#include <cairo.h>
#include <string_view>

namespace vanta::media {

// Adds the strokes of `text` to the current path of `cr`, capitals `size` pixels tall, the top of the
// capitals at y and the first glyph at x; `spacing` is the gap between glyphs in grid units. Stroke the
// path to see it (round caps and joins look best).
void AddTextPath(cairo_t* cr, std::string_view text, double x, double y, double size, double spacing = 1.6);

// The width in pixels `AddTextPath` gives `text`, from the first glyph's left edge to the last one's right.
double TextWidth(std::string_view text, double size, double spacing = 1.6);

} // namespace vanta::media
