// `TIOBase`: the primitive operations every stream has (stream/Stream.h describes the stream layer).
#pragma once

#include "runtime/Object.h"

#include <cstdint>

namespace vanta {

// The primitive operations of every stream. The base class has no data: it is at its end at once, has
// no position, and cannot read or write.
class TIOBase : public Object
{
    VANTA_CLASS(TIOBase, Object)
public:
    TIOBase() = default;

    // 1 when `Pos` equals `Size`, else 0.
    virtual std::int32_t Eof();

    // The position in bytes from the start; -1 for a stream without positions.
    virtual std::int32_t Pos();

    // The length in bytes; 0 when unknown.
    virtual std::int32_t Size();

    // Moves to `pos` and returns the new position; -1 when the stream cannot seek.
    virtual std::int32_t Seek(std::int32_t pos);

    // Writes out whatever the stream holds back; 0, or -1 when that failed.
    virtual std::int32_t Flush();

    // Ends the stream's use of its resource; 0, or -1 when held-back bytes could not be written. Closing twice
    // is harmless.
    virtual std::int32_t Close();

    // Moves up to `count` bytes into `buffer` and returns how many; 0 when nothing could be read.
    // Throws "Stream is not readable" on a stream that cannot read.
    virtual std::int32_t Read(void* buffer, std::int32_t count);

    // Moves up to `count` bytes from `buffer` and returns how many; 0 when nothing could be written.
    // Throws "Stream is not writeable" on a stream that cannot write.
    virtual std::int32_t Write(const void* buffer, std::int32_t count);
};

} // namespace vanta
