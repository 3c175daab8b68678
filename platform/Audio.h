// Audio output of the platform layer: one device, one callback thread.
//
// The layers above were written against a wave-out device that calls back each time one of its two
// buffers has been played. This header gives them exactly that: once `OpenAudioOutput` succeeds, the
// platform calls `callback` on its own audio thread each time it needs the next buffer of
// `bufferFrames` frames of interleaved signed 16-bit samples (`channels` per frame, native byte order).
// The callback must fill the whole buffer. Calls never overlap; they all come from one thread.
//
// Nothing here allocates or locks on the audio thread beyond what the system's audio stack does.
// Headless machines: with SDL's "disk" audio driver (SDL_AUDIODRIVER=disk) the output goes to a file;
// with no device at all `OpenAudioOutput` fails and says why.
#pragma once

#include <cstdint>

namespace vanta::platform {

// Fills `frames` frames at `samples` (frames * channels values). Runs on the audio thread.
using AudioCallback = void (*)(void* user, std::int16_t* samples, int frames);

// Opens the default output device at `rate` Hz with `channels` channels and buffers of `bufferFrames`
// frames, then starts calling `callback`. Returns true on success; false (with `AudioOutputError`
// describing why) when no device can be opened or one is already open.
bool OpenAudioOutput(int rate, int channels, int bufferFrames, AudioCallback callback, void* user);

// Stops the callbacks (waiting for one in progress to finish) and closes the device. Safe to call when
// nothing is open.
void CloseAudioOutput();

// The reason the last `OpenAudioOutput` failed, or an empty text.
const char* AudioOutputError();

} // namespace vanta::platform
