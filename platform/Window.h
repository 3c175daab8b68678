// Windows of the platform layer: creation with a window procedure, placement, focus and the pointer.
//
// Builds on SDL windows (Window.cpp). Styles use the Windows WS_ bits; what each becomes under SDL is
// written beside it. All of it runs on the window thread (see Platform.h).
#pragma once

#include <climits>
#include <cstdint>

namespace vanta::platform {

struct Window;
struct PixelFormat;

// A window procedure: called by `DispatchMessage`, `SendMessage` and `DestroyWindow`.
using WindowProc = std::intptr_t (*)(Window* window, std::uint32_t message, std::uintptr_t wParam,
                                     std::intptr_t lParam);

// Window styles (Windows values).
constexpr std::uint32_t WS_POPUP = 0x80000000u;      // no frame at all (SDL: borderless)
constexpr std::uint32_t WS_VISIBLE = 0x10000000u;    // shown at once; otherwise created hidden
constexpr std::uint32_t WS_CAPTION = 0x00C00000u;    // title bar and frame (SDL: a decorated window)
constexpr std::uint32_t WS_BORDER = 0x00800000u;     // thin border: part of WS_CAPTION; alone, borderless
constexpr std::uint32_t WS_THICKFRAME = 0x00040000u; // sizing border (SDL: resizable); absent, fixed size
constexpr std::uint32_t WS_EX_TOPMOST = 0x00000008u; // above other windows (SDL: always on top)

// Position that lets the desktop place the window.
constexpr int CW_USEDEFAULT = INT_MIN;

// The default procedure: does nothing and answers 0. In particular WM_CLOSE does not destroy the
// window (unlike Windows' DefWindowProc); a procedure that wants closing calls `DestroyWindow`.
std::intptr_t DefWindowProc(Window* window, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam);

// Creates a window whose CLIENT area is `width` x `height` at (`x`, `y`) on the desktop, titled `title`
// (UTF-8), with `style` / `exStyle` bits. `proc` may be null (then `DefWindowProc`). With a pixel format
// the window can carry GL contexts (GLContext.h); when the exact format is not offered, the closest one
// is taken, dropping accumulation, stencil, alpha and depth requests in that order. Starts video if
// needed. A visible window is raised and given the keyboard focus; WM_SETFOCUS follows through the
// queue. Answers null when video cannot start (`VideoError` says why) or SDL refuses the window
// (`WindowError` says why).
Window* CreateWindow(std::uint32_t exStyle, const char* title, std::uint32_t style, int x, int y, int width, int height,
                     WindowProc proc, const PixelFormat* pixelFormat = nullptr);

// Why this thread's last `CreateWindow`, `ChangeDisplayMode` or other window operation failed, or an empty
// text (each thread has its own, like Windows' last error).
const char* WindowError();

// Sends WM_DESTROY to the window's procedure, discards the messages still queued for it and destroys
// it. GL contexts made on it must not be made current afterwards (they fail). Null does nothing.
void DestroyWindow(Window* window);

// Whether `window` is a window that exists now.
bool IsWindow(Window* window);

// Replaces the procedure (null = `DefWindowProc`).
void SetWindowProc(Window* window, WindowProc proc);

// A pointer the owner keeps with the window (GWLP_USERDATA); null until set.
void SetWindowUserData(Window* window, void* data);
void* WindowUserData(Window* window);

// The window's styles as they are now (WS_VISIBLE follows showing and hiding; WS_EX_TOPMOST as SDL
// reports it). 0 for a null window.
std::uint32_t GetWindowStyle(Window* window);
std::uint32_t GetWindowExStyle(Window* window);

// The title (UTF-8); empty for a null window.
const char* GetWindowTitle(Window* window);
void SetWindowTitle(Window* window, const char* title);

// The client area's size in pixels (GetClientRect); 0 x 0 for a null window.
void GetClientSize(Window* window, int& width, int& height);

// The client area's top-left corner on the desktop; (0, 0) for a null window.
void GetWindowPosition(Window* window, int& x, int& y);
void SetWindowPosition(Window* window, int x, int y);

// Converts client coordinates of `window` to desktop coordinates (ClientToScreen).
void ClientToScreen(Window* window, int& x, int& y);

// Shows or hides the window.
void ShowWindow(Window* window, bool show);

// Minimises the window to the task bar / restores it.
void MinimizeWindow(Window* window);
void RestoreWindow(Window* window);
bool IsWindowMinimized(Window* window);

// The window that has the keyboard focus, as SDL last reported it while events were pumped; null when
// none of ours has it. Under SDL the active and the focus window are the same window.
Window* GetFocus();
Window* GetActiveWindow();

// Raises the window and asks for the keyboard focus; WM_SETFOCUS follows through the queue if the
// desktop grants it. Answers false for a null window.
bool SetFocus(Window* window);

// Windows' pointer display counter: +1 to show, -1 to hide; the pointer is visible while the counter is
// 0 or more. Answers the new counter. It starts at 0 (visible).
int ShowCursor(bool show);

// Moves the pointer to client coordinates (x, y) of `window`, or to the program's coordinates when the
// window shows a logical size (LogicalSize.h). The resulting WM_MOUSEMOVE arrives through
// the queue. Answers false for a null window.
bool WarpPointer(Window* window, int x, int y);

// Sends mouse input to `window` even outside its client area, where positions may become negative
// (SetCapture); answers false when the desktop refuses (SDL needs the window to have the focus).
bool SetCapture(Window* window);
// Ends the capture (ReleaseCapture).
void ReleaseCapture();

} // namespace vanta::platform
