// The level frame's cost and a long run of it, in process: the game's own level (media, twelve layers,
// creature, texts) drawn by the GL 2D driver at 640 x 480 on SDL's offscreen driver (EGL with Mesa's
// llvmpipe) unless SDL_VIDEODRIVER says otherwise. The clock is scripted, so the flip's pacing sleep
// costs nothing and the frames run unpaced.
//
//   BM_LevelFrame   one pass of the level loop (draw, flip, clear, release); the counters give the 2D
//                   driver's calls and image draws per frame (counted once on a recording driver) and the
//                   GL calls of one frame (counted at the GL entry points, support/GLCallCounter.h);
//                   with VANTA_GL_CALLS_BY_NAME=1 that frame's GL calls are listed by entry point on
//                   stderr.
//   BM_LevelSoak    VANTA_SOAK_FRAMES passes (100 000 unless set): the runtime's memory in use after
//                   the first second (60 frames) and at the end, the process's resident size drift (from
//                   the first second, and from the first minute), the C library's heap in use after the
//                   first minute and its growth from there, and the handles issued meanwhile. With
//                   VANTA_SOAK_EVERY=N it prints a line to standard error every N frames (resident size,
//                   its file-backed part, malloc's bytes in use, the runtime's memory in use), so growth
//                   can be seen to level off or keep on.
#include "bench/support/ResidentSize.h"
#include "game/GameGlobals.h"
#include "game/GameMain.h"
#include "game/Level.h"
#include "graphics/Graphics.h"
#include "runtime/Handle.h"
#include "runtime/Memory.h"
#include "support/GLCallCounter.h"
#include "support/RecordingFlat2DDriver.h"
#include "support/ScriptedHostDriver.h"

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <unistd.h>

#include <benchmark/benchmark.h>

namespace vanta::game {
namespace {

// The scripted clock the level runs on (the host driver keeps it alive).
test::TScriptedHostDriver* benchClock = nullptr;

// One pass of the level loop. The scripted clock records every pacing sleep for the tests that check
// them; here the record is emptied each frame, or it would grow by four bytes a frame and show up as the
// process growing (4 MB over a million frames).
void RunFrame()
{
    RunLevelFrame();
    benchClock->sleeps.clear();
}

// The level loaded and its layers made, as `GameMain` leaves it before its loop, on the current driver.
void SetUpLevel()
{
    static bool done = false;
    if (done) return;
    done = true;
    ::setenv("SDL_VIDEODRIVER", "offscreen", 0);
    ::setenv("SDL_AUDIODRIVER", "dummy", 0);
    RunGameModuleInitialisers();
    Ref<test::TScriptedHostDriver> clock = New<test::TScriptedHostDriver>();
    clock->clock = 100000;
    benchClock = clock.Get();
    SetHostDriver(clock);
    GameGlobals& g = Globals();
    g.releaseMark = ReleaseStackLevel();
    g.layers = CreateList();
    g.gateLastClock = ReadClock();
    OpenGraphics(640, 480, 0, 60);
    LoadLevel();
    NewLevelLayers();
}

// Driver calls and image draws of one level frame, on a recording driver. The GL driver is current again
// afterwards.
void CountCalls(double& calls, double& imageDraws)
{
    const Ref<TGraphicsDriver> gl = CurrentGraphicsDriver();
    Ref<test::TRecordingFlat2DDriver> recording = New<test::TRecordingFlat2DDriver>();
    SelectGraphicsDriver(recording, GFX_BACKBUFFER);
    OpenGraphics(640, 480, 0, 60);
    RunFrame(); // the first frame after an open makes the driver frames
    recording->ClearCalls();
    RunFrame();
    calls = static_cast<double>(recording->Log().size());
    imageDraws = static_cast<double>(recording->Calls("FrameDraw").size());
    SelectGraphicsDriver(gl, GFX_BACKBUFFER);
    OpenGraphics(640, 480, 0, 60);
}

void BM_LevelFrame(benchmark::State& state)
{
    SetUpLevel();
    double calls = 0;
    double imageDraws = 0;
    CountCalls(calls, imageDraws);
    RunFrame();
    // The GL calls of one frame on the GL 2D driver, counted at the GL entry points.
    const std::int64_t before = bench::GLCallCount();
    const std::map<std::string, std::int64_t> byNameBefore = bench::GLCallCountsByName();
    RunFrame();
    const double glCalls = static_cast<double>(bench::GLCallCount() - before);
    const char* byName = std::getenv("VANTA_GL_CALLS_BY_NAME");
    if (byName != nullptr && byName[0] == '1') {
        for (const auto& [name, count] : bench::GLCallCountsByName()) {
            const auto old = byNameBefore.find(name);
            const std::int64_t calls = count - (old == byNameBefore.end() ? 0 : old->second);
            if (calls != 0) std::fprintf(stderr, "%-24s %lld\n", name.c_str(), static_cast<long long>(calls));
        }
    }
    for (auto _ : state)
        RunFrame();
    state.counters["driver_calls_per_frame"] = calls;
    state.counters["image_draws_per_frame"] = imageDraws;
    state.counters["gl_calls_per_frame"] = glCalls;
    state.SetItemsProcessed(state.iterations());
}
// Real time, and CPU time of the whole process: Mesa's llvmpipe draws on threads of its own.
BENCHMARK(BM_LevelFrame)->Unit(benchmark::kMillisecond)->MinTime(3.0)->MeasureProcessCPUTime()->UseRealTime();

// The number the handle table would give the next object: it grows only when handles are kept.
std::int32_t NextHandle()
{
    const std::int32_t handle = ObjectToHandle(New<Object>());
    ReleaseHandle(handle);
    return handle;
}

// One line of the soak's series on standard error: frame, resident size and its file-backed part in KiB,
// malloc's bytes in use in KiB, the runtime's bytes in use.
void PrintSoakSample(long frame)
{
    const bench::TResidentSize resident = bench::ReadResidentSize();
    std::fprintf(stderr, "soak %8ld %8lld %8lld %8lld %10lld\n", frame, static_cast<long long>(resident.total >> 10),
                 static_cast<long long>(resident.file >> 10), static_cast<long long>(bench::MallocBytesInUse() >> 10),
                 static_cast<long long>(MemoryInUse()));
}

void BM_LevelSoak(benchmark::State& state)
{
    SetUpLevel();
    const char* setting = std::getenv("VANTA_SOAK_FRAMES");
    const long frames = setting != nullptr ? std::atol(setting) : 100000;
    const char* everySetting = std::getenv("VANTA_SOAK_EVERY");
    const long every = everySetting != nullptr ? std::atol(everySetting) : 0;
    for (auto _ : state) {
        if (every > 0) std::fprintf(stderr, "soak    frame  rss_KiB file_KiB mall_KiB runtime_B\n");
        for (int i = 0; i < 60; ++i)
            RunFrame();
        const std::int64_t memory = MemoryInUse();
        const std::int64_t resident = bench::ResidentBytes();
        const std::int32_t handle = NextHandle();
        // Mesa and the X server's client side settle over the first minute or so; the drift after a minute
        // of play is measured too.
        std::int64_t residentAfterAMinute = resident;
        std::int64_t mallocAfterAMinute = bench::MallocBytesInUse();
        if (every > 0) PrintSoakSample(60);
        for (long i = 60; i < frames; ++i) {
            RunFrame();
            if (i + 1 == 3600) {
                residentAfterAMinute = bench::ResidentBytes();
                mallocAfterAMinute = bench::MallocBytesInUse();
            }
            if (every > 0 && (i + 1) % every == 0) PrintSoakSample(i + 1);
        }
        const std::int64_t residentAtEnd = bench::ResidentBytes();
        state.counters["frames"] = static_cast<double>(frames);
        state.counters["memory_in_use_after_1s"] = static_cast<double>(memory);
        state.counters["memory_in_use_at_end"] = static_cast<double>(MemoryInUse());
        state.counters["rss_after_1s_MiB"] = static_cast<double>(resident) / (1 << 20);
        state.counters["rss_at_end_MiB"] = static_cast<double>(residentAtEnd) / (1 << 20);
        state.counters["rss_drift_percent"] =
            100.0 * static_cast<double>(residentAtEnd - resident) / static_cast<double>(resident);
        state.counters["rss_drift_after_1min_percent"] = 100.0 *
                                                         static_cast<double>(residentAtEnd - residentAfterAMinute) /
                                                         static_cast<double>(residentAfterAMinute);
        state.counters["malloc_after_1min_MiB"] = static_cast<double>(mallocAfterAMinute) / (1 << 20);
        state.counters["malloc_growth_after_1min_KiB"] =
            static_cast<double>(bench::MallocBytesInUse() - mallocAfterAMinute) / (1 << 10);
        // Each probe issues one number itself.
        state.counters["handles_issued"] = static_cast<double>(NextHandle() - handle - 1);
    }
}
BENCHMARK(BM_LevelSoak)->Unit(benchmark::kSecond)->Iterations(1);

} // namespace
} // namespace vanta::game

BENCHMARK_MAIN();
