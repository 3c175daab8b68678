// Fuzz target "tga": the TGA loader on the input; whatever it answers must be a well-formed pixmap, and for
// the layouts stb_image reads alike, exactly the picture stb_image decodes.
#include "fuzz/FuzzTargets.h"
#include "fuzz/LoaderFuzz.h"
#include "pixmap/loaders/TGALoader.h"

namespace vanta::fuzz {
namespace {

// Whether the input is a layout stb_image reads as the loader does (the files of common tools the loader
// tests compare): true colour of 24 or 32 bits without a colour map, raw or run-length, rows bottom-up or
// top-down but never right to left (stb_image ignores that bit), with every pixel's data present.
bool ReadAlikeByStb(const std::uint8_t* data, std::size_t size)
{
    if (size < 18) return false;
    const std::size_t start = 18 + std::size_t{data[0]};
    const std::uint8_t type = data[2];
    const std::size_t width = data[12] | std::size_t{data[13]} << 8;
    const std::size_t height = data[14] | std::size_t{data[15]} << 8;
    const std::size_t bytes = data[16] / 8;
    if (data[1] != 0 || (type != 2 && type != 10) || (data[16] != 24 && data[16] != 32) || (data[17] & 0xD0) != 0)
        return false;
    const std::size_t pixels = width * height;
    if (type == 2) return size >= start + pixels * bytes;
    std::size_t at = start;
    for (std::size_t done = 0; done < pixels;) {
        if (at >= size) return false;
        const std::size_t count = (data[at] & 0x7F) + 1;
        at += 1 + ((data[at] & 0x80) != 0 ? bytes : count * bytes);
        done += count;
    }
    return at <= size;
}

} // namespace

int FuzzTGALoader(const std::uint8_t* data, std::size_t size)
{
    const Ref<TTGALoader> loader = FuzzedLoader<TTGALoader>();
    LoadAndCheck(loader, data, size, [&](const Ref<TPixmap>& pixmap) {
        CheckLoaded(pixmap, TGA_MAX_SIDE);
        if (ReadAlikeByStb(data, size)) CheckAgainstReference(pixmap, data, size, 0, 0.0);
    });
    return 0;
}

} // namespace vanta::fuzz
