// Fuzz target "jpeg": the JPEG loader on the input (libjpeg behind the glue's recovery point); whatever it answers must
// be a well-formed pixmap, and where stb_image decodes the input to a picture of the same size, that picture
// within the two decoders' rounding (a few levels on average).
#include "fuzz/FuzzTargets.h"
#include "fuzz/LoaderFuzz.h"
#include "pixmap/loaders/JPEGLoader.h"

namespace vanta::fuzz {

int FuzzJPEGLoader(const std::uint8_t* data, std::size_t size)
{
    const Ref<TJPEGLoader> loader = FuzzedLoader<TJPEGLoader>();
    const int level = ReleaseStackLevel();
    const Ref<TPixmap> pixmap = loader->LoadPixmap(InputStream(data, size));
    CheckLoaded(pixmap, PIXMAP_MAX_SIDE);
    CheckAgainstReference(pixmap, data, size, 255, 4.0);
    FlushReleaseStack(level);
    return 0;
}

} // namespace vanta::fuzz
