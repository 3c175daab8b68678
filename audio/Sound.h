// Sounds and channels: the program-facing audio interface over a replaceable audio driver.
// Builds on: the sample module (audio/AudioSample.h).
//
// The current driver turns samples into sounds and hands out channels. The base classes are the silent
// driver: its sounds play nothing and its channels report that nothing plays, so a program runs unchanged
// without a sound device. The wave-out driver (audio/waveout/WaveOutAudioDriver.h) takes over when its
// device opens. Module functions given `Null` for a sound or channel throw `TNullObjectError`.
//
// Main thread only.
#pragma once

#include "audio/AudioSample.h"

#include <cstdint>

namespace vanta {

// The sound flag that makes a sound loop (`LoadSound`, `TSound::Load`): any non-zero flags do.
inline constexpr std::int32_t SOUND_LOOP = 1;

// Something that plays, or can play, with volume, pan, depth, rate and pause controls. The base class is
// silent: every control does nothing and `Playing` gives 0.
class TChannel : public Object
{
    VANTA_CLASS(TChannel, Object)
public:
    TChannel() = default;

    // Stops what the channel plays.
    virtual void Stop();
    // Pauses (`paused` non-zero) or resumes.
    virtual void SetPaused(std::int32_t paused);
    // Volume: 1 is full, 0 silence.
    virtual void SetVolume(float volume);
    // Pan: -1 full left, 0 centre, 1 full right.
    virtual void SetPan(float pan);
    // Depth: a negative depth inverts the right side.
    virtual void SetDepth(float depth);
    // Rate: 1 plays at the sound's own speed.
    virtual void SetRate(float rate);
    // 1 while something plays on the channel (paused counts as playing), else 0.
    virtual std::int32_t Playing();
};

// A sample prepared for the driver that made it. The base class plays nothing.
class TSound : public Object
{
    VANTA_CLASS(TSound, Object)
public:
    TSound() = default;

    // Plays the sound on `channel`, or on a channel of its own for `Null`; returns the channel, or `Null`
    // when `channel` is not one of this driver's or no channel could be had. The base class gives a new
    // silent channel.
    virtual Ref<TChannel> Play(const Ref<TChannel>& channel);

    // As `Play`, but the channel starts paused.
    virtual Ref<TChannel> Cue(const Ref<TChannel>& channel);

    // A sound of the current driver made from `source`: a `TAudioSample`, or anything `LoadAudioSample`
    // opens. Any non-zero `flags` makes it loop. `Null` when no sample can be loaded; throws what
    // `LoadAudioSample` throws ("Stream is not seekable").
    static Ref<TSound> Load(const Ref<Object>& source, std::int32_t flags);
};

// The audio driver: makes sounds and channels. The base class is the silent driver.
class TAudioDriver : public Object
{
    VANTA_CLASS(TAudioDriver, Object)
public:
    TAudioDriver() = default;

    // A sound playing `sample`, looping when `flags` is non-zero. The base class gives a silent sound.
    virtual Ref<TSound> CreateSound(const Ref<TAudioSample>& sample, std::int32_t flags);

    // A channel to play sounds on, or `Null` when none is free. The base class gives a silent channel.
    virtual Ref<TChannel> AllocChannel();
};

// The driver in use; `Null` until the sound module's initialiser runs.
const Ref<TAudioDriver>& CurrentAudioDriver();

// Makes `driver` the driver in use.
void SetCurrentAudioDriver(const Ref<TAudioDriver>& driver);

// `TSound::Load`.
Ref<TSound> LoadSound(const Ref<Object>& source, std::int32_t flags = 0);
// `sound.Play(channel)`.
Ref<TChannel> PlaySound(const Ref<TSound>& sound, const Ref<TChannel>& channel = Null);
// `sound.Cue(channel)`.
Ref<TChannel> CueSound(const Ref<TSound>& sound, const Ref<TChannel>& channel = Null);
// The current driver's `AllocChannel`.
Ref<TChannel> AllocChannel();
// `channel.Stop()`.
void StopChannel(const Ref<TChannel>& channel);
// `channel.Playing()`.
std::int32_t ChannelPlaying(const Ref<TChannel>& channel);
// `channel.SetVolume(volume)`.
void SetChannelVolume(const Ref<TChannel>& channel, float volume);
// `channel.SetPan(pan)`.
void SetChannelPan(const Ref<TChannel>& channel, float pan);
// `channel.SetDepth(depth)`.
void SetChannelDepth(const Ref<TChannel>& channel, float depth);
// `channel.SetRate(rate)`.
void SetChannelRate(const Ref<TChannel>& channel, float rate);
// `channel.SetPaused(1)`.
void PauseChannel(const Ref<TChannel>& channel);
// `channel.SetPaused(0)`.
void ResumeChannel(const Ref<TChannel>& channel);

// The sound module's initialiser: runs the sample module's and installs the silent driver.
void InitAudio();

} // namespace vanta
