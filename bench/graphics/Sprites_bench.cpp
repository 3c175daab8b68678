// Sprites: N sprites falling under gravity and bouncing off the bottom of a 640 x 480 window, moved and
// drawn with one `DrawImage` each per frame, unpaced (alpha blending, one picture).
//
//   BM_Sprites            ms per frame (clear, move and draw, flip) for 1 000, 10 000 and 100 000 sprites of
//                         32 x 32 and of 4 x 4 pixels; counter: GL calls per sprite.
//   BM_SpriteSubmission   the same drawing scissored to one pixel, so that rasterisation does not hide the
//                         cost of the calls; each frame ends with a one-pixel read-back (which waits for the
//                         drawing). Items are sprites: the time per item is the submission cost per sprite.
//
// The motion is deterministic (a fixed generator and fixed steps), so every run draws the same frames.
// Runs on SDL's offscreen video driver (EGL with Mesa) unless SDL_VIDEODRIVER says otherwise.
#include "graphics/Draw.h"
#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "pixmap/Pixmap.h"
#include "platform/Platform.h"
#include "startup/ModuleSequence.h"
#include "support/GLCallCounter.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

#include <benchmark/benchmark.h>

namespace vanta {
namespace {

constexpr float screenWidth = 640.0f;
constexpr float screenHeight = 480.0f;
constexpr float gravity = 0.5f;

struct Sprite
{
    float x, y, vx, vy;
};

// The window, opened once for the whole run, and one picture per size: a disc with a soft edge.
struct Scene
{
    Scene()
    {
        ::setenv("SDL_VIDEODRIVER", "offscreen", 0);
        RunModuleInitialisers(MODULES_GRAPHICS);
        if (!platform::StartVideo()) std::abort();
        OpenGraphics(640, 480, 0, SYNC_NONE | 60);
        small = Picture(4);
        large = Picture(32);
    }

    static Ref<TImage> Picture(std::int32_t side)
    {
        Ref<TImage> image = CreateImage(side, side, 1, IMAGE_MASKED | IMAGE_FILTERED);
        Ref<TPixmap> pixels = LockImage(image, 0, 1, 1);
        const float centre = static_cast<float>(side) * 0.5f;
        for (std::int32_t y = 0; y < side; ++y) {
            for (std::int32_t x = 0; x < side; ++x) {
                const float dx = static_cast<float>(x) + 0.5f - centre;
                const float dy = static_cast<float>(y) + 0.5f - centre;
                const float d = (dx * dx + dy * dy) / (centre * centre);
                const std::uint32_t alpha = d < 0.8f ? 255u : d < 1.0f ? 128u : 0u;
                pixels->WritePixel(x, y, alpha << 24 | static_cast<std::uint32_t>(x * 255 / side) << 16 | 0x80FFu);
            }
        }
        return image;
    }

    Ref<TImage> small;
    Ref<TImage> large;
};

Scene& TheScene()
{
    static Scene scene;
    return scene;
}

// `count` sprites spread over the top half, with velocities from a fixed linear congruential generator.
std::vector<Sprite> Launch(std::int64_t count)
{
    std::uint32_t seed = 12345u;
    auto next = [&seed] {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<float>(seed >> 8) / static_cast<float>(1u << 24);
    };
    std::vector<Sprite> sprites(static_cast<std::size_t>(count));
    for (Sprite& s : sprites)
        s = {next() * screenWidth, next() * screenHeight * 0.5f, next() * 10.0f - 5.0f, next() * 5.0f};
    return sprites;
}

void Move(std::vector<Sprite>& sprites, float side)
{
    for (Sprite& s : sprites) {
        s.x += s.vx;
        s.y += s.vy;
        s.vy += gravity;
        if (s.x < 0.0f) {
            s.x = 0.0f;
            s.vx = -s.vx;
        } else if (s.x > screenWidth - side) {
            s.x = screenWidth - side;
            s.vx = -s.vx;
        }
        if (s.y > screenHeight - side) {
            s.y = screenHeight - side;
            s.vy = -s.vy * 0.85f;
        }
    }
}

void Draw(const std::vector<Sprite>& sprites, const Ref<TImage>& image)
{
    for (const Sprite& s : sprites)
        DrawImage(image, s.x, s.y);
}

void BM_Sprites(benchmark::State& state)
{
    Scene& scene = TheScene();
    const Ref<TImage>& image = state.range(1) == 4 ? scene.small : scene.large;
    const float side = static_cast<float>(image->width);
    std::vector<Sprite> sprites = Launch(state.range(0));
    SetBlendMode(BLEND_ALPHA);
    SetViewport(0, 0, 640, 480);
    // One frame outside the timing makes the texture.
    Draw(sprites, image);
    FlipGraphics();
    ClearGraphics();
    std::int64_t glCalls = 0;
    for (auto _ : state) {
        const std::int64_t before = bench::GLCallCount();
        Move(sprites, side);
        Draw(sprites, image);
        FlipGraphics();
        ClearGraphics();
        glCalls += bench::GLCallCount() - before;
    }
    state.counters["gl_calls_per_sprite"] =
        static_cast<double>(glCalls) / static_cast<double>(state.iterations() * state.range(0));
    state.SetLabel(state.range(1) == 4 ? "4x4" : "32x32");
}
BENCHMARK(BM_Sprites)
    ->ArgsProduct({{1000, 10000, 100000}, {32, 4}})
    ->Unit(benchmark::kMillisecond)
    ->MinTime(2.0)
    ->UseRealTime();

void BM_SpriteSubmission(benchmark::State& state)
{
    Scene& scene = TheScene();
    std::vector<Sprite> sprites = Launch(state.range(0));
    SetBlendMode(BLEND_ALPHA);
    SetViewport(0, 0, 1, 1);
    Draw(sprites, scene.large);
    GrabPixmap(0, 0, 1, 1);
    for (auto _ : state) {
        Draw(sprites, scene.large);
        GrabPixmap(0, 0, 1, 1);
    }
    SetViewport(0, 0, 640, 480);
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_SpriteSubmission)->Arg(10000)->Unit(benchmark::kMicrosecond)->MinTime(2.0)->UseRealTime();

} // namespace
} // namespace vanta

BENCHMARK_MAIN();
