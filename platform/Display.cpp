// Display modes: enumeration of the first display's modes and full-screen switching through SDL.
//
// Builds on SDL's display modes and full-screen windows, and the window registry of Window.cpp.
// Window thread only.
#include "platform/Display.h"

#include "platform/detail/State.h"

#include <string>

#include <SDL.h>

namespace vanta::platform {
namespace {

constexpr int displayIndex = 0;

DisplayMode FromSdl(const SDL_DisplayMode& mode)
{
    // Windows counts the bytes a pixel occupies: a 24-bit colour mode stored in 32 bits is "32".
    return DisplayMode{mode.w, mode.h, static_cast<int>(SDL_BYTESPERPIXEL(mode.format)) * 8, mode.refresh_rate};
}

bool Matches(const DisplayMode& listed, const DisplayMode& wanted)
{
    return listed.width == wanted.width && listed.height == wanted.height &&
           (wanted.bitsPerPixel == 0 || listed.bitsPerPixel == wanted.bitsPerPixel) &&
           (wanted.refreshRate == 0 || listed.refreshRate == wanted.refreshRate);
}

bool Fail(const std::string& text)
{
    detail::SetWindowError(text);
    return false;
}

} // namespace

bool EnumDisplaySettings(int index, DisplayMode& mode)
{
    if (!detail::VideoReady() || index < 0 || index >= SDL_GetNumDisplayModes(displayIndex)) return false;
    SDL_DisplayMode listed{};
    if (SDL_GetDisplayMode(displayIndex, index, &listed) != 0) return false;
    mode = FromSdl(listed);
    return true;
}

bool GetDesktopDisplayMode(DisplayMode& mode)
{
    SDL_DisplayMode desktop{};
    if (!detail::VideoReady() || SDL_GetDesktopDisplayMode(displayIndex, &desktop) != 0) return false;
    mode = FromSdl(desktop);
    return true;
}

bool ChangeDisplayMode(Window* window, const DisplayMode& mode)
{
    if (!detail::VideoReady() || !detail::IsLiveWindow(window))
        return Fail("Cannot change the display mode: the window does not exist");
    // SDL would settle for the closest mode; Windows refuses a mode it does not list, and callers rely on
    // that refusal (they retry without the refresh rate).
    const int count = SDL_GetNumDisplayModes(displayIndex);
    for (int i = 0; i < count; ++i) {
        SDL_DisplayMode listed{};
        if (SDL_GetDisplayMode(displayIndex, i, &listed) != 0 || !Matches(FromSdl(listed), mode)) continue;
        if (SDL_SetWindowDisplayMode(window->sdl, &listed) != 0 ||
            SDL_SetWindowFullscreen(window->sdl, SDL_WINDOW_FULLSCREEN) != 0)
            return Fail(std::string("Cannot change the display mode: ") + SDL_GetError());
        window->fullScreen = true;
        return true;
    }
    return Fail("Cannot change the display mode: the display does not offer " + std::to_string(mode.width) + "x" +
                std::to_string(mode.height) + " at " + std::to_string(mode.bitsPerPixel) + " bits and " +
                std::to_string(mode.refreshRate) + " Hz");
}

bool RestoreDisplayMode(Window* window)
{
    if (!detail::VideoReady() || !detail::IsLiveWindow(window) || !window->fullScreen) return false;
    window->fullScreen = false;
    if (SDL_SetWindowFullscreen(window->sdl, 0) != 0)
        return Fail(std::string("Cannot restore the desktop mode: ") + SDL_GetError());
    return true;
}

bool IsFullScreen(Window* window)
{
    return detail::IsLiveWindow(window) && window->fullScreen;
}

} // namespace vanta::platform
