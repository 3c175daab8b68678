// Start and stop of SDL's video, the reason it could not start, the millisecond clock and sleeping.
//
// Builds on SDL (events and video subsystems) and the C++ clock. See the contract in Platform.h.
#include "platform/Platform.h"

#include "platform/detail/State.h"

#include <atomic>
#include <cctype>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <sys/stat.h>
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

// How often `StartVideo` tries a local X display that does not answer, and its first wait between two
// tries, doubled at each further one: 25 ms up to 1.6 s, 3.2 s in all.
constexpr int CONNECT_TRIES = 8;
constexpr int CONNECT_FIRST_WAIT = 25;

// The socket of the local X display that DISPLAY names (":0", ":0.1", "unix:0"), or an empty text when
// DISPLAY is not set or names a display on another host.
std::string LocalDisplaySocket()
{
    const char* x11 = std::getenv("DISPLAY");
    if (!IsSet(x11)) return {};
    const std::string name = x11;
    const std::size_t colon = name.rfind(':');
    if (colon == std::string::npos) return {};
    const std::string host = name.substr(0, colon);
    if (!host.empty() && host != "unix") return {};
    std::size_t end = colon + 1;
    while (end < name.size() && std::isdigit(static_cast<unsigned char>(name[end])) != 0)
        ++end;
    if (end == colon + 1) return {};
    return "/tmp/.X11-unix/X" + name.substr(colon + 1, end - colon - 1);
}

// Whether a failed start may have met an X server in the middle of its reset: X11 is the driver asked
// for (or any is), and the server of the local display in DISPLAY has its socket in place.
bool MayBeResetting()
{
    const char* wanted = SDL_GetHint(SDL_HINT_VIDEODRIVER);
    if (IsSet(wanted) && std::strcmp(wanted, "x11") != 0) return false;
    const std::string socket = LocalDisplaySocket();
    struct stat info
    {};
    return !socket.empty() && ::stat(socket.c_str(), &info) == 0 && S_ISSOCK(info.st_mode);
}

// One try at starting SDL's video: true when a driver that shows windows runs (or the driver the user
// asked for); otherwise video is stopped again and `videoError` says why.
bool TryVideoDriver()
{
    // A server that drops the connection while Xlib writes its greeting would end the process with
    // SIGPIPE before SDL could report the failure (and before a retry); the signal is ignored for the
    // try unless the program installed a handler of its own.
    struct sigaction ignore
    {};
    ignore.sa_handler = SIG_IGN;
    struct sigaction previous
    {};
    ::sigaction(SIGPIPE, nullptr, &previous);
    const bool quiet = previous.sa_handler == SIG_DFL;
    if (quiet) ::sigaction(SIGPIPE, &ignore, nullptr);
    const int started = SDL_InitSubSystem(SDL_INIT_VIDEO);
    if (quiet) ::sigaction(SIGPIPE, &previous, nullptr);
    if (started != 0) {
        videoError = std::string("Video cannot start: ") + SDL_GetError();
        const char* x11 = std::getenv("DISPLAY");
        const char* wayland = std::getenv("WAYLAND_DISPLAY");
        if (!IsSet(x11) && !IsSet(wayland)) videoError += " (no display: " + NoDisplayReason() + ")";
        return false;
    }
    // SDL falls back to a driver that shows nothing when no display answers; a game window nobody can
    // see is "no display" unless the user asked for that driver.
    if (IsHeadlessDriver(SDL_GetCurrentVideoDriver()) && !IsSet(SDL_GetHint(SDL_HINT_VIDEODRIVER))) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        videoError = "Video cannot start: no display (" + NoDisplayReason() +
                     "); set SDL_VIDEODRIVER=offscreen to run without one";
        return false;
    }
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
    // An X server started without -noreset (xvfb-run starts them so) resets when its last client leaves
    // and drops a connection that arrives meanwhile: a program started right after another one ended
    // then finds no display, although the server answers a moment later. A local X display whose socket
    // is there is asked again, with growing waits and a bounded number of times; each new try is reported
    // on standard error.
    int wait = CONNECT_FIRST_WAIT;
    for (int attempt = 1; !TryVideoDriver(); ++attempt) {
        if (attempt == CONNECT_TRIES || !MayBeResetting()) {
            if (attempt > 1) videoError += " (" + std::to_string(attempt) + " tries)";
            video.status = VideoStatus::Unavailable;
            return false;
        }
        std::fprintf(
            stderr,
            "VantaMax: the X display \"%s\" did not take the connection; trying again in %d ms (try %d of %d)\n",
            std::getenv("DISPLAY"), wait, attempt + 1, CONNECT_TRIES);
        Sleep(wait);
        wait *= 2;
    }
    const char* driver = SDL_GetCurrentVideoDriver();
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
