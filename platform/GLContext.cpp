// OpenGL contexts on SDL windows: creation with sharing, the current context, buffer swaps.
//
// Builds on SDL's GL functions and the window registry of Window.cpp. Window thread only. SDL decides
// sharing when a context is created (the share partner must be current then) and makes every new
// context current; both are hidden here so that the calls behave like their WGL models.
#include "platform/GLContext.h"

#include "platform/detail/State.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include <GL/gl.h>
#include <SDL.h>

namespace vanta::platform {

struct GLContext
{
    SDL_GLContext sdl = nullptr; // null once video has stopped: it belonged to the display that went
    Window* window = nullptr;    // null once the window is destroyed
};

namespace {

std::vector<GLContext*> contexts;
// The reason of this thread's last failed GL context call (per thread, like Windows' last error).
thread_local std::string glError;

bool Fail(const std::string& text)
{
    glError = text;
    return false;
}

GLContext* FailNull(const std::string& text)
{
    glError = text;
    return nullptr;
}

// Puts back the context that was current before an operation needed another one.
class CurrentContextGuard
{
public:
    CurrentContextGuard() : window_(SDL_GL_GetCurrentWindow()), context_(SDL_GL_GetCurrentContext()) {}
    ~CurrentContextGuard()
    {
        if (SDL_GL_GetCurrentContext() != context_ || SDL_GL_GetCurrentWindow() != window_)
            SDL_GL_MakeCurrent(context_ != nullptr ? window_ : nullptr, context_);
    }
    CurrentContextGuard(const CurrentContextGuard&) = delete;
    CurrentContextGuard& operator=(const CurrentContextGuard&) = delete;

private:
    SDL_Window* window_;
    SDL_GLContext context_;
};

} // namespace

namespace detail {

void ForgetContextsOf(const Window* window)
{
    for (GLContext* context : contexts) {
        if (context->window == window) context->window = nullptr;
    }
}

void ReleaseGLContexts()
{
    // While the windows still exist: SDL unloads the GL library with the last GL window, and deleting a
    // context after that does nothing.
    for (GLContext* context : contexts) {
        SDL_GL_DeleteContext(context->sdl);
        context->sdl = nullptr;
        context->window = nullptr;
    }
}

} // namespace detail

GLContext* CreateGLContext(Window* window, GLContext* shareWith)
{
    if (!detail::VideoReady()) return FailNull("Cannot create a GL context: video is not running on this thread");
    if (!detail::IsLiveWindow(window)) return FailNull("Cannot create a GL context: the window does not exist");
    if (!window->hasPixelFormat)
        return FailNull("Cannot create a GL context: the window was created without a pixel format");
    if (shareWith != nullptr && shareWith->window == nullptr)
        return FailNull("Cannot create a GL context: the context to share with has lost its window");

    SDL_GLContext created = nullptr;
    {
        const CurrentContextGuard restore;
        detail::ApplyPixelFormat(window->pixelFormat);
        if (shareWith != nullptr) {
            if (SDL_GL_MakeCurrent(shareWith->window->sdl, shareWith->sdl) != 0)
                return FailNull(std::string("Cannot create a GL context: ") + SDL_GetError());
            SDL_GL_SetAttribute(SDL_GL_SHARE_WITH_CURRENT_CONTEXT, 1);
        }
        created = SDL_GL_CreateContext(window->sdl);
        if (created == nullptr) glError = std::string("Cannot create a GL context: ") + SDL_GetError();
        SDL_GL_SetAttribute(SDL_GL_SHARE_WITH_CURRENT_CONTEXT, 0);
    }
    if (created == nullptr) return nullptr;
    auto* context = new GLContext{created, window};
    contexts.push_back(context);
    glError.clear();
    return context;
}

void DeleteGLContext(GLContext* context)
{
    if (context == nullptr) return;
    std::erase(contexts, context);
    if (context->sdl != nullptr) SDL_GL_DeleteContext(context->sdl);
    delete context;
}

bool MakeCurrent(GLContext* context)
{
    if (!detail::VideoReady()) return Fail("Cannot make a GL context current: video is not running on this thread");
    if (context == nullptr) return SDL_GL_MakeCurrent(nullptr, nullptr) == 0;
    if (context->window == nullptr) return Fail("Cannot make a GL context current: its window was destroyed");
    if (SDL_GL_MakeCurrent(context->window->sdl, context->sdl) != 0)
        return Fail(std::string("Cannot make a GL context current: ") + SDL_GetError());
    return true;
}

GLContext* CurrentGLContext()
{
    if (!detail::VideoReady()) return nullptr;
    const SDL_GLContext current = SDL_GL_GetCurrentContext();
    if (current == nullptr) return nullptr;
    for (GLContext* context : contexts) {
        if (context->sdl == current) return context;
    }
    return nullptr;
}

Window* GLContextWindow(GLContext* context)
{
    return context != nullptr ? context->window : nullptr;
}

namespace {

// Presents the current context's back buffer. An offscreen window has no display to wait for, so its swap
// returns at once and an unpaced loop would queue frames in the GL driver without bound (gigabytes within
// seconds): there the swap waits until the frame is drawn, as a display's swap would.
void SwapCurrent(SDL_Window* window)
{
    SDL_GL_SwapWindow(window);
    const char* driver = SDL_GetCurrentVideoDriver();
    if (driver != nullptr && std::strcmp(driver, "offscreen") == 0) glFinish();
}

} // namespace

bool SwapBuffers(Window* window)
{
    if (!detail::VideoReady() || !detail::IsLiveWindow(window))
        return Fail("Cannot swap buffers: the window does not exist");
    if (SDL_GL_GetCurrentContext() != nullptr && SDL_GL_GetCurrentWindow() == window->sdl) {
        SwapCurrent(window->sdl);
        return true;
    }
    // SDL only swaps the window of the current context, Windows swaps any window's buffers.
    const auto own = std::find_if(contexts.begin(), contexts.end(),
                                  [window](const GLContext* context) { return context->window == window; });
    if (own == contexts.end()) return Fail("Cannot swap buffers: the window has no GL context");
    const CurrentContextGuard restore;
    if (SDL_GL_MakeCurrent(window->sdl, (*own)->sdl) != 0)
        return Fail(std::string("Cannot swap buffers: ") + SDL_GetError());
    SwapCurrent(window->sdl);
    return true;
}

bool SetSwapInterval(int interval)
{
    if (!detail::VideoReady() || SDL_GL_GetCurrentContext() == nullptr)
        return Fail("Cannot set the swap interval: no GL context is current");
    if (SDL_GL_SetSwapInterval(interval) != 0)
        return Fail(std::string("Cannot set the swap interval: ") + SDL_GetError());
    return true;
}

bool DescribeCurrentPixelFormat(PixelFormatInfo& info)
{
    if (CurrentGLContext() == nullptr) return Fail("No GL context is current");
    GLboolean doubleBuffer = GL_FALSE;
    glGetBooleanv(GL_DOUBLEBUFFER, &doubleBuffer);
    info.doubleBuffer = doubleBuffer != GL_FALSE;
    const auto read = [](GLenum name) {
        GLint value = 0;
        glGetIntegerv(name, &value);
        return static_cast<int>(value);
    };
    info.redBits = read(GL_RED_BITS);
    info.greenBits = read(GL_GREEN_BITS);
    info.blueBits = read(GL_BLUE_BITS);
    info.alphaBits = read(GL_ALPHA_BITS);
    info.depthBits = read(GL_DEPTH_BITS);
    info.stencilBits = read(GL_STENCIL_BITS);
    info.accumBits =
        read(GL_ACCUM_RED_BITS) + read(GL_ACCUM_GREEN_BITS) + read(GL_ACCUM_BLUE_BITS) + read(GL_ACCUM_ALPHA_BITS);
    return true;
}

void* GetGLProcAddress(const char* name)
{
    if (name == nullptr || !detail::VideoReady()) return nullptr;
    return SDL_GL_GetProcAddress(name);
}

const char* GLError()
{
    return glError.c_str();
}

} // namespace vanta::platform
