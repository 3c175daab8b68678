// The pixmap class: creation, windows, copies, pastes, conversions and single pixels.
#include "pixmap/TPixmap.h"

#include "pixmap/Pixmap.h"
#include "runtime/Error.h"

#include <cstring>
#include <functional>

namespace vanta {
namespace {

constexpr bool SideInRange(std::int32_t side) noexcept
{
    return side >= 1 && side <= PIXMAP_MAX_SIDE;
}

} // namespace

TPixmap::~TPixmap()
{
    if (capacity_ >= 0) MemFree(pixels_, capacity_);
}

std::int32_t TPixmap::BytesPerPixel() const noexcept
{
    return PixelFormatBytes(format_);
}

bool TPixmap::Contains(std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h) const noexcept
{
    return x >= 0 && y >= 0 && w >= 0 && h >= 0 && x + w <= width_ && y + h <= height_;
}

std::uint8_t* TPixmap::PixelPtr(std::int32_t x, std::int32_t y)
{
    if (!Contains(x, y, 1, 1)) ThrowArrayBounds();
    return Row(y) + static_cast<std::ptrdiff_t>(x) * BytesPerPixel();
}

Ref<TPixmap> TPixmap::Window(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h)
{
    if (w < 1 || h < 1) return Null;
    if (!Contains(x, y, w, h)) ThrowArrayBounds();
    Ref<TPixmap> window = CreateStatic(PixelPtr(x, y), w, h, pitch_, format_);
    window->owner_ = Ref<TPixmap>(this);
    return window;
}

Ref<TPixmap> TPixmap::Copy()
{
    Ref<TPixmap> copy = Create(width_, height_, format_, 4);
    if (copy.IsNull()) return Null;
    for (std::int32_t y = 0; y < height_; ++y)
        CopyPixels(Row(y), copy->Row(y), format_, width_);
    return copy;
}

void TPixmap::Paste(const Ref<TPixmap>& source, std::int32_t x, std::int32_t y)
{
    TPixmap& from = *source;
    if (!Contains(x, y, from.width_, from.height_)) ThrowArrayBounds();
    if (from.width_ == 0 || from.height_ == 0) return;
    std::uint8_t* target = Row(y) + static_cast<std::ptrdiff_t>(x) * BytesPerPixel();
    const std::ptrdiff_t targetPitch = pitch_;
    const std::uint8_t* fromEnd = from.Row(from.height_ - 1) + from.width_ * from.BytesPerPixel();
    const std::uint8_t* targetEnd = target + (from.height_ - 1) * targetPitch + from.width_ * BytesPerPixel();
    const std::less<const std::uint8_t*> before;
    if (before(from.pixels_, targetEnd) && before(target, fromEnd)) {
        // The source shares memory with the target rectangle. With one layout (a window of this pixmap)
        // walking the rows away from the overlap keeps every row read before it is overwritten; with
        // two layouts over the same memory only a snapshot of the source is safe.
        if (from.pitch_ != pitch_ || from.format_ != format_) {
            const Ref<TPixmap> snapshot = from.Copy();
            if (!snapshot.IsNull()) {
                Paste(snapshot, x, y);
                return;
            }
        }
        if (before(from.pixels_, target)) {
            for (std::int32_t i = from.height_ - 1; i >= 0; --i)
                ConvertPixels(from.Row(i), from.format_, target + i * targetPitch, format_, from.width_);
            return;
        }
    }
    for (std::int32_t i = 0; i < from.height_; ++i)
        ConvertPixels(from.Row(i), from.format_, target + i * targetPitch, format_, from.width_);
}

Ref<TPixmap> TPixmap::Convert(std::int32_t format)
{
    Ref<TPixmap> converted = Create(width_, height_, format, 4);
    if (converted.IsNull()) return Null;
    for (std::int32_t y = 0; y < height_; ++y)
        ConvertPixels(Row(y), format_, converted->Row(y), format, width_);
    return converted;
}

std::uint32_t TPixmap::ReadPixel(std::int32_t x, std::int32_t y)
{
    const std::uint8_t* p = PixelPtr(x, y);
    switch (format_) {
    case PF_I8: return 0xFF000000u | std::uint32_t{p[0]} << 16 | std::uint32_t{p[0]} << 8 | p[0];
    case PF_A8: return std::uint32_t{p[0]} << 24 | 0x00FFFFFFu;
    case PF_BGR888: return 0xFF000000u | std::uint32_t{p[2]} << 16 | std::uint32_t{p[1]} << 8 | p[0];
    case PF_RGB888: return 0xFF000000u | std::uint32_t{p[0]} << 16 | std::uint32_t{p[1]} << 8 | p[2];
    case PF_BGRA8888: return std::uint32_t{p[3]} << 24 | std::uint32_t{p[2]} << 16 | std::uint32_t{p[1]} << 8 | p[0];
    case PF_RGBA8888: return std::uint32_t{p[3]} << 24 | std::uint32_t{p[0]} << 16 | std::uint32_t{p[1]} << 8 | p[2];
    default: return 0;
    }
}

void TPixmap::WritePixel(std::int32_t x, std::int32_t y, std::uint32_t argb)
{
    std::uint8_t* p = PixelPtr(x, y);
    const auto a = static_cast<std::uint8_t>(argb >> 24);
    const auto r = static_cast<std::uint8_t>(argb >> 16);
    const auto g = static_cast<std::uint8_t>(argb >> 8);
    const auto b = static_cast<std::uint8_t>(argb);
    switch (format_) {
    case PF_I8: p[0] = static_cast<std::uint8_t>((r + g + b) / 3); break;
    case PF_A8: p[0] = a; break;
    case PF_BGR888:
        p[0] = b;
        p[1] = g;
        p[2] = r;
        break;
    case PF_RGB888:
        p[0] = r;
        p[1] = g;
        p[2] = b;
        break;
    case PF_BGRA8888:
        p[0] = b;
        p[1] = g;
        p[2] = r;
        p[3] = a;
        break;
    case PF_RGBA8888:
        p[0] = r;
        p[1] = g;
        p[2] = b;
        p[3] = a;
        break;
    default: break;
    }
}

Ref<TPixmap> TPixmap::CreateUncleared(std::int32_t width, std::int32_t height, std::int32_t format, std::int32_t align)
{
    const std::int64_t bytes = PixelFormatBytes(format);
    if (!SideInRange(width) || !SideInRange(height) || bytes == 0 || align < 1) return Null;
    // 64-bit arithmetic: a large alignment must not wrap the pitch round into something small.
    const std::int64_t pitch = (width * bytes + align - 1) / align * align;
    const std::int64_t capacity = pitch * height;
    if (capacity > PIXMAP_MAX_BYTES) return Null;
    Ref<TPixmap> pixmap = New<TPixmap>();
    pixmap->pixels_ = static_cast<std::uint8_t*>(MemAlloc(capacity));
    pixmap->width_ = width;
    pixmap->height_ = height;
    pixmap->pitch_ = static_cast<std::int32_t>(pitch);
    pixmap->format_ = format;
    pixmap->capacity_ = static_cast<std::int32_t>(capacity);
    return pixmap;
}

Ref<TPixmap> TPixmap::Create(std::int32_t width, std::int32_t height, std::int32_t format, std::int32_t align)
{
    Ref<TPixmap> pixmap = CreateUncleared(width, height, format, align);
    // Cleared so that a picture only partly written (a texture's padding, a loader that stops early)
    // shows black rather than stale heap contents.
    if (!pixmap.IsNull()) std::memset(pixmap->pixels_, 0, static_cast<std::size_t>(pixmap->capacity_));
    return pixmap;
}

Ref<TPixmap> TPixmap::CreateStatic(void* pixels, std::int32_t width, std::int32_t height, std::int32_t pitch,
                                   std::int32_t format)
{
    const std::int32_t bytes = PixelFormatBytes(format);
    if (pixels == nullptr || !SideInRange(width) || !SideInRange(height) || bytes == 0) return Null;
    if (pitch < static_cast<std::int64_t>(width) * bytes) return Null;
    Ref<TPixmap> pixmap = New<TPixmap>();
    pixmap->pixels_ = static_cast<std::uint8_t*>(pixels);
    pixmap->width_ = width;
    pixmap->height_ = height;
    pixmap->pitch_ = pitch;
    pixmap->format_ = format;
    pixmap->capacity_ = -1;
    return pixmap;
}

} // namespace vanta
