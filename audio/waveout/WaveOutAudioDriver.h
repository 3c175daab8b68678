// The wave-out audio driver: sounds as the native mixer's sound buffers, channels as its channel handles.
// Builds on: the sound module (audio/Sound.h) and the native audio layer (audio/waveout/WaveOut.h).
//
// Its module initialiser opens the wave-out device and, when that works, installs the driver in place of
// the silent one and closes the device at process exit; with no device the silent driver stays.
//
// Controls convert to the mixer's fixed point by truncation toward zero: volume, pan and depth times 4096
// into 16 bits, rate times 65536 into 32 bits. Values beyond those ranges saturate at the nearest limit and
// NaN counts as 0 (a float outside an integer's range has no defined conversion).
//
// Channels from `AllocChannel` own their handle: when the last reference to one goes, its handle comes back
// as soon as nothing plays on it (at once when it is stopped, idle or paused, since nobody can resume it;
// after the sound ends when it still plays), so a program that allocates channels as it goes never runs out.
// Playback is never cut short by a channel object's end. Channels that a playback made for itself come back
// when that playback ends or is stopped, as the mixer arranges; once another sound is played on such a
// channel, its object owns the handle like an allocated channel's (taking a fresh one when the first was
// given back already).
//
// Main thread only.
#pragma once

#include "audio/Sound.h"

#include <cstdint>

namespace vanta {

namespace audio {
class SoundBuffer;
}

class TWaveOutAudioDriver;
class TWaveOutSound;
class TWaveOutChannel;
template <>
inline constexpr const char* classDebugName<TWaveOutAudioDriver> = "TWaveOutAudioDriver";
template <>
inline constexpr const char* classDebugName<TWaveOutSound> = "TWaveOutSound";
template <>
inline constexpr const char* classDebugName<TWaveOutChannel> = "TWaveOutChannel";

// A channel handle of the native audio layer.
class TWaveOutChannel : public TChannel
{
    VANTA_CLASS(TWaveOutChannel, TChannel)
public:
    // Use `Create`.
    TWaveOutChannel() = default;
    // Gives an owned handle back (see the top of this file).
    ~TWaveOutChannel() override;

    void Stop() override;
    void SetPaused(std::int32_t paused) override;
    void SetVolume(float volume) override;
    void SetPan(float pan) override;
    void SetDepth(float depth) override;
    void SetRate(float rate) override;
    // 1 while the handle's voice is playing or paused; 0 once it ended or stopped, and for a stale handle.
    std::int32_t Playing() override;

    // A channel object for `handle`; with `ownsHandle` the object gives the handle back when it goes.
    static Ref<TWaveOutChannel> Create(std::int32_t handle, bool ownsHandle = false);

    // The channel handle (0 in a new object).
    std::int32_t handle = 0;

private:
    // A sound played on a channel of a playback's own hands the handle to the channel object.
    friend class TWaveOutSound;

    bool ownsHandle_ = false;
};

// A sound whose data lives in a native sound buffer.
class TWaveOutSound : public TSound
{
    VANTA_CLASS(TWaveOutSound, TSound)
public:
    // Use `Create`.
    TWaveOutSound() = default;
    // Drops the sound's use of its buffer; voices still playing it keep it alive.
    ~TWaveOutSound() override;

    // Starts the buffer on `channel` (stopping what it played), or on a channel of its own for `Null`, and
    // returns that channel: `channel` itself when given. `Null` when `channel` is not a `TWaveOutChannel`, its
    // handle is stale, or no voice could be started; also when no channel was free for a playback of its
    // own (the sound then still plays).
    Ref<TChannel> Play(const Ref<TChannel>& channel) override;

    // As `Play`, paused until the channel is resumed.
    Ref<TChannel> Cue(const Ref<TChannel>& channel) override;

    // A sound over `buffer`, taking over the use the caller holds (nullptr gives a sound that never plays).
    static Ref<TWaveOutSound> Create(audio::SoundBuffer* buffer);

    // The buffer (nullptr in a new object).
    audio::SoundBuffer* buffer = nullptr;

private:
    Ref<TChannel> Start(const Ref<TChannel>& channel, int paused);
};

// The wave-out driver.
class TWaveOutAudioDriver : public TAudioDriver
{
    VANTA_CLASS(TWaveOutAudioDriver, TAudioDriver)
public:
    TWaveOutAudioDriver() = default;

    // A sound holding a stereo 16-bit copy of `sample`, looping when `flags` is non-zero. Its buffer is
    // missing (the sound never plays) when the device is closed or cannot play the sample's rate.
    Ref<TSound> CreateSound(const Ref<TAudioSample>& sample, std::int32_t flags) override;

    // A channel owning a fresh handle, or `Null` when all 4095 are in use.
    Ref<TChannel> AllocChannel() override;
};

// The wave-out driver module's initialiser: runs the sound module's, then opens the device and installs the
// driver when it opens.
void InitWaveOutAudioDriver();

} // namespace vanta
