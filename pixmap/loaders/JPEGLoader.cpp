// The JPEG loader: the C++ side of the libjpeg glue. The read function never throws: a stream error is
// kept and raised again once libjpeg has let go of everything.
#include "pixmap/loaders/JPEGLoader.h"

#include "pixmap/loaders/detail/LoaderInput.h"
#include "runtime/Error.h"

#include <cstdlib>
#include <exception>
#include <memory>
#include <utility>

namespace vanta {
namespace {

// The error a read raised during the current decode (the loader is not re-entrant).
std::exception_ptr readError;

extern "C" {

static int ReadJPEGData(void* buffer, int size, int count, void* stream) noexcept
{
    if (size <= 0 || count <= 0) return 0;
    try {
        return detail::ReadUpTo(*static_cast<TByteStream*>(stream), buffer, size * count) / size;
    } catch (...) {
        readError = std::current_exception();
        return 0;
    }
}

} // extern "C"

struct FreeDeleter
{
    void operator()(std::uint8_t* block) const noexcept { std::free(block); }
};

} // namespace

std::int32_t DecodeJPEG(const Ref<TByteStream>& stream, JPEGReadFunction read, std::int32_t& width,
                        std::int32_t& height, std::int32_t& components, std::uint8_t*& pixels)
{
    const VantaJPEGLimits limits{PIXMAP_MAX_SIDE, detail::loaderPixelLimit, PIXMAP_MAX_BYTES};
    unsigned char* buffer = nullptr;
    const int result = VantaDecodeJPEG(stream.Get(), read, &limits, &width, &height, &components, &buffer);
    pixels = buffer;
    return result;
}

Ref<TPixmap> TJPEGLoader::LoadPixmap(const Ref<TByteStream>& stream)
{
    readError = nullptr;
    std::int32_t width = 0;
    std::int32_t height = 0;
    std::int32_t components = 0;
    std::uint8_t* pixels = nullptr;
    const std::int32_t result = DecodeJPEG(stream, ReadJPEGData, width, height, components, pixels);
    const std::unique_ptr<std::uint8_t, FreeDeleter> owned(pixels);
    if (readError) std::rethrow_exception(std::exchange(readError, nullptr));
    if (result != 0 || width == 0) return Null;
    const std::int32_t format = components == 1 ? PF_I8 : components == 3 ? PF_RGB888 : 0;
    if (format == 0) return Null;
    Ref<TPixmap> pixmap = CreatePixmap(width, height, format, 4);
    if (pixmap.IsNull()) return Null;
    const std::ptrdiff_t rowBytes = std::ptrdiff_t{width} * components;
    for (std::int32_t y = 0; y < height; ++y)
        CopyPixels(pixels + y * rowBytes, pixmap->PixelPtr(0, y), format, width);
    return pixmap;
}

void InitJPEGLoader()
{
    static bool initialised = false;
    if (initialised) return;
    initialised = true;
    InitPixmaps();
    New<TJPEGLoader>();
}

} // namespace vanta
