// Drawing overhead of the GL 2D driver: 1 000 `DrawImage` calls per frame against the same textured quads
// issued as bare GL 1.1 calls, in the same run and the same window, scissored to one pixel so that
// rasterisation does not hide the cost of the calls. Each frame ends with a one-pixel read-back, which
// waits for all of its drawing.
//
// Runs on SDL's offscreen video driver (EGL with Mesa) unless SDL_VIDEODRIVER says otherwise, so no X
// server is needed. The figure to read is the ratio of the two times (goal: at most 1.10).
#include "graphics/Draw.h"
#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "graphics/gl/GLImageFrame.h"
#include "pixmap/Pixmap.h"
#include "platform/Platform.h"
#include "startup/ModuleSequence.h"

#include <cstdint>
#include <cstdlib>

#include <GL/gl.h>
#include <benchmark/benchmark.h>

namespace vanta {
namespace {

constexpr int quadsPerFrame = 1000;

// The window, opened once for the whole run, and one 32 x 32 image drawn over and over.
struct Scene
{
    Scene()
    {
        ::setenv("SDL_VIDEODRIVER", "offscreen", 0);
        RunModuleInitialisers(MODULES_GRAPHICS);
        if (!platform::StartVideo()) std::abort();
        OpenGraphics(640, 480, 0, SYNC_NONE | 60);
        image = CreateImage(32, 32, 1, IMAGE_MASKED | IMAGE_FILTERED);
        Ref<TPixmap> pixels = LockImage(image, 0, 1, 1);
        for (std::int32_t y = 0; y < 32; ++y) {
            for (std::int32_t x = 0; x < 32; ++x)
                pixels->WritePixel(x, y, 0xFF000000u | static_cast<std::uint32_t>(x * 8 << 16 | y * 8));
        }
        SetViewport(0, 0, 1, 1);
        DrawImage(image, 0, 0); // the frame is made here, outside the timing
        frame = Downcast<TGLImageFrame>(image->Frame(0));
        glFinish();
    }

    Ref<TImage> image;
    Ref<TGLImageFrame> frame;
};

Scene& TheScene()
{
    static Scene scene;
    return scene;
}

float Position(int i)
{
    return static_cast<float>(i % 600);
}

void BM_DrawImage(benchmark::State& state)
{
    Scene& scene = TheScene();
    for (auto _ : state) {
        for (int i = 0; i < quadsPerFrame; ++i)
            DrawImage(scene.image, Position(i), Position(i / 3));
        // A read-back waits for everything drawn, held back or not.
        GrabPixmap(0, 0, 1, 1);
    }
    state.SetItemsProcessed(state.iterations() * quadsPerFrame);
}
BENCHMARK(BM_DrawImage)->Unit(benchmark::kMicrosecond)->MinTime(2.0);

// The same quads as the driver sends them (texture bound once, texturing on, the blend state the driver
// left), written out by hand.
void BM_BareGLQuads(benchmark::State& state)
{
    Scene& scene = TheScene();
    const float uMax = scene.frame->uMax;
    const float vMax = scene.frame->vMax;
    glBindTexture(GL_TEXTURE_2D, scene.frame->texture);
    glEnable(GL_TEXTURE_2D);
    for (auto _ : state) {
        for (int i = 0; i < quadsPerFrame; ++i) {
            const float x = Position(i);
            const float y = Position(i / 3);
            glBegin(GL_QUADS);
            glTexCoord2f(0.0f, 0.0f);
            glVertex2f(x, y);
            glTexCoord2f(uMax, 0.0f);
            glVertex2f(x + 32.0f, y);
            glTexCoord2f(uMax, vMax);
            glVertex2f(x + 32.0f, y + 32.0f);
            glTexCoord2f(0.0f, vMax);
            glVertex2f(x, y + 32.0f);
            glEnd();
        }
        std::uint32_t pixel = 0;
        glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, &pixel);
    }
    state.SetItemsProcessed(state.iterations() * quadsPerFrame);
}
BENCHMARK(BM_BareGLQuads)->Unit(benchmark::kMicrosecond)->MinTime(2.0);

} // namespace
} // namespace vanta

BENCHMARK_MAIN();
