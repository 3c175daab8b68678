// The BMP loader: Windows and OS/2 bitmaps of 1, 2, 4, 8, 16, 24 and 32 bits per pixel, uncompressed, with
// colour masks (bit fields) or run-length compressed (RLE8, RLE4).
//
// The headers common tools write are understood (the 12-byte OS/2 header and the 40-, 52-, 56-, 108- and
// 124-byte Windows headers), the pixel-data offset is honoured and a negative height means rows stored top
// to bottom. Palette pictures and pictures without alpha give `PF_RGB888` pixmaps; 16- and 32-bit pictures
// with an alpha mask, and run-length pictures (whose pixels no run reaches are transparent), give
// `PF_RGBA8888`. Each mask's channel is widened to 8 bits with rounding; an alpha mask that is zero
// everywhere means opaque, and the fourth byte of a 32-bit pixel without masks is not alpha. Palette
// indices beyond the palette read as black. Masks that are empty (red, green, blue), broken, overlapping
// or wider than the pixel, other compressions and other bit counts are refused. A file that ends early
// gives the rows it holds (the rest black, or transparent), or `Null` before the first.
//
// Builds on the pixmap module (pixmap/Pixmap.h) and the stream layer.
#pragma once

#include "pixmap/Pixmap.h"

namespace vanta {

class TBMPLoader;
template <>
inline constexpr const char* classDebugName<TBMPLoader> = "TBMPLoader";

// The BMP loader; the module initialiser registers one.
class TBMPLoader : public TPixmapLoader
{
    VANTA_CLASS(TBMPLoader, TPixmapLoader)
public:
    TBMPLoader() = default;

    // A `PF_RGB888` or `PF_RGBA8888` pixmap, or `Null` when the data is not a BMP file this loader
    // supports. Throws the stream's `TStreamError` when a read fails before the end.
    Ref<TPixmap> LoadPixmap(const Ref<TByteStream>& stream) override;
};

// The BMP module's initialiser: initialises the pixmap and endian-stream modules and registers the loader.
void InitBMPLoader();

} // namespace vanta
