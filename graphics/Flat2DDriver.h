// 2D drivers: the graphics driver that also draws, and the surface that ties a window-and-context
// surface to the 2D driver drawing on it.
//
// Builds on graphics/GraphicsDriver.h and images (graphics/Image.h). A `TFlat2DDriver` makes surfaces
// like any graphics driver and adds the drawing slots the 2D layer (graphics/Draw.h) calls: state
// setters, primitives, pixmap blits and read-back, and the making of image frames. Geometry arrives
// split into a local part, the transform last set and a translation; the driver applies both. The base
// class's drawing slots each throw `TAbstractMethodError`.
//
// Main thread only.
#pragma once

#include "graphics/GraphicsDriver.h"
#include "graphics/Image.h"
#include "pixmap/TPixmap.h"
#include "runtime/Array.h"

#include <cstdint>

namespace vanta {

class TFlat2DDriver;

// A driver's surface together with the 2D driver that draws on it; what `OpenGraphics` works with.
class TFlat2DSurface : public TGraphicsSurface
{
    VANTA_CLASS(TFlat2DSurface, TGraphicsSurface)
public:
    TFlat2DSurface() = default;

    // Makes this the current surface and its driver the current 2D driver, and resets the drawing state.
    void Activate() override;
    // Releases the surface from drawing (no current 2D driver, font or size afterwards) and presents the
    // inner surface.
    void Flip() override;
    // The inner surface's size; 0 x 0 once closed.
    void GetSize(std::int32_t& width, std::int32_t& height) override;
    // Closes the inner surface; later calls do nothing.
    void Close() override;
    // The inner surface's scaling; 0 once closed.
    std::int32_t SetScaling(std::int32_t mode, std::int32_t windowScale) override;
    // The inner surface's full screen; 0 once closed.
    std::int32_t SetFullScreen(std::int32_t on) override;
    std::int32_t FullScreen() override;

    // A new surface holding `surface` and `driver`.
    static Ref<TFlat2DSurface> Create(const Ref<TGraphicsSurface>& surface, const Ref<TFlat2DDriver>& driver);

    Ref<TGraphicsSurface> surface; // the window-and-context surface; `Null` once closed
    Ref<TFlat2DDriver> driver;     // the 2D driver drawing on it
};

// A graphics driver that draws in 2D.
class TFlat2DDriver : public TGraphicsDriver
{
    VANTA_CLASS(TFlat2DDriver, TGraphicsDriver)
public:
    TFlat2DDriver() = default;

    // `surface` (the inner one) of width x height becomes the drawing target; caches are forgotten.
    virtual void SetSurface(const Ref<TGraphicsSurface>& surface, std::int32_t width, std::int32_t height);
    // The drawing target is gone.
    virtual void ReleaseSurface();
    // The drawable form of `pixmap` under the `IMAGE_` flags.
    virtual Ref<TImageFrame> CreateFrameFromPixmap(const Ref<TPixmap>& pixmap, std::int32_t flags);
    // Blend mode (`BLEND_` values of graphics/Draw.h; others draw opaque).
    virtual void SetBlend(std::int32_t mode);
    // Alpha, clamped by the driver to 0 ... 1.
    virtual void SetAlpha(float alpha);
    // Drawing colour; the low 8 bits of each component count.
    virtual void SetColor(std::int32_t r, std::int32_t g, std::int32_t b);
    // Colour that `Clear` fills with.
    virtual void SetClearColor(std::int32_t r, std::int32_t g, std::int32_t b);
    // Drawing is clipped to this rectangle (top-left origin).
    virtual void SetViewport(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height);
    // The 2x2 matrix: local (x, y) is drawn at (x*ix + y*iy + tx, x*jx + y*jy + ty).
    virtual void SetTransform(float ix, float iy, float jx, float jy);
    virtual void SetLineWidth(float width);
    // Fills the back buffer with the clear colour.
    virtual void Clear();
    // One pixel at (x, y), untransformed.
    virtual void Plot(float x, float y);
    // A line from local (x0, y0) to (x1, y1), transformed, moved by (tx, ty).
    virtual void DrawLine(float x0, float y0, float x1, float y1, float tx, float ty);
    // A filled rectangle with local corners (x0, y0) and (x1, y1), transformed, moved by (tx, ty).
    virtual void DrawRect(float x0, float y0, float x1, float y1, float tx, float ty);
    // A filled oval inside the local rectangle (x0, y0)-(x1, y1), transformed, moved by (tx, ty).
    virtual void DrawOval(float x0, float y0, float x1, float y1, float tx, float ty);
    // A filled polygon through the x, y pairs of `xy` (floats) moved by (hx, hy), transformed, moved by
    // (tx, ty); nothing for fewer than three points or an odd count.
    virtual void DrawPoly(const Ref<Array>& xy, float hx, float hy, float tx, float ty);
    // The pixmap with its top-left pixel at (x, y); no transform.
    virtual void DrawPixmap(const Ref<TPixmap>& pixmap, std::int32_t x, std::int32_t y);
    // A new `PF_RGBA8888` pixmap of the back buffer's width x height pixels at (x, y).
    virtual Ref<TPixmap> GrabPixmap(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height);
};

} // namespace vanta
