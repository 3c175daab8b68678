// The BMP loader: headers, palette and the four uncompressed row layouts.
#include "pixmap/loaders/BMPLoader.h"

#include "pixmap/loaders/detail/LoaderInput.h"
#include "stream/EndianStream.h"

#include <cstring>
#include <vector>

namespace vanta {
namespace {

using detail::Little16;
using detail::Little32;
using detail::ReadUpTo;

constexpr std::uint32_t FILE_HEADER_SIZE = 14;
constexpr std::uint32_t CORE_HEADER_SIZE = 12;
constexpr std::uint32_t INFO_HEADER_SIZE = 40;
constexpr std::uint32_t BI_RGB = 0;

// Writes one row of `width` pixels from the file's row bytes into an RGB888 row; `palette` holds 256 RGB
// triplets (entries the file did not give are black), so every index stays inside the table.
void DecodeRow(const std::uint8_t* in, std::uint8_t* out, std::int32_t width, std::uint32_t bitCount,
               const std::uint8_t* palette)
{
    switch (bitCount) {
    case 1:
        for (std::int32_t i = 0; i < width; ++i, out += 3) {
            const std::uint8_t* entry = palette + ((in[i >> 3] >> (7 - (i & 7))) & 1) * 3;
            std::memcpy(out, entry, 3);
        }
        break;
    case 4:
        for (std::int32_t i = 0; i < width; ++i, out += 3) {
            const std::uint8_t pair = in[i >> 1];
            const std::uint8_t* entry = palette + ((i & 1) == 0 ? pair >> 4 : pair & 15) * 3;
            std::memcpy(out, entry, 3);
        }
        break;
    case 8:
        for (std::int32_t i = 0; i < width; ++i, out += 3)
            std::memcpy(out, palette + in[i] * 3, 3);
        break;
    case 24:
        for (std::int32_t i = 0; i < width; ++i, in += 3, out += 3) {
            out[0] = in[2];
            out[1] = in[1];
            out[2] = in[0];
        }
        break;
    default: break;
    }
}

} // namespace

Ref<TPixmap> TBMPLoader::LoadPixmap(const Ref<TByteStream>& stream)
{
    TByteStream& in = *stream;
    std::uint8_t header[FILE_HEADER_SIZE + INFO_HEADER_SIZE] = {};
    if (ReadUpTo(in, header, FILE_HEADER_SIZE + 4) < static_cast<std::int32_t>(FILE_HEADER_SIZE + 4)) return Null;
    if (header[0] != 'B' || header[1] != 'M') return Null;
    const std::uint32_t dataOffset = Little32(header + 10);
    const std::uint32_t headerSize = Little32(header + 14);
    const std::uint8_t* info = header + FILE_HEADER_SIZE;

    std::int64_t width = 0;
    std::int64_t height = 0;
    std::uint32_t bitCount = 0;
    std::uint32_t compression = BI_RGB;
    std::uint32_t coloursUsed = 0;
    std::uint32_t entryBytes = 4;
    if (headerSize == CORE_HEADER_SIZE) {
        if (ReadUpTo(in, header + 18, 8) < 8) return Null;
        width = Little16(info + 4);
        height = Little16(info + 6);
        bitCount = Little16(info + 10);
        entryBytes = 3;
    } else if (headerSize >= INFO_HEADER_SIZE) {
        if (ReadUpTo(in, header + 18, 36) < 36) return Null;
        width = static_cast<std::int32_t>(Little32(info + 4));
        height = static_cast<std::int32_t>(Little32(info + 8));
        bitCount = Little16(info + 14);
        compression = Little32(info + 16);
        coloursUsed = Little32(info + 32);
        // The later headers (colour masks, colour space, profile) add nothing an uncompressed file uses.
        if (detail::SkipUpTo(in, headerSize - INFO_HEADER_SIZE) < headerSize - INFO_HEADER_SIZE) return Null;
    } else {
        return Null;
    }

    // A negative height stores the rows top to bottom.
    const bool topDown = height < 0;
    if (topDown) height = -height;
    if (compression != BI_RGB) return Null;
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 24) return Null;
    if (!detail::PictureSizeAllowed(width, height, 3)) return Null;

    std::int64_t consumed = FILE_HEADER_SIZE + std::int64_t{headerSize};
    std::uint8_t palette[256 * 3] = {};
    if (bitCount <= 8) {
        const std::uint32_t tableSize = 1u << bitCount;
        std::int64_t count = coloursUsed == 0 || coloursUsed > tableSize ? tableSize : coloursUsed;
        // A pixel-data offset inside the table's nominal extent means the file stores fewer entries.
        if (dataOffset >= consumed && dataOffset < consumed + count * entryBytes)
            count = (dataOffset - consumed) / entryBytes;
        std::uint8_t entries[256 * 4];
        const std::int32_t got = ReadUpTo(in, entries, static_cast<std::int32_t>(count * entryBytes));
        consumed += got;
        for (std::int32_t i = 0; i < got / static_cast<std::int32_t>(entryBytes); ++i) {
            const std::uint8_t* entry = entries + i * entryBytes;
            palette[i * 3] = entry[2];
            palette[i * 3 + 1] = entry[1];
            palette[i * 3 + 2] = entry[0];
        }
    }
    // An offset that points back into the headers is damaged; the pixels are then taken to follow.
    if (dataOffset > consumed && detail::SkipUpTo(in, dataOffset - consumed) < dataOffset - consumed) return Null;

    const auto w = static_cast<std::int32_t>(width);
    const auto h = static_cast<std::int32_t>(height);
    Ref<TPixmap> pixmap = detail::CreateLoaderPixmap(w, h, PF_RGB888);
    if (pixmap.IsNull()) return Null;
    // Rows are padded to whole 32-bit words; the padding of the last row may be missing at the file's end.
    const std::int64_t rowBytes = (width * bitCount + 31) / 32 * 4;
    const std::int64_t pixelBytes = (width * bitCount + 7) / 8;
    std::vector<std::uint8_t> row(static_cast<std::size_t>(rowBytes));
    auto rowFor = [h, topDown](std::int32_t r) { return topDown ? r : h - 1 - r; };
    for (std::int32_t r = 0; r < h; ++r) {
        const std::int32_t got = ReadUpTo(in, row.data(), static_cast<std::int32_t>(rowBytes));
        if (got < pixelBytes) {
            if (r == 0) return Null;
            // A file that ends early keeps the rows it holds; the others are black.
            detail::ClearRows(*pixmap, r, rowFor);
            break;
        }
        DecodeRow(row.data(), pixmap->PixelPtr(0, rowFor(r)), w, bitCount, palette);
    }
    return pixmap;
}

void InitBMPLoader()
{
    static bool initialised = false;
    if (initialised) return;
    initialised = true;
    InitPixmaps();
    InitEndianStreams();
    New<TBMPLoader>();
}

} // namespace vanta
