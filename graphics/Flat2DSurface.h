// The 2D surface: a window-and-context surface together with the 2D driver that draws on it, which is
// what `OpenGraphics` makes and presents (graphics/Graphics.h).
//
// Builds on graphics/GraphicsDriver.h. Activating one makes it the current surface, its driver the
// current 2D driver (graphics/Flat2DDriver.h) and resets the drawing state (graphics/Draw.h); flipping it
// releases it from drawing and presents the inner surface.
//
// Main thread only.
#pragma once

#include "graphics/GraphicsDriver.h"

#include <cstdint>

namespace vanta {

class TFlat2DDriver;

// A driver's surface together with the 2D driver that draws on it.
class TFlat2DSurface : public TGraphicsSurface
{
    VANTA_CLASS(TFlat2DSurface, TGraphicsSurface)
public:
    TFlat2DSurface() = default;
    ~TFlat2DSurface() override;

    // Makes this the current surface and its driver the current 2D driver, and resets the drawing state.
    // The 2D driver current until now flushes first, while its own context is still current. Throws
    // `TNullObjectError` without an inner surface or a driver.
    void Activate() override;
    // Releases the surface from drawing (no current 2D driver, font or size afterwards) and presents the
    // inner surface; the driver's `ReleaseSurface` sends what it holds first.
    void Flip() override;
    // The inner surface's size; 0 x 0 once closed.
    void GetSize(std::int32_t& width, std::int32_t& height) override;
    // Closes the inner surface; later calls do nothing.
    void Close() override;
    // The inner surface's scaling; 0 once closed.
    std::int32_t SetScaling(std::int32_t mode, std::int32_t windowScale) override;
    // The inner surface's full screen; 0 once closed.
    std::int32_t SetFullScreen(std::int32_t on) override;
    // Whether the inner surface shows full screen; 0 once closed.
    std::int32_t FullScreen() override;

    // A new surface holding `surface` and `driver`.
    static Ref<TFlat2DSurface> Create(const Ref<TGraphicsSurface>& surface, const Ref<TFlat2DDriver>& driver);

    Ref<TGraphicsSurface> surface; // the window-and-context surface; `Null` once closed
    Ref<TFlat2DDriver> driver;     // the 2D driver drawing on it
};

} // namespace vanta
