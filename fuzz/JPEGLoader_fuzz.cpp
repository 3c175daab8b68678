// Fuzz target "jpeg": the JPEG loader on the input (libjpeg behind the glue's recovery point); whatever it answers must
// be a well-formed pixmap.
#include "fuzz/FuzzTargets.h"
#include "fuzz/LoaderFuzz.h"
#include "pixmap/loaders/JPEGLoader.h"

namespace vanta::fuzz {

int FuzzJPEGLoader(const std::uint8_t* data, std::size_t size)
{
    const Ref<TJPEGLoader> loader = FuzzedLoader<TJPEGLoader>();
    const int level = ReleaseStackLevel();
    CheckLoaded(loader->LoadPixmap(InputStream(data, size)), PIXMAP_MAX_SIDE);
    FlushReleaseStack(level);
    return 0;
}

} // namespace vanta::fuzz
