// The TGA loader: header checks, the colour map, raw and run-length rows, the pixel depths of the three
// picture kinds, and the origins.
#include "pixmap/loaders/TGALoader.h"

#include "pixmap/loaders/detail/LoaderInput.h"
#include "stream/EndianStream.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace vanta {
namespace {

using detail::Little16;
using detail::ReadUpTo;

constexpr std::uint8_t TGA_COLOUR_MAPPED = 1;
constexpr std::uint8_t TGA_TRUE_COLOUR = 2;
constexpr std::uint8_t TGA_GREY = 3;
// The run-length kinds are the plain ones with this bit added.
constexpr std::uint8_t TGA_RUN_LENGTH = 8;
constexpr std::uint8_t TGA_ATTRIBUTE_BITS = 0x0F;
constexpr std::uint8_t TGA_RIGHT_TO_LEFT = 0x10;
constexpr std::uint8_t TGA_TOP_LEFT = 0x20;

// Turns one 15- or 16-bit value into RGB or RGBA at `out` and returns the byte after it. Without attribute
// bits, bit 15 set means transparent, as the runtime always read it; a file that declares an attribute
// bit uses it the format's way round, set meaning opaque.
std::uint8_t* DecodeShort(std::uint32_t v, std::uint8_t* out, std::int32_t depth, bool declaredAlpha)
{
    *out++ = static_cast<std::uint8_t>((v >> 7) & 0xF8);
    *out++ = static_cast<std::uint8_t>((v >> 2) & 0xF8);
    *out++ = static_cast<std::uint8_t>((v & 0x1F) << 3);
    if (depth == 16) *out++ = ((v & 0x8000) != 0) == declaredAlpha ? 255 : 0;
    return out;
}

// Turns one row of 15- or 16-bit file pixels into the pixmap's format: 15 bits to RGB, 16 bits to RGBA.
void DecodeShortRow(const std::uint8_t* in, std::uint8_t* out, std::int32_t width, std::int32_t depth,
                    bool declaredAlpha)
{
    for (std::int32_t i = 0; i < width; ++i, in += 2)
        out = DecodeShort(Little16(in), out, depth, declaredAlpha);
}

// Turns one row of 16-bit grey pixels (grey, then alpha) into RGBA.
void DecodeGreyAlphaRow(const std::uint8_t* in, std::uint8_t* out, std::int32_t width)
{
    for (std::int32_t i = 0; i < width; ++i, in += 2, out += 4) {
        out[0] = out[1] = out[2] = in[0];
        out[3] = in[1];
    }
}

// Turns one row of 8-bit colour-map indices into the map's colours; `map` holds 256 entries of
// `entryBytes` bytes in the pixmap's format.
void DecodeMappedRow(const std::uint8_t* in, std::uint8_t* out, std::int32_t width, const std::uint8_t* map,
                     std::int32_t entryBytes)
{
    for (std::int32_t i = 0; i < width; ++i, out += entryBytes)
        std::memcpy(out, map + in[i] * entryBytes, static_cast<std::size_t>(entryBytes));
}

// Mirrors a row of `width` pixels of `pixelBytes` bytes, for pictures stored right to left.
void ReverseRow(std::uint8_t* row, std::int32_t width, std::int32_t pixelBytes)
{
    for (std::int32_t i = 0, j = width - 1; i < j; ++i, --j)
        std::swap_ranges(row + i * pixelBytes, row + (i + 1) * pixelBytes, row + j * pixelBytes);
}

// True when every alpha byte of the RGBA rows `rowFor(0)` .. `rowFor(rows - 1)` is zero.
template <class RowFor>
bool Invisible(TPixmap& pixmap, std::int32_t rows, RowFor rowFor)
{
    for (std::int32_t r = 0; r < rows; ++r) {
        const std::uint8_t* row = pixmap.PixelPtr(0, rowFor(r));
        for (std::int32_t x = 0; x < pixmap.Width(); ++x) {
            if (row[x * 4 + 3] != 0) return false;
        }
    }
    return true;
}

// The colour map of a colour-mapped picture, read from the stream into 256 entries in the pixmap's
// format (RGB for 15- and 24-bit entries, RGBA for 16 and 32 bits). Indices the map does not cover are
// zero: black, and transparent where there is alpha.
class TGAColourMap
{
public:
    // The map's first index, length and entry size as the header gives them.
    TGAColourMap(std::uint32_t first, std::uint32_t length, std::int32_t entryDepth)
        : first_(first), length_(length), entryDepth_(entryDepth)
    {}

    // True for a map this loader reads: at least one entry of 15, 16, 24 or 32 bits.
    bool Valid() const noexcept
    {
        return length_ >= 1 && (entryDepth_ == 15 || entryDepth_ == 16 || entryDepth_ == 24 || entryDepth_ == 32);
    }

    // Bytes per entry in the pixmap's format.
    std::int32_t EntryBytes() const noexcept { return entryDepth_ == 16 || entryDepth_ == 32 ? 4 : 3; }

    // Reads the map; false when the stream ends inside it. Without attribute bits, a 32-bit map whose
    // alpha is zero everywhere is opaque.
    bool Read(TByteStream& in, bool declaredAlpha)
    {
        const std::int32_t fileBytes = (entryDepth_ + 7) / 8;
        std::vector<std::uint8_t> entries(std::size_t{length_} * fileBytes);
        const auto size = static_cast<std::int32_t>(entries.size());
        if (ReadUpTo(in, entries.data(), size) < size) return false;
        const std::int32_t entryBytes = EntryBytes();
        std::uint32_t alphaSeen = 0;
        for (std::uint32_t k = 0; k < length_ && first_ + k < 256; ++k) {
            const std::uint8_t* entry = &entries[std::size_t{k} * fileBytes];
            std::uint8_t* out = table_ + (first_ + k) * entryBytes;
            if (fileBytes == 2) {
                DecodeShort(Little16(entry), out, entryDepth_, declaredAlpha);
                continue;
            }
            out[0] = entry[2];
            out[1] = entry[1];
            out[2] = entry[0];
            if (fileBytes == 4) alphaSeen |= out[3] = entry[3];
        }
        if (entryDepth_ == 32 && !declaredAlpha && alphaSeen == 0) {
            for (std::uint32_t k = 0; k < length_ && first_ + k < 256; ++k)
                table_[(first_ + k) * 4 + 3] = 255;
        }
        return true;
    }

    // The 256 entries, `EntryBytes()` bytes each.
    const std::uint8_t* Table() const noexcept { return table_; }

private:
    std::uint32_t first_;
    std::uint32_t length_;
    std::int32_t entryDepth_;
    std::uint8_t table_[256 * 4] = {};
};

// Turns a row of 24-bit (blue, green, red) or 32-bit (blue, green, red, alpha) file pixels, already in the
// pixmap's row, into RGB or RGBA where it lies.
template <std::int32_t PIXEL_BYTES>
void SwapRedAndBlueOf(std::uint8_t* row, std::int32_t width)
{
#pragma GCC unroll 8
    for (std::int32_t i = 0; i < width; ++i, row += PIXEL_BYTES) {
        const std::uint8_t blue = row[0];
        row[0] = row[2];
        row[2] = blue;
    }
}

void SwapRedAndBlue(std::uint8_t* row, std::int32_t width, std::int32_t pixelBytes)
{
    if (pixelBytes == 3) {
        SwapRedAndBlueOf<3>(row, width);
    } else {
        SwapRedAndBlueOf<4>(row, width);
    }
}

// Expands run-length packets into rows of file pixels. A packet may cover the end of one row and the
// start of the next, so its state lives across rows.
class RunLengthReader
{
public:
    RunLengthReader(TByteStream& in, std::int32_t pixelBytes) : in_(in), pixelBytes_(pixelBytes) {}

    // Fills `count` pixels at `out`; false when the stream ended first.
    bool Fill(std::uint8_t* out, std::int32_t count)
    {
        while (count > 0) {
            if (left_ == 0 && !NextPacket()) return false;
            const std::int32_t take = std::min(left_, count);
            const std::int32_t bytes = take * pixelBytes_;
            if (run_) {
                for (std::int32_t i = 0; i < take; ++i)
                    std::memcpy(out + i * pixelBytes_, value_, static_cast<std::size_t>(pixelBytes_));
            } else if (ReadUpTo(in_, out, bytes) < bytes) {
                return false;
            }
            out += bytes;
            count -= take;
            left_ -= take;
        }
        return true;
    }

private:
    bool NextPacket()
    {
        std::uint8_t head;
        if (ReadUpTo(in_, &head, 1) < 1) return false;
        run_ = (head & 0x80) != 0;
        left_ = (head & 0x7F) + 1;
        return !run_ || ReadUpTo(in_, value_, pixelBytes_) == pixelBytes_;
    }

    TByteStream& in_;
    std::int32_t pixelBytes_;
    std::int32_t left_ = 0;
    bool run_ = false;
    std::uint8_t value_[4] = {};
};

} // namespace

TTGAHeader TTGAHeader::FromBytes(const std::uint8_t* bytes) noexcept
{
    TTGAHeader header;
    header.idLength = bytes[0];
    header.colourMapType = bytes[1];
    header.imageType = bytes[2];
    std::memcpy(header.colourMapSpec, bytes + 3, 5);
    header.xOrigin = static_cast<std::uint16_t>(Little16(bytes + 8));
    header.yOrigin = static_cast<std::uint16_t>(Little16(bytes + 10));
    header.imageWidth = static_cast<std::uint16_t>(Little16(bytes + 12));
    header.imageHeight = static_cast<std::uint16_t>(Little16(bytes + 14));
    header.pixelDepth = bytes[16];
    header.descriptor = bytes[17];
    return header;
}

Ref<TPixmap> TTGALoader::LoadPixmap(const Ref<TByteStream>& stream)
{
    TByteStream& in = *stream;
    std::uint8_t bytes[18];
    if (ReadUpTo(in, bytes, 18) < 18) return Null;
    const TTGAHeader header = TTGAHeader::FromBytes(bytes);
    const std::int32_t depth = header.pixelDepth;
    const std::int32_t width = header.imageWidth;
    const std::int32_t height = header.imageHeight;
    const std::uint8_t kind = header.imageType & ~TGA_RUN_LENGTH;
    const bool runLength = (header.imageType & TGA_RUN_LENGTH) != 0;
    if (header.imageType > (TGA_GREY | TGA_RUN_LENGTH) || kind < TGA_COLOUR_MAPPED || kind > TGA_GREY) return Null;
    // Whether the file says its alpha is real: 16-bit pixels then read bit 15 the format's way round, and
    // 32-bit pixels (grey with alpha too) whose alpha is zero everywhere are opaque only without it.
    const bool declaredAlpha = (header.descriptor & TGA_ATTRIBUTE_BITS) != 0;

    TGAColourMap map(Little16(header.colourMapSpec), Little16(header.colourMapSpec + 2), header.colourMapSpec[4]);
    std::int32_t format = 0;
    if (kind == TGA_COLOUR_MAPPED) {
        // 8-bit indices into a map of 15-, 16-, 24- or 32-bit colours.
        if (header.colourMapType != 1 || !map.Valid() || depth != 8) return Null;
        format = map.EntryBytes() == 4 ? PF_RGBA8888 : PF_RGB888;
    } else {
        // A colour map on a true-colour or grey picture is refused, as it always was.
        if (header.colourMapType != 0) return Null;
        if (kind == TGA_TRUE_COLOUR) {
            if (depth != 15 && depth != 16 && depth != 24 && depth != 32) return Null;
            format = depth == 16 || depth == 32 ? PF_RGBA8888 : PF_RGB888;
        } else {
            if (depth != 8 && depth != 16) return Null;
            format = depth == 8 ? PF_I8 : PF_RGBA8888;
        }
    }
    if (width < 1 || width > TGA_MAX_SIDE || height < 1 || height > TGA_MAX_SIDE) return Null;
    if (!detail::PictureSizeAllowed(width, height, PixelFormatBytes(format))) return Null;

    if (detail::SkipUpTo(in, header.idLength) < header.idLength) return Null;
    if (kind == TGA_COLOUR_MAPPED && !map.Read(in, declaredAlpha)) return Null;
    Ref<TPixmap> pixmap = detail::CreateLoaderPixmap(width, height, format);
    if (pixmap.IsNull()) return Null;

    const std::int32_t pixelBytes = (depth + 7) / 8;
    const std::int32_t rowBytes = width * pixelBytes;
    // 24- and 32-bit colours and 8-bit greys are read straight into the pixmap's rows; the others change
    // size on the way.
    const bool swapped = kind == TGA_TRUE_COLOUR && (depth == 24 || depth == 32);
    const bool inPlace = swapped || (kind == TGA_GREY && depth == 8);
    std::vector<std::uint8_t> fileRow(inPlace ? 0 : static_cast<std::size_t>(rowBytes));
    RunLengthReader packets(in, pixelBytes);
    const bool topDown = (header.descriptor & TGA_TOP_LEFT) != 0;
    auto rowFor = [height, topDown](std::int32_t r) { return topDown ? r : height - 1 - r; };
    std::int32_t done = 0;
    for (; done < height; ++done) {
        std::uint8_t* target = pixmap->Pixels() + static_cast<std::ptrdiff_t>(rowFor(done)) * pixmap->Pitch();
        std::uint8_t* row = inPlace ? target : fileRow.data();
        const bool complete = runLength ? packets.Fill(row, width) : ReadUpTo(in, row, rowBytes) == rowBytes;
        if (!complete) {
            if (done == 0) return Null;
            // A file that ends early keeps the rows it holds; the others (the one read in part included)
            // are clear.
            detail::ClearRows(*pixmap, done, rowFor);
            break;
        }
        if (inPlace) continue;
        if (kind == TGA_COLOUR_MAPPED) {
            DecodeMappedRow(row, target, width, map.Table(), map.EntryBytes());
        } else if (kind == TGA_GREY) {
            DecodeGreyAlphaRow(row, target, width);
        } else {
            DecodeShortRow(row, target, width, depth, declaredAlpha);
        }
    }
    // Red and blue change places once every row is in: a row swapped right after it was copied in would
    // read bytes still on their way to memory (the wide stores of the copy cannot forward to byte loads),
    // which costs more than the swap itself.
    if (swapped) {
        for (std::int32_t r = 0; r < done; ++r)
            SwapRedAndBlue(pixmap->Pixels() + static_cast<std::ptrdiff_t>(rowFor(r)) * pixmap->Pitch(), width,
                           pixelBytes);
    }
    if ((header.descriptor & TGA_RIGHT_TO_LEFT) != 0) {
        for (std::int32_t r = 0; r < done; ++r)
            ReverseRow(pixmap->PixelPtr(0, rowFor(r)), width, pixmap->BytesPerPixel());
    }
    // Writers that keep no alpha often leave the fourth byte zero and say so with no attribute bits.
    const bool wordAlpha = (kind == TGA_TRUE_COLOUR && depth == 32) || (kind == TGA_GREY && depth == 16);
    if (wordAlpha && !declaredAlpha && Invisible(*pixmap, done, rowFor)) {
        for (std::int32_t r = 0; r < done; ++r) {
            std::uint8_t* row = pixmap->PixelPtr(0, rowFor(r));
            for (std::int32_t x = 0; x < width; ++x)
                row[x * 4 + 3] = 255;
        }
    }
    return pixmap;
}

void InitTGALoader()
{
    static bool initialised = false;
    if (initialised) return;
    initialised = true;
    InitPixmaps();
    InitEndianStreams();
    New<TTGALoader>();
}

} // namespace vanta
