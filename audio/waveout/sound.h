// One voice of the mixer: a sound buffer being played, with its read position, state and parameters.
// Builds on: output, SoundBuffer.
//
// Threads: a voice is shared by the program thread and the callback thread. The program thread owns it until
// it is queued to the mixer and again after the mixer hands it back through the retired queue; in between,
// the mixer owns the position, the active-list link and `audible`. `state` and the rate, volume, pan and depth
// words are atomics that both threads may read and write at any time (single words, no ordering needed:
// everything else travels with the queues' acquire/release).
#pragma once

#include "audio/waveout/output.h"

#include <atomic>
#include <cstdint>

namespace vanta::audio {

class mixer;
class SoundBuffer;

// Voice states; VOICE_PAUSED combines with VOICE_ONCE or VOICE_LOOP.
inline constexpr int VOICE_FINISHED = 0; // ended on a channel of its own
inline constexpr int VOICE_IDLE = 1;     // stopped, superseded, ended on an explicit channel, or a settings holder
inline constexpr int VOICE_ONCE = 2;
inline constexpr int VOICE_LOOP = 4;
inline constexpr int VOICE_STREAM = 8; // reserved; never set
inline constexpr int VOICE_PAUSED = 0x10;

class sound final : public output
{
public:
    explicit sound(mixer* owner);

    sound(const sound&) = delete;
    sound& operator=(const sound&) = delete;

    // SetRate, SetVolume and SetPan store the target, and the current value too while the voice is paused
    // (so that resuming does not ramp); SetDepth stores the target only.
    void SetRate(int rate) override;
    void SetVolume(std::int16_t volume) override;
    void SetPan(std::int16_t pan) override;
    void SetDepth(std::int16_t depth) override;

    int GetRate(int target) const override;
    std::int16_t GetVolume(int target) const override;
    std::int16_t GetPan(int target) const override;
    std::int16_t GetDepth(int target) const override;

    // The current state word.
    int State() const { return state.load(std::memory_order_relaxed); }

    // A voice in any non-zero state becomes VOICE_IDLE; a finished voice stays finished.
    void Stop();

    // Sets or clears the pause flag of a playing voice; voices that are not playing are left alone (pausing
    // a stopped voice must not make it look as if it were playing).
    void Pause(bool paused);

    // Back to a new voice: state VOICE_IDLE, rate 65536, volume 4096, pan 0, depth 0, no buffer, position 0.
    // Program thread, only while the mixer does not hold the voice.
    void Reset();

    // Copies the target rate, volume, pan and depth of `source` into both the current and target values.
    void CopySettings(const output& source);

    mixer* owner;
    std::atomic<int> state{VOICE_IDLE};
    int autoChannel = 0;           // handle of a channel allocated for this playback alone, else 0
    sound* next = nullptr;         // active-list link (mixer)
    SoundBuffer* buffer = nullptr; // holds one use of the buffer while set
    std::uint32_t positionFraction = 0;
    std::int32_t position = 0; // 32.32 with positionFraction, counted in samples (not frames)
    int streaming = 0;         // reserved for streaming, cleared on start
    std::atomic<int> currentRate{RATE_NORMAL};
    std::atomic<int> targetRate{RATE_NORMAL};
    std::atomic<std::int16_t> currentVolume{VOLUME_FULL};
    std::atomic<std::int16_t> targetVolume{VOLUME_FULL};
    std::atomic<std::int16_t> currentPan{0};
    std::atomic<std::int16_t> targetPan{0};
    std::atomic<std::int16_t> currentDepth{0};
    std::atomic<std::int16_t> targetDepth{0};

    // Program-thread bookkeeping: a voice is reused only when neither the mixer nor a channel holds it.
    bool queued = false;    // handed to the mixer and not yet collected back
    bool onChannel = false; // a channel slot refers to it

    // Mixer bookkeeping: the last pass mixed it with sound, so stopping it fades out instead of cutting.
    bool audible = false;
};

} // namespace vanta::audio
