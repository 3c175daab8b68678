// Audio samples: uncompressed PCM in memory, in one of six layouts, the converter between them, and the
// registry of sample loaders that `LoadAudioSample` walks.
//
// 8-bit data is unsigned (silence 128), 16-bit data signed; stereo frames hold left then right. Every
// conversion goes through the hub layout `SF_STEREO16BE`. Loaders (WAV in audio/WAVLoader.h, Ogg Vorbis in
// audio/OggLoader.h) join the registry at its head when their module initialiser makes them.
#pragma once

#include "runtime/Object.h"

#include <cstdint>

namespace vanta {

inline constexpr std::int32_t SF_MONO8 = 1;      // one unsigned byte a frame
inline constexpr std::int32_t SF_MONO16LE = 2;   // one signed 16-bit little-endian value a frame
inline constexpr std::int32_t SF_MONO16BE = 3;   // one signed 16-bit big-endian value a frame
inline constexpr std::int32_t SF_STEREO8 = 4;    // two unsigned bytes a frame, left then right
inline constexpr std::int32_t SF_STEREO16LE = 5; // two signed 16-bit little-endian values a frame
inline constexpr std::int32_t SF_STEREO16BE = 6; // two signed 16-bit big-endian values a frame

// Bytes per frame of each format code, entry 0 (and every unknown code) holding 0.
inline constexpr std::int32_t AudioSampleBytesPerFrame[7] = {0, 1, 2, 2, 2, 4, 4};

// Bytes per frame of `format`; 0 for an unknown format.
constexpr std::int32_t BytesPerFrame(std::int32_t format)
{
    return format >= 1 && format <= 6 ? AudioSampleBytesPerFrame[format] : 0;
}

// A run of PCM frames in memory: its data, length in frames, rate and format.
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

    std::uint8_t* samples = nullptr; // the first frame; nullptr for a sample without data
    std::int32_t length = 0;         // frames
    std::int32_t hertz = 0;          // frames a second
    std::int32_t format = 0;         // an `SF_` code
    // Bytes owned at `samples`; -1 when the memory belongs to somebody else.
    std::int32_t capacity = 0;
};

// `TAudioSample::Create`.
Ref<TAudioSample> CreateAudioSample(std::int32_t length, std::int32_t hertz, std::int32_t format);
// `TAudioSample::CreateStatic`.
Ref<TAudioSample> CreateStaticAudioSample(void* samples, std::int32_t length, std::int32_t hertz, std::int32_t format);

class TByteStream;

// Base class of the sample loaders. Constructing one links it in at the head of the registry, so the loader
// made last is asked first; loaders are never unregistered.
class TAudioSampleLoader : public Object
{
    VANTA_CLASS(TAudioSampleLoader, Object)
public:
    TAudioSampleLoader();

    // A sample decoded from `stream` (read from its current position), or `Null` when the data is not this
    // loader's format. May throw stream errors (`TStreamError`), which `LoadAudioSample` counts as a
    // rejection. The base class throws `TAbstractMethodError`.
    virtual Ref<TAudioSample> LoadAudioSample(const Ref<TByteStream>& stream);

    // The following loader in the registry, or `Null`.
    Ref<TAudioSampleLoader> next;
};

// The first loader of the registry (the one registered last), or `Null` when none is registered.
const Ref<TAudioSampleLoader>& AudioSampleLoaders();

// The sample that the first willing loader decodes from `url` (a path, "protocol::path" or an open stream,
// see stream/Stream.h), each loader starting from the position the stream had when opened; `Null` when the
// url cannot be opened, when the stream does not go back to that position for the next loader, or when no
// loader accepts it (see stream/LoaderProbe.h). `loader`, when given, receives the loader that decoded it
// (`Null` otherwise). Throws "Stream is not seekable" for a stream without positions; exceptions other than
// stream errors raised by a loader pass through. The stream is closed in every case (an error of the close
// itself is dropped).
Ref<TAudioSample> LoadAudioSample(const Ref<Object>& url, Ref<TAudioSampleLoader>* loader = nullptr);

// Copies `count` frames of `format`; nothing for a count below 1 or an unknown format.
void CopySamples(const void* source, void* destination, std::int32_t format, std::int32_t count);

// Converts `count` frames; throws "Unimplemented sample format conversion" (writing nothing) when either
// format is unknown.
void ConvertSamples(const void* source, std::int32_t sourceFormat, void* destination, std::int32_t destinationFormat,
                    std::int32_t count);

// The sample module's initialiser: runs the runtime's and the stream module's.
void InitAudioSamples();

} // namespace vanta
