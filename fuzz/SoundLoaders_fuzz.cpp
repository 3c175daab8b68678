// Fuzz targets "wav" and "ogg": the two sample loaders on hostile bytes. Besides the
// sanitizers' watch, each run checks what the loaders promise: only stream errors escape a loader, a sample
// has one of the loader's formats, owns at least the bytes its length covers (all of them are read here, so
// an overrun shows), and a WAV sample never holds more bytes than the file.
//
// Ogg pages carry a checksum, so random changes mostly stop at the first page. The first input byte is a
// mode: bit 0 recomputes every complete page's checksum before decoding (so changes reach the Vorbis
// headers and packets), bit 1 reads the data through a stream that cannot seek.
#include "audio/OggLoader.h"
#include "audio/WAVLoader.h"
#include "fuzz/FuzzInput.h"
#include "fuzz/FuzzTargets.h"
#include "runtime/Error.h"
#include "stream/MemoryStream.h"

#include <array>
#include <cstring>
#include <vector>

namespace vanta::fuzz {
namespace {

// A stream over another with no positions: the Ogg decoder then reads straight through.
class TStraightStream final : public TForwardingStream
{
    VANTA_CLASS(TStraightStream, TForwardingStream)
public:
    std::int32_t Pos() override { return -1; }
    std::int32_t Size() override { return 0; }
    std::int32_t Seek(std::int32_t) override { return -1; }
    std::int32_t Eof() override { return Inner()->Eof(); }
};

// Where the checksum of every sample read goes, so the reads are not optimised away.
volatile std::uint32_t sampleSink = 0;

// The registered loader of class `L`.
template <class L>
Ref<L> Registered()
{
    for (Ref<TAudioSampleLoader> loader = AudioSampleLoaders(); !loader.IsNull(); loader = loader->next) {
        if (Ref<L> found = Downcast<L>(loader)) return found;
    }
    return Null;
}

// Runs `loader` on `stream` as LoadAudioSample would (a stream error is a rejection), checks the sample's
// promises, and returns it.
Ref<TAudioSample> LoadChecked(const Ref<TAudioSampleLoader>& loader, const Ref<TByteStream>& stream,
                              std::initializer_list<std::int32_t> formats)
{
    Ref<TAudioSample> sample;
    try {
        sample = loader->LoadAudioSample(stream);
    } catch (const Exception& e) {
        FuzzCheck(e.Is<TStreamError>(), "only stream errors leave a loader");
        return Null;
    }
    if (sample.IsNull()) return sample;
    bool known = false;
    for (std::int32_t format : formats)
        known = known || sample->format == format;
    FuzzCheck(known, "a sample has one of its loader's formats");
    FuzzCheck(sample->length >= 0 && sample->hertz > 0, "a sample has a length and a rate");
    const std::int64_t bytes = std::int64_t{sample->length} * BytesPerFrame(sample->format);
    FuzzCheck(sample->capacity >= bytes, "a sample owns the bytes its length covers");
    std::uint32_t sum = 0;
    for (std::int64_t i = 0; i < bytes; ++i)
        sum += sample->samples[i];
    sampleSink = sum;
    return sample;
}

// The Ogg page checksum: CRC-32 with polynomial 0x04C11DB7, no reflection, initial value 0.
const std::array<std::uint32_t, 256>& CrcTable()
{
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t i = 0; i < 256; ++i) {
            std::uint32_t r = i << 24;
            for (int bit = 0; bit < 8; ++bit)
                r = (r & 0x80000000u) != 0 ? (r << 1) ^ 0x04C11DB7u : r << 1;
            t[i] = r;
        }
        return t;
    }();
    return table;
}

// Rewrites the checksum of every complete page found in `bytes`.
void FixPageChecksums(std::vector<std::uint8_t>& bytes)
{
    const auto& table = CrcTable();
    std::size_t p = 0;
    while (p + 27 <= bytes.size()) {
        if (std::memcmp(&bytes[p], "OggS", 4) != 0) {
            ++p;
            continue;
        }
        const std::size_t segments = bytes[p + 26];
        if (p + 27 + segments > bytes.size()) break;
        std::size_t size = 27 + segments;
        for (std::size_t i = 0; i < segments; ++i)
            size += bytes[p + 27 + i];
        if (p + size > bytes.size()) break;
        std::memset(&bytes[p + 22], 0, 4);
        std::uint32_t crc = 0;
        for (std::size_t i = 0; i < size; ++i)
            crc = (crc << 8) ^ table[((crc >> 24) ^ bytes[p + i]) & 0xFF];
        for (int i = 0; i < 4; ++i)
            bytes[p + 22 + static_cast<std::size_t>(i)] = static_cast<std::uint8_t>(crc >> (8 * i));
        p += size;
    }
}

} // namespace

int FuzzWavLoader(const std::uint8_t* data, std::size_t size)
{
    static const bool ready = [] {
        InitRuntimeCore();
        InitWAVLoader();
        return true;
    }();
    (void)ready;
    const int level = ReleaseStackLevel();
    {
        std::vector<std::uint8_t> bytes(data, data + size);
        const Ref<TAudioSample> sample =
            LoadChecked(Registered<TWAVLoader>(),
                        CreateMemoryStream(bytes.data(), static_cast<std::int32_t>(bytes.size()), true, false),
                        {SF_MONO8, SF_STEREO8, SF_MONO16LE, SF_STEREO16LE});
        if (!sample.IsNull()) {
            FuzzCheck(std::int64_t{sample->length} * BytesPerFrame(sample->format) <= std::int64_t(size),
                      "a WAV sample holds no more than the file");
        }
    }
    FlushReleaseStack(level);
    return 0;
}

int FuzzOggLoader(const std::uint8_t* data, std::size_t size)
{
    static const bool ready = [] {
        InitRuntimeCore();
        InitOggLoader();
        return true;
    }();
    (void)ready;
    if (size == 0) return 0;
    const std::uint8_t mode = data[0];
    std::vector<std::uint8_t> bytes(data + 1, data + size);
    if ((mode & 1) != 0) FixPageChecksums(bytes);
    const int level = ReleaseStackLevel();
    {
        Ref<TByteStream> stream =
            CreateMemoryStream(bytes.data(), static_cast<std::int32_t>(bytes.size()), true, false);
        if ((mode & 2) != 0) {
            Ref<TStraightStream> straight = New<TStraightStream>();
            straight->SetStream(stream);
            stream = straight;
        }
        LoadChecked(Registered<TOggLoader>(), stream, {SF_MONO16LE, SF_STEREO16LE});
    }
    FuzzCheck(OpenOggDecoderCount() == 0, "every decoder is released");
    FlushReleaseStack(level);
    return 0;
}

} // namespace vanta::fuzz
