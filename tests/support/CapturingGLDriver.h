// The GL 2D driver with a look at every frame just before it is presented: its surfaces run a hook before
// each flip, while the finished frame is still in the back buffer (read it with the driver's
// `GrabPixmap`). Everything else is the GL 2D driver's own work, so what the hook sees is what a player
// would see.
//
//     Ref<test::TCapturingGLDriver> driver = New<test::TCapturingGLDriver>();
//     SelectGraphicsDriver(driver, GFX_BACKBUFFER);
//     driver->beforeFlip = [&] { frames.push_back(driver->GrabPixmap(0, 0, 640, 480)); };
#pragma once

#include "graphics/Flat2DDriver.h"
#include "graphics/gl/GLFlat2DDriver.h"

#include <functional>

namespace vanta::test {

// A surface that runs a hook and then flips the GL surface it wraps.
class TCapturingSurface : public TGraphicsSurface
{
    VANTA_CLASS(TCapturingSurface, TGraphicsSurface)
public:
    TCapturingSurface(const Ref<TGraphicsSurface>& inner, std::function<void()>* beforeFlip)
        : inner(inner), beforeFlip_(beforeFlip)
    {}

    void Activate() override { inner->Activate(); }
    void Flip() override
    {
        if (*beforeFlip_) (*beforeFlip_)();
        inner->Flip();
    }
    void GetSize(std::int32_t& width, std::int32_t& height) override { inner->GetSize(width, height); }
    void Close() override { inner->Close(); }

    Ref<TGraphicsSurface> inner;

private:
    std::function<void()>* beforeFlip_; // the driver's hook; the driver outlives its surfaces' use
};

class TCapturingGLDriver : public TGLFlat2DDriver
{
    VANTA_CLASS(TCapturingGLDriver, TGLFlat2DDriver)
public:
    TCapturingGLDriver() = default;

    Ref<TGraphicsSurface> CreateGraphics(std::int32_t width, std::int32_t height, std::int32_t depth, std::int32_t rate,
                                         std::int32_t flags) override
    {
        Ref<TFlat2DSurface> surface =
            Downcast<TFlat2DSurface>(TGLFlat2DDriver::CreateGraphics(width, height, depth, rate, flags));
        if (surface) surface->surface = New<TCapturingSurface>(surface->surface, &beforeFlip);
        return surface;
    }

    // The GL driver draws on the GL surface inside the capturing one.
    void SetSurface(const Ref<TGraphicsSurface>& surface, std::int32_t width, std::int32_t height) override
    {
        const Ref<TCapturingSurface> capturing = Downcast<TCapturingSurface>(surface);
        TGLFlat2DDriver::SetSurface(capturing ? capturing->inner : surface, width, height);
    }

    // Run before every flip of a surface this driver made.
    std::function<void()> beforeFlip;
};

} // namespace vanta::test
