// vanta-asset: looks at assets the way the runtime does.
//
//     vanta-asset info URL            what the runtime makes of the asset (for a picture: the loader that
//                                     took it, width, height, pixel format; for a sound: the loader,
//                                     format, rate, frames)
//     vanta-asset convert URL OUT.png the picture at URL written as a PNG
//     vanta-asset audio URL OUT.wav   the sound at URL written as a WAV file in its own layout and rate
//     vanta-asset text FONT SIZE TEXT OUT.png
//                                     TEXT drawn white on transparent with the image font the runtime makes
//                                     of FONT at SIZE pixels ("default": the built-in font); prints
//                                     "width W height H"
//
//     vanta-asset --version           the runtime's version
//
// `info` also describes font files (faces, sizes, line metrics, glyph count).
// URLs are whatever the stream layer opens: a path, "bigendian::path", ... Exit status 0 on success, 1
// when the asset cannot be loaded or written (one line on standard error), 2 for a usage error.
#include "pixmap/Pixmap.h"
#include "runtime/Error.h"
#include "runtime/Version.h"
#include "tools/asset/AssetTool.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace vanta::asset {
namespace {

void PrintUsage()
{
    std::fputs("usage: vanta-asset COMMAND ARGUMENTS\n", stderr);
    for (const Command& command : Commands()) {
        const std::string synopsis = std::string(command.name) + " " + command.arguments;
        std::fprintf(stderr, "  vanta-asset %-20s %s\n", synopsis.c_str(), command.summary);
    }
}

} // namespace

} // namespace vanta::asset

int main(int argc, char** argv)
{
    using namespace vanta::asset;
    if (argc < 2) {
        PrintUsage();
        return EXIT_USAGE;
    }
    if (std::strcmp(argv[1], "--version") == 0) {
        std::puts("vanta-asset " VANTAMAX_VERSION);
        return 0;
    }
    for (const Command& command : Commands()) {
        if (std::strcmp(argv[1], command.name) != 0) continue;
        vanta::RunModuleInitialisers(ASSET_MODULES);
        const std::vector<std::string> arguments(argv + 2, argv + argc);
        const int status = command.run(arguments);
        if (status == EXIT_USAGE) PrintUsage();
        vanta::FlushReleaseStack(-1);
        return status;
    }
    std::fprintf(stderr, "vanta-asset: unknown command: %s\n", argv[1]);
    PrintUsage();
    return EXIT_USAGE;
}
