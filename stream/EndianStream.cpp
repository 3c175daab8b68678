// Endian streams: byte swapping on top of the forwarding stream, and the endian protocols.
#include "stream/EndianStream.h"

#include <algorithm>
#include <cstring>

namespace vanta {
namespace {

// The swap slot for a value of `T`.
template <class T>
void SwapValue(TBigEndianStream& stream, std::uint8_t* bytes)
{
    if constexpr (sizeof(T) == 2) {
        stream.Swap2(bytes);
    } else if constexpr (sizeof(T) == 4) {
        stream.Swap4(bytes);
    } else {
        static_assert(sizeof(T) == 8);
        stream.Swap8(bytes);
    }
}

} // namespace

template <class T>
T TBigEndianStream::ReadSwapped()
{
    std::uint8_t bytes[sizeof(T)] = {};
    ReadBytes(bytes, sizeof(T));
    SwapValue<T>(*this, bytes);
    T value;
    std::memcpy(&value, bytes, sizeof(T));
    return value;
}

template <class T>
void TBigEndianStream::WriteSwapped(T value)
{
    std::uint8_t bytes[sizeof(T)];
    std::memcpy(bytes, &value, sizeof(T));
    SwapValue<T>(*this, bytes);
    WriteBytes(bytes, sizeof(T));
}

std::int32_t TBigEndianStream::ReadShort()
{
    return ReadSwapped<std::uint16_t>();
}

void TBigEndianStream::WriteShort(std::int32_t value)
{
    WriteSwapped(static_cast<std::uint16_t>(value));
}

std::int32_t TBigEndianStream::ReadInt()
{
    return ReadSwapped<std::int32_t>();
}

void TBigEndianStream::WriteInt(std::int32_t value)
{
    WriteSwapped(value);
}

std::int64_t TBigEndianStream::ReadLong()
{
    return ReadSwapped<std::int64_t>();
}

void TBigEndianStream::WriteLong(std::int64_t value)
{
    WriteSwapped(value);
}

float TBigEndianStream::ReadFloat()
{
    return ReadSwapped<float>();
}

void TBigEndianStream::WriteFloat(float value)
{
    WriteSwapped(value);
}

double TBigEndianStream::ReadDouble()
{
    return ReadSwapped<double>();
}

void TBigEndianStream::WriteDouble(double value)
{
    WriteSwapped(value);
}

void TBigEndianStream::Swap2(void* bytes)
{
    auto* b = static_cast<std::uint8_t*>(bytes);
    std::reverse(b, b + 2);
}

void TBigEndianStream::Swap4(void* bytes)
{
    auto* b = static_cast<std::uint8_t*>(bytes);
    std::reverse(b, b + 4);
}

void TBigEndianStream::Swap8(void* bytes)
{
    auto* b = static_cast<std::uint8_t*>(bytes);
    std::reverse(b, b + 8);
}

Ref<TBigEndianStream> TBigEndianStream::Create(const Ref<TByteStream>& stream)
{
    if (stream.IsNull()) return Null;
    Ref<TBigEndianStream> wrapper = New<TBigEndianStream>();
    wrapper->SetStream(stream);
    return wrapper;
}

Ref<TByteStream> TBigEndianStream::BigEndianStream(const Ref<TByteStream>& stream)
{
    return Create(stream);
}

Ref<TByteStream> TBigEndianStream::LittleEndianStream(const Ref<TByteStream>& stream)
{
    return stream;
}

Ref<TByteStream> BigEndianStream(const Ref<TByteStream>& stream)
{
    return TBigEndianStream::BigEndianStream(stream);
}

Ref<TByteStream> LittleEndianStream(const Ref<TByteStream>& stream)
{
    return TBigEndianStream::LittleEndianStream(stream);
}

Ref<TByteStream> TEndianStreamOpener::CreateStream(const Ref<Object>&, const Ref<String>& protocol,
                                                   const Ref<String>& path, bool readable, bool writeable)
{
    if (vanta::Compare(protocol, "bigendian"_s) == 0) return BigEndianStream(OpenStream(path, readable, writeable));
    if (vanta::Compare(protocol, "littleendian"_s) == 0)
        return LittleEndianStream(OpenStream(path, readable, writeable));
    return Null;
}

void InitEndianStreams()
{
    static bool initialised = false;
    if (initialised) return;
    initialised = true;
    InitStreams();
    New<TEndianStreamOpener>();
}

} // namespace vanta
