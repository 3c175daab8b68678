// Two threads as in a running game: the program thread plays, stops, pauses, resumes and changes settings on
// many channels while a second thread runs mix passes as the output callback would. Run under
// ThreadSanitizer it must stay quiet; everywhere, voices and buffers must all come back at the end.
#include "audio/waveout/sound.h"
#include "support/AudioTestSupport.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

namespace vanta::audio::test {
namespace {

// A small deterministic generator, so that a failing run can be repeated.
class Dice
{
public:
    explicit Dice(std::uint32_t seed) : state(seed) {}
    int Roll(int sides)
    {
        state = state * 1664525u + 1013904223u;
        return static_cast<int>((state >> 8) % static_cast<std::uint32_t>(sides));
    }

private:
    std::uint32_t state;
};

// One buffer of each layout with recognisable content; once-only or looping.
SoundBuffer* MakeSound(Dice& dice, bool loop)
{
    const int layout = dice.Roll(4);
    const int bits = layout < 2 ? 8 : 16;
    const int channels = layout % 2 + 1;
    const int frames = 200 + dice.Roll(6000);
    const int hertz = 8000 + dice.Roll(40000);
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(frames * channels * bits / 8));
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = static_cast<std::uint8_t>(i * 37);
    return CreateSoundBuffer(frames, bits, channels, hertz, bytes.data(), loop ? -1 : 0);
}

using MixerStress = ManualDeviceTest;

TEST_F(MixerStress, ProgramAndCallbackThreadsMeetOnlyThroughQueuesAndVoiceWords)
{
    const int buffersBefore = SoundBuffer::LiveCount();
    Dice dice(2024);
    std::vector<SoundBuffer*> sounds;
    for (int i = 0; i < 6; ++i)
        sounds.push_back(MakeSound(dice, i % 2 == 1));
    std::vector<int> channels;
    for (int i = 0; i < 48; ++i)
        channels.push_back(AllocChannelHandle());

    std::atomic<bool> done{false};
    std::atomic<int> passes{0};
    std::atomic<int> audiblePasses{0};
    std::thread callback([&] {
        std::vector<std::int16_t> out(PASS_VALUES);
        while (!done.load(std::memory_order_acquire)) {
            voices->Output16(out.data(), PASS_FRAMES);
            if (std::any_of(out.begin(), out.end(), [](std::int16_t value) { return value != 0; }))
                audiblePasses.fetch_add(1, std::memory_order_relaxed);
            passes.fetch_add(1, std::memory_order_release);
        }
    });

    for (int step = 0; step < 20000; ++step) {
        int& channel = channels[static_cast<std::size_t>(dice.Roll(static_cast<int>(channels.size())))];
        SoundBuffer*& sound = sounds[static_cast<std::size_t>(dice.Roll(static_cast<int>(sounds.size())))];
        switch (dice.Roll(14)) {
        case 0:
        case 1: PlaySoundBuffer(sound, dice.Roll(4) == 0 ? 1 : 0, channel); break;
        case 2:
            // Channels of their own only for once-only sounds: those always end and give their channel back.
            if (sound->loop == 0) PlaySoundBuffer(sound, 0, 0);
            break;
        case 3: StopChannelHandle(channel); break;
        case 4: PauseChannelHandle(channel, 1); break;
        case 5: PauseChannelHandle(channel, 0); break;
        case 6: SetChannelHandleVolume(channel, static_cast<std::int16_t>(dice.Roll(8192) - 1024)); break;
        case 7: SetChannelHandleRate(channel, dice.Roll(4 * RATE_NORMAL) - RATE_NORMAL / 2); break;
        case 8: SetChannelHandlePan(channel, static_cast<std::int16_t>(dice.Roll(8193) - 4096)); break;
        case 9: SetChannelHandleDepth(channel, static_cast<std::int16_t>(dice.Roll(3) - 1)); break;
        case 10: EXPECT_LE(ChannelStatus(channel), VOICE_LOOP | VOICE_PAUSED); break;
        case 11:
            if (dice.Roll(8) == 0) {
                FreeChannelHandle(channel);
                channel = AllocChannelHandle();
            }
            break;
        case 12:
            if (dice.Roll(50) == 0) {
                // The sound goes while its voices may still be playing it.
                const bool loop = sound->loop != 0;
                FreeSoundBuffer(sound);
                sound = MakeSound(dice, loop);
            }
            break;
        default: break;
        }
        // Let the callback run between bursts so that both sides really interleave.
        if (step % 100 == 0) {
            const int seen = passes.load(std::memory_order_acquire);
            while (passes.load(std::memory_order_acquire) == seen)
                std::this_thread::yield();
        }
    }

    for (int channel : channels)
        StopChannelHandle(channel);
    const int seen = passes.load(std::memory_order_acquire);
    while (passes.load(std::memory_order_acquire) < seen + 3)
        std::this_thread::yield();
    done.store(true, std::memory_order_release);
    callback.join();

    // Once-only voices on channels of their own end by themselves; everything else was stopped.
    for (int pass = 0; pass < 8 && voices->ActiveCount() > 0; ++pass) {
        voices->CollectRetired();
        Pass();
    }
    EXPECT_EQ(voices->ActiveCount(), 0);
    EXPECT_LE(voices->VoiceCount(), 400);
    // The loop above waited for a pass every 100 steps, so at least 200 passes met its changes; those passes
    // must have mixed the voices it played (a mixer that dropped them would give silence throughout).
    EXPECT_GT(audiblePasses.load(), 0);
    for (SoundBuffer* sound : sounds)
        FreeSoundBuffer(sound);
    EXPECT_EQ(SoundBuffer::LiveCount(), buffersBefore);
}

} // namespace
} // namespace vanta::audio::test
