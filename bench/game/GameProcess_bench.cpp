// The game as a program (build/bin/vantamax) on a private virtual X display (Xvfb) with
// SDL's dummy audio driver:
//
//   BM_StartUpToFirstLogoFrame   from the exec to the first logo frame on the screen (seen by reading the
//                                window's pixels from the X server until they are no longer black)
//   BM_PeakResidentSizeInLevel   the process's peak resident size (VmHWM) after some seconds of the level,
//                                reached with xdotool's Escape as a player would
#include "support/VirtualDisplay.h"
#include "support/X11Tools.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <string>
#include <sys/wait.h>
#include <thread>

#include <benchmark/benchmark.h>

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr const char* TITLE = "VantaMax Application";

// Whether the window shows anything but black at a few points across it.
bool ShowsAPicture(unsigned long window)
{
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) return false;
    const auto previous = XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    bool seen = false;
    if (XImage* image = XGetImage(display, window, 0, 0, 640, 480, AllPlanes, ZPixmap)) {
        for (int y = 20; y < 480 && !seen; y += 100) {
            for (int x = 20; x < 640 && !seen; x += 100)
                seen = (XGetPixel(image, x, y) & 0xFFFFFF) != 0;
        }
        XDestroyImage(image);
    }
    XSync(display, False);
    XSetErrorHandler(previous);
    XCloseDisplay(display);
    return seen;
}

// Waits until the game's first picture is on the screen; false after 30 s.
bool WaitForFirstPicture(unsigned long& window)
{
    const auto deadline = Clock::now() + 30s;
    while (Clock::now() < deadline) {
        if (window == 0) window = vanta::test::FindWindowByTitle(TITLE);
        if (window != 0 && ShowsAPicture(window)) return true;
        std::this_thread::sleep_for(2ms);
    }
    return false;
}

void Stop(pid_t game)
{
    ::kill(game, SIGKILL);
    vanta::test::WaitForProgram(game);
}

bool Ready(benchmark::State& state)
{
    ::setenv("SDL_AUDIODRIVER", "dummy", 1);
    if (!vanta::test::VirtualDisplay::Shared().Ready()) {
        state.SkipWithError(vanta::test::VirtualDisplay::Shared().Message().c_str());
        return false;
    }
    return true;
}

void BM_StartUpToFirstLogoFrame(benchmark::State& state)
{
    if (!Ready(state)) return;
    for (auto _ : state) {
        const auto start = Clock::now();
        const pid_t game = vanta::test::StartProgram({VANTA_GAME_PROGRAM});
        unsigned long window = 0;
        const bool seen = WaitForFirstPicture(window);
        state.SetIterationTime(std::chrono::duration<double>(Clock::now() - start).count());
        Stop(game);
        if (!seen) {
            state.SkipWithError("the logo never appeared");
            return;
        }
        // The next start must not find this window.
        while (vanta::test::FindWindowByTitle(TITLE) != 0)
            std::this_thread::sleep_for(10ms);
    }
}
BENCHMARK(BM_StartUpToFirstLogoFrame)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

// A field of /proc/<pid>/status in kB, or -1.
long StatusKilobytes(pid_t pid, const std::string& field)
{
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind(field + ":", 0) == 0) return std::atol(line.c_str() + field.size() + 1);
    }
    return -1;
}

void BM_PeakResidentSizeInLevel(benchmark::State& state)
{
    if (!Ready(state)) return;
    for (auto _ : state) {
        const pid_t game = vanta::test::StartProgram({VANTA_GAME_PROGRAM});
        unsigned long window = 0;
        if (!WaitForFirstPicture(window)) {
            Stop(game);
            state.SkipWithError("the logo never appeared");
            return;
        }
        std::this_thread::sleep_for(3s);
        vanta::test::RunProgram({"xdotool", "windowfocus", std::to_string(window)});
        vanta::test::RunProgram({"xdotool", "key", "Escape"});
        std::this_thread::sleep_for(5s);
        state.counters["peak_rss_MiB"] = static_cast<double>(StatusKilobytes(game, "VmHWM")) / 1024.0;
        state.counters["rss_MiB"] = static_cast<double>(StatusKilobytes(game, "VmRSS")) / 1024.0;
        vanta::test::RunProgram({"xdotool", "key", "Escape"});
        const auto deadline = Clock::now() + 10s;
        int status = 0;
        while (::waitpid(game, &status, WNOHANG) == 0 && Clock::now() < deadline)
            std::this_thread::sleep_for(20ms);
        if (Clock::now() >= deadline) Stop(game);
    }
}
BENCHMARK(BM_PeakResidentSizeInLevel)->Unit(benchmark::kSecond)->Iterations(1);

} // namespace

BENCHMARK_MAIN();
