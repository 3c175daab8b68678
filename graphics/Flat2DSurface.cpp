// The 2D surface: activation (the current surface, driver and drawing state) and release.
#include "graphics/Flat2DSurface.h"

#include "graphics/Flat2DDriver.h"
#include "graphics/Graphics.h"
#include "graphics/detail/ModuleLinks.h"

namespace vanta {

TFlat2DSurface::~TFlat2DSurface() = default;

void TFlat2DSurface::Activate()
{
    std::int32_t width = 0;
    std::int32_t height = 0;
    GetSize(width, height);
    // Drawing held for the surface current until now goes there before another context takes over.
    if (const Ref<TFlat2DDriver>& previous = CurrentFlat2DDriver(); !previous.IsNull()) previous->Flush();
    detail::SetCurrentSurface(Ref<TFlat2DSurface>(this), width, height);
    surface->Activate();
    driver->SetSurface(surface, width, height);
    detail::ResetDrawingState();
    detail::UseDefaultFont();
}

void TFlat2DSurface::Flip()
{
    driver->ReleaseSurface();
    detail::SetCurrentSurface(Null, 0, 0);
    detail::ForgetCurrentFont();
    surface->Flip();
}

void TFlat2DSurface::GetSize(std::int32_t& width, std::int32_t& height)
{
    width = 0;
    height = 0;
    if (!surface.IsNull()) surface->GetSize(width, height);
}

void TFlat2DSurface::Close()
{
    if (surface.IsNull()) return;
    Ref<TGraphicsSurface> inner = std::move(surface);
    inner->Close();
}

std::int32_t TFlat2DSurface::SetScaling(std::int32_t mode, std::int32_t windowScale)
{
    return surface.IsNull() ? 0 : surface->SetScaling(mode, windowScale);
}

std::int32_t TFlat2DSurface::SetFullScreen(std::int32_t on)
{
    return surface.IsNull() ? 0 : surface->SetFullScreen(on);
}

std::int32_t TFlat2DSurface::FullScreen()
{
    return surface.IsNull() ? 0 : surface->FullScreen();
}

Ref<TFlat2DSurface> TFlat2DSurface::Create(const Ref<TGraphicsSurface>& surface, const Ref<TFlat2DDriver>& driver)
{
    Ref<TFlat2DSurface> result = New<TFlat2DSurface>();
    result->surface = surface;
    result->driver = driver;
    return result;
}

} // namespace vanta
