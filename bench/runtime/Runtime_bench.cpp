// Object runtime: the allocator against glibc, object churn, and string operations against the
// standard library.
#include "runtime/Memory.h"
#include "runtime/Object.h"
#include "runtime/String.h"

#include <charconv>
#include <cstdlib>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

namespace {

using namespace vanta;

// The same churn for both allocators: a window of live blocks of 8..248 bytes, one freed and one made per
// step, so free lists and chunks are both exercised.
template <class Alloc, class Free>
void Churn(benchmark::State& state, Alloc alloc, Free free)
{
    constexpr int WINDOW = 1024;
    std::vector<std::pair<void*, std::ptrdiff_t>> live(WINDOW);
    std::uint32_t seed = 1;
    auto nextSize = [&] {
        seed = seed * 1664525u + 1013904223u;
        return static_cast<std::ptrdiff_t>(8 + (seed >> 8) % 241);
    };
    for (auto& [p, size] : live) {
        size = nextSize();
        p = alloc(size);
    }
    std::size_t i = 0;
    for (auto _ : state) {
        auto& [p, size] = live[i++ % WINDOW];
        free(p, size);
        size = nextSize();
        p = alloc(size);
        benchmark::DoNotOptimize(p);
    }
    for (auto& [p, size] : live)
        free(p, size);
    state.SetItemsProcessed(state.iterations());
}

void BM_MemAllocChurn(benchmark::State& state)
{
    Churn(
        state, [](std::ptrdiff_t size) { return MemAlloc(size); },
        [](void* p, std::ptrdiff_t size) { MemFree(p, size); });
}
BENCHMARK(BM_MemAllocChurn);

void BM_GlibcMallocChurn(benchmark::State& state)
{
    Churn(
        state, [](std::ptrdiff_t size) { return std::malloc(static_cast<std::size_t>(size)); },
        [](void* p, std::ptrdiff_t) { std::free(p); });
}
BENCHMARK(BM_GlibcMallocChurn);

class TBenchObject : public Object
{
    VANTA_CLASS(TBenchObject, Object)
public:
    TBenchObject() = default;
    std::int32_t value = 0;
};

// Create, hold and drop, then flush: the whole life of a temporary, per object.
void BM_ObjectCreateReleaseFlush(benchmark::State& state)
{
    const int level = ReleaseStackLevel();
    for (auto _ : state) {
        for (int i = 0; i < 100; ++i) {
            Ref<TBenchObject> object = New<TBenchObject>();
            benchmark::DoNotOptimize(object.Raw());
        }
        FlushReleaseStack(level);
    }
    state.SetItemsProcessed(state.iterations() * 100);
}
BENCHMARK(BM_ObjectCreateReleaseFlush);

void BM_StringConcat(benchmark::State& state)
{
    const int level = ReleaseStackLevel();
    Ref<String> a = "The quick brown fox "_s;
    Ref<String> b = "jumps over the lazy dog"_s;
    int n = 0;
    for (auto _ : state) {
        Ref<String> c = Concat(a, b);
        benchmark::DoNotOptimize(c.Raw());
        if (++n % 256 == 0) FlushReleaseStack(level);
    }
    FlushReleaseStack(level);
}
BENCHMARK(BM_StringConcat);

void BM_StdU16StringConcat(benchmark::State& state)
{
    const std::u16string a = u"The quick brown fox ";
    const std::u16string b = u"jumps over the lazy dog";
    for (auto _ : state) {
        std::u16string c = a + b;
        benchmark::DoNotOptimize(c.data());
    }
}
BENCHMARK(BM_StdU16StringConcat);

void BM_StringFromInt(benchmark::State& state)
{
    const int level = ReleaseStackLevel();
    std::int32_t value = -123456789;
    int n = 0;
    for (auto _ : state) {
        Ref<String> text = String::FromInt(value++);
        benchmark::DoNotOptimize(text.Raw());
        if (++n % 256 == 0) FlushReleaseStack(level);
    }
    FlushReleaseStack(level);
}
BENCHMARK(BM_StringFromInt);

// The standard library's equivalent: digits into a buffer, then into a UTF-16 string.
void BM_StdToCharsToU16String(benchmark::State& state)
{
    std::int32_t value = -123456789;
    for (auto _ : state) {
        char digits[16];
        const auto end = std::to_chars(digits, digits + sizeof digits, value++).ptr;
        std::u16string text(digits, end);
        benchmark::DoNotOptimize(text.data());
    }
}
BENCHMARK(BM_StdToCharsToU16String);

std::u16string Haystack()
{
    std::u16string text;
    for (int i = 0; i < 200; ++i)
        text += u"lorem ipsum dolor sit amet, ";
    return text + u"needle";
}

void BM_StringFind(benchmark::State& state)
{
    const std::u16string haystack = Haystack();
    Ref<String> text = String::FromShorts(haystack.data(), static_cast<std::int32_t>(haystack.size()));
    Ref<String> needle = "needle"_s;
    for (auto _ : state)
        benchmark::DoNotOptimize(text->Find(needle, 0));
}
BENCHMARK(BM_StringFind);

void BM_StdU16StringFind(benchmark::State& state)
{
    const std::u16string haystack = Haystack();
    const std::u16string needle = u"needle";
    for (auto _ : state)
        benchmark::DoNotOptimize(haystack.find(needle));
}
BENCHMARK(BM_StdU16StringFind);

} // namespace

BENCHMARK_MAIN();
