// vanta-asset's sound commands, run as the real program: `info` describes sounds, `audio` writes them as WAV
// files in their own layout, and failures and wrong command lines give their exit statuses and messages.
#include "audio/WAVLoader.h"
#include "support/AssetTool.h"
#include "support/SoundTestSupport.h"
#include "tools/asset/AssetTool.h"

#include <filesystem>
#include <string>
#include <unistd.h>

#include <gtest/gtest.h>

namespace vanta::test {
namespace {

namespace fs = std::filesystem;

class AssetAudio : public ::testing::Test
{
protected:
    void SetUp() override
    {
        RunModuleInitialisers(asset::ASSET_MODULES);
        folder = fs::temp_directory_path() / ("vanta_asset_audio_" + std::to_string(getpid()));
        fs::create_directories(folder);
    }
    void TearDown() override { fs::remove_all(folder); }

    std::string Out(const char* name) const { return (folder / name).string(); }

    fs::path folder;
};

TEST_F(AssetAudio, InfoDescribesSounds)
{
    ProcessResult result = RunAssetTool({"info", FixturePath("mono.ogg")});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(result.out, "kind: sound\nloader: Ogg\nformat: SF_MONO16LE\nchannels: 1\nbits: 16\nrate: 22050\n"
                          "frames: 5512\nseconds: 0.250\n");

    result = RunAssetTool({"info", FixturePath("stereo8.wav")});
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_NE(result.out.find("loader: WAV\nformat: SF_STEREO8\nchannels: 2\nbits: 8\nrate: 8000\n"), std::string::npos)
        << result.out;
}

TEST_F(AssetAudio, AudioWritesTheSoundInItsOwnLayout)
{
    struct
    {
        const char* name;
        const char* reference;
        std::int32_t format;
        std::int32_t hertz;
    } const cases[] = {
        {"mono8.wav", "mono8.wav.raw", SF_MONO8, 11025},
        {"stereo8.wav", "stereo8.wav.raw", SF_STEREO8, 8000},
        {"mono.ogg", "mono.ogg.raw", SF_MONO16LE, 22050},
        {"stereo.ogg", "stereo.ogg.raw", SF_STEREO16LE, 44100},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string out = Out("out.wav");
        const ProcessResult result = RunAssetTool({"audio", FixturePath(c.name), out});
        ASSERT_EQ(result.status, 0) << result.err;
        Ref<TAudioSampleLoader> loader;
        Ref<TAudioSample> sample = LoadAudioSample(String::FromCString(out.c_str()), &loader);
        ASSERT_FALSE(sample.IsNull());
        EXPECT_TRUE(Downcast<TWAVLoader>(loader));
        EXPECT_EQ(sample->format, c.format);
        EXPECT_EQ(sample->hertz, c.hertz);
        EXPECT_EQ(SampleBytes(sample), ReadFixture(c.reference));
    }
    // A WAV file copied this way is the encoder's own file, byte for byte (a plain 16-byte fmt chunk).
    const std::string out = Out("copy.wav");
    ASSERT_EQ(RunAssetTool({"audio", FixturePath("stereo16_list.wav"), out}).status, 0);
    Bytes written;
    {
        std::ifstream file(out, std::ios::binary);
        written.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }
    EXPECT_EQ(written, ReadFixture("stereo16.wav"));
}

TEST_F(AssetAudio, BigEndianSamplesAreWrittenLittleEndianAndOddDataIsPadded)
{
    Ref<TAudioSample> sample = CreateAudioSample(3, 16000, SF_MONO16BE);
    const std::uint8_t big[] = {0x12, 0x34, 0x80, 0x01, 0xFF, 0xFE};
    std::memcpy(sample->samples, big, sizeof big);
    const std::string out = Out("be.wav");
    ASSERT_TRUE(asset::WriteWav(sample, String::FromCString(out.c_str())));
    Ref<TAudioSample> back = LoadAudioSample(String::FromCString(out.c_str()));
    ASSERT_FALSE(back.IsNull());
    EXPECT_EQ(back->format, SF_MONO16LE);
    EXPECT_EQ(SampleBytes(back), (Bytes{0x34, 0x12, 0x01, 0x80, 0xFE, 0xFF}));

    // Three 8-bit frames: a 3-byte data chunk and its pad byte.
    Ref<TAudioSample> odd = CreateAudioSample(3, 8000, SF_MONO8);
    std::memset(odd->samples, 200, 3);
    ASSERT_TRUE(asset::WriteWav(odd, String::FromCString(out.c_str())));
    EXPECT_EQ(fs::file_size(out), 44u + 3u + 1u);
    back = LoadAudioSample(String::FromCString(out.c_str()));
    ASSERT_FALSE(back.IsNull());
    EXPECT_EQ(SampleBytes(back), (Bytes{200, 200, 200}));

    EXPECT_FALSE(asset::WriteWav(odd, String::FromCString(Out("no/such/folder/x.wav").c_str())));
}

TEST_F(AssetAudio, ARateBeyondWhatTheByteRateFieldHoldsIsWrittenAsItsLargestValue)
{
    // A WAV file may announce any 32-bit rate; four bytes per frame at such a rate do not fit the header's
    // 32-bit byte rate, which then holds its largest value while the rate itself comes back unchanged.
    Ref<TAudioSample> sample = CreateAudioSample(1, INT32_MAX, SF_STEREO16LE);
    std::memset(sample->samples, 0, 4);
    const std::string out = Out("fast.wav");
    ASSERT_TRUE(asset::WriteWav(sample, String::FromCString(out.c_str())));
    Bytes written;
    {
        std::ifstream file(out, std::ios::binary);
        written.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
    }
    ASSERT_EQ(written.size(), 48u);
    EXPECT_EQ(Bytes(written.begin() + 28, written.begin() + 32), (Bytes{0xFF, 0xFF, 0xFF, 0xFF}));
    Ref<TAudioSample> back = LoadAudioSample(String::FromCString(out.c_str()));
    ASSERT_FALSE(back.IsNull());
    EXPECT_EQ(back->hertz, INT32_MAX);
}

TEST_F(AssetAudio, FailuresAndWrongCommandLines)
{
    const std::string junk = Out("junk.bin");
    std::ofstream(junk) << "this is not a sound";
    ProcessResult result = RunAssetTool({"info", junk});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "cannot load image or sound or font: " + junk + "\n");

    result = RunAssetTool({"audio", junk, Out("never.wav")});
    EXPECT_EQ(result.status, 1);
    EXPECT_EQ(result.err, "cannot load sound: " + junk + "\n");
    EXPECT_FALSE(fs::exists(Out("never.wav")));

    result = RunAssetTool({"audio", FixturePath("mono8.wav"), Out("no/such/folder/x.wav")});
    EXPECT_EQ(result.status, 1);
    EXPECT_NE(result.err.find("cannot write"), std::string::npos);

    for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{
             {}, {"info"}, {"info", "a", "b"}, {"audio", FixturePath("mono8.wav")}, {"frobnicate", "x"}}) {
        result = RunAssetTool(arguments);
        EXPECT_EQ(result.status, 2) << arguments.size();
        EXPECT_NE(result.err.find("usage: vanta-asset"), std::string::npos);
    }
}

} // namespace
} // namespace vanta::test
