// Message queues: per-thread queues of Windows messages, filled from SDL's events when pumped.
//
// Builds on SDL's event queue, the key tables of KeyMap.cpp and the window registry of Window.cpp.
//
// Threads: each thread owns a queue (thread_local). Only the window thread drains SDL into its queue;
// other threads reach that queue through `PostMessage`, under its mutex, and wake the window thread
// with a private SDL event. The translator's remembered state (buttons, modifiers) is touched by the
// window thread only.
#include "platform/Messages.h"

#include "platform/detail/KeyMap.h"
#include "platform/detail/State.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>

#include <SDL.h>

namespace vanta::platform {
namespace {

struct ThreadQueue
{
    std::mutex mutex;
    std::condition_variable ready;
    std::deque<Message> messages;
    // The Ctrl keys as the key messages taken from this queue left them (Windows' synchronous key
    // state), for `TranslateMessage`. Owner thread only.
    bool leftCtrlDown = false;
    bool rightCtrlDown = false;
};

std::shared_ptr<ThreadQueue>& LocalQueue()
{
    thread_local std::shared_ptr<ThreadQueue> queue = std::make_shared<ThreadQueue>();
    return queue;
}

std::mutex windowQueueMutex;
std::shared_ptr<ThreadQueue> windowQueue;

std::shared_ptr<ThreadQueue> WindowQueue()
{
    std::lock_guard lock(windowQueueMutex);
    return windowQueue;
}

void Push(ThreadQueue& queue, const Message& message, bool front = false)
{
    {
        std::lock_guard lock(queue.mutex);
        if (front)
            queue.messages.push_front(message);
        else
            queue.messages.push_back(message);
    }
    queue.ready.notify_all();
}

// ---------------------------------------------------------------------------------------------------
// Translation of SDL events (window thread only)
// ---------------------------------------------------------------------------------------------------

// Modifiers of the last key event drained: typed text and mouse messages are stamped with them, which
// keeps them in step with the key messages around them even for injected events.
unsigned lastModifiers = 0;
// Mouse buttons held, as MK_ flags, for the wParam of mouse messages.
std::uintptr_t buttonsDown = 0;

void Queue(Window* window, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam)
{
    Push(*LocalQueue(), Message{window, message, wParam, lParam});
}

// The window an event is for. Id 0 (no window had the focus, or an injected event) gives a thread
// message; an id that is not one of our live windows means the event is dropped.
bool Target(std::uint32_t windowId, Window*& window)
{
    window = windowId == 0 ? nullptr : detail::WindowFromSdlId(windowId);
    return windowId == 0 || window != nullptr;
}

bool AltHeld(unsigned modifiers)
{
    return (modifiers & KMOD_ALT) != 0 && (modifiers & KMOD_CTRL) == 0;
}

std::uintptr_t MouseKeyFlags()
{
    std::uintptr_t flags = buttonsDown;
    if ((lastModifiers & KMOD_SHIFT) != 0) flags |= MK_SHIFT;
    if ((lastModifiers & KMOD_CTRL) != 0) flags |= MK_CONTROL;
    return flags;
}

std::uintptr_t ButtonsFromSdlState(std::uint32_t state)
{
    std::uintptr_t flags = 0;
    if ((state & SDL_BUTTON_LMASK) != 0) flags |= MK_LBUTTON;
    if ((state & SDL_BUTTON_RMASK) != 0) flags |= MK_RBUTTON;
    if ((state & SDL_BUTTON_MMASK) != 0) flags |= MK_MBUTTON;
    if ((state & SDL_BUTTON_X1MASK) != 0) flags |= MK_XBUTTON1;
    if ((state & SDL_BUTTON_X2MASK) != 0) flags |= MK_XBUTTON2;
    return flags;
}

void TranslateKey(const SDL_KeyboardEvent& key)
{
    Window* window = nullptr;
    if (!Target(key.windowID, window)) return;
    const unsigned modifiers = key.keysym.mod;
    lastModifiers = modifiers;
    const detail::KeyCodes codes = detail::MapKey(key.keysym.scancode, key.keysym.sym, modifiers);
    if (codes.virtualKey == 0) return;
    const bool down = key.type == SDL_KEYDOWN;
    const bool ctrl = (modifiers & KMOD_CTRL) != 0;
    // SDL updates the modifier state before it reports a modifier key, so Alt's own press already
    // counts as "Alt held" and its release no longer does; Windows reports both as system keys.
    const bool system =
        AltHeld(modifiers) || (codes.virtualKey == VK_F10 && !ctrl) || (!down && codes.virtualKey == VK_MENU && !ctrl);
    std::intptr_t lParam = 1 | (static_cast<std::intptr_t>(codes.scanCode) << KEYDATA_SCANCODE_SHIFT);
    if (codes.extended) lParam |= KEYDATA_EXTENDED;
    if ((modifiers & KMOD_ALT) != 0) lParam |= KEYDATA_ALT_DOWN;
    if (!down)
        lParam |= KEYDATA_PREVIOUS_DOWN | KEYDATA_TRANSITION_UP;
    else if (key.repeat != 0)
        lParam |= KEYDATA_PREVIOUS_DOWN;
    const std::uint32_t message = down ? (system ? WM_SYSKEYDOWN : WM_KEYDOWN) : (system ? WM_SYSKEYUP : WM_KEYUP);
    Queue(window, message, static_cast<std::uintptr_t>(codes.virtualKey), lParam);
}

void TranslateText(const SDL_TextInputEvent& text)
{
    Window* window = nullptr;
    if (!Target(text.windowID, window)) return;
    char16_t units[SDL_TEXTINPUTEVENT_TEXT_SIZE];
    const std::size_t count =
        detail::Utf8ToUtf16(text.text, SDL_TEXTINPUTEVENT_TEXT_SIZE, units, SDL_TEXTINPUTEVENT_TEXT_SIZE);
    const std::uint32_t message = AltHeld(lastModifiers) ? WM_SYSCHAR : WM_CHAR;
    for (std::size_t i = 0; i < count; ++i)
        Queue(window, message, units[i], 1);
}

void TranslateMotion(const SDL_MouseMotionEvent& motion)
{
    Window* window = nullptr;
    if (!Target(motion.windowID, window)) return;
    buttonsDown = ButtonsFromSdlState(motion.state);
    int x = motion.x;
    int y = motion.y;
    detail::ClientToLogical(window, x, y);
    Queue(window, WM_MOUSEMOVE, MouseKeyFlags(), MakeLParam(x, y));
}

void TranslateButton(const SDL_MouseButtonEvent& button)
{
    Window* window = nullptr;
    if (!Target(button.windowID, window)) return;
    const bool down = button.type == SDL_MOUSEBUTTONDOWN;
    std::uint32_t message = 0;
    std::uintptr_t flag = 0;
    std::uintptr_t extraButton = 0;
    switch (button.button) {
    case SDL_BUTTON_LEFT: message = down ? WM_LBUTTONDOWN : WM_LBUTTONUP, flag = MK_LBUTTON; break;
    case SDL_BUTTON_RIGHT: message = down ? WM_RBUTTONDOWN : WM_RBUTTONUP, flag = MK_RBUTTON; break;
    case SDL_BUTTON_MIDDLE: message = down ? WM_MBUTTONDOWN : WM_MBUTTONUP, flag = MK_MBUTTON; break;
    case SDL_BUTTON_X1:
        message = down ? WM_XBUTTONDOWN : WM_XBUTTONUP, flag = MK_XBUTTON1, extraButton = XBUTTON1;
        break;
    case SDL_BUTTON_X2:
        message = down ? WM_XBUTTONDOWN : WM_XBUTTONUP, flag = MK_XBUTTON2, extraButton = XBUTTON2;
        break;
    default: return;
    }
    if (down)
        buttonsDown |= flag;
    else
        buttonsDown &= ~flag;
    int x = button.x;
    int y = button.y;
    detail::ClientToLogical(window, x, y);
    Queue(window, message, MouseKeyFlags() | (extraButton << 16), MakeLParam(x, y));
}

// A wheel amount in notches as Windows' delta (120 a notch), saturated to the 16 bits it travels in.
int WheelDelta(float precise, int whole, bool flipped)
{
    long delta = precise != 0.0f ? std::lround(static_cast<double>(precise) * WHEEL_DELTA)
                                 : static_cast<long>(whole) * WHEEL_DELTA;
    if (flipped) delta = -delta;
    return static_cast<int>(std::clamp(delta, -32768L, 32767L));
}

void TranslateWheel(const SDL_MouseWheelEvent& wheel)
{
    Window* window = nullptr;
    if (!Target(wheel.windowID, window)) return;
    const bool flipped = wheel.direction == SDL_MOUSEWHEEL_FLIPPED;
    // Windows gives wheel positions on the desktop, not in the client area.
    int x = wheel.mouseX;
    int y = wheel.mouseY;
    if (window != nullptr) ClientToScreen(window, x, y);
    const std::intptr_t lParam = MakeLParam(x, y);
    const int vertical = WheelDelta(wheel.preciseY, wheel.y, flipped);
    if (vertical != 0)
        Queue(window, WM_MOUSEWHEEL, MouseKeyFlags() | (static_cast<std::uintptr_t>(vertical & 0xFFFF) << 16), lParam);
    const int horizontal = WheelDelta(wheel.preciseX, wheel.x, flipped);
    if (horizontal != 0)
        Queue(window, WM_MOUSEHWHEEL, MouseKeyFlags() | (static_cast<std::uintptr_t>(horizontal & 0xFFFF) << 16),
              lParam);
}

void TranslateWindowEvent(const SDL_WindowEvent& event)
{
    Window* window = detail::WindowFromSdlId(event.windowID);
    if (window == nullptr) return;
    switch (event.event) {
    case SDL_WINDOWEVENT_FOCUS_GAINED: Queue(window, WM_SETFOCUS, 0, 0); break;
    case SDL_WINDOWEVENT_FOCUS_LOST: Queue(window, WM_KILLFOCUS, 0, 0); break;
    case SDL_WINDOWEVENT_CLOSE: Queue(window, WM_CLOSE, 0, 0); break;
    case SDL_WINDOWEVENT_EXPOSED: Queue(window, WM_PAINT, 0, 0); break;
    case SDL_WINDOWEVENT_SIZE_CHANGED:
        Queue(window, WM_SIZE, SIZE_RESTORED, MakeLParam(event.data1, event.data2));
        break;
    case SDL_WINDOWEVENT_MINIMIZED: Queue(window, WM_SIZE, SIZE_MINIMIZED, 0); break;
    case SDL_WINDOWEVENT_MAXIMIZED:
    case SDL_WINDOWEVENT_RESTORED: {
        int width = 0;
        int height = 0;
        GetClientSize(window, width, height);
        Queue(window, WM_SIZE, event.event == SDL_WINDOWEVENT_MAXIMIZED ? SIZE_MAXIMIZED : SIZE_RESTORED,
              MakeLParam(width, height));
        break;
    }
    default: break;
    }
}

void Translate(SDL_Event& event)
{
    switch (event.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP: TranslateKey(event.key); break;
    case SDL_TEXTINPUT: TranslateText(event.text); break;
    case SDL_MOUSEMOTION: TranslateMotion(event.motion); break;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: TranslateButton(event.button); break;
    case SDL_MOUSEWHEEL: TranslateWheel(event.wheel); break;
    case SDL_WINDOWEVENT: TranslateWindowEvent(event.window); break;
    // These carry text SDL allocated for the reader to free.
    case SDL_DROPFILE:
    case SDL_DROPTEXT: SDL_free(event.drop.file); break;
    case SDL_TEXTEDITING_EXT: SDL_free(event.editExt.text); break;
    default:
        // Controllers; wake-ups, quit requests and everything Windows has no message for are dropped.
        detail::TranslateGamepad(event);
        break;
    }
}

void DrainSdl()
{
    SDL_PumpEvents();
    SDL_Event events[32];
    for (;;) {
        const int count = SDL_PeepEvents(events, 32, SDL_GETEVENT, SDL_FIRSTEVENT, SDL_LASTEVENT);
        if (count <= 0) break;
        for (int i = 0; i < count; ++i)
            Translate(events[i]);
    }
}

bool DrainsSdl()
{
    return detail::OnWindowThread();
}

bool TakeFront(ThreadQueue& queue, Message& message, bool remove)
{
    std::lock_guard lock(queue.mutex);
    if (queue.messages.empty()) return false;
    message = queue.messages.front();
    if (remove) queue.messages.pop_front();
    return true;
}

bool HasMessages(ThreadQueue& queue)
{
    std::lock_guard lock(queue.mutex);
    return !queue.messages.empty();
}

void TrackSynchronousKeys(ThreadQueue& queue, const Message& message)
{
    const bool down = message.message == WM_KEYDOWN || message.message == WM_SYSKEYDOWN;
    const bool up = message.message == WM_KEYUP || message.message == WM_SYSKEYUP;
    if ((!down && !up) || message.wParam != static_cast<std::uintptr_t>(VK_CONTROL)) return;
    if ((message.lParam & KEYDATA_EXTENDED) != 0)
        queue.rightCtrlDown = down;
    else
        queue.leftCtrlDown = down;
}

} // namespace

namespace detail {

void AdoptWindowQueue()
{
    std::lock_guard lock(windowQueueMutex);
    windowQueue = LocalQueue();
}

void PushToWindowQueue(const Message& message)
{
    const std::shared_ptr<ThreadQueue> queue = WindowQueue();
    if (!queue) return;
    Push(*queue, message);
    if (!OnWindowThread() && EventsRunning()) {
        SDL_Event wake{};
        wake.type = WakeEventType();
        SDL_PushEvent(&wake);
    }
}

void DiscardMessagesFor(const Window* window)
{
    const std::shared_ptr<ThreadQueue> queue = WindowQueue();
    if (!queue) return;
    std::lock_guard lock(queue->mutex);
    std::erase_if(queue->messages, [window](const Message& message) { return message.window == window; });
}

void ResetTranslation()
{
    lastModifiers = 0;
    buttonsDown = 0;
}

} // namespace detail

bool PeekMessage(Message& message, std::uint32_t flags)
{
    ThreadQueue& queue = *LocalQueue();
    const bool remove = (flags & PM_REMOVE) != 0;
    bool found = TakeFront(queue, message, remove);
    if (!found && DrainsSdl()) {
        DrainSdl();
        found = TakeFront(queue, message, remove);
    }
    if (found && remove) TrackSynchronousKeys(queue, message);
    return found;
}

bool WaitMessage(int timeoutMilliseconds)
{
    ThreadQueue& queue = *LocalQueue();
    const auto deadline =
        std::chrono::steady_clock::now() + std::chrono::milliseconds(std::max(timeoutMilliseconds, 0));
    if (DrainsSdl()) {
        for (;;) {
            if (HasMessages(queue)) return true;
            DrainSdl();
            if (HasMessages(queue)) return true;
            if (timeoutMilliseconds < 0) {
                SDL_WaitEvent(nullptr);
                continue;
            }
            const auto left =
                std::chrono::duration_cast<std::chrono::milliseconds>(deadline - std::chrono::steady_clock::now());
            if (left.count() <= 0) return false;
            SDL_WaitEventTimeout(nullptr, static_cast<int>(left.count()));
        }
    }
    std::unique_lock lock(queue.mutex);
    const auto waiting = [&queue] { return !queue.messages.empty(); };
    if (timeoutMilliseconds < 0) {
        queue.ready.wait(lock, waiting);
        return true;
    }
    return queue.ready.wait_until(lock, deadline, waiting);
}

bool PostMessage(Window* window, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam)
{
    if (window != nullptr) return detail::PostToLiveWindow(Message{window, message, wParam, lParam});
    Push(*LocalQueue(), Message{nullptr, message, wParam, lParam});
    return true;
}

bool TranslateMessage(const Message& message)
{
    if (message.message != WM_KEYDOWN && message.message != WM_SYSKEYDOWN) return false;
    ThreadQueue& queue = *LocalQueue();
    const bool ctrl = queue.leftCtrlDown || queue.rightCtrlDown;
    const bool alt = (message.lParam & KEYDATA_ALT_DOWN) != 0;
    const int key = static_cast<int>(message.wParam);
    int character = 0;
    switch (key) {
    case VK_BACK: character = ctrl ? 0x7F : 0x08; break;
    case VK_TAB: character = ctrl ? 0 : 0x09; break;
    case VK_RETURN: character = ctrl ? 0x0A : 0x0D; break;
    case VK_ESCAPE: character = 0x1B; break;
    default:
        if (ctrl && !alt && key >= 'A' && key <= 'Z') character = key - 'A' + 1;
        break;
    }
    if (character == 0) return false;
    const std::uint32_t characterMessage = message.message == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR;
    Push(queue, Message{message.window, characterMessage, static_cast<std::uintptr_t>(character), message.lParam},
         true);
    return true;
}

std::intptr_t DispatchMessage(const Message& message)
{
    if (message.window == nullptr) return 0;
    const WindowProc proc = detail::LiveWindowProc(message.window);
    return proc != nullptr ? proc(message.window, message.message, message.wParam, message.lParam) : 0;
}

std::intptr_t SendMessage(Window* window, std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam)
{
    if (window == nullptr) return 0;
    const WindowProc proc = detail::LiveWindowProc(window);
    return proc != nullptr ? proc(window, message, wParam, lParam) : 0;
}

} // namespace vanta::platform
