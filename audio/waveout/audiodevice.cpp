// The abstract audio device: starting a voice through the device's mixer.
// Builds on: mixer, SoundBuffer, sound.
#include "audio/waveout/audiodevice.h"

#include "audio/waveout/SoundBuffer.h"
#include "audio/waveout/sound.h"

namespace vanta::audio {

sound* audiodevice::Play(SoundBuffer* buffer, const output* templ, int paused, int autoChannel)
{
    if (voiceMixer == nullptr || buffer == nullptr) return nullptr;
    int state = buffer->loop != 0 ? VOICE_LOOP : VOICE_ONCE;
    if (paused != 0) state |= VOICE_PAUSED;
    return voiceMixer->AddVoice(buffer, templ, state, autoChannel);
}

} // namespace vanta::audio
