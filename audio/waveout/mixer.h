// The software mixer: sums the playing voices into a 32-bit accumulator of interleaved stereo values and
// turns it into 16-bit output, one pass per device buffer.
// Builds on: output, sound, SoundBuffer, ChannelTable.
//
// Threads: Mix and Output16 run on the callback thread; AllocVoice, AddVoice, CollectRetired, Recycle and
// the set-up calls run on the program thread. The two meet only through the new-voice and retired-voice
// queues (single-producer, single-consumer rings with acquire/release indices) and the single-word voice
// fields. The callback thread allocates nothing, frees nothing and takes no lock.
//
// Voice life: AllocVoice takes an unused voice (or makes one), AddVoice queues it; the mix pass moves it to
// the active list, mixes it, and once it is stopped or finished unlinks it and queues it back on the retired
// queue. The program thread collects retired voices (dropping their buffer use, giving back their own
// channel) and reuses a voice once neither the mixer nor a channel slot refers to it.
#pragma once

#include "audio/waveout/output.h"

#include <atomic>
#include <cstdint>
#include <memory>
#include <vector>

namespace vanta::audio {

class ChannelTable;
class SoundBuffer;
class sound;

class mixer final : public output
{
public:
    // Entries in each voice queue; a queue holds at most QUEUE_LENGTH - 1 voices between two drains.
    static constexpr int QUEUE_LENGTH = 4096;

    // A mixer with `accumulatorLength` values (an even number: interleaved left, right), all zero.
    explicit mixer(int accumulatorLength);
    // Drops the buffer uses its voices still hold and deletes every voice. No pass may run any more.
    ~mixer() override;

    mixer(const mixer&) = delete;
    mixer& operator=(const mixer&) = delete;

    // The mixer's own parameters are fixed: setters do nothing, getters give 65536, 4096, 0 and 0. A voice
    // made from the mixer as template therefore starts with the defaults.
    void SetRate(int) override {}
    void SetVolume(std::int16_t) override {}
    void SetPan(std::int16_t) override {}
    void SetDepth(std::int16_t) override {}
    int GetRate(int) const override { return RATE_NORMAL; }
    std::int16_t GetVolume(int) const override { return VOLUME_FULL; }
    std::int16_t GetPan(int) const override { return 0; }
    std::int16_t GetDepth(int) const override { return 0; }

    // Set by the device before any pass runs. Only 2 output channels are mixed.
    void SetOutput(int rate, int channels);
    int OutputRate() const { return outputRate; }
    int OutputChannels() const { return outputChannels; }
    int AccumulatorLength() const { return accumulatorLength; }
    // The accumulator itself; values left in it are added to the next output pass.
    std::int32_t* Accumulator() { return accumulator.get(); }

    // --- callback thread ---------------------------------------------------------------------------------

    // One mix pass over the first `count` accumulator values (count / 2 stereo frames, at most the length).
    void Mix(int count);

    // Fills `frames` interleaved stereo frames: a mix pass per accumulator's worth, each value clipped to
    // 16 bits (above 524271 gives 32767, below -524288 gives -32768, else value >> 4) and reset to 0.
    void Output16(std::int16_t* samples, int frames);

    // --- program thread ----------------------------------------------------------------------------------

    // A voice ready to start: an unused one or a new one, with the defaults, or with the target settings of
    // `templ` as both current and target values when given. Retired voices become unused only through
    // CollectRetired, which the caller runs first (never in between: collecting may free a channel slot).
    sound* AllocVoice(const output* templ);

    // Starts a voice on `buffer` with `state`, taking one use of the buffer, and queues it for the next pass.
    // `autoChannel` is the handle of a channel allocated for this playback alone (0 for none). Returns the
    // voice, or nullptr when the buffer is null or has no channels, no output rate is set, or the new-voice
    // queue is full (the voice is then not started: a queued entry is never overwritten).
    sound* AddVoice(SoundBuffer* buffer, const output* templ, int state, int autoChannel = 0);

    // Takes back every voice the mixer has retired: drops its buffer use, frees its own channel when that
    // channel still plays it, and makes it reusable unless a channel slot still refers to it.
    void CollectRetired();

    // Called when a channel slot no longer refers to `voice`: reusable now unless the mixer still holds it.
    void Recycle(sound* voice);

    // The channel table whose own channels retired voices give back (nullptr for none).
    void AttachChannels(ChannelTable* table) { channels = table; }

    // Voices made so far (each is reused, never freed, until the mixer goes).
    int VoiceCount() const { return static_cast<int>(voices.size()); }

    // Voices in the active list. Diagnostic: only while no pass runs.
    int ActiveCount() const;

private:
    // A single-producer, single-consumer ring of voices. An entry is stored before its write index is
    // published (release) and read after the index is seen (acquire); the read index is published the same
    // way, so the producer never reuses an unread entry.
    class VoiceQueue
    {
    public:
        // Producer side: true when a push would find no room.
        bool Full() const;
        // Producer side: false (and nothing stored) when the ring is full.
        bool Push(sound* voice);
        // Consumer side: the oldest voice, or nullptr.
        sound* Pop();

    private:
        alignas(64) std::atomic<int> read{0};
        alignas(64) std::atomic<int> write{0};
        sound* entries[QUEUE_LENGTH] = {};
    };

    // Mixes one voice into `frames` stereo frames; returns true when the voice is to be retired.
    bool MixVoice(sound& voice, int frames);
    void FadeOut(sound& voice, int frames);

    std::unique_ptr<std::int32_t[]> accumulator;
    int accumulatorLength;
    int outputRate = 0;
    int outputChannels = 0;
    sound* active = nullptr;

    // Written by the program thread, read by the mixer.
    VoiceQueue newVoices;
    // Written by the mixer, read by the program thread.
    VoiceQueue retiredVoices;

    // Program thread: every voice ever made, and those free for reuse.
    std::vector<std::unique_ptr<sound>> voices;
    std::vector<sound*> unused;
    ChannelTable* channels = nullptr;
};

} // namespace vanta::audio
