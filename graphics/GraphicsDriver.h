// Graphics drivers and surfaces: the abstract classes every window-and-context driver implements, the
// display-mode record and the graphics flags.
//
// Builds on the object runtime. A driver makes surfaces (a window with a drawing context, or a context on
// a window made elsewhere), shows or hides the pointer, sets the swap interval and lists the display
// modes; a surface is activated for drawing, flipped, measured and closed. The base classes are
// instantiable, and each of their operations throws "Attempt to call abstract method".
//
// Main thread only.
#pragma once

#include "runtime/Array.h"
#include "runtime/Object.h"

#include <cstdint>

namespace vanta {

namespace platform {
struct Window;
}

// Graphics flags: the driver flags word ORed into every attach and create.
inline constexpr std::int32_t GFX_BACKBUFFER = 2;     // double-buffered
inline constexpr std::int32_t GFX_ALPHABUFFER = 4;    // alpha bits wanted
inline constexpr std::int32_t GFX_DEPTHBUFFER = 8;    // depth bits wanted
inline constexpr std::int32_t GFX_STENCILBUFFER = 16; // stencil bits wanted
inline constexpr std::int32_t GFX_ACCUMBUFFER = 32;   // accumulation bits wanted
inline constexpr std::int32_t GFX_SWAPCOPY = 64;      // copy on swap; a full-screen window gets a thin border

// Scaling modes: how a program's picture is shown in a window the player may resize.
inline constexpr std::int32_t SCALE_NONE = 0;  // the window is the picture's size and cannot be resized
inline constexpr std::int32_t SCALE_WHOLE = 1; // whole multiples only, with black bars: sharp pixels
inline constexpr std::int32_t SCALE_ANY = 2;   // as large as fits, with black bars: filtered

// One display mode. Arrays of them use the element type tag ":TDisplayMode".
class TDisplayMode : public Object
{
    VANTA_CLASS(TDisplayMode, Object)
public:
    TDisplayMode() = default;

    std::int32_t width = 0;  // pixels
    std::int32_t height = 0; // pixels
    std::int32_t depth = 0;  // bits per pixel
    std::int32_t rate = 0;   // refresh rate in Hz; 0 when the system does not say
};

// Something drawn into: a window's drawing context.
class TGraphicsSurface : public Object
{
    VANTA_CLASS(TGraphicsSurface, Object)
public:
    TGraphicsSurface() = default;

    // Makes this surface the target of drawing.
    virtual void Activate();
    // Presents the back buffer; the surface is then no longer the drawing target until activated again.
    virtual void Flip();
    // The drawing area's size in pixels.
    virtual void GetSize(std::int32_t& width, std::int32_t& height);
    // Closes the surface (its window and context go).
    virtual void Close();

    // Shows what is drawn at the surface's present size scaled into its window by `mode` (`SCALE_`),
    // makes the window resizable and `windowScale` times its size (at least 1). The size the surface
    // reports stays the picture's. Answers 1 when done; 0 here and for surfaces that cannot scale, which
    // are left as they were.
    virtual std::int32_t SetScaling(std::int32_t mode, std::int32_t windowScale);
    // Switches a scaled surface's window to desktop full screen (1) or back to its window size and place
    // (0). Answers 1 when done; 0 here, for surfaces that are not scaled and when the desktop refuses.
    virtual std::int32_t SetFullScreen(std::int32_t on);
    // 1 while the surface's window is in desktop full screen, else 0 (always 0 here).
    virtual std::int32_t FullScreen();
};

// A maker of surfaces.
class TGraphicsDriver : public Object
{
    VANTA_CLASS(TGraphicsDriver, Object)
public:
    TGraphicsDriver() = default;

    // A surface drawing into `window` (made elsewhere) with the `GFX_` flags; `Null` on failure.
    virtual Ref<TGraphicsSurface> AttachGraphics(platform::Window* window, std::int32_t flags);
    // A new window with a surface: windowed when `depth` is 0, else full screen at `width` x `height`,
    // `depth` bits and `rate` Hz (0 = the default rate); `Null` on failure.
    virtual Ref<TGraphicsSurface> CreateGraphics(std::int32_t width, std::int32_t height, std::int32_t depth,
                                                 std::int32_t rate, std::int32_t flags);
    // Shows (1) or hides (0) the mouse pointer.
    virtual void SetPointerVisible(std::int32_t show);
    // Sets how many display refreshes a flip waits for (0 = none).
    virtual void SetSwapInterval(std::int32_t interval);
    // The display modes offered, as an array of `TDisplayMode` (possibly empty).
    virtual Ref<Array> DisplayModes();
};

} // namespace vanta
