// The GL context driver and its surfaces: the graphics-driver interface over the GL window and context
// layer (graphics/gl/GLContext.h).
//
// Builds on graphics/GraphicsDriver.h and the GL context layer. The GL 2D driver draws into the surfaces
// made here and uses the driver's extra slot to make the shared context current around texture uploads.
//
// Main thread only.
#pragma once

#include "graphics/GraphicsDriver.h"
#include "graphics/gl/GLContext.h"
#include "graphics/gl/GLScaledTarget.h"

#include <memory>
#include <string>

namespace vanta {

// A surface over one GL context record; closing (or destroying the object) destroys the record.
class TGLSurface : public TGraphicsSurface
{
    VANTA_CLASS(TGLSurface, TGraphicsSurface)
public:
    // A surface over `context` (from `GLContextCreate` or `GLContextAttach`), which it owns from now on.
    explicit TGLSurface(VTGLContext* context) : context_(context) {}
    // Destroys the context record (and the window made for it) unless `Close` already has.
    ~TGLSurface() override;

    // Makes the context current for drawing (into the picture when scaled); nothing once closed.
    void Activate() override;
    // Presents the back buffer (with the picture scaled into it when scaled).
    void Flip() override;
    // The client size of the window, or the picture's size when scaled; 0 x 0 once closed.
    void GetSize(std::int32_t& width, std::int32_t& height) override;
    // Destroys the context (and the window made for it); later calls do nothing.
    void Close() override;
    // Draws into an offscreen picture of the present client size from now on, shown scaled into the
    // window at every flip; the window becomes resizable and `windowScale` times as large. `SCALE_NONE`
    // goes back to drawing into the window. Answers 0 (changing nothing) when closed, for a window made
    // elsewhere, or when the context offers no offscreen pictures (`ScalingError` says why).
    std::int32_t SetScaling(std::int32_t mode, std::int32_t windowScale) override;
    // Desktop full screen and back (scaled windows only; Alt+Enter does the same, see GLContext.h).
    std::int32_t SetFullScreen(std::int32_t on) override;
    std::int32_t FullScreen() override;
    // Why the last `SetScaling` answered 0, or an empty text.
    const std::string& ScalingError() const noexcept { return scalingError_; }

    // A new surface owning `context` (which may be null: a surface with nothing to draw into).
    static Ref<TGLSurface> Create(VTGLContext* context);

    // The context record, or null once closed.
    VTGLContext* Context() const noexcept { return context_; }

private:
    void ActivateScaled();
    void PresentScaled();

    VTGLContext* context_ = nullptr;
    std::unique_ptr<GLScaledTarget> scaled_; // the picture while scaled
    std::int32_t scaleMode_ = SCALE_NONE;
    std::string scalingError_;
};

// The graphics driver over the GL window and context layer.
class TGLContextDriver : public TGraphicsDriver
{
    VANTA_CLASS(TGLContextDriver, TGraphicsDriver)
public:
    TGLContextDriver() = default;

    // A surface on a window made elsewhere (created with a pixel format); `Null` on failure, with the
    // reason in `GLContextError` and on standard error.
    Ref<TGraphicsSurface> AttachGraphics(platform::Window* window, std::int32_t flags) override;
    // A new window and context (windowed when `depth` is 0); `Null` on failure, with the reason in
    // `GLContextError` and on standard error.
    Ref<TGraphicsSurface> CreateGraphics(std::int32_t width, std::int32_t height, std::int32_t depth, std::int32_t rate,
                                         std::int32_t flags) override;
    // Shows or hides the pointer (full screen only).
    void SetPointerVisible(std::int32_t show) override;
    // Sets the swap interval (full screen only).
    void SetSwapInterval(std::int32_t interval) override;
    // The display modes of 16 bits per pixel or more (at most 1024), as `TDisplayMode` objects; an empty
    // array without a display.
    Ref<Array> DisplayModes() override;
    // The shared context made current until the answer goes, then what was current before (windowed
    // only; see `GLSharedContextScope`).
    [[nodiscard]] virtual GLSharedContextScope UseSharedContext();
};

// The GL context module's initialiser: creates the driver kept for the whole run. Later calls do nothing.
void InitGLContextDriver();

// The driver the initialiser made (or the one set since); `Null` before initialisation.
const Ref<TGLContextDriver>& GLContextDriver();

// Replaces the driver.
void SetGLContextDriver(const Ref<TGLContextDriver>& driver);

} // namespace vanta
