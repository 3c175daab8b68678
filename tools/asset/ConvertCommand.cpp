// `vanta-asset convert URL OUT.png`: any picture the loaders read, written as a PNG.
#include "pixmap/Pixmap.h"
#include "pixmap/loaders/PNGLoader.h"
#include "tools/asset/AssetTool.h"

#include <cstdio>

namespace vanta::asset {
namespace {

// zlib's usual trade of size for time.
constexpr std::int32_t PNG_COMPRESSION = 6;

} // namespace

int RunConvert(const std::vector<std::string>& arguments)
{
    if (arguments.size() != 2) return EXIT_USAGE;
    const Ref<TPixmap> pixmap = LoadPixmap(UrlOf(arguments[0]));
    if (pixmap.IsNull()) {
        std::fprintf(stderr, "cannot load image: %s\n", arguments[0].c_str());
        return EXIT_FAILED;
    }
    if (SavePixmapPNG(pixmap, UrlOf(arguments[1]), PNG_COMPRESSION) == 0) {
        std::fprintf(stderr, "cannot write image: %s\n", arguments[1].c_str());
        return EXIT_FAILED;
    }
    return EXIT_OK;
}

} // namespace vanta::asset
