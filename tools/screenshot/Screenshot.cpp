// vanta-screenshot: saves what the X server shows of a window (or of the whole screen) as a PNG.
//
//     vanta-screenshot WINDOW OUT.png
//
// WINDOW is a window id in decimal or hexadecimal (as xdotool prints it), or "root" for the screen. The
// pixels are read from the server with XGetImage and written by the runtime's PNG writer, so the tour of
// the game (tools/tour.sh) needs no image program. Exit status 0 when saved, 1 when the display, the
// window or the file fails, 2 for a usage error.
#include "pixmap/Pixmap.h"
#include "pixmap/TPixmap.h"
#include "pixmap/loaders/PNGLoader.h"
#include "runtime/Object.h"
#include "runtime/String.h"
#include "startup/ModuleSequence.h"

#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <bit>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// The 8-bit value of the colour channel `mask` selects in `pixel`.
std::uint32_t Channel(unsigned long pixel, unsigned long mask)
{
    if (mask == 0) return 0;
    const int shift = std::countr_zero(mask);
    const int bits = std::popcount(mask);
    const auto value = static_cast<std::uint32_t>((pixel & mask) >> shift);
    return bits >= 8 ? value >> (bits - 8) : value * 255u / ((1u << bits) - 1u);
}

int Save(Display* display, ::Window window, const char* path)
{
    XWindowAttributes attributes{};
    if (XGetWindowAttributes(display, window, &attributes) == 0) {
        std::fprintf(stderr, "vanta-screenshot: no such window\n");
        return 1;
    }
    XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(attributes.width),
                              static_cast<unsigned>(attributes.height), AllPlanes, ZPixmap);
    if (image == nullptr) {
        std::fprintf(stderr, "vanta-screenshot: the window's pixels cannot be read (is it on the screen?)\n");
        return 1;
    }
    vanta::Ref<vanta::TPixmap> pixmap = vanta::CreatePixmap(attributes.width, attributes.height, vanta::PF_RGB888, 4);
    for (int y = 0; y < attributes.height; ++y) {
        std::uint8_t* row = pixmap->Pixels() + static_cast<std::ptrdiff_t>(y) * pixmap->Pitch();
        for (int x = 0; x < attributes.width; ++x) {
            const unsigned long pixel = XGetPixel(image, x, y);
            row[x * 3 + 0] = static_cast<std::uint8_t>(Channel(pixel, image->red_mask));
            row[x * 3 + 1] = static_cast<std::uint8_t>(Channel(pixel, image->green_mask));
            row[x * 3 + 2] = static_cast<std::uint8_t>(Channel(pixel, image->blue_mask));
        }
    }
    XDestroyImage(image);
    if (vanta::SavePixmapPNG(pixmap, vanta::String::FromCString(path), -1) == 0) {
        std::fprintf(stderr, "vanta-screenshot: cannot write %s\n", path);
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: vanta-screenshot WINDOW|root OUT.png\n");
        return 2;
    }
    vanta::RunModuleInitialisers(vanta::MODULES_LOADERS);
    Display* display = XOpenDisplay(nullptr);
    if (display == nullptr) {
        std::fprintf(stderr, "vanta-screenshot: cannot open the display\n");
        return 1;
    }
    // A window that went away meanwhile is reported, not fatal.
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
    ::Window window = DefaultRootWindow(display);
    if (std::strcmp(argv[1], "root") != 0) {
        char* end = nullptr;
        window = static_cast<::Window>(std::strtoul(argv[1], &end, 0));
        if (end == argv[1] || *end != '\0' || window == 0) {
            std::fprintf(stderr, "vanta-screenshot: not a window id: %s\n", argv[1]);
            XCloseDisplay(display);
            return 2;
        }
    }
    const int status = Save(display, window, argv[2]);
    XCloseDisplay(display);
    vanta::FlushReleaseStack(-1);
    return status;
}
