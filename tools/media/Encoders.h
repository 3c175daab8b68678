// Writing the generator's files: palette PNGs for the masked pictures, RGB and RGBA PNGs through the
// runtime's own PNG writer, baseline JPEGs, and Ogg Vorbis music.
//
// The game loads most pictures masked: exactly (0, 0, 0) is transparent and everything else is opaque. A
// masked picture is therefore prepared with `Flatten`, which turns soft alpha into that rule, and no
// opaque pixel of it comes out darker than `MIN_OPAQUE_LEVEL` in its brightest channel, so quantising or
// filtering can never turn part of a figure into a hole.
//
// Builds on the pixmap module and its PNG writer (pixmap/), libpng (palette PNGs), libjpeg and libvorbisenc.
// Every writer throws std::runtime_error naming the file when it cannot write it.
#pragma once

#include "tools/media/Raster.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace vanta::media {

// The darkest an opaque pixel of a masked picture may be, in its brightest channel.
inline constexpr int MIN_OPAQUE_LEVEL = 8;

// The masked form of a drawn picture: pixels less than half covered become (0, 0, 0); the others are laid
// over `fringe` (the colour of what the game draws behind them) and lifted to `MIN_OPAQUE_LEVEL`. Alpha
// of the result is 255 everywhere.
Raster Flatten(const Raster& drawn, const Colour& fringe);

// `Flatten` where what lies behind depends on the row (a sky that darkens upwards).
Raster Flatten(const Raster& drawn, const std::function<Colour(int y)>& fringe);

// Raises a colour whose brightest channel is below `MIN_OPAQUE_LEVEL`, keeping its hue; pure black stays.
void LiftFromBlack(std::uint8_t* rgb);

// The same but for every pixel that is not exactly black.
void LiftFromBlack(Raster& raster);

// Writes `picture` (alpha ignored) as an 8-bit palette PNG: exact black gets an entry of its own, the other
// colours share at most 255 entries chosen by median cut, none of them black.
void WritePalettePNG(const std::string& path, const Raster& picture);

// Writes an 8-bit RGB PNG (alpha ignored) or, with `withAlpha`, an RGBA PNG, at zlib's `compression` level.
void WritePNG(const std::string& path, const Raster& picture, bool withAlpha, int compression = 9);

// Writes a baseline JPEG with three components (no chroma subsampling) at `quality` (1-100).
void WriteJPEG(const std::string& path, const Raster& picture, int quality);

// Writes interleaved stereo samples in -1 .. 1 as Ogg Vorbis at `rate` with the encoder's VBR `quality`
// (-0.1 .. 1); `serial` numbers the Ogg stream.
void WriteOggVorbis(const std::string& path, const std::vector<float>& stereo, int rate, float quality, int serial);

} // namespace vanta::media
