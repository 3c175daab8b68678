// Helpers for the audio layer's tests: a device whose passes the test runs by hand, sound buffers made from
// sample vectors, and fixed settings for new voices.
#pragma once

#include "audio/waveout/SoundBuffer.h"
#include "audio/waveout/WaveOut.h"
#include "audio/waveout/audiodevice.h"
#include "audio/waveout/mixer.h"
#include "audio/waveout/output.h"

#include <cstdint>
#include <memory>
#include <vector>

#include <gtest/gtest.h>

namespace vanta::audio::test {

inline constexpr int OUTPUT_RATE = 44100;
inline constexpr int PASS_FRAMES = 4096;
inline constexpr int PASS_VALUES = PASS_FRAMES * 2;

// A mixer as the wave-out device makes it: 8192 accumulator values, 44 100 Hz stereo.
inline std::unique_ptr<mixer> MakeMixer()
{
    auto made = std::make_unique<mixer>(PASS_VALUES);
    made->SetOutput(OUTPUT_RATE, 2);
    return made;
}

// A device with no output: the test runs the passes the callback would run.
class ManualDevice final : public audiodevice
{
public:
    int Open() override
    {
        voiceMixer = MakeMixer();
        return 0;
    }
    int Close() override { return 0; }
};

// One 16-bit output pass of 4096 frames, interleaved left, right.
inline std::vector<std::int16_t> RunPass(mixer& voices)
{
    std::vector<std::int16_t> samples(PASS_VALUES);
    voices.Output16(samples.data(), PASS_FRAMES);
    return samples;
}

inline std::int16_t Left(const std::vector<std::int16_t>& samples, int frame)
{
    return samples[static_cast<std::size_t>(frame) * 2];
}

inline std::int16_t Right(const std::vector<std::int16_t>& samples, int frame)
{
    return samples[static_cast<std::size_t>(frame) * 2 + 1];
}

// Owns one use of a buffer.
struct BufferRelease
{
    void operator()(SoundBuffer* buffer) const { SoundBuffer::Release(buffer); }
};
using BufferPtr = std::unique_ptr<SoundBuffer, BufferRelease>;

// A 16-bit buffer over `samples` (interleaved when stereo); loop is -1 or 0.
inline BufferPtr MakeBuffer16(const std::vector<std::int16_t>& samples, int channels, int hertz, int loop)
{
    const int frames = static_cast<int>(samples.size()) / channels;
    return BufferPtr(SoundBuffer::Create(frames, 16, channels, hertz, samples.data(), loop));
}

// An 8-bit buffer over unsigned `samples`.
inline BufferPtr MakeBuffer8(const std::vector<std::uint8_t>& samples, int channels, int hertz, int loop)
{
    const int frames = static_cast<int>(samples.size()) / channels;
    return BufferPtr(SoundBuffer::Create(frames, 8, channels, hertz, samples.data(), loop));
}

// A mono 16-bit buffer holding one value throughout.
inline BufferPtr ConstantBuffer(int frames, std::int16_t value, int loop, int hertz = OUTPUT_RATE)
{
    return MakeBuffer16(std::vector<std::int16_t>(static_cast<std::size_t>(frames), value), 1, hertz, loop);
}

// Fixed target settings to start a voice with (current and target alike).
class Settings final : public output
{
public:
    int rate = RATE_NORMAL;
    std::int16_t volume = VOLUME_FULL;
    std::int16_t pan = 0;
    std::int16_t depth = 0;

    void SetRate(int value) override { rate = value; }
    void SetVolume(std::int16_t value) override { volume = value; }
    void SetPan(std::int16_t value) override { pan = value; }
    void SetDepth(std::int16_t value) override { depth = value; }
    int GetRate(int) const override { return rate; }
    std::int16_t GetVolume(int) const override { return volume; }
    std::int16_t GetPan(int) const override { return pan; }
    std::int16_t GetDepth(int) const override { return depth; }
};

// A fixture with a ManualDevice open as the current device.
class ManualDeviceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_EQ(OpenAudioDevice(std::make_unique<ManualDevice>()), 0);
        voices = CurrentAudioDevice()->Mixer();
    }
    void TearDown() override { CloseAudioDevice(); }

    std::vector<std::int16_t> Pass() { return RunPass(*voices); }

    mixer* voices = nullptr;
};

} // namespace vanta::audio::test
