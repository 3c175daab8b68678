// Windows: creation from Windows styles, the registry that ties SDL windows to ours, placement, focus and
// the pointer.
//
// Builds on SDL windows. The registry is read from any thread (`PostMessage` checks that a window still
// exists) and changed on the window thread only, both under one mutex.
#include "platform/Window.h"

#include "platform/GLContext.h"
#include "platform/Platform.h"
#include "platform/detail/State.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <string>
#include <vector>

#include <SDL.h>

namespace vanta::platform {
namespace {

constexpr const char* windowDataKey = "vanta.window";

std::mutex registryMutex;
std::vector<Window*> registry;
std::atomic<int> cursorCounter{0};
// The reason of this thread's last failed window call (per thread, like Windows' last error).
thread_local std::string windowError;

bool IsRegisteredLocked(const Window* window)
{
    return window != nullptr && std::find(registry.begin(), registry.end(), window) != registry.end();
}

// A window that exists (a stale pointer is never read) and can be given to SDL.
bool Usable(const Window* window)
{
    return detail::VideoReady() && detail::IsLiveWindow(window) && window->sdl != nullptr;
}

Uint32 SdlFlags(std::uint32_t exStyle, std::uint32_t style)
{
    Uint32 flags = (style & WS_VISIBLE) != 0 ? SDL_WINDOW_SHOWN : SDL_WINDOW_HIDDEN;
    // A window manager frame always carries a title bar, so a frame without a caption cannot be had:
    // anything short of a full caption is borderless.
    if ((style & WS_CAPTION) != WS_CAPTION) flags |= SDL_WINDOW_BORDERLESS;
    // Without a sizing border SDL pins the window's minimum and maximum sizes, which is how X11 and
    // Wayland desktops learn that it has no sizing handles.
    if ((style & WS_THICKFRAME) != 0) flags |= SDL_WINDOW_RESIZABLE;
    if ((exStyle & WS_EX_TOPMOST) != 0) flags |= SDL_WINDOW_ALWAYS_ON_TOP;
    return flags;
}

// The pixel-format request with the least important parts given up, step by step, as Windows'
// ChoosePixelFormat settles for the closest format instead of failing.
PixelFormat Relaxed(PixelFormat format, int step)
{
    if (step >= 1) format.accumBits = 0;
    if (step >= 2) format.stencilBits = 0;
    if (step >= 3) format.alphaBits = 0;
    if (step >= 4) format.depthBits = 0;
    if (step >= 5) format.flags ^= PFD_DOUBLEBUFFER;
    return format;
}
constexpr int relaxSteps = 5;

} // namespace

namespace detail {

void SetWindowError(const std::string& text)
{
    windowError = text;
}

void ApplyPixelFormat(const PixelFormat& format)
{
    SDL_GL_ResetAttributes();
    const int channel = std::clamp((format.colorBits + 2) / 3, 0, 8);
    const int accumChannel = std::clamp((format.accumBits + 3) / 4, 0, 16);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, channel);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, channel);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, channel);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, std::clamp(format.alphaBits, 0, 8));
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, std::clamp(format.depthBits, 0, 32));
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, std::clamp(format.stencilBits, 0, 8));
    SDL_GL_SetAttribute(SDL_GL_ACCUM_RED_SIZE, accumChannel);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_GREEN_SIZE, accumChannel);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_BLUE_SIZE, accumChannel);
    SDL_GL_SetAttribute(SDL_GL_ACCUM_ALPHA_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, (format.flags & PFD_DOUBLEBUFFER) != 0 ? 1 : 0);
}

Window* WindowFromSdl(SDL_Window* window)
{
    return window != nullptr ? static_cast<Window*>(SDL_GetWindowData(window, windowDataKey)) : nullptr;
}

Window* WindowFromSdlId(std::uint32_t id)
{
    return WindowFromSdl(SDL_GetWindowFromID(id));
}

bool IsLiveWindow(const Window* window)
{
    std::lock_guard lock(registryMutex);
    return IsRegisteredLocked(window);
}

WindowProc LiveWindowProc(const Window* window)
{
    std::lock_guard lock(registryMutex);
    if (!IsRegisteredLocked(window)) return nullptr;
    return window->proc != nullptr ? window->proc : DefWindowProc;
}

bool PostToLiveWindow(const Message& message)
{
    std::lock_guard lock(registryMutex);
    if (!IsRegisteredLocked(message.window)) return false;
    PushToWindowQueue(message);
    return true;
}

void ApplyCursorVisibility()
{
    SDL_ShowCursor(cursorCounter.load() >= 0 ? SDL_ENABLE : SDL_DISABLE);
}

void DestroyAllWindows()
{
    std::vector<Window*> windows;
    {
        std::lock_guard lock(registryMutex);
        windows = registry;
    }
    for (auto it = windows.rbegin(); it != windows.rend(); ++it)
        DestroyWindow(*it);
}

} // namespace detail

const char* WindowError()
{
    return windowError.c_str();
}

std::intptr_t DefWindowProc(Window*, std::uint32_t, std::uintptr_t, std::intptr_t)
{
    return 0;
}

Window* CreateWindow(std::uint32_t exStyle, const char* title, std::uint32_t style, int x, int y, int width, int height,
                     WindowProc proc, const PixelFormat* pixelFormat)
{
    if (!StartVideo()) {
        windowError = VideoError();
        return nullptr;
    }
    Uint32 flags = SdlFlags(exStyle, style);
    if (pixelFormat != nullptr) flags |= SDL_WINDOW_OPENGL;
    const int left = x == CW_USEDEFAULT ? static_cast<int>(SDL_WINDOWPOS_UNDEFINED) : x;
    const int top = y == CW_USEDEFAULT ? static_cast<int>(SDL_WINDOWPOS_UNDEFINED) : y;
    const char* text = title != nullptr ? title : "";

    SDL_Window* sdl = nullptr;
    PixelFormat chosen;
    std::string firstError;
    for (int step = 0; step <= (pixelFormat != nullptr ? relaxSteps : 0) && sdl == nullptr; ++step) {
        if (pixelFormat != nullptr) {
            chosen = Relaxed(*pixelFormat, step);
            detail::ApplyPixelFormat(chosen);
        }
        sdl = SDL_CreateWindow(text, left, top, std::max(width, 1), std::max(height, 1), flags);
        if (sdl == nullptr && step == 0) firstError = SDL_GetError();
    }
    if (sdl == nullptr) {
        windowError = "Cannot create the window: " + firstError;
        return nullptr;
    }

    auto* window = new Window;
    window->sdl = sdl;
    window->id = SDL_GetWindowID(sdl);
    window->proc = proc;
    window->style = style;
    window->exStyle = exStyle;
    window->hasPixelFormat = pixelFormat != nullptr;
    window->pixelFormat = chosen;
    SDL_SetWindowData(sdl, windowDataKey, window);
    {
        std::lock_guard lock(registryMutex);
        registry.push_back(window);
    }
    // A visible window made by the program in front is activated on Windows; ask the desktop for the same.
    if ((style & WS_VISIBLE) != 0) SetFocus(window);
    windowError.clear();
    return window;
}

void DestroyWindow(Window* window)
{
    // Whether the window still exists is asked before anything is read from it: a stale pointer may
    // point at freed memory.
    if (!detail::IsLiveWindow(window) || window->destroying) return;
    window->destroying = true;
    SendMessage(window, WM_DESTROY, 0, 0);
    {
        std::lock_guard lock(registryMutex);
        std::erase(registry, window);
    }
    detail::DiscardMessagesFor(window);
    detail::ForgetContextsOf(window);
    SDL_DestroyWindow(window->sdl);
    delete window;
}

bool IsWindow(Window* window)
{
    return detail::IsLiveWindow(window);
}

void SetWindowProc(Window* window, WindowProc proc)
{
    std::lock_guard lock(registryMutex);
    if (IsRegisteredLocked(window)) window->proc = proc;
}

void SetWindowUserData(Window* window, void* data)
{
    if (detail::IsLiveWindow(window)) window->userData = data;
}

void* WindowUserData(Window* window)
{
    return detail::IsLiveWindow(window) ? window->userData : nullptr;
}

std::uint32_t GetWindowStyle(Window* window)
{
    if (!Usable(window)) return 0;
    const Uint32 flags = SDL_GetWindowFlags(window->sdl);
    std::uint32_t style = (flags & SDL_WINDOW_BORDERLESS) != 0 ? WS_POPUP : WS_CAPTION;
    if ((flags & SDL_WINDOW_SHOWN) != 0 && (flags & SDL_WINDOW_HIDDEN) == 0) style |= WS_VISIBLE;
    if ((flags & SDL_WINDOW_RESIZABLE) != 0) style |= WS_THICKFRAME;
    return style;
}

std::uint32_t GetWindowExStyle(Window* window)
{
    if (!Usable(window)) return 0;
    return (SDL_GetWindowFlags(window->sdl) & SDL_WINDOW_ALWAYS_ON_TOP) != 0 ? WS_EX_TOPMOST : 0;
}

const char* GetWindowTitle(Window* window)
{
    return Usable(window) ? SDL_GetWindowTitle(window->sdl) : "";
}

void SetWindowTitle(Window* window, const char* title)
{
    if (Usable(window)) SDL_SetWindowTitle(window->sdl, title != nullptr ? title : "");
}

void GetClientSize(Window* window, int& width, int& height)
{
    width = 0;
    height = 0;
    if (Usable(window)) SDL_GetWindowSize(window->sdl, &width, &height);
}

void GetWindowPosition(Window* window, int& x, int& y)
{
    x = 0;
    y = 0;
    if (Usable(window)) SDL_GetWindowPosition(window->sdl, &x, &y);
}

void SetWindowPosition(Window* window, int x, int y)
{
    if (Usable(window)) SDL_SetWindowPosition(window->sdl, x, y);
}

void ClientToScreen(Window* window, int& x, int& y)
{
    int left = 0;
    int top = 0;
    GetWindowPosition(window, left, top);
    x += left;
    y += top;
}

void ShowWindow(Window* window, bool show)
{
    if (!Usable(window)) return;
    if (show)
        SDL_ShowWindow(window->sdl);
    else
        SDL_HideWindow(window->sdl);
}

void MinimizeWindow(Window* window)
{
    if (Usable(window)) SDL_MinimizeWindow(window->sdl);
}

void RestoreWindow(Window* window)
{
    if (Usable(window)) SDL_RestoreWindow(window->sdl);
}

bool IsWindowMinimized(Window* window)
{
    return Usable(window) && (SDL_GetWindowFlags(window->sdl) & SDL_WINDOW_MINIMIZED) != 0;
}

Window* GetFocus()
{
    return detail::VideoReady() ? detail::WindowFromSdl(SDL_GetKeyboardFocus()) : nullptr;
}

Window* GetActiveWindow()
{
    return GetFocus();
}

bool SetFocus(Window* window)
{
    if (!Usable(window)) return false;
    SDL_RaiseWindow(window->sdl);
    // Asking for the focus of a hidden window is an X11 error; it gets it when shown.
    if ((SDL_GetWindowFlags(window->sdl) & SDL_WINDOW_SHOWN) != 0) SDL_SetWindowInputFocus(window->sdl);
    return true;
}

int ShowCursor(bool show)
{
    const int counter = cursorCounter.fetch_add(show ? 1 : -1) + (show ? 1 : -1);
    if (detail::VideoReady()) SDL_ShowCursor(counter >= 0 ? SDL_ENABLE : SDL_DISABLE);
    return counter;
}

bool WarpPointer(Window* window, int x, int y)
{
    if (!Usable(window)) return false;
    detail::LogicalToClient(window, x, y);
    SDL_WarpMouseInWindow(window->sdl, x, y);
    return true;
}

bool SetCapture(Window* window)
{
    if (!Usable(window)) return false;
    if (SDL_GetKeyboardFocus() != window->sdl) {
        windowError = "Cannot capture the mouse: the window does not have the focus";
        return false;
    }
    if (SDL_CaptureMouse(SDL_TRUE) != 0) {
        windowError = std::string("Cannot capture the mouse: ") + SDL_GetError();
        return false;
    }
    return true;
}

void ReleaseCapture()
{
    if (detail::VideoReady()) SDL_CaptureMouse(SDL_FALSE);
}

} // namespace vanta::platform
