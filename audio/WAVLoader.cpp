// The WAV loader: walks the RIFF chunks up to "data" and reads its whole frames into a sample.
// Builds on: the sample module's loader registry and helpers, the little-endian stream.
#include "audio/WAVLoader.h"

#include "audio/detail/SampleBlock.h"
#include "stream/EndianStream.h"
#include "stream/Stream.h"

#include <algorithm>
#include <cstdint>

namespace vanta {
namespace {

// A chunk tag as the little-endian 32-bit number its four characters make.
constexpr std::int32_t Tag(const char (&text)[5])
{
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(text[0]) | static_cast<std::uint32_t>(text[1]) << 8 |
                                     static_cast<std::uint32_t>(text[2]) << 16 |
                                     static_cast<std::uint32_t>(text[3]) << 24);
}

constexpr std::int32_t TAG_RIFF = Tag("RIFF");
constexpr std::int32_t TAG_WAVE = Tag("WAVE");
constexpr std::int32_t TAG_FMT = Tag("fmt ");
constexpr std::int32_t TAG_DATA = Tag("data");

constexpr std::int32_t WAVE_FORMAT_PCM = 1;
constexpr std::uint32_t FMT_PCM_SIZE = 16;

// The sample format for a bit depth and channel count, or 0 when the loader does not take it.
std::int32_t FormatFor(std::int32_t bits, std::int32_t channels)
{
    if (bits == 8 && channels == 1) return SF_MONO8;
    if (bits == 8 && channels == 2) return SF_STEREO8;
    if (bits == 16 && channels == 1) return SF_MONO16LE;
    if (bits == 16 && channels == 2) return SF_STEREO16LE;
    return 0;
}

// Skips `count` bytes (a 32-bit chunk size may pass what one skip takes), stopping at the end.
void Skip(const Ref<TByteStream>& stream, std::int64_t count)
{
    while (count > 0 && stream->Eof() == 0) {
        const auto step = static_cast<std::int32_t>(std::min<std::int64_t>(count, INT32_MAX));
        SkipBytes(stream, step);
        count -= step;
    }
}

// The size field of a chunk: an unsigned 32-bit number.
std::int64_t ReadChunkSize(const Ref<TByteStream>& stream)
{
    return static_cast<std::uint32_t>(ReadInt(stream));
}

// The whole frames of a data chunk that claims `declared` bytes, as far as the stream delivers them.
Ref<TAudioSample> ReadData(const Ref<TByteStream>& stream, std::int64_t declared, std::int32_t rate,
                           std::int32_t format)
{
    const std::int32_t frameBytes = BytesPerFrame(format);
    std::int64_t wanted = std::min(declared - declared % frameBytes, detail::SAMPLE_BYTES_LIMIT);
    // The header is believed only as far as the stream can back it: a stream that knows its size bounds
    // the data, and one that does not earns its memory as the bytes arrive.
    std::int64_t first = detail::SAMPLE_UNKNOWN_RESERVE;
    const std::int32_t size = stream->Size();
    const std::int32_t pos = stream->Pos();
    if (size > 0 && pos >= 0) {
        const std::int64_t remaining = std::max(size - pos, 0);
        wanted = std::min(wanted, remaining - remaining % frameBytes);
        first = detail::SAMPLE_FIRST_RESERVE;
    }

    detail::SampleBlock block(frameBytes);
    block.Reserve(std::min(first, wanted), wanted);
    while (block.Used() < wanted) {
        if (block.FreeBytes() == 0 && !block.Reserve(frameBytes, wanted)) {
            break;
        }
        const auto count =
            static_cast<std::int32_t>(std::min({block.FreeBytes(), wanted - block.Used(), std::int64_t{INT32_MAX}}));
        const std::int32_t got = detail::ReadAvailable(*stream, block.Free(), count);
        block.Use(got);
        if (got < count) break;
    }
    return block.Finish(rate, format);
}

} // namespace

Ref<TAudioSample> TWAVLoader::LoadAudioSample(const Ref<TByteStream>& source)
{
    const Ref<TByteStream> stream = LittleEndianStream(source);
    if (ReadInt(stream) != TAG_RIFF) return Null;
    ReadInt(stream); // the RIFF size: the chunks themselves say where they end
    if (ReadInt(stream) != TAG_WAVE) return Null;
    if (ReadInt(stream) != TAG_FMT) return Null;
    const std::int64_t fmtSize = ReadChunkSize(stream);
    // Fewer than 16 bytes would have the fields below read from the next chunk.
    if (fmtSize < FMT_PCM_SIZE) return Null;

    if (ReadShort(stream) != WAVE_FORMAT_PCM) return Null;
    const std::int32_t channels = ReadShort(stream);
    const std::int32_t rate = ReadInt(stream);
    ReadInt(stream);   // byte rate
    ReadShort(stream); // block align
    const std::int32_t bits = ReadShort(stream);
    const std::int32_t format = FormatFor(bits, channels);
    if (format == 0 || rate <= 0) return Null;
    Skip(stream, fmtSize - FMT_PCM_SIZE + (fmtSize & 1));

    while (stream->Eof() == 0) {
        const std::int32_t tag = ReadInt(stream);
        const std::int64_t size = ReadChunkSize(stream);
        if (tag == TAG_DATA) return ReadData(stream, size, rate, format);
        // RIFF pads every odd-sized chunk to an even size; common files end their LIST chunk that way.
        Skip(stream, size + (size & 1));
    }
    return Null;
}

void InitWAVLoader()
{
    static bool initialised = false;
    if (initialised) return;
    initialised = true;
    InitAudioSamples();
    InitEndianStreams();
    New<TWAVLoader>();
}

} // namespace vanta
