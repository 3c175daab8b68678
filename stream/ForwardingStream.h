// `TForwardingStream`, the base of the wrapping streams, and `TBorrowedStream`, the wrapper that never
// closes what it wraps.
#pragma once

#include "stream/ByteStream.h"

#include <cstdint>

namespace vanta {

// A stream that passes the primitives on to an inner stream; base class of the wrapping streams.
class TForwardingStream : public TByteStream
{
    VANTA_CLASS(TForwardingStream, TByteStream)
public:
    TForwardingStream() = default;

    // The primitives of the inner stream (all throw `TNullObjectError` when there is none).
    std::int32_t Eof() override;
    std::int32_t Pos() override;
    std::int32_t Size() override;
    std::int32_t Seek(std::int32_t pos) override;
    std::int32_t Flush() override;
    std::int32_t Close() override;
    std::int32_t Read(void* buffer, std::int32_t count) override;
    std::int32_t Write(const void* buffer, std::int32_t count) override;

    // Makes `stream` (or `Null`) the inner stream, keeping a reference to it and dropping the old one.
    virtual void SetStream(const Ref<TByteStream>& stream);

    // The inner stream, or `Null`.
    const Ref<TByteStream>& Inner() const noexcept { return inner_; }

private:
    Ref<TByteStream> inner_;
};

// A wrapper that never closes what it wraps: `Close` only lets go of the inner stream.
class TBorrowedStream : public TForwardingStream
{
    VANTA_CLASS(TBorrowedStream, TForwardingStream)
public:
    TBorrowedStream() = default;

    // Drops the inner stream, which stays open for its owner; 0.
    std::int32_t Close() override;

    // A new wrapper around `stream`.
    static Ref<TBorrowedStream> Create(const Ref<TByteStream>& stream);
};

} // namespace vanta
