// The pixel converter every format change goes through: straight into or out of RGBA, otherwise through
// a temporary RGBA row. The format switch is taken once per row on each side, never per pixel.
#include "pixmap/Pixmap.h"
#include "runtime/Memory.h"

#include <cstring>

namespace vanta {
namespace {

using Byte = std::uint8_t;

void ToRGBA(const Byte* s, std::int32_t format, Byte* d, std::int32_t count)
{
    switch (format) {
    case PF_I8:
        for (std::int32_t i = 0; i < count; ++i, s += 1, d += 4) {
            d[0] = s[0];
            d[1] = s[0];
            d[2] = s[0];
            d[3] = 255;
        }
        break;
    case PF_A8:
        for (std::int32_t i = 0; i < count; ++i, s += 1, d += 4) {
            d[0] = 255;
            d[1] = 255;
            d[2] = 255;
            d[3] = s[0];
        }
        break;
    case PF_BGR888:
        for (std::int32_t i = 0; i < count; ++i, s += 3, d += 4) {
            d[0] = s[2];
            d[1] = s[1];
            d[2] = s[0];
            d[3] = 255;
        }
        break;
    case PF_RGB888:
        for (std::int32_t i = 0; i < count; ++i, s += 3, d += 4) {
            d[0] = s[0];
            d[1] = s[1];
            d[2] = s[2];
            d[3] = 255;
        }
        break;
    case PF_BGRA8888:
        for (std::int32_t i = 0; i < count; ++i, s += 4, d += 4) {
            const Byte b = s[0];
            const Byte r = s[2];
            d[0] = r;
            d[1] = s[1];
            d[2] = b;
            d[3] = s[3];
        }
        break;
    case PF_RGBA8888: std::memmove(d, s, static_cast<std::size_t>(count) * 4); break;
    default: break;
    }
}

void FromRGBA(const Byte* s, Byte* d, std::int32_t format, std::int32_t count)
{
    switch (format) {
    case PF_I8:
        for (std::int32_t i = 0; i < count; ++i, s += 4, d += 1) {
            d[0] = static_cast<Byte>((s[0] + s[1] + s[2]) / 3);
        }
        break;
    case PF_A8:
        for (std::int32_t i = 0; i < count; ++i, s += 4, d += 1) {
            d[0] = s[3];
        }
        break;
    case PF_BGR888:
        for (std::int32_t i = 0; i < count; ++i, s += 4, d += 3) {
            const Byte r = s[0];
            const Byte g = s[1];
            const Byte b = s[2];
            d[0] = b;
            d[1] = g;
            d[2] = r;
        }
        break;
    case PF_RGB888:
        for (std::int32_t i = 0; i < count; ++i, s += 4, d += 3) {
            const Byte r = s[0];
            const Byte g = s[1];
            const Byte b = s[2];
            d[0] = r;
            d[1] = g;
            d[2] = b;
        }
        break;
    case PF_BGRA8888:
        for (std::int32_t i = 0; i < count; ++i, s += 4, d += 4) {
            const Byte r = s[0];
            const Byte b = s[2];
            d[0] = b;
            d[1] = s[1];
            d[2] = r;
            d[3] = s[3];
        }
        break;
    case PF_RGBA8888: std::memmove(d, s, static_cast<std::size_t>(count) * 4); break;
    default: break;
    }
}

// The general path's RGBA row lives on the stack up to this many pixels (wider than most pictures);
// only a longer row allocates, once, and gives the block back before returning, so converting many rows
// between two flushes does not pile up temporaries.
constexpr std::int32_t HUB_STACK_PIXELS = 2048;

class HubRow
{
public:
    explicit HubRow(std::int32_t count)
        : size_(count > HUB_STACK_PIXELS ? std::ptrdiff_t{count} * 4 : 0),
          data_(size_ > 0 ? static_cast<Byte*>(MemAlloc(size_)) : stack_)
    {}
    ~HubRow()
    {
        if (size_ > 0) MemFree(data_, size_);
    }
    HubRow(const HubRow&) = delete;
    HubRow& operator=(const HubRow&) = delete;

    Byte* Data() const noexcept { return data_; }

private:
    alignas(4) Byte stack_[HUB_STACK_PIXELS * 4];
    std::ptrdiff_t size_;
    Byte* data_;
};

} // namespace

void CopyPixels(const void* source, void* destination, std::int32_t format, std::int32_t count)
{
    const std::int32_t bytes = PixelFormatBytes(format);
    if (count < 1 || bytes == 0) return;
    std::memmove(destination, source, static_cast<std::size_t>(count) * static_cast<std::size_t>(bytes));
}

void ConvertPixels(const void* source, std::int32_t sourceFormat, void* destination, std::int32_t destinationFormat,
                   std::int32_t count)
{
    if (count < 1 || PixelFormatBytes(sourceFormat) == 0 || PixelFormatBytes(destinationFormat) == 0) return;
    const auto* s = static_cast<const Byte*>(source);
    auto* d = static_cast<Byte*>(destination);
    if (sourceFormat == destinationFormat) {
        CopyPixels(s, d, sourceFormat, count);
    } else if (sourceFormat == PF_RGBA8888) {
        FromRGBA(s, d, destinationFormat, count);
    } else if (destinationFormat == PF_RGBA8888) {
        ToRGBA(s, sourceFormat, d, count);
    } else {
        const HubRow hub(count);
        ToRGBA(s, sourceFormat, hub.Data(), count);
        FromRGBA(hub.Data(), d, destinationFormat, count);
    }
}

} // namespace vanta
