// The platform audio output through SDL's disk audio driver: every buffer the callback fills reaches the
// device, in the format asked for, and closing stops the callbacks.
#include "platform/Audio.h"
#include "support/DiskAudio.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#include <gtest/gtest.h>

namespace vanta::platform {
namespace {

// Fills each stereo buffer with a running count, and notes buffers of an unexpected size.
struct Counter
{
    std::atomic<int> calls{0};
    std::atomic<int> oddSizes{0};
    int frames = 4096;      // the buffer size asked for
    std::uint16_t next = 0; // audio thread only
};

void Count(void* user, std::int16_t* samples, int frames)
{
    auto* counter = static_cast<Counter*>(user);
    if (frames != counter->frames) counter->oddSizes.fetch_add(1);
    for (int i = 0; i < frames * 2; ++i)
        samples[i] = static_cast<std::int16_t>(counter->next++);
    counter->calls.fetch_add(1);
}

class PlatformAudio : public ::testing::Test
{
protected:
    void TearDown() override { CloseAudioOutput(); }

    test::DiskAudioFile disk{"vanta_platform_audio"};
};

bool WaitFor(const std::atomic<int>& value, int atLeast)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (value.load() < atLeast) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

TEST_F(PlatformAudio, CallbackBuffersReachTheDevice)
{
    Counter counter;
    ASSERT_TRUE(OpenAudioOutput(44100, 2, 4096, Count, &counter)) << AudioOutputError();
    EXPECT_STREQ(AudioOutputError(), "");
    EXPECT_FALSE(OpenAudioOutput(44100, 2, 4096, Count, &counter));
    EXPECT_STREQ(AudioOutputError(), "Audio output is already open");
    ASSERT_TRUE(WaitFor(counter.calls, 3));

    CloseAudioOutput();
    const int calls = counter.calls.load();
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    EXPECT_EQ(counter.calls.load(), calls);
    EXPECT_EQ(counter.oddSizes.load(), 0);
    CloseAudioOutput(); // nothing open: nothing happens

    const std::vector<std::int16_t> samples = disk.ReadOutput();
    // SDL plays silent buffers while the device is still paused, before the first callback.
    std::size_t start = 0;
    while (start + 8192 <= samples.size() && samples[start + 1] == 0)
        start += 8192;
    ASSERT_GE(samples.size() - start, 3u * 8192u);
    for (std::size_t i = start; i < samples.size(); ++i)
        ASSERT_EQ(static_cast<std::uint16_t>(samples[i]), static_cast<std::uint16_t>(i - start)) << i;
}

TEST_F(PlatformAudio, ReopensAfterClosing)
{
    Counter counter;
    ASSERT_TRUE(OpenAudioOutput(44100, 2, 4096, Count, &counter)) << AudioOutputError();
    CloseAudioOutput();
    Counter other;
    other.frames = 1024;
    ASSERT_TRUE(OpenAudioOutput(22050, 2, 1024, Count, &other)) << AudioOutputError();
    EXPECT_TRUE(WaitFor(other.calls, 2));
    CloseAudioOutput();
    EXPECT_EQ(other.oddSizes.load(), 0);
}

TEST_F(PlatformAudio, FailsWithAReasonWhenNoDeviceOpens)
{
    const char* configured = std::getenv("SDL_AUDIODRIVER");
    const std::string driver = configured != nullptr ? configured : "disk";
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    Counter counter;
    EXPECT_FALSE(OpenAudioOutput(44100, 2, 4096, Count, &counter));
    EXPECT_STRNE(AudioOutputError(), "");
    setenv("SDL_AUDIODRIVER", driver.c_str(), 1);

    EXPECT_FALSE(OpenAudioOutput(44100, 2, 4096, nullptr, &counter));
    EXPECT_STREQ(AudioOutputError(), "Invalid audio output parameters");
    EXPECT_FALSE(OpenAudioOutput(44100, 2, 0, Count, &counter));
    EXPECT_EQ(counter.calls.load(), 0);
}

} // namespace
} // namespace vanta::platform
