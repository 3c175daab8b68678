// The Ogg Vorbis loader and its libvorbisfile glue: stream callbacks over a runtime stream, the decoder's
// open and decode calls, and the loader that decodes a whole bitstream into a sample.
// Builds on: the sample module's loader registry and helpers, the stream layer, libvorbisfile.
//
// libvorbisfile is C: an exception must never unwind through it. The callbacks catch whatever the stream
// throws, report a plain failure to the library, and the glue throws it again once the library call has
// returned.
#include "audio/OggLoader.h"

#include "audio/detail/OggGuard.h"
#include "audio/detail/SampleBlock.h"
#include "stream/Stream.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <exception>
#include <memory>
#include <utility>

#include <vorbis/vorbisfile.h>

namespace vanta {

struct OggDecoder
{
    OggVorbis_File file{};
    TByteStream* stream = nullptr;
    // The first exception a callback caught, thrown again after the library call.
    std::exception_ptr failure;
    std::int32_t channels = 0;
    // The serial number of the first logical bitstream, and whether decoding stopped at its end.
    long serial = 0;
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
        // The bytes that actually arrived: the library must see the end of the stream as a short read.
        const std::int32_t got = detail::ReadAvailable(*decoder.stream, buffer, wanted);
        errno = 0;
        return static_cast<std::size_t>(got) / size;
    } catch (...) {
        decoder.failure = std::current_exception();
        errno = EIO;
        return 0;
    }
}

int SeekCallback(void* source, ogg_int64_t offset, int origin)
{
    auto& decoder = *static_cast<OggDecoder*>(source);
    if (decoder.failure) return -1;
    try {
        TByteStream& stream = *decoder.stream;
        // A stream without positions cannot seek; the library then reads it straight through.
        const std::int32_t pos = stream.Pos();
        if (pos < 0) return -1;
        std::int64_t base;
        switch (origin) {
        case SEEK_SET: base = 0; break;
        case SEEK_CUR: base = pos; break;
        case SEEK_END: base = stream.Size(); break;
        default: return -1;
        }
        if (offset > INT32_MAX || offset < INT32_MIN) return -1;
        const std::int64_t target = base + offset;
        if (target < 0 || target > INT32_MAX) return -1;
        // Streams keep a seek within their size; landing elsewhere than asked is a failure, not a success.
        return stream.Seek(static_cast<std::int32_t>(target)) == target ? 0 : -1;
    } catch (...) {
        decoder.failure = std::current_exception();
        return -1;
    }
}

int CloseCallback(void*)
{
    // `LoadAudioSample` closes the stream.
    return 0;
}

long TellCallback(void* source)
{
    auto& decoder = *static_cast<OggDecoder*>(source);
    if (decoder.failure) return -1;
    try {
        return decoder.stream->Pos();
    } catch (...) {
        decoder.failure = std::current_exception();
        return -1;
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
    DecoderPtr decoder(new OggDecoder);
    ++openDecoders;
    decoder->stream = stream.Get();
    const ov_callbacks callbacks{ReadCallback, SeekCallback, CloseCallback, TellCallback};
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
    // Opening a chained file scans every bitstream and leaves the decoder on the last one: back to the first.
    if (ov_seekable(&decoder->file) != 0 && ov_streams(&decoder->file) > 1) {
        const int sought = VantaOggPcmSeek(&decoder->file, 0);
        RethrowFailure(*decoder);
        if (sought == VANTA_OGG_FAULT) {
            decoder->faulted = true;
            return nullptr;
        }
    }
    decoder->serial = ov_serialnumber(&decoder->file, -1);
    const ogg_int64_t total = ov_pcm_total(&decoder->file, 0);
    *frames = total >= 0 ? total : -1;
    const vorbis_info* info = ov_info(&decoder->file, -1);
    decoder->channels = info != nullptr ? info->channels : 0;
    *channels = decoder->channels;
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
        // A chained file goes on with another bitstream, perhaps of other channels: the sample ends where the
        // first one does (read straight through, the change even shows as a hole in the data).
        const vorbis_info* info = ov_info(&decoder->file, -1);
        const bool sameStream = ov_serialnumber(&decoder->file, -1) == decoder->serial && info != nullptr &&
                                info->channels == decoder->channels;
        if (got < 0 && sameStream) return link != 0 ? -1 : -2;
        if (got <= 0 || !sameStream) {
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
