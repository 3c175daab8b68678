// Fuzz target "tga": the TGA loader on the input; whatever it answers must be a well-formed pixmap.
#include "fuzz/FuzzTargets.h"
#include "fuzz/LoaderFuzz.h"
#include "pixmap/loaders/TGALoader.h"

namespace vanta::fuzz {

int FuzzTGALoader(const std::uint8_t* data, std::size_t size)
{
    const Ref<TTGALoader> loader = FuzzedLoader<TTGALoader>();
    const int level = ReleaseStackLevel();
    CheckLoaded(loader->LoadPixmap(InputStream(data, size)), TGA_MAX_SIDE);
    FlushReleaseStack(level);
    return 0;
}

} // namespace vanta::fuzz
