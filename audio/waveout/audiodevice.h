// The abstract audio device: something that owns a mixer and runs its passes for an output.
// Builds on: mixer.
#pragma once

#include "audio/waveout/mixer.h"

#include <memory>

namespace vanta::audio {

class SoundBuffer;
class output;
class sound;

class audiodevice
{
public:
    virtual ~audiodevice() = default;

    audiodevice(const audiodevice&) = delete;
    audiodevice& operator=(const audiodevice&) = delete;

    // Makes the mixer and starts the output; 0 on success, non-zero when the output cannot be opened.
    virtual int Open() = 0;

    // Stops the output (waiting for a pass in progress); afterwards no pass runs. Returns 0.
    virtual int Close() = 0;

    // Starts a voice on `buffer`: looping when the buffer loops, else once, paused when `paused` is non-zero,
    // with the settings of `templ` when given. `autoChannel` is the handle of a channel allocated for this
    // playback alone (0 for none). Returns the voice, or nullptr when nothing was started (no mixer, see
    // mixer::AddVoice for the rest).
    sound* Play(SoundBuffer* buffer, const output* templ, int paused, int autoChannel = 0);

    // The mixer, or nullptr before Open.
    mixer* Mixer() { return voiceMixer.get(); }

protected:
    audiodevice() = default;

    std::unique_ptr<mixer> voiceMixer;
};

} // namespace vanta::audio
