// Audio samples and the converter through the big-endian stereo hub.
#include "audio/AudioSample.h"

#include "runtime/Array.h"
#include "runtime/Error.h"

#include <cstring>

namespace vanta {
namespace {

std::int16_t LittleEndian16(const std::uint8_t* p)
{
    return static_cast<std::int16_t>(p[0] | (p[1] << 8));
}

std::int16_t BigEndian16(const std::uint8_t* p)
{
    return static_cast<std::int16_t>((p[0] << 8) | p[1]);
}

void PutLittleEndian16(std::uint8_t* p, std::int32_t value)
{
    p[0] = static_cast<std::uint8_t>(value & 0xFF);
    p[1] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
}

void PutBigEndian16(std::uint8_t* p, std::int32_t value)
{
    p[0] = static_cast<std::uint8_t>((value >> 8) & 0xFF);
    p[1] = static_cast<std::uint8_t>(value & 0xFF);
}

// An unsigned 8-bit sample widened to 16 bits: the high byte is u - 128, the low byte repeats u.
std::int32_t Widen8(std::uint8_t u)
{
    return u * 257 - 32768;
}

void ToHub(const std::uint8_t* in, std::int32_t format, std::uint8_t* out, std::int32_t count)
{
    switch (format) {
    case SF_MONO8:
        for (std::int32_t i = 0; i < count; ++i, out += 4) {
            const std::int32_t v = Widen8(in[i]);
            PutBigEndian16(out, v);
            PutBigEndian16(out + 2, v);
        }
        break;
    case SF_MONO16LE:
        for (std::int32_t i = 0; i < count; ++i, in += 2, out += 4) {
            PutBigEndian16(out, LittleEndian16(in));
            PutBigEndian16(out + 2, LittleEndian16(in));
        }
        break;
    case SF_MONO16BE:
        for (std::int32_t i = 0; i < count; ++i, in += 2, out += 4) {
            std::memcpy(out, in, 2);
            std::memcpy(out + 2, in, 2);
        }
        break;
    case SF_STEREO8:
        for (std::int32_t i = 0; i < count; ++i, in += 2, out += 4) {
            PutBigEndian16(out, Widen8(in[0]));
            PutBigEndian16(out + 2, Widen8(in[1]));
        }
        break;
    case SF_STEREO16LE:
        for (std::int32_t i = 0; i < count; ++i, in += 4, out += 4) {
            PutBigEndian16(out, LittleEndian16(in));
            PutBigEndian16(out + 2, LittleEndian16(in + 2));
        }
        break;
    default: std::memcpy(out, in, static_cast<std::size_t>(count) * 4); break;
    }
}

void FromHub(const std::uint8_t* in, std::uint8_t* out, std::int32_t format, std::int32_t count)
{
    // Integer division truncates toward zero, as the mono mixes always have.
    switch (format) {
    case SF_MONO8:
        for (std::int32_t i = 0; i < count; ++i, in += 4) {
            const std::int32_t mix = (BigEndian16(in) + BigEndian16(in + 2)) / 2;
            out[i] = static_cast<std::uint8_t>((mix + 32768) / 257);
        }
        break;
    case SF_MONO16LE:
        for (std::int32_t i = 0; i < count; ++i, in += 4, out += 2) {
            PutLittleEndian16(out, (BigEndian16(in) + BigEndian16(in + 2)) / 2);
        }
        break;
    case SF_MONO16BE:
        for (std::int32_t i = 0; i < count; ++i, in += 4, out += 2) {
            PutBigEndian16(out, (BigEndian16(in) + BigEndian16(in + 2)) / 2);
        }
        break;
    case SF_STEREO8:
        for (std::int32_t i = 0; i < count; ++i, in += 4, out += 2) {
            out[0] = static_cast<std::uint8_t>(((BigEndian16(in) + 32768) % 65536) / 257);
            out[1] = static_cast<std::uint8_t>(((BigEndian16(in + 2) + 32768) % 65536) / 257);
        }
        break;
    case SF_STEREO16LE:
        for (std::int32_t i = 0; i < count; ++i, in += 4, out += 4) {
            PutLittleEndian16(out, BigEndian16(in));
            PutLittleEndian16(out + 2, BigEndian16(in + 2));
        }
        break;
    default: std::memcpy(out, in, static_cast<std::size_t>(count) * 4); break;
    }
}

} // namespace

TAudioSample::~TAudioSample()
{
    if (capacity >= 0) MemFree(samples, capacity);
}

Ref<TAudioSample> TAudioSample::Copy()
{
    Ref<TAudioSample> copy = Create(length, hertz, format);
    CopySamples(samples, copy->samples, format, length);
    return copy;
}

Ref<TAudioSample> TAudioSample::Convert(std::int32_t to)
{
    if (BytesPerFrame(to) == 0) ThrowError("Unimplemented sample format conversion");
    Ref<TAudioSample> converted = Create(length, hertz, to);
    ConvertSamples(samples, format, converted->samples, to, length);
    return converted;
}

Ref<TAudioSample> TAudioSample::Create(std::int32_t length, std::int32_t hertz, std::int32_t format)
{
    if (length < 0) length = 0;
    const std::int64_t bytes = static_cast<std::int64_t>(length) * BytesPerFrame(format);
    if (bytes > INT32_MAX) OutOfMemory(static_cast<std::ptrdiff_t>(bytes));
    Ref<TAudioSample> sample = New<TAudioSample>();
    sample->samples = static_cast<std::uint8_t*>(MemAlloc(bytes));
    sample->length = length;
    sample->hertz = hertz;
    sample->format = format;
    sample->capacity = static_cast<std::int32_t>(bytes);
    return sample;
}

Ref<TAudioSample> TAudioSample::CreateStatic(void* samples, std::int32_t length, std::int32_t hertz,
                                             std::int32_t format)
{
    Ref<TAudioSample> sample = New<TAudioSample>();
    sample->samples = static_cast<std::uint8_t*>(samples);
    sample->length = length;
    sample->hertz = hertz;
    sample->format = format;
    sample->capacity = -1;
    return sample;
}

Ref<TAudioSample> CreateAudioSample(std::int32_t length, std::int32_t hertz, std::int32_t format)
{
    return TAudioSample::Create(length, hertz, format);
}

Ref<TAudioSample> CreateStaticAudioSample(void* samples, std::int32_t length, std::int32_t hertz, std::int32_t format)
{
    return TAudioSample::CreateStatic(samples, length, hertz, format);
}

void CopySamples(const void* source, void* destination, std::int32_t format, std::int32_t count)
{
    const std::int32_t bytes = BytesPerFrame(format);
    // An unknown format has no bytes to copy, and a sample of one has no data: its pointers may be null.
    if (count <= 0 || bytes == 0) return;
    std::memcpy(destination, source, static_cast<std::size_t>(count) * static_cast<std::size_t>(bytes));
}

void ConvertSamples(const void* source, std::int32_t sourceFormat, void* destination, std::int32_t destinationFormat,
                    std::int32_t count)
{
    if (BytesPerFrame(sourceFormat) == 0 || BytesPerFrame(destinationFormat) == 0) {
        ThrowError("Unimplemented sample format conversion");
    }
    if (count <= 0) return;
    const auto* in = static_cast<const std::uint8_t*>(source);
    auto* out = static_cast<std::uint8_t*>(destination);
    if (sourceFormat == destinationFormat) {
        CopySamples(in, out, sourceFormat, count);
    } else if (sourceFormat == SF_STEREO16BE) {
        FromHub(in, out, destinationFormat, count);
    } else if (destinationFormat == SF_STEREO16BE) {
        ToHub(in, sourceFormat, out, count);
    } else {
        if (count > INT32_MAX / 4) OutOfMemory(static_cast<std::ptrdiff_t>(count) * 4);
        Ref<Array> hub = NewArray("b", count * 4);
        ToHub(in, sourceFormat, hub->DataAs<std::uint8_t>(), count);
        FromHub(hub->DataAs<std::uint8_t>(), out, destinationFormat, count);
    }
}

} // namespace vanta
