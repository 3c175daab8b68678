// The platform layer: the Windows-shaped world the rest of VantaMax was designed against, built on SDL2.
//
// Builds on SDL2 (video, events, message boxes, GL contexts) and the system's OpenGL library. It is the
// only code that includes SDL; none of its headers do. It uses no part of the object runtime.
//
// ---------------------------------------------------------------------------------------------------
// CONTRACT: what this layer supplies to `system/` and `graphics/`
// ---------------------------------------------------------------------------------------------------
// Threads
//   * One thread, the *window thread*, is the thread that called `StartVideo` (explicitly, or through
//     the first `CreateWindow`). Windows, GL contexts, display modes, the pointer and message boxes are
//     used from that thread only; SDL requires it. Calls from any other thread fail (null / false).
//   * Every thread has its own message queue, created on first use. Only the window thread's queue
//     receives the messages translated from SDL events; messages posted to a window go to it from any
//     thread (`PostMessage` is the one cross-thread entry point and wakes a waiting window thread).
//   * The clock and `Sleep` work on any thread and need nothing started.
//
// Messages (Messages.h)
//   * Records of (window, message number, wParam, lParam) with the Windows numbers and bit layouts.
//   * SDL's event queue is drained ONLY inside `PeekMessage` (when the thread's queue is empty) and
//     `WaitMessage`. Nothing is ever delivered by callback; a program that stops pumping stops receiving.
//   * `TranslateMessage` makes the character messages Windows' TranslateMessage makes from key messages
//     (8, 9, 13, 27, Ctrl+letter); typed text arrives as WM_CHAR messages already, one per UTF-16 unit.
//   * `DispatchMessage` calls the window procedure of the message's window; `DefWindowProc` does nothing
//     and answers 0, so a procedure that ignores WM_CLOSE keeps its window: SDL never closes one itself.
//   * Messages that Windows *sends* synchronously while a call runs (WM_SETFOCUS during window creation)
//     arrive here through the queue at the next pump instead. WM_DESTROY is the exception: it is sent
//     to the procedure by `DestroyWindow` before the window goes away.
//
// Windows (Window.h) and GL (GLContext.h)
//   * Window positions and sizes are the CLIENT area's, in desktop pixels; there is no frame
//     arithmetic (AdjustWindowRectEx) to do. Styles are given with the Windows WS_ bits.
//   * A window that is to carry GL contexts gets its pixel format when it is created (SDL and X11 fix
//     the visual then); `CreateGLContext` then works on it any number of times.
//   * Contexts are legacy/compatibility contexts: OpenGL 1.1 immediate mode works. GL functions are
//     called directly (<GL/gl.h>; this library links the system's libGL) or fetched with
//     `GetGLProcAddress`. Context sharing is decided when a context is created (`shareWith`).
//   * `CreateGLContext` does not change the current context, like wglCreateContext.
//
// Scaled windows (LogicalSize.h) and game controllers (Gamepads.h)
//   * A window given a logical size reports pointer positions in that size's coordinates, clamped to it;
//     a window without one is untouched. Desktop full screen keeps the window size and place to go back to.
//   * Controllers arrive as thread messages of our own numbers (no window), drained with everything else.
//
// Units
//   * Coordinates: pixels, origin top-left of the client area (or of the desktop), y downwards.
//   * Time: milliseconds. `TimeGetTime` is a 32-bit count since system start that wraps like
//     timeGetTime.
//   * Text: UTF-8 in and out (titles, message boxes); `EightBitToUtf8` converts the callers' 8-bit text.
//
// Failure
//   * Nothing here throws or exits. Functions answer null / false / 0 and the reason is readable as text
//     (`VideoError`, `MessageBoxError`, `GLError`). When there is no display, `StartVideo` says so.
//   * The one retry: a local X server that does not take the connection is asked again by `StartVideo`
//     (it may be resetting), a bounded number of times, each new try reported on standard error.
#pragma once

#include "platform/Display.h"
#include "platform/GLContext.h"
#include "platform/Gamepads.h"
#include "platform/LogicalSize.h"
#include "platform/MessageBox.h"
#include "platform/Messages.h"
#include "platform/Window.h"

#include <cstdint>
#include <string>

namespace vanta::platform {

// What `StartVideo` achieved.
enum class VideoStatus
{
    NotStarted, // `StartVideo` has not run (or `StopVideo` ran since)
    Running,    // windows can be created
    Unavailable // video could not start; `VideoError` says why
};

// Starts SDL's video on the calling thread, which becomes the window thread. Answers true when video
// runs (at once if it already does); false when it cannot start, with the reason in `VideoError`. The
// message queue works either way. Without a display SDL would quietly fall back to its "offscreen"
// driver; that counts as "no display" here unless SDL_VIDEODRIVER asks for it explicitly.
// An X server started without -noreset drops the connections that arrive while it resets (which it does
// when its last client leaves): when the local display named by DISPLAY has its socket in place, video is
// tried up to 8 times over about 3 s, and each new try is written to standard error.
bool StartVideo();

// Destroys the remaining windows (each gets WM_DESTROY) and stops SDL's video; the queue keeps working.
// GL contexts made meanwhile stop working for good: they can only be deleted. Nothing happens when video
// is not running.
void StopVideo();

// The state of video.
VideoStatus GetVideoStatus();

// Why video could not start for this thread (each thread has its own text), or an empty text.
const char* VideoError();

// The name of SDL's video driver in use ("x11", "wayland", "offscreen", ...), or an empty text.
const char* VideoDriverName();

// The millisecond clock: milliseconds since the system started, truncated to 32 bits (it wraps after
// about 49.7 days, as timeGetTime does). Any thread.
std::uint32_t TimeGetTime();

// Suspends the calling thread for `milliseconds`; 0 or less just yields the processor. Any thread.
void Sleep(int milliseconds);

// The 8-bit text the Windows "A" functions take (one byte per character, read as Latin-1) as the UTF-8
// this layer takes; a null text gives an empty one. Any thread.
std::string EightBitToUtf8(const char* text);

} // namespace vanta::platform
