// The whole path through a real output: the wave-out device over the platform's audio, with SDL's disk audio
// driver writing whatever the callback produced to a file that the test then reads back.
#include "audio/waveout/SoundBuffer.h"
#include "audio/waveout/WaveOut.h"
#include "audio/waveout/winmmdevice.h"
#include "platform/Audio.h"
#include "support/DiskAudio.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

namespace vanta::audio {
namespace {

using test::DiskAudioFile;

class WaveOutDevice : public ::testing::Test
{
protected:
    void TearDown() override { CloseAudioDevice(); }

    DiskAudioFile disk{"vanta_waveout"};
};

TEST_F(WaveOutDevice, PlaysAToneWithItsVolumeAndPanThenStopsWithoutAClick)
{
    ASSERT_EQ(OpenAudioDevice(), 0) << platform::AudioOutputError();

    // 441 Hz: one period is exactly 100 frames at 44 100 Hz.
    std::vector<std::int16_t> period(100);
    for (int i = 0; i < 100; ++i)
        period[static_cast<std::size_t>(i)] =
            static_cast<std::int16_t>(std::lround(16000 * std::sin(2 * M_PI * i / 100)));
    SoundBuffer* tone = CreateSoundBuffer(100, 16, 1, 44100, period.data(), -1);
    ASSERT_NE(tone, nullptr);
    const int channel = AllocChannelHandle();
    SetChannelHandleVolume(channel, 2048); // half
    SetChannelHandlePan(channel, 2048);    // half right: the left side at half of that
    ASSERT_EQ(PlaySoundBuffer(tone, 0, channel), channel);

    ASSERT_TRUE(disk.WaitForPasses(disk.WrittenBytes(), 6));
    StopChannelHandle(channel);
    ASSERT_TRUE(disk.WaitForPasses(disk.WrittenBytes(), 4));
    CloseAudioDevice();
    FreeSoundBuffer(tone);

    const auto samples = disk.ReadOutput();
    const std::size_t frames = samples.size() / 2;
    auto left = [&](std::size_t frame) { return samples[frame * 2]; };
    auto right = [&](std::size_t frame) { return samples[frame * 2 + 1]; };
    std::size_t first = 0;
    while (first < frames && left(first) == 0 && right(first) == 0)
        ++first;
    std::size_t last = frames;
    while (last > first && left(last - 1) == 0 && right(last - 1) == 0)
        --last;
    ASSERT_GE(last - first, 4u * 4096u) << "frames " << frames;
    EXPECT_EQ(first % 4096, 1u) << "the tone starts at a buffer boundary, on the sine's zero";
    EXPECT_GE(frames - last, 4096u) << "silence after the stop";

    // Level and side: right at 16000 / 2, left at 16000 / 4, exactly periodic (the rate step is exact).
    int peakLeft = 0;
    int peakRight = 0;
    for (std::size_t frame = first; frame < first + std::size_t{3} * 4096; ++frame) {
        peakLeft = std::max(peakLeft, std::abs(int{left(frame)}));
        peakRight = std::max(peakRight, std::abs(int{right(frame)}));
        ASSERT_LE(std::abs(right(frame) - 2 * left(frame)), 2) << frame;
        ASSERT_EQ(right(frame), right(frame + 100)) << frame;
    }
    EXPECT_NEAR(peakLeft, 4000, 2);
    EXPECT_NEAR(peakRight, 8000, 2);

    // No click: no step anywhere bigger than the tone's own steepest one (8000 * 2 pi / 100, about 503),
    // while cutting the tone short would jump by up to 8000.
    for (std::size_t frame = 1; frame < frames; ++frame)
        ASSERT_LE(std::abs(right(frame) - right(frame - 1)), 510) << frame;
    // The last buffer with sound is the fade: full level at its start, near silence at its end.
    const std::size_t fade = (last - 1) / 4096 * 4096;
    int fadeStart = 0;
    int fadeEnd = 0;
    for (std::size_t frame = fade; frame < fade + 100; ++frame)
        fadeStart = std::max(fadeStart, std::abs(int{right(frame)}));
    for (std::size_t frame = fade + 3996; frame < fade + 4096; ++frame)
        fadeEnd = std::max(fadeEnd, std::abs(int{right(frame)}));
    EXPECT_GT(fadeStart, 7500);
    EXPECT_LT(fadeEnd, 300);
}

TEST_F(WaveOutDevice, WithoutASoundDeviceEverythingStaysSilent)
{
    const char* configured = std::getenv("SDL_AUDIODRIVER");
    const std::string driver = configured != nullptr ? configured : "disk";
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    EXPECT_EQ(OpenAudioDevice(), -1);
    setenv("SDL_AUDIODRIVER", driver.c_str(), 1);
    EXPECT_STRNE(platform::AudioOutputError(), "");
    EXPECT_EQ(CurrentAudioDevice(), nullptr);
    const std::int16_t samples[2] = {100, 200};
    EXPECT_EQ(CreateSoundBuffer(2, 16, 1, 44100, samples, 0), nullptr);
    EXPECT_EQ(AllocChannelHandle(), 0);
    EXPECT_EQ(ChannelStatus(4097), 0);
}

TEST_F(WaveOutDevice, ClosingWhilePlayingReleasesEverything)
{
    const int buffersBefore = SoundBuffer::LiveCount();
    ASSERT_EQ(OpenAudioDevice(), 0) << platform::AudioOutputError();
    std::vector<std::int16_t> noise(std::size_t{2} * 3000);
    for (std::size_t i = 0; i < noise.size(); ++i)
        noise[i] = static_cast<std::int16_t>(i * 7919);
    SoundBuffer* looping = CreateSoundBuffer(3000, 16, 2, 32000, noise.data(), -1);
    SoundBuffer* once = CreateSoundBuffer(3000, 16, 2, 48000, noise.data(), 0);
    for (int i = 0; i < 20; ++i)
        PlaySoundBuffer(i % 2 == 1 ? looping : once, i % 3 == 0 ? 1 : 0, 0);
    FreeSoundBuffer(once); // only its voices hold it now
    ASSERT_TRUE(disk.WaitForPasses(disk.WrittenBytes(), 2));
    CloseAudioDevice();
    EXPECT_EQ(SoundBuffer::LiveCount(), buffersBefore + 1);
    FreeSoundBuffer(looping); // still valid after the device closed
    EXPECT_EQ(SoundBuffer::LiveCount(), buffersBefore);

    // And the device opens again.
    ASSERT_EQ(OpenAudioDevice(), 0) << platform::AudioOutputError();
    EXPECT_NE(AllocChannelHandle(), 0);
}

} // namespace
} // namespace vanta::audio
