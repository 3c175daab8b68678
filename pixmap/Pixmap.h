// The pixmap module: pixel formats and their conversions, pixmaps (pixmap/TPixmap.h), the pixmap
// operations as module functions, and the registry of image loaders.
//
// Formats are byte layouts, lowest address first. `PF_RGBA8888` is the hub: conversions between two
// other formats pass through it, and masking and resizing work in it. `PF_BGRA8888` read as one
// little-endian 32-bit word is the packed ARGB colour that `ReadPixel` and `WritePixel` exchange.
//
// Builds on the object runtime (runtime/Object.h, runtime/Error.h) and the stream layer (stream/Stream.h),
// through which `LoadPixmap` opens what it is asked to load.
#pragma once

#include "pixmap/TPixmap.h"
#include "runtime/Object.h"
#include "stream/Stream.h"

#include <cstdint>

namespace vanta {

// Pixel format codes.
inline constexpr std::int32_t PF_I8 = 1;       // intensity (grey)
inline constexpr std::int32_t PF_A8 = 2;       // alpha only
inline constexpr std::int32_t PF_BGR888 = 3;   // blue, green, red
inline constexpr std::int32_t PF_RGB888 = 4;   // red, green, blue
inline constexpr std::int32_t PF_BGRA8888 = 5; // blue, green, red, alpha
inline constexpr std::int32_t PF_RGBA8888 = 6; // red, green, blue, alpha

// Bytes per pixel, indexed by format code (entry 0 holds 0).
inline constexpr std::int32_t PixmapBytesPerPixel[7] = {0, 1, 1, 3, 3, 4, 4};

// Bytes per pixel of `format`; 0 for a code that names no format.
constexpr std::int32_t PixelFormatBytes(std::int32_t format) noexcept
{
    return format >= PF_I8 && format <= PF_RGBA8888 ? PixmapBytesPerPixel[format] : 0;
}

// The largest width or height of a pixmap made by `Create`, and the most memory one may own.
inline constexpr std::int32_t PIXMAP_MAX_SIDE = 16384;
// The most bytes of pixels one pixmap may own.
inline constexpr std::int64_t PIXMAP_MAX_BYTES = std::int64_t{256} * 1024 * 1024;

// Copies `count` pixels of `format` (memory may overlap). Nothing for a count below 1 or an unknown
// format. The caller vouches for both runs being `count` pixels long.
void CopyPixels(const void* source, void* destination, std::int32_t format, std::int32_t count);

// Converts `count` pixels from `sourceFormat` to `destinationFormat`, through RGBA when neither side is
// RGBA. Nothing for a count below 1 or an unknown format on either side. The caller vouches for both
// runs being `count` pixels long.
void ConvertPixels(const void* source, std::int32_t sourceFormat, void* destination, std::int32_t destinationFormat,
                   std::int32_t count);

// Base class of the image loaders. Constructing one links it in at the head of the registry, so the
// loader made last is asked first; loaders are never unregistered.
class TPixmapLoader : public Object
{
    VANTA_CLASS(TPixmapLoader, Object)
public:
    TPixmapLoader();

    // A pixmap decoded from `stream` (read from its current position), or `Null` when the data is not this
    // loader's format. May throw the stream's errors (`TStreamError` family), which `LoadPixmap` counts as
    // a rejection. The base class throws `TAbstractMethodError`.
    virtual Ref<TPixmap> LoadPixmap(const Ref<TByteStream>& stream);

    // The following loader in the registry, or `Null`.
    Ref<TPixmapLoader> next;
};

// The first loader of the registry (the one registered last), or `Null` when none is registered.
const Ref<TPixmapLoader>& PixmapLoaders();

// Module functions. Each throws `TNullObjectError` when given a `Null` pixmap; coordinates and sizes
// follow the rules of the `TPixmap` methods they wrap.

// `TPixmap::Create`: `Null` for sizes outside 1 .. 16384, an unknown format, align below 1 or more than
// 256 MiB.
Ref<TPixmap> CreatePixmap(std::int32_t width, std::int32_t height, std::int32_t format, std::int32_t align = 4);
// `TPixmap::CreateStatic`.
Ref<TPixmap> CreateStaticPixmap(void* pixels, std::int32_t width, std::int32_t height, std::int32_t pitch,
                                std::int32_t format);
// `TPixmap::Copy`.
Ref<TPixmap> CopyPixmap(const Ref<TPixmap>& pixmap);
// `TPixmap::Convert`.
Ref<TPixmap> ConvertPixmap(const Ref<TPixmap>& pixmap, std::int32_t format);
// `TPixmap::Width` (these four throw `TNullObjectError` for `Null`).
std::int32_t PixmapWidth(const Ref<TPixmap>& pixmap);
std::int32_t PixmapHeight(const Ref<TPixmap>& pixmap); // `TPixmap::Height`
std::int32_t PixmapPitch(const Ref<TPixmap>& pixmap);  // `TPixmap::Pitch`
std::int32_t PixmapFormat(const Ref<TPixmap>& pixmap); // `TPixmap::Format`
// `TPixmap::PixelPtr`: throws `TArrayBoundsError` outside the pixmap.
std::uint8_t* PixmapPixelPtr(const Ref<TPixmap>& pixmap, std::int32_t x, std::int32_t y);
// `TPixmap::Window`: `Null` for w or h below 1, `TArrayBoundsError` when it reaches outside.
Ref<TPixmap> PixmapWindow(const Ref<TPixmap>& pixmap, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h);
// `TPixmap::ReadPixel`: packed ARGB; throws `TArrayBoundsError` outside the pixmap.
std::uint32_t ReadPixel(const Ref<TPixmap>& pixmap, std::int32_t x, std::int32_t y);
// `TPixmap::WritePixel`: throws `TArrayBoundsError` outside the pixmap.
void WritePixel(const Ref<TPixmap>& pixmap, std::int32_t x, std::int32_t y, std::uint32_t argb);

// A new `PF_RGBA8888` pixmap in which every pixel of colour (r, g, b) is transparent and takes the
// average colour of its non-mask neighbours (3 by 3 block), so filtering shows no seam; every other pixel
// is opaque. `Null` for an empty pixmap or when the RGBA result would exceed the size limits.
Ref<TPixmap> MaskPixmap(const Ref<TPixmap>& pixmap, std::int32_t r, std::int32_t g, std::int32_t b);

// A new pixmap with the columns in reverse order, same format; `Null` for an empty pixmap.
Ref<TPixmap> XFlipPixmap(const Ref<TPixmap>& pixmap);

// A new pixmap with the rows in reverse order, same format; `Null` for an empty pixmap.
Ref<TPixmap> YFlipPixmap(const Ref<TPixmap>& pixmap);

// A new pixmap of width by height in the source's format, resampled bilinearly in single precision (edge
// rows and columns repeat, nothing is blended from outside). `Null` for a width or height outside
// 1 .. 16384, an empty pixmap, or a result or RGBA working copy beyond the size limits.
Ref<TPixmap> ResizePixmap(const Ref<TPixmap>& pixmap, std::int32_t width, std::int32_t height);

// The pixmap the registered loaders make of `url` (anything `OpenReadStream` opens: a path, a
// "protocol::path" URL, a stream, which is read from its position and left open). Each loader, newest
// first, is asked from the same start position until one answers a pixmap; a stream error inside a loader
// counts as its rejection, any other error propagates (the stream is closed first). `Null` when the url
// cannot be opened, when the stream cannot seek (`Pos` -1) or does not go back to its start for the next
// loader, or when no loader takes the data (see stream/LoaderProbe.h).
Ref<TPixmap> LoadPixmap(const Ref<Object>& url);

// `LoadPixmap`, also answering in `loader` the loader that made the pixmap (`Null` when none did).
Ref<TPixmap> LoadPixmapWithLoader(const Ref<Object>& url, Ref<TPixmapLoader>& loader);

// The pixmap module's initialiser: initialises the object runtime.
void InitPixmaps();

} // namespace vanta
