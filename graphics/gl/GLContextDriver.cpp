// The GL context driver and surface: thin wrappers over the GL window and context layer.
#include "graphics/gl/GLContextDriver.h"

#include "graphics/gl/GLContext.h"

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
}

void TGLSurface::Flip()
{
    GLContextFlip(context_);
}

void TGLSurface::GetSize(std::int32_t& width, std::int32_t& height)
{
    width = 0;
    height = 0;
    if (context_ != nullptr) GLContextSize(context_, width, height);
}

void TGLSurface::Close()
{
    if (context_ == nullptr) return;
    GLContextDestroy(context_);
    context_ = nullptr;
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
