// X11 actions for display tests: the close request a window manager's close box sends, and reading
// what a window shows.
//
// Builds on Xlib.
#include "support/X11Tools.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <algorithm>
#include <chrono>
#include <cstring>
#include <thread>

namespace vanta::test {
namespace {

// A connection to the display on which X errors are ignored while it is open: the windows a test looks at
// belong to another process and may go away between two requests, and Xlib's default error handler would
// end the test program.
class TolerantDisplay
{
public:
    TolerantDisplay() : display_(XOpenDisplay(nullptr))
    {
        if (display_ != nullptr) previous_ = XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    }
    ~TolerantDisplay()
    {
        if (display_ == nullptr) return;
        XSync(display_, False);
        XSetErrorHandler(previous_);
        XCloseDisplay(display_);
    }
    TolerantDisplay(const TolerantDisplay&) = delete;
    TolerantDisplay& operator=(const TolerantDisplay&) = delete;

    Display* Get() const { return display_; }

private:
    Display* display_;
    XErrorHandler previous_ = nullptr;
};

// Whether a window's title is `title`: the Latin-1 WM_NAME, or the UTF-8 _NET_WM_NAME that some
// programs (SDL's message boxes) set instead.
bool HasTitle(Display* display, ::Window window, const std::string& title)
{
    char* name = nullptr;
    if (XFetchName(display, window, &name) != 0 && name != nullptr) {
        const bool same = title == name;
        XFree(name);
        if (same) return true;
    }
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    const Atom netName = XInternAtom(display, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    bool same = false;
    if (XGetWindowProperty(display, window, netName, 0, 1024, False, utf8, &type, &format, &count, &after, &data) ==
            Success &&
        data != nullptr) {
        same = type == utf8 && format == 8 && title == std::string(reinterpret_cast<char*>(data), count);
    }
    if (data != nullptr) XFree(data);
    return same;
}

// Collects the windows titled `title` below `parent`, looking a few levels down so that window-manager
// frames are searched too.
void CollectByTitle(Display* display, ::Window parent, const std::string& title, int depth,
                    std::vector<unsigned long>& found)
{
    ::Window root = 0;
    ::Window ignored = 0;
    ::Window* children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(display, parent, &root, &ignored, &children, &count) == 0) return;
    for (unsigned int i = 0; i < count; ++i) {
        if (HasTitle(display, children[i], title)) found.push_back(children[i]);
        if (depth > 0) CollectByTitle(display, children[i], title, depth - 1, found);
    }
    if (children != nullptr) XFree(children);
}

std::vector<unsigned long> WindowsByTitle(Display* display, const std::string& title)
{
    std::vector<unsigned long> found;
    CollectByTitle(display, DefaultRootWindow(display), title, 3, found);
    return found;
}

// The process id a window's owner published (_NET_WM_PID), or 0.
long OwnerProcess(Display* display, ::Window window)
{
    Atom type = 0;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    long pid = 0;
    const Atom property = XInternAtom(display, "_NET_WM_PID", False);
    if (XGetWindowProperty(display, window, property, 0, 1, False, XA_CARDINAL, &type, &format, &count, &after,
                           &data) == Success &&
        data != nullptr && type == XA_CARDINAL && format == 32 && count == 1) {
        // Xlib hands 32-bit items over as longs.
        pid = *reinterpret_cast<long*>(data);
    }
    if (data != nullptr) XFree(data);
    return pid;
}

} // namespace

unsigned long FindWindowByTitle(const std::string& title)
{
    const TolerantDisplay display;
    if (display.Get() == nullptr) return 0;
    const std::vector<unsigned long> found = WindowsByTitle(display.Get(), title);
    return found.empty() ? 0 : found.front();
}

unsigned long FindWindowOfProcess(const std::string& title, long pid)
{
    const TolerantDisplay display;
    if (display.Get() == nullptr) return 0;
    for (const unsigned long window : WindowsByTitle(display.Get(), title)) {
        if (OwnerProcess(display.Get(), window) == pid) return window;
    }
    return 0;
}

namespace {

// The attributes of `window`; false when there is no display or no such window.
bool QueryAttributes(unsigned long window, XWindowAttributes& attributes)
{
    const TolerantDisplay display;
    return display.Get() != nullptr && window != 0 && XGetWindowAttributes(display.Get(), window, &attributes) != 0;
}

} // namespace

bool GetWindowSize(unsigned long window, int& width, int& height)
{
    XWindowAttributes attributes{};
    if (!QueryAttributes(window, attributes)) return false;
    width = attributes.width;
    height = attributes.height;
    return true;
}

bool IsWindowViewable(unsigned long window)
{
    XWindowAttributes attributes{};
    return QueryAttributes(window, attributes) && attributes.map_state == IsViewable;
}

bool CaptureWindow(unsigned long window, int& width, int& height, std::vector<unsigned long>& pixels)
{
    const TolerantDisplay tolerant;
    Display* display = tolerant.Get();
    if (display == nullptr) return false;
    XWindowAttributes attributes{};
    bool captured = false;
    if (XGetWindowAttributes(display, window, &attributes) != 0 && attributes.map_state == IsViewable) {
        XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned int>(attributes.width),
                                  static_cast<unsigned int>(attributes.height), AllPlanes, ZPixmap);
        if (image != nullptr) {
            width = attributes.width;
            height = attributes.height;
            pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), 0);
            for (int y = 0; y < height; ++y) {
                for (int x = 0; x < width; ++x)
                    pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                           static_cast<std::size_t>(x)] = XGetPixel(image, x, y) & 0xFFFFFFul;
            }
            XDestroyImage(image);
            captured = true;
        }
    }
    return captured;
}

bool RequestWindowClose(const std::string& title)
{
    const TolerantDisplay tolerant;
    Display* display = tolerant.Get();
    if (display == nullptr) return false;
    const std::vector<unsigned long> found = WindowsByTitle(display, title);
    const ::Window window = found.empty() ? 0 : found.front();
    if (window != 0) {
        XEvent event;
        std::memset(&event, 0, sizeof event);
        event.xclient.type = ClientMessage;
        event.xclient.window = window;
        event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
        event.xclient.format = 32;
        event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
        event.xclient.data.l[1] = CurrentTime;
        XSendEvent(display, window, False, NoEventMask, &event);
    }
    return window != 0;
}

IconifyWatcher::IconifyWatcher() : display_(XOpenDisplay(nullptr))
{
    if (display_ == nullptr) return;
    // Requests to the window manager are sent to the root window for substructure redirection and
    // notification; listening for the notification is enough to receive them, and redirects nothing.
    XSelectInput(display_, DefaultRootWindow(display_), SubstructureNotifyMask);
    XSync(display_, False);
}

IconifyWatcher::~IconifyWatcher()
{
    if (display_ != nullptr) XCloseDisplay(display_);
}

bool IconifyWatcher::SawRequestFor(unsigned long window, int timeoutMilliseconds)
{
    if (display_ == nullptr) return false;
    const Atom changeState = XInternAtom(display_, "WM_CHANGE_STATE", False);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMilliseconds);
    for (;;) {
        while (XPending(display_) > 0) {
            XEvent event;
            XNextEvent(display_, &event);
            if (event.type == ClientMessage && event.xclient.message_type == changeState &&
                event.xclient.data.l[0] == IconicState)
                requested_.push_back(event.xclient.window);
        }
        if (std::find(requested_.begin(), requested_.end(), window) != requested_.end()) return true;
        if (std::chrono::steady_clock::now() >= deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

} // namespace vanta::test
