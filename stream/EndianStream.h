// Endian streams: big-endian numbers over any stream, and the "bigendian" / "littleendian" protocols.
//
// `BigEndianStream(s)` wraps `s` so that `ReadShort` ... `WriteDouble` move their bytes in big-endian
// order; everything else (bytes, lines, strings, the primitives) passes through unchanged. The machine
// order is little-endian, so `LittleEndianStream(s)` is `s` itself. As URLs:
// "bigendian::incbin::a.bin" opens "incbin::a.bin" and wraps it.
#pragma once

#include "stream/Stream.h"

#include <cstdint>

namespace vanta {

// A wrapper that reads and writes multi-byte numbers in big-endian order.
class TBigEndianStream : public TForwardingStream
{
    VANTA_CLASS(TBigEndianStream, TForwardingStream)
public:
    // Use `Create`.
    TBigEndianStream() = default;

    // The typed helpers in big-endian order; missing bytes at the end read as 0 (they are the
    // low-order bytes of the value).
    std::int32_t ReadShort() override;
    void WriteShort(std::int32_t value) override;
    std::int32_t ReadInt() override;
    void WriteInt(std::int32_t value) override;
    std::int64_t ReadLong() override;
    void WriteLong(std::int64_t value) override;
    float ReadFloat() override;
    void WriteFloat(float value) override;
    double ReadDouble() override;
    void WriteDouble(double value) override;

    // Reverse 2, 4 or 8 bytes in place.
    virtual void Swap2(void* bytes);
    virtual void Swap4(void* bytes);
    virtual void Swap8(void* bytes);

    // A new wrapper around `stream`, or `Null` for `Null`.
    static Ref<TBigEndianStream> Create(const Ref<TByteStream>& stream);

    // `Create(stream)`.
    static Ref<TByteStream> BigEndianStream(const Ref<TByteStream>& stream);

    // `stream` itself: the machine order is little-endian.
    static Ref<TByteStream> LittleEndianStream(const Ref<TByteStream>& stream);

private:
    template <class T>
    T ReadSwapped();
    template <class T>
    void WriteSwapped(T value);
};

// A big-endian wrapper around `stream`, or `Null` for `Null`.
Ref<TByteStream> BigEndianStream(const Ref<TByteStream>& stream);

// `stream` itself.
Ref<TByteStream> LittleEndianStream(const Ref<TByteStream>& stream);

// The factory for the protocols "bigendian" and "littleendian": opens the path with the same flags and
// wraps the result.
class TEndianStreamOpener final : public TStreamOpener
{
    VANTA_CLASS(TEndianStreamOpener, TStreamOpener)
public:
    TEndianStreamOpener() = default;

    // The wrapped stream; `Null` for other protocols or when the path cannot be opened.
    Ref<TByteStream> CreateStream(const Ref<Object>& url, const Ref<String>& protocol, const Ref<String>& path,
                                  bool readable, bool writeable) override;
};

// The endian module's initialiser: constructs the endian factory.
void InitEndianStreams();

} // namespace vanta
