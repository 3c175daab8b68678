// Stream doubles: a stream over another that counts its closes and misbehaves on request (no positions,
// reads that fail or throw part-way, a close that throws), and the factory of a test protocol that records
// what it is asked and answers what the test decides.
#pragma once

#include "runtime/Error.h"
#include "stream/Stream.h"

#include <algorithm>
#include <climits>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>

namespace vanta::test {

// A stream over another (the inner stream does the work). By default it only counts its closes; a test
// can make it unseekable (`Pos` -1, `Size` 0, `Seek` -1, as a pipe or a socket), make its reads stop at
// `failFrom` (moving nothing there, as a failing device, or throwing `thrown` when one is set) and make
// its close throw after counting.
class TWatchedStream final : public TForwardingStream
{
    VANTA_CLASS(TWatchedStream, TForwardingStream)
public:
    TWatchedStream() = default;

    std::int32_t Pos() override { return seekable ? TForwardingStream::Pos() : -1; }
    std::int32_t Size() override { return seekable ? TForwardingStream::Size() : 0; }
    std::int32_t Seek(std::int32_t pos) override { return seekable && !seekFails ? TForwardingStream::Seek(pos) : -1; }

    std::int32_t Read(void* buffer, std::int32_t count) override
    {
        const std::int32_t at = Inner()->Pos();
        if (at >= failFrom) {
            if (!thrown.IsNull()) Throw(thrown);
            return 0;
        }
        return TForwardingStream::Read(buffer, std::min(count, failFrom - at));
    }

    // Counts the close, then throws when `closeFails`, else closes the inner stream (if any) and lets go
    // of it.
    std::int32_t Close() override
    {
        ++closes;
        if (closeFails) ThrowError("close failed");
        if (Inner().IsNull()) return 0;
        const std::int32_t result = TForwardingStream::Close();
        SetStream(Null);
        return result;
    }

    // A watched stream over `inner`.
    static Ref<TWatchedStream> Over(const Ref<TByteStream>& inner)
    {
        Ref<TWatchedStream> stream = New<TWatchedStream>();
        stream->SetStream(inner);
        return stream;
    }

    // A stream over `inner` with no positions.
    static Ref<TWatchedStream> Unseekable(const Ref<TByteStream>& inner)
    {
        Ref<TWatchedStream> stream = Over(inner);
        stream->seekable = false;
        return stream;
    }

    // A stream over `inner` whose reads stop at `limit`: nothing moves from there (a device error), or
    // `thrown` is thrown when it is not `Null`.
    static Ref<TWatchedStream> FailingFrom(const Ref<TByteStream>& inner, std::int32_t limit,
                                           const Ref<Object>& thrown = Null)
    {
        Ref<TWatchedStream> stream = Over(inner);
        stream->failFrom = limit;
        stream->thrown = thrown;
        return stream;
    }

    bool seekable = true;
    bool seekFails = false; // has positions but cannot go back to one
    bool closeFails = false;
    std::int32_t failFrom = INT_MAX;
    Ref<Object> thrown;
    int closes = 0;
};

// The factory of one test protocol. It records every request (whatever its protocol) and answers those of
// its own protocol with `answer(path, readable, writeable)`, unless it `declines`. Factories are never
// unregistered: keep one per suite, or make its answer harmless when the test is over.
class TTestOpener final : public TStreamOpener
{
    VANTA_CLASS(TTestOpener, TStreamOpener)
public:
    using Answer = std::function<Ref<TByteStream>(const Ref<String>& path, bool readable, bool writeable)>;

    TTestOpener(std::string protocol, Answer answer) : protocol(std::move(protocol)), answer(std::move(answer)) {}

    Ref<TByteStream> CreateStream(const Ref<Object>& url, const Ref<String>& protocolAsked, const Ref<String>& path,
                                  bool readable, bool writeable) override
    {
        ++calls;
        lastUrl = url;
        lastProtocol = std::string(protocolAsked->ToCString(), static_cast<std::size_t>(protocolAsked->Length()));
        lastPath = std::string(path->ToCString(), static_cast<std::size_t>(path->Length()));
        lastReadable = readable;
        lastWriteable = writeable;
        if (declines || lastProtocol != protocol || !answer) return Null;
        return answer(path, readable, writeable);
    }

    std::string protocol;
    Answer answer;
    bool declines = false;
    int calls = 0;
    Ref<Object> lastUrl;
    std::string lastProtocol;
    std::string lastPath;
    bool lastReadable = false;
    bool lastWriteable = false;
};

} // namespace vanta::test
