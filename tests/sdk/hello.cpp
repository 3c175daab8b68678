// A one-file program built by hand against an installed VantaMax through pkg-config:
//     c++ -std=c++20 hello.cpp -o hello $(pkg-config --cflags --libs vantamax)
// Draws a pixel into a pixmap, writes it as a PNG, reads it back through the loaders and prints the
// runtime's version and what it read.
#include "pixmap/Pixmap.h"
#include "pixmap/TPixmap.h"
#include "pixmap/loaders/PNGLoader.h"
#include "startup/ModuleSequence.h"

#include <cstdio>
#include <vantamax/runtime/Version.h>

int main()
{
    using namespace vanta;
    RunModuleInitialisers(MODULES_LOADERS);
    Ref<TPixmap> pixmap = CreatePixmap(3, 2, PF_RGBA8888);
    pixmap->WritePixel(2, 1, 0xFF123456u);
    if (SavePixmapPNG(pixmap, "hello.png"_s, 6) == 0) return 1;
    Ref<TPixmap> read = LoadPixmap("hello.png"_s);
    if (!read) return 1;
    std::printf("%s %dx%d %08X\n", VANTAMAX_VERSION, read->Width(), read->Height(), read->ReadPixel(2, 1));
    return 0;
}
