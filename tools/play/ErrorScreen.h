// The error screen of vanta-play: what went wrong in the game's script, drawn in the default font over a
// dark red panel, instead of a dead window.
//
// Builds on the drawing layer (graphics/Draw.h) and the default image font. Main thread only.
#pragma once

#include "runtime/String.h"

#include <string>
#include <vector>

namespace vanta::play {

// The panel's colour, and the colour of its text.
inline constexpr std::int32_t ERROR_SCREEN_RGB[3] = {96, 16, 24};
inline constexpr std::int32_t ERROR_TEXT_RGB[3] = {255, 255, 255};

class ErrorScreen
{
public:
    // Shows `message` and `traceback` (each may hold several lines) from now on.
    void Show(const std::string& message, const std::string& traceback);

    // Draws the screen over the whole graphics, leaving the drawing state as the default font, white,
    // solid blend and full alpha, with no rotation, scale, origin or handle.
    void Draw() const;

    // The lines drawn: the heading, the message and the traceback wrapped to the screen's width in
    // characters, then the key help.
    std::vector<std::string> Lines(std::size_t columns) const;

private:
    std::string message_;
    std::string traceback_;
};

} // namespace vanta::play
