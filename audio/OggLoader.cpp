// The Ogg Vorbis loader and its libvorbisfile glue: stream callbacks over a runtime stream, the decoder's
// open and decode calls, and the loader that decodes a whole bitstream into a sample.
// Builds on: the sample module's loader registry and helpers, the stream layer, libvorbisfile.
//
// The library sees only the first link of a chained file, read straight through (see
// detail/OggFirstLink.h for why).
//
// libvorbisfile is C: an exception must never unwind through it. The callbacks catch whatever the stream
// throws, report a plain failure to the library, and the glue throws it again once the library call has
// returned.
#include "audio/OggLoader.h"

#include "audio/detail/OggFirstLink.h"
#include "audio/detail/OggGuard.h"
#include "audio/detail/SampleBlock.h"
#include "stream/Stream.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <exception>
#include <memory>
#include <utility>

#include <vorbis/vorbisfile.h>

namespace vanta {

struct OggDecoder
{
    explicit OggDecoder(TByteStream& stream) : link(stream) {}

    // What the library reads: the pages of the stream's first link.
    detail::OggFirstLink link;
    OggVorbis_File file{};
    // The first exception a callback caught, thrown again after the library call.
    std::exception_ptr failure;
    // Decoding reached the end of the link.
    bool ended = false;
    // The library hit an arithmetic fault: nothing more is asked of it but to clear the file.
    bool faulted = false;
};

namespace {

std::int32_t openDecoders = 0;

// Throws what a callback caught during the last library call, if anything.
void RethrowFailure(OggDecoder& decoder)
{
    if (decoder.failure) std::rethrow_exception(std::exchange(decoder.failure, nullptr));
}

std::size_t ReadCallback(void* buffer, std::size_t size, std::size_t count, void* source)
{
    auto& decoder = *static_cast<OggDecoder*>(source);
    if (decoder.failure || size == 0) {
        errno = EIO;
        return 0;
    }
    const auto wanted = static_cast<std::int32_t>(std::min<std::size_t>(size * count, INT32_MAX - INT32_MAX % size));
    try {
        // The bytes that actually arrived: the library must see the end of the link as a short read.
        const std::int32_t got = decoder.link.Read(buffer, wanted);
        errno = 0;
        return static_cast<std::size_t>(got) / size;
    } catch (...) {
        decoder.failure = std::current_exception();
        errno = EIO;
        return 0;
    }
}

// Releases a decoder when the loader is done with it, however it leaves.
struct DecoderRelease
{
    // The analyser assumes a decode into a null buffer (which frees the decoder) before this one; the
    // loader only decodes into its block's free bytes, which exist once it has room for a frame.
    // NOLINTNEXTLINE(clang-analyzer-cplusplus.NewDelete)
    void operator()(OggDecoder* decoder) const { DecodeOgg(decoder, nullptr, 0); }
};
using DecoderPtr = std::unique_ptr<OggDecoder, DecoderRelease>;

} // namespace

OggDecoder* OpenOggDecoder(const Ref<TByteStream>& stream, std::int64_t* frames, std::int32_t* channels,
                           std::int32_t* rate)
{
    *frames = -1;
    TByteStream& source = *stream;
    // Where the stream can come back, the link is read once ahead for the length it announces, which the
    // library cannot give without seeking.
    const std::int32_t start = source.Pos();
    if (start >= 0) {
        const std::int64_t announced = detail::AnnouncedOggFrames(source);
        if (source.Seek(start) != start) return nullptr;
        *frames = announced;
    }
    DecoderPtr decoder(new OggDecoder(source));
    ++openDecoders;
    // No seek or tell: the library takes the data as a stream it cannot seek in and reads it straight
    // through. No close either: `LoadAudioSample` closes the stream.
    const ov_callbacks callbacks{ReadCallback, nullptr, nullptr, nullptr};
    const int opened = VantaOggOpen(decoder.get(), &decoder->file, callbacks);
    if (opened == VANTA_OGG_FAULT) {
        decoder->faulted = true;
        RethrowFailure(*decoder);
        return nullptr;
    }
    if (opened < 0) {
        // The library has cleared the file already; clearing again is harmless.
        OggDecoder* failed = decoder.release();
        const std::exception_ptr failure = std::exchange(failed->failure, nullptr);
        DecodeOgg(failed, nullptr, 0);
        if (failure) std::rethrow_exception(failure);
        return nullptr;
    }
    RethrowFailure(*decoder);
    const vorbis_info* info = ov_info(&decoder->file, -1);
    *channels = info != nullptr ? info->channels : 0;
    *rate = info != nullptr && info->rate > 0 && info->rate <= INT32_MAX ? static_cast<std::int32_t>(info->rate) : 0;
    return decoder.release();
}

std::int64_t DecodeOgg(OggDecoder* decoder, void* buffer, std::int64_t byteCount)
{
    if (buffer == nullptr) {
        // Also after a fault: the library's structures are whole (it stopped in the middle of arithmetic), and
        // clearing them gives back what a half-open file holds.
        const int result = ov_clear(&decoder->file);
        delete decoder;
        --openDecoders;
        return result;
    }
    auto* out = static_cast<char*>(buffer);
    std::int64_t done = 0;
    if (decoder->faulted) return -1;
    while (done < byteCount && !decoder->ended) {
        int link = 0;
        const auto ask = static_cast<int>(std::min<std::int64_t>(byteCount - done, INT_MAX));
        const long got = VantaOggRead(&decoder->file, out + done, ask, &link);
        RethrowFailure(*decoder);
        if (got == VANTA_OGG_FAULT) {
            decoder->faulted = true;
            return -1;
        }
        if (got < 0) return -2;
        if (got == 0) {
            decoder->ended = true;
            break;
        }
        done += got;
    }
    return done;
}

Ref<TAudioSample> TOggLoader::LoadAudioSample(const Ref<TByteStream>& stream)
{
    std::int64_t frames = -1;
    std::int32_t channels = 0;
    std::int32_t rate = 0;
    const DecoderPtr decoder(OpenOggDecoder(stream, &frames, &channels, &rate));
    if (decoder == nullptr || channels < 1 || channels > 2 || rate <= 0) return Null;
    const std::int32_t format = channels == 1 ? SF_MONO16LE : SF_STEREO16LE;
    const std::int32_t frameBytes = BytesPerFrame(format);

    // An announced length is the most to decode; one that no sample could hold is not believed.
    const bool known = frames >= 0 && frames <= detail::SAMPLE_BYTES_LIMIT / frameBytes;
    const std::int64_t ceiling = known ? frames * frameBytes : detail::SAMPLE_BYTES_LIMIT;
    detail::SampleBlock block(frameBytes);
    block.Reserve(std::min(ceiling, known ? detail::SAMPLE_FIRST_RESERVE : detail::SAMPLE_UNKNOWN_RESERVE), ceiling);
    while (block.Used() < ceiling) {
        if (block.FreeBytes() < frameBytes && !block.Reserve(frameBytes, ceiling)) {
            // More data than a sample can hold, unless the stream ends right here.
            char probe[4];
            if (DecodeOgg(decoder.get(), probe, frameBytes) != 0) return Null;
            break;
        }
        const std::int64_t room = std::min(block.FreeBytes(), ceiling - block.Used());
        const std::int64_t count = room - room % frameBytes;
        const std::int64_t got = DecodeOgg(decoder.get(), block.Free(), count);
        if (got < 0) return Null;
        block.Use(got);
        if (got < count) break;
    }
    return block.Finish(rate, format);
}

std::int32_t OpenOggDecoderCount()
{
    return openDecoders;
}

void InitOggLoader()
{
    static bool initialised = false;
    if (initialised) return;
    initialised = true;
    InitAudioSamples();
    New<TOggLoader>();
}

} // namespace vanta
