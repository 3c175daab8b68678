// The WAV sample loader: RIFF "WAVE" files holding integer PCM, 8-bit unsigned or 16-bit signed
// little-endian, mono or stereo.
// Builds on: the sample module (audio/AudioSample.h) and the little-endian stream (stream/EndianStream.h).
//
// The file must start with "RIFF", size, "WAVE" and a "fmt " chunk of at least 16 bytes (extra bytes are
// skipped); chunks up to the first "data" chunk are skipped by their size plus the pad byte RIFF puts after
// an odd-sized chunk. The sample holds the whole frames of the data chunk that the stream actually delivers:
// a chunk that claims more than the file holds, or a size that is not a multiple of the frame size, gives
// the frames that are there.
#pragma once

#include "audio/AudioSample.h"

namespace vanta {

class TByteStream;

class TWAVLoader;
template <>
inline constexpr const char* classDebugName<TWAVLoader> = "TWAVLoader";

// The WAV loader; made once by `InitWAVLoader`.
class TWAVLoader : public TAudioSampleLoader
{
    VANTA_CLASS(TWAVLoader, TAudioSampleLoader)
public:
    TWAVLoader() = default;

    // A `SF_MONO8`, `SF_STEREO8`, `SF_MONO16LE` or `SF_STEREO16LE` sample at the file's rate, or `Null` for
    // anything else (not RIFF/WAVE, "fmt " not first, a format other than integer PCM, other bit depths or
    // channel counts, a rate of 0, no "data" chunk). Throws stream errors from the stream.
    Ref<TAudioSample> LoadAudioSample(const Ref<TByteStream>& stream) override;
};

// The WAV loader module's initialiser: runs the sample and endian-stream modules' and registers the loader.
void InitWAVLoader();

} // namespace vanta
