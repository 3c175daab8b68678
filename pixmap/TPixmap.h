// The pixmap: the runtime's in-memory raster image, a rectangle of pixels in one of the six byte layouts
// of pixmap/Pixmap.h with an explicit row pitch. Loaders produce pixmaps, images and fonts keep and edit
// them, 2D drivers upload them as textures.
//
// Every pixmap that `Create` or `CreateStatic` makes has a width and height of 1 to 16384, a known
// format and a pitch of at least width times the format's byte size. Every operation that takes
// coordinates checks them: a pixel or rectangle reaching outside the pixmap throws `TArrayBoundsError`
// and touches nothing. A request for a pixmap of no pixels, of an unknown format or beyond the size
// limits is answered with `Null`.
//
// Builds on the object runtime (runtime/Object.h) and its allocator (runtime/Memory.h).
#pragma once

#include "runtime/Object.h"

#include <cstdint>

namespace vanta {

// A rectangle of pixels in one of the six formats, owned or over memory somebody else owns.
class TPixmap : public Object
{
    VANTA_CLASS(TPixmap, Object)
public:
    // An empty pixmap: no pixels, width, height, pitch, format and capacity all 0. Every method that
    // makes a pixmap from it answers `Null`, every method that takes coordinates throws.
    TPixmap() = default;
    ~TPixmap() override;

    // The address of pixel (x, y). Throws `TArrayBoundsError` when (x, y) lies outside the pixmap.
    virtual std::uint8_t* PixelPtr(std::int32_t x, std::int32_t y);

    // A new pixmap of w by h pixels sharing this pixmap's memory from (x, y) on; it keeps this pixmap
    // alive. `Null` when w or h is below 1; throws `TArrayBoundsError` when the rectangle reaches outside.
    virtual Ref<TPixmap> Window(std::int32_t x, std::int32_t y, std::int32_t w, std::int32_t h);

    // A new pixmap with the same pixels and format (its own memory, alignment 4); `Null` for an empty
    // pixmap.
    virtual Ref<TPixmap> Copy();

    // Writes `source`, converted to this pixmap's format, with its top-left pixel at (x, y). Throws
    // `TNullObjectError` for a `Null` source and `TArrayBoundsError`, writing nothing, when the source
    // does not fit inside this pixmap there. A source that shares memory with the target rectangle (a
    // window of this pixmap, another pixmap over the same bytes) is read as it was before the paste.
    virtual void Paste(const Ref<TPixmap>& source, std::int32_t x, std::int32_t y);

    // A new pixmap of the same size in `format` (alignment 4); `Null` for an unknown format, an empty
    // pixmap or a result beyond the size limits.
    virtual Ref<TPixmap> Convert(std::int32_t format);

    // Pixel (x, y) as packed ARGB (alpha in bits 24-31, then red, green, blue). Throws
    // `TArrayBoundsError` outside the pixmap.
    virtual std::uint32_t ReadPixel(std::int32_t x, std::int32_t y);

    // Stores the packed ARGB colour at (x, y) in the pixmap's format. Throws `TArrayBoundsError` outside
    // the pixmap.
    virtual void WritePixel(std::int32_t x, std::int32_t y, std::uint32_t argb);

    // A new pixmap that owns its memory, every byte 0; its pitch is width times the format's byte size
    // rounded up to a multiple of `align`. `Null` when width or height is outside 1 .. 16384, the format
    // is unknown, `align` is below 1 or the memory (pitch times height) would exceed 256 MiB.
    static Ref<TPixmap> Create(std::int32_t width, std::int32_t height, std::int32_t format, std::int32_t align);

    // `Create` without clearing the memory, for a writer that fills every byte of every row, the padding
    // up to the pitch included, before anyone reads the pixmap (the image loaders). `Null` as `Create`.
    static Ref<TPixmap> CreateUncleared(std::int32_t width, std::int32_t height, std::int32_t format,
                                        std::int32_t align);

    // A new pixmap over memory owned elsewhere, which must hold `height` rows of `pitch` bytes and must
    // outlive the pixmap. `Null` for null `pixels`, a width or height outside 1 .. 16384, an unknown
    // format or a pitch below width times the format's byte size.
    static Ref<TPixmap> CreateStatic(void* pixels, std::int32_t width, std::int32_t height, std::int32_t pitch,
                                     std::int32_t format);

    // The address of pixel (0, 0); nullptr for an empty pixmap.
    std::uint8_t* Pixels() const noexcept { return pixels_; }
    // The size in pixels; 0 for an empty pixmap.
    std::int32_t Width() const noexcept { return width_; }
    std::int32_t Height() const noexcept { return height_; }
    // Bytes from the start of one row to the start of the next.
    std::int32_t Pitch() const noexcept { return pitch_; }
    // The pixel format code (PF_I8 ... PF_RGBA8888), 0 for an empty pixmap.
    std::int32_t Format() const noexcept { return format_; }
    // Bytes the pixmap owns at `Pixels()`; -1 when the memory belongs to somebody else.
    std::int32_t Capacity() const noexcept { return capacity_; }
    // Bytes per pixel of the pixmap's format; 0 for an empty pixmap.
    std::int32_t BytesPerPixel() const noexcept;

private:
    // Row y without a check, for loops that have checked their range.
    std::uint8_t* Row(std::int32_t y) const noexcept { return pixels_ + static_cast<std::ptrdiff_t>(y) * pitch_; }

    // True when the w by h rectangle at (x, y) lies inside the pixmap (an empty one at any corner does).
    bool Contains(std::int64_t x, std::int64_t y, std::int64_t w, std::int64_t h) const noexcept;

    std::uint8_t* pixels_ = nullptr;
    std::int32_t width_ = 0;
    std::int32_t height_ = 0;
    std::int32_t pitch_ = 0;
    std::int32_t format_ = 0;
    std::int32_t capacity_ = 0;
    // The pixmap whose memory a window shares, kept alive as long as the window.
    Ref<TPixmap> owner_;
};

} // namespace vanta
