// Display modes of the platform layer: enumeration, full-screen switching and the way back.
//
// Builds on SDL's display modes of the first display (Display.cpp). Where Windows switches the whole
// desktop (ChangeDisplaySettings) SDL switches through a full-screen window, so both calls take the
// window that goes full screen.
#pragma once

namespace vanta::platform {

struct Window;

// One display mode. In a request, 0 for `bitsPerPixel` or `refreshRate` means "any".
struct DisplayMode
{
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0; // bytes per pixel x 8, as Windows counts: a 24-bit colour desktop reports 32
    int refreshRate = 0;  // Hz; 0 when the system does not say (Xvfb)
};

// The display mode number `index` of the first display, in the order the system lists them (SDL: widest
// first, then highest refresh), duplicates included (EnumDisplaySettings). Answers false past the end
// or when video is not running.
bool EnumDisplaySettings(int index, DisplayMode& mode);

// The desktop's own mode; false when video is not running.
bool GetDesktopDisplayMode(DisplayMode& mode);

// Switches the display to the listed mode that matches `mode` exactly (width, height, and bits per
// pixel and refresh rate unless 0) and makes `window` cover it (ChangeDisplaySettings with
// CDS_FULLSCREEN). Answers false, changing nothing, when no listed mode matches or SDL refuses
// (`WindowError` says why).
bool ChangeDisplayMode(Window* window, const DisplayMode& mode);

// Gives the desktop its own mode back and returns `window` to its windowed placement
// (ChangeDisplaySettings(null)). Answers false when `window` was not full screen.
bool RestoreDisplayMode(Window* window);

// Whether `window` is full screen through `ChangeDisplayMode`.
bool IsFullScreen(Window* window);

} // namespace vanta::platform
