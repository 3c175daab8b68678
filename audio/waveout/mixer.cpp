// The mixer: voice queues, the mix pass, the per-layout inner loops and the 16-bit output pass.
// Builds on: sound, SoundBuffer, ChannelTable.
//
// Threads: Mix, Output16 and everything in the anonymous namespace run on the callback thread. That code
// allocates nothing, frees nothing, takes no lock and touches no runtime object; it reads the voices handed
// over through the new-voice queue, the single-word voice fields and the sample data of the buffers those
// voices hold, and gives voices back through the retired queue. The program-thread half (AllocVoice,
// AddVoice, CollectRetired, Recycle) is at the end of the file.
//
// [SECTION] Fixed-point helpers and source layouts
// [SECTION] Inner loops (fixed and ramping parameters, one instance per layout)
// [SECTION] Queues
// [SECTION] Mix pass and output pass (callback thread)
// [SECTION] Voice supply (program thread)
#include "audio/waveout/mixer.h"

#include "audio/waveout/ChannelTable.h"
#include "audio/waveout/SoundBuffer.h"
#include "audio/waveout/sound.h"

#include <algorithm>
#include <cassert>

namespace vanta::audio {

namespace {

constexpr auto relaxed = std::memory_order_relaxed;
constexpr auto acquire = std::memory_order_acquire;
constexpr auto release = std::memory_order_release;

// The 16-bit output limits: values beyond them are clipped, the limits themselves go through the shift.
constexpr std::int32_t OUTPUT_HIGH = 524271;
constexpr std::int32_t OUTPUT_LOW = -524288;

// Largest position step, in 32.32 samples per output frame: 65536 samples. Only absurd rates reach it, and it
// keeps a whole pass of steps (4096 frames) and a position inside 64 bits.
constexpr std::uint64_t STEP_MAX = std::uint64_t{1} << 48;

// [SECTION] Fixed-point helpers and source layouts ------------------------------------------------------------

// Wrapping add: thousands of full-scale voices could pass the 32-bit range, which must not be undefined.
inline void Accumulate(std::int32_t& value, std::int32_t amount)
{
    value = static_cast<std::int32_t>(static_cast<std::uint32_t>(value) + static_cast<std::uint32_t>(amount));
}

// 8-bit samples are unsigned around 128 and scale by the 4.12 gain as they are; 16-bit samples scale by the
// gain and drop 8 bits. Both land 4 bits above 16-bit scale, which the output pass removes.
struct Mono8
{
    using Sample = std::uint8_t;
    static void Add(const Sample* data, std::uint64_t position, int left, int right, std::int32_t* out)
    {
        const int value = data[position >> 32] - 128;
        Accumulate(out[0], value * left);
        Accumulate(out[1], value * right);
    }
};

struct Stereo8
{
    using Sample = std::uint8_t;
    static void Add(const Sample* data, std::uint64_t position, int left, int right, std::int32_t* out)
    {
        // Stereo positions advance two samples per frame; the frame starts at the even sample.
        const std::uint64_t index = (position >> 32) & ~std::uint64_t{1};
        Accumulate(out[0], (data[index] - 128) * left);
        Accumulate(out[1], (data[index + 1] - 128) * right);
    }
};

struct Mono16
{
    using Sample = std::int16_t;
    static void Add(const Sample* data, std::uint64_t position, int left, int right, std::int32_t* out)
    {
        const int value = data[position >> 32];
        Accumulate(out[0], (value * left) >> 8);
        Accumulate(out[1], (value * right) >> 8);
    }
};

struct Stereo16
{
    using Sample = std::int16_t;
    static void Add(const Sample* data, std::uint64_t position, int left, int right, std::int32_t* out)
    {
        const std::uint64_t index = (position >> 32) & ~std::uint64_t{1};
        Accumulate(out[0], (data[index] * left) >> 8);
        Accumulate(out[1], (data[index + 1] * right) >> 8);
    }
};

// Everything one voice needs for one pass.
struct VoicePass
{
    const void* data;
    std::uint64_t position; // 32.32 samples
    std::uint64_t limit;    // frames * channels, as 32.32
    bool loop;
    std::uint64_t step;     // 32.32 samples per output frame
    std::int64_t stepDelta; // per frame (ramps)
    int volume;             // 4.12 when fixed, 8.8-scaled 4.12 (volume * 256) when ramping
    int volumeDelta;        // per frame (ramps)
    int panLeft;            // 4096 - pan for a pan to the right, else 4096
    int panRight;           // 4096 + pan for a pan to the left, else 4096
    int depthSign;          // -1 inverts the right side
    std::int32_t* out;
    int frames;
};

// The gains of one side: vol * factor >> 12 equals vol exactly when the factor is 4096, so this is the
// "left = vol; if pan > 0, left = vol * (4096 - pan) >> 12" rule without a branch.
inline int LeftGain(int volume, const VoicePass& pass)
{
    return (volume * pass.panLeft) >> 12;
}

inline int RightGain(int volume, const VoicePass& pass)
{
    return pass.depthSign * ((volume * pass.panRight) >> 12);
}

// The end rule, after a step: a once-only voice that reached its end keeps the position and stops the pass
// (true); a looping one wraps round, which is the same as subtracting the length until below it, so the
// fraction is kept.
inline bool PassedTheEnd(VoicePass& pass, std::uint64_t& position)
{
    if (position < pass.limit) return false;
    if (!pass.loop) {
        pass.position = position;
        return true;
    }
    position %= pass.limit;
    return false;
}

// [SECTION] Inner loops -----------------------------------------------------------------------------------------

// Fixed parameters. The frames left before the end are counted once per stretch, so the per-frame loop holds
// no test at all. Returns true when a once-only voice reached its end.
template <class Layout>
bool MixFixed(VoicePass& pass)
{
    const auto* data = static_cast<const typename Layout::Sample*>(pass.data);
    const int left = LeftGain(pass.volume, pass);
    const int right = RightGain(pass.volume, pass);
    const std::uint64_t step = pass.step;
    std::uint64_t position = pass.position;
    std::int32_t* out = pass.out;
    int remaining = pass.frames;
    while (remaining > 0) {
        int run = remaining;
        if (step != 0) {
            const std::uint64_t untilEnd = (pass.limit - position + step - 1) / step;
            if (untilEnd < static_cast<std::uint64_t>(run)) run = static_cast<int>(untilEnd);
        }
        for (int i = 0; i < run; ++i) {
            Layout::Add(data, position, left, right, out);
            out += 2;
            position += step;
        }
        remaining -= run;
        if (PassedTheEnd(pass, position)) return true;
    }
    pass.position = position;
    return false;
}

// Ramping parameters: volume and step move linearly across the pass, so gains are worked out per frame.
template <class Layout>
bool MixRamp(VoicePass& pass)
{
    const auto* data = static_cast<const typename Layout::Sample*>(pass.data);
    std::uint64_t position = pass.position;
    std::int64_t step = static_cast<std::int64_t>(pass.step);
    int volume = pass.volume;
    std::int32_t* out = pass.out;
    for (int i = 0; i < pass.frames; ++i) {
        const int frameVolume = volume >> 8;
        Layout::Add(data, position, LeftGain(frameVolume, pass), RightGain(frameVolume, pass), out);
        out += 2;
        position += static_cast<std::uint64_t>(step);
        step += pass.stepDelta;
        volume += pass.volumeDelta;
        if (PassedTheEnd(pass, position)) return true;
    }
    pass.position = position;
    return false;
}

using InnerLoop = bool (*)(VoicePass&);

struct InnerLoops
{
    InnerLoop fixed;
    InnerLoop ramp;
};

// Indexed by (16-bit ? 2 : 0) + (stereo ? 1 : 0).
constexpr InnerLoops LAYOUTS[4] = {
    {MixFixed<Mono8>, MixRamp<Mono8>},
    {MixFixed<Stereo8>, MixRamp<Stereo8>},
    {MixFixed<Mono16>, MixRamp<Mono16>},
    {MixFixed<Stereo16>, MixRamp<Stereo16>},
};

const InnerLoops& LoopsFor(const SoundBuffer& buffer)
{
    return LAYOUTS[(buffer.bits == 16 ? 2 : 0) + (buffer.channels == 2 ? 1 : 0)];
}

// Source frames per output frame in 16.16 (rate * hertz / output rate), widened to 32.32 samples.
std::uint64_t PositionStep(int rate, const SoundBuffer& buffer, int outputRate)
{
    if (rate <= 0) return 0;
    const std::int64_t step = std::int64_t{rate} * buffer.hertz / outputRate;
    const std::uint64_t samples = static_cast<std::uint64_t>(step) * static_cast<std::uint64_t>(buffer.channels);
    return std::min(samples << 16, STEP_MAX);
}

// The pass for a voice with everything but volume and step filled in.
VoicePass StartPass(const sound& voice, std::int32_t* out, int frames, bool loop)
{
    const SoundBuffer& buffer = *voice.buffer;
    VoicePass pass{};
    pass.data = buffer.data;
    pass.position =
        (static_cast<std::uint64_t>(static_cast<std::uint32_t>(voice.position)) << 32) | voice.positionFraction;
    pass.limit = static_cast<std::uint64_t>(buffer.frames) * static_cast<std::uint64_t>(buffer.channels) << 32;
    pass.loop = loop;
    const int pan = std::clamp<int>(voice.targetPan.load(relaxed), -4096, 4096);
    pass.panLeft = pan > 0 ? 4096 - pan : 4096;
    pass.panRight = pan < 0 ? 4096 + pan : 4096;
    pass.depthSign = voice.targetDepth.load(relaxed) < 0 ? -1 : 1;
    pass.out = out;
    pass.frames = frames;
    return pass;
}

void StorePosition(sound& voice, std::uint64_t position)
{
    voice.position = static_cast<std::int32_t>(position >> 32);
    voice.positionFraction = static_cast<std::uint32_t>(position);
}

} // namespace

// [SECTION] Queues ----------------------------------------------------------------------------------------------

bool mixer::VoiceQueue::Full() const
{
    return (write.load(relaxed) + 1) % QUEUE_LENGTH == read.load(acquire);
}

bool mixer::VoiceQueue::Push(sound* voice)
{
    if (Full()) return false;
    const int at = write.load(relaxed);
    entries[at] = voice;
    write.store((at + 1) % QUEUE_LENGTH, release);
    return true;
}

sound* mixer::VoiceQueue::Pop()
{
    const int at = read.load(relaxed);
    if (at == write.load(acquire)) return nullptr;
    sound* voice = entries[at];
    read.store((at + 1) % QUEUE_LENGTH, release);
    return voice;
}

// [SECTION] Mix pass and output pass ----------------------------------------------------------------------------

mixer::mixer(int accumulatorLength)
    : accumulator(new std::int32_t[static_cast<std::size_t>(std::max(2, accumulatorLength & ~1))]()),
      accumulatorLength(std::max(2, accumulatorLength & ~1))
{}

void mixer::SetOutput(int rate, int channels)
{
    assert(rate > 0 && channels == 2 && "the mixer produces interleaved stereo at a positive rate");
    outputRate = rate;
    outputChannels = channels;
}

void mixer::Mix(int count)
{
    const int frames = std::clamp(count, 0, accumulatorLength) / 2;
    while (sound* voice = newVoices.Pop()) {
        voice->next = active;
        active = voice;
    }
    if (frames == 0) return;

    sound** link = &active;
    while (sound* voice = *link) {
        // Read before the hand-back: once retired, the voice belongs to the program thread.
        sound* following = voice->next;
        if (MixVoice(*voice, frames) && retiredVoices.Push(voice)) {
            *link = following;
            continue;
        }
        // A full retired queue keeps the voice here, idle, until the next pass tries again.
        link = &voice->next;
    }
}

bool mixer::MixVoice(sound& voice, int frames)
{
    const int state = voice.state.load(relaxed);
    if ((state & (VOICE_ONCE | VOICE_LOOP | VOICE_STREAM)) == 0) {
        if (voice.audible) FadeOut(voice, frames);
        voice.audible = false;
        return true;
    }
    if ((state & VOICE_PAUSED) != 0) {
        voice.audible = false;
        return false;
    }

    const SoundBuffer& buffer = *voice.buffer;
    VoicePass pass = StartPass(voice, accumulator.get(), frames, (state & VOICE_LOOP) != 0);
    bool ended = pass.limit == 0;
    if (!ended) {
        const int rateCurrent = voice.currentRate.load(relaxed);
        const int rateTarget = voice.targetRate.load(relaxed);
        const int volumeCurrent = voice.currentVolume.load(relaxed);
        const int volumeTarget = voice.targetVolume.load(relaxed);
        const std::uint64_t stepCurrent = PositionStep(rateCurrent, buffer, outputRate);
        const std::uint64_t stepTarget = PositionStep(rateTarget, buffer, outputRate);
        const InnerLoops& loops = LoopsFor(buffer);

        if (volumeCurrent == volumeTarget && stepCurrent == stepTarget) {
            if (volumeCurrent == 0) {
                // Silent: the whole pass in one step, so the voice still ends on time.
                pass.position += stepCurrent * static_cast<std::uint64_t>(frames);
                if (pass.position >= pass.limit) {
                    if (pass.loop)
                        pass.position %= pass.limit;
                    else
                        ended = true;
                }
                voice.audible = false;
            } else {
                pass.volume = volumeCurrent;
                pass.step = stepCurrent;
                ended = loops.fixed(pass);
                voice.audible = true;
            }
        } else {
            voice.currentVolume.store(static_cast<std::int16_t>(volumeTarget), relaxed);
            voice.currentRate.store(rateTarget, relaxed);
            pass.volume = volumeCurrent * 256;
            pass.volumeDelta = (volumeTarget * 256 - volumeCurrent * 256) / frames;
            pass.step = stepCurrent;
            pass.stepDelta = (static_cast<std::int64_t>(stepTarget) - static_cast<std::int64_t>(stepCurrent)) / frames;
            ended = loops.ramp(pass);
            voice.audible = true;
        }
        StorePosition(voice, pass.position);
    }

    if (ended) {
        // A voice that owns its channel finishes (status 0); one on an explicit channel goes idle (status 1).
        voice.state.store(voice.autoChannel != 0 ? VOICE_FINISHED : VOICE_IDLE, relaxed);
        voice.audible = false;
        return true;
    }
    return false;
}

void mixer::FadeOut(sound& voice, int frames)
{
    // A stopped voice that was heard in the last pass plays one more pass fading to silence: cutting a
    // waveform in the middle of a cycle is heard as a click.
    const int volume = voice.currentVolume.load(relaxed);
    if (volume == 0 || voice.buffer == nullptr) return;
    const SoundBuffer& buffer = *voice.buffer;
    VoicePass pass = StartPass(voice, accumulator.get(), frames, buffer.loop != 0);
    if (pass.limit == 0 || pass.position >= pass.limit) return;
    pass.volume = volume * 256;
    pass.volumeDelta = -(volume * 256) / frames;
    pass.step = PositionStep(voice.currentRate.load(relaxed), buffer, outputRate);
    LoopsFor(buffer).ramp(pass);
    StorePosition(voice, pass.position);
}

void mixer::Output16(std::int16_t* samples, int frames)
{
    while (frames > 0) {
        const int count = std::min(frames * 2, accumulatorLength);
        Mix(count);
        std::int32_t* values = accumulator.get();
        for (int i = 0; i < count; ++i) {
            const std::int32_t value = values[i];
            samples[i] = value > OUTPUT_HIGH  ? std::int16_t{32767}
                         : value < OUTPUT_LOW ? std::int16_t{-32768}
                                              : static_cast<std::int16_t>(value >> 4);
            values[i] = 0;
        }
        samples += count;
        frames -= count / 2;
    }
}

int mixer::ActiveCount() const
{
    int count = 0;
    for (const sound* voice = active; voice != nullptr; voice = voice->next)
        ++count;
    return count;
}

// [SECTION] Voice supply (program thread) -----------------------------------------------------------------------

mixer::~mixer()
{
    for (const auto& voice : voices)
        SoundBuffer::Release(voice->buffer);
}

sound* mixer::AllocVoice(const output* templ)
{
    sound* voice;
    if (!unused.empty()) {
        voice = unused.back();
        unused.pop_back();
        voice->Reset();
    } else {
        voices.push_back(std::make_unique<sound>(this));
        voice = voices.back().get();
    }
    if (templ != nullptr) voice->CopySettings(*templ);
    return voice;
}

sound* mixer::AddVoice(SoundBuffer* buffer, const output* templ, int state, int autoChannel)
{
    if (buffer == nullptr || buffer->channels == 0 || outputRate == 0) return nullptr;
    // Refuse rather than overwrite an entry the mixer has not read yet.
    if (newVoices.Full()) return nullptr;
    sound* voice = AllocVoice(templ);
    buffer->AddUse();
    voice->buffer = buffer;
    voice->position = 0;
    voice->positionFraction = 0;
    voice->streaming = 0;
    voice->autoChannel = autoChannel;
    voice->state.store(state, relaxed);
    voice->queued = true;
    newVoices.Push(voice);
    return voice;
}

void mixer::CollectRetired()
{
    while (sound* voice = retiredVoices.Pop()) {
        voice->queued = false;
        SoundBuffer::Release(voice->buffer);
        voice->buffer = nullptr;
        // A channel allocated for this playback alone goes back with it, unless the channel has been
        // given another voice since.
        if (voice->autoChannel != 0 && channels != nullptr) {
            const int slot = channels->Slot(voice->autoChannel);
            if (slot != 0 && channels->Voice(slot) == voice) channels->Free(slot);
        }
        voice->autoChannel = 0;
        if (!voice->onChannel) unused.push_back(voice);
    }
}

void mixer::Recycle(sound* voice)
{
    if (voice != nullptr && !voice->queued && !voice->onChannel) unused.push_back(voice);
}

} // namespace vanta::audio
