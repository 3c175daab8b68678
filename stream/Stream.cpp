// Whole-stream helpers (load and save byte arrays and text, copy between streams) and the stream
// module's initialiser.
#include "stream/Stream.h"

#include "runtime/Error.h"

#include <algorithm>
#include <cstring>
#include <limits>

namespace vanta {
namespace {

constexpr std::int32_t LOAD_START_CAPACITY = 1024;

// The text a url is known by in an error message.
Ref<String> UrlText(const Ref<Object>& url)
{
    if (url.IsNull()) return "Null"_s;
    return url->ToString();
}

Ref<TByteStream> OpenOrThrow(const Ref<Object>& url, bool writeable)
{
    Ref<TByteStream> stream = OpenStream(url, !writeable, writeable);
    if (stream.IsNull()) {
        ThrowError((writeable ? "Unable to open stream for writing: "_s : "Unable to open stream for reading: "_s) +
                   UrlText(url));
    }
    return stream;
}

// Runs `work`, then closes the stream; the stream is closed as well when `work` throws. After writing, a
// close that could not finish (a full disk shows only when the last buffer goes out) fails the transfer.
enum class Transfer
{
    READ,
    WRITE
};

template <class Work>
void ThenClose(const Ref<TByteStream>& stream, Transfer transfer, Work work)
{
    try {
        work();
    } catch (...) {
        try {
            stream->Close();
        } catch (...) {
            // The first error is the one to report.
        }
        throw;
    }
    if (stream->Close() != 0 && transfer == Transfer::WRITE) Throw(New<TStreamWriteError>());
}

std::int32_t UsableBufferSize(std::int32_t bufferSize)
{
    return bufferSize < 1 ? COPY_BUFFER_SIZE : bufferSize;
}

} // namespace

Ref<Array> LoadByteArray(const Ref<Object>& url)
{
    Ref<TByteStream> stream = OpenOrThrow(url, false);
    Ref<Array> bytes;
    std::int32_t length = 0;
    ThenClose(stream, Transfer::READ, [&] {
        // A stream that knows how much is left is read into an array of that size at once; otherwise (and
        // when more arrives) the array grows by half.
        std::int64_t capacity = LOAD_START_CAPACITY;
        const std::int32_t pos = stream->Pos();
        if (pos >= 0) capacity = std::max<std::int64_t>(capacity, static_cast<std::int64_t>(stream->Size()) - pos);
        bytes = NewArray("b", static_cast<std::int32_t>(capacity));
        while (stream->Eof() == 0) {
            if (length == bytes->Length()) {
                constexpr std::int64_t MAX = std::numeric_limits<std::int32_t>::max();
                if (length == MAX) OutOfMemory(MAX);
                const std::int64_t grown =
                    std::min(std::max(length * std::int64_t{3} / 2, length + std::int64_t{1}), MAX);
                Ref<Array> larger = NewArray("b", static_cast<std::int32_t>(grown));
                std::memcpy(larger->Data(), bytes->Data(), static_cast<std::size_t>(length));
                bytes = std::move(larger);
            }
            const std::int32_t n =
                stream->Read(static_cast<std::uint8_t*>(bytes->Data()) + length, bytes->Length() - length);
            // A stream that never reports its end (standard input) ends when a read brings nothing.
            if (n <= 0) break;
            length += n;
        }
    });
    if (length == bytes->Length()) return bytes;
    return SliceArray("b", bytes, 0, length);
}

Ref<String> LoadString(const Ref<Object>& url)
{
    Ref<Array> bytes = LoadByteArray(url);
    return String::FromBytes(bytes->Data(), bytes->Length());
}

void SaveByteArray(const Ref<Array>& bytes, const Ref<Object>& url)
{
    Ref<TByteStream> stream = OpenOrThrow(url, true);
    ThenClose(stream, Transfer::WRITE, [&] { stream->WriteBytes(bytes->Data(), bytes->DataSize()); });
}

void SaveString(const Ref<String>& text, const Ref<Object>& url)
{
    Ref<TByteStream> stream = OpenOrThrow(url, true);
    ThenClose(stream, Transfer::WRITE, [&] { stream->WriteString(text); });
}

void CopyStream(const Ref<TByteStream>& from, const Ref<TByteStream>& to, std::int32_t bufferSize)
{
    Ref<Array> buffer = NewArray("b", UsableBufferSize(bufferSize));
    while (from->Eof() == 0) {
        const std::int32_t n = from->Read(buffer->Data(), buffer->Length());
        if (n <= 0) break;
        to->WriteBytes(buffer->Data(), n);
    }
}

void CopyBytes(const Ref<TByteStream>& from, const Ref<TByteStream>& to, std::int32_t count, std::int32_t bufferSize)
{
    Ref<Array> buffer = NewArray("b", UsableBufferSize(bufferSize));
    // `ReadBytes` would report a full buffer at the end of `from` and leave stale bytes in it; reading
    // with `Read` here writes exactly the bytes that arrived.
    while (count > 0 && from->Eof() == 0) {
        const std::int32_t n = from->Read(buffer->Data(), std::min(count, buffer->Length()));
        if (n <= 0) Throw(New<TStreamReadError>());
        to->WriteBytes(buffer->Data(), n);
        count -= n;
    }
}

void InitStreams()
{
    static bool initialised = false;
    if (initialised) return;
    initialised = true;
    InitRuntimeCore();
}

} // namespace vanta
