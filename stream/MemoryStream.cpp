// Memory streams: reads and writes copy directly between the caller's buffer and the area.
#include "stream/MemoryStream.h"

#include "runtime/Error.h"
#include "stream/detail/LineBuffer.h"

#include <algorithm>
#include <cstring>

namespace vanta {

TMemoryStream::TMemoryStream(void* data, std::int32_t size, bool readable, bool writeable)
    : size_(data == nullptr ? 0 : std::max(size, 0)), data_(static_cast<std::uint8_t*>(data)), readable_(readable),
      writeable_(writeable)
{
    readCursor_ = data_;
    // An unreadable area opens an empty window: its limit never lies past the cursor.
    readLimit_ = readable_ ? data_ + size_ : data_;
}

std::int32_t TMemoryStream::Eof()
{
    return Position() == size_ ? 1 : 0;
}

std::int32_t TMemoryStream::Pos()
{
    return Position();
}

std::int32_t TMemoryStream::Size()
{
    return size_;
}

std::int32_t TMemoryStream::Seek(std::int32_t pos)
{
    readCursor_ = data_ + std::clamp(pos, 0, size_);
    return Position();
}

std::int32_t TMemoryStream::Read(void* buffer, std::int32_t count)
{
    if (count <= 0 || !readable_) return 0;
    count = std::min(count, size_ - Position());
    if (count > 0) std::memcpy(buffer, readCursor_, static_cast<std::size_t>(count));
    readCursor_ += count;
    return count;
}

std::int32_t TMemoryStream::Write(const void* buffer, std::int32_t count)
{
    if (count <= 0 || !writeable_) return 0;
    count = std::min(count, size_ - Position());
    if (count > 0) std::memcpy(readCursor_, buffer, static_cast<std::size_t>(count));
    readCursor_ += count;
    return count;
}

std::int32_t TMemoryStream::ReadBytes(void* buffer, std::int32_t count)
{
    if (count <= 0) return 0;
    // At the end nothing is read, readable or not; before it an unreadable stream moves nothing.
    if (Position() == size_) return count;
    if (!readable_) Throw(New<TStreamReadError>());
    Read(buffer, count);
    return count;
}

template <class T>
T TMemoryStream::ReadValue()
{
    T value;
    if (TakeFromWindow(&value, sizeof(T))) return value;
    std::uint8_t bytes[sizeof(T)] = {};
    ReadBytes(bytes, sizeof(T));
    std::memcpy(&value, bytes, sizeof(T));
    return value;
}

std::int32_t TMemoryStream::ReadByte()
{
    return ReadValue<std::uint8_t>();
}

std::int32_t TMemoryStream::ReadShort()
{
    return ReadValue<std::uint16_t>();
}

std::int32_t TMemoryStream::ReadInt()
{
    return ReadValue<std::int32_t>();
}

std::int64_t TMemoryStream::ReadLong()
{
    return ReadValue<std::int64_t>();
}

float TMemoryStream::ReadFloat()
{
    return ReadValue<float>();
}

double TMemoryStream::ReadDouble()
{
    return ReadValue<double>();
}

Ref<String> TMemoryStream::ReadLine()
{
    if (!readable_) return EmptyString();
    const std::uint8_t* begin = readCursor_;
    const std::uint8_t* end = data_ + size_;
    bool carriageReturns = false;
    const std::uint8_t* stop = detail::FindLineEnd(begin, end, carriageReturns);
    readCursor_ = data_ + ((stop < end ? stop + 1 : end) - data_);
    if (!carriageReturns) return detail::BytesToString(begin, static_cast<std::size_t>(stop - begin));
    detail::LineBuffer line;
    line.AppendWithoutCarriageReturns(begin, stop);
    return line.Finish();
}

Ref<TMemoryStream> TMemoryStream::Create(void* data, std::int32_t size, bool readable, bool writeable)
{
    return New<TMemoryStream>(data, size, readable, writeable);
}

Ref<TMemoryStream> CreateMemoryStream(void* data, std::int32_t size, bool readable, bool writeable)
{
    return TMemoryStream::Create(data, size, readable, writeable);
}

void InitMemoryStreams()
{
    static bool initialised = false;
    if (initialised) return;
    initialised = true;
    InitStreams();
}

} // namespace vanta
