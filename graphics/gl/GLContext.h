// The GL window and context layer: windows with OpenGL contexts that share their textures through one
// hidden context, full-screen display modes switched by focus, buffer swaps, display modes and the
// pointer.
//
// Builds on platform/ (windows with procedures, GL contexts, display modes, the pointer counter) and the
// program title of runtime/Startup.h. Every context made here shares textures and display lists with a
// hidden shared context (a 1 x 1 invisible window), so that textures made while one window is current
// stay valid in the others; a full-screen context is the exception (the shared context is destroyed
// when it is made, and it shares with nothing).
//
// Where this differs from the Windows design it was written for:
//   * There are no window classes: `GLWindowProc` is given to each window directly, and no class
//     registration can fail.
//   * A window's pixel format is fixed when the window is created, and sharing is decided when a context
//     is created (there is no wglShareLists): `GLContextAttach` uses the format the window was made with
//     and ignores the flags' buffer requests.
//   * Without a display, or when the hidden shared context cannot be made, creation answers null and
//     `GLContextError` says why; nothing ends the process.
//   * The full-screen display mode belongs to the full-screen window (SDL switches modes through a
//     window): the focus messages switch and restore it for that window only, and only its WM_DESTROY
//     gives the desktop mode and the pointer back.
//   * The switch to the shared context is a scoped object (`GLSharedContextScope`) that puts back
//     whatever was current, not a toggle called twice.
//   * Windows sends WM_SETFOCUS while a window is created; the platform posts it. `GLContextCreate` sends
//     it to the new full-screen window's procedure itself, so the mode is switched when it returns; the
//     posted one then finds the mode switched and does nothing.
//
// Main thread only (the platform's window thread); the window procedure runs inside message dispatch.
#pragma once

#include "graphics/GraphicsDriver.h"

#include <cstdint>

namespace vanta {

namespace platform {
struct Window;
struct GLContext;
} // namespace platform

// One GL context and the window it draws into. Made by `GLContextCreate` / `GLContextAttach`, owned by
// the caller, freed only by `GLContextDestroy`. The window stands for Windows' device context as well;
// once it is destroyed the pointer is stale (the platform knows: `platform::GLContextWindow` of the
// context then answers null), and the layer's operations treat the record as windowless.
struct VTGLContext
{
    // The window drawn into; stale once that window is destroyed.
    platform::Window* window = nullptr;
    // The platform layer's GL context, made for the window.
    platform::GLContext* context = nullptr;
    std::int32_t width = 0;      // requested width (windows made here) or client width (attached windows)
    std::int32_t height = 0;     // requested height, or client height
    std::int32_t ownsWindow = 0; // 1 when this layer made the window and destroys it
};

// A new window with a GL context. Windowed when `depth` is 0: a `width` x `height` client area at
// (32, 32) with a caption and no sizing border, topmost, titled with the program title. Otherwise a
// borderless full-screen window (a thin border with `GFX_SWAPCOPY`) whose display mode, `width` x
// `height` at `depth` bits and `rate` Hz (0 = any), is switched when it has the focus; an unlisted rate
// falls back to the same mode at the default rate. `flags` are the `GFX_` buffer requests (minimums).
// Answers null when no window or context can be made (`GLContextError` says why).
VTGLContext* GLContextCreate(std::int32_t width, std::int32_t height, std::int32_t depth, std::int32_t rate,
                             std::int32_t flags);

// A GL context on a window made elsewhere, which must have been created with a pixel format. Answers
// null when it has none, when the window does not exist or when no context can be made.
VTGLContext* GLContextAttach(platform::Window* window, std::int32_t flags);

// Deletes the context, destroys the window if it was made here and frees the record; the layer forgets
// every reference to it. Null does nothing.
void GLContextDestroy(VTGLContext* context);

// Makes the context current and remembers it as the drawing context.
void GLContextSetCurrent(VTGLContext* context);

// Presents the context's back buffer (null: nothing to present); either way the drawing context is
// forgotten.
void GLContextFlip(VTGLContext* context);

// The client size of the context's window; 0 x 0 for null or a window that is gone.
void GLContextSize(VTGLContext* context, std::int32_t& width, std::int32_t& height);

// The switch to the shared context around a texture upload: for the life of the object the hidden shared
// context is current (windowed only), so that what is made meanwhile is visible in every GL window; the
// context that was current before comes back at the end, even when no drawing context is remembered
// (right after a flip). Does nothing while a full-screen window exists or when there is no shared
// context. The context current at construction must outlive the object.
class GLSharedContextScope
{
public:
    GLSharedContextScope();
    ~GLSharedContextScope();
    GLSharedContextScope(const GLSharedContextScope&) = delete;
    GLSharedContextScope& operator=(const GLSharedContextScope&) = delete;

private:
    platform::GLContext* previous_ = nullptr;
    bool switched_ = false;
};

// Full-screen only: sets the current context's swap interval. Does nothing in windowed mode.
void GLSetSwapInterval(std::int32_t interval);

// Full-screen only: shows (1) or hides (0) the pointer, keeping the display counter at 0 (shown) or -1
// (hidden) however often it is called. Does nothing in windowed mode.
void GLShowCursor(std::int32_t show);

// Fills `buffer` with (width, height, bits per pixel, refresh rate) quadruples of the display modes of 16
// bits per pixel or more, at most `capacity` modes, in the system's order, duplicates included. Answers
// the count; 0 without a display.
std::int32_t GLEnumDisplayModes(std::int32_t* buffer, std::int32_t capacity);

// Makes the context current unless the platform says it already is; null does nothing.
void GLMakeCurrent(VTGLContext* context);

// The hidden shared context, made on first need; null when it cannot be made (`GLContextError` says why).
VTGLContext* GLSharedContext();

// The window procedure of every window made here: ignores the close request, switches the full-screen
// mode on focus and restores it (minimising the window) when the focus goes, switches a window that shows
// a scaled picture (platform/LogicalSize.h) to desktop full screen and back on Alt+Enter (minimising it
// when the focus goes in full screen), captures the mouse while a
// button is held in windowed mode, and gives back the desktop mode and the pointer when the full-screen
// window is destroyed.
std::intptr_t GLWindowProc(platform::Window* window, std::uint32_t message, std::uintptr_t wParam,
                           std::intptr_t lParam);

// 0 = no full-screen window; 1 = a full-screen window whose mode is not (or no longer) switched; 2 = the
// full-screen mode is active.
std::int32_t FullScreenState();

// Why the last creation or attachment failed, or an empty text.
const char* GLContextError();

} // namespace vanta
