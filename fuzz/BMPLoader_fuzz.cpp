// Fuzz target "bmp": the BMP loader on the input; whatever it answers must be a well-formed pixmap.
#include "fuzz/FuzzTargets.h"
#include "fuzz/LoaderFuzz.h"
#include "pixmap/loaders/BMPLoader.h"

namespace vanta::fuzz {

int FuzzBMPLoader(const std::uint8_t* data, std::size_t size)
{
    const Ref<TBMPLoader> loader = FuzzedLoader<TBMPLoader>();
    const int level = ReleaseStackLevel();
    CheckLoaded(loader->LoadPixmap(InputStream(data, size)), PIXMAP_MAX_SIDE);
    FlushReleaseStack(level);
    return 0;
}

} // namespace vanta::fuzz
