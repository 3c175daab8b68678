// The null 2D driver: a 2D driver that accepts every call and draws nothing, for programs that need the
// graphics state without a display or a GPU (servers, tools, tests), and the smallest backend that keeps
// the contract of graphics/Flat2DDriver.h.
//
// Builds on graphics/Flat2DDriver.h and pixmaps. Its surfaces are sizes without pixels (a made surface
// has the size asked for; an attached one the window's client size), its frames draw nothing, and a
// read-back answers transparent black. It offers no display modes, so `OpenGraphics` works windowed
// (depth 0) only. Selected like any driver:
//
//     InitNullFlat2DDriver();
//     SelectGraphicsDriver(NullFlat2DDriver(), 0);
//     OpenGraphics(640, 480, 0, SYNC_NONE);
//
// Main thread only.
#pragma once

#include "graphics/Flat2DDriver.h"

#include <cstdint>

namespace vanta {

// A surface of a fixed size with nothing behind it. Activating, flipping and closing do nothing.
class TNullSurface : public TGraphicsSurface
{
    VANTA_CLASS(TNullSurface, TGraphicsSurface)
public:
    // A surface of width x height.
    TNullSurface(std::int32_t width, std::int32_t height) : width_(width), height_(height) {}

    void Activate() override {}
    void Flip() override {}
    // The size it was made with.
    void GetSize(std::int32_t& width, std::int32_t& height) override;
    void Close() override {}

private:
    std::int32_t width_;
    std::int32_t height_;
};

// A frame that draws nothing.
class TNullImageFrame : public TImageFrame
{
    VANTA_CLASS(TNullImageFrame, TImageFrame)
public:
    TNullImageFrame() = default;

    void Draw(float, float, float, float, float, float) override {}
};

// The 2D driver that accepts every call and draws nothing: graphics state without a GPU (servers, tools,
// tests), and the smallest backend of graphics/Flat2DDriver.h. A read-back is transparent black.
class TNullFlat2DDriver : public TFlat2DDriver
{
    VANTA_CLASS(TNullFlat2DDriver, TFlat2DDriver)
public:
    TNullFlat2DDriver() = default;

    // A `TFlat2DSurface` over a `TNullSurface` of the window's client size (0 x 0 for a null window).
    Ref<TGraphicsSurface> AttachGraphics(platform::Window* window, std::int32_t flags) override;
    // A `TFlat2DSurface` over a `TNullSurface` of width x height (sizes below 0 count as 0).
    Ref<TGraphicsSurface> CreateGraphics(std::int32_t width, std::int32_t height, std::int32_t depth, std::int32_t rate,
                                         std::int32_t flags) override;
    void SetPointerVisible(std::int32_t) override {}
    void SetSwapInterval(std::int32_t) override {}
    // An empty array.
    Ref<Array> DisplayModes() override;

    void SetSurface(const Ref<TGraphicsSurface>&, std::int32_t, std::int32_t) override {}
    void ReleaseSurface() override {}
    // A `TNullImageFrame`. Throws `TNullObjectError` for a `Null` pixmap.
    Ref<TImageFrame> CreateFrameFromPixmap(const Ref<TPixmap>& pixmap, std::int32_t flags) override;
    void SetBlend(std::int32_t) override {}
    void SetAlpha(float) override {}
    void SetColor(std::int32_t, std::int32_t, std::int32_t) override {}
    void SetClearColor(std::int32_t, std::int32_t, std::int32_t) override {}
    void SetViewport(std::int32_t, std::int32_t, std::int32_t, std::int32_t) override {}
    void SetTransform(float, float, float, float) override {}
    // Nothing: no line is drawn.
    void SetLineWidth(float) override {}
    void Clear() override {}
    void Plot(float, float) override {}
    void DrawLine(float, float, float, float, float, float) override {}
    void DrawRect(float, float, float, float, float, float) override {}
    void DrawOval(float, float, float, float, float, float) override {}
    // Throws `TNullObjectError` for a `Null` array.
    void DrawPoly(const Ref<Array>& xy, float hx, float hy, float tx, float ty) override;
    // Throws `TNullObjectError` for a `Null` pixmap.
    void DrawPixmap(const Ref<TPixmap>& pixmap, std::int32_t x, std::int32_t y) override;
    // A new transparent black `PF_RGBA8888` pixmap of width x height; `Null` when either is below 1 or
    // too large for a pixmap.
    Ref<TPixmap> GrabPixmap(std::int32_t x, std::int32_t y, std::int32_t width, std::int32_t height) override;
};

// The null 2D driver, made on first call.
const Ref<TNullFlat2DDriver>& NullFlat2DDriver();

// The null 2D driver module's initialiser: initialises the object runtime, the 2D layer and pixmaps.
// Later calls do nothing.
void InitNullFlat2DDriver();

} // namespace vanta
