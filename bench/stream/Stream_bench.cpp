// Streams against the standard library: reading lines from a file, loading a whole file, and reading
// 32-bit numbers from memory one at a time.
#include "runtime/Object.h"
#include "stream/MemoryStream.h"
#include "stream/Stream.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

namespace {

using namespace vanta;

// The test files, written once per run into a temporary directory that is removed at exit.
class BenchFiles
{
public:
    static BenchFiles& Get()
    {
        static BenchFiles files;
        return files;
    }

    const std::string& Text() const { return text_; }
    const std::string& Binary() const { return binary_; }

private:
    BenchFiles()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "vanta-stream-bench-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) std::abort();
        dir_ = pattern;
        text_ = (dir_ / "lines.txt").string();
        binary_ = (dir_ / "data.bin").string();

        // 20 MB of lines of 10 to 120 characters.
        std::uint32_t seed = 7;
        auto next = [&] { return seed = seed * 1664525u + 1013904223u; };
        std::string text;
        text.reserve(20u << 20);
        while (text.size() < (20u << 20)) {
            const std::uint32_t length = 10 + (next() >> 8) % 111;
            for (std::uint32_t i = 0; i < length; ++i)
                text.push_back(static_cast<char>(' ' + (next() >> 12) % 95));
            text.push_back('\n');
        }
        std::ofstream(text_, std::ios::binary).write(text.data(), static_cast<std::streamsize>(text.size()));

        std::string binary(50u << 20, '\0');
        for (char& c : binary)
            c = static_cast<char>(next() >> 24);
        std::ofstream(binary_, std::ios::binary).write(binary.data(), static_cast<std::streamsize>(binary.size()));
    }

    ~BenchFiles()
    {
        std::error_code ignored;
        std::filesystem::remove_all(dir_, ignored);
    }

    std::filesystem::path dir_;
    std::string text_;
    std::string binary_;
};

Ref<String> PathOf(const std::string& path)
{
    return String::FromBytes(path.data(), static_cast<std::int32_t>(path.size()));
}

void BM_ReadLineFileStream(benchmark::State& state)
{
    const Ref<String> path = PathOf(BenchFiles::Get().Text());
    std::int64_t bytes = 0;
    for (auto _ : state) {
        const int level = ReleaseStackLevel();
        {
            Ref<TByteStream> stream = OpenReadStream(path);
            std::int64_t units = 0;
            int lines = 0;
            while (stream->Eof() == 0) {
                units += stream->ReadLine()->Length();
                if (++lines % 1024 == 0) FlushReleaseStack(level + 1);
            }
            stream->Close();
            benchmark::DoNotOptimize(units);
            bytes += static_cast<std::int64_t>(std::filesystem::file_size(BenchFiles::Get().Text()));
        }
        FlushReleaseStack(level);
    }
    state.SetBytesProcessed(bytes);
}
BENCHMARK(BM_ReadLineFileStream)->Unit(benchmark::kMillisecond);

void BM_ReadLineStdGetline(benchmark::State& state)
{
    const std::string& path = BenchFiles::Get().Text();
    std::int64_t bytes = 0;
    for (auto _ : state) {
        std::ifstream in(path, std::ios::binary);
        std::string line;
        std::int64_t units = 0;
        while (std::getline(in, line))
            units += static_cast<std::int64_t>(line.size());
        benchmark::DoNotOptimize(units);
        bytes += static_cast<std::int64_t>(std::filesystem::file_size(path));
    }
    state.SetBytesProcessed(bytes);
}
BENCHMARK(BM_ReadLineStdGetline)->Unit(benchmark::kMillisecond);

void BM_LoadByteArray(benchmark::State& state)
{
    const Ref<String> path = PathOf(BenchFiles::Get().Binary());
    std::int64_t bytes = 0;
    for (auto _ : state) {
        const int level = ReleaseStackLevel();
        {
            Ref<Array> array = LoadByteArray(path);
            benchmark::DoNotOptimize(array->Data());
            bytes += array->Length();
        }
        FlushReleaseStack(level);
    }
    state.SetBytesProcessed(bytes);
}
BENCHMARK(BM_LoadByteArray)->Unit(benchmark::kMillisecond);

// The C library's way without knowing the size: fread chunks into a growing vector.
void BM_LoadFreadLoop(benchmark::State& state)
{
    const std::string& path = BenchFiles::Get().Binary();
    std::int64_t bytes = 0;
    for (auto _ : state) {
        std::FILE* file = std::fopen(path.c_str(), "rb");
        std::vector<char> data;
        std::size_t length = 0;
        constexpr std::size_t CHUNK = std::size_t{64} * 1024;
        for (;;) {
            if (data.size() < length + CHUNK) data.resize(std::max(data.size() * 2, length + CHUNK));
            const std::size_t n = std::fread(data.data() + length, 1, CHUNK, file);
            length += n;
            if (n < CHUNK) break;
        }
        std::fclose(file);
        data.resize(length);
        benchmark::DoNotOptimize(data.data());
        bytes += static_cast<std::int64_t>(length);
    }
    state.SetBytesProcessed(bytes);
}
BENCHMARK(BM_LoadFreadLoop)->Unit(benchmark::kMillisecond);

// The C library's way when the size is asked first: one buffer, fread until it is full.
void BM_LoadFreadSized(benchmark::State& state)
{
    const std::string& path = BenchFiles::Get().Binary();
    std::int64_t bytes = 0;
    for (auto _ : state) {
        std::FILE* file = std::fopen(path.c_str(), "rb");
        std::fseek(file, 0, SEEK_END);
        const auto size = static_cast<std::size_t>(std::ftell(file));
        std::fseek(file, 0, SEEK_SET);
        std::vector<char> data(size);
        std::size_t length = 0;
        while (length < size) {
            const std::size_t n = std::fread(data.data() + length, 1, size - length, file);
            if (n == 0) break;
            length += n;
        }
        std::fclose(file);
        benchmark::DoNotOptimize(data.data());
        bytes += static_cast<std::int64_t>(length);
    }
    state.SetBytesProcessed(bytes);
}
BENCHMARK(BM_LoadFreadSized)->Unit(benchmark::kMillisecond);

constexpr std::int32_t INT_COUNT = 1 << 20;

std::vector<std::int32_t>& Numbers()
{
    static std::vector<std::int32_t> numbers = [] {
        std::vector<std::int32_t> v(INT_COUNT);
        for (std::int32_t i = 0; i < INT_COUNT; ++i)
            v[static_cast<std::size_t>(i)] = static_cast<std::int32_t>(static_cast<std::uint32_t>(i) * 2654435761u);
        return v;
    }();
    return numbers;
}

// As a loader holds it, a `TByteStream`, read with the free reader (which takes the bytes from the
// memory stream's window).
void BM_ReadIntMemoryStream(benchmark::State& state)
{
    std::vector<std::int32_t>& numbers = Numbers();
    const Ref<TByteStream> stream = CreateMemoryStream(numbers.data(), INT_COUNT * 4, true, false);
    for (auto _ : state) {
        stream->Seek(0);
        std::int32_t sum = 0;
        for (std::int32_t i = 0; i < INT_COUNT; ++i)
            sum += ReadInt(stream);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * INT_COUNT);
}
BENCHMARK(BM_ReadIntMemoryStream)->Unit(benchmark::kMicrosecond);

// The same through the virtual slot, `stream->ReadInt()`.
void BM_ReadIntMemoryStreamSlot(benchmark::State& state)
{
    std::vector<std::int32_t>& numbers = Numbers();
    const Ref<TByteStream> stream = CreateMemoryStream(numbers.data(), INT_COUNT * 4, true, false);
    for (auto _ : state) {
        stream->Seek(0);
        std::int32_t sum = 0;
        for (std::int32_t i = 0; i < INT_COUNT; ++i)
            sum += stream->ReadInt();
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * INT_COUNT);
}
BENCHMARK(BM_ReadIntMemoryStreamSlot)->Unit(benchmark::kMicrosecond);

// The same reads by hand: a bounds test and a memcpy per value.
void BM_ReadIntMemcpy(benchmark::State& state)
{
    std::vector<std::int32_t>& numbers = Numbers();
    const auto* data = reinterpret_cast<const std::uint8_t*>(numbers.data());
    const std::int32_t size = INT_COUNT * 4;
    for (auto _ : state) {
        std::int32_t pos = 0;
        std::int32_t sum = 0;
        for (std::int32_t i = 0; i < INT_COUNT; ++i) {
            std::int32_t value = 0;
            if (size - pos >= 4) {
                std::memcpy(&value, data + pos, 4);
                pos += 4;
            }
            benchmark::DoNotOptimize(value);
            sum += value;
        }
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed(state.iterations() * INT_COUNT);
}
BENCHMARK(BM_ReadIntMemcpy)->Unit(benchmark::kMicrosecond);

} // namespace

BENCHMARK_MAIN();
