// Audio samples: the six layouts and every conversion through the hub.
#include "audio/AudioSample.h"
#include "runtime/Error.h"

#include <array>
#include <cstring>
#include <vector>

#include <gtest/gtest.h>

namespace vanta {
namespace {

// A frame as (left, right) signed 16-bit values, the way the hub sees it.
struct Frame
{
    std::int32_t left;
    std::int32_t right;
};

// Straightforward reference: decode any layout to frames...
Frame Decode(const std::uint8_t* p, std::int32_t format)
{
    auto le = [](const std::uint8_t* q) { return static_cast<std::int16_t>(q[0] | q[1] << 8); };
    auto be = [](const std::uint8_t* q) { return static_cast<std::int16_t>(q[0] << 8 | q[1]); };
    auto wide = [](std::uint8_t u) { return (u - 128) * 256 + u; };
    switch (format) {
    case SF_MONO8: return {wide(p[0]), wide(p[0])};
    case SF_MONO16LE: return {le(p), le(p)};
    case SF_MONO16BE: return {be(p), be(p)};
    case SF_STEREO8: return {wide(p[0]), wide(p[1])};
    case SF_STEREO16LE: return {le(p), le(p + 2)};
    default: return {be(p), be(p + 2)};
    }
}

// ...and encode frames into any layout.
std::vector<std::uint8_t> Encode(Frame f, std::int32_t format)
{
    auto le = [](std::int32_t v) {
        return std::vector<std::uint8_t>{std::uint8_t(v & 255), std::uint8_t((v >> 8) & 255)};
    };
    auto be = [](std::int32_t v) {
        return std::vector<std::uint8_t>{std::uint8_t((v >> 8) & 255), std::uint8_t(v & 255)};
    };
    auto cat = [](std::vector<std::uint8_t> a, const std::vector<std::uint8_t>& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    };
    const std::int32_t mono = (f.left + f.right) / 2;
    switch (format) {
    case SF_MONO8: return {std::uint8_t((mono + 32768) / 257)};
    case SF_MONO16LE: return le(mono);
    case SF_MONO16BE: return be(mono);
    case SF_STEREO8: return {std::uint8_t((f.left + 32768) / 257), std::uint8_t((f.right + 32768) / 257)};
    case SF_STEREO16LE: return cat(le(f.left), le(f.right));
    default: return cat(be(f.left), be(f.right));
    }
}

TEST(AudioSampleConversion, EightBitValuesWidenByTheRepeatedByteRule)
{
    const std::uint8_t mono[] = {0, 128, 255};
    std::uint8_t hub[12];
    ConvertSamples(mono, SF_MONO8, hub, SF_STEREO16BE, 3);
    EXPECT_EQ(Decode(hub, SF_STEREO16BE).left, -32768);
    EXPECT_EQ(Decode(hub + 4, SF_STEREO16BE).left, 128);
    EXPECT_EQ(Decode(hub + 8, SF_STEREO16BE).right, 32767);
}

TEST(AudioSampleConversion, MonoMixesTruncateTowardZero)
{
    const std::vector<std::uint8_t> hub = Encode({100, -101}, SF_STEREO16BE);
    std::uint8_t mono[2];
    ConvertSamples(hub.data(), SF_STEREO16BE, mono, SF_MONO16LE, 1);
    EXPECT_EQ(mono[0], 0);
    EXPECT_EQ(mono[1], 0);
}

TEST(AudioSampleConversion, EveryPairAgreesWithTheReference)
{
    // Frames covering the extremes, silence and odd sums.
    const std::vector<Frame> frames = {{-32768, 32767}, {0, 0},   {1, -2},   {12345, -23456},
                                       {32767, 32767},  {-1, -1}, {255, 256}};
    for (std::int32_t from = 1; from <= 6; ++from) {
        for (std::int32_t to = 1; to <= 6; ++to) {
            std::vector<std::uint8_t> source;
            for (Frame f : frames) {
                const auto bytes = Encode(f, from);
                source.insert(source.end(), bytes.begin(), bytes.end());
            }
            std::vector<std::uint8_t> expected;
            const std::int32_t size = BytesPerFrame(from);
            for (std::size_t i = 0; i < frames.size(); ++i) {
                const auto bytes = Encode(Decode(source.data() + i * static_cast<std::size_t>(size), from), to);
                expected.insert(expected.end(), bytes.begin(), bytes.end());
            }
            std::vector<std::uint8_t> actual(expected.size(), 0xAA);
            ConvertSamples(source.data(), from, actual.data(), to, static_cast<std::int32_t>(frames.size()));
            EXPECT_EQ(actual, expected) << "from " << from << " to " << to;
        }
    }
}

TEST(AudioSampleConversion, UnknownFormatsAreRefusedWithoutWriting)
{
    std::uint8_t source[4] = {1, 2, 3, 4};
    std::uint8_t destination[4] = {9, 9, 9, 9};
    for (auto [from, to] : {std::pair{0, 5}, {5, 7}, {-1, 1}}) {
        try {
            ConvertSamples(source, from, destination, to, 1);
            FAIL();
        } catch (const Exception& e) {
            EXPECT_STREQ(e.what(), "Unimplemented sample format conversion");
        }
    }
    EXPECT_EQ(destination[0], 9);
}

TEST(AudioSample, CreateCopyAndConvert)
{
    Ref<TAudioSample> sample = CreateAudioSample(3, 22050, SF_STEREO16LE);
    EXPECT_EQ(sample->capacity, 12);
    const std::int16_t values[] = {100, -100, 200, -200, 300, -300};
    std::memcpy(sample->samples, values, sizeof values);
    Ref<TAudioSample> copy = sample->Copy();
    EXPECT_NE(copy->samples, sample->samples);
    EXPECT_EQ(std::memcmp(copy->samples, values, sizeof values), 0);
    EXPECT_EQ(copy->hertz, 22050);
    Ref<TAudioSample> mono = sample->Convert(SF_MONO16LE);
    EXPECT_EQ(mono->format, SF_MONO16LE);
    EXPECT_EQ(mono->length, 3);
    EXPECT_EQ(reinterpret_cast<std::int16_t*>(mono->samples)[2], 0);
    EXPECT_THROW(sample->Convert(9), Exception);
}

TEST(AudioSample, StaticSamplesNeverFreeTheirData)
{
    const std::int64_t inUse = MemoryInUse();
    const int level = ReleaseStackLevel();
    std::array<std::uint8_t, 8> data{};
    Ref<TAudioSample> sample = CreateStaticAudioSample(data.data(), 4, 8000, SF_STEREO8);
    EXPECT_EQ(sample->capacity, -1);
    sample = Null;
    FlushReleaseStack(level);
    EXPECT_EQ(MemoryInUse(), inUse);
}

TEST(AudioSample, HostileSizesStayDefined)
{
    Ref<TAudioSample> negative = CreateAudioSample(-5, 44100, SF_MONO8);
    EXPECT_EQ(negative->length, 0);
    EXPECT_EQ(negative->samples, nullptr);
    Ref<TAudioSample> unknown = CreateAudioSample(10, 44100, 0);
    EXPECT_EQ(unknown->capacity, 0);
    // A sample without data copies into another without data: nothing is read or written.
    Ref<TAudioSample> copy = unknown->Copy();
    EXPECT_EQ(copy->length, 10);
    EXPECT_EQ(copy->samples, nullptr);
    std::uint8_t destination[4] = {9, 9, 9, 9};
    CopySamples(nullptr, destination, 0, 4);
    CopySamples(nullptr, nullptr, 7, 4);
    EXPECT_EQ(destination[0], 9);
}

} // namespace
} // namespace vanta
