// The GL 2D driver: 2D drawing with OpenGL 1.1 in the windows and contexts of the GL context driver
// (graphics/gl/GLContextDriver.h).
//
// Builds on graphics/Flat2DDriver.h (the interface the 2D layer calls), the GL context driver for
// windows, contexts, the pointer, the swap interval and the display modes, and its own drawing state,
// frames and textures (graphics/gl/GLDrawState.h, GLImageFrame.h, GLTexture.h). Geometry arrives as a
// local part, the transform last set and a translation; this driver applies both. Images, rectangles,
// lines and points are gathered into batches and sent with one draw call per batch (the flush points are
// listed in graphics/gl/GLDrawState.h); ovals, polygons and pixmap blits are drawn at once. Repeated
// blend modes and texture binds are kept from GL by one-entry caches, which every `SetSurface` forgets.
// Frames are made in the shared context, so their textures draw in every GL window (not across a
// full-screen context, which shares with nothing).
//
// Where this goes beyond the design it follows:
//   * `GrabPixmap` reads only the part of the rectangle that lies on the surface; the rest of the
//     answer is transparent black (GL leaves pixels outside the window undefined).
//   * An oval gets at most `GL_OVAL_MAX_SEGMENTS` segments, so a huge (or infinite) one cannot stall the
//     frame; a viewport of negative width or height scissors everything away.
//   * Making or deleting a texture may change the binding GL has in the drawing context (always in full
//     screen), so the bind cache forgets what it knew.
//   * Drawing is batched rather than sent as one glBegin/glEnd per primitive: colour and alpha go into
//     each vertex instead of GL's current colour, so `SetColor` and `SetAlpha` make no GL call of their
//     own.
//
// Main thread only.
#pragma once

#include "graphics/Flat2DDriver.h"
#include "graphics/gl/GLContextDriver.h"

#include <cstdint>

namespace vanta {

// The most segments an oval is drawn with (a multiple of 4).
inline constexpr std::int32_t GL_OVAL_MAX_SEGMENTS = 4096;

// The number of segments of an oval with radii rx and ry: |rx| + |ry| truncated, at least 12 and at most
// `GL_OVAL_MAX_SEGMENTS`, rounded down to a multiple of 4; 12 when a radius is not a number.
std::int32_t GLOvalSegments(float rx, float ry);

// The OpenGL 1.1 2D driver (see the top of this file), drawing into the GL context driver's windows.
class TGLFlat2DDriver : public TFlat2DDriver
{
    VANTA_CLASS(TGLFlat2DDriver, TFlat2DDriver)
public:
    TGLFlat2DDriver() = default;

    // The GL context driver's surfaces, each wrapped with this driver as a `TFlat2DSurface`; `Null` when
    // it makes none.
    Ref<TGraphicsSurface> AttachGraphics(platform::Window* window, std::int32_t flags) override;
    Ref<TGraphicsSurface> CreateGraphics(std::int32_t width, std::int32_t height, std::int32_t depth, std::int32_t rate,
                                         std::int32_t flags) override;
    // Forwarded to the GL context driver.
    void SetPointerVisible(std::int32_t show) override;
    void SetSwapInterval(std::int32_t interval) override;
    Ref<Array> DisplayModes() override;

    // Draws on `surface` (a `TGLSurface`; anything else leaves no current GL surface): a pixel projection
    // of width x height with (0, 0) the top-left corner, texturing off, the caches forgotten. Called with
    // the new surface current: whatever was held for the old one must have been flushed before.
    void SetSurface(const Ref<TGraphicsSurface>& surface, std::int32_t width, std::int32_t height) override;
    // Sends what is held, then forgets the surface.
    void ReleaseSurface() override;
    // Sends what is held to GL.
    void Flush() override;
    // A `TGLImageFrame` made in the shared context. Throws as `TGLImageFrame::CreateFromPixmap`.
    Ref<TImageFrame> CreateFrameFromPixmap(const Ref<TPixmap>& pixmap, std::int32_t flags) override;
    void SetBlend(std::int32_t mode) override;
    void SetAlpha(float alpha) override;
    void SetColor(std::int32_t r, std::int32_t g, std::int32_t b) override;
    void SetClearColor(std::int32_t r, std::int32_t g, std::int32_t b) override;
    // Scissors to the rectangle; the whole surface turns scissoring off.
    void SetViewport(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height) override;
    void SetTransform(float ix, float iy, float jx, float jy) override;
    // Sends what is held, then gives GL the width (glLineWidth; GL keeps the old width for 0 or less).
    void SetLineWidth(float width) override;
    void Clear() override;
    void Plot(float x, float y) override;
    void DrawLine(float x0, float y0, float x1, float y1, float tx, float ty) override;
    void DrawRect(float x0, float y0, float x1, float y1, float tx, float ty) override;
    void DrawOval(float x0, float y0, float x1, float y1, float tx, float ty) override;
    // Throws `TNullObjectError` for a `Null` array.
    void DrawPoly(const Ref<Array>& xy, float hx, float hy, float tx, float ty) override;
    // Throws `TNullObjectError` for a `Null` pixmap.
    void DrawPixmap(const Ref<TPixmap>& pixmap, std::int32_t x, std::int32_t y) override;
    // `Null` when width or height is below 1.
    Ref<TPixmap> GrabPixmap(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height) override;

    // The `TGLSurface` drawn on, or `Null`.
    const Ref<TGLSurface>& CurrentGLSurface() const noexcept { return surface_; }

private:
    // Sets GL's scissor for the viewport (nothing held is affected: the caller has sent it).
    void ApplyViewport(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height);

    Ref<TGLSurface> surface_;
};

// The GL 2D driver, made on first call.
const Ref<TGLFlat2DDriver>& GLFlat2DDriver();

// The GL 2D driver module's initialiser: initialises the object runtime, the 2D layer, pixmaps and the GL
// context driver. Later calls do nothing.
void InitGLFlat2DDriver();

} // namespace vanta
