// Sounds, channels and the silent audio driver, the current-driver global and the module functions.
// Builds on: the sample module (LoadAudioSample).
#include "audio/Sound.h"

namespace vanta {
namespace {

constinit Ref<TAudioDriver> currentDriver;

} // namespace

void TChannel::Stop()
{}

void TChannel::SetPaused(std::int32_t)
{}

void TChannel::SetVolume(float)
{}

void TChannel::SetPan(float)
{}

void TChannel::SetDepth(float)
{}

void TChannel::SetRate(float)
{}

std::int32_t TChannel::Playing()
{
    return 0;
}

Ref<TChannel> TSound::Play(const Ref<TChannel>&)
{
    return New<TChannel>();
}

Ref<TChannel> TSound::Cue(const Ref<TChannel>&)
{
    return New<TChannel>();
}

Ref<TSound> TSound::Load(const Ref<Object>& source, std::int32_t flags)
{
    Ref<TAudioSample> sample = Downcast<TAudioSample>(source);
    if (sample.IsNull()) sample = LoadAudioSample(source);
    if (sample.IsNull()) return Null;
    return currentDriver->CreateSound(sample, flags);
}

Ref<TSound> TAudioDriver::CreateSound(const Ref<TAudioSample>&, std::int32_t)
{
    return New<TSound>();
}

Ref<TChannel> TAudioDriver::AllocChannel()
{
    return New<TChannel>();
}

const Ref<TAudioDriver>& CurrentAudioDriver()
{
    return currentDriver;
}

void SetCurrentAudioDriver(const Ref<TAudioDriver>& driver)
{
    currentDriver = driver;
}

Ref<TSound> LoadSound(const Ref<Object>& source, std::int32_t flags)
{
    return TSound::Load(source, flags);
}

Ref<TChannel> PlaySound(const Ref<TSound>& sound, const Ref<TChannel>& channel)
{
    return sound->Play(channel);
}

Ref<TChannel> CueSound(const Ref<TSound>& sound, const Ref<TChannel>& channel)
{
    return sound->Cue(channel);
}

Ref<TChannel> AllocChannel()
{
    return currentDriver->AllocChannel();
}

void StopChannel(const Ref<TChannel>& channel)
{
    channel->Stop();
}

std::int32_t ChannelPlaying(const Ref<TChannel>& channel)
{
    return channel->Playing();
}

void SetChannelVolume(const Ref<TChannel>& channel, float volume)
{
    channel->SetVolume(volume);
}

void SetChannelPan(const Ref<TChannel>& channel, float pan)
{
    channel->SetPan(pan);
}

void SetChannelDepth(const Ref<TChannel>& channel, float depth)
{
    channel->SetDepth(depth);
}

void SetChannelRate(const Ref<TChannel>& channel, float rate)
{
    channel->SetRate(rate);
}

void PauseChannel(const Ref<TChannel>& channel)
{
    channel->SetPaused(1);
}

void ResumeChannel(const Ref<TChannel>& channel)
{
    channel->SetPaused(0);
}

void InitAudio()
{
    static bool initialised = false;
    if (initialised) return;
    initialised = true;
    InitAudioSamples();
    currentDriver = New<TAudioDriver>();
}

} // namespace vanta
