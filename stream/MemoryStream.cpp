// Memory streams: reads and writes copy directly between the caller's buffer and the area.
#include "stream/MemoryStream.h"

#include "runtime/Error.h"

#include <algorithm>
#include <cstring>

namespace vanta {

TMemoryStream::TMemoryStream(void* data, std::int32_t size, bool readable, bool writeable)
    : size_(data == nullptr ? 0 : std::max(size, 0)), data_(static_cast<std::uint8_t*>(data)), readable_(readable),
      writeable_(writeable)
{}

std::int32_t TMemoryStream::Pos()
{
    return pos_;
}

std::int32_t TMemoryStream::Size()
{
    return size_;
}

std::int32_t TMemoryStream::Seek(std::int32_t pos)
{
    pos_ = std::clamp(pos, 0, size_);
    return pos_;
}

std::int32_t TMemoryStream::Read(void* buffer, std::int32_t count)
{
    if (count <= 0 || !readable_) return 0;
    count = std::min(count, size_ - pos_);
    if (count > 0) std::memcpy(buffer, data_ + pos_, static_cast<std::size_t>(count));
    pos_ += count;
    return count;
}

std::int32_t TMemoryStream::Write(const void* buffer, std::int32_t count)
{
    if (count <= 0 || !writeable_) return 0;
    count = std::min(count, size_ - pos_);
    if (count > 0) std::memcpy(data_ + pos_, buffer, static_cast<std::size_t>(count));
    pos_ += count;
    return count;
}

std::int32_t TMemoryStream::ReadBytes(void* buffer, std::int32_t count)
{
    if (count <= 0) return 0;
    // At the end nothing is read, readable or not; before it an unreadable stream moves nothing.
    if (pos_ == size_) return count;
    if (!readable_) Throw(New<TStreamReadError>());
    Read(buffer, count);
    return count;
}

template <class T>
T TMemoryStream::ReadValue()
{
    T value;
    if (readable_ && size_ - pos_ >= static_cast<std::int32_t>(sizeof(T))) {
        std::memcpy(&value, data_ + pos_, sizeof(T));
        pos_ += static_cast<std::int32_t>(sizeof(T));
        return value;
    }
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
    const std::uint8_t* start = data_ + pos_;
    const std::uint8_t* end = data_ + size_;
    const std::uint8_t* at = start;
    std::int32_t carriageReturns = 0;
    while (at < end && *at != 0 && *at != '\n') {
        if (*at == '\r') ++carriageReturns;
        ++at;
    }
    const auto length = static_cast<std::int32_t>(at - start);
    pos_ += length + (at < end ? 1 : 0);
    if (carriageReturns == 0) return String::FromBytes(start, length);
    Ref<String> line = NewString(length - carriageReturns);
    char16_t* out = line->MutableUnits();
    for (const std::uint8_t* p = start; p < at; ++p) {
        if (*p != '\r') *out++ = *p;
    }
    return line;
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
