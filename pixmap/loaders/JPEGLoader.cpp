// The JPEG loader: the C++ side of the libjpeg glue. The read function never throws: a stream error is
// kept and raised again once libjpeg has let go of everything.
#include "pixmap/loaders/JPEGLoader.h"

#include "pixmap/loaders/detail/LoaderInput.h"
#include "runtime/Error.h"

#include <exception>
#include <utility>
#include <vector>

namespace vanta {
namespace {

// The error a read raised during the current decode (the loader is not re-entrant).
std::exception_ptr readError;

// The loader's input: the start-of-image marker it read to decide whether to set up libjpeg at all, then
// the rest of the stream.
struct LoaderInput
{
    TByteStream* stream;
    std::uint8_t marker[2];
    std::int32_t markerLeft;
};

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

static int ReadLoaderInput(void* buffer, int size, int count, void* context) noexcept
{
    auto* input = static_cast<LoaderInput*>(context);
    if (size != 1 || count <= 0) return 0;
    auto* out = static_cast<std::uint8_t*>(buffer);
    int done = 0;
    for (; input->markerLeft > 0 && done < count; --input->markerLeft)
        out[done++] = input->marker[2 - input->markerLeft];
    return done + ReadJPEGData(out + done, 1, count - done, input->stream);
}

// The loader decodes straight into the pixmap's rows: no second buffer, no copy.
struct PixmapTarget
{
    Ref<TPixmap> pixmap;
    std::vector<unsigned char*> rows;
    std::exception_ptr error;
};

static unsigned char** PixmapRows(void* context, int width, int height, int components) noexcept
{
    auto* target = static_cast<PixmapTarget*>(context);
    const std::int32_t format = components == 1 ? PF_I8 : components == 3 ? PF_RGB888 : 0;
    if (format == 0) return nullptr;
    try {
        // libjpeg fills every row (past the end of short data too) or fails, and a failed load drops the
        // pixmap: no clearing needed.
        target->pixmap = detail::CreateLoaderPixmap(width, height, format);
        if (target->pixmap.IsNull()) return nullptr;
        target->rows.resize(static_cast<std::size_t>(height));
        for (std::int32_t y = 0; y < height; ++y)
            target->rows[static_cast<std::size_t>(y)] = target->pixmap->PixelPtr(0, y);
    } catch (...) {
        target->error = std::current_exception();
        return nullptr;
    }
    return target->rows.data();
}

} // extern "C"

VantaJPEGLimits Limits() noexcept
{
    return {PIXMAP_MAX_SIDE, detail::loaderPixelLimit, PIXMAP_MAX_BYTES};
}

} // namespace

std::int32_t DecodeJPEG(const Ref<TByteStream>& stream, JPEGReadFunction read, std::int32_t& width,
                        std::int32_t& height, std::int32_t& components, std::uint8_t*& pixels)
{
    const VantaJPEGLimits limits = Limits();
    unsigned char* buffer = nullptr;
    const int result = VantaDecodeJPEG(stream.Get(), read, &limits, &width, &height, &components, &buffer);
    pixels = buffer;
    return result;
}

Ref<TPixmap> TJPEGLoader::LoadPixmap(const Ref<TByteStream>& stream)
{
    // Anything that does not start with the start-of-image marker is refused before libjpeg is set up.
    LoaderInput input{stream.Get(), {}, 2};
    if (detail::ReadUpTo(*input.stream, input.marker, 2) < 2 || input.marker[0] != 0xFF || input.marker[1] != 0xD8)
        return Null;
    readError = nullptr;
    PixmapTarget target;
    const VantaJPEGLimits limits = Limits();
    const int result = VantaDecodeJPEGRows(&input, ReadLoaderInput, &limits, PixmapRows, &target);
    if (readError) std::rethrow_exception(std::exchange(readError, nullptr));
    if (target.error) std::rethrow_exception(target.error);
    return result == 0 ? target.pixmap : Ref<TPixmap>();
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
