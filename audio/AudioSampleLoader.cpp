// The sample loader registry and `LoadAudioSample`, plus the reading and memory helpers the loaders share.
// Builds on: the stream layer (OpenReadStream, positions, stream errors).
#include "audio/AudioSample.h"
#include "audio/detail/SampleBlock.h"
#include "runtime/Error.h"
#include "stream/Stream.h"

#include <algorithm>
#include <cstring>

namespace vanta {
namespace {

constinit Ref<TAudioSampleLoader> loaderHead;

// Closes the stream however the load ends, so a loader's exception does not leave a file open until the
// next flush.
class StreamCloser
{
public:
    explicit StreamCloser(const Ref<TByteStream>& stream) : stream_(stream) {}
    ~StreamCloser()
    {
        // An error thrown out of a destructor would end the process; a close that fails has nothing left to
        // give back, so the load's own answer or error stands.
        try {
            stream_->Close();
        } catch (...) {}
    }
    StreamCloser(const StreamCloser&) = delete;
    StreamCloser& operator=(const StreamCloser&) = delete;

private:
    const Ref<TByteStream>& stream_;
};

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
    if (loadedBy != nullptr) *loadedBy = Null;
    const Ref<TByteStream> stream = OpenReadStream(url);
    if (stream.IsNull()) return Null;
    const StreamCloser closer(stream);

    const std::int32_t start = stream->Pos();
    if (start == -1) ThrowError("Stream is not seekable");

    for (Ref<TAudioSampleLoader> loader = loaderHead; !loader.IsNull(); loader = loader->next) {
        stream->Seek(start);
        Ref<TAudioSample> sample;
        try {
            sample = loader->LoadAudioSample(stream);
        } catch (const Exception& e) {
            if (!e.Is<TStreamError>()) throw;
        }
        if (!sample.IsNull()) {
            if (loadedBy != nullptr) *loadedBy = loader;
            return sample;
        }
    }
    return Null;
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
