// Start and stop of SDL's video, the reason it could not start, the millisecond clock and sleeping.
//
// Builds on SDL (events and video subsystems) and the C++ clock. See the contract in Platform.h.
#include "platform/Platform.h"

#include "platform/detail/State.h"

#include <atomic>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>

#include <SDL.h>

namespace vanta::platform {
namespace {

struct VideoState
{
    std::atomic<bool> eventsRunning{false};
    std::atomic<std::thread::id> windowThread{};
    std::atomic<std::uint32_t> wakeEventType{0};
    std::atomic<VideoStatus> status{VideoStatus::NotStarted};
    std::string driver;
};

// Why the last call of this thread that needed video failed (each thread has its own, like Windows' last
// error, so a call from another thread that fails never races the window thread's text).
thread_local std::string videoError;

VideoState& Video()
{
    static VideoState state;
    return state;
}

bool IsSet(const char* value)
{
    return value != nullptr && value[0] != '\0';
}

// Why no display could be reached, from what the environment names.
std::string NoDisplayReason()
{
    const char* x11 = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if (!IsSet(x11) && !IsSet(wayland)) return "neither DISPLAY nor WAYLAND_DISPLAY is set";
    std::string reason = "cannot connect to";
    if (IsSet(x11)) reason += std::string(" the X display \"") + x11 + "\"";
    if (IsSet(wayland)) reason += std::string(IsSet(x11) ? " or" : "") + " the Wayland display \"" + wayland + "\"";
    return reason;
}

bool IsHeadlessDriver(const char* name)
{
    return name != nullptr && (std::strcmp(name, "offscreen") == 0 || std::strcmp(name, "dummy") == 0);
}

bool StartEvents(VideoState& video)
{
    if (video.eventsRunning.load()) return true;
    if (SDL_InitSubSystem(SDL_INIT_EVENTS) != 0) {
        videoError = std::string("Video cannot start: SDL's event queue failed: ") + SDL_GetError();
        return false;
    }
    video.windowThread.store(std::this_thread::get_id());
    video.wakeEventType.store(SDL_RegisterEvents(1));
    detail::AdoptWindowQueue();
    video.eventsRunning.store(true);
    return true;
}

} // namespace

namespace detail {

void PrepareSdl()
{
    static std::once_flag once;
    std::call_once(once, [] {
        // The process installs its own signal handlers; SDL's would turn SIGINT and SIGTERM into quit
        // events nobody reads.
        SDL_SetHintWithPriority(SDL_HINT_NO_SIGNAL_HANDLERS, "1", SDL_HINT_OVERRIDE);
        // Leaving and re-entering the full-screen mode is the window procedure's business.
        SDL_SetHintWithPriority(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0", SDL_HINT_OVERRIDE);
        SDL_SetHintWithPriority(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0", SDL_HINT_OVERRIDE);
        // A click that activates a window reaches it on Windows; SDL would swallow a press handled within
        // 10 ms of the focus change, which is every activating click that waits in the queue with it.
        SDL_SetHintWithPriority(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1", SDL_HINT_OVERRIDE);
        // Windows programs do not hold the screen saver off unless they ask.
        SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
    });
}

bool OnWindowThread()
{
    const VideoState& video = Video();
    return video.eventsRunning.load() && video.windowThread.load() == std::this_thread::get_id();
}

bool EventsRunning()
{
    return Video().eventsRunning.load();
}

std::uint32_t WakeEventType()
{
    return Video().wakeEventType.load();
}

bool StartEventQueue()
{
    VideoState& video = Video();
    if (video.eventsRunning.load()) return OnWindowThread();
    PrepareSdl();
    return StartEvents(video);
}

bool VideoReady()
{
    return Video().status == VideoStatus::Running && OnWindowThread();
}

} // namespace detail

bool StartVideo()
{
    VideoState& video = Video();
    if (video.status == VideoStatus::Running) {
        if (detail::OnWindowThread()) return true;
        videoError = "Video cannot be used here: it belongs to the thread that started it";
        return false;
    }
    if (video.eventsRunning.load() && !detail::OnWindowThread()) {
        videoError = "Video cannot start: it belongs to the thread that first tried to start it";
        return false;
    }
    detail::PrepareSdl();
    if (!StartEvents(video)) {
        video.status = VideoStatus::Unavailable;
        return false;
    }
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        video.status = VideoStatus::Unavailable;
        videoError = std::string("Video cannot start: ") + SDL_GetError();
        const char* x11 = std::getenv("DISPLAY");
        const char* wayland = std::getenv("WAYLAND_DISPLAY");
        if (!IsSet(x11) && !IsSet(wayland)) videoError += " (no display: " + NoDisplayReason() + ")";
        return false;
    }
    const char* driver = SDL_GetCurrentVideoDriver();
    // SDL falls back to a driver that shows nothing when no display answers; a game window nobody can
    // see is "no display" unless the user asked for that driver.
    if (IsHeadlessDriver(driver) && !IsSet(SDL_GetHint(SDL_HINT_VIDEODRIVER))) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        video.status = VideoStatus::Unavailable;
        videoError = "Video cannot start: no display (" + NoDisplayReason() +
                     "); set SDL_VIDEODRIVER=offscreen to run without one";
        return false;
    }
    video.driver = driver != nullptr ? driver : "";
    videoError.clear();
    video.status = VideoStatus::Running;
    SDL_StartTextInput();
    detail::ApplyCursorVisibility();
    return true;
}

void StopVideo()
{
    VideoState& video = Video();
    if (video.status != VideoStatus::Running || !detail::OnWindowThread()) return;
    detail::ReleaseGLContexts();
    detail::DestroyAllWindows();
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
    detail::ResetTranslation();
    video.status = VideoStatus::NotStarted;
    video.driver.clear();
}

VideoStatus GetVideoStatus()
{
    return Video().status;
}

const char* VideoError()
{
    return videoError.c_str();
}

const char* VideoDriverName()
{
    return Video().driver.c_str();
}

std::uint32_t TimeGetTime()
{
    // steady_clock counts from system start on Linux, as timeGetTime does on Windows; the cast keeps
    // the low 32 bits, which is the wrap.
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    return static_cast<std::uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
}

void Sleep(int milliseconds)
{
    // Windows' Sleep takes an unsigned count, so a negative value would sleep for weeks; here it
    // yields, like Sleep(0).
    if (milliseconds <= 0)
        std::this_thread::yield();
    else
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

std::string EightBitToUtf8(const char* text)
{
    std::string utf8;
    if (text == nullptr) return utf8;
    for (const char* at = text; *at != '\0'; ++at) {
        const auto byte = static_cast<unsigned char>(*at);
        if (byte < 0x80) {
            utf8 += static_cast<char>(byte);
        } else {
            utf8 += static_cast<char>(0xC0 | (byte >> 6));
            utf8 += static_cast<char>(0x80 | (byte & 0x3F));
        }
    }
    return utf8;
}

} // namespace vanta::platform
