// The cost of one output pass (4096 stereo frames, about 92.9 ms of sound at 44 100 Hz): a mix of every source
// layout at rates other than 1, with and without ramps, against idle (paused or stopped) voices.
#include "audio/waveout/SoundBuffer.h"
#include "audio/waveout/mixer.h"
#include "audio/waveout/sound.h"

#include <cstdint>
#include <memory>
#include <vector>

#include <benchmark/benchmark.h>

namespace vanta::audio {
namespace {

constexpr int FRAMES = 4096;

// A looping buffer per layout (8/16-bit, mono/stereo) at assorted sample rates.
class Sources
{
public:
    Sources()
    {
        const int hertz[4] = {22050, 44100, 32000, 48000};
        for (int layout = 0; layout < 4; ++layout) {
            const int bits = layout < 2 ? 8 : 16;
            const int channels = layout % 2 + 1;
            const int frames = 20000 + layout * 777;
            std::vector<std::uint8_t> bytes(static_cast<std::size_t>(frames * channels * bits / 8));
            for (std::size_t i = 0; i < bytes.size(); ++i)
                bytes[i] = static_cast<std::uint8_t>(i * 131 + 7);
            buffers.push_back(SoundBuffer::Create(frames, bits, channels, hertz[layout], bytes.data(), -1));
        }
    }
    ~Sources()
    {
        for (SoundBuffer* buffer : buffers)
            SoundBuffer::Release(buffer);
    }
    Sources(const Sources&) = delete;
    Sources& operator=(const Sources&) = delete;

    SoundBuffer* operator[](int i) const { return buffers[static_cast<std::size_t>(i) % buffers.size()]; }

private:
    std::vector<SoundBuffer*> buffers;
};

// Fixed start settings for a voice.
class Start final : public output
{
public:
    Start(int rate, std::int16_t pan) : rate(rate), pan(pan) {}
    void SetRate(int) override {}
    void SetVolume(std::int16_t) override {}
    void SetPan(std::int16_t) override {}
    void SetDepth(std::int16_t) override {}
    int GetRate(int) const override { return rate; }
    std::int16_t GetVolume(int) const override { return 1000; }
    std::int16_t GetPan(int) const override { return pan; }
    std::int16_t GetDepth(int) const override { return 0; }

private:
    int rate;
    std::int16_t pan;
};

struct Scene
{
    Sources sources;
    std::unique_ptr<mixer> voices = std::make_unique<mixer>(2 * FRAMES);
    std::vector<sound*> started;
    std::vector<std::int16_t> out = std::vector<std::int16_t>(std::size_t{2} * FRAMES);

    explicit Scene(int count)
    {
        voices->SetOutput(44100, 2);
        for (int i = 0; i < count; ++i) {
            // Rates from 0.61 to 1.43 of normal speed, never exactly 1.
            const Start start(40000 + (i * 7919) % 54000 + 1, static_cast<std::int16_t>((i * 613) % 8193 - 4096));
            started.push_back(voices->AddVoice(sources[i], &start, VOICE_LOOP));
        }
        voices->Output16(out.data(), FRAMES);
    }
};

// `rampEvery`: every n-th voice gets new volume and rate targets before each pass (0 for none).
void RunPasses(benchmark::State& state, int rampEvery)
{
    Scene scene(static_cast<int>(state.range(0)));
    int round = 0;
    for (auto _ : state) {
        if (rampEvery > 0) {
            for (std::size_t i = 0; i < scene.started.size(); i += static_cast<std::size_t>(rampEvery)) {
                const bool odd = round % 2 == 1;
                scene.started[i]->SetVolume(static_cast<std::int16_t>(odd ? 1500 : 700));
                scene.started[i]->SetRate(odd ? 50000 : 80000);
            }
        }
        ++round;
        scene.voices->Output16(scene.out.data(), FRAMES);
        benchmark::DoNotOptimize(scene.out.data());
    }
    state.counters["voices"] = static_cast<double>(state.range(0));
}

// A quarter of the voices ramping in every pass.
void BM_MixPass(benchmark::State& state)
{
    RunPasses(state, 4);
}
BENCHMARK(BM_MixPass)->Arg(64)->Arg(256)->Unit(benchmark::kMicrosecond);

void BM_MixPassAllRamping(benchmark::State& state)
{
    RunPasses(state, 1);
}
BENCHMARK(BM_MixPassAllRamping)->Arg(256)->Unit(benchmark::kMicrosecond);

void BM_MixPassNoRamps(benchmark::State& state)
{
    RunPasses(state, 0);
}
BENCHMARK(BM_MixPassNoRamps)->Arg(64)->Arg(256)->Unit(benchmark::kMicrosecond);

// Idle voices: all paused (they stay in the active list), or all stopped (they leave it after one pass).
void BM_MixPassPaused(benchmark::State& state)
{
    Scene scene(static_cast<int>(state.range(0)));
    for (sound* voice : scene.started)
        voice->Pause(true);
    for (auto _ : state) {
        scene.voices->Output16(scene.out.data(), FRAMES);
        benchmark::DoNotOptimize(scene.out.data());
    }
}
BENCHMARK(BM_MixPassPaused)->Arg(0)->Arg(256)->Unit(benchmark::kMicrosecond);

void BM_MixPassStopped(benchmark::State& state)
{
    Scene scene(static_cast<int>(state.range(0)));
    for (sound* voice : scene.started)
        voice->Stop();
    scene.voices->Output16(scene.out.data(), FRAMES); // the fade-out pass
    scene.voices->CollectRetired();
    for (auto _ : state) {
        scene.voices->Output16(scene.out.data(), FRAMES);
        benchmark::DoNotOptimize(scene.out.data());
    }
}
BENCHMARK(BM_MixPassStopped)->Arg(256)->Unit(benchmark::kMicrosecond);

} // namespace
} // namespace vanta::audio

BENCHMARK_MAIN();
