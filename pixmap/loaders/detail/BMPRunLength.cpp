// Run-length compressed BMP pixels: a small buffered reader over the stream and the code interpreter.
#include "pixmap/loaders/detail/BMPRunLength.h"

#include "pixmap/loaders/detail/LoaderInput.h"

#include <algorithm>
#include <cstring>

namespace vanta::detail {
namespace {

// The stream's bytes one at a time, fetched in blocks; the codes are a byte or two each.
class ByteSource
{
public:
    explicit ByteSource(TByteStream& in) : in_(in) {}

    // The next byte into `byte`; false at the end of the stream.
    bool Next(std::uint8_t& byte)
    {
        if (at_ == end_ && !Refill()) return false;
        byte = buffer_[at_++];
        return true;
    }

    // The next `count` bytes into `out`; false when the stream ends first.
    bool Take(std::uint8_t* out, std::int32_t count)
    {
        while (count > 0) {
            if (at_ == end_ && !Refill()) return false;
            const std::int32_t take = std::min(count, end_ - at_);
            std::memcpy(out, buffer_ + at_, static_cast<std::size_t>(take));
            out += take;
            at_ += take;
            count -= take;
        }
        return true;
    }

    // True when a byte is waiting (fetching the first block when none is).
    bool More() { return at_ < end_ || Refill(); }

private:
    bool Refill()
    {
        at_ = 0;
        end_ = ReadUpTo(in_, buffer_, sizeof buffer_);
        return end_ > 0;
    }

    TByteStream& in_;
    std::uint8_t buffer_[4096];
    std::int32_t at_ = 0;
    std::int32_t end_ = 0;
};

} // namespace

Ref<TPixmap> DecodeBMPRunLength(TByteStream& in, std::int32_t width, std::int32_t height, const std::uint8_t* palette,
                                bool fourBit, bool topDown)
{
    ByteSource source(in);
    if (!source.More()) return Null;
    // Cleared: what no code reaches stays transparent.
    Ref<TPixmap> pixmap = CreatePixmap(width, height, PF_RGBA8888, 4);
    if (pixmap.IsNull()) return Null;

    // r counts rows in file order; x may lie past the row's end after a delta, and nothing is drawn there.
    std::int64_t x = 0;
    std::int64_t r = 0;
    std::uint8_t* row = pixmap->PixelPtr(0, topDown ? 0 : height - 1);
    auto moveToRow = [&](std::int64_t next) {
        r = next;
        if (r < height) row = pixmap->PixelPtr(0, static_cast<std::int32_t>(topDown ? r : height - 1 - r));
    };
    // Draws at x, which the callers keep inside the row, and moves on.
    auto put = [&](std::uint32_t index) {
        std::uint8_t* out = row + x * 4;
        std::memcpy(out, palette + index * 3, 3);
        out[3] = 255;
        ++x;
    };
    auto indexAt = [fourBit](const std::uint8_t* bytes, std::int32_t i) -> std::uint32_t {
        if (!fourBit) return bytes[i];
        const std::uint8_t pair = bytes[i >> 1];
        return (i & 1) == 0 ? pair >> 4 : pair & 15;
    };

    std::uint8_t count = 0;
    std::uint8_t code = 0;
    while (r < height && source.Next(count) && source.Next(code)) {
        if (count > 0) {
            // A run: `count` pixels of one index (RLE4: of the byte's two indices in turn).
            for (std::int32_t i = 0; i < count && x < width; ++i)
                put(fourBit ? ((i & 1) == 0 ? code >> 4 : code & 15) : code);
            continue;
        }
        if (code == 0) {
            x = 0;
            moveToRow(r + 1);
        } else if (code == 1) {
            break;
        } else if (code == 2) {
            std::uint8_t delta[2] = {};
            if (!source.Take(delta, 2)) break;
            x += delta[0];
            moveToRow(r + delta[1]);
        } else {
            // A literal stretch of `code` indices, its bytes padded to a whole 16-bit word.
            std::uint8_t bytes[256] = {};
            const std::int32_t stored = fourBit ? (code + 1) / 2 : code;
            if (!source.Take(bytes, (stored + 1) & ~1)) break;
            for (std::int32_t i = 0; i < code && x < width; ++i)
                put(indexAt(bytes, i));
        }
    }
    return pixmap;
}

} // namespace vanta::detail
