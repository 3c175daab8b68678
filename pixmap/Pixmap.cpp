// The pixmap module: the loader registry, the module functions, and the editing operations that make a
// new pixmap from an old one (mask, flips, resize).
#include "pixmap/Pixmap.h"

#include "runtime/Error.h"
#include "stream/LoaderProbe.h"

#include <cmath>
#include <cstring>

namespace vanta {
namespace {

constinit Ref<TPixmapLoader> loaderHead;

// A block from the runtime's allocator that goes back when the scope ends, for working rows that must not
// wait for a flush (a resize may run many times between two flushes).
class ScratchBlock
{
public:
    explicit ScratchBlock(std::ptrdiff_t size) : size_(size), data_(MemAlloc(size)) {}
    ~ScratchBlock() { MemFree(data_, size_); }
    ScratchBlock(const ScratchBlock&) = delete;
    ScratchBlock& operator=(const ScratchBlock&) = delete;

    void* Data() const noexcept { return data_; }

private:
    std::ptrdiff_t size_;
    void* data_;
};

// `pixmap` itself when it is RGBA already, else an RGBA copy (`Null` beyond the size limits).
Ref<TPixmap> RGBAVersion(const Ref<TPixmap>& pixmap)
{
    return pixmap->Format() == PF_RGBA8888 ? pixmap : pixmap->Convert(PF_RGBA8888);
}

// Where output column (or row) i of a resize samples the source: the byte offset of its left (top)
// pixel, the step to the right (lower) one, and the weight of that second pixel.
struct Sample
{
    std::ptrdiff_t offset;
    std::ptrdiff_t step;
    float weight;
};

// The single-precision sampling rule: s = (i + 0.5) * (sourceSize / newSize) - 0.5, the ratio a float
// division; s0 = floor(s); at or beyond either edge the sample is the edge pixel alone, so nothing is
// blended from outside the picture.
Sample SampleAt(std::int32_t i, float ratio, std::int32_t sourceSize, std::ptrdiff_t stride)
{
    const float s = (static_cast<float>(i) + 0.5f) * ratio - 0.5f;
    const float floorS = std::floor(s);
    const auto s0 = static_cast<std::int32_t>(floorS);
    if (s0 < 0) return {0, 0, 0.0f};
    if (s0 >= sourceSize - 1) return {(sourceSize - 1) * stride, 0, 0.0f};
    return {s0 * stride, stride, s - floorS};
}

} // namespace

TPixmapLoader::TPixmapLoader() : next(loaderHead)
{
    loaderHead = Ref<TPixmapLoader>(this);
}

Ref<TPixmap> TPixmapLoader::LoadPixmap(const Ref<TByteStream>&)
{
    ThrowAbstractMethod();
}

const Ref<TPixmapLoader>& PixmapLoaders()
{
    return loaderHead;
}

Ref<TPixmap> CreatePixmap(std::int32_t width, std::int32_t height, std::int32_t format, std::int32_t align)
{
    return TPixmap::Create(width, height, format, align);
}

Ref<TPixmap> CreateStaticPixmap(void* pixels, std::int32_t width, std::int32_t height, std::int32_t pitch,
                                std::int32_t format)
{
    return TPixmap::CreateStatic(pixels, width, height, pitch, format);
}

Ref<TPixmap> CopyPixmap(const Ref<TPixmap>& pixmap)
{
    return pixmap->Copy();
}

Ref<TPixmap> ConvertPixmap(const Ref<TPixmap>& pixmap, std::int32_t format)
{
    return pixmap->Convert(format);
}

std::int32_t PixmapWidth(const Ref<TPixmap>& pixmap)
{
    return pixmap->Width();
}

std::int32_t PixmapHeight(const Ref<TPixmap>& pixmap)
{
    return pixmap->Height();
}

std::int32_t PixmapPitch(const Ref<TPixmap>& pixmap)
{
    return pixmap->Pitch();
}

std::int32_t PixmapFormat(const Ref<TPixmap>& pixmap)
{
    return pixmap->Format();
}

std::uint8_t* PixmapPixelPtr(const Ref<TPixmap>& pixmap, std::int32_t x, std::int32_t y)
{
    return pixmap->PixelPtr(x, y);
}

Ref<TPixmap> PixmapWindow(const Ref<TPixmap>& pixmap, std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h)
{
    return pixmap->Window(x, y, w, h);
}

std::uint32_t ReadPixel(const Ref<TPixmap>& pixmap, std::int32_t x, std::int32_t y)
{
    return pixmap->ReadPixel(x, y);
}

void WritePixel(const Ref<TPixmap>& pixmap, std::int32_t x, std::int32_t y, std::uint32_t argb)
{
    pixmap->WritePixel(x, y, argb);
}

Ref<TPixmap> MaskPixmap(const Ref<TPixmap>& pixmap, std::int32_t r, std::int32_t g, std::int32_t b)
{
    const Ref<TPixmap> work = RGBAVersion(pixmap);
    if (work.IsNull()) return Null;
    const std::int32_t width = work->Width();
    const std::int32_t height = work->Height();
    Ref<TPixmap> result = TPixmap::Create(width, height, PF_RGBA8888, 4);
    if (result.IsNull()) return Null;
    const std::ptrdiff_t pitch = work->Pitch();
    auto isMask = [r, g, b](const std::uint8_t* p) { return p[0] == r && p[1] == g && p[2] == b; };
    for (std::int32_t y = 0; y < height; ++y) {
        const std::uint8_t* in = work->PixelPtr(0, y);
        std::uint8_t* out = result->PixelPtr(0, y);
        for (std::int32_t x = 0; x < width; ++x, in += 4, out += 4) {
            if (!isMask(in)) {
                out[0] = in[0];
                out[1] = in[1];
                out[2] = in[2];
                out[3] = 255;
                continue;
            }
            // A transparent pixel takes the average colour of its visible neighbours, so that a filtered
            // texture fades towards the picture's own colours at the edge instead of towards the mask colour.
            std::int32_t n = 0, sumR = 0, sumG = 0, sumB = 0;
            for (std::int32_t ny = y - 1; ny <= y + 1; ++ny) {
                if (ny < 0 || ny >= height) continue;
                for (std::int32_t nx = x - 1; nx <= x + 1; ++nx) {
                    if (nx < 0 || nx >= width) continue;
                    const std::uint8_t* q = in + (ny - y) * pitch + (nx - x) * 4;
                    if (isMask(q)) continue;
                    ++n;
                    sumR += q[0];
                    sumG += q[1];
                    sumB += q[2];
                }
            }
            out[0] = static_cast<std::uint8_t>(n > 0 ? sumR / n : 0);
            out[1] = static_cast<std::uint8_t>(n > 0 ? sumG / n : 0);
            out[2] = static_cast<std::uint8_t>(n > 0 ? sumB / n : 0);
            out[3] = 0;
        }
    }
    return result;
}

// The flips copy bytes directly: the same result as pasting one-pixel windows of the source column by
// column (or row by row), without making an object per column.
Ref<TPixmap> XFlipPixmap(const Ref<TPixmap>& pixmap)
{
    TPixmap& source = *pixmap;
    Ref<TPixmap> result = TPixmap::Create(source.Width(), source.Height(), source.Format(), 4);
    if (result.IsNull()) return Null;
    const std::int32_t width = source.Width();
    const std::size_t bytes = static_cast<std::size_t>(source.BytesPerPixel());
    for (std::int32_t y = 0; y < source.Height(); ++y) {
        const std::uint8_t* in = source.PixelPtr(0, y);
        std::uint8_t* out = result->PixelPtr(0, y);
        for (std::int32_t i = 0; i < width; ++i)
            std::memcpy(out + i * bytes, in + (width - 1 - i) * bytes, bytes);
    }
    return result;
}

Ref<TPixmap> YFlipPixmap(const Ref<TPixmap>& pixmap)
{
    TPixmap& source = *pixmap;
    Ref<TPixmap> result = TPixmap::Create(source.Width(), source.Height(), source.Format(), 4);
    if (result.IsNull()) return Null;
    const std::int32_t height = source.Height();
    for (std::int32_t i = 0; i < height; ++i)
        CopyPixels(source.PixelPtr(0, height - 1 - i), result->PixelPtr(0, i), source.Format(), source.Width());
    return result;
}

Ref<TPixmap> ResizePixmap(const Ref<TPixmap>& pixmap, std::int32_t width, std::int32_t height)
{
    TPixmap& source = *pixmap;
    Ref<TPixmap> result = TPixmap::Create(width, height, source.Format(), 4);
    if (result.IsNull()) return Null;
    const Ref<TPixmap> work = RGBAVersion(pixmap);
    if (work.IsNull()) return Null;
    const std::int32_t sourceWidth = work->Width();
    const std::int32_t sourceHeight = work->Height();
    const std::ptrdiff_t pitch = work->Pitch();

    // Every output row samples the same columns, so they are worked out once: one block holds the
    // column table and the RGBA output row.
    const std::ptrdiff_t tableBytes = static_cast<std::ptrdiff_t>(sizeof(Sample)) * width;
    ScratchBlock scratch(tableBytes + std::ptrdiff_t{4} * width);
    auto* columns = static_cast<Sample*>(scratch.Data());
    auto* row = static_cast<std::uint8_t*>(scratch.Data()) + tableBytes;
    const float xRatio = static_cast<float>(sourceWidth) / static_cast<float>(width);
    const float yRatio = static_cast<float>(sourceHeight) / static_cast<float>(height);
    for (std::int32_t x = 0; x < width; ++x)
        columns[x] = SampleAt(x, xRatio, sourceWidth, 4);

    const std::uint8_t* base = work->Pixels();
    for (std::int32_t y = 0; y < height; ++y) {
        const Sample line = SampleAt(y, yRatio, sourceHeight, pitch);
        const float fy = line.weight;
        const std::ptrdiff_t rowStep = line.step;
        std::uint8_t* out = row;
        for (std::int32_t x = 0; x < width; ++x) {
            const Sample& column = columns[x];
            const std::uint8_t* p = base + line.offset + column.offset;
            const std::ptrdiff_t colStep = column.step;
            const float fx = column.weight;
            for (std::int32_t c = 0; c < 4; ++c) {
                const float top = static_cast<float>(p[c]) + static_cast<float>(p[c + colStep] - p[c]) * fx;
                const float bottom = static_cast<float>(p[c + rowStep]) +
                                     static_cast<float>(p[c + rowStep + colStep] - p[c + rowStep]) * fx;
                // Truncation toward zero; both weights lie in [0, 1), so the value stays within 0 .. 255.
                *out++ = static_cast<std::uint8_t>(static_cast<std::int32_t>((bottom - top) * fy + top));
            }
        }
        ConvertPixels(row, PF_RGBA8888, result->PixelPtr(0, y), result->Format(), width);
    }
    return result;
}

Ref<TPixmap> LoadPixmapWithLoader(const Ref<Object>& url, Ref<TPixmapLoader>& loader)
{
    return ProbeLoaders(
        url, loaderHead, UnseekableProbe::GIVE_NULL, &loader,
        [](TPixmapLoader& candidate, const Ref<TByteStream>& stream) { return candidate.LoadPixmap(stream); });
}

Ref<TPixmap> LoadPixmap(const Ref<Object>& url)
{
    Ref<TPixmapLoader> loader;
    return LoadPixmapWithLoader(url, loader);
}

void InitPixmaps()
{
    static bool initialised = false;
    if (initialised) return;
    initialised = true;
    InitRuntimeCore();
    InitStreams();
}

} // namespace vanta
