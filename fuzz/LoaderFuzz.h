// What the four image-loader targets share: the loaders registered once, the input fed to one loader
// through a read-only memory stream, the checks every answer must pass, and the comparison with an
// independent decoder.
//
// The targets lower the loaders' pixel limit to 2^20 pixels: a hostile header then costs the fuzzer
// milliseconds instead of a quarter-gigabyte allocation, and every code path stays reachable with small
// pictures.
#pragma once

#include "fuzz/FuzzInput.h"
#include "fuzz/StbReference.h"
#include "pixmap/Pixmap.h"
#include "pixmap/loaders/ImageLoaders.h"
#include "pixmap/loaders/detail/LoaderInput.h"
#include "stream/MemoryStream.h"

#include <cstdint>
#include <cstdlib>
#include <vector>

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

// Where stb_image decodes the same input to a picture of the same size, the loader's picture must be the
// same: red, green and blue (the two disagree on what alpha a few layouts carry) at most `largest` apart in
// any pixel, and on average at most `mean` apart (JPEG decoders differ by their rounding and chroma
// upsampling, a few levels here and there, never by a picture).
inline void CheckAgainstReference(const Ref<TPixmap>& pixmap, const std::uint8_t* data, std::size_t size, int largest,
                                  double mean)
{
    if (pixmap.IsNull()) return;
    const ReferencePicture reference = StbReference(data, size, pixmap->Width(), pixmap->Height());
    if (reference.width != pixmap->Width() || reference.height != pixmap->Height()) return;
    std::vector<std::uint8_t> row(static_cast<std::size_t>(pixmap->Width()) * 4);
    std::uint64_t total = 0;
    for (std::int32_t y = 0; y < pixmap->Height(); ++y) {
        ConvertPixels(pixmap->PixelPtr(0, y), pixmap->Format(), row.data(), PF_RGBA8888, pixmap->Width());
        const std::uint8_t* expected = &reference.rgba[static_cast<std::size_t>(y) * row.size()];
        for (std::size_t i = 0; i < row.size(); ++i) {
            if (i % 4 == 3) continue;
            const int difference = std::abs(static_cast<int>(row[i]) - static_cast<int>(expected[i]));
            FuzzCheck(difference <= largest, "the picture is stb_image's, pixel by pixel");
            total += static_cast<std::uint64_t>(difference);
        }
    }
    const double values = 3.0 * static_cast<double>(pixmap->Width()) * static_cast<double>(pixmap->Height());
    FuzzCheck(static_cast<double>(total) <= mean * values, "the picture is stb_image's on average");
}

// Loads the input with `loader` and hands the answer (`Null` included) to `check`. The pixmap is released
// before the run's flush, so nothing a run makes outlives it.
template <class Loader, class Check>
void LoadAndCheck(const Ref<Loader>& loader, const std::uint8_t* data, std::size_t size, Check check)
{
    const int level = ReleaseStackLevel();
    {
        const Ref<TPixmap> pixmap = loader->LoadPixmap(InputStream(data, size));
        check(pixmap);
    }
    FlushReleaseStack(level);
}

} // namespace vanta::fuzz
