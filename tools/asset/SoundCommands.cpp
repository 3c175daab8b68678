// The asset tool's sound commands.
// Builds on: the sample loaders and the stream layer (file streams for the output).
#include "tools/asset/SoundCommands.h"

#include "audio/OggLoader.h"
#include "audio/WAVLoader.h"
#include "runtime/Error.h"
#include "stream/EndianStream.h"
#include "stream/Stream.h"

#include <cstdint>

namespace vanta::asset {
namespace {

// The layout a sample is written in: its own, with 16-bit values little-endian.
std::int32_t WrittenFormat(std::int32_t format)
{
    if (format == SF_MONO16BE) return SF_MONO16LE;
    if (format == SF_STEREO16BE) return SF_STEREO16LE;
    return format;
}

const char* FormatName(std::int32_t format)
{
    switch (format) {
    case SF_MONO8: return "SF_MONO8";
    case SF_MONO16LE: return "SF_MONO16LE";
    case SF_MONO16BE: return "SF_MONO16BE";
    case SF_STEREO8: return "SF_STEREO8";
    case SF_STEREO16LE: return "SF_STEREO16LE";
    case SF_STEREO16BE: return "SF_STEREO16BE";
    default: return "unknown";
    }
}

std::int32_t Channels(std::int32_t format)
{
    return format >= SF_STEREO8 ? 2 : 1;
}

std::int32_t Bits(std::int32_t format)
{
    return format == SF_MONO8 || format == SF_STEREO8 ? 8 : 16;
}

// The sample at `url`, or `Null` with the failure reported on standard error.
Ref<TAudioSample> LoadOrReport(const std::string& url, Ref<TAudioSampleLoader>* loader)
{
    try {
        Ref<TAudioSample> sample = LoadAudioSample(String::FromCString(url.c_str()), loader);
        if (sample.IsNull()) std::fprintf(stderr, "cannot load sound: %s\n", url.c_str());
        return sample;
    } catch (const Exception& e) {
        std::fprintf(stderr, "cannot load sound: %s (%s)\n", url.c_str(), e.what());
        return Null;
    }
}

int RunAudio(const std::vector<std::string>& arguments)
{
    const Ref<TAudioSample> sample = LoadOrReport(arguments[0], nullptr);
    if (sample.IsNull()) return EXIT_FAILED;
    if (!WriteWav(sample, String::FromCString(arguments[1].c_str()))) {
        std::fprintf(stderr, "cannot write: %s\n", arguments[1].c_str());
        return EXIT_FAILED;
    }
    return EXIT_OK;
}

constexpr Command commands[] = {
    {"audio", 2, "URL OUT.wav", RunAudio},
};

} // namespace

void InitSoundCommands()
{
    InitStreams();
    InitEndianStreams();
    // The game's order: Ogg Vorbis first, so the WAV loader is asked first.
    InitOggLoader();
    InitWAVLoader();
}

std::span<const Command> SoundCommands()
{
    return commands;
}

bool DescribeSound(const Ref<String>& url, std::FILE* out)
{
    Ref<TAudioSampleLoader> loader;
    Ref<TAudioSample> sample;
    try {
        sample = LoadAudioSample(url, &loader);
    } catch (const Exception&) {
        return false;
    }
    if (sample.IsNull()) return false;
    const char* loaderName = loader->Class()->name;
    std::fprintf(out, "sound: %s\n", url->ToCString());
    std::fprintf(out, "loader: %s\n", loaderName != nullptr ? loaderName : "unnamed");
    std::fprintf(out, "format: %s\n", FormatName(sample->format));
    std::fprintf(out, "channels: %d\n", Channels(sample->format));
    std::fprintf(out, "bits: %d\n", Bits(sample->format));
    std::fprintf(out, "rate: %d\n", sample->hertz);
    std::fprintf(out, "frames: %d\n", sample->length);
    std::fprintf(out, "seconds: %.3f\n", sample->hertz > 0 ? double(sample->length) / sample->hertz : 0.0);
    return true;
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
        WriteShort(out, Channels(format));
        WriteInt(out, written->hertz);
        WriteInt(out, written->hertz * frameBytes);
        WriteShort(out, frameBytes);
        WriteShort(out, Bits(format));
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
