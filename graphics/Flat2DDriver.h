// 2D drivers: the graphics driver that also draws. This is the contract every 2D backend keeps
// (graphics/gl/ is the full one, graphics/null/ the smallest).
//
// Builds on graphics/GraphicsDriver.h, the 2D surface (graphics/Flat2DSurface.h) and images
// (graphics/Image.h). A `TFlat2DDriver` makes surfaces like any graphics driver and adds the drawing slots
// the 2D layer (graphics/Draw.h) calls: state setters, primitives, pixmap blits and read-back, and the
// making of image frames. The base class's drawing slots each throw `TAbstractMethodError`; `Flush` does
// nothing.
//
// What a backend must do:
//   * Surfaces. `CreateGraphics` and `AttachGraphics` answer a `TFlat2DSurface` holding the backend's
//     own surface and the driver itself (or `Null` when no surface can be made); anything else makes
//     `OpenGraphics` fail with "Current graphics driver is not a Flat2D driver".
//   * `SetSurface` is called at every activation, after the inner surface was activated, with its size:
//     the driver sets a pixel projection with (0, 0) at the top-left corner and y downwards, and forgets
//     every cache of GL-side (or device-side) state, since another context may be current now. The
//     drawing state is sent right afterwards through the setters (blend 1, colour 255, 255, 255, clear
//     colour and viewport...), so nothing needs a default of its own. `ReleaseSurface` is called when the
//     surface is flipped away; nothing is drawn until the next `SetSurface`.
//   * Geometry arrives as a local part, the transform last given to `SetTransform` and a translation; the
//     driver applies both (a local point (x, y) lands at (x*ix + y*iy + tx, x*jx + y*jy + ty)). `Plot`
//     and `DrawPixmap` are not transformed.
//   * Frames. `CreateFrameFromPixmap` answers the drawable form of a pixmap (any format; a picture larger
//     than the backend can hold is scaled down to fit). Images ask for it lazily, when a frame is first
//     drawn, and again whenever the graphics sequence (`GraphicsSequence`) has moved since, so a frame
//     never outlives the opening it was made in as far as drawing goes; a backend whose frames hold
//     device resources frees them only if the frame belongs to the current sequence (an older frame's
//     context is gone). Frames are made so that they draw in every surface of the driver (the GL driver
//     makes them in its shared context).
//   * Failures. Setters and primitives do not fail. `CreateFrameFromPixmap` throws a runtime error when
//     the backend can hold no picture at all; `DrawPoly` and `DrawPixmap` throw `TNullObjectError` for a
//     `Null` array or pixmap. `GrabPixmap` answers `Null` for a size below 1, and pixels outside the
//     surface read as transparent black.
//
// What a backend may do: hold drawing back and send it in batches, as long as nothing can tell. It must
// send what it holds (`Flush`) before anything that reads or presents the target or could see the
// drawing out of order: its own read-back (`GrabPixmap`), clearing, a state change that would alter held
// drawing (blend mode, viewport, line width), a primitive it draws at once, a frame being made or freed,
// `ReleaseSurface`, and `Flush` itself. The graphics module calls `Flush` on the current driver before
// the inner surface is presented (`FlipGraphics`), before another surface is activated (while the old
// context is still current), and before the opened surface is closed; a program that reads the target
// by other means (GL calls of its own) calls `Flush` first.
//
// Main thread only.
#pragma once

#include "graphics/Flat2DSurface.h"
#include "graphics/GraphicsDriver.h"
#include "graphics/Image.h"
#include "pixmap/TPixmap.h"
#include "runtime/Array.h"

#include <cstdint>

namespace vanta {

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
    // Sends every drawing held back to the surface (see above for when). Does nothing here: a driver that
    // draws at once holds nothing back.
    virtual void Flush();
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
    // Width in pixels of the lines `DrawLine` draws from now on; the transform does not scale it.
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
