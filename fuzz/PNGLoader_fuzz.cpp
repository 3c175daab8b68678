// Fuzz target "png": the PNG loader on the input; a picture it answers must survive a round trip through
// the PNG writer unchanged.
#include "fuzz/FuzzTargets.h"
#include "fuzz/LoaderFuzz.h"
#include "pixmap/loaders/PNGLoader.h"
#include "stream/MemoryBlock.h"
#include "stream/MemoryBlockStream.h"

#include <cstring>

namespace vanta::fuzz {

int FuzzPNGLoader(const std::uint8_t* data, std::size_t size)
{
    const Ref<TPNGLoader> loader = FuzzedLoader<TPNGLoader>();
    InitMemoryBlockStreams();
    const int level = ReleaseStackLevel();
    {
        const Ref<TPixmap> pixmap = loader->LoadPixmap(InputStream(data, size));
        FuzzCheck(PNGStream().IsNull(), "PNGStream is cleared");
        CheckLoaded(pixmap, PIXMAP_MAX_SIDE);
        if (!pixmap.IsNull()) {
            const Ref<TMemoryBlock> block = CreateMemoryBlock(0);
            FuzzCheck(SavePixmapPNG(pixmap, block, 1) == 1, "a loaded picture can be written");
            const Ref<TPixmap> again = loader->LoadPixmap(OpenReadStream(block));
            FuzzCheck(!again.IsNull(), "a written picture loads");
            FuzzCheck(again->Width() == pixmap->Width() && again->Height() == pixmap->Height() &&
                          again->Format() == pixmap->Format(),
                      "the round trip keeps the shape");
            const auto rowBytes = static_cast<std::size_t>(pixmap->Width() * pixmap->BytesPerPixel());
            for (std::int32_t y = 0; y < pixmap->Height(); ++y)
                FuzzCheck(std::memcmp(pixmap->PixelPtr(0, y), again->PixelPtr(0, y), rowBytes) == 0,
                          "the round trip keeps the pixels");
        }
    }
    FlushReleaseStack(level);
    return 0;
}

} // namespace vanta::fuzz
