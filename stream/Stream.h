// Streams: the byte-stream classes, file streams, URL protocols and the whole-stream helpers.
//
// Every read and write of data goes through a `TByteStream`. A concrete stream supplies the primitives
// `Read` and `Write`, plus `Pos`, `Size`, `Seek`, `Flush` and `Close` where they mean something; the
// typed helpers (`ReadByte` ... `ReadDouble`, `ReadLine`, `ReadString` and their writers) are built on the
// primitives. Numbers move in the machine's byte order (little-endian); wrap a stream with
// `BigEndianStream` (stream/EndianStream.h) for big-endian data. Lines are read up to LF, skipping CR,
// and written with CR LF. Text passes one byte per character (8-bit text, see runtime/String.h); for
// encoded text wrap the stream in a `TEncodedTextStream` (stream/TextStream.h).
//
// URLs: `OpenStream` and its two shorthands accept
//   - an open stream: it comes back wrapped in a `TBorrowedStream`, so closing the result leaves the
//     stream open (and positioned where the reader left it) for its owner;
//   - a string without "::": a file path, opened directly as a `TFileStream` ("\" becomes "/");
//   - "protocol::path": handed to the stream factories (`TStreamOpener`), newest first, for example
//     "incbin::DATAS/lune.png" (an embedded file, read-only) or "bigendian::incbin::a.bin";
//   - any other object a factory knows (a `TMemoryBlock`).
// Nothing that cannot be opened is an error: the answer is `Null`.
//
// A loader reads like this:
//
//     Ref<TByteStream> stream = OpenReadStream(url);
//     if (stream.IsNull()) return Null;
//     const std::int32_t magic = stream->ReadInt();
//     ...
//     stream->Close();
//
// Reading at the end is not an error: `ReadBytes` stops there (the rest of the buffer keeps its old
// contents), the typed readers read the missing bytes as 0 and `ReadLine` gives what it has (the empty
// string at the end). Errors are thrown as runtime objects (runtime/Error.h): `Read`/`Write` on a stream
// that cannot read/write throw "Stream is not readable"/"Stream is not writeable"; a primitive that moves
// nothing before the end inside `ReadBytes`, `SkipBytes` or `WriteBytes` throws `TStreamReadError` /
// `TStreamWriteError` (both derive from `TStreamError`). Negative counts move nothing and answer 0.
//
// Main thread only: no stream is shared between threads.
#pragma once

#include "runtime/Array.h"
#include "runtime/Object.h"
#include "runtime/String.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace vanta {

// Base class of the errors raised by the stream helpers.
class TStreamError : public Object
{
    VANTA_CLASS(TStreamError, Object)
public:
    TStreamError() = default;
};

// "Error reading from stream": a read moved nothing before the end of the stream.
class TStreamReadError : public TStreamError
{
    VANTA_CLASS(TStreamReadError, TStreamError)
public:
    TStreamReadError() = default;
    Ref<String> ToString() override;
};

// "Error writing to stream": a write moved nothing.
class TStreamWriteError : public TStreamError
{
    VANTA_CLASS(TStreamWriteError, TStreamError)
public:
    TStreamWriteError() = default;
    Ref<String> ToString() override;
};

// The primitive operations of every stream. The base class has no data: it is at its end at once, has
// no position, and cannot read or write.
class TIOBase : public Object
{
    VANTA_CLASS(TIOBase, Object)
public:
    TIOBase() = default;

    // 1 when `Pos` equals `Size`, else 0.
    virtual std::int32_t Eof();

    // The position in bytes from the start; -1 for a stream without positions.
    virtual std::int32_t Pos();

    // The length in bytes; 0 when unknown.
    virtual std::int32_t Size();

    // Moves to `pos` and returns the new position; -1 when the stream cannot seek.
    virtual std::int32_t Seek(std::int32_t pos);

    // Writes out whatever the stream holds back; 0, or -1 when that failed.
    virtual std::int32_t Flush();

    // Ends the stream's use of its resource; 0, or -1 when held-back bytes could not be written. Closing twice
    // is harmless.
    virtual std::int32_t Close();

    // Moves up to `count` bytes into `buffer` and returns how many; 0 when nothing could be read.
    // Throws "Stream is not readable" on a stream that cannot read.
    virtual std::int32_t Read(void* buffer, std::int32_t count);

    // Moves up to `count` bytes from `buffer` and returns how many; 0 when nothing could be written.
    // Throws "Stream is not writeable" on a stream that cannot write.
    virtual std::int32_t Write(const void* buffer, std::int32_t count);
};

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

// A stream that passes the primitives on to an inner stream; base class of the wrapping streams.
class TForwardingStream : public TByteStream
{
    VANTA_CLASS(TForwardingStream, TByteStream)
public:
    TForwardingStream() = default;

    // The primitives of the inner stream (all throw `TNullObjectError` when there is none).
    std::int32_t Eof() override;
    std::int32_t Pos() override;
    std::int32_t Size() override;
    std::int32_t Seek(std::int32_t pos) override;
    std::int32_t Flush() override;
    std::int32_t Close() override;
    std::int32_t Read(void* buffer, std::int32_t count) override;
    std::int32_t Write(const void* buffer, std::int32_t count) override;

    // Makes `stream` (or `Null`) the inner stream, keeping a reference to it and dropping the old one.
    virtual void SetStream(const Ref<TByteStream>& stream);

    // The inner stream, or `Null`.
    const Ref<TByteStream>& Inner() const noexcept { return inner_; }

private:
    Ref<TByteStream> inner_;
};

// A wrapper that never closes what it wraps: `Close` only lets go of the inner stream.
class TBorrowedStream : public TForwardingStream
{
    VANTA_CLASS(TBorrowedStream, TForwardingStream)
public:
    TBorrowedStream() = default;

    // Drops the inner stream, which stays open for its owner; 0.
    std::int32_t Close() override;

    // A new wrapper around `stream`.
    static Ref<TBorrowedStream> Create(const Ref<TByteStream>& stream);
};

// File modes of a `TFileStream`.
inline constexpr std::int32_t FILE_READ = 1;       // reading only
inline constexpr std::int32_t FILE_WRITE = 2;      // writing only
inline constexpr std::int32_t FILE_READ_WRITE = 3; // reading and writing

// A C-library file as a stream. Open from `OpenFile` (or `CreateFromFile`) until `Close`; after that
// `Pos` and `Size` are 0, `Eof` is 1, reads give nothing and writes fail. A stream destroyed while open
// closes its file.
class TFileStream final : public TByteStream
{
    VANTA_CLASS(TFileStream, TByteStream)
public:
    // Use `OpenFile` or `CreateFromFile`; `file` must not be null.
    TFileStream(std::FILE* file, std::int32_t mode);
    ~TFileStream() override;

    // `Pos` equals `Size`, without the two calls.
    std::int32_t Eof() override;
    std::int32_t Pos() override;
    std::int32_t Size() override;

    // Moves to `pos`, kept within 0 .. `Size`, and returns the position the C library reports.
    std::int32_t Seek(std::int32_t pos) override;

    std::int32_t Flush() override;

    // Flushes and closes the file; 0, or -1 when the buffered bytes could not be written (the file is closed
    // either way). Does nothing (0) when already closed.
    std::int32_t Close() override;

    // `fread`: the bytes read (0 at the end, on failure, and after `Close`).
    std::int32_t Read(void* buffer, std::int32_t count) override;

    // `fwrite`: the bytes written (0 on failure, and after `Close`).
    std::int32_t Write(const void* buffer, std::int32_t count) override;

    // As `TByteStream::ReadLine`, scanning the C library's buffer instead of reading byte by byte.
    Ref<String> ReadLine() override;

    // Opens `path` ("\" read as "/") with the C mode "r+b" when both flags are set, "wb" when only
    // `writeable` is, otherwise "rb". `Null` when the C library cannot open it and for a directory.
    static Ref<TFileStream> OpenFile(const Ref<String>& path, bool readable, bool writeable);

    // A stream over an open C file in `mode` (`FILE_READ`, `FILE_WRITE` or `FILE_READ_WRITE`), starting at
    // the file's current position; the stream closes the file. `Null` for a null file.
    static Ref<TFileStream> CreateFromFile(std::FILE* file, std::int32_t mode);

    // The C file; nullptr once closed.
    std::FILE* File() const noexcept { return file_; }

    // `FILE_READ`, `FILE_WRITE` or `FILE_READ_WRITE`.
    std::int32_t Mode() const noexcept { return mode_; }

private:
    enum class Direction : std::uint8_t
    {
        NONE,
        READING,
        WRITING
    };

    void TurnTo(Direction direction);

    std::int32_t pos_ = 0;
    std::int32_t size_ = 0;
    std::FILE* file_ = nullptr;
    std::int32_t mode_ = 0;
    // The C file's buffer when the stream opened the file itself; freed once the file is closed.
    void* buffer_ = nullptr;
    // The C library needs a seek between a read and a following write (and the other way round) on a
    // file opened for both; this remembers which way the last transfer went.
    Direction direction_ = Direction::NONE;
};

// A stream factory: turns the URLs of one or more protocols into streams. Constructing one links it in at
// the head of the process-wide factory list, so it is asked before every factory made earlier; factories
// are never removed.
class TStreamOpener : public Object
{
    VANTA_CLASS(TStreamOpener, Object)
public:
    TStreamOpener();

    // A stream for `url` (split into `protocol` and `path` at the first "::"; both empty when the url is
    // not a string), or `Null` to let the next factory try. The base class throws
    // "Attempt to call abstract method".
    virtual Ref<TByteStream> CreateStream(const Ref<Object>& url, const Ref<String>& protocol, const Ref<String>& path,
                                          bool readable, bool writeable);

    // The factory made before this one, or `Null`.
    const Ref<TStreamOpener>& Next() const noexcept { return next_; }

private:
    Ref<TStreamOpener> next_;
};

// The newest factory (the head of the list), or `Null`.
const Ref<TStreamOpener>& StreamFactories() noexcept;

// A stream for `url` (see the top of this file), or `Null` when nothing can open it.
Ref<TByteStream> OpenStream(const Ref<Object>& url, bool readable, bool writeable);

// `OpenStream(url, true, false)`.
Ref<TByteStream> OpenReadStream(const Ref<Object>& url);

// `OpenStream(url, false, true)`.
Ref<TByteStream> OpenWriteStream(const Ref<Object>& url);

// The slots as free functions; each throws `TNullObjectError` for `Null`. `ReadBytes` and the typed
// readers take their bytes straight from a stream's read window when it holds them (a memory stream's
// area), which gives the same result as the slot without the virtual call: prefer them in tight loops.
inline std::int32_t Eof(const Ref<TIOBase>& stream)
{
    return stream->Eof();
}
inline std::int32_t Pos(const Ref<TIOBase>& stream)
{
    return stream->Pos();
}
inline std::int32_t Size(const Ref<TIOBase>& stream)
{
    return stream->Size();
}
inline std::int32_t Seek(const Ref<TIOBase>& stream, std::int32_t pos)
{
    return stream->Seek(pos);
}
inline std::int32_t Flush(const Ref<TIOBase>& stream)
{
    return stream->Flush();
}
inline std::int32_t Close(const Ref<TIOBase>& stream)
{
    return stream->Close();
}
inline std::int32_t Read(const Ref<TIOBase>& stream, void* buffer, std::int32_t count)
{
    return stream->Read(buffer, count);
}
inline std::int32_t Write(const Ref<TIOBase>& stream, const void* buffer, std::int32_t count)
{
    return stream->Write(buffer, count);
}
// The slot `ReadBytes`, or the bytes straight from the read window when it holds them all.
inline std::int32_t ReadBytes(const Ref<TByteStream>& stream, void* buffer, std::int32_t count)
{
    TByteStream* s = stream.Get();
    if (s->TakeFromWindow(buffer, count)) return count;
    return s->ReadBytes(buffer, count);
}
inline std::int32_t WriteBytes(const Ref<TByteStream>& stream, const void* buffer, std::int32_t count)
{
    return stream->WriteBytes(buffer, count);
}
namespace detail {

// A value of type `Stored` taken straight from the stream's read window when it holds one, else from the
// slot.
template <class Stored, class Result>
Result ReadThroughWindow(const Ref<TByteStream>& stream, Result (TByteStream::*slot)())
{
    TByteStream* s = stream.Get();
    Stored value;
    if (s->TakeFromWindow(&value, sizeof value)) return value;
    return (s->*slot)();
}

} // namespace detail

inline std::int32_t SkipBytes(const Ref<TByteStream>& stream, std::int32_t count)
{
    return stream->SkipBytes(count);
}
inline std::int32_t ReadByte(const Ref<TByteStream>& stream)
{
    return detail::ReadThroughWindow<std::uint8_t>(stream, &TByteStream::ReadByte);
}
inline void WriteByte(const Ref<TByteStream>& stream, std::int32_t value)
{
    stream->WriteByte(value);
}
inline std::int32_t ReadShort(const Ref<TByteStream>& stream)
{
    return detail::ReadThroughWindow<std::uint16_t>(stream, &TByteStream::ReadShort);
}
inline void WriteShort(const Ref<TByteStream>& stream, std::int32_t value)
{
    stream->WriteShort(value);
}
inline std::int32_t ReadInt(const Ref<TByteStream>& stream)
{
    return detail::ReadThroughWindow<std::int32_t>(stream, &TByteStream::ReadInt);
}
inline void WriteInt(const Ref<TByteStream>& stream, std::int32_t value)
{
    stream->WriteInt(value);
}
inline std::int64_t ReadLong(const Ref<TByteStream>& stream)
{
    return detail::ReadThroughWindow<std::int64_t>(stream, &TByteStream::ReadLong);
}
inline void WriteLong(const Ref<TByteStream>& stream, std::int64_t value)
{
    stream->WriteLong(value);
}
inline float ReadFloat(const Ref<TByteStream>& stream)
{
    return detail::ReadThroughWindow<float>(stream, &TByteStream::ReadFloat);
}
inline void WriteFloat(const Ref<TByteStream>& stream, float value)
{
    stream->WriteFloat(value);
}
inline double ReadDouble(const Ref<TByteStream>& stream)
{
    return detail::ReadThroughWindow<double>(stream, &TByteStream::ReadDouble);
}
inline void WriteDouble(const Ref<TByteStream>& stream, double value)
{
    stream->WriteDouble(value);
}
inline Ref<String> ReadLine(const Ref<TByteStream>& stream)
{
    return stream->ReadLine();
}
inline void WriteLine(const Ref<TByteStream>& stream, const Ref<String>& text)
{
    stream->WriteLine(text);
}
inline Ref<String> ReadString(const Ref<TByteStream>& stream, std::int32_t count)
{
    return stream->ReadString(count);
}
inline void WriteString(const Ref<TByteStream>& stream, const Ref<String>& text)
{
    stream->WriteString(text);
}
inline void SetStream(const Ref<TForwardingStream>& wrapper, const Ref<TByteStream>& stream)
{
    wrapper->SetStream(stream);
}

// The buffer size of `CopyStream` and `CopyBytes` when none (or one below 1) is given.
inline constexpr std::int32_t COPY_BUFFER_SIZE = 4096;

// A byte array of everything the stream opened from `url` delivers, read to its end (or until a read
// moves nothing); the stream is closed. Throws "Unable to open stream for reading: <url>" when the url
// cannot be opened.
Ref<Array> LoadByteArray(const Ref<Object>& url);

// `LoadByteArray` as 8-bit text (one character per byte). Throws as `LoadByteArray`.
Ref<String> LoadString(const Ref<Object>& url);

// Writes the array's bytes to a stream opened from `url` and closes it. Throws
// "Unable to open stream for writing: <url>" when the url cannot be opened, and `TStreamWriteError` when the
// bytes cannot be written (also when the last of them fail at the close).
void SaveByteArray(const Ref<Array>& bytes, const Ref<Object>& url);

// Writes the text, one byte per character, to a stream opened from `url` and closes it. Throws as
// `SaveByteArray`.
void SaveString(const Ref<String>& text, const Ref<Object>& url);

// Copies `from` to `to` until `from` is at its end (or a read moves nothing), through a buffer of
// `bufferSize` bytes. Throws `TStreamWriteError`.
void CopyStream(const Ref<TByteStream>& from, const Ref<TByteStream>& to, std::int32_t bufferSize = COPY_BUFFER_SIZE);

// Copies `count` bytes from `from` to `to`, or fewer when `from` ends first (nothing beyond its end is
// written). Throws `TStreamReadError` when a read moves nothing before the end, and `TStreamWriteError`.
void CopyBytes(const Ref<TByteStream>& from, const Ref<TByteStream>& to, std::int32_t count,
               std::int32_t bufferSize = COPY_BUFFER_SIZE);

// The stream module's initialiser.
void InitStreams();

} // namespace vanta
