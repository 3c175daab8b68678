// The TGA loader: true-colour Targa files (image types 2, uncompressed, and 10, run-length) of 15, 16, 24
// and 32 bits per pixel, into `PF_RGB888` (15, 24 bits) or `PF_RGBA8888` (16, 32 bits) pixmaps; grey files
// (types 3 and 11) of 8 bits into `PF_I8` and of 16 bits (grey and alpha) into `PF_RGBA8888`; colour-mapped
// files (types 1 and 9) of 8-bit indices into a map of 15-, 16-, 24- or 32-bit colours starting at the
// map's first index, into `PF_RGB888` or `PF_RGBA8888` as the map's colours have alpha or not.
//
// Rows are stored bottom to top unless the descriptor's top-left bit (0x20) is set, and left to right
// unless its right-to-left bit (0x10) is. The descriptor's attribute-bit count says whether alpha is real:
// without attribute bits a 32-bit picture (or 16-bit grey one) whose alpha is zero everywhere is opaque,
// and bit 15 of a 16-bit colour set means transparent; with them alpha is taken as stored and bit 15 set
// means opaque. Indices the map does not cover are black (transparent where there is alpha). A run-length
// packet that runs past the end of a row continues on the next row, and never past the picture. Other
// depths and maps, a colour map on a true-colour or grey file, and pictures wider or taller than 4096
// pixels are refused. A file that ends early gives the rows it holds (the rest zero), or `Null` before the
// first.
//
// Builds on the pixmap module (pixmap/Pixmap.h) and the stream layer.
#pragma once

#include "pixmap/Pixmap.h"

#include <cstdint>

namespace vanta {

// The 18-byte header at the start of every TGA file, as read (little-endian fields).
struct TTGAHeader
{
    std::uint8_t idLength = 0;          // bytes of the identification field after the header (skipped)
    std::uint8_t colourMapType = 0;     // 1 when a colour map follows, 0 when none does
    std::uint8_t imageType = 0;         // 1 colour-mapped, 2 true-colour, 3 grey; plus 8 when run-length coded
    std::uint8_t colourMapSpec[5] = {}; // first index and length (16 bits each), entry size in bits
    std::uint16_t xOrigin = 0;          // not interpreted
    std::uint16_t yOrigin = 0;          // not interpreted
    std::uint16_t imageWidth = 0;       // pixels across
    std::uint16_t imageHeight = 0;      // pixels down
    std::uint8_t pixelDepth = 0;        // bits per pixel (an index of a colour-mapped file, a colour, or grey)
    std::uint8_t descriptor = 0;        // bits 0-3: attribute (alpha) bits; 0x10: right to left; 0x20: top row first

    // The header held in the first 18 bytes of a file.
    static TTGAHeader FromBytes(const std::uint8_t* bytes) noexcept;
};

// The largest width or height the TGA loader accepts.
inline constexpr std::int32_t TGA_MAX_SIDE = 4096;

class TTGALoader;
template <>
inline constexpr const char* classDebugName<TTGALoader> = "TTGALoader";

// The TGA loader; the module initialiser registers one.
class TTGALoader : public TPixmapLoader
{
    VANTA_CLASS(TTGALoader, TPixmapLoader)
public:
    TTGALoader() = default;

    // The pixmap, or `Null` when the data is not a TGA file this loader supports. Throws the stream's
    // `TStreamError` when a read fails before the end.
    Ref<TPixmap> LoadPixmap(const Ref<TByteStream>& stream) override;
};

// The TGA module's initialiser: initialises the pixmap and endian-stream modules and registers the loader.
void InitTGALoader();

} // namespace vanta
