// The mixer driven pass by pass, with no device: rates, gains, pan and depth, ramps, the end rule, the
// output clipping, the queues' limits, and a floating-point model of the whole pass to compare against.
#include "audio/waveout/sound.h"
#include "support/AudioTestSupport.h"

#include <cmath>
#include <cstdint>
#include <vector>

#include <gtest/gtest.h>

namespace vanta::audio::test {
namespace {

// Starts a voice on `buffer` with `settings` (state VOICE_ONCE unless given).
sound* Start(mixer& voices, SoundBuffer* buffer, const Settings& settings, int state = VOICE_ONCE)
{
    sound* voice = voices.AddVoice(buffer, &settings, state);
    EXPECT_NE(voice, nullptr);
    return voice;
}

std::vector<std::int16_t> Sine(int frames, int period, double amplitude)
{
    std::vector<std::int16_t> samples(static_cast<std::size_t>(frames));
    for (int i = 0; i < frames; ++i)
        samples[static_cast<std::size_t>(i)] =
            static_cast<std::int16_t>(std::lround(amplitude * std::sin(2 * M_PI * i / period)));
    return samples;
}

TEST(Mixer, StepsAtTheOutputRate)
{
    // A 44 100 Hz buffer at normal speed moves exactly one frame per output frame (dividing by 44010 would
    // have moved it 4104.4 frames in a pass, every sound 0.2 % fast).
    auto voices = MakeMixer();
    auto buffer = ConstantBuffer(20000, 1000, 0);
    sound* voice = Start(*voices, buffer.get(), Settings{});
    RunPass(*voices);
    EXPECT_EQ(voice->position, PASS_FRAMES);
    EXPECT_EQ(voice->positionFraction, 0u);

    // 22050 Hz at normal speed: half a frame per output frame, so every source frame is heard twice.
    std::vector<std::int16_t> ramp(10000);
    for (std::size_t i = 0; i < ramp.size(); ++i)
        ramp[i] = static_cast<std::int16_t>(i);
    auto halfRate = MakeBuffer16(ramp, 1, 22050, 0);
    auto slow = MakeMixer();
    sound* halfVoice = Start(*slow, halfRate.get(), Settings{});
    const auto out = RunPass(*slow);
    EXPECT_EQ(halfVoice->position, PASS_FRAMES / 2);
    EXPECT_EQ(halfVoice->positionFraction, 0u);
    for (int frame = 0; frame < PASS_FRAMES; frame += 511) {
        EXPECT_EQ(Left(out, frame), frame / 2) << frame;
        EXPECT_EQ(Right(out, frame), frame / 2) << frame;
    }
}

TEST(Mixer, SilentVoiceStillAdvancesAndEndsOnTime)
{
    // 10000 frames end during the third pass, silent or not.
    auto buffer = ConstantBuffer(10000, 8000, 0);
    Settings silent;
    silent.volume = 0;
    Settings heard;
    auto quiet = MakeMixer();
    auto loud = MakeMixer();
    sound* quietVoice = Start(*quiet, buffer.get(), silent);
    sound* loudVoice = Start(*loud, buffer.get(), heard);

    for (int pass = 1; pass <= 2; ++pass) {
        const auto out = RunPass(*quiet);
        RunPass(*loud);
        EXPECT_EQ(quietVoice->position, pass * PASS_FRAMES);
        EXPECT_EQ(loudVoice->position, pass * PASS_FRAMES);
        EXPECT_EQ(quietVoice->State(), VOICE_ONCE);
        EXPECT_EQ(out[123], 0);
    }
    RunPass(*quiet);
    const auto last = RunPass(*loud);
    EXPECT_EQ(Left(last, 10000 - 2 * PASS_FRAMES - 1), 8000);
    EXPECT_EQ(Left(last, 10000 - 2 * PASS_FRAMES), 0);
    // No channel of its own: the voice goes idle, and the mixer hands it back at once.
    EXPECT_EQ(quietVoice->State(), VOICE_IDLE);
    EXPECT_EQ(loudVoice->State(), VOICE_IDLE);
    EXPECT_EQ(quiet->ActiveCount(), 0);
    EXPECT_EQ(loud->ActiveCount(), 0);
}

TEST(Mixer, PanAndDepth)
{
    auto buffer = ConstantBuffer(100, 8000, -1);
    struct Case
    {
        std::int16_t pan;
        std::int16_t depth;
        int left;
        int right;
    };
    const Case cases[] = {
        {4096, 0, 0, 8000},      // full right: the left side is silent
        {-4096, 0, 8000, 0},     // full left
        {2048, 0, 4000, 8000},   // half right: left at half gain
        {-1024, 0, 8000, 6000},  // a quarter left
        {0, -4096, 8000, -8000}, // negative depth inverts the right side
        {2048, -1, 4000, -8000},
    };
    for (const Case& c : cases) {
        auto voices = MakeMixer();
        Settings settings;
        settings.pan = c.pan;
        settings.depth = c.depth;
        Start(*voices, buffer.get(), settings, VOICE_LOOP);
        const auto out = RunPass(*voices);
        EXPECT_EQ(Left(out, 77), c.left) << "pan " << c.pan << " depth " << c.depth;
        EXPECT_EQ(Right(out, 77), c.right) << "pan " << c.pan << " depth " << c.depth;
    }
}

TEST(Mixer, PanBeyondFullSideIsHeldAtFullSide)
{
    // A pan of 2.0 would otherwise invert the left side instead of silencing it.
    auto buffer = ConstantBuffer(100, 8000, -1);
    auto voices = MakeMixer();
    Settings settings;
    settings.pan = 8192;
    Start(*voices, buffer.get(), settings, VOICE_LOOP);
    const auto out = RunPass(*voices);
    EXPECT_EQ(Left(out, 5), 0);
    EXPECT_EQ(Right(out, 5), 8000);
}

TEST(Mixer, VolumeChangeFadesLinearlyAcrossOnePass)
{
    auto buffer = ConstantBuffer(1000, 16384, -1);
    auto voices = MakeMixer();
    sound* voice = Start(*voices, buffer.get(), Settings{}, VOICE_LOOP);
    const auto before = RunPass(*voices);
    EXPECT_EQ(Left(before, 4095), 16384);

    voice->SetVolume(0);
    const auto fade = RunPass(*voices);
    // The volume runs 4096, 4095, ... 1 across the 4096 frames: 16384 * volume / 4096 at each.
    for (int frame = 0; frame < PASS_FRAMES; ++frame) {
        ASSERT_EQ(Left(fade, frame), 4 * (4096 - frame)) << frame;
        ASSERT_EQ(Right(fade, frame), 4 * (4096 - frame)) << frame;
    }
    EXPECT_EQ(voice->GetVolume(0), 0);

    const auto after = RunPass(*voices);
    EXPECT_EQ(Left(after, 0), 0);
    EXPECT_EQ(voices->ActiveCount(), 1); // silent but still looping
}

TEST(Mixer, OutputClipsBeyondItsLimits)
{
    auto voices = MakeMixer();
    std::int32_t* accumulator = voices->Accumulator();
    const std::int32_t values[] = {524272, 524271, 524287, -524289, -524288, -524287, 16, -1, 0, 2000000000};
    const std::int16_t expected[] = {32767, 32766, 32767, -32768, -32768, -32768, 1, -1, 0, 32767};
    for (std::size_t i = 0; i < std::size(values); ++i)
        accumulator[i] = values[i];
    const auto out = RunPass(*voices);
    for (std::size_t i = 0; i < std::size(values); ++i)
        EXPECT_EQ(out[i], expected[i]) << values[i];
    // The output pass leaves the accumulator cleared.
    const auto next = RunPass(*voices);
    for (std::size_t i = 0; i < std::size(values); ++i)
        EXPECT_EQ(next[i], 0);
}

TEST(Mixer, SourceLayouts)
{
    // 8-bit samples are unsigned around 128; stereo frames are left, right.
    auto mono8 = MakeBuffer8({0, 128, 255, 200}, 1, OUTPUT_RATE, -1);
    auto stereo8 = MakeBuffer8({0, 255, 128, 64}, 2, OUTPUT_RATE, -1);
    auto stereo16 = MakeBuffer16({1000, -2000, -32768, 32767}, 2, OUTPUT_RATE, -1);

    auto voices = MakeMixer();
    Start(*voices, mono8.get(), Settings{}, VOICE_LOOP);
    auto out = RunPass(*voices);
    const int mono8Expected[] = {-32768, 0, 32512, 18432};
    for (int frame = 0; frame < 8; ++frame) {
        EXPECT_EQ(Left(out, frame), mono8Expected[frame % 4]) << frame;
        EXPECT_EQ(Right(out, frame), mono8Expected[frame % 4]) << frame;
    }

    voices = MakeMixer();
    Start(*voices, stereo8.get(), Settings{}, VOICE_LOOP);
    out = RunPass(*voices);
    EXPECT_EQ(Left(out, 0), -32768);
    EXPECT_EQ(Right(out, 0), 32512);
    EXPECT_EQ(Left(out, 1), 0);
    EXPECT_EQ(Right(out, 1), -16384);
    EXPECT_EQ(Left(out, 2), -32768);

    voices = MakeMixer();
    Start(*voices, stereo16.get(), Settings{}, VOICE_LOOP);
    out = RunPass(*voices);
    EXPECT_EQ(Left(out, 0), 1000);
    EXPECT_EQ(Right(out, 0), -2000);
    EXPECT_EQ(Left(out, 1), -32768);
    EXPECT_EQ(Right(out, 1), 32767);
    EXPECT_EQ(Left(out, 4001), -32768);
}

TEST(Mixer, LoopWrapsKeepingTheFraction)
{
    // 1.5 frames per output frame over a 7-frame loop: 4096 * 1.5 = 6144 frames = 877 loops + 5 frames.
    auto buffer = ConstantBuffer(7, 100, -1);
    auto voices = MakeMixer();
    Settings settings;
    settings.rate = RATE_NORMAL * 3 / 2;
    sound* voice = Start(*voices, buffer.get(), settings, VOICE_LOOP);
    RunPass(*voices);
    EXPECT_EQ(voice->position, 6144 % 7);
    EXPECT_EQ(voice->positionFraction, 0u);
    voice->SetRate(RATE_NORMAL + RATE_NORMAL / 4); // ramps from 1.5 to 1.25
    RunPass(*voices);
    RunPass(*voices);
    EXPECT_GE(voice->position, 0);
    EXPECT_LT(voice->position, 7);
    EXPECT_EQ(voice->State(), VOICE_LOOP);
}

TEST(Mixer, NegativeRatePlaysStandingStill)
{
    // A negative rate would walk the read position backwards out of the buffer.
    auto buffer = MakeBuffer16({300, 600, 900}, 1, OUTPUT_RATE, 0);
    auto voices = MakeMixer();
    Settings settings;
    settings.rate = -RATE_NORMAL;
    sound* voice = Start(*voices, buffer.get(), settings);
    const auto out = RunPass(*voices);
    EXPECT_EQ(voice->position, 0);
    EXPECT_EQ(Left(out, 4095), 300);
    EXPECT_EQ(voice->State(), VOICE_ONCE);
}

TEST(Mixer, EmptyBufferEndsAtOnceEvenWhenLooping)
{
    auto empty = BufferPtr(SoundBuffer::Create(0, 16, 2, OUTPUT_RATE, nullptr, -1));
    ASSERT_NE(empty, nullptr);
    auto voices = MakeMixer();
    sound* voice = Start(*voices, empty.get(), Settings{}, VOICE_LOOP);
    const auto out = RunPass(*voices);
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(voice->State(), VOICE_IDLE);
    EXPECT_EQ(voices->ActiveCount(), 0);
}

TEST(Mixer, PauseHoldsThePosition)
{
    auto buffer = ConstantBuffer(50000, 500, 0);
    auto voices = MakeMixer();
    sound* voice = Start(*voices, buffer.get(), Settings{});
    RunPass(*voices);
    voice->Pause(true);
    EXPECT_EQ(voice->State(), VOICE_ONCE | VOICE_PAUSED);
    // Settings made while paused apply at once instead of ramping on resume.
    voice->SetVolume(2048);
    const auto paused = RunPass(*voices);
    EXPECT_EQ(paused[10], 0);
    EXPECT_EQ(voice->position, PASS_FRAMES);
    voice->Pause(false);
    const auto resumed = RunPass(*voices);
    EXPECT_EQ(Left(resumed, 0), 250);
    EXPECT_EQ(voice->position, 2 * PASS_FRAMES);
}

TEST(Mixer, StopFadesOutOverOnePassThenHandsTheVoiceBack)
{
    auto buffer = MakeBuffer16(Sine(100, 100, 20000), 1, OUTPUT_RATE, -1);
    auto voices = MakeMixer();
    sound* voice = Start(*voices, buffer.get(), Settings{}, VOICE_LOOP);
    const auto playing = RunPass(*voices);
    voice->Stop();
    EXPECT_EQ(voice->State(), VOICE_IDLE);
    const auto stopping = RunPass(*voices);
    EXPECT_EQ(voices->ActiveCount(), 0);

    // No jump between the passes or inside the fade bigger than the tone's own largest step.
    int largestStep = 0;
    for (int frame = 1; frame < PASS_FRAMES; ++frame)
        largestStep = std::max(largestStep, std::abs(Left(playing, frame) - Left(playing, frame - 1)));
    EXPECT_LE(std::abs(Left(stopping, 0) - Left(playing, PASS_FRAMES - 1)), largestStep);
    for (int frame = 1; frame < PASS_FRAMES; ++frame)
        ASSERT_LE(std::abs(Left(stopping, frame) - Left(stopping, frame - 1)), largestStep) << frame;
    EXPECT_GT(std::abs(Left(stopping, 25)), 15000); // still near full level at the start of the fade
    EXPECT_LE(std::abs(Left(stopping, PASS_FRAMES - 1)), 5);
    const auto after = RunPass(*voices);
    EXPECT_EQ(after[0], 0);
}

TEST(Mixer, NewVoiceQueueRefusesRatherThanOverwrites)
{
    auto buffer = ConstantBuffer(10, 0, 0);
    auto voices = MakeMixer();
    Settings silent;
    silent.volume = 0;
    for (int i = 0; i < mixer::QUEUE_LENGTH - 1; ++i)
        ASSERT_NE(voices->AddVoice(buffer.get(), &silent, VOICE_LOOP), nullptr) << i;
    EXPECT_EQ(voices->AddVoice(buffer.get(), &silent, VOICE_LOOP), nullptr);
    EXPECT_EQ(buffer->uses, mixer::QUEUE_LENGTH); // the refused voice took no use
    RunPass(*voices);
    EXPECT_EQ(voices->ActiveCount(), mixer::QUEUE_LENGTH - 1);
    EXPECT_NE(voices->AddVoice(buffer.get(), &silent, VOICE_LOOP), nullptr);
}

TEST(Mixer, FullRetiredQueueKeepsIdleVoicesForLater)
{
    auto buffer = ConstantBuffer(10, 0, 0);
    auto voices = MakeMixer();
    Settings silent;
    silent.volume = 0;
    std::vector<sound*> started;
    for (int i = 0; i < mixer::QUEUE_LENGTH + 9; ++i) {
        if (i == mixer::QUEUE_LENGTH - 1) RunPass(*voices);
        started.push_back(voices->AddVoice(buffer.get(), &silent, VOICE_LOOP));
        ASSERT_NE(started.back(), nullptr);
    }
    RunPass(*voices);
    ASSERT_EQ(voices->ActiveCount(), mixer::QUEUE_LENGTH + 9);
    for (sound* voice : started)
        voice->Stop();
    RunPass(*voices);
    EXPECT_EQ(voices->ActiveCount(), 10); // 4095 handed back, 10 wait
    EXPECT_EQ(buffer->uses, mixer::QUEUE_LENGTH + 10);
    voices->CollectRetired();
    EXPECT_EQ(buffer->uses, 11);
    RunPass(*voices);
    EXPECT_EQ(voices->ActiveCount(), 0);
    voices->CollectRetired();
    EXPECT_EQ(buffer->uses, 1);
    // Reused, not made anew.
    EXPECT_NE(voices->AddVoice(buffer.get(), &silent, VOICE_LOOP), nullptr);
    EXPECT_EQ(voices->VoiceCount(), mixer::QUEUE_LENGTH + 9);
}

// [SECTION] A floating-point model of the mix pass, for comparison ----------------------------------------------

// One voice as the model sees it: parameters as the program sets them, position in samples.
struct ModelVoice
{
    const SoundBuffer* buffer;
    bool loop;
    int rateCurrent;
    int rateTarget;
    int volumeCurrent;
    int volumeTarget;
    int pan;
    int depth;
    std::uint64_t position = 0; // 32.32
    bool ended = false;
};

// Samples as 16-bit values: 8-bit data is unsigned around 128.
double SampleAt(const SoundBuffer& buffer, std::uint64_t index)
{
    if (buffer.bits == 8) return (buffer.data[index] - 128) * 256.0;
    return reinterpret_cast<const std::int16_t*>(buffer.data)[index];
}

std::int64_t ModelStep(int rate, const SoundBuffer& buffer)
{
    if (rate <= 0) return 0;
    return (std::int64_t{rate} * buffer.hertz / OUTPUT_RATE) * buffer.channels * 65536;
}

// Adds one pass of `voice` to `mix` (interleaved, in 16-bit units).
void ModelPass(ModelVoice& voice, std::vector<double>& mix)
{
    if (voice.ended) return;
    const SoundBuffer& buffer = *voice.buffer;
    const std::uint64_t end = static_cast<std::uint64_t>(buffer.frames) * buffer.channels << 32;
    const std::int64_t stepFrom = ModelStep(voice.rateCurrent, buffer);
    const std::int64_t stepTo = ModelStep(voice.rateTarget, buffer);
    const bool fixed = voice.volumeCurrent == voice.volumeTarget && stepFrom == stepTo;
    const int volumeChange = (voice.volumeTarget * 256 - voice.volumeCurrent * 256) / PASS_FRAMES;
    const std::int64_t stepChange = (stepTo - stepFrom) / PASS_FRAMES;
    for (int frame = 0; frame < PASS_FRAMES; ++frame) {
        const int volume = fixed ? voice.volumeCurrent : (voice.volumeCurrent * 256 + frame * volumeChange) >> 8;
        const std::int64_t step = fixed ? stepFrom : stepFrom + frame * stepChange;
        int left = volume;
        int right = volume;
        if (voice.pan > 0) left = volume * (4096 - voice.pan) >> 12;
        if (voice.pan < 0) right = volume * (4096 + voice.pan) >> 12;
        if (voice.depth < 0) right = -right;
        const std::uint64_t sample = voice.position >> 32;
        double leftValue;
        double rightValue;
        if (buffer.channels == 1) {
            leftValue = rightValue = SampleAt(buffer, sample);
        } else {
            leftValue = SampleAt(buffer, sample & ~std::uint64_t{1});
            rightValue = SampleAt(buffer, (sample & ~std::uint64_t{1}) + 1);
        }
        mix[2 * static_cast<std::size_t>(frame)] += leftValue * left / 4096.0;
        mix[2 * static_cast<std::size_t>(frame) + 1] += rightValue * right / 4096.0;
        voice.position += static_cast<std::uint64_t>(step);
        while (voice.position >= end) {
            if (!voice.loop) {
                voice.ended = true;
                return;
            }
            voice.position -= end;
        }
    }
    voice.volumeCurrent = voice.volumeTarget;
    voice.rateCurrent = voice.rateTarget;
}

std::int16_t ModelOutput(double value)
{
    return static_cast<std::int16_t>(std::clamp(std::floor(value), -32768.0, 32767.0));
}

// A small deterministic generator for test data.
class Noise
{
public:
    explicit Noise(std::uint32_t seed) : state(seed) {}
    std::uint32_t Next()
    {
        state = state * 1664525u + 1013904223u;
        return state >> 8;
    }

private:
    std::uint32_t state;
};

TEST(Mixer, AgreesWithAFloatingPointModel)
{
    Noise noise(12345);
    auto words = [&](int count) {
        std::vector<std::int16_t> values(static_cast<std::size_t>(count));
        for (auto& value : values)
            value = static_cast<std::int16_t>(noise.Next() & 0xFFFF);
        return values;
    };
    auto bytes = [&](int count) {
        std::vector<std::uint8_t> values(static_cast<std::size_t>(count));
        for (auto& value : values)
            value = static_cast<std::uint8_t>(noise.Next());
        return values;
    };

    // Several voices of every layout: looping and once-only, odd rates, pans, depths and loud volumes that
    // make the sum clip now and then.
    std::vector<BufferPtr> buffers;
    buffers.push_back(MakeBuffer8(bytes(3001), 1, 11025, -1));
    buffers.push_back(MakeBuffer8(bytes(2 * 5000), 2, 22050, 0));
    buffers.push_back(MakeBuffer16(words(4999), 1, 44100, -1));
    buffers.push_back(MakeBuffer16(words(2 * 7777), 2, 48000, -1));
    buffers.push_back(MakeBuffer16(words(2 * 20000), 2, 32000, 0));
    buffers.push_back(MakeBuffer16(words(1234), 1, 8000, -1));
    struct Start
    {
        int rate;
        int volume;
        int pan;
        int depth;
    };
    const Start starts[] = {
        {65536, 1500, 0, 0},   {90000, 1200, 4096, 0},   {47000, 800, -1500, -1},
        {65536, 1000, 700, 0}, {123456, 6000, -4096, 0}, {65536, 900, 0, -4096},
    };

    auto voices = MakeMixer();
    std::vector<sound*> mixed;
    std::vector<ModelVoice> modelled;
    for (std::size_t i = 0; i < buffers.size(); ++i) {
        Settings settings;
        settings.rate = starts[i].rate;
        settings.volume = static_cast<std::int16_t>(starts[i].volume);
        settings.pan = static_cast<std::int16_t>(starts[i].pan);
        settings.depth = static_cast<std::int16_t>(starts[i].depth);
        const bool loop = buffers[i]->loop != 0;
        mixed.push_back(voices->AddVoice(buffers[i].get(), &settings, loop ? VOICE_LOOP : VOICE_ONCE));
        modelled.push_back(ModelVoice{buffers[i].get(), loop, starts[i].rate, starts[i].rate, starts[i].volume,
                                      starts[i].volume, starts[i].pan, starts[i].depth});
    }

    int compared = 0;
    int clipped = 0;
    for (int pass = 0; pass < 10; ++pass) {
        // Ramps: volume changes, rate changes and both at once on different voices in different passes.
        if (pass > 0) {
            for (std::size_t i = 0; i < mixed.size(); ++i) {
                const std::uint32_t change = noise.Next() % 4;
                if (change == 1 || change == 3) {
                    const int volume = static_cast<int>(noise.Next() % 2500);
                    mixed[i]->SetVolume(static_cast<std::int16_t>(volume));
                    modelled[i].volumeTarget = volume;
                }
                if (change == 2 || change == 3) {
                    const int rate = 20000 + static_cast<int>(noise.Next() % 150000);
                    mixed[i]->SetRate(rate);
                    modelled[i].rateTarget = rate;
                }
            }
        }
        std::vector<double> model(PASS_VALUES, 0.0);
        for (auto& voice : modelled)
            ModelPass(voice, model);
        const auto out = RunPass(*voices);
        for (int i = 0; i < PASS_VALUES; ++i) {
            const std::int16_t expected = ModelOutput(model[static_cast<std::size_t>(i)]);
            ASSERT_NEAR(out[static_cast<std::size_t>(i)], expected, 1)
                << "pass " << pass << " value " << i << " model " << model[static_cast<std::size_t>(i)];
            ++compared;
            if (expected == 32767 || expected == -32768) ++clipped;
        }
    }
    EXPECT_EQ(compared, 10 * PASS_VALUES);
    EXPECT_GT(clipped, 0);
    EXPECT_LT(clipped, compared / 4);
    EXPECT_TRUE(modelled[1].ended); // the once-only voices ended during the comparison
}

} // namespace
} // namespace vanta::audio::test
