// Audio samples: uncompressed PCM in memory, in one of six layouts, and the converter between them.
//
// 8-bit data is unsigned (silence 128), 16-bit data signed; stereo frames hold left then right. Every
// conversion goes through the hub layout `SF_STEREO16BE`.
#pragma once

#include "runtime/Object.h"

#include <cstdint>

namespace vanta {

inline constexpr std::int32_t SF_MONO8 = 1;
inline constexpr std::int32_t SF_MONO16LE = 2;
inline constexpr std::int32_t SF_MONO16BE = 3;
inline constexpr std::int32_t SF_STEREO8 = 4;
inline constexpr std::int32_t SF_STEREO16LE = 5;
inline constexpr std::int32_t SF_STEREO16BE = 6;

// Bytes per frame of each format code, entry 0 (and every unknown code) holding 0.
inline constexpr std::int32_t AudioSampleBytesPerFrame[7] = {0, 1, 2, 2, 2, 4, 4};

// Bytes per frame of `format`; 0 for an unknown format.
constexpr std::int32_t BytesPerFrame(std::int32_t format)
{
    return format >= 1 && format <= 6 ? AudioSampleBytesPerFrame[format] : 0;
}

class TAudioSample : public Object
{
    VANTA_CLASS(TAudioSample, Object)
public:
    TAudioSample() = default;
    ~TAudioSample() override;

    // A new sample holding a copy of the data.
    virtual Ref<TAudioSample> Copy();

    // A new sample of the same length and rate in `format`; throws "Unimplemented sample format
    // conversion" for an unknown format.
    virtual Ref<TAudioSample> Convert(std::int32_t format);

    // A sample of `length` frames whose data (not cleared) it owns. A negative length counts as 0; an
    // unknown format gives a sample without data.
    static Ref<TAudioSample> Create(std::int32_t length, std::int32_t hertz, std::int32_t format);

    // A sample over data owned by somebody else, who must keep it alive.
    static Ref<TAudioSample> CreateStatic(void* samples, std::int32_t length, std::int32_t hertz, std::int32_t format);

    std::uint8_t* samples = nullptr;
    std::int32_t length = 0;
    std::int32_t hertz = 0;
    std::int32_t format = 0;
    // Bytes owned at `samples`; -1 when the memory belongs to somebody else.
    std::int32_t capacity = 0;
};

Ref<TAudioSample> CreateAudioSample(std::int32_t length, std::int32_t hertz, std::int32_t format);
Ref<TAudioSample> CreateStaticAudioSample(void* samples, std::int32_t length, std::int32_t hertz, std::int32_t format);

// Copies `count` frames of `format`.
void CopySamples(const void* source, void* destination, std::int32_t format, std::int32_t count);

// Converts `count` frames; throws "Unimplemented sample format conversion" (writing nothing) when either
// format is unknown.
void ConvertSamples(const void* source, std::int32_t sourceFormat, void* destination, std::int32_t destinationFormat,
                    std::int32_t count);

} // namespace vanta
