// X11 actions for display tests that the xdotool program cannot perform.
//
// Builds on Xlib, talking to the display named by $DISPLAY.
#pragma once

#include <string>

namespace vanta::test {

// The id of the first window titled `title` (WM_NAME or _NET_WM_NAME), or 0 when there is none.
unsigned long FindWindowByTitle(const std::string& title);

// The size of window `window` (an id from `FindWindowByTitle`); false when there is no such window.
bool GetWindowSize(unsigned long window, int& width, int& height);

// Sends the window manager's close request (WM_PROTOCOLS / WM_DELETE_WINDOW) to the top-level window
// titled `title`, as a close box would. Answers false when no display or no such window is found.
bool RequestWindowClose(const std::string& title);

} // namespace vanta::test
