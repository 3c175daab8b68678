// The 2D driver base class (every drawing slot abstract) and the 2D surface.
#include "graphics/Flat2DDriver.h"

#include "graphics/detail/DrawState.h"
#include "runtime/Error.h"

namespace vanta {

void TFlat2DSurface::Activate()
{
    detail::DrawState& state = detail::State();
    std::int32_t width = 0;
    std::int32_t height = 0;
    GetSize(width, height);
    state.width = width;
    state.height = height;
    state.currentSurface = Ref<TFlat2DSurface>(this);
    surface->Activate();
    state.driver = driver;
    driver->SetSurface(surface, width, height);
    detail::ResetDrawingState();
    detail::UseDefaultFont();
}

void TFlat2DSurface::Flip()
{
    detail::DrawState& state = detail::State();
    driver->ReleaseSurface();
    state.driver = Null;
    state.currentFont = Null;
    state.width = 0;
    state.height = 0;
    surface->Flip();
    state.currentSurface = Null;
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

void TFlat2DDriver::SetSurface(const Ref<TGraphicsSurface>&, std::int32_t, std::int32_t)
{
    ThrowAbstractMethod();
}

void TFlat2DDriver::ReleaseSurface()
{
    ThrowAbstractMethod();
}

Ref<TImageFrame> TFlat2DDriver::CreateFrameFromPixmap(const Ref<TPixmap>&, std::int32_t)
{
    ThrowAbstractMethod();
}

void TFlat2DDriver::SetBlend(std::int32_t)
{
    ThrowAbstractMethod();
}

void TFlat2DDriver::SetAlpha(float)
{
    ThrowAbstractMethod();
}

void TFlat2DDriver::SetColor(std::int32_t, std::int32_t, std::int32_t)
{
    ThrowAbstractMethod();
}

void TFlat2DDriver::SetClearColor(std::int32_t, std::int32_t, std::int32_t)
{
    ThrowAbstractMethod();
}

void TFlat2DDriver::SetViewport(std::int32_t, std::int32_t, std::int32_t, std::int32_t)
{
    ThrowAbstractMethod();
}

void TFlat2DDriver::SetTransform(float, float, float, float)
{
    ThrowAbstractMethod();
}

void TFlat2DDriver::SetLineWidth(float)
{
    ThrowAbstractMethod();
}

void TFlat2DDriver::Clear()
{
    ThrowAbstractMethod();
}

void TFlat2DDriver::Plot(float, float)
{
    ThrowAbstractMethod();
}

void TFlat2DDriver::DrawLine(float, float, float, float, float, float)
{
    ThrowAbstractMethod();
}

void TFlat2DDriver::DrawRect(float, float, float, float, float, float)
{
    ThrowAbstractMethod();
}

void TFlat2DDriver::DrawOval(float, float, float, float, float, float)
{
    ThrowAbstractMethod();
}

void TFlat2DDriver::DrawPoly(const Ref<Array>&, float, float, float, float)
{
    ThrowAbstractMethod();
}

void TFlat2DDriver::DrawPixmap(const Ref<TPixmap>&, std::int32_t, std::int32_t)
{
    ThrowAbstractMethod();
}

Ref<TPixmap> TFlat2DDriver::GrabPixmap(std::int32_t, std::int32_t, std::int32_t, std::int32_t)
{
    ThrowAbstractMethod();
}

} // namespace vanta
