// Audio output of the platform layer over SDL2's audio: one device opened with a callback.
//
// SDL pulls buffers from its own audio thread; that thread plays the role of the wave-out completion the
// layers above expect. SDL is asked for exactly the format given (no allowed changes), so it converts to the
// hardware itself and every callback asks for exactly `bufferFrames` frames.
// Builds on: SDL2 (audio subsystem only).
//
// Threads: FillAudio runs on SDL's audio thread and only forwards to the registered callback; everything else
// runs on the program thread. The callback's target is set before the device starts and cleared after
// SDL_CloseAudioDevice has joined that thread.
#include "platform/Audio.h"

#include "platform/detail/State.h"

#include <string>

#include <SDL.h>

namespace vanta::platform {

namespace {

// What the SDL callback needs; written on the program thread before the device starts and after it stops.
struct OpenOutput
{
    SDL_AudioDeviceID device = 0;
    AudioCallback callback = nullptr;
    void* user = nullptr;
    int channels = 0;
};

OpenOutput openOutput;
std::string lastError;

// Runs on SDL's audio thread: hands the buffer over as interleaved 16-bit frames.
void SDLCALL FillAudio(void* userdata, Uint8* stream, int length)
{
    const auto* out = static_cast<const OpenOutput*>(userdata);
    const int frames = length / (out->channels * static_cast<int>(sizeof(std::int16_t)));
    // SDL's stream buffer is allocated for the S16 format, so it is suitably aligned for 16-bit values.
    out->callback(out->user, reinterpret_cast<std::int16_t*>(stream), frames);
}

} // namespace

bool OpenAudioOutput(int rate, int channels, int bufferFrames, AudioCallback callback, void* user)
{
    if (openOutput.device != 0) {
        lastError = "Audio output is already open";
        return false;
    }
    if (callback == nullptr || rate <= 0 || channels < 1 || channels > 8 || bufferFrames < 1 || bufferFrames > 65535) {
        lastError = "Invalid audio output parameters";
        return false;
    }
    detail::PrepareSdl();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        lastError = SDL_GetError();
        return false;
    }

    openOutput.callback = callback;
    openOutput.user = user;
    openOutput.channels = channels;

    SDL_AudioSpec wanted{};
    wanted.freq = rate;
    wanted.format = AUDIO_S16SYS;
    wanted.channels = static_cast<Uint8>(channels);
    wanted.samples = static_cast<Uint16>(bufferFrames);
    wanted.callback = FillAudio;
    wanted.userdata = &openOutput;
    SDL_AudioSpec obtained{};
    const SDL_AudioDeviceID device = SDL_OpenAudioDevice(nullptr, 0, &wanted, &obtained, 0);
    if (device == 0) {
        lastError = SDL_GetError();
        openOutput = OpenOutput{};
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    openOutput.device = device;
    lastError.clear();
    SDL_PauseAudioDevice(device, 0);
    return true;
}

void CloseAudioOutput()
{
    if (openOutput.device == 0) return;
    // Closing waits for a callback in progress and joins SDL's audio thread.
    SDL_CloseAudioDevice(openOutput.device);
    openOutput = OpenOutput{};
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

const char* AudioOutputError()
{
    return lastError.c_str();
}

} // namespace vanta::platform
