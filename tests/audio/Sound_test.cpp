// Sounds and channels behind the silent driver: without a sound device every call still works and nothing
// plays; loading takes samples and urls alike.
#include "audio/Sound.h"
#include "audio/WAVLoader.h"
#include "audio/waveout/WaveOut.h"
#include "audio/waveout/WaveOutAudioDriver.h"
#include "runtime/Error.h"
#include "support/SoundTestSupport.h"

#include <cstdlib>

#include <gtest/gtest.h>

namespace vanta::test {
namespace {

class SilentSound : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        // No sound device: the wave-out driver's initialiser leaves the silent driver in place.
        setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
        InitWAVLoader();
        InitWaveOutAudioDriver();
    }
};

TEST_F(SilentSound, WithoutADeviceTheSilentDriverStays)
{
    EXPECT_EQ(audio::CurrentAudioDevice(), nullptr);
    ASSERT_FALSE(CurrentAudioDriver().IsNull());
    EXPECT_EQ(CurrentAudioDriver()->Class(), &classRecordOf<TAudioDriver>);
}

TEST_F(SilentSound, EverythingWorksAndNothingPlays)
{
    Ref<TSound> sound = LoadSound(String::FromCString(FixturePath("tone441_mono16.wav").c_str()), 1);
    ASSERT_FALSE(sound.IsNull());
    Ref<TChannel> channel = PlaySound(sound);
    ASSERT_FALSE(channel.IsNull());
    EXPECT_EQ(ChannelPlaying(channel), 0);
    EXPECT_NE(PlaySound(sound), channel);

    Ref<TChannel> allocated = AllocChannel();
    ASSERT_FALSE(allocated.IsNull());
    EXPECT_FALSE(PlaySound(sound, allocated).IsNull());
    Ref<TChannel> cued = CueSound(sound);
    ASSERT_FALSE(cued.IsNull());
    EXPECT_EQ(ChannelPlaying(cued), 0);
    SetChannelVolume(allocated, 0.5f);
    SetChannelPan(allocated, -1.0f);
    SetChannelDepth(allocated, 1.0f);
    SetChannelRate(allocated, 2.0f);
    PauseChannel(allocated);
    ResumeChannel(allocated);
    StopChannel(allocated);
    EXPECT_EQ(ChannelPlaying(allocated), 0);
}

TEST_F(SilentSound, LoadTakesSamplesAndUrls)
{
    Ref<TAudioSample> sample = CreateAudioSample(10, 8000, SF_MONO8);
    EXPECT_FALSE(LoadSound(sample).IsNull());
    Bytes bytes = ReadFixture("mono8.wav");
    EXPECT_FALSE(LoadSound(StreamOver(bytes)).IsNull());
    EXPECT_TRUE(LoadSound("/no/such/sound.wav"_s).IsNull());
    Bytes junk(100, 3);
    EXPECT_TRUE(LoadSound(StreamOver(junk)).IsNull());
}

TEST_F(SilentSound, NullSoundsAndChannelsAreErrors)
{
    Ref<TSound> sound = LoadSound(CreateAudioSample(10, 8000, SF_MONO8));
    EXPECT_THROW(PlaySound(Null), Exception);
    EXPECT_THROW(StopChannel(Null), Exception);
    EXPECT_THROW(ChannelPlaying(Null), Exception);
    EXPECT_THROW(SetChannelVolume(Null, 1.0f), Exception);
    // A channel of another driver is not an error for the silent driver's sounds.
    EXPECT_FALSE(PlaySound(sound, TWaveOutChannel::Create(4097)).IsNull());
}

} // namespace
} // namespace vanta::test
