// `TByteStream`: a stream of bytes, the primitives of `TIOBase` plus the typed readers and writers every
// stream shares, and the read window that lets the free readers of stream/Stream.h skip the virtual call.
#pragma once

#include "runtime/String.h"
#include "stream/IOBase.h"

#include <cstdint>
#include <cstring>

namespace vanta {

// A stream of bytes: the primitives plus the helpers every stream shares.
class TByteStream : public TIOBase
{
    VANTA_CLASS(TByteStream, TIOBase)
public:
    TByteStream() = default;

    // Reads `count` bytes, calling `Read` until they are in or the stream is at its end, and returns
    // `count` (0 for a negative count). Throws `TStreamReadError` when `Read` moves nothing before the end.
    virtual std::int32_t ReadBytes(void* buffer, std::int32_t count);

    // Writes all `count` bytes and returns `count` (0 for a negative count). Throws `TStreamWriteError`
    // when `Write` moves nothing.
    virtual std::int32_t WriteBytes(const void* buffer, std::int32_t count);

    // Reads and drops `count` bytes, stopping at the end; returns `count` (0 for a negative count).
    // Throws `TStreamReadError` when `Read` moves nothing before the end.
    virtual std::int32_t SkipBytes(std::int32_t count);

    // The next byte, 0-255 (0 at the end).
    virtual std::int32_t ReadByte();
    // Writes the low 8 bits.
    virtual void WriteByte(std::int32_t value);

    // The next 2 bytes zero-extended, 0-65535 (missing bytes read as 0).
    virtual std::int32_t ReadShort();
    // Writes the low 16 bits.
    virtual void WriteShort(std::int32_t value);

    // The next 4 bytes (missing bytes read as 0).
    virtual std::int32_t ReadInt();
    virtual void WriteInt(std::int32_t value);

    // The next 8 bytes (missing bytes read as 0).
    virtual std::int64_t ReadLong();
    virtual void WriteLong(std::int64_t value);

    // The next 4 bytes as a float (missing bytes read as 0).
    virtual float ReadFloat();
    virtual void WriteFloat(float value);

    // The next 8 bytes as a double (missing bytes read as 0).
    virtual double ReadDouble();
    virtual void WriteDouble(double value);

    // The bytes up to the next LF or zero byte (which is consumed but not returned), CRs left out; the
    // empty string at the end.
    virtual Ref<String> ReadLine();

    // Writes the text (one byte per character) and CR LF.
    virtual void WriteLine(const Ref<String>& text);

    // The next `count` bytes as a string of `count` characters (missing bytes read as 0).
    virtual Ref<String> ReadString(std::int32_t count);

    // Writes the text, one byte per character (the low 8 bits of each unit).
    virtual void WriteString(const Ref<String>& text);

    // Copies `count` bytes from the stream's read window into `buffer` and moves past them, when the
    // window holds that many; otherwise (and for a count below 1) false and nothing happens. The free
    // readers below try this before calling the slot, so reading numbers from a memory stream costs no
    // virtual call.
    bool TakeFromWindow(void* buffer, std::int32_t count) noexcept
    {
        if (count <= 0 || readLimit_ - readCursor_ < count) return false;
        std::memcpy(buffer, readCursor_, static_cast<std::size_t>(count));
        readCursor_ += count;
        return true;
    }

protected:
    // The read window: bytes [readCursor_, readLimit_) that can be taken without a call (empty unless a
    // stream opens one). A stream that opens a window keeps its read position at `readCursor_`, and its
    // typed readers must give exactly the machine-order values of the window's next bytes.
    std::uint8_t* readCursor_ = nullptr;
    const std::uint8_t* readLimit_ = nullptr; // one past the window's last byte
};

} // namespace vanta
