// Helpers for the tests of the sample loaders and sounds: the fixture files of tests/audio/data/, memory
// streams over byte vectors, the registered loaders, and a sample's bytes.
#pragma once

#include "audio/AudioSample.h"
#include "runtime/Error.h"
#include "stream/MemoryStream.h"
#include "stream/Stream.h"
#include "support/StreamDoubles.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>

namespace vanta::test {

using Bytes = std::vector<std::uint8_t>;

// The path of a fixture.
inline std::string FixturePath(const std::string& name)
{
    return std::string(AUDIO_DATA_DIR) + "/" + name;
}

// A fixture's bytes; a missing fixture fails the test and gives nothing.
inline Bytes ReadFixture(const std::string& name)
{
    std::ifstream file(FixturePath(name), std::ios::binary);
    EXPECT_TRUE(file.good()) << "missing fixture " << name;
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// A read-only memory stream over `bytes`, which must outlive it.
inline Ref<TMemoryStream> StreamOver(Bytes& bytes)
{
    return CreateMemoryStream(bytes.data(), static_cast<std::int32_t>(bytes.size()), true, false);
}

// The registered loader of class `L` (its module initialiser must have run), or `Null`.
template <class L>
Ref<L> RegisteredLoader()
{
    for (Ref<TAudioSampleLoader> loader = AudioSampleLoaders(); !loader.IsNull(); loader = loader->next) {
        if (Ref<L> found = Downcast<L>(loader)) return found;
    }
    return Null;
}

// The sample's data: length * bytes-per-frame bytes.
inline Bytes SampleBytes(const Ref<TAudioSample>& sample)
{
    const auto size =
        static_cast<std::size_t>(sample->length) * static_cast<std::size_t>(BytesPerFrame(sample->format));
    return Bytes(sample->samples, sample->samples + size);
}

} // namespace vanta::test
