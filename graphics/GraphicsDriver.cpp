// The abstract graphics driver and surface: every operation is abstract.
#include "graphics/GraphicsDriver.h"

#include "runtime/Error.h"

namespace vanta {

void TGraphicsSurface::Activate()
{
    ThrowAbstractMethod();
}

void TGraphicsSurface::Flip()
{
    ThrowAbstractMethod();
}

void TGraphicsSurface::GetSize(std::int32_t&, std::int32_t&)
{
    ThrowAbstractMethod();
}

void TGraphicsSurface::Close()
{
    ThrowAbstractMethod();
}

std::int32_t TGraphicsSurface::SetScaling(std::int32_t, std::int32_t)
{
    return 0;
}

std::int32_t TGraphicsSurface::SetFullScreen(std::int32_t)
{
    return 0;
}

std::int32_t TGraphicsSurface::FullScreen()
{
    return 0;
}

Ref<TGraphicsSurface> TGraphicsDriver::AttachGraphics(platform::Window*, std::int32_t)
{
    ThrowAbstractMethod();
}

Ref<TGraphicsSurface> TGraphicsDriver::CreateGraphics(std::int32_t, std::int32_t, std::int32_t, std::int32_t,
                                                      std::int32_t)
{
    ThrowAbstractMethod();
}

void TGraphicsDriver::SetPointerVisible(std::int32_t)
{
    ThrowAbstractMethod();
}

void TGraphicsDriver::SetSwapInterval(std::int32_t)
{
    ThrowAbstractMethod();
}

Ref<Array> TGraphicsDriver::DisplayModes()
{
    ThrowAbstractMethod();
}

} // namespace vanta
