// Fuzz target "png": the PNG loader on the input; a picture it answers must survive a round trip through
// the PNG writer unchanged.
//
// Before the input reaches the loader every whole chunk gets its correct CRC: a mutation would otherwise
// almost always end at libpng's checksum test, and the decoder behind it would never see hostile data.
#include "fuzz/FuzzTargets.h"
#include "fuzz/LoaderFuzz.h"
#include "pixmap/loaders/PNGLoader.h"
#include "stream/MemoryBlock.h"
#include "stream/MemoryBlockStream.h"

#include <cstring>
#include <vector>

namespace vanta::fuzz {
namespace {

std::uint32_t Crc32(const std::uint8_t* data, std::size_t size)
{
    std::uint32_t crc = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k)
            crc = (crc & 1) != 0 ? (crc >> 1) ^ 0xEDB88320u : crc >> 1;
    }
    return crc ^ 0xFFFFFFFFu;
}

// The input with the CRC of every chunk that lies wholly inside it set right.
std::vector<std::uint8_t> WithChunkChecksums(const std::uint8_t* data, std::size_t size)
{
    std::vector<std::uint8_t> bytes(data, data + size);
    std::size_t at = 8;
    while (at + 12 <= bytes.size()) {
        const std::size_t length = std::size_t{bytes[at]} << 24 | std::size_t{bytes[at + 1]} << 16 |
                                   std::size_t{bytes[at + 2]} << 8 | bytes[at + 3];
        if (length > bytes.size() - at - 12) break;
        const std::uint32_t crc = Crc32(&bytes[at + 4], length + 4);
        for (int i = 0; i < 4; ++i)
            bytes[at + 8 + length + i] = static_cast<std::uint8_t>(crc >> (24 - 8 * i));
        at += length + 12;
    }
    return bytes;
}

} // namespace

int FuzzPNGLoader(const std::uint8_t* data, std::size_t size)
{
    const Ref<TPNGLoader> loader = FuzzedLoader<TPNGLoader>();
    InitMemoryBlockStreams();
    const int level = ReleaseStackLevel();
    {
        const std::vector<std::uint8_t> bytes = WithChunkChecksums(data, size);
        const Ref<TPixmap> pixmap = loader->LoadPixmap(InputStream(bytes.data(), bytes.size()));
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
