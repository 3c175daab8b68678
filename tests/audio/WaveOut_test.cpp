// The channel functions over a device whose passes the test runs: handles, status, stale handles, settings,
// queue limits, and the reclaiming of voices, channels and buffers.
#include "audio/waveout/ChannelTable.h"
#include "audio/waveout/sound.h"
#include "support/AudioTestSupport.h"

#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

namespace vanta::audio::test {
namespace {

// A mono 16-bit buffer of `frames` frames at 44 100 Hz holding `value`, made through the plain function.
SoundBuffer* Constant(int frames, std::int16_t value, int loop)
{
    const std::vector<std::int16_t> samples(static_cast<std::size_t>(frames), value);
    return CreateSoundBuffer(frames, 16, 1, OUTPUT_RATE, samples.data(), loop);
}

// The number of free channels, counted by taking them all and giving them back.
int CountFreeChannels()
{
    std::vector<int> taken;
    for (int handle = AllocChannelHandle(); handle != 0; handle = AllocChannelHandle())
        taken.push_back(handle);
    for (int handle : taken)
        FreeChannelHandle(handle);
    return static_cast<int>(taken.size());
}

TEST(WaveOut, WithoutADeviceEverythingIsSilent)
{
    ASSERT_EQ(CurrentAudioDevice(), nullptr);
    const std::int16_t samples[4] = {1, 2, 3, 4};
    EXPECT_EQ(CreateSoundBuffer(4, 16, 1, OUTPUT_RATE, samples, 0), nullptr);
    EXPECT_EQ(AllocChannelHandle(), 0);
    EXPECT_EQ(PlaySoundBuffer(nullptr, 0, 0), 0);
    EXPECT_EQ(PlaySoundBuffer(nullptr, 0, 8193), 8193);
    EXPECT_EQ(ChannelStatus(8193), 0);
    StopChannelHandle(8193);
    PauseChannelHandle(8193, 1);
    SetChannelHandleVolume(8193, 100);
    SetChannelHandleRate(8193, 100);
    FreeChannelHandle(8193);
    FreeSoundBuffer(nullptr);
    CloseAudioDevice();
}

TEST(WaveOut, OpeningTwiceKeepsTheFirstDevice)
{
    ASSERT_EQ(OpenAudioDevice(std::make_unique<ManualDevice>()), 0);
    audiodevice* first = CurrentAudioDevice();
    EXPECT_EQ(OpenAudioDevice(std::make_unique<ManualDevice>()), -1);
    EXPECT_EQ(OpenAudioDevice(), 0);
    EXPECT_EQ(CurrentAudioDevice(), first);
    CloseAudioDevice();
    EXPECT_EQ(CurrentAudioDevice(), nullptr);
    CloseAudioDevice();
}

using WaveOutChannels = ManualDeviceTest;

TEST_F(WaveOutChannels, HandlesCarrySlotAndGeneration)
{
    const int first = AllocChannelHandle();
    const int second = AllocChannelHandle();
    EXPECT_EQ(first, 1 | 8192);
    EXPECT_EQ(second, 2 | 8192);
    FreeChannelHandle(first);
    const int again = AllocChannelHandle();
    EXPECT_EQ(again, 1 | 12288); // the same slot, one generation on

    // A million reuses of one slot wrap the generation instead of overflowing it; handles stay non-zero.
    int handle = again;
    for (int i = 0; i < (1 << 20) + 5; ++i) {
        FreeChannelHandle(handle);
        handle = AllocChannelHandle();
        ASSERT_EQ(handle & ChannelTable::SLOT_MASK, 1);
    }
    EXPECT_EQ(ChannelStatus(handle), VOICE_IDLE);
    EXPECT_EQ(ChannelStatus(again), 0);
}

TEST_F(WaveOutChannels, OnceOnlyVoiceStatusAfterItsEnd)
{
    SoundBuffer* buffer = Constant(1000, 1000, 0);
    const int own = PlaySoundBuffer(buffer, 0, 0);
    const int explicitChannel = AllocChannelHandle();
    EXPECT_EQ(ChannelStatus(explicitChannel), VOICE_IDLE); // nothing played yet
    EXPECT_EQ(PlaySoundBuffer(buffer, 0, explicitChannel), explicitChannel);
    ASSERT_NE(own, 0);
    EXPECT_EQ(ChannelStatus(own), VOICE_ONCE);
    EXPECT_EQ(ChannelStatus(explicitChannel), VOICE_ONCE);
    Pass();
    // On its own channel the ended voice reports 0 (and the channel goes back); on an explicit one, 1.
    EXPECT_EQ(ChannelStatus(own), 0);
    EXPECT_EQ(ChannelStatus(explicitChannel), VOICE_IDLE);
    Pass();
    EXPECT_EQ(ChannelStatus(explicitChannel), VOICE_IDLE);
    FreeSoundBuffer(buffer);
}

TEST_F(WaveOutChannels, ReplayingOnAChannelOfItsOwnKeepsTheNewVoice)
{
    // The channel taken for the first playback goes back only while that playback is still its voice:
    // giving it back when the first voice retires would stop the second.
    SoundBuffer* first = Constant(100, 1000, -1);
    SoundBuffer* second = Constant(100, 2000, -1);
    const int handle = PlaySoundBuffer(first, 0, 0);
    Pass();
    EXPECT_EQ(PlaySoundBuffer(second, 0, handle), handle);
    Pass(); // the first voice fades out and is handed back
    Pass();
    EXPECT_EQ(ChannelStatus(handle), VOICE_LOOP);
    const auto out = Pass();
    EXPECT_EQ(Left(out, 7), 2000);
    EXPECT_EQ(voices->ActiveCount(), 1);
    FreeSoundBuffer(first);
    FreeSoundBuffer(second);
}

TEST_F(WaveOutChannels, PlayingWithoutAFreeChannelStillStartsTheVoice)
{
    std::vector<int> handles;
    for (int handle = AllocChannelHandle(); handle != 0; handle = AllocChannelHandle())
        handles.push_back(handle);
    EXPECT_EQ(handles.size(), 4095u);

    SoundBuffer* buffer = Constant(100, 3000, -1);
    EXPECT_EQ(PlaySoundBuffer(buffer, 0, 0), 0);
    const auto out = Pass();
    EXPECT_EQ(Left(out, 10), 3000);
    EXPECT_EQ(voices->ActiveCount(), 1);
    FreeSoundBuffer(buffer);
}

TEST_F(WaveOutChannels, StaleHandlesDoNothing)
{
    SoundBuffer* buffer = Constant(100, 3000, -1);
    const int handle = AllocChannelHandle();
    ASSERT_EQ(PlaySoundBuffer(buffer, 0, handle), handle);
    FreeChannelHandle(handle);
    EXPECT_EQ(ChannelStatus(handle), 0);
    Pass();
    EXPECT_EQ(voices->ActiveCount(), 0); // freeing the channel stopped its voice

    // Stale before its slot is reused: nothing starts, nothing is kept.
    SetChannelHandleVolume(handle, 0);
    EXPECT_EQ(PlaySoundBuffer(buffer, 0, handle), 0);
    EXPECT_EQ(ChannelStatus(handle), 0);
    Pass();
    EXPECT_EQ(voices->ActiveCount(), 0);

    // Stale after its slot went to someone else: the new owner is left alone.
    const int owner = AllocChannelHandle();
    ASSERT_EQ(owner & ChannelTable::SLOT_MASK, handle & ChannelTable::SLOT_MASK);
    ASSERT_EQ(PlaySoundBuffer(buffer, 0, owner), owner);
    StopChannelHandle(handle);
    PauseChannelHandle(handle, 1);
    SetChannelHandleVolume(handle, 0);
    SetChannelHandlePan(handle, 4096);
    SetChannelHandleRate(handle, 0);
    FreeChannelHandle(handle);
    EXPECT_EQ(PlaySoundBuffer(buffer, 0, handle), 0);
    EXPECT_EQ(ChannelStatus(owner), VOICE_LOOP);
    const auto out = Pass();
    EXPECT_EQ(Left(out, 1), 3000);
    EXPECT_EQ(Right(out, 1), 3000);
    EXPECT_EQ(voices->ActiveCount(), 1);

    // Handle 0 and made-up handles are never channels.
    EXPECT_EQ(ChannelStatus(0), 0);
    EXPECT_EQ(ChannelStatus(4095), 0);
    FreeSoundBuffer(buffer);
}

TEST_F(WaveOutChannels, SettingsStayWithTheChannel)
{
    SoundBuffer* buffer = Constant(100, 8000, -1);
    const int handle = AllocChannelHandle();
    // Made before anything plays, kept for the first voice.
    SetChannelHandleVolume(handle, 2048);
    SetChannelHandlePan(handle, 4096);
    SetChannelHandleRate(handle, 2 * RATE_NORMAL);
    ASSERT_EQ(PlaySoundBuffer(buffer, 0, handle), handle);
    auto out = Pass();
    EXPECT_EQ(Left(out, 3), 0);
    EXPECT_EQ(Right(out, 3), 4000);

    // A second voice on the channel stops the first and starts with the channel's settings, no ramp.
    SetChannelHandlePan(handle, -4096);
    SetChannelHandleDepth(handle, -4096);
    ASSERT_EQ(PlaySoundBuffer(buffer, 0, handle), handle);
    out = Pass();
    EXPECT_EQ(voices->ActiveCount(), 1);
    EXPECT_EQ(Right(out, 3000), 0);
    EXPECT_EQ(Left(out, 0), 4000 + 4000); // the stopped voice's fade starts at full level
    EXPECT_EQ(Left(out, 4095), 4000 + 0);
    out = Pass();
    EXPECT_EQ(Left(out, 0), 4000);
    FreeSoundBuffer(buffer);
}

TEST_F(WaveOutChannels, CuePauseAndResume)
{
    SoundBuffer* buffer = Constant(100, 1200, -1);
    const int handle = PlaySoundBuffer(buffer, 1, 0);
    EXPECT_EQ(ChannelStatus(handle), VOICE_LOOP | VOICE_PAUSED);
    EXPECT_EQ(Left(Pass(), 0), 0);
    PauseChannelHandle(handle, 0);
    EXPECT_EQ(ChannelStatus(handle), VOICE_LOOP);
    EXPECT_EQ(Left(Pass(), 0), 1200);
    PauseChannelHandle(handle, 1);
    EXPECT_EQ(ChannelStatus(handle), VOICE_LOOP | VOICE_PAUSED);

    // Pausing a stopped channel must not make it look as if it were playing.
    const int stopped = AllocChannelHandle();
    PlaySoundBuffer(buffer, 0, stopped);
    StopChannelHandle(stopped);
    PauseChannelHandle(stopped, 1);
    EXPECT_EQ(ChannelStatus(stopped), VOICE_IDLE);
    FreeSoundBuffer(buffer);
}

TEST_F(WaveOutChannels, ReplayingForAnHourKeepsVoicesBounded)
{
    // A game replaying short sounds on eight channels and on channels of their own, stopping some and
    // touching settings, many times over: the voices, the active list and the channels stay bounded.
    SoundBuffer* shortSound = Constant(500, 100, 0);
    SoundBuffer* loop = Constant(100, 100, -1);
    std::vector<int> channels;
    for (int i = 0; i < 8; ++i)
        channels.push_back(AllocChannelHandle());
    const int freeChannels = 4095 - 8;

    int largestActive = 0;
    for (int round = 0; round < 3000; ++round) {
        const int channel = channels[static_cast<std::size_t>(round % 8)];
        PlaySoundBuffer(round % 3 == 0 ? loop : shortSound, 0, channel);
        SetChannelHandleVolume(channel, static_cast<std::int16_t>(round % 4096));
        const int own = PlaySoundBuffer(shortSound, 0, 0);
        if (round % 5 == 0) StopChannelHandle(own);
        if (round % 7 == 0) StopChannelHandle(channel);
        if (round % 4 == 0) {
            Pass();
            largestActive = std::max(largestActive, voices->ActiveCount());
        }
    }
    EXPECT_LE(largestActive, 8 + 8);
    EXPECT_LE(voices->VoiceCount(), 64);

    for (int channel : channels)
        StopChannelHandle(channel);
    Pass();
    Pass();
    EXPECT_EQ(voices->ActiveCount(), 0);
    // Every channel taken for a single playback came back.
    EXPECT_EQ(CountFreeChannels(), freeChannels);
    FreeSoundBuffer(shortSound);
    FreeSoundBuffer(loop);
}

TEST_F(WaveOutChannels, SettingsHoldersAreReused)
{
    // Every channel touched before it plays gets a settings holder; freeing the channel gives it back.
    for (int round = 0; round < 5000; ++round) {
        const int handle = AllocChannelHandle();
        SetChannelHandleVolume(handle, 1000);
        EXPECT_EQ(ChannelStatus(handle), VOICE_IDLE);
        FreeChannelHandle(handle);
    }
    EXPECT_EQ(voices->VoiceCount(), 1);
}

TEST_F(WaveOutChannels, BufferGoesWithItsLastUseOnTheProgramThread)
{
    const int before = SoundBuffer::LiveCount();
    SoundBuffer* buffer = Constant(5000, 100, 0);
    const int handle = PlaySoundBuffer(buffer, 0, 0);
    ASSERT_NE(handle, 0);
    FreeSoundBuffer(buffer); // the sound lets go; the voice still plays it
    EXPECT_EQ(SoundBuffer::LiveCount(), before + 1);
    EXPECT_EQ(Left(Pass(), 0), 100);
    // The voice ends in this pass and is handed back, still holding its use: the mixer freed nothing.
    Pass();
    EXPECT_EQ(voices->ActiveCount(), 0);
    EXPECT_EQ(SoundBuffer::LiveCount(), before + 1);
    // The next program-thread call collects the voice and drops the last use.
    EXPECT_EQ(ChannelStatus(handle), 0);
    EXPECT_EQ(SoundBuffer::LiveCount(), before);
}

TEST_F(WaveOutChannels, FullQueueRefusesToStartAndChangesNothing)
{
    SoundBuffer* buffer = Constant(100, 700, -1);
    const int playing = AllocChannelHandle();
    const int busy = AllocChannelHandle();
    ASSERT_EQ(PlaySoundBuffer(buffer, 0, playing), playing);
    Pass();
    // 4095 voices wait for the next pass: the queue is full.
    for (int i = 0; i < mixer::QUEUE_LENGTH - 1; ++i)
        ASSERT_EQ(PlaySoundBuffer(buffer, 1, busy), busy) << i;
    const int freeBefore = CountFreeChannels();

    // Refused: the playing channel keeps its voice and no channel is taken for a playback of its own.
    EXPECT_EQ(PlaySoundBuffer(buffer, 0, playing), 0);
    EXPECT_EQ(PlaySoundBuffer(buffer, 0, 0), 0);
    EXPECT_EQ(ChannelStatus(playing), VOICE_LOOP);
    EXPECT_EQ(CountFreeChannels(), freeBefore);
    EXPECT_EQ(Left(Pass(), 0), 700);

    // After the pass the queue has room again.
    EXPECT_EQ(PlaySoundBuffer(buffer, 0, playing), playing);
    FreeSoundBuffer(buffer);
}

TEST_F(WaveOutChannels, BufferFormatsAndWrites)
{
    EXPECT_EQ(CreateSoundBuffer(10, 24, 1, OUTPUT_RATE, nullptr, 0), nullptr);
    EXPECT_EQ(CreateSoundBuffer(10, 16, 3, OUTPUT_RATE, nullptr, 0), nullptr);
    EXPECT_EQ(CreateSoundBuffer(10, 16, 0, OUTPUT_RATE, nullptr, 0), nullptr);
    EXPECT_EQ(CreateSoundBuffer(-1, 16, 1, OUTPUT_RATE, nullptr, 0), nullptr);
    EXPECT_EQ(CreateSoundBuffer(10, 16, 1, 0, nullptr, 0), nullptr);
    EXPECT_EQ(CreateSoundBuffer(0x40000000, 16, 2, OUTPUT_RATE, nullptr, 0), nullptr);

    SoundBuffer* buffer = CreateSoundBuffer(6, 8, 2, 22050, nullptr, 0);
    ASSERT_NE(buffer, nullptr);
    EXPECT_EQ(buffer->bytesPerFrame, 2);
    EXPECT_EQ(buffer->byteSize, 12u);
    EXPECT_EQ(buffer->data[0], 128); // unwritten 8-bit frames are silence
    const std::uint8_t first[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    EXPECT_EQ(WriteSoundBuffer(buffer, first, 4), 4);
    EXPECT_EQ(buffer->writePointer, buffer->data + 8);
    EXPECT_EQ(WriteSoundBuffer(buffer, first, 4), 2); // only two frames of room left
    EXPECT_EQ(buffer->data[8], 1);
    EXPECT_EQ(buffer->data[11], 4);
    EXPECT_EQ(buffer->writePointer, buffer->data);
    EXPECT_EQ(WriteSoundBuffer(buffer, first, 1), 0);
    FreeSoundBuffer(buffer);

    // While a voice plays a buffer its data does not change under the callback.
    SoundBuffer* playing = CreateSoundBuffer(6, 8, 1, OUTPUT_RATE, nullptr, -1);
    const int handle = PlaySoundBuffer(playing, 0, 0);
    EXPECT_EQ(WriteSoundBuffer(playing, first, 2), 0);
    StopChannelHandle(handle);
    Pass();
    Pass();
    EXPECT_EQ(WriteSoundBuffer(playing, first, 2), 2);
    FreeSoundBuffer(playing);
}

} // namespace
} // namespace vanta::audio::test
