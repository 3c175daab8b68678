// Decoding a whole Ogg Vorbis file (6 s of stereo 44 100 Hz music, data/music6s.ogg) through the sample
// loader, from a runtime memory stream into a sample, against a bare libvorbisfile loop over the same bytes
// (memory callbacks, one buffer of the announced length, ov_read until the end). The loader's overhead is
// the ratio of the two.
//
// And the memory a hostile file leaves: the fuzzer's chained file whose second link is broken
// (tests/audio/data/chained_broken_second_link.ogg), loaded 10 000 times.
#include "audio/OggLoader.h"
#include "bench/support/ResidentSize.h"
#include "stream/MemoryStream.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <vorbis/vorbisfile.h>

namespace vanta {
namespace {

std::vector<std::uint8_t> ReadFile(const char* path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

const std::vector<std::uint8_t>& Music()
{
    static const std::vector<std::uint8_t> bytes = ReadFile(BENCH_DATA_DIR "/music6s.ogg");
    return bytes;
}

// The bare loop's data source.
struct Memory
{
    const std::uint8_t* data;
    std::size_t size;
    std::size_t pos;
};

std::size_t MemoryRead(void* buffer, std::size_t size, std::size_t count, void* source)
{
    auto& memory = *static_cast<Memory*>(source);
    const std::size_t bytes = std::min(size * count, memory.size - memory.pos);
    std::memcpy(buffer, memory.data + memory.pos, bytes);
    memory.pos += bytes;
    return bytes / size;
}

int MemorySeek(void* source, ogg_int64_t offset, int origin)
{
    auto& memory = *static_cast<Memory*>(source);
    const std::int64_t base = origin == SEEK_SET   ? 0
                              : origin == SEEK_CUR ? std::int64_t(memory.pos)
                                                   : std::int64_t(memory.size);
    const std::int64_t target = base + offset;
    if (target < 0 || target > std::int64_t(memory.size)) return -1;
    memory.pos = static_cast<std::size_t>(target);
    return 0;
}

long MemoryTell(void* source)
{
    return static_cast<long>(static_cast<Memory*>(source)->pos);
}

void BM_BareOvRead(benchmark::State& state)
{
    const std::vector<std::uint8_t>& music = Music();
    std::int64_t decoded = 0;
    for (auto _ : state) {
        Memory memory{music.data(), music.size(), 0};
        OggVorbis_File file;
        if (ov_open_callbacks(&memory, &file, nullptr, 0, {MemoryRead, MemorySeek, nullptr, MemoryTell}) < 0) {
            state.SkipWithError("not Ogg Vorbis");
            return;
        }
        const std::int64_t bytes = ov_pcm_total(&file, 0) * 2 * ov_info(&file, -1)->channels;
        const std::unique_ptr<char[]> pcm(new char[static_cast<std::size_t>(bytes)]);
        std::int64_t done = 0;
        int link = 0;
        while (done < bytes) {
            const long got = ov_read(&file, pcm.get() + done, static_cast<int>(bytes - done), 0, 2, 1, &link);
            if (got <= 0) break;
            done += got;
        }
        ov_clear(&file);
        benchmark::DoNotOptimize(pcm.get());
        decoded = done;
    }
    state.SetBytesProcessed(state.iterations() * decoded);
}
BENCHMARK(BM_BareOvRead)->Unit(benchmark::kMillisecond);

void BM_OggLoader(benchmark::State& state)
{
    InitOggLoader();
    std::vector<std::uint8_t> music = Music();
    Ref<TAudioSampleLoader> loader = AudioSampleLoaders();
    std::int64_t decoded = 0;
    for (auto _ : state) {
        const int level = ReleaseStackLevel();
        {
            Ref<TAudioSample> sample = loader->LoadAudioSample(
                CreateMemoryStream(music.data(), static_cast<std::int32_t>(music.size()), true, false));
            if (sample.IsNull()) {
                state.SkipWithError("not loaded");
                return;
            }
            benchmark::DoNotOptimize(sample->samples);
            decoded = std::int64_t{sample->length} * 4;
        }
        FlushReleaseStack(level);
    }
    state.SetBytesProcessed(state.iterations() * decoded);
}
BENCHMARK(BM_OggLoader)->Unit(benchmark::kMillisecond);

// libvorbisfile, once shown the broken link, kept about 35 KB on every load. Counted from after a first
// load (which sets up what stays for the process's life) to the end: the runtime's memory in use must not
// move, and the resident size must stay within 1 MB; the run reports an error otherwise.
void BM_ChainedFileWithABrokenLinkLeavesNothing(benchmark::State& state)
{
    InitOggLoader();
    std::vector<std::uint8_t> bytes = ReadFile(AUDIO_TEST_DATA_DIR "/chained_broken_second_link.ogg");
    const auto loadOnce = [&bytes] {
        const int level = ReleaseStackLevel();
        LoadAudioSample(CreateMemoryStream(bytes.data(), static_cast<std::int32_t>(bytes.size()), true, false));
        FlushReleaseStack(level);
    };
    constexpr int LOADS = 10000;
    for (auto _ : state) {
        loadOnce();
        const std::int64_t memory = MemoryInUse();
        const std::int64_t resident = bench::ResidentBytes();
        for (int i = 0; i < LOADS; ++i)
            loadOnce();
        const std::int64_t memoryGrowth = MemoryInUse() - memory;
        const std::int64_t residentGrowth = bench::ResidentBytes() - resident;
        state.counters["loads"] = LOADS;
        state.counters["memory_in_use_growth_bytes"] = static_cast<double>(memoryGrowth);
        state.counters["rss_growth_KiB"] = static_cast<double>(residentGrowth) / 1024.0;
        if (memoryGrowth != 0 || residentGrowth > (1 << 20)) {
            // The figures go into the message: a run that reports an error shows no counters.
            static std::string failure;
            failure = "loading the file leaves memory: memory in use +" + std::to_string(memoryGrowth) +
                      " bytes, resident size +" + std::to_string(residentGrowth / 1024) + " KiB";
            state.SkipWithError(failure.c_str());
        }
    }
}
BENCHMARK(BM_ChainedFileWithABrokenLinkLeavesNothing)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
} // namespace vanta

BENCHMARK_MAIN();
