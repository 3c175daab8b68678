// The wave-out device over the platform's audio output.
// Builds on: mixer, platform/Audio.h.
//
// Threads: Refill runs on the platform's audio thread. It allocates nothing, frees nothing, takes no lock
// and touches no runtime object: it only runs the mixer's passes (see mixer.cpp).
#include "audio/waveout/winmmdevice.h"

#include "platform/Audio.h"

#include <algorithm>

namespace vanta::audio {

winmmdevice::~winmmdevice()
{
    Close();
}

int winmmdevice::Open()
{
    if (running.load()) return 0;
    voiceMixer = std::make_unique<mixer>(BUFFER_VALUES);
    voiceMixer->SetOutput(OUTPUT_RATE, OUTPUT_CHANNELS);
    bufferBytes = BUFFER_VALUES;
    is16Bit = OUTPUT_BITS != 8 ? 1 : 0;
    // Set before the output starts: the first callbacks may come before OpenAudioOutput returns.
    running.store(true);
    if (!platform::OpenAudioOutput(OUTPUT_RATE, OUTPUT_CHANNELS, BUFFER_VALUES / OUTPUT_CHANNELS, Refill, this)) {
        running.store(false);
        voiceMixer.reset();
        return 1;
    }
    return 0;
}

int winmmdevice::Close()
{
    if (running.exchange(false)) platform::CloseAudioOutput();
    return 0;
}

void winmmdevice::Refill(void* user, std::int16_t* samples, int frames)
{
    auto* device = static_cast<winmmdevice*>(user);
    if (!device->running.load(std::memory_order_acquire)) {
        std::fill_n(samples, static_cast<std::size_t>(frames) * OUTPUT_CHANNELS, std::int16_t{0});
        return;
    }
    device->voiceMixer->Output16(samples, frames);
}

} // namespace vanta::audio
