// The JPEG loader, through libjpeg's 6b interface (libjpeg-turbo): grey files as `PF_I8`, colour files as
// `PF_RGB888`. Files of other colour spaces (CMYK) are refused; a file that ends early decodes as far as
// it goes, the rest of the picture as libjpeg fills it.
//
// libjpeg is reached only through the C glue of detail/JPEGGlue.h, where its error recovery point lives.
// The loader is not re-entrant.
//
// Builds on the pixmap module (pixmap/Pixmap.h) and the stream layer.
#pragma once

#include "pixmap/Pixmap.h"
#include "pixmap/loaders/detail/JPEGGlue.h"

#include <cstdint>

namespace vanta {

class TJPEGLoader;
template <>
inline constexpr const char* classDebugName<TJPEGLoader> = "TJPEGLoader";

// The JPEG loader; the module initialiser registers one.
class TJPEGLoader : public TPixmapLoader
{
    VANTA_CLASS(TJPEGLoader, TPixmapLoader)
public:
    TJPEGLoader() = default;

    // The pixmap, or `Null` when the data is not a JPEG this loader supports. Throws the stream's
    // `TStreamError` when a read fails before the end.
    Ref<TPixmap> LoadPixmap(const Ref<TByteStream>& stream) override;
};

// Reads up to size*count bytes from the stream passed as `stream` (a `TByteStream*`); answers the bytes
// read divided by `size`. Must not throw.
using JPEGReadFunction = VantaJPEGReadFn;

// Decodes a JPEG from `stream` through `read` into one buffer (the loader itself decodes straight into its
// pixmap): 0 with the size, the component count (1 or 3 for the files
// a pixmap can hold) and a buffer of width*height*components bytes, rows top to bottom, that the caller
// frees with `std::free`; -1 when libjpeg fails or the picture is beyond the pixmap limits (nothing to
// free then).
std::int32_t DecodeJPEG(const Ref<TByteStream>& stream, JPEGReadFunction read, std::int32_t& width,
                        std::int32_t& height, std::int32_t& components, std::uint8_t*& pixels);

// The JPEG module's initialiser: initialises the pixmap module and registers the loader.
void InitJPEGLoader();

} // namespace vanta
