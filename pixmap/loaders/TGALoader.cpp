// The TGA loader: header checks, raw and run-length rows, and the four pixel depths.
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

constexpr std::uint8_t TGA_TRUE_COLOUR = 2;
constexpr std::uint8_t TGA_TRUE_COLOUR_RLE = 10;
constexpr std::uint8_t TGA_TOP_LEFT = 0x20;

// Turns one row of 15- or 16-bit file pixels into the pixmap's format: 15 bits to RGB, 16 bits to RGBA
// (bit 15 set means transparent).
void DecodeShortRow(const std::uint8_t* in, std::uint8_t* out, std::int32_t width, std::int32_t depth)
{
    for (std::int32_t i = 0; i < width; ++i, in += 2) {
        const std::uint32_t v = Little16(in);
        *out++ = static_cast<std::uint8_t>((v >> 7) & 0xF8);
        *out++ = static_cast<std::uint8_t>((v >> 2) & 0xF8);
        *out++ = static_cast<std::uint8_t>((v & 0x1F) << 3);
        if (depth == 16) *out++ = (v & 0x8000) != 0 ? 0 : 255;
    }
}

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
    // Colour-mapped pictures (type 1) have no decoder: refused like any other type.
    if (header.colourMapType != 0) return Null;
    if (header.imageType != TGA_TRUE_COLOUR && header.imageType != TGA_TRUE_COLOUR_RLE) return Null;
    if (depth != 15 && depth != 16 && depth != 24 && depth != 32) return Null;
    if (width < 1 || width > TGA_MAX_SIDE || height < 1 || height > TGA_MAX_SIDE) return Null;
    const std::int32_t format = depth == 16 || depth == 32 ? PF_RGBA8888 : PF_RGB888;
    if (!detail::PictureSizeAllowed(width, height, PixelFormatBytes(format))) return Null;

    if (detail::SkipUpTo(in, header.idLength) < header.idLength) return Null;
    Ref<TPixmap> pixmap = detail::CreateLoaderPixmap(width, height, format);
    if (pixmap.IsNull()) return Null;

    const std::int32_t pixelBytes = (depth + 7) / 8;
    const std::int32_t rowBytes = width * pixelBytes;
    // 24- and 32-bit pixels are read straight into the pixmap's rows; 15 and 16 bits grow on the way.
    const bool inPlace = depth == 24 || depth == 32;
    std::vector<std::uint8_t> shortRow(inPlace ? 0 : static_cast<std::size_t>(rowBytes));
    RunLengthReader packets(in, pixelBytes);
    const bool topDown = (header.descriptor & TGA_TOP_LEFT) != 0;
    auto rowFor = [height, topDown](std::int32_t r) { return topDown ? r : height - 1 - r; };
    std::int32_t done = 0;
    for (; done < height; ++done) {
        std::uint8_t* target = pixmap->Pixels() + static_cast<std::ptrdiff_t>(rowFor(done)) * pixmap->Pitch();
        std::uint8_t* row = inPlace ? target : shortRow.data();
        const bool complete =
            header.imageType == TGA_TRUE_COLOUR ? ReadUpTo(in, row, rowBytes) == rowBytes : packets.Fill(row, width);
        if (!complete) {
            if (done == 0) return Null;
            // A file that ends early keeps the rows it holds; the others (the one read in part included)
            // are clear.
            detail::ClearRows(*pixmap, done, rowFor);
            break;
        }
        if (!inPlace) DecodeShortRow(row, target, width, depth);
    }
    // Red and blue change places once every row is in: a row swapped right after it was copied in would
    // read bytes still on their way to memory (the wide stores of the copy cannot forward to byte loads),
    // which costs more than the swap itself.
    if (inPlace) {
        for (std::int32_t r = 0; r < done; ++r)
            SwapRedAndBlue(pixmap->Pixels() + static_cast<std::ptrdiff_t>(rowFor(r)) * pixmap->Pitch(), width,
                           pixelBytes);
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
