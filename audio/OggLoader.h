// The Ogg Vorbis sample loader, and the glue that runs libvorbisfile over a runtime stream.
// Builds on: the sample module (audio/AudioSample.h), the stream layer, libvorbisfile.
//
// The whole first logical bitstream is decoded into memory at load time as signed 16-bit little-endian PCM:
// `SF_MONO16LE` for one channel, `SF_STEREO16LE` for two. Streams of more than two channels are refused.
// The length is the number of frames decoded: a stream that ends before the length its last page announces
// gives what it holds, and a stream whose length is unknown (one that cannot seek) is decoded to its end.
// A chained file gives its first link only, whatever the links after it hold (valid links of the same or
// another rate and channel count, or broken ones): libvorbisfile is never shown a second link.
#pragma once

#include "audio/AudioSample.h"

#include <cstdint>

namespace vanta {

class TByteStream;

class TOggLoader;
template <>
inline constexpr const char* classDebugName<TOggLoader> = "TOggLoader";

// The Ogg Vorbis loader; made once by `InitOggLoader`.
class TOggLoader : public TAudioSampleLoader
{
    VANTA_CLASS(TOggLoader, TAudioSampleLoader)
public:
    TOggLoader() = default;

    // A sample at the stream's rate, or `Null` when the stream is not Ogg Vorbis, has more than two channels,
    // holds a decoding error, or decodes to more than a sample can hold. Throws the stream's errors, and
    // passes on any other exception the stream raises.
    Ref<TAudioSample> LoadAudioSample(const Ref<TByteStream>& stream) override;
};

// A libvorbisfile decoder reading a runtime stream.
struct OggDecoder;

// A decoder over the first link of `stream` from its current position; the stream must outlive it. `frames`
// receives the length the link's Vorbis bitstream announces on its last page, or -1 when unknown (none
// does, or the stream cannot seek: the link is then not read ahead);
// `channels` and `rate` what the stream's header says. nullptr when the data is not Ogg Vorbis. Exceptions
// the stream raises while the decoder reads pass through, once the decoder has been released.
OggDecoder* OpenOggDecoder(const Ref<TByteStream>& stream, std::int64_t* frames, std::int32_t* channels,
                           std::int32_t* rate);

// With a buffer: decodes up to `byteCount` bytes (whole frames of signed 16-bit little-endian values) of the
// first link's Vorbis bitstream and returns how many were decoded, fewer only at its end; a decoding error
// gives -2 (-1 once the library has faulted). Exceptions the stream raises pass through and
// leave the decoder to be released. Without a buffer (nullptr): releases the decoder and returns 0.
std::int64_t DecodeOgg(OggDecoder* decoder, void* buffer, std::int64_t byteCount);

// The number of decoders opened and not yet released (each is a few tens of kilobytes of decoder state).
std::int32_t OpenOggDecoderCount();

// The Ogg Vorbis loader module's initialiser: runs the sample module's and registers the loader.
void InitOggLoader();

} // namespace vanta
