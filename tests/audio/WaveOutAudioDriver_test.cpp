// The wave-out driver against the real mixer, on a device whose passes the test runs: channels of their own
// and allocated channels, looping and once-only sounds, cueing, the controls' conversion to fixed point,
// channel handles that come back when their objects go, and buffers that go with their sounds.
#include "audio/Sound.h"
#include "audio/waveout/SoundBuffer.h"
#include "audio/waveout/WaveOutAudioDriver.h"
#include "audio/waveout/sound.h"
#include "support/AudioTestSupport.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include <gtest/gtest.h>

namespace vanta::test {
namespace {

using audio::test::Left;
using audio::test::Right;

class WaveOutDriver : public audio::test::ManualDeviceTest
{
protected:
    void SetUp() override
    {
        ManualDeviceTest::SetUp();
        InitAudio();
        silent = CurrentAudioDriver();
        SetCurrentAudioDriver(New<TWaveOutAudioDriver>());
    }
    void TearDown() override
    {
        SetCurrentAudioDriver(silent);
        ManualDeviceTest::TearDown();
    }

    // A 44 100 Hz mono 16-bit sound of `frames` frames holding `value`, looping when `flags` is non-zero.
    static Ref<TSound> Constant(std::int32_t frames, std::int16_t value, std::int32_t flags)
    {
        Ref<TAudioSample> sample = CreateAudioSample(frames, 44100, SF_MONO16LE);
        for (std::int32_t i = 0; i < frames; ++i)
            std::memcpy(sample->samples + 2 * i, &value, 2);
        return LoadSound(sample, flags);
    }

    Ref<TAudioDriver> silent;
};

TEST_F(WaveOutDriver, PlayingTwiceWithoutAChannelPlaysTwoVoicesTogether)
{
    Ref<TSound> sound = Constant(100, 1000, 1);
    Ref<TChannel> first = PlaySound(sound);
    Ref<TChannel> second = PlaySound(sound);
    ASSERT_FALSE(first.IsNull());
    ASSERT_FALSE(second.IsNull());
    EXPECT_NE(first, second);
    const auto out = Pass();
    EXPECT_EQ(Left(out, 10), 2000);
    EXPECT_EQ(Right(out, 10), 2000);
    EXPECT_EQ(ChannelPlaying(first), 1);
    EXPECT_EQ(ChannelPlaying(second), 1);
}

TEST_F(WaveOutDriver, PlayingOnAnAllocatedChannelReturnsItAndStopsWhatItPlayed)
{
    Ref<TSound> low = Constant(100, 1000, 1);
    Ref<TSound> high = Constant(100, 3000, 1);
    Ref<TChannel> channel = AllocChannel();
    ASSERT_FALSE(channel.IsNull());
    EXPECT_EQ(ChannelPlaying(channel), 0);
    EXPECT_EQ(PlaySound(low, channel), channel);
    EXPECT_EQ(Left(Pass(), 5), 1000);
    EXPECT_EQ(PlaySound(high, channel), channel);
    auto out = Pass(); // the first voice fades out over this pass
    EXPECT_EQ(Left(out, 0), 1000 + 3000);
    EXPECT_EQ(Left(out, 4095), 3000);
    out = Pass();
    EXPECT_EQ(Left(out, 0), 3000);
    EXPECT_EQ(voices->ActiveCount(), 1);
}

TEST_F(WaveOutDriver, LoopingSoundsPlayUntilStoppedOnceOnlySoundsEndByThemselves)
{
    Ref<TChannel> looping = PlaySound(Constant(100, 500, 1));
    Ref<TChannel> once = PlaySound(Constant(1000, 700, 0));
    EXPECT_EQ(Left(Pass(), 10), 1200);
    for (int pass = 0; pass < 3; ++pass)
        EXPECT_EQ(Left(Pass(), 10), 500);
    EXPECT_EQ(ChannelPlaying(looping), 1);
    EXPECT_EQ(ChannelPlaying(once), 0);

    StopChannel(looping);
    Pass();
    EXPECT_EQ(ChannelPlaying(looping), 0);
    EXPECT_EQ(Left(Pass(), 10), 0);

    // Any non-zero flags value loops.
    Ref<TChannel> flagged = PlaySound(Constant(100, 100, 2));
    for (int pass = 0; pass < 3; ++pass)
        Pass();
    EXPECT_EQ(ChannelPlaying(flagged), 1);
}

TEST_F(WaveOutDriver, AChannelWhosePlaybackStoppedOrEndedPlaysAgain)
{
    Ref<TSound> looping = Constant(100, 600, 1);
    Ref<TChannel> channel = PlaySound(looping);
    ASSERT_FALSE(channel.IsNull());
    StopChannel(channel);
    Pass();
    Pass();
    EXPECT_EQ(ChannelPlaying(channel), 0);
    // The stopped playback gave its channel back; playing on the channel object again still works.
    EXPECT_EQ(PlaySound(looping, channel), channel);
    EXPECT_EQ(ChannelPlaying(channel), 1);
    EXPECT_EQ(Left(Pass(), 10), 600);

    Ref<TChannel> once = PlaySound(Constant(100, 400, 0));
    Pass();
    Pass();
    EXPECT_EQ(ChannelPlaying(once), 0);
    EXPECT_EQ(PlaySound(looping, once), once);
    EXPECT_EQ(Left(Pass(), 10), 1200) << "both channels play the looping sound";
}

TEST_F(WaveOutDriver, ACuedSoundReportsPlayingAndIsSilentUntilResumed)
{
    Ref<TSound> sound = Constant(100, 900, 1);
    Ref<TChannel> channel = CueSound(sound);
    ASSERT_FALSE(channel.IsNull());
    EXPECT_EQ(ChannelPlaying(channel), 1);
    EXPECT_EQ(Left(Pass(), 0), 0);
    EXPECT_EQ(Left(Pass(), 100), 0);
    ResumeChannel(channel);
    EXPECT_EQ(Left(Pass(), 0), 900);
    PauseChannel(channel);
    EXPECT_EQ(ChannelPlaying(channel), 1);

    // Cueing on an allocated channel gives that channel.
    Ref<TChannel> allocated = AllocChannel();
    EXPECT_EQ(CueSound(sound, allocated), allocated);
    EXPECT_EQ(ChannelPlaying(allocated), 1);
}

TEST_F(WaveOutDriver, SamplesAreConvertedToTheDevicesLayout)
{
    Ref<TAudioSample> sample = CreateAudioSample(50, 44100, SF_STEREO8);
    for (int i = 0; i < 50; ++i) {
        sample->samples[2 * i] = 192;
        sample->samples[2 * i + 1] = 64;
    }
    Ref<TChannel> channel = PlaySound(LoadSound(sample, 1));
    const auto out = Pass();
    EXPECT_EQ(Left(out, 3), 192 * 257 - 32768);
    EXPECT_EQ(Right(out, 3), 64 * 257 - 32768);
}

// The level of a constant 1000 played on a fresh channel whose controls were set before it played.
struct Level
{
    std::int16_t left;
    std::int16_t right;
};

TEST_F(WaveOutDriver, ControlsTruncateToFixedPointAndSaturateBeyondTheirRange)
{
    Ref<TSound> sound = Constant(100, 1000, 1);
    auto levelWith = [&](float volume, float pan) {
        Ref<TChannel> channel = AllocChannel();
        SetChannelVolume(channel, volume);
        SetChannelPan(channel, pan);
        PlaySound(sound, channel);
        const auto out = Pass();
        StopChannel(channel);
        Pass();
        return Level{Left(out, 10), Right(out, 10)};
    };
    Level level = levelWith(0.5f, 0.0f);
    EXPECT_EQ(level.left, 500);
    EXPECT_EQ(level.right, 500);
    level = levelWith(1.0f, -1.0f); // full left
    EXPECT_EQ(level.left, 1000);
    EXPECT_EQ(level.right, 0);
    level = levelWith(1.0f, 0.5f); // half right: the left side at half
    EXPECT_EQ(level.left, 500);
    EXPECT_EQ(level.right, 1000);
    // 0.3 * 4096 = 1228.8 truncates to 1228: (1000 * 1228) >> 8 >> 4 = 299.
    level = levelWith(0.3f, 0.0f);
    EXPECT_EQ(level.left, 299);

    // Volume 8 is 32768, one past what 16 bits hold: it saturates to 32767 (nearly 8 times louder), where
    // wrapping round would have inverted the sound. Huge values and infinities saturate the same way, and
    // NaN counts as 0.
    level = levelWith(8.0f, 0.0f);
    EXPECT_EQ(level.left, (1000 * 32767 >> 8) >> 4);
    EXPECT_EQ(levelWith(1e30f, 0.0f).left, (1000 * 32767 >> 8) >> 4);
    EXPECT_EQ(levelWith(-std::numeric_limits<float>::infinity(), 0.0f).left, (1000 * -32768 >> 8) >> 4);
    EXPECT_EQ(levelWith(std::numeric_limits<float>::quiet_NaN(), 0.0f).left, 0);
    EXPECT_EQ(levelWith(1.0f, std::numeric_limits<float>::quiet_NaN()).right, 1000);

    // A negative depth inverts the right side.
    Ref<TChannel> channel = AllocChannel();
    SetChannelDepth(channel, -1.0f);
    PlaySound(sound, channel);
    const auto out = Pass();
    EXPECT_EQ(Left(out, 10), 1000);
    EXPECT_EQ(Right(out, 10), -1000);
}

TEST_F(WaveOutDriver, RateSaturatesAndNaNHoldsTheSoundStill)
{
    Ref<TSound> once = Constant(100, 1000, 0);
    // At rate NaN (0) a once-only sound never reaches its end.
    Ref<TChannel> still = AllocChannel();
    SetChannelRate(still, std::numeric_limits<float>::quiet_NaN());
    PlaySound(once, still);
    // Rates far beyond 32 bits saturate instead of being undefined; the sound simply ends at once.
    Ref<TChannel> fast = AllocChannel();
    SetChannelRate(fast, 1e20f);
    PlaySound(once, fast);
    Ref<TChannel> normal = PlaySound(once);
    Pass();
    Pass();
    EXPECT_EQ(ChannelPlaying(still), 1);
    EXPECT_EQ(ChannelPlaying(fast), 0);
    EXPECT_EQ(ChannelPlaying(normal), 0);
}

TEST_F(WaveOutDriver, ForeignChannelsAreRefused)
{
    Ref<TSound> sound = Constant(100, 1000, 1);
    EXPECT_TRUE(PlaySound(sound, New<TChannel>()).IsNull());
    EXPECT_TRUE(CueSound(sound, New<TChannel>()).IsNull());
    EXPECT_EQ(voices->ActiveCount(), 0);
    Pass();
    EXPECT_EQ(voices->ActiveCount(), 0);
}

TEST_F(WaveOutDriver, AllocatedChannelsComeBackWhenTheirObjectsGo)
{
    Ref<TSound> once = Constant(200, 100, 0);
    // Far more channels than there are handles, each dropped after use while its sound may still play.
    for (int round = 0; round < 10000; ++round) {
        const int level = ReleaseStackLevel();
        {
            Ref<TChannel> channel = AllocChannel();
            ASSERT_FALSE(channel.IsNull()) << round;
            ASSERT_EQ(PlaySound(once, channel), channel);
        }
        FlushReleaseStack(level);
        if (round % 1000 == 999) Pass();
    }

    // Held, the handles run out as the mixer's table says; let go, they come back.
    {
        const int level = ReleaseStackLevel();
        std::vector<Ref<TChannel>> held;
        for (Ref<TChannel> channel = AllocChannel(); !channel.IsNull(); channel = AllocChannel())
            held.push_back(channel);
        EXPECT_GE(held.size(), 4000u);
        EXPECT_TRUE(AllocChannel().IsNull());
        held.clear();
        FlushReleaseStack(level);
    }
    EXPECT_FALSE(AllocChannel().IsNull());
}

TEST_F(WaveOutDriver, ChannelsOfTheirOwnPlayedOnAgainComeBackWhenTheirObjectsGo)
{
    // Playing on the channel a playback took for itself keeps that channel for the object that names it,
    // as long as the object lives; afterwards the handle comes back like an allocated channel's.
    Ref<TSound> loop = Constant(100, 1000, 1);
    Ref<TSound> once = Constant(100, 3000, 0);
    for (int round = 0; round < 5000; ++round) {
        const int level = ReleaseStackLevel();
        {
            Ref<TChannel> channel = PlaySound(loop);
            ASSERT_FALSE(channel.IsNull()) << round;
            ASSERT_EQ(PlaySound(once, channel), channel);
            if (round == 0) {
                Pass();
                Pass();
                // The second sound has ended; the channel is still the object's to play on.
                EXPECT_EQ(ChannelPlaying(channel), 0);
                EXPECT_EQ(PlaySound(loop, channel), channel);
                EXPECT_EQ(ChannelPlaying(channel), 1);
                StopChannel(channel);
            }
        }
        FlushReleaseStack(level);
        if (round % 1000 == 999) Pass();
    }
    Pass();
    EXPECT_FALSE(PlaySound(once).IsNull());
    EXPECT_FALSE(AllocChannel().IsNull());
}

TEST_F(WaveOutDriver, DroppingAChannelObjectDoesNotCutItsSound)
{
    Ref<TSound> loop = Constant(100, 1000, 1);
    const int level = ReleaseStackLevel();
    std::int32_t handle = 0;
    std::int32_t cuedHandle = 0;
    {
        Ref<TChannel> channel = AllocChannel();
        PlaySound(loop, channel);
        handle = Downcast<TWaveOutChannel>(channel)->handle;
        Ref<TChannel> cued = AllocChannel();
        CueSound(loop, cued);
        cuedHandle = Downcast<TWaveOutChannel>(cued)->handle;
    }
    FlushReleaseStack(level);
    EXPECT_EQ(Left(Pass(), 10), 1000);
    EXPECT_EQ(audio::ChannelStatus(handle), audio::VOICE_LOOP);
    // A paused channel nobody holds can never be resumed: its handle went back at once.
    EXPECT_EQ(audio::ChannelStatus(cuedHandle), 0);
}

TEST_F(WaveOutDriver, BuffersGoWithTheirSoundsOnceNoVoicePlaysThem)
{
    const int before = audio::SoundBuffer::LiveCount();
    const int level = ReleaseStackLevel();
    {
        Ref<TSound> sound = Constant(5000, 100, 0);
        EXPECT_EQ(audio::SoundBuffer::LiveCount(), before + 1);
        PlaySound(sound);
    }
    FlushReleaseStack(level);
    EXPECT_EQ(audio::SoundBuffer::LiveCount(), before + 1); // the voice still plays it
    Pass();
    Pass();
    AllocChannel(); // any program-thread call collects the finished voice
    EXPECT_EQ(audio::SoundBuffer::LiveCount(), before);
}

} // namespace
} // namespace vanta::test
