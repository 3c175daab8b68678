// The GL context driver and surface: thin wrappers over the GL window and context layer.
#include "graphics/gl/GLContextDriver.h"

#include "graphics/gl/GLContext.h"
#include "platform/Platform.h"

#include <cstdio>
#include <vector>

namespace vanta {
namespace {

// The enumeration buffer: 1024 modes of four ints.
constexpr std::int32_t modeCapacity = 1024;

Ref<TGLContextDriver>& Driver()
{
    static Ref<TGLContextDriver> driver;
    return driver;
}

// No context gives the null object, which the graphics module turns into its own error ("Unable to
// create graphics"); the platform's reason goes to standard error so that the user can tell it.
Ref<TGraphicsSurface> Wrap(VTGLContext* context)
{
    if (context == nullptr) {
        std::fprintf(stderr, "VantaMax: %s\n", GLContextError());
        return Null;
    }
    return TGLSurface::Create(context);
}

} // namespace

TGLSurface::~TGLSurface()
{
    // A surface dropped without closing would leave its window on the screen and its context alive.
    GLContextDestroy(context_);
}

void TGLSurface::Activate()
{
    GLContextSetCurrent(context_);
    if (scaled_) ActivateScaled();
}

void TGLSurface::Flip()
{
    if (scaled_) PresentScaled();
    GLContextFlip(context_);
}

void TGLSurface::GetSize(std::int32_t& width, std::int32_t& height)
{
    width = 0;
    height = 0;
    if (context_ == nullptr) return;
    if (scaled_) {
        width = scaled_->Width();
        height = scaled_->Height();
        return;
    }
    GLContextSize(context_, width, height);
}

void TGLSurface::Close()
{
    if (context_ == nullptr) return;
    // The picture's names go with the context.
    scaled_.reset();
    scaleMode_ = SCALE_NONE;
    GLContextDestroy(context_);
    context_ = nullptr;
}

// [SECTION] Scaled presentation

std::int32_t TGLSurface::SetScaling(std::int32_t mode, std::int32_t windowScale)
{
    if (context_ == nullptr || context_->ownsWindow == 0) {
        scalingError_ = "Cannot scale: the surface is closed or its window was made elsewhere";
        return 0;
    }
    platform::Window* window = context_->window;
    if (mode == SCALE_NONE) {
        if (!scaled_) return 1;
        std::int32_t width = scaled_->Width();
        std::int32_t height = scaled_->Height();
        GLMakeCurrent(context_);
        scaled_.reset();
        scaleMode_ = SCALE_NONE;
        GLScaledTarget::BindWindow();
        platform::SetLogicalSize(window, 0, 0, false);
        platform::SetWindowResizable(window, false);
        platform::SetClientSize(window, width, height);
        return 1;
    }
    if (mode != SCALE_WHOLE && mode != SCALE_ANY) {
        scalingError_ = "Cannot scale: unknown scaling mode " + std::to_string(mode);
        return 0;
    }
    std::int32_t width = 0;
    std::int32_t height = 0;
    GetSize(width, height);
    if (!scaled_) {
        auto picture = std::make_unique<GLScaledTarget>();
        GLMakeCurrent(context_);
        if (!picture->Create(width, height)) {
            GLScaledTarget::BindWindow();
            scalingError_ = "Cannot scale the window: " + picture->Error();
            return 0;
        }
        scaled_ = std::move(picture);
    }
    scaleMode_ = mode;
    scalingError_.clear();
    platform::SetLogicalSize(window, width, height, mode == SCALE_WHOLE);
    platform::SetWindowResizable(window, true);
    if (windowScale > 1) platform::SetClientSize(window, width * windowScale, height * windowScale);
    return 1;
}

std::int32_t TGLSurface::SetFullScreen(std::int32_t on)
{
    if (context_ == nullptr || !scaled_) return 0;
    return platform::SetDesktopFullScreen(context_->window, on != 0) ? 1 : 0;
}

std::int32_t TGLSurface::FullScreen()
{
    return context_ != nullptr && platform::IsDesktopFullScreen(context_->window) ? 1 : 0;
}

void TGLSurface::ActivateScaled()
{
    scaled_->Bind();
}

void TGLSurface::PresentScaled()
{
    scaled_->Present(context_->window, scaleMode_);
}

Ref<TGLSurface> TGLSurface::Create(VTGLContext* context)
{
    return New<TGLSurface>(context);
}

Ref<TGraphicsSurface> TGLContextDriver::AttachGraphics(platform::Window* window, std::int32_t flags)
{
    return Wrap(GLContextAttach(window, flags));
}

Ref<TGraphicsSurface> TGLContextDriver::CreateGraphics(std::int32_t width, std::int32_t height, std::int32_t depth,
                                                       std::int32_t rate, std::int32_t flags)
{
    return Wrap(GLContextCreate(width, height, depth, rate, flags));
}

void TGLContextDriver::SetPointerVisible(std::int32_t show)
{
    GLShowCursor(show);
}

void TGLContextDriver::SetSwapInterval(std::int32_t interval)
{
    GLSetSwapInterval(interval);
}

Ref<Array> TGLContextDriver::DisplayModes()
{
    std::vector<std::int32_t> buffer(4 * static_cast<std::size_t>(modeCapacity));
    const std::int32_t count = GLEnumDisplayModes(buffer.data(), modeCapacity);
    Ref<Array> modes = NewArray(":TDisplayMode", count);
    for (std::int32_t i = 0; i < count; ++i) {
        Ref<TDisplayMode> mode = New<TDisplayMode>();
        const std::int32_t* quadruple = buffer.data() + 4 * static_cast<std::ptrdiff_t>(i);
        mode->width = quadruple[0];
        mode->height = quadruple[1];
        mode->depth = quadruple[2];
        mode->rate = quadruple[3];
        modes->ObjectAt(i) = mode;
    }
    return modes;
}

GLSharedContextScope TGLContextDriver::UseSharedContext()
{
    return {};
}

void InitGLContextDriver()
{
    static bool initialised = false;
    if (initialised) return;
    initialised = true;
    InitRuntimeCore();
    Driver() = New<TGLContextDriver>();
}

const Ref<TGLContextDriver>& GLContextDriver()
{
    return Driver();
}

void SetGLContextDriver(const Ref<TGLContextDriver>& driver)
{
    Driver() = driver;
}

} // namespace vanta
