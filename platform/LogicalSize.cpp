// Logical sizes, the pointer in the program's coordinates, resizing and desktop full screen.
//
// Builds on SDL's window and drawable sizes and the window records of Window.cpp. Window thread only.
#include "platform/LogicalSize.h"

#include "platform/Window.h"
#include "platform/detail/State.h"

#include <algorithm>
#include <string>

#include <SDL.h>

namespace vanta::platform {
namespace {

bool Usable(const Window* window)
{
    return detail::VideoReady() && detail::IsLiveWindow(window) && window->sdl != nullptr;
}

bool Scaled(const Window* window)
{
    return window != nullptr && window->logicalWidth > 0 && window->logicalHeight > 0;
}

// The client size (SDL's window coordinates) and the drawable size of a usable window.
void Sizes(const Window* window, int& clientWidth, int& clientHeight, int& drawableWidth, int& drawableHeight)
{
    SDL_GetWindowSize(window->sdl, &clientWidth, &clientHeight);
    SDL_GL_GetDrawableSize(window->sdl, &drawableWidth, &drawableHeight);
    // A window without GL has no drawable to ask about: its pixels are its client area.
    if (drawableWidth <= 0 || drawableHeight <= 0) {
        drawableWidth = clientWidth;
        drawableHeight = clientHeight;
    }
}

// a / b rounded towards minus infinity (b > 0).
long long FloorDiv(long long a, long long b)
{
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

} // namespace

PixelRect FitLogicalSize(int drawableWidth, int drawableHeight, int logicalWidth, int logicalHeight,
                         bool wholeMultiples)
{
    if (drawableWidth <= 0 || drawableHeight <= 0 || logicalWidth <= 0 || logicalHeight <= 0) return {};
    const int multiple = std::min(drawableWidth / logicalWidth, drawableHeight / logicalHeight);
    int width = 0;
    int height = 0;
    if (wholeMultiples && multiple >= 1) {
        width = logicalWidth * multiple;
        height = logicalHeight * multiple;
    } else if (static_cast<long long>(drawableWidth) * logicalHeight <=
               static_cast<long long>(drawableHeight) * logicalWidth) {
        // The width decides; the height follows, rounded to the nearest pixel.
        width = drawableWidth;
        height = static_cast<int>((static_cast<long long>(logicalHeight) * drawableWidth * 2 + logicalWidth) /
                                  (2LL * logicalWidth));
    } else {
        height = drawableHeight;
        width = static_cast<int>((static_cast<long long>(logicalWidth) * drawableHeight * 2 + logicalHeight) /
                                 (2LL * logicalHeight));
    }
    width = std::clamp(width, 1, drawableWidth);
    height = std::clamp(height, 1, drawableHeight);
    return PixelRect{(drawableWidth - width) / 2, (drawableHeight - height) / 2, width, height};
}

namespace detail {

void ClientToLogical(const Window* window, int& x, int& y)
{
    if (!Scaled(window) || !Usable(window)) return;
    int clientWidth = 0, clientHeight = 0, drawableWidth = 0, drawableHeight = 0;
    Sizes(window, clientWidth, clientHeight, drawableWidth, drawableHeight);
    if (clientWidth <= 0 || clientHeight <= 0) return;
    const PixelRect rect = FitLogicalSize(drawableWidth, drawableHeight, window->logicalWidth, window->logicalHeight,
                                          window->wholeMultiples);
    if (rect.width <= 0 || rect.height <= 0) return;
    // Client position -> drawable pixel -> picture pixel, each step rounding down, then onto the picture.
    const long long px = FloorDiv(static_cast<long long>(x) * drawableWidth, clientWidth);
    const long long py = FloorDiv(static_cast<long long>(y) * drawableHeight, clientHeight);
    const long long lx = FloorDiv((px - rect.x) * window->logicalWidth, rect.width);
    const long long ly = FloorDiv((py - rect.y) * window->logicalHeight, rect.height);
    x = static_cast<int>(std::clamp<long long>(lx, 0, window->logicalWidth - 1));
    y = static_cast<int>(std::clamp<long long>(ly, 0, window->logicalHeight - 1));
}

void LogicalToClient(const Window* window, int& x, int& y)
{
    if (!Scaled(window) || !Usable(window)) return;
    int clientWidth = 0, clientHeight = 0, drawableWidth = 0, drawableHeight = 0;
    Sizes(window, clientWidth, clientHeight, drawableWidth, drawableHeight);
    if (drawableWidth <= 0 || drawableHeight <= 0) return;
    const PixelRect rect = FitLogicalSize(drawableWidth, drawableHeight, window->logicalWidth, window->logicalHeight,
                                          window->wholeMultiples);
    // The centre of the picture pixel, in drawable pixels, then in client coordinates.
    const long long px = rect.x + (static_cast<long long>(x) * 2 + 1) * rect.width / (2LL * window->logicalWidth);
    const long long py = rect.y + (static_cast<long long>(y) * 2 + 1) * rect.height / (2LL * window->logicalHeight);
    x = static_cast<int>(FloorDiv(px * clientWidth, drawableWidth));
    y = static_cast<int>(FloorDiv(py * clientHeight, drawableHeight));
}

} // namespace detail

bool SetLogicalSize(Window* window, int width, int height, bool wholeMultiples)
{
    if (!Usable(window)) return false;
    const bool on = width > 0 && height > 0;
    window->logicalWidth = on ? width : 0;
    window->logicalHeight = on ? height : 0;
    window->wholeMultiples = on && wholeMultiples;
    return true;
}

bool HasLogicalSize(Window* window)
{
    return Usable(window) && Scaled(window);
}

bool GetLogicalViewport(Window* window, PixelRect& rect)
{
    if (!HasLogicalSize(window)) return false;
    int clientWidth = 0, clientHeight = 0, drawableWidth = 0, drawableHeight = 0;
    Sizes(window, clientWidth, clientHeight, drawableWidth, drawableHeight);
    rect = FitLogicalSize(drawableWidth, drawableHeight, window->logicalWidth, window->logicalHeight,
                          window->wholeMultiples);
    return true;
}

void GetDrawableSize(Window* window, int& width, int& height)
{
    width = 0;
    height = 0;
    if (!Usable(window)) return;
    int clientWidth = 0;
    int clientHeight = 0;
    Sizes(window, clientWidth, clientHeight, width, height);
}

void SetWindowResizable(Window* window, bool resizable)
{
    if (!Usable(window)) return;
    SDL_SetWindowResizable(window->sdl, resizable ? SDL_TRUE : SDL_FALSE);
    if (resizable)
        window->style |= WS_THICKFRAME;
    else
        window->style &= ~WS_THICKFRAME;
}

void SetClientSize(Window* window, int width, int height)
{
    if (Usable(window)) SDL_SetWindowSize(window->sdl, std::max(width, 1), std::max(height, 1));
}

bool SetDesktopFullScreen(Window* window, bool fullScreen)
{
    if (!Usable(window)) {
        detail::SetWindowError("Cannot change full screen: the window does not exist");
        return false;
    }
    if (window->desktopFullScreen == fullScreen) return true;
    if (fullScreen) {
        SDL_GetWindowPosition(window->sdl, &window->windowedX, &window->windowedY);
        SDL_GetWindowSize(window->sdl, &window->windowedWidth, &window->windowedHeight);
        if (SDL_SetWindowFullscreen(window->sdl, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) {
            detail::SetWindowError(std::string("Cannot go full screen: ") + SDL_GetError());
            return false;
        }
        window->desktopFullScreen = true;
        return true;
    }
    if (SDL_SetWindowFullscreen(window->sdl, 0) != 0) {
        detail::SetWindowError(std::string("Cannot leave full screen: ") + SDL_GetError());
        return false;
    }
    window->desktopFullScreen = false;
    // Desktops differ in what they give back; the window is put where it was, at its old size, either way.
    SDL_SetWindowSize(window->sdl, window->windowedWidth, window->windowedHeight);
    SDL_SetWindowPosition(window->sdl, window->windowedX, window->windowedY);
    return true;
}

bool IsDesktopFullScreen(Window* window)
{
    return detail::IsLiveWindow(window) && window->desktopFullScreen;
}

} // namespace vanta::platform
