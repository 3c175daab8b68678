// The null 2D driver: surfaces without pixels, frames that draw nothing, transparent read-backs.
#include "graphics/null/NullFlat2DDriver.h"

#include "graphics/Graphics.h"
#include "pixmap/Pixmap.h"
#include "platform/Window.h"

#include <algorithm>

namespace vanta {
namespace {

Ref<TGraphicsSurface> Wrap(std::int32_t width, std::int32_t height, TNullFlat2DDriver* driver)
{
    return TFlat2DSurface::Create(New<TNullSurface>(std::max(width, 0), std::max(height, 0)),
                                  Ref<TFlat2DDriver>(driver));
}

} // namespace

void TNullSurface::GetSize(std::int32_t& width, std::int32_t& height)
{
    width = width_;
    height = height_;
}

Ref<TGraphicsSurface> TNullFlat2DDriver::AttachGraphics(platform::Window* window, std::int32_t)
{
    int width = 0;
    int height = 0;
    if (window != nullptr) platform::GetClientSize(window, width, height);
    return Wrap(width, height, this);
}

Ref<TGraphicsSurface> TNullFlat2DDriver::CreateGraphics(std::int32_t width, std::int32_t height, std::int32_t,
                                                        std::int32_t, std::int32_t)
{
    return Wrap(width, height, this);
}

Ref<Array> TNullFlat2DDriver::DisplayModes()
{
    return NewArray(":TDisplayMode", 0);
}

Ref<TImageFrame> TNullFlat2DDriver::CreateFrameFromPixmap(const Ref<TPixmap>& pixmap, std::int32_t)
{
    pixmap.Get();
    return New<TNullImageFrame>();
}

void TNullFlat2DDriver::DrawPoly(const Ref<Array>& xy, float, float, float, float)
{
    xy.Get();
}

void TNullFlat2DDriver::DrawPixmap(const Ref<TPixmap>& pixmap, std::int32_t, std::int32_t)
{
    pixmap.Get();
}

Ref<TPixmap> TNullFlat2DDriver::GrabPixmap(std::int32_t, std::int32_t, std::int32_t width, std::int32_t height)
{
    if (width < 1 || height < 1) return Null;
    // A new pixmap starts cleared.
    return CreatePixmap(width, height, PF_RGBA8888, 4);
}

const Ref<TNullFlat2DDriver>& NullFlat2DDriver()
{
    static Ref<TNullFlat2DDriver> driver = New<TNullFlat2DDriver>();
    return driver;
}

void InitNullFlat2DDriver()
{
    static bool initialised = false;
    if (initialised) return;
    initialised = true;
    InitRuntimeCore();
    InitGraphics();
    InitPixmaps();
}

} // namespace vanta
