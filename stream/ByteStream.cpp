// The stream base classes: the primitives' defaults, the stream errors and the typed helpers built on
// `Read` and `Write`.
#include "stream/ByteStream.h"

#include "runtime/Array.h"
#include "runtime/Error.h"
#include "stream/StreamError.h"
#include "stream/detail/LineBuffer.h"

#include <algorithm>
#include <cstring>

namespace vanta {
namespace {

// Reads a value of `T` in the machine's byte order; bytes missing at the end read as 0.
template <class T>
T ReadValue(TByteStream& stream)
{
    std::uint8_t bytes[sizeof(T)] = {};
    stream.ReadBytes(bytes, sizeof(T));
    T value;
    std::memcpy(&value, bytes, sizeof(T));
    return value;
}

template <class T>
void WriteValue(TByteStream& stream, T value)
{
    std::uint8_t bytes[sizeof(T)];
    std::memcpy(bytes, &value, sizeof(T));
    stream.WriteBytes(bytes, sizeof(T));
}

} // namespace

Ref<String> TStreamReadError::ToString()
{
    return "Error reading from stream"_s;
}

Ref<String> TStreamWriteError::ToString()
{
    return "Error writing to stream"_s;
}

std::int32_t TIOBase::Eof()
{
    return Pos() == Size() ? 1 : 0;
}

std::int32_t TIOBase::Pos()
{
    return -1;
}

std::int32_t TIOBase::Size()
{
    return 0;
}

std::int32_t TIOBase::Seek(std::int32_t)
{
    return -1;
}

std::int32_t TIOBase::Flush()
{
    return 0;
}

std::int32_t TIOBase::Close()
{
    return 0;
}

std::int32_t TIOBase::Read(void*, std::int32_t)
{
    ThrowError("Stream is not readable");
}

std::int32_t TIOBase::Write(const void*, std::int32_t)
{
    ThrowError("Stream is not writeable");
}

std::int32_t TByteStream::ReadBytes(void* buffer, std::int32_t count)
{
    if (count <= 0) return 0;
    auto* at = static_cast<std::uint8_t*>(buffer);
    std::int32_t remaining = count;
    while (remaining > 0 && Eof() == 0) {
        const std::int32_t n = Read(at, remaining);
        if (n <= 0) Throw(New<TStreamReadError>());
        remaining -= n;
        at += n;
    }
    return count;
}

std::int32_t TByteStream::WriteBytes(const void* buffer, std::int32_t count)
{
    if (count <= 0) return 0;
    const auto* at = static_cast<const std::uint8_t*>(buffer);
    std::int32_t remaining = count;
    while (remaining > 0) {
        const std::int32_t n = Write(at, remaining);
        if (n <= 0) Throw(New<TStreamWriteError>());
        remaining -= n;
        at += n;
    }
    return count;
}

std::int32_t TByteStream::SkipBytes(std::int32_t count)
{
    if (count <= 0) return 0;
    std::uint8_t scratch[1024];
    std::int32_t remaining = count;
    while (remaining > 0 && Eof() == 0) {
        const std::int32_t n = Read(scratch, std::min<std::int32_t>(remaining, sizeof scratch));
        if (n <= 0) Throw(New<TStreamReadError>());
        remaining -= n;
    }
    return count;
}

std::int32_t TByteStream::ReadByte()
{
    return ReadValue<std::uint8_t>(*this);
}

void TByteStream::WriteByte(std::int32_t value)
{
    WriteValue(*this, static_cast<std::uint8_t>(value));
}

std::int32_t TByteStream::ReadShort()
{
    return ReadValue<std::uint16_t>(*this);
}

void TByteStream::WriteShort(std::int32_t value)
{
    WriteValue(*this, static_cast<std::uint16_t>(value));
}

std::int32_t TByteStream::ReadInt()
{
    return ReadValue<std::int32_t>(*this);
}

void TByteStream::WriteInt(std::int32_t value)
{
    WriteValue(*this, value);
}

std::int64_t TByteStream::ReadLong()
{
    return ReadValue<std::int64_t>(*this);
}

void TByteStream::WriteLong(std::int64_t value)
{
    WriteValue(*this, value);
}

float TByteStream::ReadFloat()
{
    return ReadValue<float>(*this);
}

void TByteStream::WriteFloat(float value)
{
    WriteValue(*this, value);
}

double TByteStream::ReadDouble()
{
    return ReadValue<double>(*this);
}

void TByteStream::WriteDouble(double value)
{
    WriteValue(*this, value);
}

Ref<String> TByteStream::ReadLine()
{
    // One byte per `Read`, so the stream never gives up more than the line and its terminator.
    detail::LineBuffer line;
    for (;;) {
        std::uint8_t byte = 0;
        if (Read(&byte, 1) != 1 || byte == 0 || byte == '\n') break;
        if (byte != '\r') line.Append(byte);
    }
    return line.Finish();
}

void TByteStream::WriteLine(const Ref<String>& text)
{
    WriteString(text);
    WriteString("\r\n"_s);
}

Ref<String> TByteStream::ReadString(std::int32_t count)
{
    if (count <= 0) return EmptyString();
    Ref<Array> bytes = NewArray("b", count);
    ReadBytes(bytes->Data(), count);
    return String::FromBytes(bytes->Data(), count);
}

void TByteStream::WriteString(const Ref<String>& text)
{
    // The 8-bit text goes out in pieces of a stack buffer rather than one scratch copy of the whole text,
    // which would stay allocated until the next flush.
    const char16_t* units = text->Units();
    std::int32_t remaining = text->Length();
    std::uint8_t bytes[1024];
    while (remaining > 0) {
        const std::int32_t n = std::min<std::int32_t>(remaining, sizeof bytes);
        for (std::int32_t i = 0; i < n; ++i)
            bytes[i] = static_cast<std::uint8_t>(units[i]);
        WriteBytes(bytes, n);
        units += n;
        remaining -= n;
    }
}

} // namespace vanta
