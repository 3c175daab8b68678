// `vanta-asset audio URL OUT.wav`: a sound loaded through the sample loaders, written as a WAV file in
// the layout it was loaded in (16-bit values little-endian) at its own rate.
#include "audio/AudioSample.h"
#include "runtime/Error.h"
#include "stream/EndianStream.h"
#include "stream/Stream.h"
#include "tools/asset/AssetTool.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

namespace vanta::asset {
namespace {

// The layout a sample is written in: its own, with 16-bit values little-endian.
std::int32_t WrittenFormat(std::int32_t format)
{
    if (format == SF_MONO16BE) return SF_MONO16LE;
    if (format == SF_STEREO16BE) return SF_STEREO16LE;
    return format;
}

// The header's byte rate: an unsigned 32-bit field, which holds its largest value when a rate of up to
// 2^31 - 1 frames per second (what a WAV file may announce) times the frame size does not fit.
std::uint32_t ByteRate(std::int32_t hertz, std::int32_t frameBytes)
{
    return static_cast<std::uint32_t>(std::clamp<std::int64_t>(std::int64_t{hertz} * frameBytes, 0, UINT32_MAX));
}

} // namespace

std::int32_t SampleChannels(std::int32_t format)
{
    return format >= SF_STEREO8 ? 2 : 1;
}

std::int32_t SampleBits(std::int32_t format)
{
    return format == SF_MONO8 || format == SF_STEREO8 ? 8 : 16;
}

int RunAudio(const std::vector<std::string>& arguments)
{
    if (arguments.size() != 2) return EXIT_USAGE;
    Ref<TAudioSample> sample;
    try {
        sample = LoadAudioSample(UrlOf(arguments[0]));
    } catch (const Exception& e) {
        std::fprintf(stderr, "cannot load sound: %s (%s)\n", arguments[0].c_str(), e.what());
        return EXIT_FAILED;
    }
    if (sample.IsNull()) {
        std::fprintf(stderr, "cannot load sound: %s\n", arguments[0].c_str());
        return EXIT_FAILED;
    }
    if (!WriteWav(sample, String::FromCString(arguments[1].c_str()))) {
        std::fprintf(stderr, "cannot write sound: %s\n", arguments[1].c_str());
        return EXIT_FAILED;
    }
    return EXIT_OK;
}

bool WriteWav(const Ref<TAudioSample>& sample, const Ref<String>& path)
{
    const std::int32_t format = WrittenFormat(sample->format);
    const std::int32_t frameBytes = BytesPerFrame(format);
    if (frameBytes == 0) return false;
    const Ref<TAudioSample> written = format == sample->format ? sample : sample->Convert(format);
    const std::int32_t dataBytes = written->length * frameBytes;
    const std::int32_t pad = dataBytes & 1;

    const Ref<TByteStream> stream = OpenWriteStream(path);
    if (stream.IsNull()) return false;
    try {
        const Ref<TByteStream> out = LittleEndianStream(stream);
        WriteString(out, "RIFF"_s);
        WriteInt(out, static_cast<std::int32_t>(4u + 8u + 16u + 8u + static_cast<std::uint32_t>(dataBytes + pad)));
        WriteString(out, "WAVE"_s);
        WriteString(out, "fmt "_s);
        WriteInt(out, 16);
        WriteShort(out, 1); // integer PCM
        WriteShort(out, SampleChannels(format));
        WriteInt(out, written->hertz);
        WriteInt(out, static_cast<std::int32_t>(ByteRate(written->hertz, frameBytes)));
        WriteShort(out, frameBytes);
        WriteShort(out, SampleBits(format));
        WriteString(out, "data"_s);
        WriteInt(out, dataBytes);
        WriteBytes(out, written->samples, dataBytes);
        // RIFF pads an odd-sized chunk to an even size.
        if (pad != 0) WriteByte(out, 0);
        const bool flushed = stream->Flush() == 0;
        stream->Close();
        return flushed;
    } catch (const Exception& e) {
        stream->Close();
        if (!e.Is<TStreamError>()) throw;
        return false;
    }
}

} // namespace vanta::asset
