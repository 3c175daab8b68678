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
//
// The classes have files of their own, all included here: stream/IOBase.h (`TIOBase`),
// stream/ByteStream.h (`TByteStream`), stream/ForwardingStream.h (`TForwardingStream`, `TBorrowedStream`),
// stream/FileStream.h (`TFileStream`), stream/StreamOpener.h (`TStreamOpener`) and stream/StreamError.h
// (`TStreamError` and its kinds).
//
// [SECTION] Opening URLs
// [SECTION] The slots as free functions
// [SECTION] Whole-stream helpers
// [SECTION] Module initialiser
#pragma once

#include "runtime/Array.h"
#include "runtime/Object.h"
#include "runtime/String.h"
#include "stream/ByteStream.h"
#include "stream/FileStream.h"
#include "stream/ForwardingStream.h"
#include "stream/IOBase.h"
#include "stream/StreamError.h"
#include "stream/StreamOpener.h"

#include <cstdint>

namespace vanta {

// [SECTION] Opening URLs ----------------------------------------------------------------------------------------------

// The newest factory (the head of the list), or `Null`.
const Ref<TStreamOpener>& StreamFactories() noexcept;

// A stream for `url` (see the top of this file), or `Null` when nothing can open it.
Ref<TByteStream> OpenStream(const Ref<Object>& url, bool readable, bool writeable);

// `OpenStream(url, true, false)`.
Ref<TByteStream> OpenReadStream(const Ref<Object>& url);

// `OpenStream(url, false, true)`.
Ref<TByteStream> OpenWriteStream(const Ref<Object>& url);

// [SECTION] The slots as free functions -------------------------------------------------------------------------------

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

// [SECTION] Whole-stream helpers --------------------------------------------------------------------------------------

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

// [SECTION] Module initialiser ----------------------------------------------------------------------------------------

// The stream module's initialiser.
void InitStreams();

} // namespace vanta
