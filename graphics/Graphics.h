// The graphics module: choosing the graphics driver, the display modes, opening and closing the one
// graphics window of the program, presenting frames at a steady rate and clearing the back buffer.
//
// Builds on graphics/Flat2DDriver.h, the system driver's clock and sleep (system/HostDriver.h), the
// drawing state (graphics/Draw.h) and fonts (graphics/ImageFont.h). `OpenGraphics` needs a driver whose
// surfaces are `TFlat2DSurface`s; activating one makes its 2D driver the one every drawing call goes to
// and resets the drawing state. Each open and each close advances the graphics sequence, which tells
// images that their driver frames are stale.
//
// Frame pacing: after opening, a vertical-sync test flips up to 100 times; three consecutive flips that
// take one refresh period mean the swap waits for the display. Otherwise (or with `SYNC_TIMED`)
// `FlipGraphics` sleeps to an exact schedule of 1000 / rate milliseconds per frame; a late frame moves the
// schedule to the present instead of racing to catch up. The schedule is kept in 64 bits and rebased at
// every frame, and measured with wrap-safe differences of the 32-bit millisecond clock.
//
// Main thread only.
#pragma once

#include "graphics/Flat2DDriver.h"
#include "graphics/GraphicsDriver.h"
#include "runtime/Object.h"

#include <cstdint>

namespace vanta {

namespace platform {
struct Window;
}

// Pacing flags, ORed into the rate argument of `OpenGraphics` (bits 16-19).
inline constexpr std::int32_t SYNC_NONE = 0x10000;   // no pacing at all
inline constexpr std::int32_t SYNC_TIMED = 0x20000;  // timed pacing, no vertical-sync test
inline constexpr std::int32_t SYNC_STRICT = 0x40000; // the vertical-sync test must pass

// Makes `driver` current, with `flags` (`GFX_`) ORed into every attach and create; empties the mode cache.
void SelectGraphicsDriver(const Ref<TGraphicsDriver>& driver, std::int32_t flags);
// The current graphics driver; `Null` before one is selected.
const Ref<TGraphicsDriver>& CurrentGraphicsDriver();
// The current driver's attach with flags OR the default flags. Throws `TNullObjectError` without a driver.
Ref<TGraphicsSurface> AttachGraphics(platform::Window* window, std::int32_t flags);
// The current driver's create with flags OR the default flags; `Null` when it fails. Throws
// `TNullObjectError` without a driver.
Ref<TGraphicsSurface> CreateGraphics(std::int32_t width, std::int32_t height, std::int32_t depth, std::int32_t rate,
                                     std::int32_t flags);
// The current driver's swap interval.
void SetGraphicsSwapInterval(std::int32_t interval);
// The number of display modes the current driver offers.
std::int32_t CountDisplayModes();
// Display mode `index`; throws `TArrayBoundsError` outside 0 ... count - 1.
void GetDisplayMode(std::int32_t index, std::int32_t& width, std::int32_t& height, std::int32_t& depth,
                    std::int32_t& rate);
// 1 when a mode matches every argument that is not 0, else 0.
std::int32_t DisplayModeExists(std::int32_t width, std::int32_t height, std::int32_t depth, std::int32_t rate);
// Closes any open graphics and opens width x height (windowed when depth is 0) at `rate` Hz (0: 85 when
// windowed), with the `SYNC_` flags ORed into `rate`. Returns 0. Throws "Graphics mode does not exist",
// "Unable to create graphics", "Current graphics driver is not a Flat2D driver" or (`SYNC_STRICT`) "Unable
// to synchronize to refresh rate".
std::int32_t OpenGraphics(std::int32_t width, std::int32_t height, std::int32_t depth = 0, std::int32_t rate = 60);
// Closes the open graphics, if any. Returns 0.
std::int32_t CloseGraphics();
// The current surface's size; 0 when there is none.
std::int32_t GraphicsWidth();
std::int32_t GraphicsHeight();
// The current size and the depth and rate of the last successful `OpenGraphics`.
void GetGraphicsInfo(std::int32_t& width, std::int32_t& height, std::int32_t& depth, std::int32_t& rate);
// Presents the frame, paced. Nothing when no graphics are open. Returns 0.
std::int32_t FlipGraphics();
// Fills the back buffer with the clear colour. Throws `TNullObjectError` without a current 2D driver.
std::int32_t ClearGraphics();
// Shows or hides the pointer. Throw `TNullObjectError` without a current 2D driver.
std::int32_t ShowPointer();
std::int32_t HidePointer();

// How windowed graphics are shown from the next `OpenGraphics` on (and at once when they are open):
// `SCALE_NONE` (the default) keeps the window at the program's size; `SCALE_WHOLE` and `SCALE_ANY` let the
// player resize it and show the program's picture scaled into it with black bars, the window opening
// `windowScale` times as large (at least 1). `GraphicsWidth`, `GraphicsHeight`, drawing, viewports,
// read-backs and `PointerX` / `PointerY` stay in the program's own pixels. Answers 1, or 0 for an unknown
// mode (nothing changes) and when the open surface cannot scale (it stays as it was). Full-screen
// openings (depth not 0) are never scaled.
std::int32_t SetGraphicsScaling(std::int32_t mode, std::int32_t windowScale = 1);
// The mode last set by `SetGraphicsScaling`.
std::int32_t GraphicsScaling();
// Switches scaled graphics to desktop full screen (1: the screen's own mode, the picture scaled into it)
// or back to the window's size and place (0); Alt+Enter does the same for the player. Answers 1 when
// done; 0 without open scaled graphics or when the desktop refuses.
std::int32_t SetGraphicsFullScreen(std::int32_t on);
// 1 while the graphics window is in desktop full screen, else 0.
std::int32_t GraphicsFullScreen();

// The graphics sequence: advanced by every open and close, never 0 once graphics have been opened.
std::int32_t GraphicsSequence();
// The 2D driver every drawing call goes to; `Null` before graphics are opened (and after a surface is
// released).
const Ref<TFlat2DDriver>& CurrentFlat2DDriver();
// The surface last activated; `Null` before graphics are opened.
const Ref<TFlat2DSurface>& CurrentGraphicsSurface();

// The 2D layer's initialiser: initialises the object runtime, the system module (which installs the desktop
// host driver, so a test installs its own after this) and the pixmap module. Later calls do nothing.
void InitGraphics();

} // namespace vanta
