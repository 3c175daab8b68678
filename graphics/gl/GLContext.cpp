// The GL window and context layer over the platform's windows, GL contexts and display modes.
//
// Builds on platform/ and runtime/Startup.h (the program title). Main thread only. Two facts belong to
// the platform and are asked of it, never copied here: which GL context is current, and whether a
// record's window still exists (the platform detaches a context from its window when the window goes,
// whoever destroys it, and when video stops). A record is never used through a dead window.
#include "graphics/gl/GLContext.h"

#include "graphics/GraphicsDriver.h"
#include "platform/Platform.h"
#include "runtime/Startup.h"

#include <cstdlib>
#include <string>

namespace vanta {
namespace {

// Position of a windowed client area on the desktop.
constexpr int windowedLeft = 32;
constexpr int windowedTop = 32;
constexpr const char* sharedWindowTitle = "VantaGL Application";

struct LayerState
{
    bool exitHookRegistered = false;
    std::int32_t fullScreenState = 0;
    // The requested full-screen mode; a refresh rate of 0 means "any", as a mode record without
    // DM_DISPLAYFREQUENCY.
    platform::DisplayMode fullScreenMode;
    VTGLContext* drawing = nullptr;    // last made current for drawing; forgotten by a flip
    VTGLContext* shared = nullptr;     // the hidden shared context
    VTGLContext* fullScreen = nullptr; // the full-screen window's context
    // The full-screen window, until its WM_DESTROY.
    platform::Window* fullScreenWindow = nullptr;
    std::string error;
};

LayerState& Layer()
{
    static LayerState state;
    return state;
}

VTGLContext* Fail(const std::string& text)
{
    Layer().error = text;
    return nullptr;
}

// The platform's pixel-format request for the graphics flags. Counts of 1 are minimums: the closest
// format offered is taken.
platform::PixelFormat GLInitPixelFormat(std::int32_t flags)
{
    platform::PixelFormat format;
    if ((flags & GFX_BACKBUFFER) != 0) format.flags |= platform::PFD_DOUBLEBUFFER;
    if ((flags & GFX_SWAPCOPY) != 0) format.flags |= platform::PFD_SWAP_COPY;
    format.colorBits = 1;
    format.alphaBits = (flags & GFX_ALPHABUFFER) != 0 ? 1 : 0;
    format.depthBits = (flags & GFX_DEPTHBUFFER) != 0 ? 1 : 0;
    format.stencilBits = (flags & GFX_STENCILBUFFER) != 0 ? 1 : 0;
    format.accumBits = (flags & GFX_ACCUMBUFFER) != 0 ? 1 : 0;
    return format;
}

VTGLContext* NewRecord(platform::Window* window, platform::GLContext* context, std::int32_t width, std::int32_t height,
                       std::int32_t ownsWindow)
{
    return new VTGLContext{window, context, width, height, ownsWindow};
}

// Whether the record's window still exists. Asked of the record's own GL context, which the platform
// detaches when its window is destroyed: a window made elsewhere goes without this layer's procedure
// hearing of it, and a later window may be given the same address.
bool HasWindow(const VTGLContext* context)
{
    return context != nullptr && context->window != nullptr &&
           platform::GLContextWindow(context->context) == context->window;
}

// The process-exit hook: the full-screen context goes, giving the desktop mode back.
void DestroyFullScreenAtExit()
{
    GLContextDestroy(Layer().fullScreen);
}

// Switches to the requested full-screen mode, retrying once at the default rate when the requested rate
// is not offered. Answers whether the mode is on.
bool SwitchToFullScreenMode(platform::Window* window)
{
    LayerState& layer = Layer();
    if (platform::IsWindowMinimized(window)) platform::RestoreWindow(window);
    if (platform::ChangeDisplayMode(window, layer.fullScreenMode)) return true;
    if (layer.fullScreenMode.refreshRate == 0) return false;
    layer.fullScreenMode.refreshRate = 0;
    return platform::ChangeDisplayMode(window, layer.fullScreenMode);
}

// [SECTION] Desktop full screen of scaled windows

// Alt+Enter (a first press, not a repeat) switches a window that shows a scaled picture between its
// window and desktop full screen. Other windows, and other keys, are left to the default procedure.
std::intptr_t ToggleDesktopFullScreen(platform::Window* window, std::uintptr_t wParam, std::intptr_t lParam)
{
    const bool firstPress = (lParam & platform::KEYDATA_PREVIOUS_DOWN) == 0;
    if (wParam == static_cast<std::uintptr_t>(platform::VK_RETURN) && firstPress && platform::HasLogicalSize(window))
        platform::SetDesktopFullScreen(window, !platform::IsDesktopFullScreen(window));
    return platform::DefWindowProc(window, platform::WM_SYSKEYDOWN, wParam, lParam);
}

// Losing the focus in desktop full screen minimises the window, as it does in a full-screen mode; it
// stays full screen and comes back so when it is activated again.
void LeaveDesktopFullScreenForFocus(platform::Window* window)
{
    if (platform::IsDesktopFullScreen(window)) platform::MinimizeWindow(window);
}

} // namespace

VTGLContext* GLSharedContext()
{
    LayerState& layer = Layer();
    if (layer.shared != nullptr) {
        if (HasWindow(layer.shared)) return layer.shared;
        // Its window went with the video it lived on; a new one is made below.
        GLContextDestroy(layer.shared);
    }
    const platform::PixelFormat format = GLInitPixelFormat(0);
    platform::Window* window = platform::CreateWindow(platform::WS_EX_TOPMOST, sharedWindowTitle, platform::WS_POPUP, 0,
                                                      0, 1, 1, GLWindowProc, &format);
    if (window == nullptr) return Fail(std::string("Cannot create the shared GL window: ") + platform::WindowError());
    platform::GLContext* context = platform::CreateGLContext(window);
    if (context == nullptr) {
        const std::string reason = std::string("Cannot create the shared GL context: ") + platform::GLError();
        platform::DestroyWindow(window);
        return Fail(reason);
    }
    layer.shared = NewRecord(window, context, 1, 1, 1);
    return layer.shared;
}

VTGLContext* GLContextAttach(platform::Window* window, std::int32_t)
{
    // The flags' buffer requests cannot apply: the window's pixel format was fixed when it was made.
    VTGLContext* shared = GLSharedContext();
    if (shared == nullptr) return nullptr;
    if (window == nullptr || !platform::IsWindow(window))
        return Fail("Cannot attach a GL context: the window does not exist");
    platform::GLContext* context = platform::CreateGLContext(window, shared->context);
    if (context == nullptr) return Fail(std::string("Cannot attach a GL context: ") + platform::GLError());
    int width = 0;
    int height = 0;
    platform::GetClientSize(window, width, height);
    Layer().error.clear();
    return NewRecord(window, context, width, height, 0);
}

VTGLContext* GLContextCreate(std::int32_t width, std::int32_t height, std::int32_t depth, std::int32_t rate,
                             std::int32_t flags)
{
    LayerState& layer = Layer();
    const bool fullScreen = depth != 0;
    int left = 0;
    int top = 0;
    std::uint32_t style = 0;
    if (!fullScreen) {
        left = windowedLeft;
        top = windowedTop;
        style = platform::WS_VISIBLE | platform::WS_CAPTION;
        if (GLSharedContext() == nullptr) return nullptr;
    } else {
        // A full-screen context shares with nothing.
        GLContextDestroy(layer.shared);
        layer.fullScreenMode = platform::DisplayMode{width, height, depth, rate};
        style = platform::WS_POPUP | platform::WS_VISIBLE;
        if ((flags & GFX_SWAPCOPY) != 0) style |= platform::WS_BORDER;
        layer.fullScreenState = 1;
        if (!layer.exitHookRegistered) {
            layer.exitHookRegistered = true;
            std::atexit(DestroyFullScreenAtExit);
        }
    }

    // The platform places and sizes the client area itself: there is no frame arithmetic to do.
    const std::string title = platform::EightBitToUtf8(ProgramTitle()->ToCString());
    const platform::PixelFormat format = GLInitPixelFormat(flags);
    platform::Window* window = platform::CreateWindow(platform::WS_EX_TOPMOST, title.c_str(), style, left, top, width,
                                                      height, GLWindowProc, &format);
    if (window == nullptr) {
        if (fullScreen) layer.fullScreenState = 0;
        return Fail(std::string("Cannot create the GL window: ") + platform::WindowError());
    }
    // A full-screen request destroyed the shared context above, which also emptied its slot; the analyser
    // loses that across the calls in between.
    platform::GLContext* context =
        // NOLINTNEXTLINE(clang-analyzer-cplusplus.NewDelete)
        platform::CreateGLContext(window, layer.shared != nullptr ? layer.shared->context : nullptr);
    if (context == nullptr) {
        const std::string reason = std::string("Cannot create the GL context: ") + platform::GLError();
        if (fullScreen) layer.fullScreenState = 0;
        platform::DestroyWindow(window);
        return Fail(reason);
    }
    VTGLContext* record = NewRecord(window, context, width, height, 1);
    layer.error.clear();
    if (fullScreen) {
        layer.fullScreen = record;
        layer.fullScreenWindow = window;
        // Windows sends WM_SETFOCUS while the window is created; here it would only come through the
        // queue, so the procedure gets it now and the mode is on when this returns.
        platform::SendMessage(window, platform::WM_SETFOCUS, 0, 0);
    }
    return record;
}

void GLContextDestroy(VTGLContext* context)
{
    if (context == nullptr) return;
    LayerState& layer = Layer();
    for (VTGLContext** slot : {&layer.drawing, &layer.shared, &layer.fullScreen}) {
        if (*slot == context) *slot = nullptr;
    }
    const bool destroyWindow = context->ownsWindow != 0 && HasWindow(context);
    platform::DeleteGLContext(context->context);
    if (destroyWindow) platform::DestroyWindow(context->window);
    delete context;
}

void GLMakeCurrent(VTGLContext* context)
{
    if (context == nullptr || platform::CurrentGLContext() == context->context) return;
    // A context whose window is gone cannot be made current: the current one stays.
    platform::MakeCurrent(context->context);
}

void GLContextSetCurrent(VTGLContext* context)
{
    GLMakeCurrent(context);
    Layer().drawing = context;
}

void GLContextFlip(VTGLContext* context)
{
    if (HasWindow(context)) platform::SwapBuffers(context->window);
    Layer().drawing = nullptr;
}

void GLContextSize(VTGLContext* context, std::int32_t& width, std::int32_t& height)
{
    int w = 0;
    int h = 0;
    if (HasWindow(context)) platform::GetClientSize(context->window, w, h);
    width = w;
    height = h;
}

GLSharedContextScope::GLSharedContextScope()
{
    const LayerState& layer = Layer();
    if (layer.fullScreenState != 0 || !HasWindow(layer.shared)) return;
    previous_ = platform::CurrentGLContext();
    if (previous_ == layer.shared->context) return;
    switched_ = platform::MakeCurrent(layer.shared->context);
}

GLSharedContextScope::~GLSharedContextScope()
{
    // What was current comes back, whether or not a drawing context is remembered (a flip forgets it).
    if (switched_ && platform::CurrentGLContext() != previous_) platform::MakeCurrent(previous_);
}

void GLSetSwapInterval(std::int32_t interval)
{
    if (Layer().fullScreenState != 0) platform::SetSwapInterval(interval);
}

void GLShowCursor(std::int32_t show)
{
    if (Layer().fullScreenState == 0) return;
    const int counter = platform::ShowCursor(show != 0);
    if (counter != -1 && counter != 0) platform::ShowCursor(show == 0);
}

std::int32_t GLEnumDisplayModes(std::int32_t* buffer, std::int32_t capacity)
{
    if (buffer == nullptr || capacity <= 0) return 0;
    // Modes can be listed before any window exists, as on Windows; without a display there are none.
    if (!platform::StartVideo()) return 0;
    std::int32_t count = 0;
    platform::DisplayMode mode;
    for (int i = 0; count < capacity && platform::EnumDisplaySettings(i, mode); ++i) {
        if (mode.bitsPerPixel <= 15) continue;
        std::int32_t* quadruple = buffer + 4 * static_cast<std::ptrdiff_t>(count);
        quadruple[0] = mode.width;
        quadruple[1] = mode.height;
        quadruple[2] = mode.bitsPerPixel;
        quadruple[3] = mode.refreshRate;
        ++count;
    }
    return count;
}

std::intptr_t GLWindowProc(platform::Window* window, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam)
{
    LayerState& layer = Layer();
    switch (message) {
    case platform::WM_SYSKEYDOWN: return ToggleDesktopFullScreen(window, wParam, lParam);
    case platform::WM_SETFOCUS:
        if (layer.fullScreenState == 1 && window == layer.fullScreenWindow && SwitchToFullScreenMode(window))
            layer.fullScreenState = 2;
        return 0;
    case platform::WM_KILLFOCUS:
        LeaveDesktopFullScreenForFocus(window);
        if (layer.fullScreenState == 2 && window == layer.fullScreenWindow) {
            platform::RestoreDisplayMode(window);
            platform::MinimizeWindow(window);
            layer.fullScreenState = 1;
        }
        return 0;
    case platform::WM_DESTROY:
        if (window != layer.fullScreenWindow) return 0;
        layer.fullScreenWindow = nullptr;
        if (layer.fullScreenState == 0) return 0;
        if (layer.fullScreenState == 2) platform::RestoreDisplayMode(window);
        // Whatever the program did to the pointer, it is visible again with the counter at 0.
        if (platform::ShowCursor(true) > 0) platform::ShowCursor(false);
        layer.fullScreenState = 0;
        return 0;
    // WM_PAINT: nothing to validate (the platform keeps no invalid region) and the next flip redraws.
    // WM_CLOSE: ignored, so the user cannot close the window.
    case platform::WM_PAINT:
    case platform::WM_CLOSE: return 0;
    case platform::WM_LBUTTONDOWN:
    case platform::WM_RBUTTONDOWN:
    case platform::WM_MBUTTONDOWN:
        if (layer.fullScreenState == 0) platform::SetCapture(window);
        return 0;
    case platform::WM_LBUTTONUP:
    case platform::WM_RBUTTONUP:
    case platform::WM_MBUTTONUP:
        if (layer.fullScreenState == 0) platform::ReleaseCapture();
        return 0;
    default: return platform::DefWindowProc(window, message, wParam, lParam);
    }
}

std::int32_t FullScreenState()
{
    return Layer().fullScreenState;
}

const char* GLContextError()
{
    return Layer().error.c_str();
}

} // namespace vanta
