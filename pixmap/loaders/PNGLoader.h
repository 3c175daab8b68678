// The PNG loader and the PNG writer, both through libpng.
//
// Every PNG colour type and bit depth loads: grey as `PF_I8`, RGB and palettes without transparency as
// `PF_RGB888`, everything with alpha or transparency (grey with alpha included, with equal red, green and
// blue) as `PF_RGBA8888`; 16-bit samples keep their high byte. A damaged or truncated file gives `Null`.
// The writer stores the six pixel formats as grey, RGB or RGBA PNGs (`PF_A8` as white with its alpha).
//
// libpng is reached only through the C glue of detail/PNGGlue.h, where its error recovery point lives.
// While a load or save runs, `PNGStream` holds the stream it works on; neither is re-entrant.
//
// Builds on the pixmap module (pixmap/Pixmap.h) and the stream layer.
#pragma once

#include "pixmap/Pixmap.h"

#include <cstdint>

namespace vanta {

class TPNGLoader;
template <>
inline constexpr const char* classDebugName<TPNGLoader> = "TPNGLoader";

// The PNG loader; the module initialiser registers one.
class TPNGLoader : public TPixmapLoader
{
    VANTA_CLASS(TPNGLoader, TPixmapLoader)
public:
    TPNGLoader() = default;

    // The pixmap, or `Null` when the data is not a PNG or is damaged (the stream it opened is closed
    // either way). Throws the stream's `TStreamError` when a read fails before the end.
    Ref<TPixmap> LoadPixmap(const Ref<TByteStream>& stream) override;
};

// Writes `pixmap` as a PNG to a stream opened for writing from `url`, with the zlib `compression` level
// (0-9, or -1 for zlib's default). 1 when written; 0 when the url cannot be opened for writing, when
// the stream fails to take the bytes and when libpng refuses (a level outside -1 .. 9). Throws
// `TNullObjectError` for a `Null` pixmap.
std::int32_t SavePixmapPNG(const Ref<TPixmap>& pixmap, const Ref<Object>& url, std::int32_t compression);

// The stream the PNG loader or writer is working on; `Null` between calls.
const Ref<TByteStream>& PNGStream() noexcept;

// The PNG module's initialiser: initialises the pixmap module and registers the loader.
void InitPNGLoader();

} // namespace vanta
