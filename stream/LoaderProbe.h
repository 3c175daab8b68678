// One stream offered to a chain of loaders in turn: opened once, taken back before each loader to where it
// stood when opened, and closed however the walk ends. The picture and the sound loader chains both walk
// their registries with `ProbeLoaders`; they differ only in what a stream without positions gets.
// Builds on: the stream layer (OpenReadStream, positions, stream errors), the runtime's errors.
#pragma once

#include "runtime/Error.h"
#include "stream/Stream.h"

#include <cstdint>
#include <utility>

namespace vanta {

// What a loader chain does with a stream that cannot report its position, and so cannot be taken back to
// its start between loaders.
enum class UnseekableProbe
{
    // The chain answers `Null` without asking any loader.
    GIVE_NULL,
    // The chain raises "Stream is not seekable".
    RAISE_ERROR,
};

// The stream of one walk along a loader chain; closed when the walk ends.
class LoaderProbe
{
public:
    // Opens `url` for reading (`OpenReadStream`) and notes where the stream stands. Throws what opening
    // throws.
    explicit LoaderProbe(const Ref<Object>& url);
    // Closes the stream. A close that fails is dropped: it has nothing left to give back, and the walk's own
    // answer or error stands.
    ~LoaderProbe();

    LoaderProbe(const LoaderProbe&) = delete;
    LoaderProbe& operator=(const LoaderProbe&) = delete;

    // The stream; `Null` when the url could not be opened.
    const Ref<TByteStream>& Stream() const noexcept { return stream_; }

    // Where the stream stood when opened; -1 when it has no positions (or was not opened).
    std::int32_t Start() const noexcept { return start_; }

    // Takes the stream back to `Start` for the next loader; false when it has no positions or does not get
    // there (a loader must not read a stream that stands elsewhere).
    bool Rewind();

private:
    Ref<TByteStream> stream_;
    std::int32_t start_ = -1;
};

// Offers the stream of `url` to each loader from `head` along its `next` link, as `load`(loader, stream),
// each from where the stream stood when opened, and returns the first answer that is not `Null`; `loadedBy`,
// when given, receives the loader that gave it (`Null` otherwise). `Null` when the url cannot be opened, when
// no loader answers, or when the stream does not go back to its start for the next loader (the walk ends
// there). A stream error a loader raises is that loader's rejection; any other exception passes on, after
// the stream is closed. A stream without positions gives `Null` or raises "Stream is not seekable", as
// `unseekable` says.
template <class Loader, class Load>
auto ProbeLoaders(const Ref<Object>& url, Ref<Loader> head, UnseekableProbe unseekable, Ref<Loader>* loadedBy,
                  Load load) -> decltype(load(*head, std::declval<const Ref<TByteStream>&>()))
{
    using Answer = decltype(load(*head, std::declval<const Ref<TByteStream>&>()));
    if (loadedBy != nullptr) *loadedBy = Null;
    LoaderProbe probe(url);
    if (probe.Stream().IsNull()) return Null;
    if (probe.Start() == -1) {
        if (unseekable == UnseekableProbe::RAISE_ERROR) ThrowError("Stream is not seekable");
        return Null;
    }
    for (Ref<Loader> loader = std::move(head); !loader.IsNull(); loader = loader->next) {
        if (!probe.Rewind()) return Null;
        Answer answer;
        try {
            answer = load(*loader, probe.Stream());
        } catch (const Exception& e) {
            if (!e.Is<TStreamError>()) throw;
            continue;
        }
        if (!answer.IsNull()) {
            if (loadedBy != nullptr) *loadedBy = loader;
            return answer;
        }
    }
    return Null;
}

} // namespace vanta
