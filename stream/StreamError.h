// The errors the stream helpers raise: `TStreamError` and its read and write kinds (stream/Stream.h says
// when each is thrown).
#pragma once

#include "runtime/Object.h"
#include "runtime/String.h"

namespace vanta {

// Base class of the errors raised by the stream helpers.
class TStreamError : public Object
{
    VANTA_CLASS(TStreamError, Object)
public:
    TStreamError() = default;
};

// "Error reading from stream": a read moved nothing before the end of the stream.
class TStreamReadError : public TStreamError
{
    VANTA_CLASS(TStreamReadError, TStreamError)
public:
    TStreamReadError() = default;
    Ref<String> ToString() override;
};

// "Error writing to stream": a write moved nothing.
class TStreamWriteError : public TStreamError
{
    VANTA_CLASS(TStreamWriteError, TStreamError)
public:
    TStreamWriteError() = default;
    Ref<String> ToString() override;
};

} // namespace vanta
