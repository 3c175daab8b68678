// The wave-out device: the mixer feeding the platform's audio output at 44 100 Hz, stereo, 16 bits, in
// buffers of 4096 frames (about 93 ms each).
// Builds on: audiodevice, mixer, platform/Audio.h.
//
// The platform calls back for each buffer the way a wave-out device reports a completed buffer; the
// callback runs one mix pass and the 16-bit output pass into it. The platform owns the buffers themselves.
#pragma once

#include "audio/waveout/audiodevice.h"

#include <atomic>
#include <cstdint>

namespace vanta::audio {

class winmmdevice final : public audiodevice
{
public:
    static constexpr int OUTPUT_RATE = 44100;
    static constexpr int OUTPUT_CHANNELS = 2;
    static constexpr int OUTPUT_BITS = 16;
    // The mixer's accumulator length: one buffer of 4096 stereo frames.
    static constexpr int BUFFER_VALUES = 8192;

    winmmdevice() = default;
    // Closes the output when still open.
    ~winmmdevice() override;

    // Makes the mixer and opens the platform output; 0 on success, 1 when the output cannot be opened
    // (the reason is in platform::AudioOutputError()).
    int Open() override;

    // Stops the callbacks and closes the platform output; safe when not open. Returns 0.
    int Close() override;

private:
    // Runs on the platform's audio thread.
    static void Refill(void* user, std::int16_t* samples, int frames);

    int bufferBytes = 0; // the buffer size the device was opened with, in frames * 2 values
    int is16Bit = 0;
    std::atomic<bool> running{false};
};

} // namespace vanta::audio
