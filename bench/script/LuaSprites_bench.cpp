// Sprites under gravity, one `DrawImage` call each, every frame presented unpaced: a game loop written in
// Lua through the runtime's bindings against the same loop written in C++, at 10 000 and 50 000 sprites
// of 4 x 4 and 32 x 32 pixels. The figures to read: the real time per frame (ms, the GL rasteriser's work
// included) and the CPU time of the main thread (the game loop, the bindings and the driver calls).
//
// Runs on SDL's offscreen video driver (EGL with Mesa's llvmpipe) at 640 x 480 unless SDL_VIDEODRIVER
// says otherwise, so no X server is needed.
#include "graphics/Draw.h"
#include "graphics/Graphics.h"
#include "graphics/Image.h"
#include "pixmap/Pixmap.h"
#include "platform/Platform.h"
#include "runtime/Object.h"
#include "script/ScriptBindings.h"
#include "startup/ModuleSequence.h"
#include "system/System.h"

#include <cstdlib>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

namespace vanta {
namespace {

constexpr float WIDTH = 640.0f;
constexpr float HEIGHT = 480.0f;

// The window, opened once for the whole run.
void OpenScene()
{
    static bool open = false;
    if (open) return;
    open = true;
    ::setenv("SDL_VIDEODRIVER", "offscreen", 0);
    RunModuleInitialisers(MODULES_GRAPHICS | MODULES_SCRIPT);
    if (!platform::StartVideo()) std::abort();
    OpenGraphics(640, 480, 0, SYNC_NONE | 60);
    SetBlendMode(BLEND_ALPHA);
}

Ref<TImage> SpriteImage(std::int32_t size)
{
    Ref<TImage> image = CreateImage(size, size, 1, IMAGE_FILTERED);
    Ref<TPixmap> pixels = LockImage(image, 0, 1, 1);
    for (std::int32_t y = 0; y < size; ++y) {
        for (std::int32_t x = 0; x < size; ++x)
            pixels->WritePixel(x, y,
                               0xFF000000u | static_cast<std::uint32_t>((x * 255 / size) << 16 | (y * 255 / size)));
    }
    return image;
}

// The same game in Lua: sprites start spread over the screen with a sideways speed, fall, and bounce off
// the floor and the walls.
constexpr const char* LUA_GAME = R"(
local n, image, size = ...
local xs, ys, vxs, vys = {}, {}, {}, {}
local right, floor = 640 - size, 480 - size
for i = 1, n do
  xs[i] = (i * 7919) % right
  ys[i] = (i * 104729) % floor
  vxs[i] = (i % 7) - 3
  vys[i] = 0
end
function frame()
  for i = 1, n do
    local vy = vys[i] + 0.5
    local y = ys[i] + vy
    if y > floor then y = floor vy = -vy * 0.9 end
    local x = xs[i] + vxs[i]
    if x < 0 or x > right then vxs[i] = -vxs[i] x = xs[i] end
    xs[i], ys[i], vys[i] = x, y, vy
    DrawImage(image, x, y)
  end
end
)";

void BM_LuaSprites(benchmark::State& state)
{
    OpenScene();
    const auto count = static_cast<std::int32_t>(state.range(0));
    const auto size = static_cast<std::int32_t>(state.range(1));
    Ref<TScriptEngine> engine = New<TScriptEngine>();
    BindRuntime(*engine);
    const std::int64_t image = engine->AddHandle(SpriteImage(size));
    // The chunk takes its arguments (count, image, size): run it through a wrapper that passes them.
    std::vector<Ref<String>> ignored;
    const std::string call = std::string("return loadstring([==[") + LUA_GAME + "]==])(" + std::to_string(count) +
                             ", " + std::to_string(image) + ", " + std::to_string(size) + ")";
    if (engine->Evaluate(String::FromCString(call.c_str()), ignored) == 0) {
        state.SkipWithError("the game does not start");
        return;
    }
    const int level = ReleaseStackLevel();
    for (auto _ : state) {
        if (engine->CallFunction("frame"_s, 0) == 0) {
            state.SkipWithError("the frame failed");
            break;
        }
        FlipGraphics();
        ClearGraphics();
        FlushReleaseStack(level);
    }
    engine->Stop();
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

// The same sprites in C++.
void BM_CppSprites(benchmark::State& state)
{
    OpenScene();
    const auto count = static_cast<std::size_t>(state.range(0));
    const auto size = static_cast<float>(state.range(1));
    const Ref<TImage> image = SpriteImage(static_cast<std::int32_t>(state.range(1)));
    const float right = WIDTH - size;
    const float floor = HEIGHT - size;
    std::vector<float> xs(count), ys(count), vxs(count), vys(count, 0.0f);
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t n = i + 1;
        xs[i] = static_cast<float>((n * 7919) % static_cast<std::size_t>(right));
        ys[i] = static_cast<float>((n * 104729) % static_cast<std::size_t>(floor));
        vxs[i] = static_cast<float>(static_cast<int>(n % 7) - 3);
    }
    const int level = ReleaseStackLevel();
    for (auto _ : state) {
        for (std::size_t i = 0; i < count; ++i) {
            float vy = vys[i] + 0.5f;
            float y = ys[i] + vy;
            if (y > floor) {
                y = floor;
                vy = -vy * 0.9f;
            }
            float x = xs[i] + vxs[i];
            if (x < 0.0f || x > right) {
                vxs[i] = -vxs[i];
                x = xs[i];
            }
            xs[i] = x;
            ys[i] = y;
            vys[i] = vy;
            DrawImage(image, x, y);
        }
        FlipGraphics();
        ClearGraphics();
        FlushReleaseStack(level);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}

void Sizes(benchmark::internal::Benchmark* benchmark)
{
    for (const int count : {10000, 50000})
        for (const int size : {4, 32})
            benchmark->Args({count, size});
    benchmark->ArgNames({"sprites", "size"})->Unit(benchmark::kMillisecond)->MinTime(1.0)->UseRealTime();
}

BENCHMARK(BM_LuaSprites)->Apply(Sizes);
BENCHMARK(BM_CppSprites)->Apply(Sizes);

} // namespace
} // namespace vanta
BENCHMARK_MAIN();
