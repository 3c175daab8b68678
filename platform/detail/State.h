// Internal state shared by the platform layer's files: the window record, the window registry, the
// window thread and the helpers the message pump needs from the window and GL files.
//
// Included only by platform/*.cpp. Like every platform header it names SDL types by forward
// declaration only.
#pragma once

#include "platform/GLContext.h"
#include "platform/Messages.h"
#include "platform/Window.h"

#include <cstdint>
#include <string>

struct SDL_Window;
union SDL_Event;

namespace vanta::platform {

// The record behind a `Window*`. Lives from `CreateWindow` to `DestroyWindow`.
struct Window
{
    SDL_Window* sdl = nullptr;
    std::uint32_t id = 0; // SDL's window id
    WindowProc proc = nullptr;
    void* userData = nullptr;
    std::uint32_t style = 0;
    std::uint32_t exStyle = 0;
    bool hasPixelFormat = false;
    PixelFormat pixelFormat; // the request the window was created with, less what had to be dropped
    bool fullScreen = false;
    bool destroying = false;
    // The program's own drawing size when it is shown scaled into the window (0 x 0: not scaled), and
    // whether only whole multiples of it are shown (LogicalSize.h).
    int logicalWidth = 0;
    int logicalHeight = 0;
    bool wholeMultiples = false;
    // Desktop full screen (LogicalSize.h) and the windowed client rectangle it returns to.
    bool desktopFullScreen = false;
    int windowedX = 0;
    int windowedY = 0;
    int windowedWidth = 0;
    int windowedHeight = 0;
};

namespace detail {

// Sets the SDL hints every part of the layer relies on (no signal handlers of SDL's own, no automatic
// minimising or quitting). Idempotent; must run before SDL initialises any subsystem, which is why the
// audio output calls it too.
void PrepareSdl();

// Whether the calling thread is the window thread (false when video never started).
bool OnWindowThread();

// Whether SDL's event subsystem was started by `StartVideo`.
bool EventsRunning();

// The SDL event type that only wakes the window thread; 0 before `StartVideo`.
std::uint32_t WakeEventType();

// Our window behind an SDL window id, or null (unknown or destroyed).
Window* WindowFromSdlId(std::uint32_t id);

// Our window behind an SDL window, or null.
Window* WindowFromSdl(SDL_Window* window);

// Whether `window` is registered now. Any thread.
bool IsLiveWindow(const Window* window);

// The window procedure of a live window (DefWindowProc when it has none), or null. Any thread.
WindowProc LiveWindowProc(const Window* window);

// Makes the calling thread's queue the one that receives window messages (called by `StartVideo`).
void AdoptWindowQueue();

// Appends a message to the window thread's queue and wakes that thread if another one posted it.
void PushToWindowQueue(const Message& message);

// Pushes a message onto the window thread's queue while the window registry is locked, so that a
// window cannot go between the check and the push. Answers false when `window` is not live. Any thread.
bool PostToLiveWindow(const Message& message);

// Hides or shows SDL's pointer to match the display counter (called when video starts).
void ApplyCursorVisibility();

// Drops the queued messages addressed to `window` from every queue.
void DiscardMessagesFor(const Window* window);

// Detaches the GL contexts made on `window` from it before it goes.
void ForgetContextsOf(const Window* window);

// Deletes SDL's side of every GL context (used when video stops, before the windows go): a context made
// on one display connection must never reach the next one. The records stay until `DeleteGLContext`.
void ReleaseGLContexts();

// Destroys every window (used when video stops).
void DestroyAllWindows();

// Resets the message translator's remembered state (buttons, modifiers) when video stops.
void ResetTranslation();

// Whether video runs and the calling thread is the window thread.
bool VideoReady();

// Sets the SDL GL attributes for a pixel-format request (used before window and context creation).
void ApplyPixelFormat(const PixelFormat& format);

// Records why the last window or display operation failed (`WindowError`).
void SetWindowError(const std::string& text);

// Starts SDL's event queue on the calling thread, which becomes the window thread, without video.
// Answers whether the queue runs (at once when it already does on this thread).
bool StartEventQueue();

// Turns a controller event into its thread message (Gamepads.cpp); false for other events.
bool TranslateGamepad(const SDL_Event& event);

// Turns a position in `window`'s client area (SDL's window coordinates) into the program's own
// coordinates when the window shows a logical size, clamped to the picture; otherwise leaves it alone.
void ClientToLogical(const Window* window, int& x, int& y);

// The reverse of `ClientToLogical`: a position in the program's coordinates as client coordinates (the
// centre of the window pixels that show it). Leaves it alone without a logical size.
void LogicalToClient(const Window* window, int& x, int& y);

} // namespace detail
} // namespace vanta::platform
