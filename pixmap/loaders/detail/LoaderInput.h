// Reading helpers shared by the image loaders: reads that say how many bytes really arrived (the stream's
// `ReadBytes` answers the count asked for even when the stream ended first), and little-endian fields
// taken from bytes already read, so a loader's header parsing does not depend on how the stream orders
// its numbers.
#pragma once

#include "pixmap/Pixmap.h"
#include "runtime/Error.h"
#include "stream/Stream.h"

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace vanta::detail {

// The most pixels (width times height) a loader decodes; larger pictures are refused before anything is
// allocated for them. Beyond the pixmap's own limits by default; the fuzz programs lower it so that a
// hostile header costs milliseconds, not seconds.
inline std::int64_t loaderPixelLimit = std::int64_t{PIXMAP_MAX_SIDE} * PIXMAP_MAX_SIDE;

// True when a picture of `width` by `height` with `bytesPerPixel` bytes per pixel may be decoded: both
// sides 1 .. 16384, within `loaderPixelLimit` and within the pixmap memory limit.
inline bool PictureSizeAllowed(std::int64_t width, std::int64_t height, std::int64_t bytesPerPixel) noexcept
{
    if (width < 1 || height < 1 || width > PIXMAP_MAX_SIDE || height > PIXMAP_MAX_SIDE) return false;
    return width * height <= loaderPixelLimit && width * height * bytesPerPixel <= PIXMAP_MAX_BYTES;
}

// Reads up to `count` bytes into `buffer` and returns how many arrived; fewer only at the end of the
// stream. Throws `TStreamReadError`, as `ReadBytes` does, when the stream moves nothing before its end.
inline std::int32_t ReadUpTo(TByteStream& stream, void* buffer, std::int32_t count)
{
    if (count <= 0) return 0;
    if (stream.TakeFromWindow(buffer, count)) return count;
    auto* at = static_cast<std::uint8_t*>(buffer);
    std::int32_t done = 0;
    while (done < count) {
        const std::int32_t n = stream.Read(at + done, count - done);
        if (n <= 0) {
            if (stream.Eof() != 0) break;
            Throw(New<TStreamReadError>());
        }
        done += n;
    }
    return done;
}

// Drops up to `count` bytes and returns how many were dropped (fewer only at the end of the stream).
inline std::int64_t SkipUpTo(TByteStream& stream, std::int64_t count)
{
    std::uint8_t scratch[1024];
    std::int64_t done = 0;
    while (done < count) {
        const auto chunk = static_cast<std::int32_t>(count - done < 1024 ? count - done : 1024);
        const std::int32_t n = ReadUpTo(stream, scratch, chunk);
        done += n;
        if (n < chunk) break;
    }
    return done;
}

// A pixmap for a loader to fill (alignment 4): its memory is not cleared first, only the padding at the
// end of each row, so the loader must write every row or clear it with `ClearRows`. `Null` beyond the
// pixmap limits.
inline Ref<TPixmap> CreateLoaderPixmap(std::int32_t width, std::int32_t height, std::int32_t format)
{
    Ref<TPixmap> pixmap = TPixmap::CreateUncleared(width, height, format, 4);
    if (pixmap.IsNull()) return Null;
    const std::int32_t used = width * pixmap->BytesPerPixel();
    if (pixmap->Pitch() > used) {
        for (std::int32_t y = 0; y < height; ++y)
            std::memset(pixmap->PixelPtr(0, y) + used, 0, static_cast<std::size_t>(pixmap->Pitch() - used));
    }
    return pixmap;
}

// Clears rows `rowFor(first)` .. `rowFor(height - 1)`, the rows a loader did not reach.
template <class RowFor>
void ClearRows(TPixmap& pixmap, std::int32_t first, RowFor rowFor)
{
    const auto used = static_cast<std::size_t>(pixmap.Width() * pixmap.BytesPerPixel());
    for (std::int32_t r = first; r < pixmap.Height(); ++r)
        std::memset(pixmap.PixelPtr(0, rowFor(r)), 0, used);
}

inline std::uint32_t Little16(const std::uint8_t* p) noexcept
{
    return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8;
}

inline std::uint32_t Little32(const std::uint8_t* p) noexcept
{
    return Little16(p) | Little16(p + 2) << 16;
}

} // namespace vanta::detail
