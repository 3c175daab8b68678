// The WAV loader: files from a common encoder decode to exactly the PCM an independent decoder gives,
// unsupported layouts are refused, and hostile files (truncated at every length, absurd sizes, sizes that
// are not whole frames) never read or keep more than the file holds.
#include "audio/WAVLoader.h"
#include "support/SoundTestSupport.h"

#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace vanta::test {
namespace {

// One chunk of a hand-made RIFF file; `declared` overrides the size written in its header.
struct Chunk
{
    std::string tag;
    Bytes body;
    std::int64_t declared = -1;
    bool pad = true; // RIFF's pad byte after an odd-sized body
};

void Put32(Bytes& out, std::uint32_t value)
{
    for (int i = 0; i < 4; ++i)
        out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void Put16(Bytes& out, std::uint32_t value)
{
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

Bytes Riff(const std::vector<Chunk>& chunks)
{
    Bytes body{'W', 'A', 'V', 'E'};
    for (const Chunk& chunk : chunks) {
        body.insert(body.end(), chunk.tag.begin(), chunk.tag.end());
        Put32(body, static_cast<std::uint32_t>(chunk.declared >= 0 ? chunk.declared : std::int64_t(chunk.body.size())));
        body.insert(body.end(), chunk.body.begin(), chunk.body.end());
        if (chunk.pad && chunk.body.size() % 2 == 1) body.push_back(0);
    }
    Bytes file{'R', 'I', 'F', 'F'};
    Put32(file, static_cast<std::uint32_t>(body.size()));
    file.insert(file.end(), body.begin(), body.end());
    return file;
}

// A "fmt " chunk body: format tag, channels, rate, bits, then `extra` bytes.
Bytes Fmt(int tag, int channels, std::uint32_t rate, int bits, std::size_t extra = 0)
{
    Bytes body;
    Put16(body, static_cast<std::uint32_t>(tag));
    Put16(body, static_cast<std::uint32_t>(channels));
    Put32(body, rate);
    Put32(body, rate * static_cast<std::uint32_t>(channels * bits / 8));
    Put16(body, static_cast<std::uint32_t>(channels * bits / 8));
    Put16(body, static_cast<std::uint32_t>(bits));
    body.resize(body.size() + extra, 0);
    return body;
}

Bytes Counting(std::size_t size)
{
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 7 + 1);
    return bytes;
}

class WAVLoader : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { InitWAVLoader(); }

    // The loader's answer for `bytes` read from a memory stream, asked directly.
    static Ref<TAudioSample> Load(Bytes& bytes)
    {
        return RegisteredLoader<TWAVLoader>()->LoadAudioSample(StreamOver(bytes));
    }
};

struct Fixture
{
    const char* name;
    std::int32_t format;
    std::int32_t hertz;
};

TEST_F(WAVLoader, FilesFromAnEncoderDecodeExactly)
{
    const Fixture fixtures[] = {
        {"mono8.wav", SF_MONO8, 11025},
        {"stereo8.wav", SF_STEREO8, 8000},
        {"tone441_mono16.wav", SF_MONO16LE, 44100},
        {"stereo16.wav", SF_STEREO16LE, 22050},
    };
    for (const Fixture& fixture : fixtures) {
        SCOPED_TRACE(fixture.name);
        Ref<TAudioSampleLoader> loadedBy;
        Ref<TAudioSample> sample = LoadAudioSample(String::FromCString(FixturePath(fixture.name).c_str()), &loadedBy);
        ASSERT_FALSE(sample.IsNull());
        EXPECT_TRUE(Downcast<TWAVLoader>(loadedBy));
        EXPECT_EQ(sample->format, fixture.format);
        EXPECT_EQ(sample->hertz, fixture.hertz);
        EXPECT_EQ(SampleBytes(sample), ReadFixture(std::string(fixture.name) + ".raw"));
    }
}

TEST_F(WAVLoader, ExtraChunksAndLongerFormatChunksAreSkipped)
{
    // An odd-sized LIST chunk and its pad byte between "fmt " and "data".
    Bytes listed = ReadFixture("stereo16_list.wav");
    Ref<TAudioSample> sample = Load(listed);
    ASSERT_FALSE(sample.IsNull());
    EXPECT_EQ(sample->format, SF_STEREO16LE);
    EXPECT_EQ(SampleBytes(sample), ReadFixture("stereo16.wav.raw"));

    // An 18-byte "fmt " chunk: its 2 extra bytes are skipped.
    Bytes fmt18 = ReadFixture("mono16_fmt18.wav");
    sample = Load(fmt18);
    ASSERT_FALSE(sample.IsNull());
    EXPECT_EQ(SampleBytes(sample), ReadFixture("tone441_mono16.wav.raw"));

    // An odd-sized "fmt " chunk and an odd unknown chunk, each padded.
    const Bytes data = Counting(6);
    Bytes odd = Riff({{"fmt ", Fmt(1, 1, 8000, 8, 1)}, {"junk", Counting(3)}, {"data", data}});
    sample = Load(odd);
    ASSERT_FALSE(sample.IsNull());
    EXPECT_EQ(SampleBytes(sample), data);
}

TEST_F(WAVLoader, UnsupportedLayoutsAreRefused)
{
    // As an encoder writes them (24 bits and four channels as WAVE_FORMAT_EXTENSIBLE, floats as tag 3)...
    for (const char* name : {"mono24.wav", "quad16.wav", "float32.wav"}) {
        Bytes bytes = ReadFixture(name);
        EXPECT_TRUE(Load(bytes).IsNull()) << name;
    }
    // ...and as plain PCM headers with depths and channel counts the loader does not take.
    const int layouts[][3] = {{1, 1, 24}, {1, 4, 16}, {1, 1, 32}, {1, 3, 8},
                              {1, 0, 16}, {1, 2, 12}, {3, 1, 32}, {2, 1, 16}};
    for (const auto& layout : layouts) {
        Bytes bytes = Riff({{"fmt ", Fmt(layout[0], layout[1], 8000, layout[2])}, {"data", Counting(48)}});
        EXPECT_TRUE(Load(bytes).IsNull()) << layout[0] << " " << layout[1] << " " << layout[2];
    }
}

TEST_F(WAVLoader, MalformedHeadersAreRefused)
{
    Bytes good = Riff({{"fmt ", Fmt(1, 1, 8000, 8)}, {"data", Counting(8)}});
    ASSERT_FALSE(Load(good).IsNull());

    Bytes notRiff = good;
    notRiff[0] = 'X';
    Bytes notWave = good;
    notWave[8] = 'X';
    Bytes listFirst = Riff({{"LIST", Counting(4)}, {"fmt ", Fmt(1, 1, 8000, 8)}, {"data", Counting(8)}});
    Bytes fmt14 = Fmt(1, 1, 8000, 8);
    fmt14.resize(14);
    Bytes shortFmt = Riff({{"fmt ", fmt14}, {"data", Counting(8)}});
    Bytes zeroRate = Riff({{"fmt ", Fmt(1, 1, 0, 8)}, {"data", Counting(8)}});
    Bytes negativeRate = Riff({{"fmt ", Fmt(1, 1, 0x80000000u, 8)}, {"data", Counting(8)}});
    Bytes noData = Riff({{"fmt ", Fmt(1, 1, 8000, 8)}, {"LIST", Counting(8)}});
    const Bytes* cases[] = {&notRiff, &notWave, &listFirst, &shortFmt, &zeroRate, &negativeRate, &noData};
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        Bytes bytes = *cases[i];
        EXPECT_TRUE(Load(bytes).IsNull()) << "case " << i;
    }
    Bytes empty;
    EXPECT_TRUE(Load(empty).IsNull());
}

TEST_F(WAVLoader, ADataChunkLargerThanTheFileGivesTheFramesThatAreThere)
{
    const Bytes data = Counting(100);
    for (std::int64_t declared : {std::int64_t{1000}, std::int64_t{0x7FFFFFFF}, std::int64_t{0xFFFFFFFF}}) {
        SCOPED_TRACE(declared);
        Bytes bytes = Riff({{"fmt ", Fmt(1, 2, 22050, 16)}, {"data", data, declared}});
        Ref<TAudioSample> sample = Load(bytes);
        ASSERT_FALSE(sample.IsNull());
        EXPECT_EQ(sample->length, 25);
        EXPECT_EQ(SampleBytes(sample), data);
        // Nothing was allocated for the bytes the header only claimed.
        EXPECT_LE(sample->capacity, 100);

        // From a stream that does not know its size the memory grows with the data, and the sample keeps
        // only what arrived.
        const std::int64_t before = MemoryInUse();
        sample = RegisteredLoader<TWAVLoader>()->LoadAudioSample(TWatchedStream::Unseekable(StreamOver(bytes)));
        ASSERT_FALSE(sample.IsNull());
        EXPECT_EQ(SampleBytes(sample), data);
        EXPECT_EQ(sample->capacity, 100);
        EXPECT_LT(MemoryInUse() - before, 4096);
    }
}

TEST_F(WAVLoader, ADataChunkOfPartFramesKeepsTheWholeFrames)
{
    // 10 bytes of 4-byte frames: two frames, and the two extra bytes are neither read nor kept.
    const Bytes data = Counting(10);
    Bytes bytes = Riff({{"fmt ", Fmt(1, 2, 22050, 16)}, {"data", data}});
    Ref<TAudioSample> sample = Load(bytes);
    ASSERT_FALSE(sample.IsNull());
    EXPECT_EQ(sample->length, 2);
    EXPECT_EQ(sample->capacity, 8);
    EXPECT_EQ(SampleBytes(sample), Bytes(data.begin(), data.begin() + 8));

    // Fewer bytes than one frame: an empty sample.
    Bytes tiny = Riff({{"fmt ", Fmt(1, 2, 22050, 16)}, {"data", Counting(3)}});
    sample = Load(tiny);
    ASSERT_FALSE(sample.IsNull());
    EXPECT_EQ(sample->length, 0);
}

TEST_F(WAVLoader, AbsurdChunkSizesEndTheWalk)
{
    Bytes hugeFmt = Riff({{"fmt ", Fmt(1, 1, 8000, 8), 0xFFFFFFFF}, {"data", Counting(8)}});
    Bytes hugeList = Riff({{"fmt ", Fmt(1, 1, 8000, 8)}, {"LIST", Counting(4), 0xFFFFFFF0}, {"data", Counting(8)}});
    EXPECT_TRUE(Load(hugeFmt).IsNull());
    EXPECT_TRUE(Load(hugeList).IsNull());
}

TEST_F(WAVLoader, TruncatedFilesNeverGiveMoreThanTheyHold)
{
    for (const char* name : {"stereo16_list.wav", "mono8.wav"}) {
        const Bytes whole = ReadFixture(name);
        const Bytes reference = ReadFixture(std::string(name) == "mono8.wav" ? "mono8.wav.raw" : "stereo16.wav.raw");
        for (std::size_t size = 0; size <= whole.size(); ++size) {
            SCOPED_TRACE(size);
            Bytes bytes(whole.begin(), whole.begin() + static_cast<std::ptrdiff_t>(size));
            Ref<TAudioSample> sample = LoadAudioSample(StreamOver(bytes));
            if (sample.IsNull()) continue;
            const Bytes got = SampleBytes(sample);
            ASSERT_LE(got.size(), size);
            ASSERT_TRUE(std::equal(got.begin(), got.end(), reference.begin())) << "not a prefix of the PCM";
        }
    }
}

TEST_F(WAVLoader, JunkNeverCrashes)
{
    // Random bytes behind a valid start, so the walk gets past the first checks.
    std::uint32_t seed = 12345;
    auto next = [&] { return seed = seed * 1103515245u + 12345u; };
    for (int round = 0; round < 2000; ++round) {
        Bytes bytes = Riff({{"fmt ", Fmt(1, 1 + round % 2, 8000, round % 3 == 0 ? 8 : 16)}});
        const std::size_t extra = next() % 200;
        for (std::size_t i = 0; i < extra; ++i)
            bytes.push_back(static_cast<std::uint8_t>(next() >> 16));
        if (round % 4 == 0) bytes[16 + next() % 8] = static_cast<std::uint8_t>(next() >> 16);
        Ref<TAudioSample> sample = LoadAudioSample(StreamOver(bytes));
        if (!sample.IsNull()) {
            ASSERT_LE(SampleBytes(sample).size(), bytes.size());
        }
    }
}

} // namespace
} // namespace vanta::test
