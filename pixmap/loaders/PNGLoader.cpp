// The PNG loader and writer: the C++ side of the libpng glue. The callbacks handed to the glue never
// throw: an error raised by the stream is kept and raised again once libpng has unwound and let go of
// everything.
#include "pixmap/loaders/PNGLoader.h"

#include "pixmap/loaders/detail/LoaderInput.h"
#include "pixmap/loaders/detail/PNGGlue.h"
#include "runtime/Error.h"

#include <exception>
#include <limits>
#include <new>
#include <vector>

namespace vanta {
namespace {

constinit Ref<TByteStream> pngStream;

// Closes `PNGStream` and lets go of it on every way out of a load or save.
struct StreamRelease
{
    StreamRelease() = default;
    StreamRelease(const StreamRelease&) = delete;
    StreamRelease& operator=(const StreamRelease&) = delete;
    ~StreamRelease()
    {
        if (!pngStream.IsNull()) {
            try {
                pngStream->Close();
            } catch (...) {
                // Nothing is left to report a close to; the answer stands.
            }
        }
        pngStream = Null;
    }
};

// What a decode or encode carries between the C++ callbacks and the caller.
struct PNGCall
{
    std::exception_ptr error;
    Ref<TPixmap> pixmap;
    std::vector<unsigned char*> rows;
};

// libpng can ask for more than a stream moves in one read; the request is taken in pieces.
constexpr std::size_t MAX_PIECE = std::numeric_limits<std::int32_t>::max();

extern "C" {

static size_t ReadPNGData(void* context, unsigned char* data, size_t length) noexcept
{
    auto* call = static_cast<PNGCall*>(context);
    size_t done = 0;
    try {
        while (done < length) {
            const auto piece = static_cast<std::int32_t>(length - done < MAX_PIECE ? length - done : MAX_PIECE);
            const std::int32_t got = detail::ReadUpTo(*pngStream, data + done, piece);
            done += static_cast<size_t>(got);
            if (got < piece) break;
        }
    } catch (...) {
        call->error = std::current_exception();
        return 0;
    }
    return done;
}

static unsigned char** PNGRows(void* context, unsigned width, unsigned height, int bitDepth, int colourType,
                               size_t rowBytes) noexcept
{
    auto* call = static_cast<PNGCall*>(context);
    std::int32_t format = 0;
    switch (colourType) {
    case 0: format = PF_I8; break;
    case 2: format = PF_RGB888; break;
    case 6: format = PF_RGBA8888; break;
    default: return nullptr;
    }
    if (bitDepth != 8 || !detail::PictureSizeAllowed(width, height, PixelFormatBytes(format))) return nullptr;
    if (rowBytes != std::size_t{width} * static_cast<std::size_t>(PixelFormatBytes(format))) return nullptr;
    try {
        // libpng fills every row or fails, and a failed load drops the pixmap: no clearing needed.
        call->pixmap =
            detail::CreateLoaderPixmap(static_cast<std::int32_t>(width), static_cast<std::int32_t>(height), format);
        if (call->pixmap.IsNull()) return nullptr;
        call->rows.resize(height);
        for (unsigned y = 0; y < height; ++y)
            call->rows[y] = call->pixmap->PixelPtr(0, static_cast<std::int32_t>(y));
    } catch (...) {
        call->error = std::current_exception();
        return nullptr;
    }
    return call->rows.data();
}

static int WritePNGData(void* context, const unsigned char* data, size_t length) noexcept
{
    auto* call = static_cast<PNGCall*>(context);
    try {
        for (size_t done = 0; done < length;) {
            const auto piece = static_cast<std::int32_t>(length - done < MAX_PIECE ? length - done : MAX_PIECE);
            pngStream->WriteBytes(data + done, piece);
            done += static_cast<size_t>(piece);
        }
    } catch (...) {
        call->error = std::current_exception();
        return 0;
    }
    return 1;
}

static void FlushPNGData(void* context) noexcept
{
    auto* call = static_cast<PNGCall*>(context);
    try {
        pngStream->Flush();
    } catch (...) {
        if (!call->error) call->error = std::current_exception();
    }
}

} // extern "C"

// A stream error kept by a callback is the call's failure; anything else goes on to the caller.
bool StreamFailed(const std::exception_ptr& error)
{
    if (!error) return false;
    try {
        std::rethrow_exception(error);
    } catch (const Exception& e) {
        if (!e.Is<TStreamError>()) throw;
    }
    return true;
}

} // namespace

const Ref<TByteStream>& PNGStream() noexcept
{
    return pngStream;
}

Ref<TPixmap> TPNGLoader::LoadPixmap(const Ref<TByteStream>& stream)
{
    // A wrapper whose close leaves `stream` open for the loaders after this one.
    pngStream = OpenReadStream(stream);
    const StreamRelease release;
    if (pngStream.IsNull()) return Null;
    std::uint8_t signature[8];
    if (detail::ReadUpTo(*pngStream, signature, 8) < 8 || VantaIsPNGSignature(signature) == 0) return Null;

    PNGCall call;
    const VantaPNGReader reader{ReadPNGData, PNGRows, &call, static_cast<unsigned>(PIXMAP_MAX_SIDE)};
    const int result = VantaDecodePNG(&reader);
    if (call.error) std::rethrow_exception(call.error);
    return result == 0 ? call.pixmap : Ref<TPixmap>();
}

std::int32_t SavePixmapPNG(const Ref<TPixmap>& pixmap, const Ref<Object>& url, std::int32_t compression)
{
    Ref<TPixmap> source = pixmap;
    int colourType = 6;
    int transforms = 0;
    switch (source->Format()) {
    case PF_I8: colourType = 0; break;
    case PF_BGR888:
        colourType = 2;
        transforms = 128; // PNG_TRANSFORM_BGR
        break;
    case PF_RGB888: colourType = 2; break;
    case PF_BGRA8888: transforms = 128; break;
    case PF_RGBA8888: break;
    default: source = source->Convert(PF_RGBA8888); break;
    }
    if (source.IsNull()) return 0;

    pngStream = OpenWriteStream(url);
    const StreamRelease release;
    if (pngStream.IsNull()) return 0;
    PNGCall call;
    call.rows.resize(static_cast<std::size_t>(source->Height()));
    for (std::int32_t y = 0; y < source->Height(); ++y)
        call.rows[static_cast<std::size_t>(y)] = source->PixelPtr(0, y);
    const VantaPNGWriter writer{WritePNGData, FlushPNGData, &call};
    const int result =
        VantaEncodePNG(&writer, static_cast<unsigned>(source->Width()), static_cast<unsigned>(source->Height()),
                       colourType, transforms, call.rows.data(), compression);
    if (StreamFailed(call.error) || result != 0) return 0;
    // The file is complete only once its last buffered bytes are out: a close that fails (a full disk) is a
    // failed save.
    const bool closed = pngStream->Close() == 0;
    return closed ? 1 : 0;
}

void InitPNGLoader()
{
    static bool initialised = false;
    if (initialised) return;
    initialised = true;
    InitPixmaps();
    New<TPNGLoader>();
}

} // namespace vanta
