// Fuzz target "bmp": the BMP loader on the input; whatever it answers must be a well-formed pixmap, and for
// the layouts stb_image reads alike, exactly the picture stb_image decodes.
#include "fuzz/FuzzTargets.h"
#include "fuzz/LoaderFuzz.h"
#include "pixmap/loaders/BMPLoader.h"

namespace vanta::fuzz {
namespace {

std::uint32_t Little32(const std::uint8_t* at)
{
    return at[0] | std::uint32_t{at[1]} << 8 | std::uint32_t{at[2]} << 16 | std::uint32_t{at[3]} << 24;
}

// Whether the input is a layout stb_image reads as the loader does (the files of common tools the loader
// tests compare): uncompressed 1, 4, 8 or 24 bits with a 12-, 40-, 108- or 124-byte header, a full palette
// for the palette layouts, and every row's data present.
bool ReadAlikeByStb(const std::uint8_t* data, std::size_t size)
{
    if (size < 26 || data[0] != 'B' || data[1] != 'M') return false;
    const std::uint32_t offset = Little32(data + 10);
    const std::uint32_t header = Little32(data + 14);
    if (header != 12 && header != 40 && header != 108 && header != 124) return false;
    if (size < 14 + std::size_t{header}) return false;
    std::int64_t width = 0;
    std::int64_t height = 0;
    std::uint32_t bits = 0;
    if (header == 12) {
        width = data[18] | data[19] << 8;
        height = data[20] | data[21] << 8;
        bits = data[24] | std::uint32_t{data[25]} << 8;
    } else {
        width = static_cast<std::int32_t>(Little32(data + 18));
        height = static_cast<std::int32_t>(Little32(data + 22));
        bits = data[28] | std::uint32_t{data[29]} << 8;
        if (Little32(data + 30) != 0) return false; // compressed or bit fields
        const std::uint32_t used = Little32(data + 46);
        if (bits <= 8 && used != 0 && used != (1u << bits)) return false;
    }
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24) return false;
    if (width <= 0 || height == 0) return false;
    if (bits <= 8) {
        const std::size_t entry = header == 12 ? 3 : 4;
        if (offset < 14 + std::size_t{header} + (std::size_t{1} << bits) * entry) return false;
    }
    const std::size_t row = (static_cast<std::size_t>(width) * bits + 31) / 32 * 4;
    return size >= std::size_t{offset} + row * static_cast<std::size_t>(height < 0 ? -height : height);
}

} // namespace

int FuzzBMPLoader(const std::uint8_t* data, std::size_t size)
{
    const Ref<TBMPLoader> loader = FuzzedLoader<TBMPLoader>();
    LoadAndCheck(loader, data, size, [&](const Ref<TPixmap>& pixmap) {
        CheckLoaded(pixmap, PIXMAP_MAX_SIDE);
        if (ReadAlikeByStb(data, size)) CheckAgainstReference(pixmap, data, size, 0, 0.0);
    });
    return 0;
}

} // namespace vanta::fuzz
