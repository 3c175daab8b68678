// Pixmaps: the pixel converter for every format pair (time per pixel over a 640-pixel row, the width of
// the game's pictures) and bilinear resizing of a 640 x 480 picture down and up.
#include "pixmap/Pixmap.h"

#include <cstring>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

namespace {

using namespace vanta;

constexpr std::int32_t ROW = 640;

const char* FormatName(std::int32_t format)
{
    static const char* const names[] = {"?", "I8", "A8", "BGR888", "RGB888", "BGRA8888", "RGBA8888"};
    return names[format];
}

std::vector<std::uint8_t> Noise(std::size_t count)
{
    std::vector<std::uint8_t> bytes(count);
    std::uint32_t seed = 12345;
    for (std::uint8_t& b : bytes) {
        seed = seed * 1664525u + 1013904223u;
        b = static_cast<std::uint8_t>(seed >> 24);
    }
    return bytes;
}

void BM_ConvertPixels(benchmark::State& state, std::int32_t from, std::int32_t to)
{
    const std::vector<std::uint8_t> source = Noise(ROW * 4);
    std::vector<std::uint8_t> destination(ROW * 4);
    for (auto _ : state) {
        ConvertPixels(source.data(), from, destination.data(), to, ROW);
        benchmark::DoNotOptimize(destination.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * ROW);
    state.counters["per_pixel"] = benchmark::Counter(static_cast<double>(state.iterations()) * ROW,
                                                     benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}

Ref<TPixmap> Picture(std::int32_t format)
{
    Ref<TPixmap> picture = CreatePixmap(640, 480, format);
    const std::vector<std::uint8_t> noise = Noise(static_cast<std::size_t>(picture->Capacity()));
    std::memcpy(picture->Pixels(), noise.data(), noise.size());
    return picture;
}

void BM_ResizePixmap(benchmark::State& state, std::int32_t format)
{
    const int level = ReleaseStackLevel();
    const Ref<TPixmap> picture = Picture(format);
    const auto width = static_cast<std::int32_t>(state.range(0));
    const auto height = static_cast<std::int32_t>(state.range(1));
    for (auto _ : state) {
        Ref<TPixmap> resized = ResizePixmap(picture, width, height);
        benchmark::DoNotOptimize(resized->Pixels());
        resized = Null;
        // Each result dies at once, as the game's frame flush would do, so memory stays flat.
        FlushReleaseStack(level);
    }
    state.SetItemsProcessed(state.iterations() * width * height);
}

void BM_MaskPixmap(benchmark::State& state)
{
    const int level = ReleaseStackLevel();
    const Ref<TPixmap> picture = Picture(PF_RGB888);
    for (auto _ : state) {
        Ref<TPixmap> masked = MaskPixmap(picture, 255, 0, 255);
        benchmark::DoNotOptimize(masked->Pixels());
        masked = Null;
        FlushReleaseStack(level);
    }
    state.SetItemsProcessed(state.iterations() * 640 * 480);
}

void RegisterAll()
{
    for (std::int32_t from = PF_I8; from <= PF_RGBA8888; ++from) {
        for (std::int32_t to = PF_I8; to <= PF_RGBA8888; ++to) {
            const std::string name = std::string("BM_ConvertPixels/") + FormatName(from) + "->" + FormatName(to);
            benchmark::RegisterBenchmark(name.c_str(), BM_ConvertPixels, from, to);
        }
    }
    for (const std::int32_t format : {PF_RGBA8888, PF_RGB888}) {
        const std::string name = std::string("BM_ResizePixmap/") + FormatName(format);
        benchmark::RegisterBenchmark(name.c_str(), BM_ResizePixmap, format)
            ->Args({320, 240})
            ->Args({1280, 960})
            ->Unit(benchmark::kMillisecond);
    }
    benchmark::RegisterBenchmark("BM_MaskPixmap/RGB888", BM_MaskPixmap)->Unit(benchmark::kMillisecond);
}

} // namespace

int main(int argc, char** argv)
{
    InitPixmaps();
    RegisterAll();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
