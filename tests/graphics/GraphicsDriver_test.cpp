// The abstract graphics driver and surface: instantiable, every operation abstract.
#include "graphics/GraphicsDriver.h"
#include "runtime/Error.h"

#include <gtest/gtest.h>

namespace vanta {
namespace {

template <class Call>
bool ThrowsAbstract(Call call)
{
    try {
        call();
    } catch (const Exception& e) {
        return e.Is<TAbstractMethodError>();
    }
    return false;
}

TEST(GraphicsDriver, EveryOperationOfTheBaseClassesIsAbstract)
{
    const Ref<TGraphicsDriver> driver = New<TGraphicsDriver>();
    EXPECT_TRUE(ThrowsAbstract([&] { driver->AttachGraphics(nullptr, 0); }));
    EXPECT_TRUE(ThrowsAbstract([&] { driver->CreateGraphics(640, 480, 0, 60, 0); }));
    EXPECT_TRUE(ThrowsAbstract([&] { driver->SetPointerVisible(1); }));
    EXPECT_TRUE(ThrowsAbstract([&] { driver->SetSwapInterval(1); }));
    EXPECT_TRUE(ThrowsAbstract([&] { driver->DisplayModes(); }));
    const Ref<TGraphicsSurface> surface = New<TGraphicsSurface>();
    std::int32_t width = 0;
    std::int32_t height = 0;
    EXPECT_TRUE(ThrowsAbstract([&] { surface->Activate(); }));
    EXPECT_TRUE(ThrowsAbstract([&] { surface->Flip(); }));
    EXPECT_TRUE(ThrowsAbstract([&] { surface->GetSize(width, height); }));
    EXPECT_TRUE(ThrowsAbstract([&] { surface->Close(); }));
}

} // namespace
} // namespace vanta
