// The sample loader registry and `LoadAudioSample`, plus the reading and memory helpers the loaders share.
// Builds on: the stream layer (OpenReadStream, positions, stream errors).
#include "audio/AudioSample.h"
#include "audio/detail/SampleBlock.h"
#include "runtime/Error.h"
#include "stream/LoaderProbe.h"
#include "stream/Stream.h"

#include <algorithm>
#include <cstring>

namespace vanta {
namespace {

constinit Ref<TAudioSampleLoader> loaderHead;

} // namespace

TAudioSampleLoader::TAudioSampleLoader() : next(loaderHead)
{
    loaderHead = Ref<TAudioSampleLoader>(this);
}

Ref<TAudioSample> TAudioSampleLoader::LoadAudioSample(const Ref<TByteStream>&)
{
    ThrowAbstractMethod();
}

const Ref<TAudioSampleLoader>& AudioSampleLoaders()
{
    return loaderHead;
}

Ref<TAudioSample> LoadAudioSample(const Ref<Object>& url, Ref<TAudioSampleLoader>* loadedBy)
{
    return ProbeLoaders(url, loaderHead, UnseekableProbe::RAISE_ERROR, loadedBy,
                        [](TAudioSampleLoader& candidate, const Ref<TByteStream>& stream) {
                            return candidate.LoadAudioSample(stream);
                        });
}

void InitAudioSamples()
{
    static bool initialised = false;
    if (initialised) return;
    initialised = true;
    InitRuntimeCore();
    InitStreams();
}

namespace detail {

std::int32_t ReadAvailable(TByteStream& stream, void* buffer, std::int32_t count)
{
    if (count <= 0) return 0;
    if (stream.TakeFromWindow(buffer, count)) return count;
    auto* at = static_cast<std::uint8_t*>(buffer);
    std::int32_t done = 0;
    while (done < count && stream.Eof() == 0) {
        const std::int32_t n = stream.Read(at + done, count - done);
        if (n <= 0) Throw(New<TStreamReadError>());
        done += n;
    }
    return done;
}

bool SampleBlock::Reserve(std::int64_t bytes, std::int64_t ceiling)
{
    if (bytes <= FreeBytes()) return true;
    const std::int64_t needed = used_ + bytes;
    if (needed > SAMPLE_BYTES_LIMIT) return false;
    // Doubling keeps a long decode to a few copies; the ceiling keeps a known length from over-allocating.
    const std::int64_t grown = std::max(needed, std::min({capacity_ * 2, ceiling, SAMPLE_BYTES_LIMIT}));
    data_ = static_cast<std::uint8_t*>(MemExtend(data_, capacity_, grown));
    capacity_ = grown;
    return true;
}

Ref<TAudioSample> SampleBlock::Finish(std::int32_t hertz, std::int32_t format)
{
    const std::int64_t length = used_ / bytesPerFrame_;
    const std::int64_t bytes = length * bytesPerFrame_;
    // A sample keeps its block for life: one announced far longer than it turned out gives the rest back.
    if (bytes < capacity_ / 2) {
        auto* trimmed = static_cast<std::uint8_t*>(MemAlloc(bytes));
        if (bytes > 0) std::memcpy(trimmed, data_, static_cast<std::size_t>(bytes));
        MemFree(data_, capacity_);
        data_ = trimmed;
        capacity_ = bytes;
    }
    Ref<TAudioSample> sample = New<TAudioSample>();
    sample->samples = data_;
    sample->length = static_cast<std::int32_t>(length);
    sample->hertz = hertz;
    sample->format = format;
    sample->capacity = static_cast<std::int32_t>(capacity_);
    data_ = nullptr;
    capacity_ = 0;
    used_ = 0;
    return sample;
}

} // namespace detail
} // namespace vanta
