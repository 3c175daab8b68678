// What the four image-loader targets share: the loaders registered once, the input fed to one loader
// through a read-only memory stream, and the checks every answer must pass.
//
// The targets lower the loaders' pixel limit to 2^20 pixels: a hostile header then costs the fuzzer
// milliseconds instead of a quarter-gigabyte allocation, and every code path stays reachable with small
// pictures.
#pragma once

#include "fuzz/FuzzInput.h"
#include "pixmap/Pixmap.h"
#include "pixmap/loaders/ImageLoaders.h"
#include "pixmap/loaders/detail/LoaderInput.h"
#include "stream/MemoryStream.h"

#include <cstdint>

namespace vanta::fuzz {

inline constexpr std::int64_t FUZZ_PIXEL_LIMIT = std::int64_t{1} << 20;

// The registered loader of class `T`, the loaders registered on first use.
template <class T>
Ref<T> FuzzedLoader()
{
    InitMemoryStreams();
    InitImageLoaders();
    detail::loaderPixelLimit = FUZZ_PIXEL_LIMIT;
    for (Ref<TPixmapLoader> loader = PixmapLoaders(); !loader.IsNull(); loader = loader->next) {
        if (Ref<T> found = Downcast<T>(loader)) return found;
    }
    FuzzCheck(false, "the loader is registered");
    return Null;
}

// A read-only memory stream over the input (never written through).
inline Ref<TMemoryStream> InputStream(const std::uint8_t* data, std::size_t size)
{
    return CreateMemoryStream(const_cast<std::uint8_t*>(data), static_cast<std::int32_t>(size), true, false);
}

// What every pixmap a loader answers must be.
inline void CheckLoaded(const Ref<TPixmap>& pixmap, std::int32_t maxSide)
{
    if (pixmap.IsNull()) return;
    FuzzCheck(pixmap->Width() >= 1 && pixmap->Width() <= maxSide, "width within the limits");
    FuzzCheck(pixmap->Height() >= 1 && pixmap->Height() <= maxSide, "height within the limits");
    FuzzCheck(std::int64_t{pixmap->Width()} * pixmap->Height() <= FUZZ_PIXEL_LIMIT, "pixels within the limit");
    FuzzCheck(pixmap->Pitch() >= pixmap->Width() * pixmap->BytesPerPixel(), "pitch covers a row");
    FuzzCheck(pixmap->Capacity() >= std::int64_t{pixmap->Pitch()} * pixmap->Height(), "owns its rows");
}

} // namespace vanta::fuzz
