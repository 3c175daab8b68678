// Memory streams: a stream over a fixed memory area that it does not own.
//
// The embedded files are read this way ("incbin::" URLs, stream/IncbinStream.h). The area never grows:
// reads and writes stop at its end, and a seek is kept within 0 .. `Size`. The creator keeps the area
// alive as long as the stream (embedded files are permanent). A readable memory stream opens its whole
// area as its read window, so the free readers (`ReadInt(stream)`, ...) take numbers straight from it.
#pragma once

#include "stream/Stream.h"

#include <cstdint>

namespace vanta {

// A stream over a memory area of fixed size, readable and/or writeable.
class TMemoryStream final : public TByteStream
{
    VANTA_CLASS(TMemoryStream, TByteStream)
public:
    // Use `Create`. A negative size, or a null area, counts as size 0.
    TMemoryStream(void* data, std::int32_t size, bool readable, bool writeable);

    // `Pos` equals `Size`, without the two calls.
    std::int32_t Eof() override;
    std::int32_t Pos() override;
    std::int32_t Size() override;

    // Moves to `pos` kept within 0 .. `Size` and returns it.
    std::int32_t Seek(std::int32_t pos) override;

    // Copies up to `count` bytes from the area; 0 at the end, for a count below 1, and when the stream
    // is not readable.
    std::int32_t Read(void* buffer, std::int32_t count) override;

    // Copies up to `count` bytes into the area; 0 at the end, for a count below 1, and when the stream
    // is not writeable (so `WriteBytes` throws `TStreamWriteError`).
    std::int32_t Write(const void* buffer, std::int32_t count) override;

    // The helpers below give the same results as `TByteStream`'s, copying straight from the area.
    std::int32_t ReadBytes(void* buffer, std::int32_t count) override;
    std::int32_t ReadByte() override;
    std::int32_t ReadShort() override;
    std::int32_t ReadInt() override;
    std::int64_t ReadLong() override;
    float ReadFloat() override;
    double ReadDouble() override;
    Ref<String> ReadLine() override;

    // A new stream over `size` bytes at `data`, positioned at 0.
    static Ref<TMemoryStream> Create(void* data, std::int32_t size, bool readable, bool writeable);

    // The first byte of the area.
    std::uint8_t* Data() const noexcept { return data_; }

    // Whether `Read` and `Write` may move bytes.
    bool Readable() const noexcept { return readable_; }
    bool Writeable() const noexcept { return writeable_; }

private:
    // The position lives in the read window's cursor.
    std::int32_t Position() const noexcept { return static_cast<std::int32_t>(readCursor_ - data_); }

    template <class T>
    T ReadValue();

    std::int32_t size_ = 0;
    std::uint8_t* data_ = nullptr;
    bool readable_ = false;
    bool writeable_ = false;
};

// `TMemoryStream::Create`.
Ref<TMemoryStream> CreateMemoryStream(void* data, std::int32_t size, bool readable, bool writeable);

// The memory-stream module's initialiser.
void InitMemoryStreams();

} // namespace vanta
