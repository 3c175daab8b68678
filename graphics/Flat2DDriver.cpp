// The 2D driver base class: every drawing slot abstract, `Flush` empty.
#include "graphics/Flat2DDriver.h"

#include "runtime/Error.h"

namespace vanta {

void TFlat2DDriver::SetSurface(const Ref<TGraphicsSurface>&, std::int32_t, std::int32_t)
{
    ThrowAbstractMethod();
}

void TFlat2DDriver::ReleaseSurface()
{
    ThrowAbstractMethod();
}

void TFlat2DDriver::Flush()
{}

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
