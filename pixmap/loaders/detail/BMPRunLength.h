// Run-length compressed BMP pixels (RLE8 and RLE4): runs, literal stretches and the three escapes (end of
// line, end of picture, delta).
#pragma once

#include "pixmap/Pixmap.h"

#include <cstdint>

namespace vanta::detail {

// Decodes the compressed pixels that follow in `in` into a new `PF_RGBA8888` pixmap of `width` by
// `height`. `palette` holds 256 red, green, blue triplets (entries the file did not give are black);
// `fourBit` chooses RLE4 over RLE8, `topDown` the row order. Pixels no run reaches stay transparent; runs
// past the end of a row are cut there and codes past the last row end the picture. `Null` when the stream
// holds no pixel data at all. Throws the stream's `TStreamError` when a read fails before the end.
Ref<TPixmap> DecodeBMPRunLength(TByteStream& in, std::int32_t width, std::int32_t height, const std::uint8_t* palette,
                                bool fourBit, bool topDown);

} // namespace vanta::detail
