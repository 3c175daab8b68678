// The wave-out audio driver, its sounds and channels over the native audio layer's plain functions.
// Builds on: the sound module, audio/waveout/WaveOut.h.
#include "audio/waveout/WaveOutAudioDriver.h"

#include "audio/waveout/WaveOut.h"
#include "audio/waveout/sound.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <vector>

namespace vanta {
namespace {

static_assert(std::endian::native == std::endian::little,
              "sound buffers hold native-endian samples and the driver hands them SF_STEREO16LE");

// `value` * `scale` truncated toward zero into [low, high]: beyond the range it saturates, NaN gives 0.
template <class T>
T FixedPoint(float value, double scale)
{
    constexpr double low = std::numeric_limits<T>::min();
    constexpr double high = std::numeric_limits<T>::max();
    const double scaled = static_cast<double>(value) * scale;
    if (std::isnan(scaled)) return 0;
    if (scaled <= low) return std::numeric_limits<T>::min();
    if (scaled >= high) return std::numeric_limits<T>::max();
    return static_cast<T>(scaled);
}

// Owned handles whose channel object has gone while their voice still played.
std::vector<std::int32_t>& OrphanHandles()
{
    static std::vector<std::int32_t> handles;
    return handles;
}

// Gives back every orphaned handle on which nothing can play any more: its voice ended or was stopped, or
// it is paused and nobody holds the channel to resume it.
void ReclaimOrphanHandles()
{
    std::vector<std::int32_t>& handles = OrphanHandles();
    std::erase_if(handles, [](std::int32_t handle) {
        const int status = audio::ChannelStatus(handle);
        if (status > audio::VOICE_IDLE && (status & audio::VOICE_PAUSED) == 0) return false;
        audio::FreeChannelHandle(handle);
        return true;
    });
}

} // namespace

// [SECTION] TWaveOutChannel ---------------------------------------------------------------------------------

TWaveOutChannel::~TWaveOutChannel()
{
    if (!ownsHandle_ || handle == 0) return;
    OrphanHandles().push_back(handle);
    ReclaimOrphanHandles();
}

void TWaveOutChannel::Stop()
{
    audio::StopChannelHandle(handle);
}

void TWaveOutChannel::SetPaused(std::int32_t paused)
{
    audio::PauseChannelHandle(handle, paused);
}

void TWaveOutChannel::SetVolume(float volume)
{
    audio::SetChannelHandleVolume(handle, FixedPoint<std::int16_t>(volume, 4096));
}

void TWaveOutChannel::SetPan(float pan)
{
    audio::SetChannelHandlePan(handle, FixedPoint<std::int16_t>(pan, 4096));
}

void TWaveOutChannel::SetDepth(float depth)
{
    audio::SetChannelHandleDepth(handle, FixedPoint<std::int16_t>(depth, 4096));
}

void TWaveOutChannel::SetRate(float rate)
{
    audio::SetChannelHandleRate(handle, FixedPoint<std::int32_t>(rate, 65536));
}

std::int32_t TWaveOutChannel::Playing()
{
    return audio::ChannelStatus(handle) > audio::VOICE_IDLE ? 1 : 0;
}

Ref<TWaveOutChannel> TWaveOutChannel::Create(std::int32_t handle, bool ownsHandle)
{
    Ref<TWaveOutChannel> channel = New<TWaveOutChannel>();
    channel->handle = handle;
    channel->ownsHandle_ = ownsHandle;
    return channel;
}

// [SECTION] TWaveOutSound -----------------------------------------------------------------------------------

TWaveOutSound::~TWaveOutSound()
{
    audio::FreeSoundBuffer(buffer);
}

Ref<TChannel> TWaveOutSound::Play(const Ref<TChannel>& channel)
{
    return Start(channel, 0);
}

Ref<TChannel> TWaveOutSound::Cue(const Ref<TChannel>& channel)
{
    return Start(channel, 1);
}

Ref<TChannel> TWaveOutSound::Start(const Ref<TChannel>& channel, int paused)
{
    std::int32_t handle = 0;
    Ref<TWaveOutChannel> given;
    if (!channel.IsNull()) {
        given = Downcast<TWaveOutChannel>(channel);
        if (given.IsNull()) return Null;
        handle = given->handle;
    } else {
        // The playback takes a channel of its own: make sure none is held by a channel object long gone.
        ReclaimOrphanHandles();
    }
    if (!given.IsNull() && handle != 0 && audio::CurrentAudioDevice() != nullptr &&
        !audio::ChannelHandleCurrent(handle)) {
        // The playback this channel was made for has ended or been stopped, and the mixer gave its slot back:
        // the channel object carries on with a fresh handle of its own, so playing on it again still works.
        ReclaimOrphanHandles();
        handle = audio::AllocChannelHandle();
        if (handle == 0) return Null;
        given->handle = handle;
        given->ownsHandle_ = true;
    }
    const int result = audio::PlaySoundBuffer(buffer, paused, handle);
    if (result == 0) return Null;
    if (!given.IsNull() && given->handle == result) {
        // A channel that a playback took for itself stays taken once another sound plays on it, and only the
        // object naming it can tell when it is no longer wanted: it now gives the handle back as an allocated
        // channel's object does.
        given->ownsHandle_ = true;
        return given;
    }
    return TWaveOutChannel::Create(result);
}

Ref<TWaveOutSound> TWaveOutSound::Create(audio::SoundBuffer* buffer)
{
    Ref<TWaveOutSound> sound = New<TWaveOutSound>();
    sound->buffer = buffer;
    return sound;
}

// [SECTION] TWaveOutAudioDriver -----------------------------------------------------------------------------

Ref<TSound> TWaveOutAudioDriver::CreateSound(const Ref<TAudioSample>& sample, std::int32_t flags)
{
    // The buffer copies the data, so a sample already in the device's layout needs no converted copy first.
    Ref<TAudioSample> converted = sample->format == SF_STEREO16LE ? sample : sample->Convert(SF_STEREO16LE);
    audio::SoundBuffer* buffer =
        audio::CreateSoundBuffer(converted->length, 16, 2, converted->hertz, converted->samples, flags != 0 ? -1 : 0);
    return TWaveOutSound::Create(buffer);
}

Ref<TChannel> TWaveOutAudioDriver::AllocChannel()
{
    ReclaimOrphanHandles();
    const int handle = audio::AllocChannelHandle();
    if (handle == 0) return Null;
    return TWaveOutChannel::Create(handle, true);
}

void InitWaveOutAudioDriver()
{
    static bool initialised = false;
    if (initialised) return;
    initialised = true;
    InitAudio();
    if (audio::OpenAudioDevice() == -1) return;
    std::atexit(audio::CloseAudioDevice);
    SetCurrentAudioDriver(New<TWaveOutAudioDriver>());
}

} // namespace vanta
