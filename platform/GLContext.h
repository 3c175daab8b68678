// OpenGL contexts of the platform layer: pixel formats, contexts, sharing, current context, swapping.
//
// Builds on SDL's GL support (GLContext.cpp): GLX on X11, EGL on Wayland and SDL's offscreen driver.
// Contexts are legacy/compatibility contexts in which OpenGL 1.1 immediate mode works. GL itself is
// called through <GL/gl.h> (this library links the system's libGL) or `GetGLProcAddress`.
#pragma once

#include <cstdint>

namespace vanta::platform {

struct Window;
struct GLContext;

// PixelFormat flags (the PIXELFORMATDESCRIPTOR ones that matter here).
constexpr std::uint32_t PFD_DOUBLEBUFFER = 0x00000001u;
constexpr std::uint32_t PFD_SWAP_COPY = 0x00000400u; // accepted; SDL offers no way to ask for it

// A pixel-format request. Bit counts are minimums (0 = none wanted); `colorBits` counts red, green and
// blue together, `accumBits` the four accumulation channels together.
struct PixelFormat
{
    std::uint32_t flags = 0;
    int colorBits = 0;
    int alphaBits = 0;
    int depthBits = 0;
    int stencilBits = 0;
    int accumBits = 0;
};

// What a context's framebuffer really has, read from GL.
struct PixelFormatInfo
{
    bool doubleBuffer = false;
    int redBits = 0, greenBits = 0, blueBits = 0, alphaBits = 0;
    int depthBits = 0, stencilBits = 0, accumBits = 0;
};

// Creates a GL context on `window`, which must have been created with a pixel format. With `shareWith`
// the new context shares textures and display lists with it (its window must still exist). The current
// context does not change. Answers null on failure (`GLError` says why).
GLContext* CreateGLContext(Window* window, GLContext* shareWith = nullptr);

// Deletes the context (it stops being current if it was). Null does nothing.
void DeleteGLContext(GLContext* context);

// Makes `context` current on its own window, or, with null, leaves no context current. Answers false
// when the context's window was destroyed or SDL refuses.
bool MakeCurrent(GLContext* context);

// The current context of the calling thread, or null.
GLContext* CurrentGLContext();

// The window a context draws into, or null once that window is destroyed.
Window* GLContextWindow(GLContext* context);

// Presents the back buffer of `window` (SwapBuffers). If the current context belongs to another window,
// one of `window`'s contexts is made current for the swap and the previous one restored. Answers false
// when the window has no context.
bool SwapBuffers(Window* window);

// Sets the swap interval of the current context: 0 = do not wait for the display, 1 = wait for one
// refresh. Answers false when the driver refuses.
bool SetSwapInterval(int interval);

// The framebuffer the current context draws into; false when no context is current.
bool DescribeCurrentPixelFormat(PixelFormatInfo& info);

// The address of a GL function by name, or null. SDL loads the GL library with the first GL window and
// unloads it with the last, so this needs a GL window to exist. GLX answers an address even for names no
// driver knows: check the extension string before calling an extension function.
void* GetGLProcAddress(const char* name);

// Why this thread's last context operation failed, or an empty text (each thread has its own).
const char* GLError();

} // namespace vanta::platform
