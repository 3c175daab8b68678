// The BMP loader: headers, palette and colour masks, the uncompressed row layouts and the hand-over to the
// run-length decoder.
#include "pixmap/loaders/BMPLoader.h"

#include "pixmap/loaders/detail/BMPBitFields.h"
#include "pixmap/loaders/detail/BMPRunLength.h"
#include "pixmap/loaders/detail/LoaderInput.h"
#include "stream/EndianStream.h"

#include <algorithm>
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
// The headers from version 2 on carry the colour masks, from version 3 on the alpha mask as well.
constexpr std::uint32_t V2_HEADER_SIZE = 52;
constexpr std::uint32_t V3_HEADER_SIZE = 56;
// The OS/2 2.x header, whose compression 3 is Huffman coding, not bit fields.
constexpr std::uint32_t OS2_V2_HEADER_SIZE = 64;
constexpr std::uint32_t BI_RGB = 0;
constexpr std::uint32_t BI_RLE8 = 1;
constexpr std::uint32_t BI_RLE4 = 2;
constexpr std::uint32_t BI_BITFIELDS = 3;
constexpr std::uint32_t BI_ALPHABITFIELDS = 6;

// The colour layout of 16- and 32-bit pixels when the file gives no masks: 5-5-5, or 8-8-8 with the
// fourth byte unused.
detail::BitFieldPixel DefaultBitFields(std::uint32_t bitCount)
{
    if (bitCount == 16)
        return {detail::BitFieldChannel(0x7C00), detail::BitFieldChannel(0x03E0), detail::BitFieldChannel(0x001F),
                detail::BitFieldChannel()};
    return {detail::BitFieldChannel(0xFF0000), detail::BitFieldChannel(0xFF00), detail::BitFieldChannel(0xFF),
            detail::BitFieldChannel()};
}

// Writes one row of `width` 16- or 32-bit pixels into an RGB888 row, or an RGBA8888 row when `fields`
// has an alpha channel; returns the alpha values ORed together.
std::uint32_t DecodeBitFieldRow(const std::uint8_t* in, std::uint8_t* out, std::int32_t width, std::uint32_t bitCount,
                                const detail::BitFieldPixel& fields)
{
    const bool withAlpha = fields.alpha.Present();
    std::uint32_t alphaSeen = 0;
    for (std::int32_t i = 0; i < width; ++i) {
        std::uint32_t pixel;
        if (bitCount == 16) {
            pixel = Little16(in);
            in += 2;
        } else {
            pixel = Little32(in);
            in += 4;
        }
        *out++ = fields.red.Widen(pixel);
        *out++ = fields.green.Widen(pixel);
        *out++ = fields.blue.Widen(pixel);
        if (withAlpha) {
            *out = fields.alpha.Widen(pixel);
            alphaSeen |= *out++;
        }
    }
    return alphaSeen;
}

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
    case 2:
        for (std::int32_t i = 0; i < width; ++i, out += 3) {
            const std::uint8_t* entry = palette + ((in[i >> 2] >> (6 - 2 * (i & 3))) & 3) * 3;
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

// True when the pixel layout `bitCount` with `compression` is one the loader decodes.
bool Decodable(std::uint32_t bitCount, std::uint32_t compression)
{
    switch (compression) {
    case BI_RGB:
        return bitCount == 1 || bitCount == 2 || bitCount == 4 || bitCount == 8 || bitCount == 16 || bitCount == 24 ||
               bitCount == 32;
    case BI_RLE8: return bitCount == 8;
    case BI_RLE4: return bitCount == 4;
    case BI_BITFIELDS:
    case BI_ALPHABITFIELDS: return bitCount == 16 || bitCount == 32;
    default: return false;
    }
}

// Sets alpha to 255 in the pixmap's rows `rowFor(0)` .. `rowFor(rows - 1)`: an alpha mask that gives zero
// everywhere is how writers mark a picture without transparency.
template <class RowFor>
void MakeOpaque(TPixmap& pixmap, std::int32_t rows, RowFor rowFor)
{
    for (std::int32_t r = 0; r < rows; ++r) {
        std::uint8_t* row = pixmap.PixelPtr(0, rowFor(r));
        for (std::int32_t x = 0; x < pixmap.Width(); ++x)
            row[x * 4 + 3] = 255;
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
    // Red, green, blue and alpha masks as the header gives them (0 where it has no room for them).
    std::uint8_t masks[16] = {};
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
        const std::uint32_t maskBytes = headerSize >= V2_HEADER_SIZE ? std::min<std::uint32_t>(headerSize - 40, 16) : 0;
        if (ReadUpTo(in, masks, static_cast<std::int32_t>(maskBytes)) < static_cast<std::int32_t>(maskBytes))
            return Null;
        // The rest of the later headers (colour space, profile) changes nothing in the pixels.
        const std::int64_t rest = std::int64_t{headerSize} - INFO_HEADER_SIZE - maskBytes;
        if (detail::SkipUpTo(in, rest) < rest) return Null;
    } else {
        return Null;
    }

    // A negative height stores the rows top to bottom.
    const bool topDown = height < 0;
    if (topDown) height = -height;
    if (!Decodable(bitCount, compression)) return Null;
    if (headerSize == OS2_V2_HEADER_SIZE && compression == BI_BITFIELDS) return Null;

    std::int64_t consumed = FILE_HEADER_SIZE + std::int64_t{headerSize};
    detail::BitFieldPixel fields;
    if (bitCount == 16 || bitCount == 32) {
        if (compression == BI_RGB) {
            fields = DefaultBitFields(bitCount);
            // The fourth byte of a plain 32-bit pixel is not alpha; a version 3 or later header may say it is.
            if (headerSize >= V3_HEADER_SIZE) {
                detail::BitFieldPixel withAlpha = fields;
                withAlpha.alpha = detail::BitFieldChannel(Little32(masks + 12));
                if (withAlpha.Valid(bitCount)) fields = withAlpha;
            }
        } else {
            if (headerSize < V2_HEADER_SIZE) {
                // The 40-byte header is followed by the masks: three, or four with the alpha mask.
                const std::int32_t count = compression == BI_ALPHABITFIELDS ? 16 : 12;
                if (ReadUpTo(in, masks, count) < count) return Null;
                consumed += count;
            }
            fields = {detail::BitFieldChannel(Little32(masks)), detail::BitFieldChannel(Little32(masks + 4)),
                      detail::BitFieldChannel(Little32(masks + 8)),
                      detail::BitFieldChannel(
                          headerSize >= V3_HEADER_SIZE || compression == BI_ALPHABITFIELDS ? Little32(masks + 12) : 0)};
            if (!fields.Valid(bitCount)) return Null;
        }
    }
    const bool runLength = compression == BI_RLE8 || compression == BI_RLE4;
    const std::int32_t format = runLength || fields.alpha.Present() ? PF_RGBA8888 : PF_RGB888;
    if (!detail::PictureSizeAllowed(width, height, PixelFormatBytes(format))) return Null;

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
    if (runLength) return detail::DecodeBMPRunLength(in, w, h, palette, compression == BI_RLE4, topDown);

    Ref<TPixmap> pixmap = detail::CreateLoaderPixmap(w, h, format);
    if (pixmap.IsNull()) return Null;
    // Rows are padded to whole 32-bit words; the padding of the last row may be missing at the file's end.
    const std::int64_t rowBytes = (width * bitCount + 31) / 32 * 4;
    const std::int64_t pixelBytes = (width * bitCount + 7) / 8;
    std::vector<std::uint8_t> row(static_cast<std::size_t>(rowBytes));
    auto rowFor = [h, topDown](std::int32_t r) { return topDown ? r : h - 1 - r; };
    std::uint32_t alphaSeen = 0;
    std::int32_t r = 0;
    for (; r < h; ++r) {
        const std::int32_t got = ReadUpTo(in, row.data(), static_cast<std::int32_t>(rowBytes));
        if (got < pixelBytes) {
            if (r == 0) return Null;
            // A file that ends early keeps the rows it holds; the others are black (and transparent).
            detail::ClearRows(*pixmap, r, rowFor);
            break;
        }
        std::uint8_t* target = pixmap->PixelPtr(0, rowFor(r));
        if (bitCount == 16 || bitCount == 32) {
            alphaSeen |= DecodeBitFieldRow(row.data(), target, w, bitCount, fields);
        } else {
            DecodeRow(row.data(), target, w, bitCount, palette);
        }
    }
    if (fields.alpha.Present() && alphaSeen == 0) MakeOpaque(*pixmap, r, rowFor);
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
