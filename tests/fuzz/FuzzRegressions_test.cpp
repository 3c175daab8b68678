// Replays the fuzz targets' inputs in the normal suite: the seed corpus (fuzz/corpus/<name>/) and every
// input that once made a target fail (fuzz/regressions/<name>/), each through the target's own entry
// function in a child process, so a fault the fuzzer found stays fixed without a fuzzing build.
#include "fuzz/FuzzTargets.h"
#include "runtime/Memory.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace vanta::fuzz {
namespace {

namespace fs = std::filesystem;

// The input files of one folder, by name; dot files (placeholders) are not inputs. None when the folder
// does not exist.
std::vector<fs::path> InputsIn(const fs::path& folder)
{
    std::vector<fs::path> inputs;
    if (!fs::is_directory(folder)) return inputs;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder)) {
        if (entry.is_regular_file() && entry.path().filename().string().front() != '.') inputs.push_back(entry.path());
    }
    std::sort(inputs.begin(), inputs.end());
    return inputs;
}

std::vector<std::uint8_t> ReadFile(const fs::path& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

class FuzzReplay : public ::testing::TestWithParam<FuzzTarget>
{};

TEST_P(FuzzReplay, EveryCorpusAndRegressionInputRunsClean)
{
    const FuzzTarget& target = GetParam();
    const fs::path root = FUZZ_SOURCE_DIR;
    const std::vector<fs::path> seeds = InputsIn(root / "corpus" / target.name);
    EXPECT_FALSE(seeds.empty()) << "fuzz/corpus/" << target.name << "/ holds no seed inputs";
    std::vector<fs::path> inputs = seeds;
    for (const fs::path& path : InputsIn(root / "regressions" / target.name))
        inputs.push_back(path);
    // An entry reports a broken property by aborting, and a sanitizer finding (a leak included) ends the
    // process with its report: each input runs in a child process of its own, which must end normally, so a
    // failure names its input and the remaining inputs still run. The empty input is one every target must
    // take.
    inputs.emplace_back();
    for (const fs::path& path : inputs) {
        const std::vector<std::uint8_t> bytes = path.empty() ? std::vector<std::uint8_t>{} : ReadFile(path);
        // Run three times: after the first two (which may make what a target keeps for good), a run must
        // leave the runtime's memory as it found it, or a long fuzzing session grows until it runs out.
        EXPECT_EXIT(
            {
                const std::uint8_t* input = bytes.empty() ? nullptr : bytes.data();
                target.entry(input, bytes.size());
                target.entry(input, bytes.size());
                const std::int64_t before = MemoryInUse();
                target.entry(input, bytes.size());
                if (MemoryInUse() != before) {
                    std::fprintf(stderr, "a run left %lld bytes of the runtime's memory behind\n",
                                 static_cast<long long>(MemoryInUse() - before));
                    std::exit(3);
                }
                std::exit(0);
            },
            ::testing::ExitedWithCode(0), "")
            << (path.empty() ? "the empty input" : path.string());
    }
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzReplay, ::testing::ValuesIn(FuzzTargets().begin(), FuzzTargets().end()),
                         [](const ::testing::TestParamInfo<FuzzTarget>& info) { return std::string(info.param.name); });

} // namespace
} // namespace vanta::fuzz
