// Windows that show a program's picture scaled: a logical size fitted into the drawable with black bars,
// the pointer in the program's coordinates, resizing, and desktop full screen.
//
// Builds on the window records of Window.cpp and SDL's window sizes (LogicalSize.cpp). A window without
// a logical size behaves as ever: none of this touches it. Window thread only.
#pragma once

namespace vanta::platform {

struct Window;

// A rectangle in pixels, top-left origin.
struct PixelRect
{
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

// Where a `logicalWidth` x `logicalHeight` picture goes in a `drawableWidth` x `drawableHeight`
// drawable: as large as fits keeping its shape, centred (the rest are bars). With `wholeMultiples` the
// scale is the largest whole number that fits; a drawable smaller than the picture still gets the
// picture, shrunk to fit. An empty answer (0 x 0) for empty sizes.
PixelRect FitLogicalSize(int drawableWidth, int drawableHeight, int logicalWidth, int logicalHeight,
                         bool wholeMultiples);

// Makes `window` show a `width` x `height` picture scaled to fit (0 x 0: no longer): pointer positions
// in its messages arrive in the picture's coordinates, clamped to its edge, and `WarpPointer` takes them.
// Answers false for a window that does not exist.
bool SetLogicalSize(Window* window, int width, int height, bool wholeMultiples);

// Whether `window` shows a logical size.
bool HasLogicalSize(Window* window);

// Where the picture is shown now, in drawable pixels (`FitLogicalSize` of the drawable's size); false
// without a logical size.
bool GetLogicalViewport(Window* window, PixelRect& rect);

// The size of the window's drawable in real pixels: larger than the client size on high-density displays
// when the desktop allows it. 0 x 0 for a window that does not exist.
void GetDrawableSize(Window* window, int& width, int& height);

// Lets the user resize the window (a sizing border) or not.
void SetWindowResizable(Window* window, bool resizable);

// Resizes the client area to `width` x `height`; WM_SIZE follows through the queue.
void SetClientSize(Window* window, int width, int height);

// Switches `window` to desktop full screen (the screen's own mode, covered by the window) or back to
// the client size and place it had before. Answers false when the window does not exist or SDL refuses
// (`WindowError` says why); asking for the state it already has answers true.
bool SetDesktopFullScreen(Window* window, bool fullScreen);

// Whether `window` is in desktop full screen.
bool IsDesktopFullScreen(Window* window);

} // namespace vanta::platform
