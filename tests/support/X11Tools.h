// X11 actions for display tests that the xdotool program cannot perform.
//
// Builds on Xlib, talking to the display named by $DISPLAY.
#pragma once

#include <string>
#include <vector>

struct _XDisplay;

namespace vanta::test {

// The id of the first window titled `title` (WM_NAME or _NET_WM_NAME), or 0 when there is none.
unsigned long FindWindowByTitle(const std::string& title);

// The id of the first window titled `title` that process `pid` made (by the _NET_WM_PID its owner set, as
// SDL does), or 0 when there is none: a window of an earlier copy of the same program is never taken.
unsigned long FindWindowOfProcess(const std::string& title, long pid);

// The size of window `window` (an id from `FindWindowByTitle`); false when there is no such window.
bool GetWindowSize(unsigned long window, int& width, int& height);

// Whether window `window` is mapped and visible on the screen (it can take the focus and input).
bool IsWindowViewable(unsigned long window);

// What window `window` shows, as 0xRRGGBB values row by row from its top-left corner (what another
// process drew into it, read from the X server). False when there is no display or no such window, or the
// window is not viewable.
bool CaptureWindow(unsigned long window, int& width, int& height, std::vector<unsigned long>& pixels);

// Sends the window manager's close request (WM_PROTOCOLS / WM_DELETE_WINDOW) to the top-level window
// titled `title`, as a close box would. Answers false when no display or no such window is found.
bool RequestWindowClose(const std::string& title);

// Watches for the requests to minimise a window that programs send to the window manager (WM_CHANGE_STATE
// to IconicState on the root window). A bare X server has no window manager to honour them, so this is
// how a test sees that a window asked to be minimised.
class IconifyWatcher
{
public:
    // Starts listening on a connection of its own (to the display named by $DISPLAY).
    IconifyWatcher();
    ~IconifyWatcher();
    IconifyWatcher(const IconifyWatcher&) = delete;
    IconifyWatcher& operator=(const IconifyWatcher&) = delete;

    // Whether a request to minimise `window` arrived since listening started, waiting up to
    // `timeoutMilliseconds` for it. False when no display could be opened.
    bool SawRequestFor(unsigned long window, int timeoutMilliseconds);

private:
    _XDisplay* display_ = nullptr;
    std::vector<unsigned long> requested_;
};

} // namespace vanta::test
