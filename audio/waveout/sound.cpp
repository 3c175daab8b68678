// Voices: parameter setters and getters, stop and pause, and reset for reuse.
// Builds on: output.
//
// Threads: the setters, Stop and Pause run on the program thread while the mixer may be reading the same
// words on the callback thread; all of them are single-word atomics.
#include "audio/waveout/sound.h"

namespace vanta::audio {

namespace {
constexpr auto relaxed = std::memory_order_relaxed;

bool IsPaused(const sound& voice)
{
    return (voice.state.load(relaxed) & VOICE_PAUSED) != 0;
}
} // namespace

sound::sound(mixer* owner) : owner(owner)
{}

void sound::SetRate(int rate)
{
    targetRate.store(rate, relaxed);
    if (IsPaused(*this)) currentRate.store(rate, relaxed);
}

void sound::SetVolume(std::int16_t volume)
{
    targetVolume.store(volume, relaxed);
    if (IsPaused(*this)) currentVolume.store(volume, relaxed);
}

void sound::SetPan(std::int16_t pan)
{
    targetPan.store(pan, relaxed);
    if (IsPaused(*this)) currentPan.store(pan, relaxed);
}

void sound::SetDepth(std::int16_t depth)
{
    targetDepth.store(depth, relaxed);
}

int sound::GetRate(int target) const
{
    return (target != 0 ? targetRate : currentRate).load(relaxed);
}

std::int16_t sound::GetVolume(int target) const
{
    return (target != 0 ? targetVolume : currentVolume).load(relaxed);
}

std::int16_t sound::GetPan(int target) const
{
    return (target != 0 ? targetPan : currentPan).load(relaxed);
}

std::int16_t sound::GetDepth(int target) const
{
    return (target != 0 ? targetDepth : currentDepth).load(relaxed);
}

void sound::Stop()
{
    // A compare-exchange so that a voice the mixer has just finished (0) does not come back as 1.
    int current = state.load(relaxed);
    while (current != VOICE_FINISHED && !state.compare_exchange_weak(current, VOICE_IDLE, relaxed))
        ;
}

void sound::Pause(bool paused)
{
    int current = state.load(relaxed);
    for (;;) {
        if ((current & (VOICE_ONCE | VOICE_LOOP | VOICE_STREAM)) == 0) return;
        const int wanted = paused ? (current | VOICE_PAUSED) : (current & ~VOICE_PAUSED);
        if (wanted == current || state.compare_exchange_weak(current, wanted, relaxed)) return;
    }
}

void sound::Reset()
{
    state.store(VOICE_IDLE, relaxed);
    autoChannel = 0;
    next = nullptr;
    buffer = nullptr;
    positionFraction = 0;
    position = 0;
    streaming = 0;
    currentRate.store(RATE_NORMAL, relaxed);
    targetRate.store(RATE_NORMAL, relaxed);
    currentVolume.store(VOLUME_FULL, relaxed);
    targetVolume.store(VOLUME_FULL, relaxed);
    currentPan.store(0, relaxed);
    targetPan.store(0, relaxed);
    currentDepth.store(0, relaxed);
    targetDepth.store(0, relaxed);
    audible = false;
}

void sound::CopySettings(const output& source)
{
    const int rate = source.GetRate(1);
    const std::int16_t volume = source.GetVolume(1);
    const std::int16_t pan = source.GetPan(1);
    const std::int16_t depth = source.GetDepth(1);
    currentRate.store(rate, relaxed);
    targetRate.store(rate, relaxed);
    currentVolume.store(volume, relaxed);
    targetVolume.store(volume, relaxed);
    currentPan.store(pan, relaxed);
    targetPan.store(pan, relaxed);
    currentDepth.store(depth, relaxed);
    targetDepth.store(depth, relaxed);
}

} // namespace vanta::audio
