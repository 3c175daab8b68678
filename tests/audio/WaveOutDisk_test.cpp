// The whole road of a sound to a real output: the wave-out driver's initialiser opens the device over SDL's
// disk audio driver, a WAV fixture is loaded and played looping, and its samples appear in the file SDL writes.
#include "audio/Sound.h"
#include "audio/WAVLoader.h"
#include "audio/waveout/WaveOut.h"
#include "audio/waveout/WaveOutAudioDriver.h"
#include "platform/Audio.h"
#include "support/DiskAudio.h"
#include "support/SoundTestSupport.h"

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

namespace vanta::test {
namespace {

class WaveOutDisk : public ::testing::Test
{
protected:
    void TearDown() override { audio::CloseAudioDevice(); }

    DiskAudioFile disk{"vanta_sound"};
};

TEST_F(WaveOutDisk, ALoadedSoundReachesTheOutput)
{
    InitWAVLoader();
    InitWaveOutAudioDriver();
    ASSERT_NE(audio::CurrentAudioDevice(), nullptr) << platform::AudioOutputError();
    ASSERT_TRUE(Downcast<TWaveOutAudioDriver>(CurrentAudioDriver()));

    // 441 Hz at 44 100 Hz, exactly 44 periods, so the loop joins without a seam.
    Ref<TSound> tone = LoadSound(String::FromCString(FixturePath("tone441_mono16.wav").c_str()), 1);
    ASSERT_FALSE(tone.IsNull());
    Ref<TChannel> channel = PlaySound(tone);
    ASSERT_FALSE(channel.IsNull());
    ASSERT_TRUE(disk.WaitForPasses(disk.WrittenBytes(), 5));
    EXPECT_EQ(ChannelPlaying(channel), 1);
    StopChannel(channel);
    ASSERT_TRUE(disk.WaitForPasses(disk.WrittenBytes(), 3));
    audio::CloseAudioDevice();

    const Bytes raw = ReadFixture("tone441_mono16.wav.raw");
    std::vector<std::int16_t> tone16(raw.size() / 2);
    std::memcpy(tone16.data(), raw.data(), raw.size());
    ASSERT_EQ(tone16.size(), 4400u);
    ASSERT_EQ(tone16[0], 0);

    const auto samples = disk.ReadOutput();
    const std::size_t frames = samples.size() / 2;
    std::size_t first = 0;
    while (first < frames && samples[first * 2] == 0)
        ++first;
    ASSERT_GE(frames - first, 3u * 4400u) << "frames " << frames;
    // At full volume and the sound's own rate the output is the file's samples, on both sides, frame for
    // frame (the first one, 0, is hidden in the silence before).
    for (std::size_t k = 0; k < 2 * 4400; ++k) {
        const std::int16_t expected = tone16[(k + 1) % 4400];
        ASSERT_EQ(samples[(first + k) * 2], expected) << k;
        ASSERT_EQ(samples[(first + k) * 2 + 1], expected) << k;
    }
}

} // namespace
} // namespace vanta::test
